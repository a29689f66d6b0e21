// Result buffers, system variables, selection sets and the entity readers
// through the host, on entities made with entity lists. Expected values are the
// lists' own numbers, or worked out by hand in the comments.
#include <cmath>
#include <string>

#include "ads.h"
#include "constants.h"
#include "entity_readers.h"
#include "host_fixture.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "sysvar.h"

namespace {

void expect_point(const point3d_rec& p, double x, double y, double z)
{
    EXPECT_EQ(p.x, x);
    EXPECT_EQ(p.y, y);
    EXPECT_EQ(p.z, z);
}

class LibraryHost : public HostFixture {
protected:
    // Makes the entity and returns its name.
    void make(resbuf* list, ads_name out)
    {
        ASSERT_EQ(acdbEntMake(list), RTNORM);
        acutRelRb(list);
        ASSERT_EQ(acdbEntLast(out), RTNORM);
    }
    void line(const char* layer, ads_point a, ads_point b, ads_name out)
    {
        make(acutBuildList(RTDXF0, "LINE", 8, layer, 10, a, 11, b, 0), out);
    }
};

TEST_F(LibraryHost, ResultBufferNodes)
{
    resbuf* list = rb_new_str(0, "LINE");
    list->rbnext = rb_new_point(10, point3d_rec{1, 2, 3}, 1);
    list->rbnext->rbnext = rb_new_point(11, point3d_rec{4, 5, 6}, 0);
    list->rbnext->rbnext->rbnext = rb_new_real(40, 2.5);
    list->rbnext->rbnext->rbnext->rbnext = rb_new_short(62, -3);

    EXPECT_STREQ(rb_get_str(list, 0), "LINE");
    EXPECT_EQ(rb_get_str(list, 10), nullptr);  // not a text code
    EXPECT_EQ(rb_get_str(list, 8), nullptr);   // absent
    point3d_rec p{9, 9, 9};
    EXPECT_EQ(rb_get_point(list, 10, p, 1), 1);
    EXPECT_EQ(p.z, 0.0);  // made flat
    EXPECT_EQ(rb_get_point(list, 11, p, 1), 1);
    EXPECT_EQ(p.z, 6.0);
    EXPECT_EQ(rb_get_point(list, 11, p, 0), 1);
    EXPECT_EQ(p.x, 4.0);
    EXPECT_EQ(p.z, 0.0);  // z copied only with the flag
    EXPECT_EQ(rb_get_point(list, 12, p, 1), 0);
    EXPECT_EQ(rb_get_real(list, 40), 2.5);
    EXPECT_EQ(rb_get_real(list, 41), 0.0);  // absent
    EXPECT_EQ(rb_get_short(list, 62), -3);
    EXPECT_EQ(rb_find(list, 99), nullptr);
    EXPECT_EQ(rb_find(list, 40)->resval.rreal, 2.5);
    acutRelRb(list);
}

TEST_F(LibraryHost, DumpPrintsEveryNode)
{
    resbuf* list = rb_new_str(0, "LINE");
    list->rbnext = rb_new_real(40, 2.5);
    list->rbnext->rbnext = rb_new_short(62, 3);
    session().transcript().clear();
    rb_dump(list);
    acutRelRb(list);
    EXPECT_EQ(session().transcript().text(),
              "\nThe type is 0.(0 . \"LINE\")\nThe type is 40.(40 . 2.500)\nThe type is 62.(62 . 3) ");
}

TEST_F(LibraryHost, SystemVariables)
{
    EXPECT_EQ(sysvar_set_short("CMDECHO", 0), 1);
    int echo = -1;
    EXPECT_EQ(sysvar_get_int("CMDECHO", echo), 1);
    EXPECT_EQ(echo, 0);
    sysvar_set_short("CMDECHO", 1);

    std::string text = "unchanged";
    EXPECT_EQ(sysvar_get_str("NO_SUCH_VARIABLE", text), 0);
    EXPECT_EQ(text, "unchanged");
    EXPECT_EQ(sysvar_get_str("DWGNAME", text), 1);
    EXPECT_EQ(text, "Drawing1.dwg");

    ads_point a = {0, 0, 0}, b = {1, 0, 0};
    ads_name made;
    line("Roads", a, b, made);  // the layer comes with the entity
    EXPECT_EQ(layer_current_set("Roads"), 1);
    EXPECT_EQ(layer_current_get(text), 1);
    EXPECT_EQ(text, "Roads");

    double real = 0;
    EXPECT_EQ(sysvar_set_real("OFFSETDIST", 2.75), 1);
    EXPECT_EQ(sysvar_get_real("OFFSETDIST", real), 1);
    EXPECT_EQ(real, 2.75);
}

TEST_F(LibraryHost, ViewExtentsFromTheViewVariables)
{
    resbuf centre{}, screen{}, size{};
    ASSERT_EQ(acedGetVar("VIEWCTR", &centre), RTNORM);
    ASSERT_EQ(acedGetVar("SCREENSIZE", &screen), RTNORM);
    ASSERT_EQ(acedGetVar("VIEWSIZE", &size), RTNORM);
    // The view is VIEWSIZE high and as wide as the screen's proportions make it.
    const double height = size.resval.rreal;
    const double width = height * screen.resval.rpoint[X] / screen.resval.rpoint[Y];
    point3d_rec lower_left, upper_right;
    EXPECT_EQ(view_extents(lower_left, upper_right), 1);
    EXPECT_NEAR(upper_right.x - lower_left.x, width, 1e-9);
    EXPECT_NEAR(upper_right.y - lower_left.y, height, 1e-9);
    EXPECT_NEAR((upper_right.x + lower_left.x) / 2, centre.resval.rpoint[X], 1e-9);
    EXPECT_NEAR((upper_right.y + lower_left.y) / 2, centre.resval.rpoint[Y], 1e-9);
}

TEST_F(LibraryHost, FixedHeightStyleIsReportedAndItsWidthStillReturned)
{
    EXPECT_DOUBLE_EQ(style_current_width_factor(), 1.0);
    EXPECT_TRUE(session().transcript().alerts.empty());

    host::Drawing& drawing = session().current().drawing;
    host::Entity* style = drawing.get(drawing.find_record("STYLE", "Standard"));
    ASSERT_NE(style, nullptr);
    for (auto [code, value] : {std::pair{40, 2.5}, std::pair{41, 0.8}}) {
        if (host::Group* group = style->find(code))
            group->real = value;
        else
            style->groups.push_back(host::Group::of_real(code, value));
    }
    EXPECT_DOUBLE_EQ(style_current_width_factor(), 0.8);
    ASSERT_EQ(session().transcript().alerts.size(), 1u);
    EXPECT_EQ(session().transcript().alerts[0],
              "Current Text style Standard fixed height:2.500\ncommand: style =>set height 0.000");
}

TEST_F(LibraryHost, SelectionsByTypeAndLayer)
{
    ads_name ss;
    long length = -1;
    EXPECT_EQ(ss_all_type("LINE", ss, length), 0);  // nothing matches: no set to free
    EXPECT_EQ(length, 0);
    EXPECT_TRUE(ads_name_nil(ss));

    ads_point a = {0, 0, 0}, b = {10, 0, 0}, c = {0, 10, 0}, far_a = {100, 100, 0}, far_b = {110, 100, 0};
    ads_name l1, l2, l3, circle;
    line("Roads", a, b, l1);
    line("Lots", a, c, l2);
    line("Roads", far_a, far_b, l3);
    make(acutBuildList(RTDXF0, "CIRCLE", 8, "Stones", 10, b, 40, 0.7, 0), circle);

    EXPECT_EQ(ss_all_type("LINE", ss, length), 1);
    EXPECT_EQ(length, 3);
    acedSSFree(ss);
    EXPECT_EQ(ss_all_type_layer("LINE", "roads", ss, length), 1);  // layer matched without regard to case
    EXPECT_EQ(length, 2);
    acedSSFree(ss);
    EXPECT_EQ(ss_all_type_layer("LINE", "Stones", ss, length), 0);
    EXPECT_EQ(length, 0);

    // A crossing window around the origin catches the two lines there, not the far one.
    EXPECT_EQ(ss_crossing_type("LINE", point3d_rec{-1, -1, 0}, point3d_rec{1, 1, 0}, ss, length), 1);
    EXPECT_EQ(length, 2);
    acedSSFree(ss);

    // Verify keeps the entities of one type, named without regard to case.
    ads_name all, lines;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, all), RTNORM);
    session().transcript().clear();
    long count = 0;
    EXPECT_EQ(ss_verify_type(all, "line", lines, count), 1);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(session().transcript().text(), "\nVerify line ");
    acedSSFree(lines);
    EXPECT_EQ(ss_verify_type(all, "TEXT", lines, count), 0);
    EXPECT_EQ(count, 0);
    acedSSFree(all);

    EXPECT_TRUE(ent_is_type(circle, "circle"));
    EXPECT_FALSE(ent_is_type(circle, "LINE"));
}

