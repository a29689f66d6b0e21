// The prompts as a command meets them: a script calls a LISP function, the
// function asks through the library's prompts, and the following script lines
// answer. The functions below are small test commands registered as the host's
// own LISP functions; each returns what the prompt gave, so the transcript shows
// both the prompt text and the value LISP printed.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_fixture.h"
#include "lisp/lisp.h"
#include "messages.h"
#include "prompts.h"
#include "session/session.h"

namespace {

host::LispValue text_value(const std::string& text)
{
    host::LispValue v;
    v.kind = host::LispValue::Str;
    v.text = text;
    return v;
}

host::LispValue int_value(long n)
{
    host::LispValue v;
    v.kind = host::LispValue::Int;
    v.integer = n;
    return v;
}

host::LispValue real_value(double r)
{
    host::LispValue v;
    v.kind = host::LispValue::Real;
    v.real = r;
    return v;
}

// (result-code text) as LISP prints it: (1 "2.5000000000").
host::LispValue pair_value(int code, const std::string& text)
{
    host::LispValue v;
    v.kind = host::LispValue::List;
    v.items = {int_value(code), text_value(text)};
    return v;
}

double number_of(const host::LispValue& v)
{
    return v.kind == host::LispValue::Real ? v.real : static_cast<double>(v.integer);
}

const std::string& text_of(const host::LispValue& v)
{
    if (v.kind != host::LispValue::Str) throw std::runtime_error("a string is expected");
    return v.text;
}

void register_test_commands()
{
    // (t_kword spec) -> the keyword
    host::register_lisp_builtin("t_kword", [](std::vector<host::LispValue>& a) {
        std::string out;
        prompt_kword_spec(text_of(a.at(0)), out);
        return text_value(out);
    });
    // (t_real spec default decimals) -> (code text)
    host::register_lisp_builtin("t_real", [](std::vector<host::LispValue>& a) {
        std::string out;
        int rc =
            prompt_real_spec(text_of(a.at(0)), number_of(a.at(1)), static_cast<int>(number_of(a.at(2))), out);
        return pair_value(rc, out);
    });
    // (t_real_or_exit prompt default decimals) -> the number, 0.0 for "X"
    host::register_lisp_builtin("t_real_or_exit", [](std::vector<host::LispValue>& a) {
        return real_value(
            prompt_real_or_exit(text_of(a.at(0)), number_of(a.at(1)), static_cast<int>(number_of(a.at(2)))));
    });
    // (t_size spec default decimals) -> (code text): a size above 0
    host::register_lisp_builtin("t_size", [](std::vector<host::LispValue>& a) {
        std::string out;
        int rc =
            prompt_size_spec(text_of(a.at(0)), number_of(a.at(1)), static_cast<int>(number_of(a.at(2))), out);
        return pair_value(rc, out);
    });
    // (t_decimals spec default) -> (code text): decimals 0 to 10
    host::register_lisp_builtin("t_decimals", [](std::vector<host::LispValue>& a) {
        std::string out;
        int rc = prompt_decimals_spec(text_of(a.at(0)), static_cast<int>(number_of(a.at(1))), out);
        return pair_value(rc, out);
    });
    // (t_dist prompt default) -> the distance
    host::register_lisp_builtin("t_dist", [](std::vector<host::LispValue>& a) {
        double out = 0;
        prompt_dist_luprec(nullptr, text_of(a.at(0)), number_of(a.at(1)), out);
        return real_value(out);
    });
    // (t_angle keywords count prompt default) -> (code text)
    host::register_lisp_builtin("t_angle", [](std::vector<host::LispValue>& a) {
        std::string out = "none";
        int rc = prompt_angle_dms(text_of(a.at(0)), static_cast<int>(number_of(a.at(1))), text_of(a.at(2)),
                                  number_of(a.at(3)), out);
        return pair_value(rc, out);
    });
    // (t_yes_no title message) -> 1 yes, 2 no, 3 cancel, 0 not shown
    host::register_lisp_builtin("t_yes_no", [](std::vector<host::LispValue>& a) {
        std::string folder = a.size() > 2 ? text_of(a[2]) : std::string(ORVIK_INSTALL_TREE);
        return int_value(yes_no_dialog(folder, text_of(a.at(0)), text_of(a.at(1))));
    });
}

class LispPrompts : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        static const bool registered = (register_test_commands(), true);
        (void)registered;
    }
};

