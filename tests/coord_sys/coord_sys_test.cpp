// The coordinate converter against PROJ as an independent reference, over
// points spread through every state (each state's points lie inside it; Perak
// has points in both polynomial zones).
//
// The PROJ definitions compared with:
//   old state Cassini grids: EPSG:4390 Johor, 4396 Kedah and Perlis, 4398
//     Kelantan, 4391 Sembilan and Melaka, 4392 Pahang (all four Pahang
//     states), 4395 Pinang, 4397 Perak Revised, 4393 Selangor, 4394
//     Terengganu ("Kertau 1968 / ... Grid", Cassini-Soldner on Everest 1830
//     Modified, +a=6377304.063 +rf=300.8017), in metres;
//   old RSO: EPSG:24571 "Kertau / R.S.O. Malaya" in metres (its chain unit
//     dropped), the same ellipsoid;
//   GDM2000 state Cassini grids: EPSG:3377 Johor, 3383 Kedah and Perlis, 3385
//     Kelantan, 3378 Sembilan and Melaka, 3379 Pahang, 3382 Pinang, 3384
//     Perak, 3380 Selangor, 3381 Terengganu (GRS80);
//   GDM2000 Peninsular RSO: EPSG:3375;
//   MRT48 to WGS84: EPSG's "Kertau 1968 to WGS 84 (1)" (+towgs84=-11,851,5,
//     given by EPSG as good to 15 m) for the datum as published, and a PROJ
//     pipeline of the converter's own seven parameters (translation, then the
//     exact rotation, position-vector form) for its arithmetic;
//   GDM2000 to WGS84: PROJ takes the two as one datum; a pipeline of the
//     converter's own seven parameters (coordinate-frame form, exact rotation,
//     scale 0.24859 ppm) checks its arithmetic.
//
// Agreement measured (largest difference over the points):
//   GDM2000 state Cassini grids to GDM2000: 0.02 mm; the Peninsular RSO grid:
//     0.1 mm; the old RSO formulas, forward and inverse: 0.8 mm; the datum
//     steps against pipelines of their own parameters: below 0.01 mm;
//   old Cassini to old RSO, MRT48 and WGS84 (the polynomials, and the datum):
//     per state in the table below, from 1.3 m (Terengganu) to 16.8 m (Kedah
//     and Perlis), the old state grids' own departure from the EPSG grids;
//   the converter's MRT48 to WGS84 shift against EPSG's three parameters:
//     1.8 m; its GDM2000 to WGS84 shift: 1.9 m (PROJ applies none);
//   forward then reverse (old Cassini to WGS84 and back): 5.5 mm, from the
//     single substitution of the polynomial's inversion.
#include "coord_sys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "coord_steps.h"
#include "host_fixture.h"
#include "proj_oracle.h"