TEST_F(LibraryHost, LwpolylineVerifyTotalsTheVertices)
{
    ads_point v[3] = {{0, 0, 0}, {5, 0, 0}, {5, 5, 0}};
    ads_name poly, l;
    make(acutBuildList(RTDXF0, "LWPOLYLINE", 100, "AcDbEntity", 100, "AcDbPolyline", 8, "0", 90, 3, 70, 0, 10,
                       v[0], 10, v[1], 10, v[2], 0),
         poly);
    make(acutBuildList(RTDXF0, "LWPOLYLINE", 100, "AcDbEntity", 100, "AcDbPolyline", 8, "0", 90, 2, 70, 0, 10,
                       v[0], 10, v[2], 0),
         poly);
    line("0", v[0], v[1], l);
    ads_name all, polys;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, all), RTNORM);
    long count = 0, vertices = 0;
    EXPECT_EQ(ss_verify_lwpolylines(all, polys, count, vertices), 1);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(vertices, 5);
    acedSSFree(polys);
    EXPECT_EQ(ss_verify_lines(all, polys, count), 1);
    EXPECT_EQ(count, 1);
    acedSSFree(polys);
    acedSSFree(all);
}

TEST_F(LibraryHost, ReadersBySetItemOrByName)
{
    ads_point a = {1, 2, 3}, b = {4, 5, 6}, centre = {7, 8, 9};
    ads_name l, circle, point, face, text;
    line("Roads", a, b, l);
    make(acutBuildList(RTDXF0, "CIRCLE", 8, "Stones", 10, centre, 40, 0.7, 0), circle);
    make(acutBuildList(RTDXF0, "POINT", 8, "Pts", 10, b, 0), point);
    ads_point f[4] = {{0, 0, 1}, {1, 0, 2}, {1, 1, 3}, {0, 1, 4}};
    make(acutBuildList(RTDXF0, "3DFACE", 8, "TIN", 10, f[0], 11, f[1], 12, f[2], 13, f[3], 0), face);
    make(acutBuildList(RTDXF0, "TEXT", 8, "Labels", 10, a, 40, 2.5, 1, "ABC", 50, 0.0, 0), text);

    // By name (index -1) and as a set item.
    point3d_rec s, e;
    EXPECT_EQ(ss_line_ends_pair(l, -1, s, e), 1);
    expect_point(s, 1, 2, 3);
    expect_point(e, 4, 5, 6);
    ads_name lines;
    long length = 0;
    ASSERT_EQ(ss_all_type("LINE", lines, length), 1);
    double x1, y1, z1, x2, y2, z2;
    EXPECT_EQ(ss_line_ends(lines, 0, x1, y1, z1, x2, y2, z2), 1);
    EXPECT_EQ(x1 + y1 + z1 + x2 + y2 + z2, 21.0);
    EXPECT_EQ(ss_line_ends(lines, 5, x1, y1, z1, x2, y2, z2), 0);  // past the end: cannot be named
    acedSSFree(lines);

    EXPECT_EQ(ss_circle_get(circle, -1, 1), 1);
    expect_point(circle_read.centre, 7, 8, 0);
    EXPECT_EQ(circle_read.layer, "Stones");
    EXPECT_EQ(circle_read.radius, 0.7);
    EXPECT_EQ(ss_circle_get(circle, -1, 0), 1);
    EXPECT_EQ(circle_read.centre.z, 9.0);
    EXPECT_EQ(ss_circle_get(l, -1, 0), 0);  // another type leaves the results alone
    EXPECT_EQ(circle_read.layer, "Stones");

    EXPECT_EQ(ss_point_get(point, -1, 0), 1);
    expect_point(point_read.location, 4, 5, 6);
    EXPECT_EQ(point_read.layer, "Pts");
    EXPECT_EQ(ss_point_get(l, -1, 1), 1);  // by name: no type test
    expect_point(point_read.location, 1, 2, 0);
    ads_name all;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, all), RTNORM);
    EXPECT_EQ(ss_point_get(all, 0, 1), 0);  // a set item must be a POINT
    acedSSFree(all);

    point3d_rec corners[4];
    std::string layer;
    EXPECT_EQ(ss_3dface_get(face, -1, corners, layer), 1);
    expect_point(corners[3], 0, 1, 4);
    EXPECT_EQ(layer, "TIN");
    EXPECT_EQ(ss_3dface_get(l, -1, corners, layer), 0);

    std::string got;
    EXPECT_EQ(ss_text_get_string(text, -1, 1, got), 1);
    EXPECT_EQ(got, "ABC");
    EXPECT_EQ(ss_text_get_string(text, -1, 8, got), 1);
    EXPECT_EQ(got, "Labels");
    EXPECT_EQ(ss_text_get_string(l, -1, 1, got), 0);

    point3d_rec p;
    EXPECT_EQ(ss_point_group_get(l, -1, 11, p), 1);
    expect_point(p, 4, 5, 6);
    EXPECT_EQ(ss_point_group_get(l, -1, 12, p), 0);
    EXPECT_EQ(ent_layer_get(l, got), 1);
    EXPECT_EQ(got, "Roads");
}

