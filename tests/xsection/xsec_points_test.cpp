// b_ptpxsection through the host: sections picked along a curved centre line
// and checked against ezdxf and shapely, the file's exact lines for sections
// worked by hand, the settings dialog and every prompt's bad answers.
//
// The curved centre line (layer "CL"): from A (1000,2000) east 40 m to B
// (1040,2000); an arc turning left (bulge tan 15 deg) of radius 60 through
// 60 deg to D (1040 + 60 sin 60, 2060 - 60 cos 60) = (1091.962, 2030); then
// 30 m on at 60 deg from east to E. Its length is 40 + 20 pi + 30 = 132.832.
#include <cmath>
#include <cstdio>
#include <regex>
#include <sstream>

#include "outside_readers.h"
#include "small_disk.h"
#include "xsec_fixture.h"

namespace {

constexpr double kRadius = 60.0;
const double kArc = kRadius * M_PI / 3;

struct station {
    double x, y, tx, ty;  // the point at a chainage and the unit tangent there
};

station centre_at(double s)
{
    if (s <= 40) return {1000 + s, 2000, 1, 0};
    if (s <= 40 + kArc) {
        const double phi = (s - 40) / kRadius;
        return {1040 + kRadius * std::sin(phi), 2060 - kRadius * std::cos(phi), std::cos(phi), std::sin(phi)};
    }
    const double u = s - 40 - kArc;
    const double dx = 1040 + kRadius * std::sin(M_PI / 3), dy = 2060 - kRadius * std::cos(M_PI / 3);
    return {dx + u * std::cos(M_PI / 3), dy + u * std::sin(M_PI / 3), std::cos(M_PI / 3), std::sin(M_PI / 3)};
}

std::string xyz(double x, double y, double z)
{
    char out[100];
    std::snprintf(out, sizeof out, "%.6f,%.6f,%.6f", x, y, z);
    return out;
}
std::string xy(double x, double y)
{
    char out[80];
    std::snprintf(out, sizeof out, "%.6f,%.6f", x, y);
    return out;
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> out;
    std::stringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class XsecPoints : public XsecTest {
protected:
    void make_centre_line()
    {
        ads_point a = {1000, 2000, 0}, b = {1040, 2000, 0};
        ads_point d = {1040 + kRadius * std::sin(M_PI / 3), 2060 - kRadius * std::cos(M_PI / 3), 0};
        ads_point e = {d[0] + 30 * std::cos(M_PI / 3), d[1] + 30 * std::sin(M_PI / 3), 0};
        ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "LWPOLYLINE", 8, "CL", 90, 4, 70, 0, 10, a, 10, b, 42,
                                            std::tan(M_PI / 12), 10, d, 10, e, 0)));
    }
    std::string first_call(const std::string& file, const std::string& more = "")
    {
        return "(b_ptpxsection)\nset t_file " + file + "\n" + more + "ok\n";
    }
};

