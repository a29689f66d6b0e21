// Angles and the planes of entities at the file boundary: the file keeps
// rotations and arc angles in degrees, the drawing and the API in radians;
// entities whose plane is mirrored or tilted (extrusion other than (0, 0, 1))
// are drawn, selected, bounded and read by the product where ezdxf says they
// are in the world.
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>
#include <sstream>

#include "ads.h"
#include "db/entities.h"
#include "db/ocs.h"
#include "db/sysvars.h"
#include "dxf/dxf_commands.h"
#include "dxf_support.h"
#include "entity_readers.h"
#include "host_fixture.h"
#include "plan_view.h"
#include "polyline_read.h"

using namespace dxftest;

namespace {

constexpr double kDegree = M_PI / 180;

// The ezdxf script that writes the drawing of planes and prints, for every
// entity, the world values ezdxf works out: "KEY x y z" lines.
const char* const kPlanesScript = R"(
import sys, ezdxf
from ezdxf.math import Vec3
doc = ezdxf.new("R2010")
msp = doc.modelspace()
mark = doc.blocks.new("MARK")
mark.add_line((0, 0), (1, 0))
mirror = (0, 0, -1)
tilt = (0.6, 0, 0.8)
msp.add_text("Turned", dxfattribs={"insert": (10, 10), "height": 2, "rotation": 30})
msp.add_arc((5, 5), 3, 10, 100)
msp.add_blockref("MARK", (20, 20), dxfattribs={"rotation": 45})
square = msp.add_lwpolyline([(-200, 0), (-160, 0), (-160, 40), (-200, 40)], close=True,
                            dxfattribs={"extrusion": mirror, "elevation": 2})
circle = msp.add_circle((-180, 60), 5, dxfattribs={"extrusion": mirror})
arc = msp.add_arc((-180, 80), 5, 0, 90, dxfattribs={"extrusion": mirror})
text = msp.add_text("Mirrored", dxfattribs={"insert": (-170, 90), "height": 2, "rotation": 30,
                                              "extrusion": mirror})
insert = msp.add_blockref("MARK", (-190, 100), dxfattribs={"rotation": 10, "extrusion": mirror})
tilted = msp.add_circle((3, 4, 5), 2, dxfattribs={"extrusion": tilt})
doc.saveas(sys.argv[1])

def show(key, v):
    print(key, v.x, v.y, v.z)
ocs = square.ocs()
for i, p in enumerate(square.get_points("xy")):
    show("square%d" % i, ocs.to_wcs(Vec3(p[0], p[1], square.dxf.elevation)))
show("circle", circle.ocs().to_wcs(circle.dxf.center))
show("tilted", tilted.ocs().to_wcs(tilted.dxf.center))
show("arc_start", arc.start_point)
show("arc_end", arc.end_point)
show("text", text.ocs().to_wcs(text.dxf.insert))
print("text_angle", text.ocs().to_wcs(Vec3.from_deg_angle(30)).angle_deg % 360, 0, 0)
show("insert", insert.ocs().to_wcs(insert.dxf.insert))
print("insert_angle", insert.ocs().to_wcs(Vec3.from_deg_angle(10)).angle_deg % 360, 0, 0)
)";

// Reads a saved file's TEXT, ARC and INSERT angles as ezdxf sees them: "TYPE value" lines.
const char* const kAnglesScript = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
for e in doc.modelspace():
    if e.dxftype() == "TEXT": print("TEXT", e.dxf.rotation)
    if e.dxftype() == "ARC": print("ARC", e.dxf.start_angle, e.dxf.end_angle)
    if e.dxftype() == "INSERT": print("INSERT", e.dxf.rotation)
)";

using Values = std::map<std::string, std::array<double, 3>>;

Values parse_values(const std::string& output)
{
    Values values;
    std::istringstream in(output);
    std::string key;
    std::array<double, 3> v;
    while (in >> key >> v[0] >> v[1] >> v[2]) values[key] = v;
    return values;
}

class AnglesAndPlanes : public HostFixture {
protected:
    std::string path(const std::string& name) const { return home() + "/" + name; }

    // The entities of model space of one type, in order.
    std::vector<long> of_type(const std::string& type)
    {
        std::vector<long> ids;
        for (long id : drawing().model)
            if (drawing().get(id)->type == type) ids.push_back(id);
        return ids;
    }

    std::string ezdxf_angles(const std::string& file)
    {
        std::string output;
        EXPECT_EQ(outside::run_ezdxf_script(kAnglesScript, {file}, output), 0) << output;
        return output;
    }
};

