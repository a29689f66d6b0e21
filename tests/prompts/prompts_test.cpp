// The prompts driven through the host's input as a user answers them: each
// case is a script of answers ("^C" is Esc, an empty line Enter) and the
// prompt text the command line must show.
#include "prompts.h"

#include <gtest/gtest.h>

#include <string>

#include "ads.h"
#include "host_fixture.h"
#include "messages.h"
#include "session/session.h"

namespace {

class Prompts : public HostFixture {
protected:
    void answers(const std::string& script)
    {
        host::Session::get().transcript().clear();
        host::Session::get().set_input(host::script_input(script));
    }
    std::string shown() { return host::Session::get().transcript().text(); }
    int count(const std::string& what)
    {
        int n = 0;
        std::string text = shown();
        for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
        return n;
    }
    void set_short(const char* name, int value)
    {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = static_cast<short>(value);
        ASSERT_EQ(acedSetVar(name, &rb), RTNORM);
    }
};

TEST_F(Prompts, KeywordDefaultsAndReask)
{
    struct Case {
        std::string spec, script, shown, result;
    } cases[] = {
        // No default: the prompt ends in ":" and flag 1 is kept, so Enter is refused.
        {"1,A B,\nChoose,nil", "\nb\n", "\nChoose:", "B"},
        // A default: shown upper-cased in angle brackets, taken on Enter.
        {"0,Yes No,\nPrompt,yes", "\n", "\nPrompt <YES>:", "YES"},
        // Esc asks the same question again.
        {"0,Yes No,\nPrompt,yes", "^C\nNo\n", "\nPrompt <YES>:", "No"},
        {"1,X M L F,\nOption,nil", "^C\n^C\nl\n", "\nOption:", "L"},
    };
    for (const Case& c : cases) {
        answers(c.script);
        std::string out;
        EXPECT_EQ(prompt_kword_spec(c.spec, out), 0);
        EXPECT_EQ(out, c.result) << c.spec;
        EXPECT_NE(shown().find(c.shown), std::string::npos) << shown();
    }
    answers("^C\nNo\n");
    std::string out;
    prompt_kword_spec("0,Yes No,\nPrompt,yes", out);
    EXPECT_EQ(count("Prompt <YES>:"), 2);  // asked again after the Esc
    answers("m\n");
    EXPECT_EQ(prompt_kword("0", "M L F", "\nUnit", "nil"), "M");
}

TEST_F(Prompts, RealShowsItsDefaultRounded)
{
    struct Case {
        std::string script;
        int result;
        std::string out;
    } cases[] = {
        {"\n", 1, "2.3500000000"},  // Enter: the default as shown, 2.345678 at 2 decimals
        {"7.5\n", 1, "7.5000000000"},
        {"x\n", 2, "X"},
        {"^C\n-3\n", 1, "-3.0000000000"},  // Esc asks again
    };
    for (const Case& c : cases) {
        answers(c.script);
        std::string out;
        EXPECT_EQ(prompt_real_spec("0,X,\nHeight", 2.345678, 2, out), c.result) << c.script;
        EXPECT_EQ(out, c.out);
        EXPECT_NE(shown().find("\nHeight<2.35>:"), std::string::npos) << shown();
    }
    answers("\n");
    EXPECT_DOUBLE_EQ(prompt_real_default("Scale", 1000, 0), 1000);
    answers("x\n12.25\n");  // "X" is no number: asked again
    EXPECT_DOUBLE_EQ(prompt_real_default("Scale", 1000, 0), 12.25);
    answers("X\n");
    EXPECT_DOUBLE_EQ(prompt_real_or_exit("Height ", 2.5, 3), 0.0);
    EXPECT_NE(shown().find("\ne<X>it Height <2.500>:"), std::string::npos) << shown();
}

TEST_F(Prompts, IntegerTwin)
{
    answers("\n");
    std::string out;
    EXPECT_EQ(prompt_int_spec("0,X,Count", 5, out), 1);
    EXPECT_EQ(out, "5");
    EXPECT_NE(shown().find("\nCount<5>:"), std::string::npos) << shown();
    answers("^C\n42\n");
    EXPECT_EQ(prompt_int_spec("0,X,Count", 5, out), 1);
    EXPECT_EQ(out, "42");
    answers("x\n");
    EXPECT_EQ(prompt_int_or_exit("Number ", 3), 0);
    EXPECT_NE(shown().find("e<X>it Number <3>:"), std::string::npos) << shown();
    answers("x\n\n");
    EXPECT_EQ(prompt_int_default("Start", 9), 9);
}

TEST_F(Prompts, StringPrompt)
{
    std::string out;
    answers("\n");
    prompt_string_spec("0,\nName,nil", "abc", out);
    EXPECT_EQ(out, "abc");
    EXPECT_NE(shown().find("\nName<abc>:"), std::string::npos);
    answers("^C\nlot one\n");
    prompt_string(0, 1, "\nTitle", "nil", out);
    EXPECT_EQ(out, "lot one");
    EXPECT_NE(shown().find("\nTitle:"), std::string::npos);
    answers("\n");
    prompt_string(0, 1, "\nTitle", "nil", out);
    EXPECT_EQ(out, "nil");  // the default is given even when it is "nil"
}

TEST_F(Prompts, DistanceAtLuprec)
{
    set_short("LUPREC", 3);
    double value = -1;
    answers("0\n");
    EXPECT_EQ(prompt_dist_luprec(nullptr, "\nDistance ID", 2.5, value), 1);
    EXPECT_NE(shown().find("\nDistance ID<2.500>:"), std::string::npos) << shown();
    EXPECT_EQ(value, 2.5);  // a typed 0 takes the default
    answers("\n");
    prompt_dist_luprec(nullptr, "d", 2.5, value);
    EXPECT_EQ(value, 2.5);
    answers("4.25\n");
    prompt_dist_luprec_flags(1, nullptr, "d", 2.5, value);
    EXPECT_EQ(value, 4.25);
    point3d_rec base{0, 0, 0};
    answers("3,4\n");  // a second point from the base: the distance between
    prompt_dist_luprec(&base, "d", 2.5, value);
    EXPECT_NEAR(value, 5.0, 1e-12);
}

TEST_F(Prompts, AngleInDmmss)
{
    struct Case {
        std::string script;
        int result;
        std::string out;
    } cases[] = {
        {"361.3000\n", 0, "45.3000"},  // 360 or more: refused, the default text
        {"x\n", 2, "X"},
        {"12.3000\n", 1, "12.3000"},
        {"\n", 1, "45.3000"},  // Enter: the default
        {"q\n", 0, "unchanged"},
        {"^C\n", 0, "unchanged"},  // a cancel ends it
    };
    for (const Case& c : cases) {
        answers(c.script);
        std::string out = "unchanged";
        EXPECT_EQ(prompt_angle_dms("X,M", 2, "\nBearing ", 45.3, out), c.result) << c.script;
        EXPECT_EQ(out, c.out) << c.script;
        EXPECT_NE(shown().find("\nBearing dd.mmss"), std::string::npos) << shown();
        EXPECT_NE(shown().find("<45.3000>:"), std::string::npos) << shown();
    }
}

TEST_F(Prompts, PointOrText)
{
    std::string text;
    point3d_rec p{9, 9, 9};
    answers("3,4\n");
    EXPECT_EQ(prompt_point_or_text("\nPick or type ", "AB", nullptr, text, p), 1);
    EXPECT_EQ(p.x, 3);
    EXPECT_EQ(text, "AB");
    EXPECT_NE(shown().find("\nPick or type <AB>:"), std::string::npos) << shown();
    answers("hello\n");
    EXPECT_EQ(prompt_point_or_text("\nPick ", "", nullptr, text, p), 2);
    EXPECT_EQ(text, "hello");
    EXPECT_EQ(p.x, 0);  // the point is cleared
    answers("\n");
    EXPECT_EQ(prompt_point_or_text("\nPick ", "", nullptr, text, p), 2);
    EXPECT_EQ(text, "X");  // Enter with no default: the exit keyword
    answers("\n");
    EXPECT_EQ(prompt_point_or_text("\nPick ", "D1", nullptr, text, p), 2);
    EXPECT_EQ(text, "D1");
    // After an Esc a typed text is still taken, so the user can leave with "X".
    answers("^C\nX\n");
    EXPECT_EQ(prompt_point_or_text("\nPick ", "", nullptr, text, p), 2);
    EXPECT_EQ(text, "X");
}

TEST_F(Prompts, ExitWaitUntilX)
{
    answers("^C\nx\n");
    prompt_exit_wait();
    EXPECT_EQ(count("\ne<X>it :"), 2);  // asked again after the Esc
}

TEST_F(Prompts, YesNoAskedOnce)
{
    answers("\n");
    EXPECT_EQ(prompt_yes_no("\nErase old labels?", 1), 1);
    EXPECT_NE(shown().find("\nErase old labels? <Yes>:"), std::string::npos);
    answers("\n");
    EXPECT_EQ(prompt_yes_no("\nErase?", 0), 0);
    EXPECT_NE(shown().find("\nErase? <No>:"), std::string::npos);
    answers("y\n");
    EXPECT_EQ(prompt_yes_no("\nErase?", 0), 1);
    // A cancel is not asked again and answers No; the next line is left for the next prompt.
    answers("^C\nYes\n");
    EXPECT_EQ(prompt_yes_no("\nErase?", 1), 0);
    EXPECT_EQ(prompt_yes_no("\nAgain?", 0), 1);
}

TEST_F(Prompts, ScriptRunningOutDuringReaskEndsCleanly)
{
    answers("^C\n^C\n");
    std::string out;
    EXPECT_THROW(prompt_kword_spec("1,A B,\nChoose,nil", out), host::InputExhausted);
    answers("^C\n");
    EXPECT_THROW(prompt_real_or_exit("Height ", 1, 2), host::InputExhausted);
    // The session goes on answering afterwards.
    answers("A\n");
    prompt_kword_spec("1,A B,\nChoose,nil", out);
    EXPECT_EQ(out, "A");
}

TEST_F(Prompts, PicksEndOnACancel)
{
    std::string text;
    answers("0,0\n1,1\n");
    EXPECT_EQ(pick_bearing_text(nullptr, text), 1);
    EXPECT_EQ(text, "45.000000");
    EXPECT_NE(shown().find("\nPick base point :"), std::string::npos);
    EXPECT_NE(shown().find("\nPick next point :"), std::string::npos);
    point3d_rec base{10, 10, 0};
    double bearing = -1;
    answers("10,5\n");
    EXPECT_EQ(pick_two_points_bearing(&base, bearing), 1);
    EXPECT_EQ(bearing, 180.0);
    answers("^C\n");
    EXPECT_EQ(pick_bearing_text(nullptr, text), 0);

    std::string x, y;
    answers("1234.5678,-2.0004\n");
    EXPECT_EQ(pick_coord_text("\nPick point :", x, y), 1);
    EXPECT_EQ(x, "1234.568");
    EXPECT_EQ(y, "-2.000");
    // 1e25 with 3 decimals is 30 characters: refused with the alert.
    answers("1e25,5\n");
    EXPECT_EQ(pick_coord_text("\nPick point :", x, y), 0);
    EXPECT_EQ(x, "0.000");
    EXPECT_EQ(y, "0.000");
    auto& alerts = host::Session::get().transcript().alerts;
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts.back(), "\nCoordinate to long...abort!!");
}

