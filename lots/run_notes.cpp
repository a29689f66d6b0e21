#include "run_notes.h"

#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "ads.h"

namespace {

std::vector<std::string>& notes()
{
    static std::vector<std::string> kept;
    return kept;
}

}  // namespace

void run_note(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    std::string text(length > 0 ? static_cast<size_t>(length) : 0, '\0');
    if (length > 0) std::vsnprintf(text.data(), text.size() + 1, format, args);
    va_end(args);
    notes().push_back(std::move(text));
}

int run_notes_print()
{
    const int count = static_cast<int>(notes().size());
    for (const std::string& text : notes()) acutPrintf("%s", text.c_str());
    notes().clear();
    return count;
}
