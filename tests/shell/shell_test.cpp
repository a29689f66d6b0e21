// The two plug-ins as the host sees them: loaded into drawings, their LISP
// functions defined per drawing, and called from a script as a user types them.
#include <string>

#include "ads.h"
#include "host_fixture.h"

namespace {

class Shell : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
        ASSERT_TRUE(load_brenvel());
    }

    // The value one expression gives, as LISP prints it.
    std::string eval(const std::string& expression)
    {
        auto value = session().eval(expression);
        return value ? value->printed() : "error";
    }
    // The last line a script shows: the value of its last expression.
    std::string last_value(const std::string& script)
    {
        const std::string shown = run(script);
        return shown.substr(shown.rfind('\n') + 1);
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
const char* const kBrenvelFunctions[3] = {"c_kong_kong", "c_upoint", "c_strat"};

void expect_all_defined(const host::Document& document)
{
    EXPECT_EQ(document.functions.size(), 55u);
    for (int i = 0; i < 52; ++i) {
        auto found = document.functions.find(kKestromFunctions[i]);
        ASSERT_NE(found, document.functions.end()) << kKestromFunctions[i];
        EXPECT_EQ(found->second.code, i) << kKestromFunctions[i];
    }
    for (int i = 0; i < 3; ++i) {
        auto found = document.functions.find(kBrenvelFunctions[i]);
        ASSERT_NE(found, document.functions.end()) << kBrenvelFunctions[i];
        EXPECT_EQ(found->second.code, i) << kBrenvelFunctions[i];
    }
}

TEST_F(Shell, ScriptedSessionShowsTheFieldsAndTheRefusals)
{
    const std::string shown =
        run("(c_strat \"12.5,7,A\" 2 \",\")\n"
            "(c_strat \"12.5,7,A\" 5 \",\")\n"
            "(b_make_circle_point 1.5)\n"
            "(b_text_find)\n"
            "(b_grid_label)\n"
            "(b_bgd_split_bgd)\n");
    EXPECT_EQ(shown,
              "\nCommand: (c_strat \"12.5,7,A\" 2 \",\")\n\"7\""
              "\nCommand: (c_strat \"12.5,7,A\" 5 \",\")\n\"A\""
              "\nCommand: (b_make_circle_point 1.5)\nUnknown return code from ads_getreal \nnil"
              "\nCommand: (b_text_find)\nnil"
              "\nCommand: (b_grid_label)\nnil"
              "\nCommand: (b_bgd_split_bgd)\nnil");
}

TEST_F(Shell, EveryDrawingGetsTheFunctionsAndClosingOneRemovesThemThereOnly)
{
    expect_all_defined(*session().documents()[0]);
    const std::string shown = run("new\n(c_strat \"x;y\" 2 \";\")\n");
    EXPECT_NE(shown.find("\"y\""), std::string::npos);
    ASSERT_EQ(session().documents().size(), 2u);
    expect_all_defined(*session().documents()[1]);

    run("close\n");
    ASSERT_EQ(session().documents().size(), 1u);
    expect_all_defined(*session().documents()[0]);
    EXPECT_EQ(eval("(c_strat \"a;b\" 1 \";\")"), "\"a\"");

    // Closing a drawing that is not the current one leaves the current one's
    // functions alone.
    run("new\nclose 1\n");
    ASSERT_EQ(session().documents().size(), 1u);
    EXPECT_EQ(session().current().drawing.name, "Drawing3.dwg");
    expect_all_defined(session().current());
    EXPECT_EQ(last_value("(c_strat \"a;b\" 2 \";\")\n"), "\"b\"");
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
        // Texts far beyond the old 254-character buffers are split whole.
        {"(c_strat \"" + long_field + ",tail\" 1 \",\")", "\"" + long_field + "\""},
        {"(c_strat \"head," + long_field + "\" 2 \",\")", "\"" + long_field + "\""},
    };
    for (const auto& c : cases) {
        session().transcript().clear();
        EXPECT_EQ(eval(c.expression), c.value) << c.expression;
        EXPECT_EQ(session().transcript().text(), "") << c.expression;
    }
}

TEST_F(Shell, CStratErrorCases)
{
    const struct {
        const char* expression;
        bool message;
    } cases[] = {
        {"(c_strat \"12.5,7,A\" 5.0 \",\")", true},  // the number given as a real
        {"(c_strat \"12.5,7,A\" 2)", false},         // no delimiters: no result
        {"(c_strat 2 \"x\" \",\")", false},          // delimiters but no text to split
        {"(c_strat)", false},
    };
    for (const auto& c : cases) {
        session().transcript().clear();
        EXPECT_EQ(eval(c.expression), "nil") << c.expression;
        EXPECT_EQ(session().transcript().text().find("Unknown return code from ads_getreal \n") !=
                      std::string::npos,
                  c.message)
            << c.expression;
    }
    EXPECT_EQ(eval("(c_upoint 1 \"a\" 2.5)"), "nil");
    EXPECT_EQ(eval("(c_kong_kong)"), "nil");
}

TEST_F(Shell, WrappersWithArguments)
{
    session().transcript().clear();
    EXPECT_EQ(eval("(b_make_circle_point)"), "nil");
    EXPECT_EQ(eval("(b_make_circle_point \"1\")"), "nil");
    EXPECT_EQ(session().transcript().text(), "Unknown return code from ads_getreal \n");
    // The label commands run only with a string; with none or a number, nil.
    for (const char* expression : {"(b_selbgd)", "(b_selbgd 5)", "(b_pickbgd)", "(b_pickbgd 5)"})
        EXPECT_EQ(eval(expression), "nil") << expression;
}

TEST_F(Shell, StubsDoNothingButTheAlertTools)
{
    for (const char* name : {"b_text_find", "b_grid_label", "b_bgd_split_bgd"}) {
        const size_t entities = drawing().store.size();
        session().transcript().clear();
        EXPECT_EQ(eval(std::string("(") + name + ")"), "nil") << name;
        EXPECT_EQ(session().transcript().text(), "") << name;
        EXPECT_TRUE(session().transcript().alerts.empty()) << name;
        EXPECT_EQ(drawing().store.size(), entities) << name;
    }
    // The three unavailable tools show one alert each, with the same text.
    for (const char* name : {"b_pnt_online_right_angle", "b_pnt_online", "b_pnt_tepat"}) {
        session().transcript().alerts.clear();
        EXPECT_EQ(eval(std::string("(") + name + ")"), "nil") << name;
        ASSERT_EQ(session().transcript().alerts.size(), 1u) << name;
        EXPECT_EQ(session().transcript().alerts[0], "Unavailable") << name;
    }
}

TEST_F(Shell, SelCuttingLeavesCmdechoAsItWas)
{
    for (short before : {1, 0}) {
        set_cmdecho(before);
        // Its first dialog cancelled, the command ends at once.
        const std::string shown = run("(b_sel_cutting)\ncancel\n");
        EXPECT_NE(shown.find("For setting Type command: (setcut) Unload : pku"), std::string::npos);
        EXPECT_NE(shown.find("nil"), std::string::npos);
        EXPECT_EQ(cmdecho(), before);
    }
}

}  // namespace