// Six sections, 25 m apart, along the curve: on each the left pick is 5 m out
// on the left normal, two POINTs lie on the left normal, two on the right and
// one 6 m right and 1.5 m on along the line (its offset is the plan distance
// from the centre point, sqrt(6^2 + 1.5^2) = 6.185, positive). At chainage 50
// a POINT 0.005 from the centre point is selected too, and left out. Python
// then finds each centre point on the curve from the chainage (shapely on the
// arc as ezdxf flattens it), each POINT by its level, and works out the plan
// distance with its side of the curve, in a default drawing and in one set to
// survey angles.
TEST_F(XsecPoints, SectionsAlongACurvedCentreLineMatchAnIndependentComputation)
{
    for (const auto& d : kXsecDrawings) {
        SCOPED_TRACE(d.name);
        run("NEW\n" + std::string(d.setup));
        make_centre_line();
        const double offsets[] = {-7.5, -3.2, 4.1, 9.0};  // along the left normal: negative is left
        std::string sections;
        for (int k = 0; k < 6; ++k) {
            const station c = centre_at(25.0 * k);
            const double nx = -c.ty, ny = c.tx;  // the left normal
            sections += xyz(c.x, c.y, 30.5 + 0.25 * k) + "\n" + xy(c.x + 5 * nx, c.y + 5 * ny) + "\n";
            for (int j = 0; j < 5; ++j) {
                const double z = 30 + 0.25 * k + 0.011 * j;
                double px, py;
                if (j < 4) {
                    px = c.x - offsets[j] * nx;
                    py = c.y - offsets[j] * ny;
                } else {
                    px = c.x - 6 * nx + 1.5 * c.tx;
                    py = c.y - 6 * ny + 1.5 * c.ty;
                }
                ASSERT_TRUE(test_make_point("SURVEY", px, py, z));
                sections += xy(px, py) + "\n";
            }
            if (k == 2) {
                ASSERT_TRUE(test_make_point("SURVEY", c.x + 0.004, c.y + 0.003, 40.0));
                sections += "W\n" + xy(c.x - 0.05, c.y - 0.05) + "\n" + xy(c.x + 0.05, c.y + 0.05) + "\n";
            }
            sections += "\n";
        }
        const std::string file =
            path(std::string("curve_") + (d.setup[0] ? "survey" : "default") + ".dunmar");
        // The settings outlive the drawing: the second run sets its chainage and a new file through "S".
        const std::string start =
            d.setup[0] ? "(b_ptpxsection)\nS\nset t_ch 0\nset t_file " + file + "\nset tg_new 1\nok\n"
                       : first_call(file);
        const std::string out = run(start + sections + "X\n");
        EXPECT_NE(out.find("\n1 POINT(s) within 0.01 of the centre-line point left out"), std::string::npos)
            << out;
        EXPECT_NE(out.find("\nCH: 150.000"), std::string::npos) << out;
        EXPECT_NE(out.find("\nBye.."), std::string::npos);

        const std::string text = read(file);
        const std::vector<std::string> lines = lines_of(text);
        ASSERT_EQ(lines.size(), 36u) << text;
        const std::regex format(R"(^[1-6],\d+\.\d{3},-?\d+\.\d{3},\d+\.\d{3},P$)");
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_TRUE(std::regex_match(lines[i], format)) << lines[i];
            char chainage[32];
            std::snprintf(chainage, sizeof chainage, "%zu,%.3f,", i % 6 + 1, 25.0 * (i / 6));
            EXPECT_EQ(lines[i].rfind(chainage, 0), 0u) << lines[i];
        }
        EXPECT_EQ(lines[12], "1,50.000,0.000,31.000,P");

        const std::string dxf = path("curve.dxf");
        run("SAVEAS " + dxf + "\n");
        const std::string script = R"(
import sys, math, ezdxf
from ezdxf.math import bulge_to_arc
from shapely.geometry import LineString
doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
centre = [e for e in msp.query('LWPOLYLINE') if e.dxf.layer == 'CL'][0]
# The centre line with each bulged leg as its arc, 4000 chords to a leg.
vertices = list(centre.get_points('xyb'))
points = [vertices[0][:2]]
for (x1, y1, b), (x2, y2, _) in zip(vertices, vertices[1:]):
    if b == 0:
        points.append((x2, y2))
        continue
    c, start, end, r = bulge_to_arc((x1, y1), (x2, y2), b)
    if b < 0:
        start, end = end, start
    sweep = (end - start) % (2 * math.pi)
    for i in range(1, 4001):
        a = start + sweep * i / 4000 if b > 0 else end - sweep * i / 4000
        points.append((c.x + r * math.cos(a), c.y + r * math.sin(a)))
line = LineString(points)
by_level = {'%.3f' % e.dxf.location.z: e.dxf.location for e in msp.query('POINT')}
for raw in open(sys.argv[2]):
    seq, chainage, offset, level, code = raw.rstrip('\n').split(',')
    ch = float(chainage)
    c = line.interpolate(ch)
    if seq == '1':
        print('0.0000')
        continue
    p = by_level[level]
    a, b = line.interpolate(max(ch - 0.01, 0)), line.interpolate(ch + 0.01)
    cross = (b.x - a.x) * (p.y - c.y) - (b.y - a.y) * (p.x - c.x)
    d = math.hypot(p.x - c.x, p.y - c.y)
    print('%.4f' % (-d if cross > 0 else d))
)";
        std::string expected;
        ASSERT_EQ(outside::run_ezdxf_script(script, {dxf, file}, expected), 0) << expected;
        const std::vector<std::string> want = lines_of(expected);
        ASSERT_EQ(want.size(), lines.size()) << expected;
        for (size_t i = 0; i < lines.size(); ++i) {
            double seq, ch, off, z;
            ASSERT_EQ(std::sscanf(lines[i].c_str(), "%lf,%lf,%lf,%lf", &seq, &ch, &off, &z), 4);
            EXPECT_NEAR(off, std::stod(want[i]), 0.0011) << lines[i];
        }
        // The point off the normal, by hand: sqrt(6^2 + 1.5^2) = 6.185.
        EXPECT_EQ(lines[5], "6,0.000,6.185,30.044,P");
        EXPECT_EQ(lines[1], "2,0.000,-7.500,30.000,P");
    }
}

