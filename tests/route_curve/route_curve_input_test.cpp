// Bad input at the route-curve dialog and prompts, curves that cannot be
// built, the table position OK asks for, the first chords asked on the
// command line, and the settings kept in the drawing.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "db/drawing.h"
#include "drawing_queries.h"
#include "folders_registry.h"
#include "route_curve_fixture.h"

namespace curve_test {
namespace {

const curve_input kHand{1000, 1000, 180, 30, 300, 60, 60, 1000, 20, 20};

// Each text of `expected` found in the transcript, in this order.
void expect_in_order(const std::string& transcript, const std::vector<std::string>& expected)
{
    size_t from = 0;
    for (const std::string& text : expected) {
        const size_t at = transcript.find(text, from);
        EXPECT_NE(at, std::string::npos) << "missing (in order): " << text << "\n" << transcript;
        if (at != std::string::npos) from = at + text.size();
    }
}

size_t model_count(host::Drawing& d)
{
    size_t n = 0;
    for (long id : d.model)
        if (const host::Entity* e = d.get(id); e && !e->erased) ++n;
    return n;
}

TEST_F(RouteCurve, TheDialogRefusesBadValuesAndSaysWhy)
{
    const size_t before = model_count(drawing());
    const std::string out =
        run("TCURVE\n"
            "set t_radius_of_circular_curve 300\n"
            "set t_radius_of_circular_curve abc\nshow\n"
            "set t_radius_of_circular_curve 0\nshow\n"
            "set t_radius_of_circular_curve -5\nshow\n"
            "set t_length_of_trans_curve1 -3\nshow\n"
            "set t_rc_interval 0\nshow\n"
            "set t_scale -1000\nshow\n"
            "set t_tcch 12a\nshow\n"
            "set t_ipname A,B\nshow\n"
            "set t_layer bad name\nshow\n"
            "pick cal_curve_btn\n"
            "ok\n" +
            pick_ip(1000, 1000, 180, 30) + "pick cal_curve_btn\npick view_btn\ncancel\n");
    const std::string radius =
        "t_radius_of_circular_curve: edit_box, label \"Radius of circular curve :\", value ";
    const std::string error = "error: text, value ";
    expect_in_order(
        out, {radius + "\"300.0000\"", error + "\"\"abc\" is no number. The value must be more than 0.\"",
              radius + "\"300.0000\"", error + "\"The value must be more than 0.\"", radius + "\"300.0000\"",
              error + "\"The value must be more than 0.\"",
              "t_length_of_trans_curve1: edit_box, label \"Length of transition curve :\", value "
              "\"0.0000\"",
              error + "\"The value cannot be less than 0.\"",
              "t_rc_interval: edit_box, label \"Interval circular curve :\", value \"0.0000\"",
              error + "\"The value must be more than 0.\"",
              "t_scale: edit_box, label \"Plot scale 1: \", value \"1000.0000\"",
              error + "\"The value must be more than 0.\"",
              "t_tcch: edit_box, label \"Chainage T1 :\", value \"0.0000\"",
              error + "\"\"12a\" is no number. The value is kept.\"",
              "t_ipname: edit_box, label \"IP name :\", value \"IP1\"",
              error + "\"An IP name must not be empty and cannot hold a comma.\"",
              "** Alert: Invalid characters in layer name.",
              "t_layer: edit_box, label \"Layer :\", value \"Transition_curve\"",
              // Nothing to calculate before the IP is picked, no OK before a calculation.
              "Tile \"cal_curve_btn\" is disabled; the action is refused.",
              "The OK button is disabled; the action is refused.",
              // With the intervals still 0.
              "** Alert: Forgot Interval", "** Alert: Forgot Interval"});
    EXPECT_EQ(out.find("nan"), std::string::npos);
    EXPECT_EQ(model_count(drawing()), before);
    EXPECT_EQ(queries::stored_setting(drawing(), "TCURVE"), "Transition_curve");
    EXPECT_EQ(drawing().find_record("LAYER", "Transition_curve"), 0);
}

TEST_F(RouteCurve, CurvesThatCannotBeBuiltAreRefused)
{
    const size_t before = model_count(drawing());
    auto attempt = [&](double out_bearing, double R, double L) {
        const curve_input c{1000, 1000, 180, out_bearing, R, L, L, 0, 10, 10};
        return run("TCURVE\n" + pick_ip(1000, 1000, 180, out_bearing) + type_values(c) +
                   "pick cal_curve_btn\npick view_btn\nok\ncancel\n");
    };
    // The transitions turn 2 x 28.65 degrees where the straights turn 30:
    // no degree of curve left for the circle.
    std::string out = attempt(30, 100, 100);
    expect_in_order(out,
                    {"** Alert: The transitions turn 57.2958 degrees together and the deflection at the IP "
                     "is only 30.0000 degrees: the degree of the circular curve would be -27.2958.",
                     "** Alert: The transitions turn 57.2958", "The OK button is disabled"});
    // Exactly no circle: refused too.
    out = attempt(2 * 60.0 / 600.0 * 180 / M_PI, 300, 60);
    expect_in_order(out, {"the degree of the circular curve would be 0.0000"});
    // Straights that do not turn, or turn back on themselves.
    out = attempt(0, 300, 60);
    expect_in_order(out,
                    {"** Alert: The two straights do not turn at the IP: there is no curve to set out."});
    out = attempt(180, 300, 60);
    expect_in_order(out,
                    {"** Alert: The outgoing straight turns back along the incoming one: no curve fits."});
    // Picks on the IP itself.
    out = run("TCURVE\npick pickip_btn\n5,5\n5,5\n6,6\nshow\ncancel\n");
    expect_in_order(out,
                    {"The incoming and outgoing points must lie away from the IP; the picks are not taken.",
                     "cal_curve_btn: button, label \"Calculate\", disabled"});
    EXPECT_EQ(out.find("nan"), std::string::npos);
    EXPECT_EQ(model_count(drawing()), before);
}

TEST_F(RouteCurve, OkWantsATablePositionForEachNewIp)
{
    // A look first: the straights to T1 and T4 and the 14 stations as
    // temporary lines.
    run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) + type_values(kHand) + "pick view_btn\ncancel\n");
    EXPECT_EQ(session().current().temp_vectors.size(), 2u + 13u);
    EXPECT_EQ(session().current().drawing.model.size(), 0u);
    const std::string first = run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) + type_values(kHand) +
                                  "pick cal_curve_btn\nok\npick picktbl_btn\n1100,1000\nok\n");
    expect_in_order(first, {"** Alert: \nForgot pick table", "Pick Table Location :1100,1000",
                            "t_ipname IP1 prev_t_ipname IP1 table_picked 1"});
    // A new IP name with the table where the last one went: refused until a
    // position is picked.
    const std::string second =
        run("TCURVE\n" + pick_ip(2000, 1000, 180, 30) +
            "pick cal_curve_btn\nset t_ipname IP2\nok\npick picktbl_btn\n2100,1000\nok\n");
    expect_in_order(second, {"t_ipname IP2 prev_t_ipname IP1 table_picked 0",
                             "** Alert: Table Location = prev IP \nPick ather Location",
                             "t_ipname IP2 prev_t_ipname IP1 table_picked 1"});
    const dxf_rec d = saved("two.dxf");
    ASSERT_EQ(d.polylines.size(), 2u);
    EXPECT_NE(d.polylines[0].data.find(",IP1"), std::string::npos);
    EXPECT_NE(d.polylines[1].data.find(",IP2"), std::string::npos);
}

