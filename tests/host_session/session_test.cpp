// The host's session half driven as a user drives it: scripts of LISP calls and
// answers, prompts with keywords and re-asks, scripts that run out, documents,
// host commands and the transcript.
#include <gtest/gtest.h>

#include "commands/commands.h"
#include "host_fixture.h"
#include "session/input.h"
#include "lisp/lisp.h"
#include "probe_app.h"

namespace {

class SessionTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        probe::load_drawing_count = probe::unload_drawing_count = probe::unload_app_count = 0;
        ASSERT_TRUE(session().attach_app("Probe", probe::entry));
    }

    // The last line of a transcript that is not empty.
    static std::string last_line(const std::string& text)
    {
        size_t end = text.find_last_not_of('\n');
        if (end == std::string::npos) return "";
        size_t begin = text.rfind('\n', end);
        return text.substr(begin == std::string::npos ? 0 : begin + 1,
                           end - (begin == std::string::npos ? 0 : begin + 1) + 1);
    }
};

TEST_F(SessionTest, ScriptOfLispCallsAndAnswersReadsLikeASession)
{
    std::string out =
        run("; a comment line\n"
            "\n"
            "(p_point)\n"
            "10,20\n"
            "(setq n (+ 2 3))\n"
            "(p_int)\n"
            "7\n");
    EXPECT_NE(out.find("Command: (p_point)\nPick point Mula: 10,20\n(10.0 20.0 0.0)"), std::string::npos)
        << out;
    EXPECT_NE(out.find("Command: (setq n (+ 2 3))\n5"), std::string::npos) << out;
    EXPECT_NE(out.find("Number <1>: 7\n7"), std::string::npos) << out;
    EXPECT_EQ(out.find("comment"), std::string::npos) << out;
}