namespace {

const std::string kEverest = " +a=6377304.063 +rf=300.8017";
const std::string kOldRso =
    "+proj=omerc +no_uoff +lat_0=4 +lonc=102.25 +alpha=323.0257905 +gamma=323.130102361111 +k=0.99984 "
    "+x_0=804671.299775035 +y_0=0" +
    kEverest;
const std::string kGdmRso =
    "+proj=omerc +no_uoff +lat_0=4 +lonc=102.25 +alpha=323.025796466667 +gamma=323.130102361111 +k=0.99984 "
    "+x_0=804671 +y_0=0 +ellps=GRS80";
const std::string kEverestGeographic = "+proj=longlat" + kEverest;
const std::string kGrs80Geographic = "+proj=longlat +ellps=GRS80";
const std::string kWgs84Geographic = "+proj=longlat +datum=WGS84";

struct state_case {
    const char* state;
    std::string old_cassini;       // PROJ definition of the old state grid
    std::string gdm_cassini;       // PROJ definition of the GDM2000 state grid
    std::vector<proj::xy> points;  // longitude, latitude
    double old_metres;             // agreement of the old Cassini polynomial (metres)
};

std::string cass(const char* lat0, const char* lon0, const char* x0, const char* y0,
                 const std::string& ellipsoid)
{
    return std::string("+proj=cass +lat_0=") + lat0 + " +lon_0=" + lon0 + " +x_0=" + x0 + " +y_0=" + y0 +
           ellipsoid;
}

const std::vector<state_case>& states()
{
    static const std::string grs = " +ellps=GRS80";
    static const std::string pahang_old = cass("3.71097222222222", "102.436177777778", "0", "0", kEverest);
    static const std::string pahang_new =
        cass("3.76938808888889", "102.368298983333", "-7368.228", "6485.858", grs);
    static const std::vector<state_case> cases = {
        {"Johor",
         cass("2.04258333333333", "103.562758333333", "0", "0", kEverest),
         cass("2.12167974444444", "103.427936236111", "-14810.562", "8758.32", grs),
         {{103.4, 1.6}, {103.9, 2.3}, {103.1, 1.9}, {104.1, 1.5}},
         16.5},
        {"Kedah and Perlis",
         cass("5.96514722222222", "100.637594444444", "0", "0", kEverest),
         cass("5.96467271388889", "100.636371111111", "0", "0", grs),
         {{100.4, 6.3}, {100.5, 5.5}, {100.9, 6.1}},
         18.0},
        {"Kelantan",
         cass("5.89392222222222", "102.177291666667", "0", "0", kEverest),
         cass("5.97254365833333", "102.295241669444", "13227.851", "8739.894", grs),
         {{102.0, 5.9}, {102.2, 4.9}, {101.7, 5.3}},
         2.0},
        {"N.Sembilan and Melaka",
         cass("2.71228333333333", "101.941166666667", "-242.005", "-948.547", kEverest),
         cass("2.68234763611111", "101.974905041667", "3673.785", "-4240.573", grs),
         {{101.9, 2.6}, {102.3, 2.3}, {102.2, 2.9}},
         3.6},
        {"Pahang Barat Daya", pahang_old, pahang_new, {{101.8, 3.4}, {102.1, 3.7}}, 4.0},
        {"Pahang Barat Laut", pahang_old, pahang_new, {{101.8, 4.2}, {102.2, 4.4}}, 4.0},
        {"Pahang Tenggara", pahang_old, pahang_new, {{103.2, 3.0}, {102.9, 3.3}}, 7.8},
        {"Pahang Timur Laut", pahang_old, pahang_new, {{103.2, 3.9}, {102.9, 4.1}}, 8.2},
        {"Pulau Pinang",
         cass("5.421325", "100.345869444444", "0", "0", kEverest),
         cass("5.42151754166667", "100.344376963889", "-23.414", "62.283", grs),
         {{100.3, 5.4}, {100.4, 5.3}},
         14.0},
        {"Perak",
         cass("4.85938055555556", "100.816766666667", "0", "133453.669", kEverest),
         cass("4.85906302222222", "100.815410586111", "-1.769", "133454.779", grs),
         {{100.9, 5.5}, {101.2, 5.0}, {100.7, 4.95}, {100.9, 4.3}, {101.2, 3.9}, {100.6, 4.6}},
         2.0},
        {"Selangor and K. Lumpur",
         cass("3.68034444444444", "101.508244444444", "-21759.438", "55960.906", kEverest),
         cass("3.68464905", "101.389107913889", "-34836.161", "56464.049", grs),
         {{101.4, 3.2}, {101.7, 3.1}, {101.2, 3.6}},
         2.3},
        {"Terengganu",
         cass("4.94614166666667", "102.895208333333", "0", "0", kEverest),
         cass("4.9762852", "103.070275625", "19594.245", "3371.895", grs),
         {{103.0, 5.3}, {102.7, 4.6}, {103.4, 4.4}},
         1.5},
    };
    return cases;
}

// The converter's seven-parameter shifts written as PROJ pipelines on
// longitude, latitude and height in degrees and metres.
std::string arcseconds(double radians)
{
    char text[40];
    std::snprintf(text, sizeof text, "%.12f", radians * 206264.80624709636);
    return text;
}

std::string everest_to_wgs84_pipeline()
{
    return "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=cart" + kEverest +
           " +step +proj=helmert +x=-379.77603 +y=775.38371 +z=-86.60926"
           " +step +proj=helmert +exact +convention=position_vector +rx=" +
           arcseconds(1.25893507828438e-05) + " +ry=" + arcseconds(1.01914138347079e-05) +
           " +rz=" + arcseconds(-5.87292142581426e-05) +
           " +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
}

std::string grs80_to_wgs84_pipeline()
{
    return "+proj=pipeline +step +proj=unitconvert +xy_in=deg +xy_out=rad +step +proj=cart +ellps=GRS80"
           " +step +proj=helmert +exact +convention=coordinate_frame +x=1.69276 +y=-1.92994 +z=2.07108 +rx=" +
           arcseconds(1.70412008910002e-07) + " +ry=" + arcseconds(-1.38559750061105e-07) +
           " +rz=" + arcseconds(-2.99130041244584e-08) +
           " +s=0.24859 +step +inv +proj=cart +ellps=WGS84 +step +proj=unitconvert +xy_in=rad +xy_out=deg";
}

// Geographic differences in metres.
double geo_gap(double lon, double lat, double want_lon, double want_lat)
{
    return std::hypot(proj::lon_metres(lon - want_lon, want_lat), (lat - want_lat) * proj::metres_per_degree);
}

class CoordSys : public HostFixture {
protected:
    // Converts one point; false when the converter refused it.
    bool convert(const char* state, const char* from, const char* to, double x, double y, double h = 0)
    {
        coord_sys_select(state, from, to);
        return coord_convert(x, y, h) == 1;
    }
    const std::string& transcript() { return session().transcript().text(); }
};

TEST_F(CoordSys, SelfTestPrintsTheCassiniCoordinatesOfItsPoint)
{
    session().register_script_command("COORDSELFTEST", [](const std::string&) { coord_convert_selftest(); });
    const std::string out = run("COORDSELFTEST\n");
    EXPECT_NE(out.find("\nNegeri=Pulau Pinang index=9\nFrom=WGS84\nTo =Cassini-Soldner(Old)\nX Cassini old="),
              std::string::npos)
        << out;
    // The printed pair is the grid result with three decimals.
    char want[80];
    std::snprintf(want, sizeof want, "X Cassini old=%.3f,%.3f", coord_grid_result.easting,
                  coord_grid_result.northing);
    EXPECT_NE(out.find(want), std::string::npos) << out;
    // PROJ: WGS84 to MRT48 by EPSG's three parameters, then the old Pinang grid.
    // The point lies 140 km west of Pinang, beyond the polynomial's state.
    const auto want_grid =
        proj::cs2cs(kWgs84Geographic + " +to " + states()[8].old_cassini + " +towgs84=-11,851,5",
                    {{99.0571638888889, 5.124648263888889}});
    ASSERT_EQ(want_grid.size(), 1u);
    // Measured: 49 m, the polynomial taken far beyond its state.
    EXPECT_LT(
        std::hypot(coord_grid_result.easting - want_grid[0][0], coord_grid_result.northing - want_grid[0][1]),
        55.0);
}

TEST_F(CoordSys, OldCassiniThroughTheOldRsoGridAgreesWithProjInEveryState)
{
    double worst_rso = 0, worst_mrt48 = 0, worst_wgs84 = 0;
    for (const state_case& c : states()) {
        SCOPED_TRACE(c.state);
        const auto grid = proj::cs2cs(kEverestGeographic + " +to " + c.old_cassini, c.points);
        const auto rso = proj::cs2cs(kEverestGeographic + " +to " + kOldRso, c.points);
        const auto wgs =
            proj::cs2cs(kEverestGeographic + " +towgs84=-11,851,5 +to " + kWgs84Geographic, c.points);
        ASSERT_EQ(grid.size(), c.points.size());
        for (size_t i = 0; i < c.points.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(convert(c.state, COORD_CASSINI_OLD, COORD_RSO_OLD, grid[i][0], grid[i][1]));
            const double gap =
                std::hypot(coord_grid_result.easting - rso[i][0], coord_grid_result.northing - rso[i][1]);
            EXPECT_LT(gap, c.old_metres);
            worst_rso = std::max(worst_rso, gap);

            ASSERT_TRUE(convert(c.state, COORD_CASSINI_OLD, COORD_MRT48, grid[i][0], grid[i][1]));
            const double mrt = geo_gap(coord_geo_result.longitude, coord_geo_result.latitude, c.points[i][0],
                                       c.points[i][1]);
            EXPECT_LT(mrt, c.old_metres);
            worst_mrt48 = std::max(worst_mrt48, mrt);

            ASSERT_TRUE(convert(c.state, COORD_CASSINI_OLD, COORD_WGS84, grid[i][0], grid[i][1]));
            const double w =
                geo_gap(coord_geo_result.longitude, coord_geo_result.latitude, wgs[i][0], wgs[i][1]);
            EXPECT_LT(w, c.old_metres);
            worst_wgs84 = std::max(worst_wgs84, w);
        }
    }
    std::printf("old Cassini: to RSO %.3f m, to MRT48 %.3f m, to WGS84 %.3f m\n", worst_rso, worst_mrt48,
                worst_wgs84);
}

TEST_F(CoordSys, OldRsoFormulasAgreeWithProjToTheMillimetre)
{
    std::vector<proj::xy> points;
    for (const state_case& c : states()) points.insert(points.end(), c.points.begin(), c.points.end());
    const auto rso = proj::cs2cs(kEverestGeographic + " +to " + kOldRso, points);
    ASSERT_EQ(rso.size(), points.size());
    double worst_forward = 0, worst_inverse = 0, worst_wgs84 = 0;
    const auto wgs = proj::cct(everest_to_wgs84_pipeline(), [&] {
        std::vector<std::array<double, 3>> p;
        for (const auto& q : points) p.push_back({q[0], q[1], 0});
        return p;
    }());
    ASSERT_EQ(wgs.size(), points.size());
    for (size_t i = 0; i < points.size(); ++i) {
        geographic_to_rso_old(points[i][1], points[i][0]);
        worst_forward = std::max(worst_forward, std::hypot(coord_grid_result.easting - rso[i][0],
                                                           coord_grid_result.northing - rso[i][1]));
        ASSERT_TRUE(convert("", COORD_RSO_OLD, COORD_MRT48, rso[i][0], rso[i][1]));
        worst_inverse = std::max(worst_inverse, geo_gap(coord_geo_result.longitude, coord_geo_result.latitude,
                                                        points[i][0], points[i][1]));
        ASSERT_TRUE(convert("", COORD_RSO_OLD, COORD_WGS84, rso[i][0], rso[i][1]));
        worst_wgs84 = std::max(worst_wgs84, geo_gap(coord_geo_result.longitude, coord_geo_result.latitude,
                                                    wgs[i][0], wgs[i][1]));
    }
    std::printf("old RSO: forward %.5f m, inverse %.5f m, to WGS84 %.5f m\n", worst_forward, worst_inverse,
                worst_wgs84);
    EXPECT_LT(worst_forward, 0.001);
    EXPECT_LT(worst_inverse, 0.001);
    EXPECT_LT(worst_wgs84, 0.001);
}

TEST_F(CoordSys, GdmCassiniGridsAgreeWithTheirPublishedDefinitions)
{
    double worst_gdm = 0, worst_wgs84_own = 0, worst_wgs84_proj = 0;
    for (const state_case& c : states()) {
        SCOPED_TRACE(c.state);
        const auto grid = proj::cs2cs(kGrs80Geographic + " +to " + c.gdm_cassini, c.points);
        std::vector<std::array<double, 3>> with_height;
        for (const auto& p : c.points) with_height.push_back({p[0], p[1], 25.0});
        const auto wgs = proj::cct(grs80_to_wgs84_pipeline(), with_height);
        ASSERT_EQ(grid.size(), c.points.size());
        ASSERT_EQ(wgs.size(), c.points.size());
        for (size_t i = 0; i < c.points.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(convert(c.state, COORD_CASSINI_GEOCENTRIC, COORD_GDM2000, grid[i][0], grid[i][1]));
            worst_gdm = std::max(worst_gdm, geo_gap(coord_geo_result.longitude, coord_geo_result.latitude,
                                                    c.points[i][0], c.points[i][1]));
            ASSERT_TRUE(
                convert(c.state, COORD_CASSINI_GEOCENTRIC, COORD_WGS84, grid[i][0], grid[i][1], 25.0));
            worst_wgs84_own = std::max(
                worst_wgs84_own,
                geo_gap(coord_geo_result.longitude, coord_geo_result.latitude, wgs[i][0], wgs[i][1]));
            worst_wgs84_proj =
                std::max(worst_wgs84_proj, geo_gap(coord_geo_result.longitude, coord_geo_result.latitude,
                                                   c.points[i][0], c.points[i][1]));
        }
    }
    std::printf("GDM2000 Cassini: %.5f m; to WGS84 %.5f m (own parameters), %.3f m (PROJ's none)\n",
                worst_gdm, worst_wgs84_own, worst_wgs84_proj);
    EXPECT_LT(worst_gdm, 0.001);
    EXPECT_LT(worst_wgs84_own, 0.001);
    EXPECT_LT(worst_wgs84_proj, 2.5);
}

TEST_F(CoordSys, GdmPeninsularRsoAgreesWithProj)
{
    std::vector<proj::xy> points;
    for (const state_case& c : states()) points.insert(points.end(), c.points.begin(), c.points.end());
    const auto rso = proj::cs2cs(kGrs80Geographic + " +to " + kGdmRso, points);
    ASSERT_EQ(rso.size(), points.size());
    double worst = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        ASSERT_TRUE(convert("", COORD_RSO_GEOCENTRIC, COORD_GDM2000, rso[i][0], rso[i][1]));
        worst = std::max(worst, geo_gap(coord_geo_result.longitude, coord_geo_result.latitude, points[i][0],
                                        points[i][1]));
    }
    std::printf("GDM2000 RSO: %.5f m\n", worst);
    EXPECT_LT(worst, 0.001);
}

