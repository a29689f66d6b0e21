// The transcript of the command line: what the host and the plug-ins printed and
// what was answered, with "\r" progress lines rewritten in place; and the API's
// printing and alert calls that write into it.
#include <cstdarg>
#include <cstdio>
#include <string>

#include "ads.h"
#include "session/session.h"

namespace host {

void Transcript::put(const std::string& text)
{
    for (char c : text) {
        if (c == '\r') {
            rewrite_pending_ = true;
            continue;
        }
        if (c == '\n') {
            rewrite_pending_ = false;
            text_ += '\n';
            line_start_ = text_.size();
            continue;
        }
        if (rewrite_pending_) {
            text_.resize(line_start_);
            rewrite_pending_ = false;
        }
        text_ += c;
    }
}

void Transcript::print(const std::string& text)
{
    if (text.empty()) return;
    // After an answer the user pressed Enter: output goes on the next line.
    if (after_answer_) {
        after_answer_ = false;
        if (text.front() != '\n') {
            put("\n");
            if (echo_to_stdout) std::fputc('\n', stdout);
        }
    }
    put(text);
    if (echo_to_stdout) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
}

void Transcript::answer(const std::string& text, bool echo)
{
    put(text);
    after_answer_ = true;
    if (echo && echo_to_stdout) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
    }
}

}  // namespace host

namespace {

void print_text(const std::string& text)
{
    if (host::Session* session = host::Session::current_or_null()) {
        session->print(text);
    } else {
        std::fwrite(text.data(), 1, text.size(), stdout);
    }
}

}  // namespace

extern "C" {

int acutPrintf(const char* format, ...)
{
    if (!format) return 0;
    va_list args;
    va_start(args, format);
    va_list again;
    va_copy(again, args);
    int length = std::vsnprintf(nullptr, 0, format, args);
    va_end(args);
    if (length < 0) {
        va_end(again);
        return length;
    }
    std::string text(static_cast<size_t>(length) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, again);
    va_end(again);
    text.resize(static_cast<size_t>(length));
    print_text(text);
    return length;
}

int acedAlert(const char* message)
{
    std::string text = message ? message : "";
    host::Session* session = host::Session::current_or_null();
    if (!session) {
        std::printf("\n** Alert: %s\n", text.c_str());
        return RTNORM;
    }
    session->transcript().alerts.push_back(text);
    // The alert box stands on lines of its own.
    const std::string& shown = session->transcript().text();
    std::string line = (shown.empty() || shown.back() == '\n') ? "" : "\n";
    line += "** Alert: " + text + "\n";
    session->print(line);
    return RTNORM;
}

}  // extern "C"