TEST_F(SessionTest, KeywordsMatchWithoutCaseByWholeWordOrCapitals)
{
    // keyword list "A Z S X C CL P N Yes eXit"
    struct Case {
        const char* typed;
        const char* result;
    } cases[] = {
        {"c", "RTNORM C"},       {"CL", "RTNORM CL"},  {"cl", "RTNORM CL"},   {"C", "RTNORM C"},
        {"y", "RTNORM Yes"},     {"YE", "RTNORM Yes"}, {"yes", "RTNORM Yes"}, {"x", "RTNORM X"},
        {"exit", "RTNORM eXit"}, {"", "RTNONE "},      {"^C", "RTCAN "},
    };
    for (const Case& c : cases) {
        std::string out = run(std::string("(p_kword)\n") + c.typed + "\n");
        EXPECT_EQ(last_line(out), std::string("\"") + c.result + "\"") << "typed " << c.typed << "\n" << out;
    }
    // A word that is no keyword is asked again from the next line.
    std::string out = run("(p_kword)\nQQ\nYesno\np\n");
    EXPECT_NE(out.find("Invalid option keyword"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "\"RTNORM P\"") << out;
}

TEST_F(SessionTest, InvalidAnswersAreAskedAgainInsideTheCall)
{
    std::string out = run("(p_point)\nabc\n1,2,3\n");
    EXPECT_NE(out.find("Invalid point"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "(1.0 2.0 3.0)") << out;

    out = run("(p_int)\n40000\n2.5\n-32768\n");
    EXPECT_NE(out.find("between -32768 and 32767"), std::string::npos) << out;
    EXPECT_NE(out.find("Requires an integer value"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "-32768") << out;

    // Flag 1: an empty answer is not taken.
    out = run("(p_point 1)\n\n4,5\n");
    EXPECT_NE(out.find("empty answer is not allowed"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "(4.0 5.0 0.0)") << out;
}

TEST_F(SessionTest, PointPromptAnswersAndTheRawInput)
{
    struct Case {
        const char* script;
        const char* result;
    } cases[] = {
        {"(p_point)\nexit\n", "\"RTKWORD Exit\""},  // keyword, spelt as in the list
        {"(p_point)\n\n", "\"RTNONE \""},
        {"(p_point)\n^C\n", "\"RTCAN \""},
        {"(p_point 128)\nsome text\n", "\"RTKWORD some text\""},  // arbitrary input
        {"(p_point)\n 3 , 4 \n", "(3.0 4.0 0.0)"},
    };
    for (const Case& c : cases) EXPECT_EQ(last_line(run(c.script)), c.result) << c.script;
}

TEST_F(SessionTest, LispAtAPromptAnswersWithItsValue)
{
    EXPECT_EQ(last_line(run("(setq p '(3 4))\n(p_point)\n!p\n")), "(3.0 4.0 0.0)");
    EXPECT_EQ(last_line(run("(p_int)\n(+ 2 3)\n")), "5");
    EXPECT_EQ(last_line(run("(p_kword)\n(strcat \"c\" \"l\")\n")), "\"RTNORM CL\"");
    // A failing expression is no answer: the prompt asks again.
    std::string out = run("(p_int)\n(nofn)\n6\n");
    EXPECT_NE(out.find("no function definition: NOFN"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "6");
    // A string prompt takes the text as typed.
    EXPECT_EQ(last_line(run("(p_string 1)\n(A)\n")), "\"RTNORM|(A)\"");
}

TEST_F(SessionTest, StringPromptEndsAtABlankUnlessBlanksAreAllowed)
{
    EXPECT_EQ(last_line(run("(p_string 0)\nLOT 12\n")), "\"RTNORM|LOT\"");
    EXPECT_EQ(last_line(run("(p_string 1)\nLOT 12\n")), "\"RTNORM|LOT 12\"");
    EXPECT_EQ(last_line(run("(p_string 0)\n\n")), "\"RTNORM|\"");
    std::string out = run("(p_string 1)\n" + std::string(200, 'a') + "\n");
    EXPECT_EQ(last_line(out), "\"RTNORM|" + std::string(132, 'a') + "\"");
}

TEST_F(SessionTest, ScriptRunningOutMidPromptEndsTheCallAndTheHostGoesOn)
{
    std::string out = run("(p_real_loop)\nabc\n^C\n");
    EXPECT_NE(out.find("*Cancel* the script ended while the command was asking: Jarak: "), std::string::npos)
        << out;
    // The next script runs normally, and the call's state is gone.
    out = run("(p_real_loop)\n2.5\n(+ 1 1)\n");
    EXPECT_NE(out.find("Jarak: 2.5\n2.5\n"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "2");
}

TEST_F(SessionTest, LispErrorsAreReportedAndTheHostGoesOn)
{
    std::string out = run("(no_such_fn 1)\n(+ 1 2)\n");
    EXPECT_NE(out.find("; error: no function definition: NO_SUCH_FN"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "3");

    out = run("(+ 1 2))\n(* 2 3)\n");
    EXPECT_NE(out.find("; error: extra right paren on input"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "6");

    out = run("(strcat \"a\"\n");
    EXPECT_NE(out.find("; error: malformed list on input"), std::string::npos) << out;

    out = run("(strcat \"a\" 5)\n(/ 1 0)\n");
    EXPECT_NE(out.find("; error: bad argument type: stringp: 5"), std::string::npos) << out;
    EXPECT_NE(out.find("; error: divide by zero"), std::string::npos) << out;
}

TEST_F(SessionTest, ValuesPrintAsLispPrintsThem)
{
    struct Case {
        const char* expression;
        const char* printed;
    } cases[] = {
        {"!nil", "nil"},
        {"!T", "T"},
        {"(+ 2 3)", "5"},
        {"(/ 7 2)", "3"},
        {"(/ 3.0 2)", "1.5"},
        {"(* 2 50.0)", "100.0"},
        {"(itoa 7)", "\"7\""},
        {"!'(1 2 3)", "(1 2 3)"},
        {"(quote (a \"b\" 1.25))", "(A \"b\" 1.25)"},
        {"!\"say \\\"hi\\\"\\n\"", "\"say \\\"hi\\\"\\n\""},
        {"(rtos 2.34567 2 2)", "\"2.35\""},
        {"(atoi \"42abc\")", "42"},
        {"(atof \"2.5\")", "2.5"},
        {"(p_void)", "nil"},
        {"(p_pair)", "((8 . \"LOT\") 1.5)"},
        {"(progn (setq a 4) (setq b (* a a)) b)", "16"},
        // Dotted pairs and points as entity lists show them.
        {"(cons 50 0.5235987)", "(50 . 0.523599)"},
        {"!'(0 . \"LINE\")", "(0 . \"LINE\")"},
        {"(cons 10 '(0.0 0.0 0.0))", "(10 0.0 0.0 0.0)"},
        {"!'(10 . (1.0 2.0 0.0))", "(10 1.0 2.0 0.0)"},
        {"(cons 1 nil)", "(1)"},
        {"(cdr '(50 . 0.5))", "0.5"},
        {"(cdr '(a b . c))", "(B . C)"},
        {"(cadr '(a b . c))", "B"},
        {"(assoc 8 '((0 . \"LINE\") (8 . \"LOT\") (10 1.0 2.0 0.0)))", "(8 . \"LOT\")"},
        {"(cdr (assoc 10 '((0 . \"LINE\") (10 1.0 2.0 0.0))))", "(1.0 2.0 0.0)"},
        {"(equal '(1 . 2) (cons 1 2))", "T"},
        {"(equal '(1 . 2) '(1 2))", "nil"},
        {"(length '(a . b))", "; error: bad list: (A . B)"},
        {"(quote (a . b c))", "; error: misplaced dot on input"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(last_line(run(std::string(c.expression) + "\n")), c.printed) << c.expression;
    }
}

TEST_F(SessionTest, RegisteredFunctionIsCalledDirectly)
{
    EXPECT_EQ(last_line(run("(p_direct)\n")), "\"direct\"");
}

TEST_F(SessionTest, ArgumentsReachThePluginWithTheTypesLispGives)
{
    // 5 and -32768 are 16-bit (RTSHORT 5003), 40000 is RTLONG 5010, 1.5 RTREAL 5001,
    // "s" RTSTR 5005, a list of three numbers RT3DPOINT 5009, of two RTPOINT 5002,
    // nil RTNIL 5019, T RTT 5021, another list RTLB 5016 ... RTLE 5017.
    std::string out = run("(p_types 5 -32768 40000 1.5 \"s\" '(1 2 3) '(1 2) nil T '(\"a\" 1))\n");
    EXPECT_EQ(last_line(out), "(5003 5003 5010 5001 5005 5009 5002 5019 5021 5016 5005 5003 5017)") << out;
    // A dotted pair is RTLB, its first value, RTDOTE 5018, the second, RTLE.
    out = run("(p_types '(8 . \"LOT\") '(1 . 2))\n");
    EXPECT_EQ(last_line(out), "(5016 5003 5018 5005 5017 5016 5003 5018 5003 5017)") << out;
}

TEST_F(SessionTest, FunctionsAreDefinedPerDocumentAndRemovedOnClose)
{
    EXPECT_EQ(probe::load_drawing_count, 1);
    run("NEW\n");
    EXPECT_EQ(probe::load_drawing_count, 2);
    ASSERT_EQ(session().documents().size(), 2u);
    EXPECT_EQ(session().current().drawing.name, "Drawing2.dwg");
    EXPECT_TRUE(session().current().functions.count("p_int"));

    // Switching sends no message; variables belong to their drawing.
    std::string out = run("(setq v 2)\nSWITCH 1\n(p_void)\n!v\n");
    EXPECT_EQ(probe::load_drawing_count, 2);
    EXPECT_EQ(last_line(out), "nil") << out;

    // Closing the first drawing removes its functions there only.
    run("CLOSE\n");
    EXPECT_EQ(probe::unload_drawing_count, 1);
    ASSERT_EQ(session().documents().size(), 1u);
    EXPECT_EQ(session().current().drawing.name, "Drawing2.dwg");
    EXPECT_EQ(last_line(run("!v\n")), "2");
    EXPECT_EQ(session().current().functions.size(), 16u);  // the table and p_direct

    // The last drawing closed: nothing runs until NEW.
    out = run("CLOSE\n(+ 1 2)\nNEW\n(p_void)\n");
    EXPECT_NE(out.find("no drawing is open"), std::string::npos) << out;
    EXPECT_EQ(session().current().drawing.name, "Drawing3.dwg");
    EXPECT_EQ(last_line(out), "nil");

    session().unload_plugins();
    EXPECT_EQ(probe::unload_app_count, 1);
    EXPECT_TRUE(session().current().functions.empty());
}

TEST_F(SessionTest, CommandsOfTheHostAndUnknownOnes)
{
    std::string out = run("(p_command \"nosuchcmd\")\n");
    EXPECT_NE(out.find("Unknown command \"nosuchcmd\""), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "\"RTERROR\"");
    // An empty command call cancels harmlessly.
    EXPECT_EQ(acedCommand(0), RTNORM);
    EXPECT_EQ(acedCommand(RTNONE), RTNORM);
    // Names without regard to case, "_" and "." ignored.
    EXPECT_EQ(acedCommand(RTSTR, "._REDRAW", 0), RTNORM);
}

TEST_F(SessionTest, LayerCommandThawsUnlocksAndTurnsOn)
{
    using host::Entity;
    using host::Group;
    auto layer = [&](const std::string& name, long flags, long colour) {
        Entity record;
        record.type = "LAYER";
        record.groups = {Group::of_text(2, name), Group::of_int(70, flags), Group::of_int(62, colour)};
        return drawing().add_record("LAYER", record).id;
    };
    long a = layer("Orvik_survey_temp", 1 | 4 | 64, -3);  // frozen, locked, referenced; off
    long b = layer("LOT_NO", 4, 5);
    long c = layer("OTHER", 1, -2);

    std::string out = run("(p_layer \"orvik_SURVEY_temp\")\n");
    EXPECT_EQ(last_line(out), "\"RTNORM\"") << out;
    EXPECT_EQ(drawing().get(a)->integer(70), 64);
    EXPECT_EQ(drawing().get(a)->integer(62), 3);

    // Comma lists and the other options through LISP's command.
    run("(command \"_.layer\" \"lock\" \"LOT_NO,OTHER\" \"off\" \"lot_no\" \"freeze\" \"lot_no\" \"\")\n");
    EXPECT_EQ(drawing().get(b)->integer(70), 4 | 1);
    EXPECT_EQ(drawing().get(b)->integer(62), -5);
    EXPECT_EQ(drawing().get(c)->integer(70), 1 | 4);
    EXPECT_EQ(drawing().get(c)->integer(62), -2);

    out = run("(command \"layer\" \"thaw\" \"MISSING\" \"\")\n");
    EXPECT_NE(out.find("No layer matches \"MISSING\""), std::string::npos) << out;

    // With CMDECHO on (the default) the command line shows the command and its answers.
    out = run("(p_layer \"LOT_NO\")\n");
    EXPECT_NE(out.find("\nCommand: Layer thaw LOT_NO unlock LOT_NO on LOT_NO \n"), std::string::npos) << out;
    out = run("(setvar \"CMDECHO\" 0)\n(p_layer \"LOT_NO\")\n");
    EXPECT_EQ(out.find("Command: Layer"), std::string::npos) << out;
}

TEST_F(SessionTest, TranscriptRewritesProgressLinesAndRecordsAlerts)
{
    std::string out = run("(p_print)\n");
    EXPECT_NE(out.find("Command: (p_print)\nProcessing 3 of 3 objects\n" + std::string(600, 'x') + "|"),
              std::string::npos)
        << out;
    EXPECT_EQ(out.find("Processing 1"), std::string::npos);
    EXPECT_NE(out.find("\n** Alert: File not found.\n"), std::string::npos) << out;
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    EXPECT_EQ(session().transcript().alerts[0], "File not found.");
}

TEST_F(SessionTest, TopLevelWordsAndPlugins)
{
    std::string out = run("FROB 1\n^C\nDOCUMENTS\nLOAD /no/such/plugin.so\nQUIT\n(+ 1 2)\n");
    EXPECT_NE(out.find("Unknown command \"FROB\""), std::string::npos) << out;
    EXPECT_NE(out.find("*Cancel*"), std::string::npos);
    EXPECT_NE(out.find("* 1 Drawing1.dwg"), std::string::npos);
    EXPECT_NE(out.find("Cannot load the plug-in /no/such/plugin.so"), std::string::npos);
    EXPECT_EQ(out.find("\n3"), std::string::npos) << "QUIT stops the script";
}

// HELP lists every top-level command the parts of the host registered, each
// with what it takes and does; an unknown word points to it.
TEST_F(SessionTest, HelpListsEveryTopLevelCommand)
{
    std::string out = run("HELP\n");
    const auto commands = session().script_command_list();
    EXPECT_GE(commands.size(), 13u);
    for (const auto& command : commands)
        EXPECT_NE(out.find("\n  " + command.name), std::string::npos) << command.name << out;
    // The host's own say what they take and do.
    for (const char* name : {"OPEN", "SAVE", "SAVEAS", "PICTURE", "NEW", "SWITCH", "DOCUMENT", "CLOSE",
                             "DOCUMENTS", "LOAD", "QUIT", "HELP"})
        EXPECT_NE(out.find(std::string("\n  ") + name + " "), std::string::npos) << name;
    EXPECT_NE(run("FROB\n").find("HELP lists the commands"), std::string::npos);
    EXPECT_EQ(session().failures(), 1);
}

TEST_F(SessionTest, DistancesAreNumbersOrPointsFromTheBase)
{
    // 3-4-5 triangle: from (1,1) to (4,5) is 5.
    EXPECT_EQ(last_line(run("(p_dist '(1 1))\n4,5\n")), "5.0");
    EXPECT_EQ(last_line(run("(p_dist '(1 1))\n2.5\n")), "2.5");
    // Without a base the typed point is the first of two.
    std::string out = run("(p_dist)\n1,1\n4,5\n");
    EXPECT_NE(out.find("Second point: 4,5"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "5.0");
    EXPECT_EQ(last_line(run("(p_dist)\n\n")), "\"RTNONE\"");
    out = run("(p_dist '(0 0))\nfar\n7\n");
    EXPECT_NE(out.find("Requires a numeric distance or a point"), std::string::npos) << out;
    EXPECT_EQ(last_line(out), "7.0");
}

TEST_F(SessionTest, FileDialogTakesATypedPath)
{
    struct Case {
        const char* script;
        const char* result;
    } cases[] = {
        {"(p_file \"Trav open\" \"/data/jobs/\" \"trv\" 0)\nlot1.trv\n", "\"/data/jobs/lot1.trv\""},
        {"(p_file \"Trav open\" \"/data/jobs/\" \"trv\" 0)\n/tmp/x.trv\n", "\"/tmp/x.trv\""},
        {"(p_file \"Save travers\" \"/data/jobs/a.trv\" \"trv\" 1)\nnew\n", "\"/data/jobs/new.trv\""},
        {"(p_file \"Open ASCII Data\" \"\" \"*\" 2)\npoints\n", "\"points\""},
        {"(p_file \"Trav open\" \"\" \"trv\" 0)\n\n", "\"RTERROR\""},
        {"(p_file \"Trav open\" \"\" \"trv\" 0)\n^C\n", "\"RTCAN\""},
    };
    for (const Case& c : cases) EXPECT_EQ(last_line(run(c.script)), c.result) << c.script;
}

TEST_F(SessionTest, TemporaryVectorsLastUntilAWholeRedraw)
{
    run("(p_draw)\n");
    ASSERT_EQ(session().current().temp_vectors.size(), 2u);
    EXPECT_EQ(session().current().temp_vectors[1].colour, 5);
    run("(p_redraw)\n");
    EXPECT_TRUE(session().current().temp_vectors.empty());
    run("(p_draw)\n(command \"_redrawall\")\n");
    EXPECT_TRUE(session().current().temp_vectors.empty());
}

TEST_F(SessionTest, HostLispFunctionsAndCommandListsFailLoudlyWhenUnknown)
{
    resbuf* args = acutBuildList(RTSTR, "nosuchfn", 0);
    resbuf* result = nullptr;
    EXPECT_EQ(acedInvoke(args, &result), RTERROR);
    EXPECT_EQ(result, nullptr);
    acutRelRb(args);
    host::register_lisp_function("twice", [](const resbuf* a, resbuf** r) {
        *r = acutNewRb(RTREAL);
        (*r)->resval.rreal = 2 * a->resval.rreal;
        return RTNORM;
    });
    args = acutBuildList(RTSTR, "TWICE", RTREAL, 1.25, 0);
    ASSERT_EQ(acedInvoke(args, &result), RTNORM);
    EXPECT_EQ(result->resval.rreal, 2.5);
    acutRelRb(args);
    acutRelRb(result);

    // LISP reaches the same functions, and the host's own builtins.
    EXPECT_EQ(last_line(run("(twice 4.0)\n")), "8.0");
    host::register_lisp_builtin("probe_len", [](std::vector<host::LispValue>& a) {
        if (a.size() != 1 || a[0].kind != host::LispValue::Str) throw std::runtime_error("bad argument");
        host::LispValue v;
        v.kind = host::LispValue::Int;
        v.integer = static_cast<long>(a[0].text.size());
        return v;
    });
    EXPECT_EQ(last_line(run("(probe_len \"abcd\")\n")), "4");
    EXPECT_EQ(last_line(run("(probe_len 1)\n")), "; error: bad argument");

    // acedCmd passes every value to the command as text.
    host::CommandArgs seen;
    session().register_command("probecmd", [&](host::CommandArgs& a) {
        seen = a;
        return RTNORM;
    });
    ads_point p = {1.5, -2, 0.25};
    ads_name e = {42, 0};
    args = acutBuildList(RTSTR, "_probecmd", RT3DPOINT, p, RTREAL, 0.1, RTSHORT, 3, RTENAME, e, RTSTR, "", 0);
    EXPECT_EQ(acedCmd(args), RTNORM);
    acutRelRb(args);
    EXPECT_EQ(seen, (host::CommandArgs{"1.5,-2,0.25", "0.1", "3", "@ename:42", ""}));
    EXPECT_EQ(acedCommand(RTSTR, "PROBECMD", RTPOINT, p, RTNONE), RTNORM);
    EXPECT_EQ(seen, (host::CommandArgs{"1.5,-2"}));
}

// A part of the host that adds a script command to every session.
const bool probe_setup_added = host::add_session_setup([](host::Session& session) {
    session.register_script_command("ECHOARG", [&session](const std::string& argument) {
        session.print("\nargument <" + argument + ">");
    });
});

TEST_F(SessionTest, PartsOfTheHostAddTheirCommandsToEverySession)
{
    EXPECT_TRUE(probe_setup_added);
    EXPECT_NE(run("echoarg  a b  \n").find("\nargument <a b>"), std::string::npos);
}

TEST(SessionPlainTest, PointTextsAndKeywordMatching)
{
    host::Point3 p;
    EXPECT_TRUE(host::parse_point_text("1.5,-2", p));
    EXPECT_EQ(p, (host::Point3{1.5, -2, 0}));
    EXPECT_TRUE(host::parse_point_text(" 1 , 2 , 3e1 ", p));
    EXPECT_EQ(p, (host::Point3{1, 2, 30}));
    for (const char* bad : {"abc", "1", "1,2,3,4", "1,,2", "1,x"})
        EXPECT_FALSE(host::parse_point_text(bad, p)) << bad;
    EXPECT_EQ(host::match_keyword("cl", "C CL"), "CL");
    EXPECT_EQ(host::match_keyword("n", "Yes No"), "No");
    EXPECT_FALSE(host::match_keyword("cl", "C"));
    EXPECT_FALSE(host::match_keyword("", "C"));
}

}  // namespace

namespace {

class SessionEntityTest : public HostFixture {};

TEST_F(SessionEntityTest, EntlastAndEntgetShowTheDrawingsLastEntity)
{
    host::Entity line;
    line.type = "LINE";
    line.groups = {host::Group::of_text(8, "LOT"), host::Group::of_point(10, {1, 2, 0}),
                   host::Group::of_point(11, {4, 6, 0})};
    long id = drawing().add_entity(line).id;
    char name[64];
    std::snprintf(name, sizeof name, "<Entity name: %lx>", id);
    std::string out = run("(setq e (entlast))\n(entget e)\n");
    EXPECT_NE(out.find(std::string("\n") + name + "\n"), std::string::npos) << out;
    EXPECT_NE(out.find("(0 . \"LINE\")"), std::string::npos) << out;
    EXPECT_NE(out.find("(8 . \"LOT\")"), std::string::npos) << out;
    EXPECT_NE(out.find("(10 1.0 2.0 0.0) (11 4.0 6.0 0.0)"), std::string::npos) << out;
    // The groups are pairs for car and cdr, as a LISP user takes them apart.
    EXPECT_NE(run("(cdr (assoc 8 (entget e)))\n").find("\n\"LOT\""), std::string::npos);
    EXPECT_NE(run("(cdr (assoc 11 (entget e)))\n").find("\n(4.0 6.0 0.0)"), std::string::npos);
}

TEST_F(SessionEntityTest, RedrawModesThreeAndFourHighlightAnEntity)
{
    host::Entity point;
    point.type = "POINT";
    point.groups = {host::Group::of_point(10, {0, 0, 0})};
    ads_name name = {drawing().add_entity(point).id, 0};
    EXPECT_EQ(acedRedraw(name, 3), RTNORM);
    EXPECT_EQ(acedRedraw(name, 3), RTNORM);
    EXPECT_EQ(session().current().highlighted, (std::vector<long>{name[0]}));
    EXPECT_EQ(acedRedraw(name, 4), RTNORM);
    EXPECT_TRUE(session().current().highlighted.empty());
    ads_name missing = {name[0] + 1000, 0};
    EXPECT_EQ(acedRedraw(missing, 3), RTERROR);
}

}  // namespace