TEST_F(CoordSys, WgsToOldCassiniAgreesWithProjAndReturnsTheStartingPoint)
{
    double worst_proj = 0, worst_round_trip = 0;
    for (const state_case& c : states()) {
        SCOPED_TRACE(c.state);
        const auto grid =
            proj::cs2cs(kWgs84Geographic + " +to " + c.old_cassini + " +towgs84=-11,851,5", c.points);
        ASSERT_EQ(grid.size(), c.points.size());
        for (size_t i = 0; i < c.points.size(); ++i) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(convert(c.state, COORD_WGS84, COORD_CASSINI_OLD, c.points[i][0], c.points[i][1]));
            const double e = coord_grid_result.easting, n = coord_grid_result.northing;
            const double gap = std::hypot(e - grid[i][0], n - grid[i][1]);
            EXPECT_LT(gap, c.old_metres);
            worst_proj = std::max(worst_proj, gap);
            // Back to WGS84, then forward once more: the grid point returns.
            ASSERT_TRUE(convert(c.state, COORD_CASSINI_OLD, COORD_WGS84, e, n));
            ASSERT_TRUE(convert(c.state, COORD_WGS84, COORD_CASSINI_OLD, coord_geo_result.longitude,
                                coord_geo_result.latitude));
            const double back = std::hypot(coord_grid_result.easting - e, coord_grid_result.northing - n);
            EXPECT_LT(back, 0.006);
            worst_round_trip = std::max(worst_round_trip, back);
        }
    }
    std::printf("WGS84 to old Cassini: %.3f m from PROJ, round trip %.5f m\n", worst_proj, worst_round_trip);
}

