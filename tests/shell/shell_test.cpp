// The two plug-ins as the host sees them: loaded into drawings, their LISP
// functions defined per drawing, called from LISP as a user would type them.
#include <gtest/gtest.h>

#include <string>

#include "ads.h"
#include "session.h"

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override
    {
        session.transcript().echo_to_stdout = false;
        session.new_document();
        ASSERT_TRUE(session.load_plugin(ORVIK_PLUGIN_DIR "/Kestrom.so"));
        ASSERT_TRUE(session.load_plugin(ORVIK_PLUGIN_DIR "/Brenvel.so"));
        session.set_input(host::script_input(""));
    }

    // Evaluates one expression; the value as LISP prints it, "error" on failure.
    std::string eval(const std::string& expression)
    {
        auto value = session.eval(expression);
        return value ? value->printed() : "error";
    }
    std::string transcript_after(const std::string& expression)
    {
        session.transcript().clear();
        last_value = eval(expression);
        return session.transcript().text();
    }
    int cmdecho()
    {
        resbuf value{};
        EXPECT_EQ(acedGetVar("CMDECHO", &value), RTNORM);
        return value.resval.rint;
    }
    void set_cmdecho(short v)
    {
        resbuf value{};
        value.restype = RTSHORT;
        value.resval.rint = v;
        acedSetVar("CMDECHO", &value);
    }

    host::Session session;
    std::string last_value;
};

// The LISP table in its fixed order: the index of each name is its function code.
const char* const kKestromFunctions[52] = {
    "b_treed_poly",
    "b_dtm_main",
    "b_ptpxsection",
    "b_xsection",
    "b_ddedit_text",
    "b_rotext_reverse",
    "b_rotext_byline",
    "b_text_util",
    "b_rotext",
    "b_text_find",
    "b_pnt_online_right_angle",
    "b_pnt_right_angle",
    "b_pnt_online",
    "b_pnt_tepat",
    "b_line_tepat",
    "b_rad_print_listing",
    "b_rad_create_pnt",
    "b_lot_number",
    "b_put_area",
    "b_convert_area",
    "b_triangle_div",
    "b_sub_div",
    "b_find_area",
    "b_moffset",
    "b_pile_auto",
    "b_piling_pick",
    "b_number_util",
    "b_autodist",
    "b_selbgd",
    "b_pickbgd",
    "b_ltrav",
    "b_trav",
    "b_inputbgd",
    "b_make_circle_point",
    "b_treed_point",
    "b_label_input_point",
    "b_input_point",
    "b_util_plan_prop",
    "b_bscale",
    "b_label_coord",
    "b_gd",
    "b_grid_auto_label",
    "b_grid_label",
    "b_block_grid",
    "b_bgd_combine_bgd",
    "b_bgd_spc",
    "b_bgd_split_bgd",
    "b_bgd_reverse_bg",
    "b_sel_cutting",
    "b_pick_cutting",
    "b_import_xyz",
    "b_tarnic",
};

void expect_all_defined(const host::Document& document)
{
    for (int i = 0; i < 52; ++i) {
        auto found = document.functions.find(kKestromFunctions[i]);
        ASSERT_NE(found, document.functions.end()) << kKestromFunctions[i];
        EXPECT_EQ(found->second.code, i) << kKestromFunctions[i];
    }
    const char* const companion[3] = {"c_kong_kong", "c_upoint", "c_strat"};
    for (int i = 0; i < 3; ++i) {
        auto found = document.functions.find(companion[i]);
        ASSERT_NE(found, document.functions.end()) << companion[i];
        EXPECT_EQ(found->second.code, i) << companion[i];
    }
}

TEST_F(Shell, EveryDrawingGetsTheFunctionsAndClosingOneRemovesThemThereOnly)
{
    expect_all_defined(*session.documents()[0]);
    EXPECT_EQ(session.documents()[0]->functions.size(), 55u);

    session.new_document();
    ASSERT_EQ(session.documents().size(), 2u);
    expect_all_defined(*session.documents()[1]);
    EXPECT_EQ(eval("(c_strat \"a;b\" 2 \";\")"), "\"b\"");

    session.close_document(1);
    ASSERT_EQ(session.documents().size(), 1u);
    expect_all_defined(*session.documents()[0]);
    EXPECT_EQ(eval("(c_strat \"a;b\" 1 \";\")"), "\"a\"");
}

