// The host's PEDIT spline through a script as the plug-ins call it, and the
// polyline spline command over a user's selection. The fitted vertices are
// checked against scipy's B-spline evaluation of the frame read back with
// ezdxf from the saved drawing: knots worked out in the check itself (clamped
// uniform for an open frame, periodic for a closed one), SPLINESEGS points per
// knot span.
#include <cmath>
#include <fstream>
#include <string>
#include <vector>

#include "commands/commands.h"
#include "db/entities.h"
#include "db/sysvars.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "polyline_read.h"
#include "spline_polylines.h"
#include "test_entities.h"

namespace {

struct XY {
    double x, y;
};

class PeditTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        return test_live_entities(drawing(), type, layer);
    }

    // The VERTEX entities of a POLYLINE, in order.
    std::vector<const host::Entity*> vertices(const host::Entity* polyline)
    {
        std::vector<const host::Entity*> out;
        for (long id : host::polyline_vertices(drawing(), *polyline)) out.push_back(drawing().get(id));
        return out;
    }

    // Saves the drawing and checks every splined POLYLINE in it with ezdxf and
    // scipy; the number of polylines checked.
    int check_with_scipy()
    {
        const std::string file = home() + "/splined.dxf";
        run("SAVEAS " + file + "\n");
        const std::string python = outside::ezdxf_python();
        EXPECT_FALSE(python.empty());
        const std::string script = home() + "/check.py";
        std::ofstream(script) << R"(import sys, ezdxf
import numpy as np
from scipy.interpolate import BSpline
doc = ezdxf.readfile(sys.argv[1])
checked = 0
for pl in doc.modelspace().query("POLYLINE"):
    flags = pl.dxf.flags
    if not flags & 4:
        continue
    degree = 2 if pl.dxf.smooth_type == 5 else 3
    segs = int(sys.argv[2])
    frame = [v.dxf.location for v in pl.vertices if v.dxf.flags & 16]
    fit = [v.dxf.location for v in pl.vertices if v.dxf.flags & 8]
    closed = bool(flags & 1)
    n = len(frame)
    k = min(degree, n - 1)
    c = np.array([[p.x, p.y, p.z] for p in frame])
    if closed:
        c = np.vstack([c, c[:k]])
        t = np.arange(len(c) + k + 1, dtype=float)
        u = np.concatenate([np.linspace(t[i], t[i + 1], segs, endpoint=False) for i in range(k, k + n)])
    else:
        inner = n - k - 1
        t = np.concatenate([np.zeros(k + 1), np.arange(1, inner + 1), np.full(k + 1, inner + 1.0)])
        u = np.concatenate([np.linspace(i, i + 1, segs, endpoint=False) for i in range(inner + 1)] + [[inner + 1.0]])
    want = BSpline(t, c, k, extrapolate=False)(u)
    got = np.array([[p.x, p.y, p.z] for p in fit])
    assert got.shape == want.shape, (got.shape, want.shape)
    err = np.abs(got - want).max()
    assert err < 1e-9, err
    checked += 1
print(checked)
)";
        std::string output;
        EXPECT_EQ(outside::run_tool(python + " " + script + " " + file + " " +
                                        std::to_string(host::sysvar_short(drawing(), "SPLINESEGS", 8)),
                                    output),
                  0)
            << output;
        return std::atoi(output.c_str());
    }
};

const std::vector<XY> kOpenFrame = {{0, 0}, {10, 5}, {20, -3}, {35, 8}, {50, 0}};