TEST_F(CoordSys, SouthPerakTakesItsOwnPolynomialBothWays)
{
    // A point of the southern zone (Cassini northing below 126735.7297 m):
    // forward it takes zone 2 by its Cassini northing, and the reverse finds
    // the same zone, so the point comes back where it started.
    const double easting = 20000, northing = 60000;
    ASSERT_TRUE(convert("Perak", COORD_CASSINI_OLD, COORD_WGS84, easting, northing));
    ASSERT_TRUE(convert("Perak", COORD_WGS84, COORD_CASSINI_OLD, coord_geo_result.longitude,
                        coord_geo_result.latitude));
    EXPECT_NEAR(coord_grid_result.easting, easting, 0.005);
    EXPECT_NEAR(coord_grid_result.northing, northing, 0.005);
    // The northern zone's polynomial would put it metres away.
    coord_sys_select("Perak", COORD_CASSINI_OLD, COORD_RSO_OLD);
    ASSERT_TRUE(cassini_old_to_rso_old(northing, easting));
    const double rso_e = coord_grid_result.easting, rso_n = coord_grid_result.northing;
    cassini_poly_select(126735.7297, 0);
    rso_old_to_cassini_old(rso_n, rso_e);
    EXPECT_GT(std::hypot(coord_grid_result.easting - easting, coord_grid_result.northing - northing), 2.0);

    // The zone boundary itself belongs to zone 1.
    EXPECT_EQ(perak_poly_zone(126735.7297), 1);
    EXPECT_EQ(perak_poly_zone(126735.7296), 2);
    cassini_poly_select(126735.7297, 0);
    EXPECT_EQ(coord_sys.a[0], 0.0097);
    cassini_poly_select(126735.7296, 0);
    EXPECT_EQ(coord_sys.a[0], 0.0164);
}

