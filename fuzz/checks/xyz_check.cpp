// Point files: each line read in each column order, written as a line of that
// order and read again, gives the same point.
#include <charconv>

#include "check_support.h"
#include "import_xyz.h"
#include "round_trips.h"
#include "text_lines.h"

namespace fuzzcheck {

namespace {

std::string number_text(double value)
{
    char buffer[64];
    auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, end);
}

// The point as a line of the column order (1 and 3 carry a code, 2 and 3 give Y first).
std::string xyz_line_text(const xyz_line_rec& point, int column_order)
{
    bool y_first = column_order >= 2;
    std::string line = point.id + "," + number_text(y_first ? point.y : point.x) + "," +
                       number_text(y_first ? point.x : point.y) + "," + number_text(point.z);
    if (column_order % 2 == 1) line += "," + point.code;
    return line;
}

std::string point_text(const xyz_line_rec& point)
{
    return "[" + point.id + "] " + number_text(point.x) + " " + number_text(point.y) + " " +
           number_text(point.z) + " [" + point.code + "]";
}

}  // namespace

std::string xyz_round_trip(std::string_view input)
{
    prepare();
    for (const std::string& line : split_lines(std::string(input))) {
        for (int order = 0; order < static_cast<int>(xyz_column_orders().size()); ++order) {
            xyz_line_rec first = xyz_line_parse(line, order);
            if (!first.ok) continue;
            std::string written = xyz_line_text(first, order);
            xyz_line_rec second = xyz_line_parse(written, order);
            if (!second.ok) return "the written line \"" + written + "\" is refused: " + second.error;
            std::string problem =
                difference("the points of \"" + line + "\" in order " + std::to_string(order),
                           point_text(first), point_text(second));
            if (!problem.empty()) return problem;
        }
    }
    return "";
}

}  // namespace fuzzcheck
