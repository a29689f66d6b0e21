// The converter's selection and its dispatch: which steps carry a point from
// the selected system into the other, and the fixed-point self-test.
#include "coord_sys.h"

#include <cmath>

#include "ads.h"
#include "constants.h"
#include "coord_steps.h"
#include "text_fields.h"

coord_sys_rec coord_sys;
coord_geo_result_rec coord_geo_result;
coord_grid_result_rec coord_grid_result;

namespace {

enum class coord_route {
    none,
    cassini_old_to_rso,
    cassini_old_to_mrt48,
    cassini_old_to_wgs84,
    cassini_geocentric_to_gdm2000,
    cassini_geocentric_to_wgs84,
    wgs84_to_cassini_old,
    rso_old_to_mrt48,
    rso_old_to_wgs84,
    rso_geocentric_to_gdm2000,
    rso_geocentric_to_wgs84,
};

bool same_name(const std::string& name, const char* system)
{
    return str_upper_copy(name) == str_upper_copy(system);
}

coord_route route_of(const std::string& from, const std::string& to)
{
    struct pair_route {
        const char* from;
        const char* to;
        coord_route route;
    };
    static const pair_route routes[] = {
        {COORD_CASSINI_OLD, COORD_RSO_OLD, coord_route::cassini_old_to_rso},
        {COORD_CASSINI_OLD, COORD_MRT48, coord_route::cassini_old_to_mrt48},
        {COORD_CASSINI_OLD, COORD_WGS84, coord_route::cassini_old_to_wgs84},
        {COORD_CASSINI_GEOCENTRIC, COORD_GDM2000, coord_route::cassini_geocentric_to_gdm2000},
        {COORD_CASSINI_GEOCENTRIC, COORD_WGS84, coord_route::cassini_geocentric_to_wgs84},
        {COORD_WGS84, COORD_CASSINI_OLD, coord_route::wgs84_to_cassini_old},
        {COORD_RSO_OLD, COORD_MRT48, coord_route::rso_old_to_mrt48},
        {COORD_RSO_OLD, COORD_WGS84, coord_route::rso_old_to_wgs84},
        {COORD_RSO_GEOCENTRIC, COORD_GDM2000, coord_route::rso_geocentric_to_gdm2000},
        {COORD_RSO_GEOCENTRIC, COORD_WGS84, coord_route::rso_geocentric_to_wgs84},
    };
    for (const pair_route& r : routes)
        if (same_name(from, r.from) && same_name(to, r.to)) return r.route;
    return coord_route::none;
}

// The state grids need the state's tables; the RSO grids cover the whole peninsula.
bool route_needs_state(coord_route route)
{
    switch (route) {
        case coord_route::rso_old_to_mrt48:
        case coord_route::rso_old_to_wgs84:
        case coord_route::rso_geocentric_to_gdm2000:
        case coord_route::rso_geocentric_to_wgs84:
            return false;
        default:
            return true;
    }
}

bool route_ends_on_grid(coord_route route)
{
    return route == coord_route::cassini_old_to_rso || route == coord_route::wgs84_to_cassini_old;
}

void results_clear()
{
    coord_geo_result = coord_geo_result_rec{};
    coord_grid_result = coord_grid_result_rec{};
}

int fail(const char* format, const std::string& a = {}, const std::string& b = {})
{
    acutPrintf(format, a.c_str(), b.c_str());
    results_clear();
    return 0;
}

void announce_selection()
{
    if (coord_sys.announced) return;
    acutPrintf("\nNegeri=%s index=%d", coord_sys.state_name.c_str(), coord_sys.state_index);
    acutPrintf("\nFrom=%s", coord_sys.from_name.c_str());
    acutPrintf("\nTo =%s", coord_sys.to_name.c_str());
    coord_sys.announced = true;
}

void everest_to_wgs84()
{
    datum_everest_to_wgs84(coord_geo_result.latitude, coord_geo_result.longitude, 0, EVEREST_A, EVEREST_F,
                           WGS84_A, WGS84_B, WGS84_F);
}

void grs80_to_wgs84(double height)
{
    datum_grs80_to_wgs84(coord_geo_result.latitude, coord_geo_result.longitude, height, GRS80_A, GRS80_F,
                         WGS84_A, WGS84_B, WGS84_F);
}

// Old RSO to the state's old Cassini grid. Perak has two polynomial zones split
// at a Cassini northing, which is what is being computed: the northern zone is
// tried first and kept when its result lies in it, else the southern zone's.
void rso_to_cassini_by_zone(double northing, double easting)
{
    cassini_poly_select(INFINITY, easting);
    rso_old_to_cassini_old(northing, easting);
    if (coord_sys.state_index != 10 || perak_poly_zone(coord_grid_result.northing) == 1) return;
    cassini_poly_select(-INFINITY, easting);
    rso_old_to_cassini_old(northing, easting);
}

void run_route(coord_route route, double x, double y, double h)
{
    switch (route) {
        case coord_route::cassini_old_to_rso:
            cassini_old_to_rso_old(y, x);
            break;
        case coord_route::cassini_old_to_mrt48:
        case coord_route::cassini_old_to_wgs84:
            cassini_old_to_rso_old(y, x);
            rso_old_to_geographic(coord_grid_result.northing, coord_grid_result.easting);
            if (route == coord_route::cassini_old_to_wgs84) everest_to_wgs84();
            break;
        case coord_route::cassini_geocentric_to_gdm2000:
        case coord_route::cassini_geocentric_to_wgs84:
            cassini_origin_select();
            cassini_geocentric_to_geographic(coord_sys.origin_latitude, coord_sys.origin_longitude, y, x);
            if (route == coord_route::cassini_geocentric_to_wgs84) grs80_to_wgs84(h);
            break;
        case coord_route::wgs84_to_cassini_old:
            datum_wgs84_to_everest(y, x, h, WGS84_A, WGS84_F, EVEREST_A, EVEREST_B, EVEREST_F);
            geographic_to_rso_old(coord_geo_result.latitude, coord_geo_result.longitude);
            rso_to_cassini_by_zone(coord_grid_result.northing, coord_grid_result.easting);
            break;
        case coord_route::rso_old_to_mrt48:
        case coord_route::rso_old_to_wgs84:
            rso_old_to_geographic(y, x);
            if (route == coord_route::rso_old_to_wgs84) everest_to_wgs84();
            break;
        case coord_route::rso_geocentric_to_gdm2000:
        case coord_route::rso_geocentric_to_wgs84:
            rso_geocentric_to_geographic(y, x);
            if (route == coord_route::rso_geocentric_to_wgs84) grs80_to_wgs84(h);
            break;
        case coord_route::none:
            break;
    }
}

}  // namespace

