// The grid formulas of the converter: the old state Cassini polynomials onto
// the old RSO grid and back, the old RSO grid (Hotine oblique Mercator on the
// Everest 1830 Modified ellipsoid), the GDM2000 state Cassini-Soldner inverse
// and the GDM2000 Peninsular RSO inverse (both on GRS80).
#include <cmath>

#include "constants.h"
#include "coord_steps.h"
#include "coord_sys.h"

namespace {

// pn(X, Y) = c0 + c1 X + c2 Y + c3 X Y + c4 X^2 + c5 Y^2.
double poly(const double (&c)[6], double x, double y)
{
    return c[0] + c[1] * x + c[2] * y + c[3] * x * y + c[4] * x * x + c[5] * y * y;
}

// The series from the conformal latitude chi to the geodetic latitude.
double latitude_from_conformal(double chi, double e2)
{
    const double e4 = e2 * e2, e6 = e4 * e2, e8 = e6 * e2;
    return chi + (e2 / 2 + 5 * e4 / 24 + e6 / 12 + 13 * e8 / 360) * std::sin(2 * chi) +
           (7 * e4 / 48 + 29 * e6 / 240 + 811 * e8 / 11520) * std::sin(4 * chi) +
           (7 * e6 / 120 + 81 * e8 / 1120) * std::sin(6 * chi) + (4279 * e8 / 161280) * std::sin(8 * chi);
}

// The constants of a Hotine oblique Mercator grid (the rectified skew
// orthomorphic form, with the natural origin on the initial line).
struct hotine_rec {
    double e2, e;
    double B, A, t0, D, F, H, G;
    double gamma0, lambda0;  // radians
    double gammac;           // rectified grid angle, radians
};

hotine_rec hotine_make(double a, double f, double phic, double k0, double t0_angle, double alphac,
                       double lambdac, double gammac)
{
    hotine_rec h;
    h.e2 = 2 * f - f * f;
    h.e = std::sqrt(h.e2);
    const double s = std::sin(phic), c = std::cos(phic);
    h.B = std::sqrt(1 + h.e2 * std::pow(c, 4) / (1 - h.e2));
    h.A = a * h.B * k0 * std::sqrt(1 - h.e2) / (1 - h.e2 * s * s);
    h.t0 = std::tan(t0_angle) / std::pow((1 - h.e * s) / (1 + h.e * s), h.e / 2);
    h.D = h.B * std::sqrt(1 - h.e2) / (c * std::sqrt(1 - h.e2 * s * s));
    h.F = h.D + std::sqrt(h.D * h.D - 1);
    h.H = h.F * std::pow(h.t0, h.B);
    h.G = (h.F - 1 / h.F) / 2;
    h.gamma0 = std::asin(std::sin(alphac) / h.D);
    h.lambda0 = lambdac - std::asin(h.G * std::tan(h.gamma0)) / h.B;
    h.gammac = gammac;
    return h;
}

// The old RSO grid: centre 4 N on the Everest 1830 Modified ellipsoid, scale
// 0.99984, rectified grid angle with sine -0.6 and cosine 0.8.
const hotine_rec& rso_old()
{
    static const hotine_rec h =
        hotine_make(EVEREST_A, 0.00332444929666289, 0.0698131700797732, 0.99984, 0.7504915783575613,
                    5.63786361308242, 1.7845991601642, std::asin(-0.6) + 6.28318530717959);
    return h;
}

constexpr double kRsoOldFalseEasting = 804671.2996;  // 40000 chains

// The GDM2000 Peninsular RSO grid: centre 4 N 102.25 E on GRS80, azimuth
// 323.025796466667, rectified grid angle 323.130102361111, scale 0.99984,
// false easting 804671 m.
const hotine_rec& rso_geocentric()
{
    static const hotine_rec h = [] {
        const double phic = coord_deg_to_rad(4.0);
        return hotine_make(GRS80_A, GRS80_F, phic, 0.99984, 0.785398163397448 - phic / 2,
                           coord_deg_to_rad(323.025796466667), coord_deg_to_rad(102.25),
                           coord_deg_to_rad(323.130102361111));
    }();
    return h;
}

constexpr double kRsoGeocentricFalseEasting = 804671.0;

}  // namespace