TEST_F(RouteCurve, FirstChordsAreAskedOnTheCommandLine)
{
    const std::string out = run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) + type_values(kHand) +
                                "pick start_coord_tg\npick cal_curve_btn\npick picktbl_btn\n1100,1000\nok\n"
                                // First transition: 15 after a word, a negative, a zero and a
                                // chord longer than the transition.
                                "abc\n-3\n0\n75\n15\nA\n"
                                // Second transition: to chainage 1190, after one outside it.
                                "C\n1300\n1190\n\n"
                                // Circle: as found.
                                "A\n");
    expect_in_order(out,
                    {"First Transition Curve T1 CH : 1000.000 Sela 20.000 Current CH: 1020.000",
                     "<A>ccept Enter  <C>hainage <Chord><20.000>:", "A chord must be more than 0.",
                     "A chord must be more than 0.", "A chord must be shorter than the part, 60.000.",
                     "First Transition Curve T1 CH : 1000.000 Sela 20.000 Current CH: 1015.000",
                     "Second Transition Curve T4 CH : 1217.047 Sela 20.000 Current CH: 1200.000",
                     "Enter  <Chainage ><1200.000>:", "The chainage must lie between 1157.047 and 1217.047.",
                     "2nd Trans. Curve (REVERSE CH) T4 CH : 1217.047 Sela 20.000 Current CH: 1190.000",
                     "Circular Transition Curve T2 CH : 1060.000 Sela 20.000 Current CH: 1080.000"});
    const std::vector<row_rec> rows = table_rows(saved("asked.dxf"), "Transition_curve");
    std::vector<double> chainages;
    for (const row_rec& r : rows) chainages.push_back(r.chainage);
    const std::vector<double> expected{1000,     1015, 1035, 1055,     1060,     1060, 1080, 1100,
                                       1108.523, 1120, 1140, 1157.047, 1157.047, 1170, 1190, 1217.047};
    EXPECT_EQ(chainages, expected);
}