double coord_deg_to_rad(double degrees)
{
    return degrees / 180 * ORVIK_PI;
}

double coord_rad_to_deg(double radians)
{
    return radians * 180 / ORVIK_PI;
}

void coord_geo_result_set(double latitude_rad, double longitude_rad, double height)
{
    coord_geo_result.latitude_rad = latitude_rad;
    coord_geo_result.longitude_rad = longitude_rad;
    coord_geo_result.latitude = coord_rad_to_deg(latitude_rad);
    coord_geo_result.longitude = coord_rad_to_deg(longitude_rad);
    coord_geo_result.height = height;
}

int coord_sys_select(const std::string& state, const std::string& from, const std::string& to)
{
    coord_sys.state_name = state;
    coord_sys.from_name = from;
    coord_sys.to_name = to;
    coord_sys.state_index = state_name_index(state);
    coord_sys.initialised = 1;
    coord_sys.announced = false;
    return coord_sys.state_index;
}

int coord_convert(double x, double y, double h)
{
    if (!coord_sys.initialised) {
        acedAlert("\nNot Initialize");
        results_clear();
        return 0;
    }
    announce_selection();
    const coord_route route = route_of(coord_sys.from_name, coord_sys.to_name);
    if (route == coord_route::none)
        return fail("\nNo conversion from %s to %s: nothing converted.", coord_sys.from_name,
                    coord_sys.to_name);
    if (route_needs_state(route) && coord_sys.state_index == 0)
        return fail("\nNegeri \"%s\" is not one of the states of the grids: nothing converted.",
                    coord_sys.state_name);
    results_clear();
    run_route(route, x, y, h);
    const bool finite =
        route_ends_on_grid(route)
            ? std::isfinite(coord_grid_result.easting) && std::isfinite(coord_grid_result.northing)
            : std::isfinite(coord_geo_result.latitude) && std::isfinite(coord_geo_result.longitude);
    if (!finite) {
        acutPrintf("\nThe point %.3f,%.3f lies outside what %s to %s converts: nothing converted.", x, y,
                   coord_sys.from_name.c_str(), coord_sys.to_name.c_str());
        results_clear();
        return 0;
    }
    return 1;
}

void coord_print_xy(const std::string& label, double a, double b)
{
    acutPrintf("\nX %s=%.3f,%.3f", label.c_str(), a, b);
}

void coord_convert_selftest()
{
    coord_sys_select("Pulau Pinang", COORD_WGS84, COORD_CASSINI_OLD);
    if (coord_convert(99.0571638888889, 5.124648263888889, 0))
        coord_print_xy("Cassini old", coord_grid_result.easting, coord_grid_result.northing);
}
