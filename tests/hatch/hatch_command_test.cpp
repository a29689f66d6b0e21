// The host's "Hatch" command by its direct-hatch answers: boundaries of lines,
// three-point arcs and tangent arcs, closed by "close" (also when the last arc
// already came back to the first point), saved as a SOLID HATCH with one
// polyline path that ezdxf reads back as a closed path of the same area.
#include <array>
#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "ads.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "db/sysvars.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "test_entities.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

class HatchCommand : public HostFixture {
protected:
    int hatch(std::vector<std::string> args) { return host::run_called_command(session(), "Hatch", args); }
    std::vector<const host::Entity*> hatches() { return test_live_entities(drawing(), "HATCH"); }

    // The path's vertices and bulges as (x, y, bulge).
    struct Vertex {
        double x, y, bulge;
    };
    static std::vector<Vertex> path_of(const host::Entity& hatch)
    {
        std::vector<Vertex> out;
        const auto& g = hatch.groups;
        size_t i = 0;
        while (i < g.size() && g[i].code != 93) ++i;
        for (++i; i < g.size() && g[i].code == 10; ++i) {
            Vertex v{g[i].point.x, g[i].point.y, 0};
            if (i + 1 < g.size() && g[i + 1].code == 42) v.bulge = g[++i].real;
            out.push_back(v);
        }
        return out;
    }
};

// The boundaries of the table: the answers after "Hatch", the path that must
// come of them and its area worked out by hand.
struct HatchCase {
    const char* name;
    std::vector<std::string> answers;
    std::vector<std::array<double, 3>> path;  // x, y, bulge
    double area;
};

TEST_F(HatchCommand, BoundariesOfLinesAndArcs)
{
    const HatchCase cases[] = {
        // A triangle closed by a line.
        {"triangle",
         {"solid", "", "n", "0,0", "4,0", "4,3", "close", ""},
         {{0, 0, 0}, {4, 0, 0}, {4, 3, 0}},
         6},
        // A half disc: the chord, then an arc through (1,1) that ends on the
        // first point; "close" then adds nothing. Bulge tan(180/4) = 1.
        {"half disc closed on its first point",
         {"solid", "", "n", "0,0", "2,0", "a", "s", "none", "1,1", "none", "0,0", "close", ""},
         {{0, 0, 0}, {2, 0, 1}},
         kPi / 2},
        // The same arc the other way round: through (1,-1) it turns clockwise.
        {"half disc below",
         {"solid", "", "n", "2,0", "0,0", "a", "s", "1,-1", "2,0", "close", ""},
         {{2, 0, 0}, {0, 0, 1}},
         kPi / 2},
        // A tangent arc: leaving (2,0) eastwards for (2,2) is a half circle
        // bulging east; back in line mode to (0,2), then closed by a line.
        {"square with a tangent half circle",
         {"solid", "", "", "0,0", "2,0", "a", "2,2", "l", "0,2", "c", ""},
         {{0, 0, 0}, {2, 0, 1}, {2, 2, 0}, {0, 2, 0}},
         4 + kPi / 2},
        // A leg taken back by "u", a quarter circle by three points (its
        // middle at 45 degrees), a line to the centre and a closing line.
        {"quarter circle and undo",
         {"_solid", "", "N", "1,0", "5,5", "u", "1,0", "a", "s", "0.7071067811865476,0.7071067811865476",
          "0,1", "l", "0,0", "close", ""},
         {{1, 0, std::tan(kPi / 8)}, {0, 1, 0}, {0, 0, 0}},
         kPi / 4},
    };
    for (const HatchCase& c : cases) {
        SCOPED_TRACE(c.name);
        const size_t before = hatches().size();
        ASSERT_EQ(hatch(c.answers), RTNORM) << session().transcript().text();
        ASSERT_EQ(hatches().size(), before + 1);
        const host::Entity& made = *hatches().back();
        EXPECT_EQ(made.text(2), "SOLID");
        EXPECT_EQ(made.integer(70), 1);
        EXPECT_EQ(made.integer(91), 1);
        const auto path = path_of(made);
        ASSERT_EQ(path.size(), c.path.size());
        for (size_t i = 0; i < path.size(); ++i) {
            EXPECT_NEAR(path[i].x, c.path[i][0], 1e-12) << i;
            EXPECT_NEAR(path[i].y, c.path[i][1], 1e-12) << i;
            EXPECT_NEAR(path[i].bulge, c.path[i][2], 1e-12) << i;
        }
    }
}

