// The survey department's lot files: the fixed columns of the boundary and
// lot lines, the built-in stone types, and which boundary lines are drawn.
//
// Column positions count from 0 and a field holds both its bounds: the
// boundary file's "three-character text" at 83..85 and its two-digit values at
// 135..136 and 137..138, and the lot file's fields, which follow one another
// without a gap (0..15, 16..27, 28..39, 40..55, 56..58), all read that way.
// Files are also written with each field one column shorter (its last column
// left out), so a line may end one column before a field's last position: the
// field is what the line holds of it, and lines of either length read alike.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <unordered_map>

#include "angles.h"
#include "constants.h"
#include "jupem_import.h"
#include "numbers.h"
#include "text_fields.h"

namespace {

bool number_field(const std::string& text, double& value)
{
    if (str_is_number(text) != 4) return false;
    value = std::atof(text.c_str());
    return true;
}

// A coordinate of the line; a problem named when it is missing or no number.
bool coordinate(std::string_view line, int a, int b, const char* name, double& value, std::string& problem)
{
    const std::string text = jupem_field(line, a, b);
    if (number_field(text, value)) return true;
    problem =
        text.empty() ? std::string("no ") + name : std::string(name) + " \"" + text + "\" is not a number";
    return false;
}

// A grid of cells twice the tolerance wide: points within the tolerance of
// each other lie in the same or a neighbouring cell.
struct point_grid {
    double cell;
    std::unordered_map<std::uint64_t, std::vector<size_t>> cells;

    static std::uint64_t key(std::int64_t i, std::int64_t j)
    {
        return (static_cast<std::uint64_t>(i) << 32) ^ (static_cast<std::uint64_t>(j) & 0xffffffffu);
    }
    std::int64_t index(double v) const { return static_cast<std::int64_t>(std::floor(v / cell)); }
    void add(const point3d_rec& p, size_t item) { cells[key(index(p.x), index(p.y))].push_back(item); }
    template <class Each>
    void near(const point3d_rec& p, Each each) const
    {
        const std::int64_t i = index(p.x), j = index(p.y);
        for (std::int64_t di = -1; di <= 1; ++di)
            for (std::int64_t dj = -1; dj <= 1; ++dj) {
                auto found = cells.find(key(i + di, j + dj));
                if (found == cells.end()) continue;
                for (size_t item : found->second) each(item);
            }
    }
};

bool same_point(const point3d_rec& a, const point3d_rec& b, double tolerance)
{
    return std::fabs(a.x - b.x) <= tolerance && std::fabs(a.y - b.y) <= tolerance;
}

}  // namespace

std::vector<jupem_stone_type_rec>& jupem_stone_types()
{
    static std::vector<jupem_stone_type_rec> types;
    return types;
}

void jupem_stone_types_init()
{
    jupem_stone_types() = {
        {0.7, "DEFAULT", "C", "nil"}, {0.35, "PKT", "D", "nil"}, {0.7, "PgKK", "D", "nil"},
        {0.7, "BKL", "C", "nil"},     {0.7, "BKB", "C", "nil"},  {0.7, "BL", "C", "nil"},
        {0.7, "BB", "C", "nil"},      {0.7, "PB", "C", "P"},     {0.7, "PL", "C", "P"},
        {0.35, "pkL", "D", "pk"},     {0.35, "pkB", "D", "pk"},  {0.35, "PpBL", "D", "p"},
        {0.35, "PpBB", "D", "p"},     {0.7, "TKL", "D", "T"},    {0.7, "TKB", "D", "T"},
        {0.7, "PgKB", "D", "Pg"},     {0.7, "PgKL", "C", "Pg"},  {0.7, "BKUL", "D", "nil"},
        {0.01, "TT", "nil", "TT"},
    };
}

std::string jupem_field(std::string_view line, int a, int b)
{
    if (a < 0 || b < a || line.size() <= static_cast<size_t>(a)) return {};
    return str_trim(line.substr(static_cast<size_t>(a), static_cast<size_t>(b - a + 1)));
}