TEST_F(Shell, CStratReturnsTheField)
{
    const std::string long_field(300, 'x');
    const struct {
        std::string expression;
        std::string value;
    } cases[] = {
        {"(c_strat \"12.5,7,A\" 2 \",\")", "\"7\""},
        {"(c_strat \"12.5,7,A\" 1 \",\")", "\"12.5\""},
        {"(c_strat \"12.5,7,A\" 5 \",\")", "\"A\""},  // past the last field
        {"(c_strat \"12.5,7,A\" 0 \",\")", "\"A\""},
        {"(c_strat \"no delimiter\" 3 \",\")", "\"no delimiter\""},
        {"(c_strat \"a,b\" 2 \",,\")", "\"a,b\""},  // two-character delimiters never match
        {"(c_strat \"1.000,2.000,,\" 3 \",\")", "\"\""},
        {"(c_strat \"" + long_field + ",tail\" 1 \",\")", "\"" + long_field + "\""},
        {"(c_strat \"head," + long_field + "\" 2 \",\")", "\"" + long_field + "\""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(transcript_after(c.expression), "") << c.expression;
        EXPECT_EQ(last_value, c.value) << c.expression;
    }
}

TEST_F(Shell, CStratErrorCases)
{
    // The field number given as a real: the message, and nil.
    EXPECT_NE(
        transcript_after("(c_strat \"12.5,7,A\" 5.0 \",\")").find("Unknown return code from ads_getreal \n"),
        std::string::npos);
    EXPECT_EQ(last_value, "nil");
    // Only a text and a number: nil without a message.
    EXPECT_EQ(transcript_after("(c_strat \"12.5,7,A\" 2)"), "");
    EXPECT_EQ(last_value, "nil");
    // Delimiters at position 2 with no text before them: nothing to split, nil.
    EXPECT_EQ(transcript_after("(c_strat 2 \"x\" \",\")"), "");
    EXPECT_EQ(last_value, "nil");
    EXPECT_EQ(eval("(c_upoint 1 \"a\" 2.5)"), "nil");
    EXPECT_EQ(eval("(c_kong_kong)"), "nil");
}

TEST_F(Shell, MakeCirclePointRefusesAWrongArgumentType)
{
    EXPECT_NE(transcript_after("(b_make_circle_point 1.5)").find("Unknown return code from ads_getreal \n"),
              std::string::npos);
    EXPECT_EQ(last_value, "nil");
    EXPECT_EQ(transcript_after("(b_make_circle_point)"), "");
    EXPECT_EQ(last_value, "nil");
}

TEST_F(Shell, StubsReturnNilAndDoNothingElse)
{
    for (const char* name : {"b_text_find", "b_grid_label", "b_bgd_split_bgd"}) {
        const size_t entities = session.current().drawing.store.size();
        EXPECT_EQ(transcript_after(std::string("(") + name + ")"), "") << name;
        EXPECT_EQ(last_value, "nil") << name;
        EXPECT_TRUE(session.transcript().alerts.empty()) << name;
        EXPECT_EQ(session.current().drawing.store.size(), entities) << name;
    }
    // The three unavailable tools show one alert each, with the same text.
    for (const char* name : {"b_pnt_online_right_angle", "b_pnt_online", "b_pnt_tepat"}) {
        session.transcript().alerts.clear();
        EXPECT_EQ(eval(std::string("(") + name + ")"), "nil") << name;
        ASSERT_EQ(session.transcript().alerts.size(), 1u) << name;
        EXPECT_EQ(session.transcript().alerts[0], "Unavailable") << name;
    }
    // The label commands run only with a string; with none or a number, nil.
    EXPECT_EQ(eval("(b_selbgd)"), "nil");
    EXPECT_EQ(eval("(b_selbgd 5)"), "nil");
    EXPECT_EQ(eval("(b_pickbgd 5)"), "nil");
}

TEST_F(Shell, SelCuttingLeavesCmdechoAsItWas)
{
    for (short before : {1, 0}) {
        set_cmdecho(before);
        const std::string shown = transcript_after("(b_sel_cutting)");
        EXPECT_NE(shown.find("For setting Type command: (setcut) Unload : pku"), std::string::npos);
        EXPECT_EQ(last_value, "nil");
        EXPECT_EQ(cmdecho(), before);
    }
}

}  // namespace