TEST_F(PeditTest, OpenLwpolylineBecomesCubicSplineOnItsFrame)
{
    ASSERT_TRUE(test_make_lwpolyline("CONTOUR", 0, kOpenFrame));
    const long before = drawing().last_main();
    run("(command \"PEDIT\" (entlast) \"s\" \"\")\n");
    EXPECT_TRUE(drawing().get(before)->erased) << "the LWPOLYLINE is replaced";
    ASSERT_EQ(live("POLYLINE").size(), 1u);
    const host::Entity* polyline = live("POLYLINE")[0];
    EXPECT_EQ(polyline->layer(), "CONTOUR");
    EXPECT_EQ(polyline->integer(70), 4);
    EXPECT_EQ(polyline->integer(75), 6);
    const auto v = vertices(polyline);
    // 5 frame vertices, then 2 cubic spans x 8 pieces + the end point.
    ASSERT_EQ(v.size(), 5u + 17u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(v[i]->integer(70), 16);
        EXPECT_EQ(v[i]->point(10).x, kOpenFrame[i].x);
        EXPECT_EQ(v[i]->point(10).y, kOpenFrame[i].y);
    }
    for (size_t i = 5; i < v.size(); ++i) EXPECT_EQ(v[i]->integer(70), 8);
    EXPECT_EQ(v[5]->point(10).x, 0.0) << "a clamped spline starts on the first vertex";
    EXPECT_EQ(v.back()->point(10).x, 50.0);
    EXPECT_EQ(check_with_scipy(), 1);
}

TEST_F(PeditTest, SplineTypeSegmentsClosureAndElevationAreFollowed)
{
    // Closed quadratic with 5 pieces a span; an LWPOLYLINE at elevation 12.5.
    run("(setvar \"SPLINETYPE\" 5)\n(setvar \"SPLINESEGS\" 5)\n");
    ASSERT_TRUE(test_make_lwpolyline("L", 1, std::vector<XY>{{0, 0}, {40, 0}, {40, 30}, {0, 30}}));
    host::Entity* lw = drawing().get(drawing().last_main());
    lw->groups.push_back(host::Group::of_real(38, 12.5));
    lw->groups.push_back(host::Group::of_int(62, 3));
    run("(command \"PEDIT\" (entlast) \"s\" \"\")\n");
    const host::Entity* polyline = live("POLYLINE").at(0);
    EXPECT_EQ(polyline->integer(70), 5);
    EXPECT_EQ(polyline->integer(75), 5);
    EXPECT_EQ(polyline->integer(62), 3) << "the colour stays with the polyline";
    EXPECT_EQ(polyline->point(10).z, 12.5);
    const auto v = vertices(polyline);
    ASSERT_EQ(v.size(), 4u + 4u * 5u) << "a closed frame of 4 has 4 spans";
    for (const host::Entity* vertex : v) EXPECT_EQ(vertex->point(10).z, 12.5);
    EXPECT_EQ(check_with_scipy(), 1);
}

TEST_F(PeditTest, ThreeDimensionalPolylineKeepsItsHeightsAndShortFramesLowerTheDegree)
{
    const host::Point3 pts[] = {{0, 0, 1}, {10, 0, 4}, {10, 10, 2}, {20, 12, 9}};
    run("(setvar \"SPLINESEGS\" 4)\n");
    ads_point p = {0, 0, 0};
    resbuf* head = acutBuildList(RTDXF0, "POLYLINE", 8, "3D", 66, 1, 70, 8, 0);
    ASSERT_EQ(acdbEntMake(head), RTNORM);
    acutRelRb(head);
    for (const host::Point3& q : pts) {
        p[0] = q.x, p[1] = q.y, p[2] = q.z;
        resbuf* vertex = acutBuildList(RTDXF0, "VERTEX", 8, "3D", 10, p, 70, 32, 0);
        ASSERT_EQ(acdbEntMake(vertex), RTNORM);
        acutRelRb(vertex);
    }
    resbuf* end = acutBuildList(RTDXF0, "SEQEND", 0);
    ASSERT_EQ(acdbEntMake(end), RTNORM);
    acutRelRb(end);
    // A two-vertex LWPOLYLINE: its "spline" is the straight line between them.
    ASSERT_TRUE(test_make_lwpolyline("0", 0, std::vector<XY>{{100, 0}, {110, 10}}));
    run("(command \"PEDIT\" (entlast) \"s\" \"\")\n");
    ads_name first;
    ASSERT_EQ(acdbEntNext(nullptr, first), RTNORM);
    // The 3D polyline is the first entity; named as acedCommand names it.
    host::CommandArgs args = {host::entity_name_text(first[0]), "s", ""};
    EXPECT_EQ(session().run_command("PEDIT", args), RTNORM);

    const auto polylines = live("POLYLINE");
    ASSERT_EQ(polylines.size(), 2u);
    const host::Entity* line = polylines[0];
    const host::Entity* three_d = polylines[1];
    EXPECT_EQ(three_d->integer(70), 12);
    const auto v = vertices(three_d);
    ASSERT_EQ(v.size(), 4u + 4u + 1u) << "one cubic span of 4 pieces and its end";
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(v[i]->integer(70), 48);
        EXPECT_EQ(v[i]->point(10).z, pts[i].z);
    }
    for (size_t i = 4; i < v.size(); ++i) EXPECT_EQ(v[i]->integer(70), 40);
    const auto straight = vertices(line);
    ASSERT_EQ(straight.size(), 2u + 5u);
    EXPECT_NEAR(straight[4]->point(10).x, 105.0, 1e-12);
    EXPECT_NEAR(straight[4]->point(10).y, 5.0, 1e-12);
    EXPECT_EQ(check_with_scipy(), 2);
}