// Worked by hand: the centre point (0,0,10), the left pick (-5,0). A point on
// the line towards the left pick is left (-3); one straight behind the centre
// (angle 180) is right (+4); one square to it (angle 90) counts as right (+2);
// (3,4) is 5 away at 126.87 deg (+5), (-3,-4) 5 away at 53.13 deg (-5).
// Picked one by one with codes: Enter keeps "P", a typed code is upper-cased,
// a pick keeps "P", a code with a comma is asked again.
TEST_F(XsecPoints, PickedPointsWithCodesAreWrittenAsWorkedByHand)
{
    const std::string file = path("hand.dunmar");
    write(file, "old contents\n");
    const std::string out = run(first_call(file, "pick tg_pick_pnt\npick tg_code\n") +
                                "C\n100\n0,0,10\n-5,0\n-3,0,9.5\n4,0,9.8\n0,2,9.9\n3,4,9.7\n-3,-4,9.6\n\n"
                                "\nkerb\nx\n7,7\na,b\ndrain\n"
                                // The next section is added to the file.
                                "10,0,11\n10,5\n10,3,11.5\n10,-2,11.25\n\n\n\nX\n");
    EXPECT_EQ(read(file),
              "1,100.000,0.000,10.000,P\n"
              "2,100.000,-3.000,9.500,P\n"
              "3,100.000,4.000,9.800,KERB\n"
              "4,100.000,2.000,9.900,X\n"
              "5,100.000,5.000,9.700,P\n"
              "6,100.000,-5.000,9.600,DRAIN\n"
              "1,125.000,0.000,11.000,P\n"
              "2,125.000,-3.000,11.500,P\n"
              "3,125.000,2.000,11.250,P\n");
    EXPECT_NE(out.find("\nTotal Points :1"), std::string::npos) << out;
    EXPECT_NE(out.find("\nsdef : sret : iret=2"), std::string::npos) << out;
    EXPECT_NE(out.find("\nsdef : sret :kerb iret=2"), std::string::npos) << out;
    EXPECT_NE(out.find("\nA code cannot hold a comma; give it again."), std::string::npos) << out;
    EXPECT_NE(out.find("\nCH: 150.000"), std::string::npos) << out;

    // A later call goes on without the dialog and adds to the same file.
    const std::string later = run("(b_ptpxsection)\n0,0\n0,5\n1,1,1\n2,2,2\n\n\n\nX\n");
    EXPECT_EQ(later.find("Dialog PTX_dlg>"), std::string::npos) << later;
    EXPECT_NE(
        read(file).find("\n3,125.000,2.000,11.250,P\n1,150.000,0.000,0.000,P\n2,150.000,-1.414,1.000,P\n"
                        "3,150.000,-2.828,2.000,P\n"),
        std::string::npos)
        << read(file);
}