TEST_F(CoordSys, StatesMatchInAnyCaseAndShareWhatTheyShare)
{
    EXPECT_EQ(state_name_index("johor"), 1);
    EXPECT_EQ(state_name_index("PULAU PINANG"), 9);
    EXPECT_EQ(state_name_index("Terengganu"), 12);
    EXPECT_EQ(state_name_index("Sabah"), 0);
    EXPECT_EQ(coord_sys_select("selangor and k. lumpur", COORD_WGS84, COORD_CASSINI_OLD), 11);

    // The four Pahang states: one GDM2000 origin and one Nk, Ek, four polynomials.
    std::vector<double> a1;
    for (int index = 5; index <= 8; ++index) {
        coord_sys_select(state_name_of(index), COORD_CASSINI_GEOCENTRIC, COORD_GDM2000);
        ASSERT_EQ(cassini_origin_select(), 1);
        EXPECT_DOUBLE_EQ(coord_sys.origin_latitude, coord_deg_to_rad(3.76938808888889));
        ASSERT_EQ(cassini_poly_select(0, 0), 1);
        EXPECT_EQ(coord_sys.Nk, 20402.611);
        EXPECT_EQ(coord_sys.Ek, 24530.257);
        a1.push_back(coord_sys.a[1]);
    }
    EXPECT_EQ(a1, (std::vector<double>{-2.0555, -1.17721, -0.65021, -1.85804}));
}

