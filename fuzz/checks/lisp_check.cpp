// LISP data: what the reader reads, printed, reads back to the same print.
#include "check_support.h"
#include "lisp/lisp.h"
#include "round_trips.h"

namespace fuzzcheck {

namespace {

std::string printed(const std::vector<host::LispValue>& values)
{
    std::string text;
    for (const host::LispValue& value : values) text += value.printed() + "\n";
    return text;
}

}  // namespace

std::string lisp_round_trip(std::string_view input)
{
    prepare();
    std::string error;
    std::optional<std::vector<host::LispValue>> first = host::read_lisp_data(std::string(input), error);
    if (!first) return "";
    std::string first_text = printed(*first);
    std::optional<std::vector<host::LispValue>> second = host::read_lisp_data(first_text, error);
    if (!second) return "the printed data cannot be read again (" + error + "):\n" + first_text;
    return difference("the first and the second print", first_text, printed(*second));
}

}  // namespace fuzzcheck