TEST_F(HatchCommand, RefusesWhatItCannotDrawAndMakesNothing)
{
    const struct {
        std::vector<std::string> answers;
        const char* said;
    } cases[] = {
        {{"ansi31", "", "n", "0,0", "1,0", "1,1", "close", ""}, "only solid"},
        {{"solid", "@ename:1", "n"}, "point by point"},
        {{"solid", "", "maybe"}, "whether to keep"},
        {{"solid", "", "n", "0,0", "1,0", "1,1", ""}, "left open"},
        {{"solid", "", "n", "0,0", "1,0", "1,1"}, "left open"},
        {{"solid", "", "n", "0,0", "2,0", "a", "s", "1,0", "0,0", "close", ""}, "lie on one line"},
        {{"solid", "", "n", "0,0", "2,0", "a", "ce", "1,0"}, "no point or option of an arc"},
        {{"solid", "", "n", "0,0", "a", "2,0"}, "needs a leg before it"},
        {{"solid", "", "n", "0,0", "1,0", "2,0", "close", ""}, "no area"},
        {{"solid", "", "n", "0,0", "1,0", "x", "close", ""}, "no point or option of a line"},
        {{"solid", "", "n", ""}, "no boundary"},
    };
    run("(setvar \"CLAYER\" \"0\")\n");
    for (const auto& c : cases) {
        session().transcript().clear();
        const size_t entities = drawing().model.size();
        EXPECT_EQ(hatch(c.answers), RTERROR) << c.said;
        EXPECT_NE(session().transcript().text().find(c.said), std::string::npos)
            << c.said << ": " << session().transcript().text();
        EXPECT_EQ(drawing().model.size(), entities) << c.said;
    }
}

TEST_F(HatchCommand, KeptBoundaryAndCurrentLayer)
{
    ASSERT_EQ(host::set_sysvar_string(drawing(), "CLAYER", "0"), true);
    ASSERT_EQ(hatch({"solid", "", "y", "0,0", "2,0", "a", "s", "1,1", "0,0", "close", "", "ignored"}),
              RTNORM);
    const auto polylines = test_live_entities(drawing(), "LWPOLYLINE");
    ASSERT_EQ(polylines.size(), 1u);
    EXPECT_EQ(polylines[0]->integer(70), 1);
    EXPECT_EQ(polylines[0]->integer(90), 2);
    ASSERT_EQ(hatches().size(), 1u);
    EXPECT_EQ(hatches()[0]->layer(), "0");
}

// Two boundaries make one hatch of two paths; the DXF file keeps them, and
// ezdxf reads each as a closed path whose area (its arcs followed closely)
// shapely finds equal to the area worked out by hand.
TEST_F(HatchCommand, SavedPathsReadByEzdxf)
{
    ASSERT_EQ(hatch({"solid", "", "n", "0,0", "2,0", "a", "s", "1,1", "0,0", "close", "10,0", "14,0", "14,3",
                     "close", ""}),
              RTNORM);
    ASSERT_EQ(hatches().size(), 1u);
    EXPECT_EQ(hatches()[0]->integer(91), 2);
    const std::string file = home() + "/hatch.dxf";
    run("SAVEAS " + file + "\n");
    outside::expect_ezdxf_reads(file, {});
    const std::string script = R"(
import sys, math, ezdxf
from ezdxf import path as ezpath
from shapely.geometry import Polygon
def ring(vertices):
    pts = []
    n = len(vertices)
    for i, (x, y, b) in enumerate(vertices):
        x2, y2 = vertices[(i + 1) % n][:2]
        pts.append((x, y))
        if b:
            theta = 4 * math.atan(b)
            chord = math.hypot(x2 - x, y2 - y)
            r = chord / (2 * math.sin(abs(theta) / 2))
            mx, my = (x + x2) / 2, (y + y2) / 2
            off = r * math.cos(abs(theta) / 2) * (1 if b > 0 else -1)
            cx, cy = mx - (y2 - y) / chord * off, my + (x2 - x) / chord * off
            a0 = math.atan2(y - cy, x - cx)
            for k in range(1, 2000):
                a = a0 + theta * k / 2000
                pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts
doc = ezdxf.readfile(sys.argv[1])
for hatch in doc.modelspace().query("HATCH"):
    assert hatch.dxf.solid_fill == 1
    assert all(p.is_closed for p in ezpath.from_hatch(hatch))
    for p in hatch.paths:
        assert p.is_closed
        print("%.9f" % Polygon(ring([tuple(v) for v in p.vertices])).area)
)";
    std::string output;
    ASSERT_EQ(outside::run_ezdxf_script(script, {file}, output), 0) << output;
    std::istringstream areas(output);
    double half_disc = 0, triangle = 0;
    areas >> half_disc >> triangle;
    EXPECT_NEAR(half_disc, kPi / 2, 1e-5) << output;
    EXPECT_NEAR(triangle, 6.0, 1e-9) << output;
}

}  // namespace
