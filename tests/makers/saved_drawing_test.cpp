// Each shape the makers draw, made once and found in the drawing the host saves
// as DXF (in its ENTITIES section, each entity starts with a group 0 holding its type).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "entity_makers.h"
#include "host_fixture.h"
#include "text_modify.h"
#include "xdata_pending.h"

namespace {

class SavedDrawing : public HostFixture {};

int entities_of_type(const std::string& dxf, const std::string& type)
{
    // Groups are pairs of lines: the code (padded with blanks or not), then the value.
    std::istringstream in(dxf);
    std::string code, value;
    int n = 0;
    bool in_entities = false;
    auto trimmed = [](std::string text) {
        text.erase(0, text.find_first_not_of(" \t"));
        text.erase(text.find_last_not_of(" \t\r") + 1);
        return text;
    };
    while (std::getline(in, code) && std::getline(in, value)) {
        if (trimmed(code) != "0" && trimmed(code) != "2") continue;
        value = trimmed(value);
        if (trimmed(code) == "2" && value == "ENTITIES") in_entities = true;
        if (trimmed(code) != "0") continue;
        if (value == "ENDSEC") in_entities = false;
        if (in_entities && value == type) ++n;
    }
    return n;
}

TEST_F(SavedDrawing, EachShapeOnceInTheDxf)
{
    if (!std::filesystem::exists(std::string(ORVIK_INSTALL_TREE) + "/drawing/Grid_Arrow.dwg"))
        GTEST_SKIP() << "the block drawing Grid_Arrow is not installed";
    acdbRegApp("MAKERS_TEST");
    ASSERT_EQ(line_make({0, 0}, {40, 0}, "LINES"), RTNORM);
    ASSERT_EQ(circle_make({10, 10}, 4, "CIRCLES"), RTNORM);
    ASSERT_EQ(point_make({20, 10, 3.5}, "POINTS"), RTNORM);
    ASSERT_EQ(face3d_make({25, 0, 1}, {35, 0, 2}, {30, 8, 3}, {}, "TIN"), RTNORM);
    xdata_pending_set_text("label");
    ASSERT_EQ(text_make_xdata({0, 20}, 2.5, 1, 90, "LABELS", "N 45%%d30'", "MAKERS_TEST"), RTNORM);
    lwpoly_chain().layer = "LOTS";
    lwpoly_chain().flags = 1;
    for (point3d_rec p : {point3d_rec{0, 30}, point3d_rec{15, 30}, point3d_rec{15, 40}}) lwpoly_make(p, 1);
    ASSERT_EQ(lwpoly_make({}, 2), 1);
    ASSERT_EQ(polyline3d_make(0, {}, "P3D"), 1);
    ASSERT_EQ(polyline3d_make(1, {20, 30, 1}, "P3D"), 1);
    ASSERT_EQ(polyline3d_make(1, {30, 35, 2}, "P3D"), 1);
    ASSERT_EQ(polyline3d_make(2, {}, "P3D"), 1);
    ASSERT_EQ(
        block_insert(std::string(ORVIK_INSTALL_TREE) + "/drawing/Grid_Arrow.dwg", {45, 20}, 0, 1000, "ARROW"),
        1);
    ASSERT_EQ(donut_make({45, 35}, 2), 1);
    ASSERT_EQ(polyline2d_make(0, {}, "P2D"), 1);
    ASSERT_EQ(polyline2d_make(1, {50, 0}, "P2D"), 1);
    ASSERT_EQ(polyline2d_make(1, {60, 5}, "P2D"), 1);
    ASSERT_EQ(polyline2d_make(2, {}, "P2D"), 1);
    ASSERT_EQ(text_make_cmd({60, 20}, 2, 0, "TABLE", "Lot 7"), RTNORM);  // by the host's TEXT command
    point3d_rec square[] = {{70, 0}, {80, 0}, {80, 10}, {70, 10}};
    ASSERT_EQ(hatch_make(0, "FILL", {}, {}, 4, 3), 1);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(hatch_make(1, "FILL", square[i], square[(i + 1) % 4], 0, 0), 1);
    ASSERT_EQ(hatch_make(2, "FILL", {75, 5}, {}, 0, 0), 1);

    const std::string file = home() + "/shapes.dxf";
    run("SAVEAS " + file + "\n");
    std::ifstream in(file);
    ASSERT_TRUE(in) << session().transcript().text();
    std::stringstream content;
    content << in.rdbuf();
    const std::string dxf = content.str();
    for (const char* type : {"LINE", "CIRCLE", "POINT", "3DFACE", "INSERT", "HATCH"})
        EXPECT_EQ(entities_of_type(dxf, type), 1) << type;
    EXPECT_EQ(entities_of_type(dxf, "TEXT"), 2);        // by entity list and by command
    EXPECT_EQ(entities_of_type(dxf, "LWPOLYLINE"), 2);  // the lot and the donut
    EXPECT_EQ(entities_of_type(dxf, "POLYLINE"), 2);    // 3D and 2D
    EXPECT_EQ(entities_of_type(dxf, "VERTEX"), 4);
    EXPECT_EQ(entities_of_type(dxf, "SEQEND"), 2);
    EXPECT_NE(dxf.find("MAKERS_TEST"), std::string::npos);  // the text's extended data
    if (const char* picture = std::getenv("MAKERS_PICTURE")) run(std::string("PICTURE ") + picture + "\n");
}

}  // namespace