TEST_F(CoordSys, RefusalsLeaveNoResultBehind)
{
    // A first good conversion fills the results.
    ASSERT_TRUE(convert("Johor", COORD_CASSINI_GEOCENTRIC, COORD_GDM2000, 1000, 2000));
    ASSERT_NE(coord_geo_result.latitude, 0.0);

    struct refusal {
        const char* state;
        const char* from;
        const char* to;
        const char* message;
    };
    const refusal refusals[] = {
        {"Sabah", COORD_CASSINI_GEOCENTRIC, COORD_GDM2000,
         "\nNegeri \"Sabah\" is not one of the states of the grids"},
        {"", COORD_WGS84, COORD_CASSINI_OLD, "\nNegeri \"\" is not one of the states of the grids"},
        {"Johor", COORD_MRT48, COORD_WGS84, "\nNo conversion from MRT48 to WGS84: nothing converted."},
        {"Johor", COORD_GDM2000, COORD_WGS84, "\nNo conversion from GDM2000 to WGS84"},
        {"Johor", COORD_WGS84, COORD_RSO_OLD, "\nNo conversion from WGS84 to MRSO(Old)"},
    };
    for (const refusal& r : refusals) {
        SCOPED_TRACE(std::string(r.from) + " " + r.to + " " + r.state);
        ASSERT_TRUE(convert("Johor", COORD_CASSINI_GEOCENTRIC, COORD_GDM2000, 1000, 2000));
        const std::string before = transcript();
        EXPECT_FALSE(convert(r.state, r.from, r.to, 1000, 2000));
        EXPECT_NE(transcript().substr(before.size()).find(r.message), std::string::npos) << transcript();
        EXPECT_EQ(coord_geo_result.latitude, 0.0);
        EXPECT_EQ(coord_geo_result.longitude, 0.0);
        EXPECT_EQ(coord_grid_result.easting, 0.0);
        EXPECT_EQ(coord_grid_result.northing, 0.0);
    }
    // A point where the formulas give no number.
    EXPECT_FALSE(convert("Johor", COORD_RSO_OLD, COORD_WGS84, 1e12, 1e12));
    EXPECT_NE(transcript().find("lies outside what MRSO(Old) to WGS84 converts"), std::string::npos);
    EXPECT_EQ(coord_geo_result.latitude, 0.0);
}