bool has(const std::string& text, const std::string& what)
{
    return text.find(what) != std::string::npos;
}

TEST_F(LispPrompts, AnswersFromTheScriptReachThePrompts)
{
    struct Case {
        std::string script;              // the LISP call, then the answers
        std::vector<std::string> shown;  // what the command line must show, in order
    } cases[] = {
        // Keyword: the default upper-cased in angle brackets, taken on Enter.
        {"(t_kword \"0,Yes No,\\nReplace,yes\")\n\n", {"\nReplace <YES>:", "\"YES\""}},
        // Esc asks the same question again; a capitalised abbreviation answers.
        {"(t_kword \"1,X M L F,\\nOption,nil\")\n^C\nl\n", {"\nOption:", "*Cancel*", "\nOption:", "\"L\""}},
        // A word that is no keyword is refused by the host and asked again.
        {"(t_kword \"1,X M L F,\\nOption,nil\")\nzz\nm\n", {"Invalid option keyword", "\"M\""}},
        // Real: the default shown rounded to 2 decimals, and that rounded value on Enter.
        {"(t_real \"0,X,\\nHeight\" 2.345678 2)\n\n", {"\nHeight<2.35>:", "(1 \"2.3500000000\")"}},
        {"(t_real \"0,X,\\nHeight\" 2.345678 2)\n^C\nx\n", {"*Cancel*", "(2 \"X\")"}},
        {"(t_real_or_exit \"Scale \" 1000 0)\nabc\n500\n",
         {"\ne<X>it Scale <1000>:", "Requires a numeric value.", "\n500.0"}},
        // A message before a prompt asked again ends its line: the host's own
        // and the library's refusals of a size or decimals.
        {"(t_real_or_exit \"Scale \" 1000 0)\nabc\n500\n",
         {"abc\nRequires a numeric value.\ne<X>it Scale <1000>:500\n500.0"}},
        {"(t_kword \"1,X M L F,\\nOption,nil\")\nzz\nm\n",
         {"zz\nInvalid option keyword: answer one of X M L F.\nOption:m\n\"M\""}},
        {"(t_decimals \"0,X,e<X>it Decimal\" 3)\nabc\n-1\n11\n4\n",
         {"abc\nRequires an integer value.\ne<X>it Decimal<3>:-1\nThe decimals must be 0 to 10.\ne<X>it "
          "Decimal<3>:11\nThe decimals must be 0 to 10.\ne<X>it Decimal<3>:4\n(1 \"4\")"}},
        {"(t_size \"0,X,e<X>it Height \" 2.5 2)\n0\n-1\nx\n",
         {"0\nThe value must be more than 0.\ne<X>it Height <2.50>:-1\nThe value must be more than "
          "0.\ne<X>it "
          "Height <2.50>:x\n(2 \"X\")"}},
        {"(t_size \"0,X,\\nHeight \" 2.5 2)\n-0.0\n\n",
         {"-0.0\nThe value must be more than 0.\nHeight <2.50>:\n(1 \"2.5000000000\")"}},
        // The D.MMSS angle: 361.3000 is refused with the default text.
        {"(t_angle \"X,M\" 2 \"\\nBearing \" 45.3)\n361.3000\n",
         {"\nBearing dd.mmss<45.3000>:", "(0 \"45.3000\")"}},
        {"(t_angle \"X,M\" 2 \"\\nBearing \" 45.3)\nx\n", {"(2 \"X\")"}},
        {"(t_angle \"X,M\" 2 \"\\nBearing \" 45.3)\n12.3000\n", {"(1 \"12.3000\")"}},
    };
    for (const Case& c : cases) {
        const std::string shown = run(c.script);
        size_t at = 0;
        for (const std::string& part : c.shown) {
            size_t found = shown.find(part, at);
            ASSERT_NE(found, std::string::npos) << "\"" << part << "\" after " << at << " in:\n" << shown;
            at = found + part.size();
        }
    }
}