void expect_near(const std::array<double, 3>& expected, const ads_point got, const std::string& what)
{
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(expected[i], got[i], 1e-9) << what << " [" << i << "]";
}

TEST_F(AnglesAndPlanes, TextCommandAnglesAreDegreesInTheFile)
{
    struct Case {
        bool survey;          // ANGBASE 90 degrees, ANGDIR clockwise
        const char* answer;   // the angle typed at the Text command
        double file_degrees;  // what another program reads
    };
    for (const Case& c : {Case{false, "45", 45}, Case{true, "30", 60}, Case{false, "-90", 270}}) {
        SCOPED_TRACE(c.answer);
        session().current().drawing = host::Drawing();
        if (c.survey) {
            ASSERT_TRUE(host::set_sysvar_real(drawing(), "ANGBASE", M_PI / 2));
            ASSERT_TRUE(host::set_sysvar_short(drawing(), "ANGDIR", 1));
        }
        run(std::string("(command \"Text\" \"l\" \"0,-20\" \"2\" \"") + c.answer + "\" \"T\")");
        std::string file = path("text_angle.dxf");
        run("SAVEAS " + file);
        std::string output = ezdxf_angles(file);
        std::istringstream in(output);
        std::string type;
        double degrees = -1;
        in >> type >> degrees;
        ASSERT_EQ(type, "TEXT") << output;
        EXPECT_NEAR(std::fmod(degrees + 360, 360), c.file_degrees, 1e-9);
    }
}

TEST_F(AnglesAndPlanes, FileDegreesOpenAsRadiansAndSaveBack)
{
    std::string file = path("planes.dxf"), output;
    ASSERT_EQ(outside::run_ezdxf_script(kPlanesScript, {file}, output), 0) << output;
    run("OPEN " + file);
    ASSERT_EQ(drawing().name, "planes.dxf");
    const host::Entity& text = *drawing().get(of_type("TEXT").at(0));
    EXPECT_NEAR(text.real(50), 30 * kDegree, 1e-12);
    const host::Entity& arc = *drawing().get(of_type("ARC").at(0));
    EXPECT_NEAR(arc.real(50), 10 * kDegree, 1e-12);
    EXPECT_NEAR(arc.real(51), 100 * kDegree, 1e-12);
    const host::Entity& insert = *drawing().get(of_type("INSERT").at(0));
    EXPECT_NEAR(insert.real(50), 45 * kDegree, 1e-12);

    std::string saved = path("planes_saved.dxf");
    run("SAVEAS " + saved);
    std::string angles = ezdxf_angles(saved);
    EXPECT_NE(angles.find("TEXT 30.0\n"), std::string::npos) << angles;
    EXPECT_NE(angles.find("ARC 10.0 100.0\n"), std::string::npos) << angles;
    EXPECT_NE(angles.find("INSERT 45.0\n"), std::string::npos) << angles;
    // The mirrored ones keep the angles of their own planes.
    EXPECT_NE(angles.find("INSERT 10.0\n"), std::string::npos) << angles;
    EXPECT_NE(angles.find("ARC 0.0 90.0\n"), std::string::npos) << angles;
}