TEST_F(LibraryHost, TextRotationReadsAsABearing)
{
    const struct {
        double radians, bearing;
    } cases[] = {
        {0.0, 90.0},                // horizontal text: bearing 90
        {ORVIK_PI / 2, 0.0},        // 90 - 90
        {ORVIK_PI, 270.0},          // 90 - 180, plus 360
        {ORVIK_PI / 4, 45.0},       // 90 - 45
        {3 * ORVIK_PI / 2, 180.0},  // 90 - 270, plus 360
    };
    for (const auto& c : cases) {
        ads_point at = {0, 0, 0};
        ads_name text;
        make(acutBuildList(RTDXF0, "TEXT", 8, "0", 10, at, 40, 1.0, 1, "T", 50, c.radians, 0), text);
        double bearing = -1;
        EXPECT_EQ(ent_real_get(text, 50, bearing), 1);
        EXPECT_NEAR(bearing, c.bearing, 1e-9) << c.radians;
    }
}

TEST_F(LibraryHost, TextBoxCornersTurnWithTheText)
{
    // "ABC" at height 2.5, width factor 1: the host's box is (0, 0) to
    // (3 x 0.8 x 2.5, 2.5) = (6, 2.5) from the insertion point (10, 20).
    const double quarter = 1.5707963267948966;
    const struct {
        double rotation;
        point3d_rec upper_left, upper_right, lower_right;
        double degrees;
    } cases[] = {
        {0.0, {10, 22.5, 0}, {16, 22.5, 0}, {16, 20, 0}, 0.0},
        // turned a quarter anticlockwise: x along +y, y along -x
        {quarter, {7.5, 20, 0}, {7.5, 26, 0}, {10, 26, 0}, 90.0},
    };
    for (const auto& c : cases) {
        ads_point at = {10, 20, 0};
        ads_name text;
        make(acutBuildList(RTDXF0, "TEXT", 8, "0", 10, at, 40, 2.5, 41, 1.0, 1, "ABC", 50, c.rotation, 0),
             text);
        ASSERT_EQ(text_box_corners(text), 1);
        const point3d_rec expected[4] = {{10, 20, 0}, c.upper_left, c.upper_right, c.lower_right};
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(text_box_read.corners[i].x, expected[i].x, 1e-9) << "corner " << i + 1;
            EXPECT_NEAR(text_box_read.corners[i].y, expected[i].y, 1e-9) << "corner " << i + 1;
        }
        EXPECT_NEAR(text_box_read.rotation, c.degrees, 1e-6);
    }
}