TEST_F(RouteCurve, SettingsAreKeptInTheDrawing)
{
    run("TCURVE\n" + pick_ip(1000, 1000, 180, 30) + type_values(kHand) +
        "set t_layer ROAD_A\nset t_scale 500\nset t_txth 2\nset t_width 0.8\nset t_rot 75\nset t_ipname IP9\n"
        "set t_min_chord 3\nset t_rc_interval 10\npick lies_tg\npick print_tg\n"
        "pick cal_curve_btn\npick picktbl_btn\n1100,1000\nok\n");
    EXPECT_EQ(queries::stored_setting(drawing(), "TCURVE"), "ROAD_A");
    const std::string path = file("kept.dxf");
    run("SAVEAS " + path + "\n");
    std::string texts;
    outside::expect_ezdxf_reads(path, {"Orvik_survey_temp:TCURVE", "ROAD_A:TCURVE"}, &texts);
    EXPECT_NE(
        texts.find("ROAD_A TCURVE 500.000,75.000000,2.000,0.800,1100.000,1000.000,IP9,1000.000,60.000,0,"
                   "60.000,300.000,3.000,20.000,10.000,0,0,1,"),
        std::string::npos)
        << texts;
    // Drawn on the curve layer at the stored sizes.
    const dxf_rec d = read_dxf(path);
    ASSERT_EQ(d.polylines.size(), 1u);
    EXPECT_EQ(d.polylines[0].layer, "ROAD_A");
    for (const text_rec& t : d.texts) {
        EXPECT_EQ(t.layer, "ROAD_A");
        EXPECT_NEAR(t.height, 1.0, 1e-12);
        EXPECT_NEAR(t.width, 0.8, 1e-12);
    }
    // Values end 3 units at 1:1000 before their column's end: at 1:500 with
    // text height 2 and width 0.8 (u = 0.8) the row name T1 ends
    // 5u - 1.5 = 2.5 along the line from the head "NO".
    const text_rec *head = nullptr, *name = nullptr;
    for (const text_rec& t : d.texts) {
        if (!head && t.text == "NO") head = &t;
        if (!name && t.text == "T1" && t.halign == 2) name = &t;
    }
    ASSERT_TRUE(head && name);
    const double along =
        (name->ax - head->ix) * std::sin(75 * M_PI / 180) + (name->ay - head->iy) * std::cos(75 * M_PI / 180);
    EXPECT_NEAR(along, 2.5, 1e-6);
    // The drawing opened again brings them back.
    const std::string shown = run("OPEN " + path + "\nTCURVE\nshow\ncancel\n");
    expect_in_order(shown, {"t_ipname: edit_box, label \"IP name :\", value \"IP9\"",
                            "t_min_chord: edit_box, label \"Shortest chord :\", value \"3.0000\"",
                            "lies_tg: toggle, label \"Circular length from the deflection\", value \"1\"",
                            "print_tg: toggle, label \"Print\", value \"0\"",
                            "t_layer: edit_box, label \"Layer :\", value \"ROAD_A\"",
                            "t_scale: edit_box, label \"Plot scale 1: \", value \"500.0000\"",
                            "t_rot: edit_box, label \"Rotation :\", value \"75.0000\"",
                            "t_x: edit_box, label \"Table X :\", value \"1100.0000\""});
    // A stored list with fields that are no numbers keeps their defaults and names them.
    tcurve_work_rec w;
    std::vector<int> bad;
    tcurve_settings_parse("500.000,x,2.000,0.800,1,2,IP3,0.000,-4,0,60.000,300.000,3.000,20.000,,1,1,0,", w,
                          bad);
    EXPECT_EQ(bad, (std::vector<int>{2, 15}));
    EXPECT_EQ(w.rotation, 90.0);
    EXPECT_EQ(w.L1, 0.0);
    EXPECT_EQ(w.ip_name, "IP3");
    EXPECT_EQ(w.ask_chords, 1);
}

TEST_F(RouteCurve, AMissingDialogFileIsSaid)
{
    // An installation folder without the dialog files.
    const app_folder_rec kept = app_folders;
    app_folders.install_folder = home();
    app_folders.loaded = 1;
    const size_t before = model_count(drawing());
    const std::string out = run("TCURVE\n");
    app_folders = kept;
    EXPECT_NE(out.find("\n Error Loading " + home() + "/dcl/Transition_curve_Dlg.dcl"), std::string::npos)
        << out;
    EXPECT_EQ(model_count(drawing()), before);
}

}  // namespace
}  // namespace curve_test
