// Answers typed at a terminal. When both standard input and output are a
// terminal, lines are read with line editing and a history (the arrow keys
// bring back earlier lines, kept in the home folder between sessions);
// otherwise standard input is read line by line as it comes.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include "platform/win_platform.h"
#include "session/session.h"

#ifdef HOST_HAVE_LIBEDIT
#include <editline/readline.h>
#endif

namespace host {

namespace {

std::optional<std::string> without_line_end(std::string line)
{
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

class StreamInput : public Input {
public:
    std::optional<std::string> next_line() override
    {
        std::string line;
        if (!std::getline(std::cin, line)) return std::nullopt;
        return without_line_end(std::move(line));
    }
    bool interactive() const override { return interactive_; }

private:
    bool interactive_ = isatty(STDIN_FILENO) != 0;
};

#ifdef HOST_HAVE_LIBEDIT

// The lines kept from one session to the next.
constexpr int kHistoryLines = 1000;

class EditedInput : public Input {
public:
    EditedInput() : history_file_(platform::home_folder() + "/history.txt")
    {
        using_history();
        stifle_history(kHistoryLines);
        read_history(history_file_.c_str());
    }
    ~EditedInput() override { write_history(history_file_.c_str()); }

    std::optional<std::string> next_line() override
    {
        // The prompt is on the screen already; the editor writes it again as its
        // own, so that moving through the line and the history never erases it.
        std::string prompt;
        if (Session* session = Session::current_or_null()) prompt = session->transcript().prompt_shown();
        if (!prompt.empty()) std::fputs("\r\033[K", stdout);
        std::fflush(stdout);
        char* typed = readline(prompt.c_str());
        if (!typed) return std::nullopt;
        std::string line = typed;
        std::free(typed);
        if (line.find_first_not_of(" \t") != std::string::npos && line != last_) {
            add_history(line.c_str());
            last_ = line;
        }
        return without_line_end(std::move(line));
    }
    bool interactive() const override { return true; }

private:
    std::string history_file_;
    std::string last_;  // the newest history line
};

#endif

}  // namespace

std::unique_ptr<Input> terminal_input()
{
#ifdef HOST_HAVE_LIBEDIT
    if (isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) return std::make_unique<EditedInput>();
#endif
    return std::make_unique<StreamInput>();
}

}  // namespace host
