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
    host::dxf_header_apply(*read.drawing, read.header, read.kept.get());
    saved = host::dxf_write(*read.drawing, host::dxf_header_of(*read.drawing), read.kept.get());
    return true;
}

// The text with the value of $HANDSEED left out: it need only lie above every
// handle of the file, and a save that writes the file's own objects in place
// of those it first made for a broken file may leave it higher than before.
std::string without_handle_seed(std::string text)
{
    const std::string seed = "\n$HANDSEED\n5\n";
    size_t at = text.find(seed);
    if (at == std::string::npos) return text;
    at += seed.size();
    return text.replace(at, text.find('\n', at) - at, "*");
}

}  // namespace

std::string dxf_round_trip(std::string_view input)
{
    prepare();
    std::string first, second, error;
    if (!saved_text(std::string(input), first, error)) return "";
    if (!saved_text(first, second, error)) return "the saved drawing cannot be opened: " + error;
    return difference("the first and the second save", without_handle_seed(first),
                      without_handle_seed(second));
}

}  // namespace fuzzcheck
