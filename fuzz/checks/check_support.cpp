#include "check_support.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "round_trips.h"
#include "session/session.h"

namespace fuzzcheck {

const std::string& scratch_file()
{
    static const std::string path =
        (std::filesystem::temp_directory_path() / ("orvik_fuzz_" + std::to_string(getpid()) + ".txt"))
            .string();
    return path;
}

void write_scratch(std::string_view text)
{
    std::ofstream(scratch_file(), std::ios::binary | std::ios::trunc)
        .write(text.data(), std::streamsize(text.size()));
}

namespace {

// A part of a text with its line ends and other control characters shown.
std::string shown(const std::string& text, size_t from, size_t length)
{
    std::string out;
    for (char c : text.substr(std::min(from, text.size()), length)) {
        if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (static_cast<unsigned char>(c) < 32)
            out += "\\x" + std::to_string(static_cast<unsigned char>(c));
        else
            out += c;
    }
    return out;
}

}  // namespace

std::string difference(const std::string& what, const std::string& first, const std::string& second)
{
    if (first == second) return "";
    size_t at = 0;
    while (at < first.size() && at < second.size() && first[at] == second[at]) ++at;
    size_t from = at > 80 ? at - 80 : 0;
    return what + " differ at byte " + std::to_string(at) + ":\n  first:  " + shown(first, from, 200) +
           "\n  second: " + shown(second, from, 200);
}

void prepare()
{
    host::Session* session = host::Session::current_or_null();
    if (!session) {
        // The fuzz targets run without a host; the messages of the readers go
        // into a transcript that nobody sees.
        if (!std::getenv("CADHOST_HOME")) {
            std::string home =
                (std::filesystem::temp_directory_path() / ("orvik_fuzz_home_" + std::to_string(getpid())))
                    .string();
            setenv("CADHOST_HOME", home.c_str(), 1);
        }
        static std::unique_ptr<host::Session> quiet = std::make_unique<host::Session>();
        session = quiet.get();
        session->transcript().echo_to_stdout = false;
        session->new_document();
    }
    session->transcript().clear();
    session->transcript().alerts.clear();
}

}  // namespace fuzzcheck