TEST_F(CoordSys, NothingConvertsBeforeASelection)
{
    coord_sys = coord_sys_rec{};
    EXPECT_EQ(coord_convert(1, 2, 0), 0);
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    EXPECT_EQ(session().transcript().alerts[0], "\nNot Initialize");
    // The selection is shown once, at its first conversion.
    coord_sys_select("Kelantan", COORD_CASSINI_GEOCENTRIC, COORD_WGS84);
    coord_convert(0, 0, 0);
    coord_convert(10, 10, 0);
    const std::string& text = transcript();
    const size_t first = text.find("\nNegeri=Kelantan index=3\nFrom=Cassini-Soldner Geocentric\nTo =WGS84");
    EXPECT_NE(first, std::string::npos) << text;
    EXPECT_EQ(text.find("Negeri=", first + 2), std::string::npos) << text;
}

TEST_F(CoordSys, GeocentricLongitudesComeOutInEveryQuadrant)
{
    // West of Greenwich (X > 0, Y < 0), east of 90 E (X < 0, Y > 0) and west of
    // 90 W (X < 0, Y < 0), on the equator at height 100 m.
    const double table[][2] = {{-45.0, 0.0}, {101.5, 3.0}, {-120.0, -10.0}, {90.0, 45.0}};
    for (const auto& row : table) {
        SCOPED_TRACE(row[0]);
        geodetic_to_geocentric(row[1], row[0], 100.0, WGS84_A, WGS84_F);
        geocentric_to_geodetic(coord_grid_result.easting, coord_grid_result.northing, coord_grid_result.third,
                               WGS84_A, WGS84_B, WGS84_F);
        EXPECT_NEAR(coord_geo_result.longitude, row[0], 1e-9);
        EXPECT_NEAR(coord_geo_result.latitude, row[1], 1e-9);
        EXPECT_NEAR(coord_geo_result.height, 100.0, 1e-3);
    }
}

TEST_F(CoordSys, DatumStepsMatchTheirParametersAndUndoEachOther)
{
    std::vector<std::array<double, 3>> points;
    for (const state_case& c : states())
        for (const auto& p : c.points) points.push_back({p[0], p[1], 0});
    const auto wgs = proj::cct(everest_to_wgs84_pipeline(), points);
    const auto epsg = proj::cs2cs(kEverestGeographic + " +towgs84=-11,851,5 +to " + kWgs84Geographic, [&] {
        std::vector<proj::xy> p;
        for (const auto& q : points) p.push_back({q[0], q[1]});
        return p;
    }());
    ASSERT_EQ(wgs.size(), points.size());
    double worst_own = 0, worst_epsg = 0, worst_back = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        datum_everest_to_wgs84(points[i][1], points[i][0], 0, EVEREST_A, EVEREST_F, WGS84_A, WGS84_B,
                               WGS84_F);
        const coord_geo_result_rec w = coord_geo_result;
        worst_own = std::max(worst_own, geo_gap(w.longitude, w.latitude, wgs[i][0], wgs[i][1]));
        worst_epsg = std::max(worst_epsg, geo_gap(w.longitude, w.latitude, epsg[i][0], epsg[i][1]));
        datum_wgs84_to_everest(w.latitude, w.longitude, w.height, WGS84_A, WGS84_F, EVEREST_A, EVEREST_B,
                               EVEREST_F);
        worst_back = std::max(worst_back, geo_gap(coord_geo_result.longitude, coord_geo_result.latitude,
                                                  points[i][0], points[i][1]));
        EXPECT_NEAR(coord_geo_result.height, 0.0, 0.001);
    }
    std::printf("MRT48 to WGS84: %.5f m from its own parameters, %.3f m from EPSG's three; back %.6f m\n",
                worst_own, worst_epsg, worst_back);
    EXPECT_LT(worst_own, 0.001);
    EXPECT_LT(worst_epsg, 2.0);
    EXPECT_LT(worst_back, 0.0005);
}

}  // namespace