bool jupem_line_parse(std::string_view line, jupem_line_rec& out, std::string& problem)
{
    jupem_line_rec r;
    const std::string number = jupem_field(line, 0, 15);
    r.start_number = std::atoi(str_mid_from(number, 9).c_str());
    r.start_stone = jupem_field(line, 16, 28);
    if (!coordinate(line, 39, 50, "start x", r.start.x, problem) ||
        !coordinate(line, 51, 62, "start y", r.start.y, problem) ||
        !coordinate(line, 109, 120, "end x", r.end.x, problem) ||
        !coordinate(line, 121, 132, "end y", r.end.y, problem))
        return false;
    r.bearing = jupem_field(line, 64, 72);
    r.distance = jupem_field(line, 73, 82);
    r.text3 = jupem_field(line, 83, 85);
    r.end_stone = jupem_field(line, 86, 98);
    r.value1 = std::atoi(jupem_field(line, 135, 136).c_str());
    r.value2 = std::atoi(jupem_field(line, 137, 138).c_str());

    // The bearing and distance only label the line: a line without them is
    // drawn unlabelled, and said so.
    double bearing = 0, distance = 0;
    if (!number_field(r.bearing, bearing)) {
        problem = "bearing \"" + r.bearing + "\" is not a number";
        r.labelled = false;
    } else {
        if (bearing >= 360) bearing = 0;
        if (!angle_dms_valid(bearing) || bearing < 0) {
            problem = "bearing \"" + r.bearing + "\" is no D.MMSS bearing";
            r.labelled = false;
        }
        r.bearing = rtos_decimal(bearing, 4);
    }
    if (r.labelled && !number_field(r.distance, distance)) {
        problem = "distance \"" + r.distance + "\" is not a number";
        r.labelled = false;
    }
    out = r;
    return true;
}

bool jupem_lot_parse(std::string_view line, jupem_lot_rec& out, std::string& problem)
{
    jupem_lot_rec r;
    r.number = str_trim(str_mid_from(jupem_field(line, 0, 15), 9));
    if (!coordinate(line, 16, 27, "label x", r.label.x, problem) ||
        !coordinate(line, 28, 39, "label y", r.label.y, problem))
        return false;
    r.area = jupem_field(line, 40, 55);
    r.unit = jupem_field(line, 56, 58);
    out = r;
    return true;
}

bool lines_coincide(const jupem_line_rec& a, const jupem_line_rec& b, double tolerance)
{
    return (same_point(a.start, b.start, tolerance) && same_point(a.end, b.end, tolerance)) ||
           (same_point(a.start, b.end, tolerance) && same_point(a.end, b.start, tolerance));
}

std::vector<bool> jupem_lines_retained(const std::vector<jupem_line_rec>& lines, double tolerance)
{
    point_grid grid{2 * tolerance, {}};
    for (size_t i = 0; i < lines.size(); ++i) {
        grid.add(lines[i].start, i);
        grid.add(lines[i].end, i);
    }
    std::vector<bool> retained(lines.size(), true);
    for (size_t i = 0; i < lines.size(); ++i)
        grid.near(lines[i].start, [&](size_t j) {
            if (j > i && lines_coincide(lines[i], lines[j], tolerance)) retained[i] = false;
        });
    return retained;
}

std::string jupem_area_text(double area, int decimals, const std::string& unit)
{
    const std::string value = real_format(area, decimals);
    const std::string letter = str_upper_copy(unit);
    // "M" takes the superscript two itself; a letter the list lacks the
    // host's code "%%178" for the same sign.
    if (letter == "M") return value + AREA_SUFFIX_SQUARE_METRE;
    if (letter == "A") return value + "Ek";
    if (letter == "F") return value + "F";
    if (letter == "R") return value + "R";
    if (letter == "H") return value + "Ha";
    return value + "m%%178";
}

int jupem_stone_type_of(const std::string& code)
{
    const std::string wanted = str_upper_copy(code);
    const std::vector<jupem_stone_type_rec>& types = jupem_stone_types();
    for (size_t row = 0; row < types.size(); ++row)
        if (str_upper_copy(types[row].code) == wanted) return static_cast<int>(row);
    return 0;
}

std::vector<jupem_point_rec> jupem_stone_points(std::vector<jupem_line_rec>& lines,
                                                const std::vector<bool>& retained, double tolerance)
{
    std::vector<jupem_point_rec> points;
    point_grid grid{2 * tolerance, {}};
    auto add = [&](int number, const point3d_rec& p, int type) {
        bool near = false;
        grid.near(p, [&](size_t k) {
            const point3d_rec& q = points[k].point;
            if (std::hypot(q.x - p.x, q.y - p.y) <= tolerance) near = true;
        });
        if (near) return;
        grid.add(p, points.size());
        points.push_back({number, p, type});
    };
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!retained[i]) continue;
        jupem_line_rec& line = lines[i];
        line.start_type = jupem_stone_type_of(line.start_stone);
        line.end_type = jupem_stone_type_of(line.end_stone);
        add(line.start_number, line.start, line.start_type);
        add(0, line.end, line.end_type);
    }
    return points;
}