TEST_F(PeditTest, ReaderGivesFrameOrCurveByItsQuestion)
{
    ASSERT_TRUE(test_make_lwpolyline("0", 0, kOpenFrame));
    run("(command \"PEDIT\" (entlast) \"s\" \"\")\n");
    ads_name polyline;
    ASSERT_EQ(acdbEntLast(polyline), RTNORM);
    const int saved_mode = polyline_spline_choice.mode, saved_never = polyline_spline_choice.never_ask;

    // Asked in the dialog: the frame.
    polyline_spline_choice.never_ask = 0;
    session().set_input(host::script_input("pick rb_CoordFrame\npick exit\n"));
    polyline_read_vertices(polyline, -1);
    ASSERT_EQ(polyline_vertices.vertices.size(), 5u);
    for (size_t i = 0; i < 5; ++i) EXPECT_EQ(polyline_vertices.vertices[i].point.x, kOpenFrame[i].x);
    // Not asked again: the curve, then both.
    polyline_spline_choice.never_ask = 1;
    polyline_spline_choice.mode = spline_mode_curve;
    polyline_read_vertices(polyline, -1);
    EXPECT_EQ(polyline_vertices.vertices.size(), 17u);
    polyline_spline_choice.mode = spline_mode_both;
    polyline_read_vertices(polyline, -1);
    EXPECT_EQ(polyline_vertices.vertices.size(), 22u);
    polyline_spline_choice.mode = saved_mode;
    polyline_spline_choice.never_ask = saved_never;
}

TEST_F(PeditTest, RefusalsChangeNothing)
{
    ASSERT_TRUE(test_make_lwpolyline("LOCKED", 0, kOpenFrame));
    run("(command \"Layer\" \"lock\" \"LOCKED\" \"\")\n");
    std::string out = run("(command \"PEDIT\" (entlast) \"s\" \"\")\n");
    EXPECT_NE(out.find("PEDIT: the polyline is on the locked layer \"LOCKED\""), std::string::npos) << out;
    EXPECT_EQ(live("LWPOLYLINE").size(), 1u);
    EXPECT_TRUE(live("POLYLINE").empty());

    ads_point a = {0, 0, 0}, b = {5, 5, 0};
    resbuf* line = acutBuildList(RTDXF0, "LINE", 8, "0", 10, a, 11, b, 0);
    ASSERT_EQ(acdbEntMake(line), RTNORM);
    acutRelRb(line);
    out = run("(command \"PEDIT\" (entlast) \"s\" \"\")\n");
    EXPECT_NE(out.find("PEDIT: a LINE is not a polyline"), std::string::npos) << out;
    ASSERT_TRUE(test_make_lwpolyline("0", 0, kOpenFrame));
    out = run("(command \"PEDIT\" (entlast) \"w\" \"\")\n");
    EXPECT_NE(out.find("PEDIT: the option \"w\" is not carried out"), std::string::npos) << out;
    EXPECT_EQ(live("LWPOLYLINE").size(), 2u);
    EXPECT_EQ(live("LINE").size(), 1u);
    EXPECT_TRUE(live("POLYLINE").empty());
}

