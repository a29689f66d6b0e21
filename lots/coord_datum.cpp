// The datum steps of the converter: geodetic to geocentric and back (Bowring's
// closed form), and the three seven-parameter shifts between Everest 1830
// Modified (MRT48), WGS84 and GRS80 (GDM2000).
#include <cmath>

#include "coord_steps.h"
#include "coord_sys.h"

namespace {

struct vec3 {
    double x, y, z;
};

// The rotation matrix M(rx, ry, rz) of the shifts.
struct rot3 {
    double m[3][3];
};

rot3 rotation(double rx, double ry, double rz)
{
    const double cx = std::cos(rx), sx = std::sin(rx), cy = std::cos(ry), sy = std::sin(ry);
    const double cz = std::cos(rz), sz = std::sin(rz);
    return rot3{{{cy * cz, -cy * sz, sy},
                 {sx * sy * cz + cx * sz, cx * cz - sx * sy * sz, -sx * cy},
                 {sx * sz - cx * sy * cz, cx * sy * sz + sx * cz, cx * cy}}};
}

vec3 times(const rot3& r, const vec3& p)
{
    return {r.m[0][0] * p.x + r.m[0][1] * p.y + r.m[0][2] * p.z,
            r.m[1][0] * p.x + r.m[1][1] * p.y + r.m[1][2] * p.z,
            r.m[2][0] * p.x + r.m[2][1] * p.y + r.m[2][2] * p.z};
}

vec3 times_transposed(const rot3& r, const vec3& p)
{
    return {r.m[0][0] * p.x + r.m[1][0] * p.y + r.m[2][0] * p.z,
            r.m[0][1] * p.x + r.m[1][1] * p.y + r.m[2][1] * p.z,
            r.m[0][2] * p.x + r.m[1][2] * p.y + r.m[2][2] * p.z};
}

const vec3 kEverestShift = {379.77603, -775.38371, 86.60926};
const rot3& everest_rotation()
{
    static const rot3 r = rotation(1.25893507828438e-05, 1.01914138347079e-05, -5.87292142581426e-05);
    return r;
}

const vec3 kGrs80Shift = {1.69276, -1.92994, 2.07108};
constexpr double kGrs80Scale = 1.00000024859;
const rot3& grs80_rotation()
{
    static const rot3 r = rotation(1.70412008910002e-07, -1.38559750061105e-07, -2.99130041244584e-08);
    return r;
}

vec3 grid_xyz()
{
    return {coord_grid_result.easting, coord_grid_result.northing, coord_grid_result.third};
}

void grid_xyz_set(const vec3& p)
{
    coord_grid_result.easting = p.x;
    coord_grid_result.northing = p.y;
    coord_grid_result.third = p.z;
}

}  // namespace

void geodetic_to_geocentric(double latitude, double longitude, double height, double a, double f)
{
    const double phi = coord_deg_to_rad(latitude), lambda = coord_deg_to_rad(longitude);
    const double e2 = 2 * f - f * f;
    const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    grid_xyz_set({(n + height) * std::cos(phi) * std::cos(lambda),
                  (n + height) * std::cos(phi) * std::sin(lambda), ((1 - e2) * n + height) * std::sin(phi)});
}

void geocentric_to_geodetic(double x, double y, double z, double a, double b, double f)
{
    const double p = std::sqrt(x * x + y * y);
    const double theta = std::atan(z * a / (p * b));
    const double e2 = 2 * f - f * f;
    const double st = std::sin(theta), ct = std::cos(theta);
    const double phi = std::atan((z + e2 / (1 - e2) * b * st * st * st) / (p - e2 * a * ct * ct * ct));
    const double n = a / std::sqrt(1 - e2 * std::sin(phi) * std::sin(phi));
    // The two-argument arc tangent gives the longitude in every quadrant; the
    // height from the distance to the axis holds at every longitude.
    const double lambda = std::atan2(y, x);
    const double h = p / std::cos(phi) - n;
    coord_geo_result_set(phi, lambda, h);
}

void datum_shift_everest_to_wgs84()
{
    const vec3 p = grid_xyz();
    grid_xyz_set(
        times(everest_rotation(), {p.x - kEverestShift.x, p.y - kEverestShift.y, p.z - kEverestShift.z}));
}

void datum_shift_wgs84_to_everest()
{
    const vec3 q = times_transposed(everest_rotation(), grid_xyz());
    grid_xyz_set({q.x + kEverestShift.x, q.y + kEverestShift.y, q.z + kEverestShift.z});
}

void datum_shift_grs80_to_wgs84()
{
    const vec3 q = times_transposed(grs80_rotation(), grid_xyz());
    grid_xyz_set({kGrs80Scale * q.x + kGrs80Shift.x, kGrs80Scale * q.y + kGrs80Shift.y,
                  kGrs80Scale * q.z + kGrs80Shift.z});
}

namespace {

void datum_convert(void (*shift)(), double latitude, double longitude, double height, double src_a,
                   double src_f, double dst_a, double dst_b, double dst_f)
{
    geodetic_to_geocentric(latitude, longitude, height, src_a, src_f);
    shift();
    const vec3 p = grid_xyz();
    geocentric_to_geodetic(p.x, p.y, p.z, dst_a, dst_b, dst_f);
}

}  // namespace

void datum_everest_to_wgs84(double latitude, double longitude, double height, double src_a, double src_f,
                            double dst_a, double dst_b, double dst_f)
{
    datum_convert(datum_shift_everest_to_wgs84, latitude, longitude, height, src_a, src_f, dst_a, dst_b,
                  dst_f);
}

void datum_grs80_to_wgs84(double latitude, double longitude, double height, double src_a, double src_f,
                          double dst_a, double dst_b, double dst_f)
{
    datum_convert(datum_shift_grs80_to_wgs84, latitude, longitude, height, src_a, src_f, dst_a, dst_b, dst_f);
}

void datum_wgs84_to_everest(double latitude, double longitude, double height, double src_a, double src_f,
                            double dst_a, double dst_b, double dst_f)
{
    datum_convert(datum_shift_wgs84_to_everest, latitude, longitude, height, src_a, src_f, dst_a, dst_b,
                  dst_f);
}
