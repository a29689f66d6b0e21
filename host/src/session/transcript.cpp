// The transcript of the command line: what the host and the plug-ins printed and
// what was answered, with "\r" progress lines rewritten in place; and the API's
// printing and alert calls that write into it.
#include <unistd.h>

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

Transcript::Transcript() : stdout_is_terminal(isatty(STDOUT_FILENO) != 0) {}

void Transcript::show(const std::string& text)
{
    if (!echo_to_stdout || text.empty()) return;
    if (stdout_is_terminal) {
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else {
        // A "\r" that would rewrite a line ends it instead ("\r\n" ends it once).
        std::string shown;
        for (char c : text) {
            if (c == '\r') {
                shown_cr_pending_ = true;
                continue;
            }
            if (shown_cr_pending_ && c != '\n' && !shown_line_empty_) shown += '\n';
            shown_cr_pending_ = false;
            shown += c;
            shown_line_empty_ = c == '\n';
        }
        std::fwrite(shown.data(), 1, shown.size(), stdout);
    }
    std::fflush(stdout);
}

void Transcript::print_line(const std::string& text)
{
    print(text + "\n");
    line_ended_ = true;
}

void Transcript::print(const std::string& text)
{
    if (text.empty()) return;
    if (line_ended_) {
        line_ended_ = false;
        if (text.front() == '\n') {
            if (text.size() > 1) print(text.substr(1));
            return;
        }
    }
    // After an answer the user pressed Enter: output goes on the next line. At a
    // terminal the Enter itself took the screen there.
    if (after_answer_) {
        after_answer_ = false;
        bool screen_on_next_line = typed_at_terminal_;
        typed_at_terminal_ = false;
        if (text.front() != '\n') {
            put("\n");
            if (!screen_on_next_line) show("\n");
        } else if (screen_on_next_line) {
            put(text);
            show(text.substr(1));
            return;
        }
    }
    put(text);
    show(text);
}

void Transcript::answer(const std::string& text, bool echo)
{
    line_ended_ = false;
    put(text);
    after_answer_ = true;
    typed_at_terminal_ = !echo && stdout_is_terminal;
    if (echo) show(text);
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