int cassini_old_to_rso_old(double northing, double easting)
{
    if (!cassini_poly_select(northing, easting)) return 0;
    const coord_sys_rec& c = coord_sys;
    const double x = northing * COORD_M_TO_CHAIN - c.N0, y = easting * COORD_M_TO_CHAIN - c.E0;
    const double X = x * 0.0001, Y = y * 0.0001;
    coord_grid_result.northing = (x + poly(c.a, X, Y) + c.Nk) * COORD_CHAIN_M;
    coord_grid_result.easting = (y + poly(c.b, X, Y) + c.Ek) * COORD_CHAIN_M;
    return 1;
}

void rso_old_to_cassini_old(double northing, double easting)
{
    const coord_sys_rec& c = coord_sys;
    const double x0 = northing * COORD_M_TO_CHAIN - c.Nk, y0 = easting * COORD_M_TO_CHAIN - c.Ek;
    const double X = x0 * 0.0001, Y = y0 * 0.0001;
    const double X1 = (x0 - poly(c.a, X, Y)) * 0.0001, Y1 = (y0 - poly(c.b, X, Y)) * 0.0001;
    coord_grid_result.northing = (x0 - poly(c.a, X1, Y1) + c.N0) * COORD_CHAIN_M;
    coord_grid_result.easting = (y0 - poly(c.b, X1, Y1) + c.E0) * COORD_CHAIN_M;
    coord_grid_result.third = 0;
}

void geographic_to_rso_old(double latitude, double longitude)
{
    const hotine_rec& h = rso_old();
    const double phi = coord_deg_to_rad(latitude), lambda = coord_deg_to_rad(longitude);
    const double es = h.e * std::sin(phi);
    const double t = std::tan(0.785398163397448 - phi / 2) / std::pow((1 - es) / (1 + es), h.e / 2);
    const double Q = h.H / std::pow(t, h.B);
    const double S = (Q - 1 / Q) / 2, T = (Q + 1 / Q) / 2;
    const double V = std::sin(h.B * (lambda - h.lambda0));
    const double U = (-V * std::cos(h.gamma0) + S * std::sin(h.gamma0)) / T;
    const double v = h.A * std::log((1 - U) / (1 + U)) / (2 * h.B);
    const double u = (h.A / h.B) * std::atan((S * std::cos(h.gamma0) + V * std::sin(h.gamma0)) /
                                             std::cos(h.B * (lambda - h.lambda0)));
    coord_grid_result.easting = v * std::cos(h.gammac) + u * std::sin(h.gammac) + kRsoOldFalseEasting;
    coord_grid_result.northing = u * std::cos(h.gammac) - v * std::sin(h.gammac);
    coord_grid_result.third = 0;
}

void rso_old_to_geographic(double northing, double easting)
{
    const hotine_rec& h = rso_old();
    const double sg = std::sin(h.gammac), cg = std::cos(h.gammac);
    // Latitude by the published inverse, with the rectified grid angle.
    const double v = (easting - kRsoOldFalseEasting) * cg - northing * sg;
    const double u = (easting - kRsoOldFalseEasting) * sg + northing * cg;
    const double Q = std::exp(-h.B * v / h.A);
    const double S = (Q - 1 / Q) / 2, T = (Q + 1 / Q) / 2;
    const double V = std::sin(h.B * u / h.A);
    const double U = (V * cg + S * sg) / T;
    const double t = std::pow(
        (std::sqrt(h.D * h.D - 1) + h.D) * std::pow(h.t0, h.B) / std::sqrt((1 + U) / (1 - U)), 1 / h.B);
    const double chi = 1.5707963267949 - 2 * std::atan(t);
    const double phi = latitude_from_conformal(chi, h.e2);
    // Longitude in chains, the grid angle's sine and cosine written out.
    const double nc = northing * COORD_M_TO_CHAIN, ec = easting * COORD_M_TO_CHAIN;
    const double p = 0.8 * nc - 0.6 * ec + 24000.0, q = 0.8 * ec + 0.6 * nc - 32000.0;
    const double k = 3.165359608589187e-06;
    const double lambda =
        1.83672242125568 -
        std::atan((0.6 * std::sin(p * k) - 0.8 * std::sinh(q * k)) / std::cos(p * k)) * 0.996707666087603;
    coord_geo_result_set(phi, lambda, 0);
}

