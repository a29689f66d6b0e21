// Drawing files: what the host keeps of a file, saved and opened again, is
// saved the same way again.
#include "check_support.h"
#include "dxf/dxf_commands.h"
#include "dxf/dxf_kept.h"
#include "round_trips.h"

namespace fuzzcheck {

namespace {

// The file a SAVE writes of what OPEN read; false when the text is no drawing.
bool saved_text(const std::string& text, std::string& saved, std::string& error)
{
    host::DxfReadResult read = host::dxf_read(text);
    if (!read.drawing) {
        error = read.error;
        return false;
    }
    host::dxf_header_apply(*read.drawing, read.header);
    saved = host::dxf_write(*read.drawing, host::dxf_header_of(*read.drawing), read.kept.get());
    return true;
}

}  // namespace

std::string dxf_round_trip(std::string_view input)
{
    prepare();
    std::string first, second, error;
    if (!saved_text(std::string(input), first, error)) return "";
    if (!saved_text(first, second, error)) return "the saved drawing cannot be opened: " + error;
    return difference("the first and the second save", first, second);
}

}  // namespace fuzzcheck
