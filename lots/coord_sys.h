// The coordinate converter between the Malaysian survey systems: the old state
// Cassini-Soldner grids and the old Rectified Skew Orthomorphic grid (both on
// the Everest 1830 Modified ellipsoid), geographic MRT48, the GDM2000 state
// Cassini-Soldner grids and the GDM2000 Peninsular RSO grid (GRS80), and
// geographic WGS84. One converter: select a state and a pair of systems, then
// convert points one at a time and read the result records.
#pragma once

#include <cstdint>
#include <string>

// System names, compared without regard to case.
inline constexpr const char* COORD_CASSINI_OLD = "Cassini-Soldner(Old)";
inline constexpr const char* COORD_CASSINI_GEOCENTRIC = "Cassini-Soldner Geocentric";
inline constexpr const char* COORD_RSO_OLD = "MRSO(Old)";
inline constexpr const char* COORD_RSO_GEOCENTRIC = "RSO Geocentric for Peninsular";
inline constexpr const char* COORD_MRT48 = "MRT48";
inline constexpr const char* COORD_GDM2000 = "GDM2000";
inline constexpr const char* COORD_WGS84 = "WGS84";

// The chain in metres, and metres into chains.
inline constexpr double COORD_CHAIN_M = 20.11678249;
inline constexpr double COORD_M_TO_CHAIN = 0.04970973864717668;

// The ellipsoids as the converter uses them.
inline constexpr double EVEREST_A = 6377304.063;
inline constexpr double EVEREST_F = 0.003324449296662885;  // 1 / 300.8017
inline constexpr double EVEREST_B = 6356103.038993155;
inline constexpr double GRS80_A = 6378137.0;
inline constexpr double GRS80_F = 0.0033528106811935607;  // 1 / 298.257222101
inline constexpr double WGS84_A = 6378137.0;
inline constexpr double WGS84_F = 0.0033528106647474805;  // 1 / 298.257223563
inline constexpr double WGS84_B = 6356752.31414;

// The converter: the selected state and systems, and the working values of
// the state that the conversions load.
struct coord_sys_rec {
    std::uint8_t initialised = 0;  // set by coord_sys_select
    double E0 = 0, N0 = 0;         // old Cassini origin shift, chains
    double Ek = 0, Nk = 0;         // added to the polynomial easting and northing, chains
    double a[6] = {};              // northing polynomial
    double b[6] = {};              // easting polynomial
    double origin_latitude = 0;    // GDM2000 Cassini origin, radians
    double origin_longitude = 0;
    double false_easting = 0;  // GDM2000 Cassini false origin, metres
    double false_northing = 0;
    std::string state_name;
    std::int32_t state_index = 0;  // 1..12, 0 for a name not in the table
    std::string to_name;
    std::string from_name;
    bool announced = false;  // the selection was shown on the command line
};

// Geographic result: radians, degrees (latitude is the first output, longitude
// the second) and height in metres.
struct coord_geo_result_rec {
    double latitude_rad = 0, longitude_rad = 0;
    double latitude = 0, longitude = 0;
    double height = 0;
};

// Grid result: easting and northing in metres after a conversion to a grid;
// the geocentric steps leave their X, Y, Z here.
struct coord_grid_result_rec {
    double easting = 0, northing = 0, third = 0;
};

extern coord_sys_rec coord_sys;
extern coord_geo_result_rec coord_geo_result;
extern coord_grid_result_rec coord_grid_result;

// Selects the state (Negeri) and the two systems; returns the state index.
int coord_sys_select(const std::string& state, const std::string& from, const std::string& to);
// Converts x (easting, or longitude in degrees), y (northing, or latitude in
// degrees) and h (height, used by the GRS80 and WGS84 datum steps) from the
// selected system into the other. 1 with the result in the result records; 0,
// with the results cleared and the reason on the command line, when nothing
// was selected, the pair needs a state that is not in the table, the pair has
// no conversion, or the point lies where the formulas give no number.
int coord_convert(double x, double y, double h);
// 1 "Johor" .. 12 "Terengganu" without regard to case; 0 for any other text.
int state_name_index(const std::string& name);
// The name of a state index (1..12), "" for any other.
const char* state_name_of(int index);

// Converts a fixed point of Pulau Pinang from WGS84 into its old Cassini grid
// and prints it.
void coord_convert_selftest();
// "\nX <label>=<a>,<b>" with three decimals.
void coord_print_xy(const std::string& label, double a, double b);

// The converter's constants, for callers that need them.
inline const char* coord_name_mrt48()
{
    return COORD_MRT48;
}
inline const char* coord_name_gdm2000()
{
    return COORD_GDM2000;
}
inline double coord_wgs84_a()
{
    return WGS84_A;
}
inline double coord_wgs84_f()
{
    return WGS84_F;
}
inline double coord_wgs84_b()
{
    return WGS84_B;
}
inline double coord_grs80_a()
{
    return GRS80_A;
}
inline double coord_grs80_f()
{
    return GRS80_F;
}
inline double coord_everest_a()
{
    return EVEREST_A;
}
inline double coord_everest_f()
{
    return EVEREST_F;
}
inline double coord_everest_b()
{
    return EVEREST_B;
}
inline int coord_sys_initialised()
{
    return coord_sys.initialised;
}