TEST_F(LispPrompts, DistanceAtTheDrawingsLuprec)
{
    // LUPREC 3: 2.5 is shown as 2.500; a typed 0 and Enter take the default, a
    // point from the last point measures (3, 4) from the origin: 5.
    const std::string shown =
        run("(setvar \"LUPREC\" 3)\n"
            "(t_dist \"\\nDistance ID\" 2.5)\n0\n"
            "(t_dist \"\\nDistance ID\" 2.5)\n\n"
            "(t_dist \"\\nDistance ID\" 2.5)\n0,0\n3,4\n");
    size_t first = shown.find("\nDistance ID<2.500>:");
    ASSERT_NE(first, std::string::npos) << shown;
    size_t v1 = shown.find("\n2.5", first);
    ASSERT_NE(v1, std::string::npos) << shown;
    size_t v2 = shown.find("\n2.5", v1 + 1);
    ASSERT_NE(v2, std::string::npos) << shown;
    EXPECT_NE(shown.find("\n5.0", v2), std::string::npos) << shown;
}

TEST_F(LispPrompts, ScriptEndingDuringAReaskEndsTheCallCleanly)
{
    // The prompt asks again after each Esc; the script ends there. The call ends
    // with the host's message and the session goes on with the next script.
    std::string shown = run("(t_kword \"1,A B,\\nChoose,nil\")\n^C\n^C\n");
    EXPECT_TRUE(has(shown, "*Cancel* the script ended while the command was asking: Choose:")) << shown;
    shown = run("(t_real_or_exit \"Height \" 1 2)\n^C\n");
    EXPECT_TRUE(has(shown, "*Cancel* the script ended while the command was asking: e<X>it Height <1.00>:"))
        << shown;
    shown = run("(t_kword \"1,A B,\\nChoose,nil\")\nb\n");
    EXPECT_TRUE(has(shown, "\"B\"")) << shown;
}

TEST_F(LispPrompts, YesNoDialogFromTheScript)
{
    struct Case {
        std::string action;
        int status;
    } cases[] = {{"pick yes", 1}, {"pick no", 2}, {"pick cancel", 3}};
    for (const Case& c : cases) {
        // "show" lists the tiles as the dialog set them: the title and the question.
        const std::string shown =
            run("(t_yes_no \"Lots\" \"Replace the table?\")\nshow\n" + c.action + "\n(princ \"after\")\n");
        EXPECT_TRUE(has(shown, "main: text, value \"Lots\", enabled")) << shown;
        EXPECT_TRUE(has(shown, "msg: text, value \"Replace the table?\", enabled")) << shown;
        EXPECT_TRUE(has(shown, "yes: button, label \"&Yes\", enabled")) << shown;
        const std::string tail = "\nidlg " + std::to_string(c.status) + "\n" + std::to_string(c.status);
        EXPECT_TRUE(has(shown, tail)) << shown;
        EXPECT_TRUE(has(shown, "after")) << shown;  // the next line went back to the command line
    }
    // Esc on the dialog: status 0 from the host, printed as the dialog gave it.
    EXPECT_TRUE(has(run("(t_yes_no \"Lots\" \"Replace?\")\ncancel\n"), "\nidlg 0\n0"));
}

TEST_F(LispPrompts, YesNoDialogFileMissing)
{
    const std::string shown = run("(t_yes_no \"t\" \"m\" \"/no/such/install\")\n");
    EXPECT_TRUE(has(shown, "\n Error Loading /no/such/install/dcl/YesNoCancel.dcl")) << shown;
    EXPECT_TRUE(has(shown, "\n0")) << shown;
}

}  // namespace