// The dialog: defaults, numbers refused with a reason, OK refused without a
// file, the file chosen through the file dialog, the method's enable rules,
// and cancel taking nothing (the dialog comes again at the next call).
TEST_F(XsecPoints, TheDialogRefusesBadValuesAndCancelTakesNothing)
{
    const std::string file = path("dlg.dunmar");
    const std::string out =
        run("(b_ptpxsection)\nshow\n"
            "set t_ch abc\nshow\nset t_intv 0\nshow\nset t_intv -5\nset t_intv x\nshow\n"
            "set t_ch 12.5\nset t_intv 20\nok\nshow\npick yes\n"
            "pick p_file\n" +
            file + "\nshow\npick rb_base\npick tg_right\nshow\npick rb_arah\nshow\ncancel\n");
    for (const char* shown : {"t_ch: edit_box, label \"Chainage :\", value \"0.000\"",
                              "t_intv: edit_box, label \"Interval :\", value \"25.000\"",
                              "error: text, value \"The chainage must be a number.\"",
                              "error: text, value \"The interval must be more than 0.\"",
                              "error: text, value \"The interval must be a number.\"",
                              "error: text, value \"Name the output file (File...) first.\"",
                              "t_ch: edit_box, label \"Chainage :\", value \"12.500\"", "value \"20.000\""})
        EXPECT_NE(out.find(shown), std::string::npos) << shown << "\n" << out;
    EXPECT_NE(out.find("t_file: edit_box, label \"File :\", value \"" + file + "\""), std::string::npos)
        << out;
    // "yes" waits for a file; the base-line options follow the method, and
    // the right flag is held at 0 while the side pick is chosen.
    EXPECT_NE(out.find("yes: button, label \"Start\", disabled"), std::string::npos) << out;
    EXPECT_NE(out.find("Tile \"yes\" is disabled; the action is refused."), std::string::npos) << out;
    EXPECT_NE(out.find("yes: button, label \"Start\", enabled"), std::string::npos) << out;
    EXPECT_NE(out.find("radio_ip: radio_row, value \"rb_ip_pick\", enabled"), std::string::npos) << out;
    EXPECT_NE(out.find("tg_right: toggle, label \"Right side positive\", value \"1\""), std::string::npos)
        << out;
    const size_t last_right = out.rfind("tg_right: toggle");
    ASSERT_NE(last_right, std::string::npos);
    EXPECT_EQ(out.compare(last_right, 56, "tg_right: toggle, label \"Right side positive\", value \"0\""), 0)
        << out.substr(last_right, 80);
    EXPECT_NE(out.find("\nNothing was written.\nBye.."), std::string::npos) << out;
    EXPECT_FALSE(std::filesystem::exists(file));

    // Nothing was taken: the next call shows the defaults again.
    const std::string again = run("(b_ptpxsection)\nshow\ncancel\n");
    EXPECT_NE(again.find("t_ch: edit_box, label \"Chainage :\", value \"0.000\""), std::string::npos)
        << again;
}