TEST_F(LibraryHost, UserPicksAndSelectionsFilteredByType)
{
    ads_point a = {0, 0, 0}, b = {10, 0, 0}, c = {20, 0, 0}, far_a = {50, 50, 0}, far_b = {60, 50, 0};
    ads_name l1, l2, circle;
    line("0", a, b, l1);
    line("0", far_a, far_b, l2);
    make(acutBuildList(RTDXF0, "CIRCLE", 8, "0", 10, c, 40, 1.0, 0), circle);

    // A crossing window over everything, then Enter: only the LINEs are taken.
    session().set_input(host::script_input("C\n-5,-5\n70,70\n\n"));
    ads_name ss;
    long length = 0;
    EXPECT_EQ(ss_select_type("LINE", ss, length), 1);
    EXPECT_EQ(length, 2);
    acedSSFree(ss);
    session().set_input(host::script_input("C\n-5,-5\n70,70\n\n"));
    EXPECT_EQ(ss_select_type_layer("CIRCLE", "Other", ss, length), 0);  // nothing on that layer
    EXPECT_EQ(length, 0);

    // Picks: the wanted type, another type, empty space.
    session().set_input(host::script_input("5,0\n5,0\n30,30\n"));
    ads_name picked;
    point3d_rec at;
    EXPECT_EQ(ent_select_type("\nPick a line: ", "line", picked, at), 1);
    EXPECT_TRUE(ads_name_equal(picked, l1));
    expect_point(at, 5, 0, 0);
    EXPECT_EQ(ent_select_type_b("\nPick a text: ", "TEXT", picked, at), 2);
    EXPECT_EQ(ent_select_type("\nPick a line: ", "LINE", picked, at), 0);
}

}  // namespace