TEST_F(PeditTest, DecurveGivesTheFrameBack)
{
    ASSERT_TRUE(test_make_lwpolyline("0", 0, kOpenFrame));
    run("(command \"PEDIT\" (entlast) \"s\" \"d\" \"\")\n");
    const auto polylines = live("POLYLINE");
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0]->integer(70), 0);
    EXPECT_FALSE(polylines[0]->find(75));
    const auto v = vertices(polylines[0]);
    ASSERT_EQ(v.size(), 5u);
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(v[i]->integer(70), 0);
        EXPECT_EQ(v[i]->point(10).y, kOpenFrame[i].y);
    }
}

// The spline command over a selection: POLYLINEs and LWPOLYLINEs counted and
// splined; any layer with the lock bit is left alone by the command itself,
// whatever its other flags; nothing selected is leaving at once.
TEST_F(PeditTest, SplineCommandSplinesTheSelectionButNotLockedLayers)
{
    ASSERT_TRUE(test_make_lwpolyline("A", 0, kOpenFrame));
    ASSERT_TRUE(test_make_lwpolyline("B", 1, std::vector<XY>{{100, 0}, {140, 0}, {140, 30}}));
    // Locked; locked and frozen in new viewports; locked and referenced.
    const struct {
        const char* layer;
        int flags;
    } locked[] = {{"K4", 4}, {"K6", 4 | 2}, {"K68", 4 | 64}};
    for (const auto& k : locked) {
        ASSERT_TRUE(test_make_lwpolyline(k.layer, 0, std::vector<XY>{{200, 0}, {210, 5}, {220, 0}}));
        for (host::Group& g : drawing().get(drawing().find_record("LAYER", k.layer))->groups)
            if (g.code == 70) g.integer = k.flags;
    }
    ASSERT_TRUE(test_make_point("A", 5, 5, 0));

    session().set_input(host::script_input("ALL\n\n"));
    spline_polylines_cmd();
    const std::string out = session().transcript().text();
    EXPECT_NE(out.find("This program to spline LWPOLYLINES/POLYLINE.!!!!!Lock necessary layers!!!!"),
              std::string::npos);
    EXPECT_NE(out.find("Found 5 LWPOLYLINE"), std::string::npos) << out;
    EXPECT_NE(out.find("Found 0 POLYLINE"), std::string::npos) << out;
    EXPECT_NE(out.find("3 on locked layers left as they were"), std::string::npos) << out;
    EXPECT_EQ(out.find("PEDIT: the polyline is on the locked layer"), std::string::npos)
        << "the command itself leaves locked layers alone";
    EXPECT_EQ(live("POLYLINE").size(), 2u);
    const auto kept = live("LWPOLYLINE");
    ASSERT_EQ(kept.size(), 3u);
    for (size_t i = 0; i < 3; ++i) EXPECT_EQ(kept[i]->layer(), locked[i].layer);

    // A selection without polylines.
    session().transcript().clear();
    session().set_input(host::script_input("5,5\n\n"));
    EXPECT_EQ(spline_polylines_cmd(), 1);
    const std::string none = session().transcript().text();
    EXPECT_NE(none.find("Found 0 LWPOLYLINE"), std::string::npos) << none;
    EXPECT_NE(none.find("Found 0 POLYLINE"), std::string::npos) << none;
    EXPECT_EQ(live("POLYLINE").size(), 2u);
    // Nothing selected: the user left at once.
    session().set_input(host::script_input("\n"));
    EXPECT_EQ(spline_polylines_cmd(), 0);
    EXPECT_EQ(check_with_scipy(), 2);
}

}  // namespace