// Bad answers at the prompts: each is said and nothing is written for it.
TEST_F(XsecPoints, BadAnswersAtThePromptsAreSaidAndWriteNothing)
{
    ASSERT_TRUE(test_make_point("SURVEY", 3, 0, 5));
    const std::string file = path("bad.dunmar");
    const struct {
        const char* name;
        std::string answers;
        const char* said;
    } cases[] = {
        {"no POINT selected", "0,0\n-5,0\n\n", "\nNo POINT was selected."},
        {"one POINT only", "0,0\n-5,0\n3,0\n\n",
         "\nA section needs two points or more beside the centre-line point; "
         "nothing was written for CH 0.000."},
        {"left pick on the centre", "0,0\n0,0.005\n^C\n",
         "\nThe left side must be picked away from the centre-line point."},
        {"no left pick", "0,0\n\n", "\nNo left side was picked."},
        {"a word that is no option", "Q\nX\n", "\nAnswer X, S or C, or pick the centre-line point."},
        {"a chainage that is no number", "C\nabc\nX\nX\n", "Requires a numeric value."},
        {"a chainage left with X", "C\nX\nX\n", "\nThe chainage stays 0.000."},
    };
    bool first = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // The dialog comes only at the first call.
        const std::string out = run((first ? first_call(file) : "(b_ptpxsection)\n") + c.answers);
        first = false;
        EXPECT_NE(out.find(c.said), std::string::npos) << out;
        EXPECT_NE(out.find("\nBye.."), std::string::npos) << out;
        EXPECT_FALSE(std::filesystem::exists(file));
    }
}

// A file that cannot be written: the alert, the section is lost but the loop
// goes on at the next chainage; a good file set through "S" then starts anew.
TEST_F(XsecPoints, AFileThatCannotBeWrittenIsAlertedAndTheNextSectionGoesOn)
{
    const std::string bad = path("no such folder/x.dunmar");
    const std::string good = path("good.dunmar");
    const std::string out =
        run("(b_ptpxsection)\nset t_file " + bad + "\npick tg_pick_pnt\nok\n0,0,1\n0,5\n1,0,2\n2,0,3\n\n" +
            "S\nset t_file " + good + "\nok\n0,0,1\n0,5\n1,0,2\n2,0,3\n\nX\n");
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts[0], "Error Writing file");
    EXPECT_NE(out.find("\nCH 0.000 was not written to " + bad + "."), std::string::npos) << out;
    EXPECT_EQ(read(good), "1,25.000,0.000,1.000,P\n2,25.000,1.000,2.000,P\n3,25.000,2.000,3.000,P\n");
}

// The base-line method is not offered yet: OK with it says so and ends.
TEST_F(XsecPoints, TheBaseLineMethodIsNotOfferedYet)
{
    const std::string out = run(first_call(path("b.dunmar"), "pick rb_base\n"));
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "Coming soon..");
    EXPECT_EQ(out.find("\nCH: "), std::string::npos) << out;
}

// A full disk: a section added to the file that does not fit leaves the file
// as it was, and the next section goes on; with room again it is added whole.
TEST_F(XsecPoints, ASectionThatDoesNotFitLeavesTheFileAsItWas)
{
    SmallDisk disk(path("disk"));
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    const std::string file = disk.folder() + "/full.dunmar";
    const std::string section = "0,0,1\n0,5\n1,0,2\n2,0,3\n\n";
    run(first_call(file, "pick tg_pick_pnt\n") + section + "X\n");
    const std::string first = "1,0.000,0.000,1.000,P\n2,0.000,1.000,2.000,P\n3,0.000,2.000,3.000,P\n";
    ASSERT_EQ(read(file), first);
    disk.fill();
    session().transcript().alerts.clear();
    const std::string out = run("(b_ptpxsection)\n" + section + "X\n");
    EXPECT_EQ(read(file), first);
    EXPECT_EQ(session().transcript().alerts, std::vector<std::string>{"Error Writing file"});
    EXPECT_NE(out.find("\nCH 25.000 was not written to " + file + "."), std::string::npos) << out;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.folder()), {}),
              2);  // the file and the filler

    disk.empty();
    run("(b_ptpxsection)\n" + section + "X\n");
    EXPECT_EQ(read(file), first + "1,50.000,0.000,1.000,P\n2,50.000,1.000,2.000,P\n3,50.000,2.000,3.000,P\n");
}

}  // namespace
