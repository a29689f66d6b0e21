// Terrain records, their plane geometry and the terrain settings.
#include "tin_records.h"

#include <cmath>
#include <cstdlib>
#include <new>
#include <utility>

#include "prompts.h"
#include "text_fields.h"

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 2.0 * kPi;
}  // namespace

tin_point_rec tin_point_set(std::int32_t id, double x, double y, double z)
{
    return tin_point_rec{id, x, y, z};
}

tin_node_rec tin_node_make(std::int32_t id, double x, double y)
{
    return tin_node_rec{id, x, y};
}

tin_point_rec tin_point_from_node(const tin_node_rec& node)
{
    return tin_point_rec{node.id, node.x, node.y, 0.0};
}

tin_node_rec tin_node_midpoint(const tin_node_rec& a, const tin_node_rec& b)
{
    return tin_node_rec{(a.id + b.id) / 2, (a.x + b.x) / 2.0, (a.y + b.y) / 2.0};
}

void tin_tri_set_corners(tin_tri_rec& tri, std::int32_t a, std::int32_t b, std::int32_t c)
{
    tri.a = a;
    tri.b = b;
    tri.c = c;
}

std::int32_t tin_tri_corner(const tin_tri_rec& tri, int i)
{
    switch (i) {
        case 0:
            return tri.a;
        case 1:
            return tri.b;
        case 2:
            return tri.c;
        default:
            return -1;
    }
}

void tin_point_push(tin_point_list& list, double x, double y, double z)
{
    list.push_back(tin_point_set(static_cast<std::int32_t>(list.size()), x, y, z));
}

void tin_node_push(tin_node_list& list, double x, double y)
{
    list.push_back(tin_node_make(static_cast<std::int32_t>(list.size()), x, y));
}

void cnt_add_segment(cnt_seg_list& list, double x1, double y1, double x2, double y2)
{
    list.push_back(cnt_seg_rec{static_cast<std::int32_t>(list.size()), x1, y1, x2, y2});
}

bool int_matrix_alloc(int_matrix_rec& m, std::int32_t rows, std::int32_t cols)
{
    try {
        m.cells.assign(rows, std::vector<std::int32_t>(cols, 0));
    } catch (const std::bad_alloc&) {
        int_matrix_free(m);
        return false;
    }
    m.rows = rows;
    m.cols = cols;
    return true;
}

void int_matrix_free(int_matrix_rec& m)
{
    m.cells.clear();
    m.cells.shrink_to_fit();
    m.rows = m.cols = 0;
}

void int_matrix_set(int_matrix_rec& m, int row, int col, std::int32_t value)
{
    m.cells[row][col] = value;
}

std::int32_t int_matrix_get(const int_matrix_rec& m, int row, int col)
{
    return m.cells[row][col];
}

bool int_matrix_equals(const int_matrix_rec& m, int row, int col, std::int32_t value)
{
    return m.cells[row][col] == value;
}

void int_matrix_zero(int_matrix_rec& matrix, int n, int m)
{
    for (int r = 0; r < n && r < matrix.rows; ++r)
        for (int c = 0; c < m && c < matrix.cols; ++c) matrix.cells[r][c] = 0;
}

double bearing_angle(double x1, double y1, double x2, double y2)
{
    const double dx = x2 - x1, dy = y2 - y1;
    if (dx == 0.0) {
        if (dy > 0.0) return kPi / 2.0;
        if (dy < 0.0) return 3.0 * kPi / 2.0;
        return 0.0;
    }
    double a = std::atan(dy / dx);
    if (dx < 0.0)
        a += kPi;
    else if (dy < 0.0)
        a += kTwoPi;
    return a;
}

double bearing_of_nodes(const tin_node_rec& a, const tin_node_rec& b)
{
    return bearing_angle(a.x, a.y, b.x, b.y);
}

double angle_normalize(double a)
{
    while (a < 0.0) a += kTwoPi;
    while (a >= kTwoPi) a -= kTwoPi;
    return a;
}

double node_angle_ccw(const tin_node_rec& a, const tin_node_rec& b, const tin_node_rec& c)
{
    return angle_normalize(bearing_of_nodes(b, c) - bearing_of_nodes(a, b) + kPi);
}

double node_distance(const tin_node_rec& a, const tin_node_rec& b)
{
    return std::hypot(b.x - a.x, b.y - a.y);
}

int orient_sign(const tin_node_rec& a, const tin_node_rec& b, const tin_node_rec& c)
{
    const double cross = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    if (cross > 0.0) return 1;
    if (cross < 0.0) return 2;
    return 0;
}

void quicksort_index(std::vector<double>& key, int lo, int hi, std::vector<int>& index)
{
    while (lo < hi) {
        const double pivot = key[(lo + hi) / 2];
        int left = lo, right = hi;
        while (left <= right) {
            while (key[left] < pivot) ++left;
            while (key[right] > pivot) --right;
            if (left <= right) {
                std::swap(key[left], key[right]);
                std::swap(index[left], index[right]);
                ++left;
                --right;
            }
        }
        if (lo < right) quicksort_index(key, lo, right, index);
        lo = left;
    }
}

int poly_winding(const tin_node_list& ring)
{
    const size_t n = ring.size();
    if (n < 3) return 0;
    double sum = 0.0;
    for (size_t i = 0; i < n; ++i) {
        const double a = node_angle_ccw(ring[(i + n - 1) % n], ring[i], ring[(i + 1) % n]);
        if (a == 0.0 || a == kTwoPi) return 2;
        sum += a;
    }
    const long k = static_cast<long>(sum / kPi + 0.5);
    if (k == static_cast<long>(n) - 2) return 0;
    if (k == static_cast<long>(n) + 2) return 1;
    return 2;
}

tin_cfg_rec& tin_cfg()
{
    static tin_cfg_rec cfg;
    return cfg;
}

// The groups get their defaults from their constructors on first use.
void tin_cfg_init()
{
    tin_cfg();
}

cnt_cfg_rec& cnt_cfg()
{
    static cnt_cfg_rec cfg;
    return cfg;
}

void cnt_cfg_init()
{
    cnt_cfg();
}

dup_cfg_rec& dup_cfg()
{
    static dup_cfg_rec cfg;
    return cfg;
}

bool tin_tool_proceed(const char* explanation)
{
    acutPrintf("%s", explanation);
    const std::string answer = prompt_kword("1", "C P", "<C>ancel <P>roceed", "P");
    return answer == "P" || answer == "p";
}

bool tin_prompt_real_or_exit(const std::string& prompt, const char* what, double lowest, bool above,
                             double& value)
{
    for (;;) {
        std::string out;
        // The prompt as prompt_real_or_exit shows it.
        const int rc = prompt_real_spec("0,X,\ne<X>it " + prompt, value, 3, out);
        if (rc == 2 && str_upper_copy(out) == "X") return false;
        if (rc != 1) continue;
        const double typed = std::strtod(out.c_str(), nullptr);
        if (above ? typed > lowest : typed >= lowest) {
            value = typed;
            return true;
        }
        acutPrintf("\nThe %s must be %s %.3f (%.3f given); eXit leaves the command.", what,
                   above ? "above" : "at least", lowest, typed);
    }
}