void cassini_geocentric_to_geographic(double origin_lat, double origin_lon, double northing, double easting)
{
    const double a = GRS80_A, f = 0.00335281068119356;
    const double e2 = 2 * f - f * f, e4 = e2 * e2, e6 = e4 * e2;
    const double r = std::sqrt(1 - e2);
    const double e1 = (1 - r) / (1 + r);
    const double m_factor = 1 - e2 / 4 - 3 * e4 / 64 - 5 * e6 / 256;
    const double M0 =
        a * (m_factor * origin_lat - (3 * e2 / 8 + 3 * e4 / 32 + 45 * e6 / 1024) * std::sin(2 * origin_lat) +
             (15 * e4 / 256 + 45 * e6 / 1024) * std::sin(4 * origin_lat) -
             (35 * e6 / 3072) * std::sin(6 * origin_lat));
    const double y = northing - coord_sys.false_northing, x = easting - coord_sys.false_easting;
    const double mu = (M0 + y) / (a * m_factor);
    const double phi1 = mu + (3 * e1 / 2 - 27 * std::pow(e1, 3) / 32) * std::sin(2 * mu) +
                        (21 * e1 * e1 / 16 - 55 * std::pow(e1, 4) / 32) * std::sin(4 * mu) +
                        (151 * std::pow(e1, 3) / 96) * std::sin(6 * mu) +
                        (1097 * std::pow(e1, 4) / 512) * std::sin(8 * mu);
    const double s1 = std::sin(phi1);
    const double T1 = std::tan(phi1) * std::tan(phi1);
    const double N1 = a / std::sqrt(1 - e2 * s1 * s1);
    const double R1 = a * (1 - e2) / std::pow(1 - e2 * s1 * s1, 1.5);
    const double D = x / N1;
    const double phi = phi1 - (N1 * std::tan(phi1) / R1) * (D * D / 2 - (1 + 3 * T1) * std::pow(D, 4) / 24);
    const double lambda =
        origin_lon + (D - T1 * std::pow(D, 3) / 3 + (1 + 3 * T1) * T1 * std::pow(D, 5) / 15) / std::cos(phi1);
    coord_geo_result_set(phi, lambda, 0);
}

void rso_geocentric_to_geographic(double northing, double easting)
{
    const hotine_rec& h = rso_geocentric();
    const double sg = std::sin(h.gammac), cg = std::cos(h.gammac);
    const double v = (easting - kRsoGeocentricFalseEasting) * cg - northing * sg;
    const double u = northing * cg + (easting - kRsoGeocentricFalseEasting) * sg;
    const double Q = std::exp(-h.B * v / h.A);
    const double S = (Q - 1 / Q) / 2, T = (Q + 1 / Q) / 2;
    const double V = std::sin(h.B * u / h.A);
    const double U = (V * std::cos(h.gamma0) + S * std::sin(h.gamma0)) / T;
    const double t = std::pow(h.H / std::sqrt((1 + U) / (1 - U)), 1 / h.B);
    const double chi = 1.5707963267949 - 2 * std::atan(t);
    const double phi = latitude_from_conformal(chi, h.e2);
    const double lambda =
        h.lambda0 -
        std::atan2(S * std::cos(h.gamma0) - V * std::sin(h.gamma0), std::cos(h.B * u / h.A)) / h.B;
    coord_geo_result_set(phi, lambda, 0);
}