TEST_F(AnglesAndPlanes, MirroredAndTiltedEntitiesAreWhereEzdxfSaysInTheWorld)
{
    std::string file = path("planes.dxf"), output;
    ASSERT_EQ(outside::run_ezdxf_script(kPlanesScript, {file}, output), 0) << output;
    Values world = parse_values(output);
    ASSERT_EQ(world.size(), 12u) << output;
    run("OPEN " + file);

    // The product's readers see the world.
    ads_name square = {of_type("LWPOLYLINE").at(0), 0};
    ASSERT_EQ(lwpoly_read_vertices(square, -1), 1);
    ASSERT_EQ(lwpoly_vertices.vertices.size(), 5u);  // closed: the first once more
    for (int i = 0; i < 4; ++i) {
        const point3d_rec& v = lwpoly_vertices.vertices[size_t(i)].point;
        ads_point got = {v.x, v.y, v.z};
        expect_near(world.at("square" + std::to_string(i)), got, "square vertex");
    }
    std::vector<long> circles = of_type("CIRCLE");
    ASSERT_EQ(circles.size(), 2u);
    for (auto [id, key] : {std::pair{circles[0], "circle"}, std::pair{circles[1], "tilted"}}) {
        ads_name name = {id, 0};
        ASSERT_EQ(ss_circle_get(name, -1, 0), 1);
        ads_point got = {circle_read.centre.x, circle_read.centre.y, circle_read.centre.z};
        expect_near(world.at(key), got, key);
    }
    ads_name text = {of_type("TEXT").at(1), 0};
    ASSERT_EQ(text_box_corners(text), 1);
    ads_point corner = {text_box_read.corners[0].x, text_box_read.corners[0].y, text_box_read.corners[0].z};
    expect_near(world.at("text"), corner, "text insertion");
    EXPECT_NEAR(text_box_read.rotation, world.at("text_angle")[0], 1e-6);  // the product's own pi

    // acdbTrans from the entity's own system, and the plan view of an INSERT.
    ads_name insert = {of_type("INSERT").at(1), 0};
    resbuf from{}, to{};
    from.restype = RTENAME;
    from.resval.rlname[0] = insert[0];
    to.restype = RTSHORT;
    to.resval.rint = 0;
    const host::Entity& stored = *drawing().get(insert[0]);
    ads_point ocs_point = {stored.point(10).x, stored.point(10).y, stored.point(10).z}, moved;
    ASSERT_EQ(acdbTrans(ocs_point, &from, &to, 0, moved), RTNORM);
    expect_near(world.at("insert"), moved, "acdbTrans");
    resbuf* list = ent_get_in_plan(insert);
    ASSERT_NE(list, nullptr);
    for (resbuf* rb = list; rb; rb = rb->rbnext) {
        if (rb->restype == 10) {
            expect_near(world.at("insert"), rb->resval.rpoint, "insert in plan");
        } else if (rb->restype == 50) {
            EXPECT_NEAR(rb->resval.rreal / kDegree, world.at("insert_angle")[0], 1e-9);
        }
    }
    acutRelRb(list);

    // A mirrored ARC runs from ezdxf's end point to its start point counter-clockwise in plan.
    const host::Entity arc = host::entity_in_world(*drawing().get(of_type("ARC").at(1)));
    const host::Point3 c = arc.point(10);
    const double r = arc.real(40);
    ads_point start = {c.x + r * std::cos(arc.real(50)), c.y + r * std::sin(arc.real(50)), c.z};
    ads_point end = {c.x + r * std::cos(arc.real(51)), c.y + r * std::sin(arc.real(51)), c.z};
    expect_near(world.at("arc_end"), start, "arc start in plan");
    expect_near(world.at("arc_start"), end, "arc end in plan");

    // Selections find the square where it is in the world.
    auto window_count = [&](double x0, double y0, double x1, double y1) {
        ads_point a = {x0, y0, 0}, b = {x1, y1, 0};
        ads_name ss;
        if (acedSSGet("W", a, b, nullptr, ss) != RTNORM) return 0L;
        long n = 0;
        acedSSLength(ss, &n);
        acedSSFree(ss);
        return n;
    };
    EXPECT_EQ(window_count(155, -5, 205, 45), 1);
    EXPECT_EQ(window_count(-205, -5, -155, 45), 0);

    // bpoly inside the square makes its outline in the world.
    resbuf* args = acutBuildList(RTSTR, "bpoly", RTPOINT, std::array<double, 3>{180, 20, 0}.data(), 0);
    resbuf* result = nullptr;
    ASSERT_EQ(acedInvoke(args, &result), RTNORM);
    acutRelRb(args);
    ASSERT_TRUE(result && result->restype == RTENAME);
    const host::Entity& outline = *drawing().get(result->resval.rlname[0]);
    acutRelRb(result);
    for (const host::Group& g : outline.groups) {
        if (g.code != 10) continue;
        EXPECT_TRUE(g.point.x == 160 || g.point.x == 200) << g.point.x;
        EXPECT_TRUE(g.point.y == 0 || g.point.y == 40) << g.point.y;
    }

    // The picture draws it there too.
    if (!host::picture_supported()) return;
    auto inked_pixels = [&](const std::string& window) {
        std::string png = path("window.png");
        run("PICTURE " + png + " " + window);
        host::PixelImage image;
        EXPECT_TRUE(host::read_picture_pixels(png, image));
        long n = 0;
        for (const auto& p : image.pixels) n += p.red < 128 && p.green < 128 && p.blue < 128;
        return n;
    };
    EXPECT_GT(inked_pixels("150,-10 210,50"), 100);
    EXPECT_EQ(inked_pixels("-210,-10 -150,50"), 0);
}

}  // namespace
