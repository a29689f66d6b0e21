// The per-state tables of the converter: the state names, the old Cassini
// polynomials that carry each state's old grid onto the old RSO grid, and the
// origins of the GDM2000 state Cassini grids.
#include <array>
#include <cstddef>

#include "coord_steps.h"
#include "coord_sys.h"
#include "text_fields.h"

namespace {

constexpr std::array<const char*, 12> kStateNames = {"Johor",
                                                     "Kedah and Perlis",
                                                     "Kelantan",
                                                     "N.Sembilan and Melaka",
                                                     "Pahang Barat Daya",
                                                     "Pahang Barat Laut",
                                                     "Pahang Tenggara",
                                                     "Pahang Timur Laut",
                                                     "Pulau Pinang",
                                                     "Perak",
                                                     "Selangor and K. Lumpur",
                                                     "Terengganu"};

// One state's old Cassini shift (chains), constants (chains) and polynomials.
struct cassini_poly_row {
    double N0, E0, Nk, Ek;
    double a[6], b[6];
};

// Rows 0..11 are states 1..12, Perak's first zone; row 12 is Perak's second zone.
constexpr std::array<cassini_poly_row, 13> kPolynomials = {{
    {0,
     0,
     11227.927,
     30745.124,
     {-0.0098, -2.0871, -5.27113, -0.47547, -0.64384, 0.58805},
     {0.021, 5.29886, -1.83579, -0.74017, 0.17978, -0.66614}},
    {0,
     0,
     32818.535,
     14652.327,
     {0.0229, -1.67791, -43.47877, -0.78177, -0.71284, -0.00789},
     {-0.0139, 43.48222, -1.60907, 0.02231, 0.28692, -0.05668}},
    {0,
     0,
     32402.468,
     23123.367,
     {-0.0055, 0.09802, -16.90028, 3.08499, 1.30902, -0.43245},
     {0.0093, 16.79903, 0.03457, 2.12603, -1.83988, 1.14088}},
    {-47.152,
     -12.03,
     14918.998,
     21786.154,
     {-0.0132, 0.04887, -19.7519, -5.29544, -1.48678, 1.39966},
     {-0.011, 19.88167, -0.08787, -3.60882, 2.40011, -1.63052}},
    {0,
     0,
     20402.611,
     24530.257,
     {-0.019, -2.0555, -15.85, -0.87963, -0.85008, 0.51332},
     {0.0142, 15.96743, -1.75774, -0.77691, 0.84104, -0.57895}},
    {0,
     0,
     20402.611,
     24530.257,
     {-0.0402, -1.17721, -15.97246, 2.36266, -0.47438, 0.31267},
     {-0.0392, 16.45555, -1.60681, 0.79414, 1.33406, 0.56153}},
    {0,
     0,
     20402.611,
     24530.257,
     {0.1201, -0.65021, -15.75245, -3.5823, 0.62127, -0.85946},
     {-0.1127, 15.98562, -1.29342, 1.27091, 1.81814, 0.1889}},
    {0,
     0,
     20402.611,
     24530.257,
     {0.0074, -1.85804, -15.531, -0.26344, 0.6903, -0.80353},
     {0.0167, 15.74953, -1.98886, 1.13755, -0.37557, 0.92214}},
    {0,
     0,
     29837.058,
     13032.613,
     {0.0035, -0.70331, -48.434, -7.83333, 0.0, 0.0},
     {-0.002, 47.88313, -0.97433, 0.0, 0.0, 0.0}},
    {6633.947,
     0.0,
     26737.765,
     15613.508,
     {0.0097, -1.26936, -38.99859, -2.48409, -0.09546, 0.38284},
     {-0.0085, 38.94896, -1.195, -0.4236, 1.13201, -0.44895}},
    {2781.802,
     -1081.656,
     20245.21,
     19407.061,
     {0.00454, -1.05487, -26.99523, -4.56972, -2.38486, 1.43565},
     {-0.01114, 27.09565, -0.88007, -4.10737, 2.26095, -2.38064}},
    {0.0,
     0.0,
     27187.737,
     27071.372,
     {0.0023, 0.12995, -8.66038, 4.4369, 1.61249, -1.96429},
     {0.0022, 8.65674, 0.21035, 3.95148, -2.29659, 2.52198}},
    {6633.947,
     0.0,
     26737.765,
     15613.508,
     {0.0164, -0.94169, -39.34054, -4.55691, -1.11538, 1.7355},
     {0.0098, 39.34524, -0.98511, -2.53941, 2.35634, -1.56404}},
}};

constexpr int kPerak = 10;
constexpr double kPerakZoneNorthing = 126735.7297;

// The GDM2000 state Cassini grids as published: the origin in degrees and the
// false easting and northing in metres (the four Pahang states share one grid).
struct cassini_origin_row {
    double latitude, longitude, false_easting, false_northing;
};

constexpr std::array<cassini_origin_row, 12> kOrigins = {{
    {2.12167974444444, 103.427936236111, -14810.562, 8758.32},  // Johor
    {5.96467271388889, 100.636371111111, 0.0, 0.0},             // Kedah and Perlis
    {5.97254365833333, 102.295241669444, 13227.851, 8739.894},  // Kelantan
    {2.68234763611111, 101.974905041667, 3673.785, -4240.573},  // N.Sembilan and Melaka
    {3.76938808888889, 102.368298983333, -7368.228, 6485.858},  // Pahang Barat Daya
    {3.76938808888889, 102.368298983333, -7368.228, 6485.858},  // Pahang Barat Laut
    {3.76938808888889, 102.368298983333, -7368.228, 6485.858},  // Pahang Tenggara
    {3.76938808888889, 102.368298983333, -7368.228, 6485.858},  // Pahang Timur Laut
    {5.42151754166667, 100.344376963889, -23.414, 62.283},      // Pulau Pinang
    {4.85906302222222, 100.815410586111, -1.769, 133454.779},   // Perak
    {3.68464905, 101.389107913889, -34836.161, 56464.049},      // Selangor and K. Lumpur
    {4.9762852, 103.070275625, 19594.245, 3371.895},            // Terengganu
}};

bool state_valid(int index)
{
    return index >= 1 && index <= static_cast<int>(kStateNames.size());
}

}  // namespace

