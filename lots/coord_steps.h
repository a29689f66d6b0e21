// The steps the converter chains: the per-state tables, the grid formulas and
// the datum steps. Each works on the converter and its result records
// (coord_sys.h); latitudes and longitudes are handed over in degrees.
#pragma once

// Degrees and radians as every step turns them (pi to ten decimals).
double coord_deg_to_rad(double degrees);
double coord_rad_to_deg(double radians);
// Stores latitude and longitude (radians) and height as the geographic result.
void coord_geo_result_set(double latitude_rad, double longitude_rad, double height);

// Perak's polynomial zone: 1 for a Cassini northing (metres) of at least
// 126735.7297, else 2.
int perak_poly_zone(double cassini_northing);
// Loads the state's old Cassini shift, constants and polynomials; zone_value
// picks Perak's zone (a Cassini northing in metres). 0 for a state index
// outside 1..12 (nothing loaded).
int cassini_poly_select(double zone_value, double second);
// Loads the state's GDM2000 Cassini origin and false origin; 0 for a state
// index outside 1..12.
int cassini_origin_select();

// Old state Cassini (metres) to old RSO: the grid result holds RSO easting and
// northing. 0 when the state has no polynomial.
int cassini_old_to_rso_old(double northing, double easting);
// Old RSO back to the old state Cassini grid with the loaded polynomial.
void rso_old_to_cassini_old(double northing, double easting);
// Geographic (Everest, degrees) to old RSO, into the grid result.
void geographic_to_rso_old(double latitude, double longitude);
// Old RSO to geographic (Everest), into the geographic result with height 0.
void rso_old_to_geographic(double northing, double easting);
// GDM2000 state Cassini (metres, false origin included) to geographic GRS80.
void cassini_geocentric_to_geographic(double origin_lat, double origin_lon, double northing, double easting);
// GDM2000 Peninsular RSO (metres) to geographic GRS80.
void rso_geocentric_to_geographic(double northing, double easting);

// Geodetic (degrees, height) to geocentric X, Y, Z in the grid result.
void geodetic_to_geocentric(double latitude, double longitude, double height, double a, double f);
// Geocentric X, Y, Z to geodetic, into the geographic result.
void geocentric_to_geodetic(double x, double y, double z, double a, double b, double f);
// The datum steps on the grid result's X, Y, Z.
void datum_shift_everest_to_wgs84();
void datum_shift_wgs84_to_everest();
void datum_shift_grs80_to_wgs84();
// Geodetic on the source ellipsoid (a, f) to geodetic on the target (a, b, f)
// through the datum step; the geographic result holds the target's values.
void datum_everest_to_wgs84(double latitude, double longitude, double height, double src_a, double src_f,
                            double dst_a, double dst_b, double dst_f);
void datum_grs80_to_wgs84(double latitude, double longitude, double height, double src_a, double src_f,
                          double dst_a, double dst_b, double dst_f);
void datum_wgs84_to_everest(double latitude, double longitude, double height, double src_a, double src_f,
                            double dst_a, double dst_b, double dst_f);
