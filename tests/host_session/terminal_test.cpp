// The cadhost program at a terminal, driven through tmux as a person types:
// the up arrow brings back the last command, the history is kept in the home
// folder, and progress lines are rewritten in place.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <thread>

#include "host_fixture.h"

namespace {

std::string shell_output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = popen((command + " 2>&1").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
        pclose(pipe);
    }
    return out;
}

class TerminalTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        // tmux is installed by .ci/install-deps: a missing one fails the test.
        ASSERT_EQ(std::system("tmux -V >/dev/null 2>&1"), 0)
            << "tmux is needed (.ci/install-deps installs it)";
        socket_ = "cadhost_test_" + std::to_string(getpid());
    }
    void TearDown() override
    {
        shell_output(tmux() + " kill-server");
        HostFixture::TearDown();
    }

    std::string tmux() const { return "tmux -L " + socket_; }
    std::string program() const { return std::string(ORVIK_BINARY_DIR) + "/bin/cadhost --home " + home(); }

    void start(const std::string& program)
    {
        shell_output(tmux() + " new-session -d -s host -x 100 -y 40 '" + program + "'");
    }
    void keys(const std::string& keys) { shell_output(tmux() + " send-keys -t host " + keys); }
    std::string screen() { return shell_output(tmux() + " capture-pane -p -t host"); }

    // The screen once it holds the text (or after ten seconds).
    std::string screen_with(const std::string& text)
    {
        std::string shown;
        for (int i = 0; i < 200; ++i) {
            shown = screen();
            if (shown.find(text) != std::string::npos) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return shown;
    }

    std::string socket_;
};

TEST_F(TerminalTest, TheUpArrowRepeatsACommand)
{
    start(program());
    ASSERT_NE(screen_with("Command:").find("Command:"), std::string::npos) << screen();
    keys("'(setq n 40)' Enter");
    screen_with("\n40");
    keys("'(setq n (+ n 1))' Enter");
    screen_with("\n41");
    // Up brings back "(setq n (+ n 1))"; Enter runs it again.
    keys("Up Enter");
    std::string shown = screen_with("\n42");
    EXPECT_NE(shown.find("\n42"), std::string::npos) << shown;
    size_t first = shown.find("Command: (setq n (+ n 1))");
    ASSERT_NE(first, std::string::npos) << shown;
    EXPECT_NE(shown.find("Command: (setq n (+ n 1))", first + 1), std::string::npos) << shown;

    // A line edited after coming back: Up, then Backspace over "1))" and "2))".
    keys("Up BSpace BSpace BSpace '2))' Enter");
    shown = screen_with("\n44");
    EXPECT_NE(shown.find("Command: (setq n (+ n 2))\n44"), std::string::npos) << shown;

    // On a terminal a progress line is rewritten in place.
    keys("'(progn (princ \"\\rstep 1\") (princ \"\\rstep 2\") nil)' Enter");
    shown = screen_with("step 2");
    EXPECT_NE(shown.find("\nstep 2"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("\nstep 1"), std::string::npos) << shown;

    // The history is kept for the next session: Up twice there, past QUIT.
    keys("'(setq m 7)' Enter QUIT Enter");
    for (int i = 0; i < 200 && shell_output(tmux() + " has-session -t host").empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    start(program());
    screen_with("Command:");
    keys("Up Up Enter");
    shown = screen_with("\n7");
    EXPECT_NE(shown.find("Command: (setq m 7)\n7"), std::string::npos) << shown;
}

}  // namespace