int state_name_index(const std::string& name)
{
    const std::string wanted = str_upper_copy(name);
    for (size_t i = 0; i < kStateNames.size(); ++i)
        if (str_upper_copy(kStateNames[i]) == wanted) return static_cast<int>(i) + 1;
    return 0;
}

const char* state_name_of(int index)
{
    return state_valid(index) ? kStateNames[index - 1] : "";
}

int perak_poly_zone(double cassini_northing)
{
    return cassini_northing >= kPerakZoneNorthing ? 1 : 2;
}

int cassini_poly_select(double zone_value, double)
{
    const int index = coord_sys.state_index;
    if (!state_valid(index)) return 0;
    size_t row = static_cast<size_t>(index - 1);
    if (index == kPerak && perak_poly_zone(zone_value) == 2) row = kPolynomials.size() - 1;
    const cassini_poly_row& p = kPolynomials[row];
    coord_sys.N0 = p.N0;
    coord_sys.E0 = p.E0;
    coord_sys.Nk = p.Nk;
    coord_sys.Ek = p.Ek;
    for (int i = 0; i < 6; ++i) {
        coord_sys.a[i] = p.a[i];
        coord_sys.b[i] = p.b[i];
    }
    return 1;
}

int cassini_origin_select()
{
    const int index = coord_sys.state_index;
    if (!state_valid(index)) return 0;
    const cassini_origin_row& o = kOrigins[static_cast<size_t>(index - 1)];
    coord_sys.origin_latitude = coord_deg_to_rad(o.latitude);
    coord_sys.origin_longitude = coord_deg_to_rad(o.longitude);
    coord_sys.false_easting = o.false_easting;
    coord_sys.false_northing = o.false_northing;
    return 1;
}