TEST_F(Prompts, FileDialogStartsInTheFolder)
{
    std::string path;
    answers("plan\n");
    EXPECT_EQ(file_dialog_dwgprefix("Save travers", "/data/jobs/", "trv", 1, path), 1);
    EXPECT_EQ(path, "/data/jobs/plan.trv");
    EXPECT_NE(shown().find("Save travers"), std::string::npos);
    answers("^C\n");
    EXPECT_EQ(file_dialog_dwgprefix("Trav open", "", "trv", 0, path), 0);
    // Without a folder the dialog starts in the drawing's folder.
    resbuf prefix{};
    ASSERT_EQ(acedGetVar("DWGPREFIX", &prefix), RTNORM);
    std::string folder = prefix.resval.rstring;
    free(prefix.resval.rstring);
    answers("plan.trv\n");
    EXPECT_EQ(file_dialog_dwgprefix("Trav open", "", "trv", 0, path), 1);
    EXPECT_EQ(path, folder + "plan.trv");
}

TEST_F(Prompts, ProgressLines)
{
    answers("");
    progress_tick_start();
    for (int i = 0; i < 25; ++i) progress_tick();
    EXPECT_EQ(count("\nProcessing..\n"), 1);  // once per start
    EXPECT_EQ(progress_tick_count(), 6);      // back to 1 at 20, then five more
    progress_tick_start();
    progress_tick_named("Contours");
    EXPECT_EQ(count("\nContours..\n"), 1);

    progress_reset();
    progress_percent(1, 4);
    progress_percent(3, 4);
    EXPECT_EQ(progress_percent_count(), 2);
    // The line rewrites itself: only the last state stays.
    EXPECT_NE(shown().find("Processing  75%...."), std::string::npos) << shown();
    EXPECT_EQ(shown().find("Processing  25%"), std::string::npos) << shown();
}

TEST_F(Prompts, AlertTexts)
{
    auto& alerts = host::Session::get().transcript().alerts;
    msg_alert_two("Lot", "not closed");
    EXPECT_EQ(alerts.back(), "Lot\nnot closed");
    msg_alert_long("Points read", 120000);
    EXPECT_EQ(alerts.back(), "Points read\n120000");
    msg_alert_real("Area", 2.5);
    EXPECT_EQ(alerts.back(), "Area \n2.50000000");
    EXPECT_EQ(is_true_int(-3), 1);
    EXPECT_EQ(is_true_byte(0), 0);
}

// The yes/no dialog is answered through a LISP call in lisp_prompts_test.cpp.

}  // namespace
