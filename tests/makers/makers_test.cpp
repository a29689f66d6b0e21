// Entity makers, extended data and the pending text change, checked through the
// entities the host holds afterwards (read back with the public entity API).
// Expected rotations are worked with pi = 3.1415926535: degrees / 180 x pi.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "ads.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "host_fixture.h"
#include "prompts.h"
#include "session/session.h"
#include "text_modify.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

// One group of an entity list as a test reads it.
struct G {
    int code;
    std::string text;
    double real = 0;
    long integer = 0;
    point3d_rec point;
};

std::vector<G> groups_of(const resbuf* list)
{
    std::vector<G> out;
    for (const resbuf* n = list; n; n = n->rbnext) {
        G g{n->restype, ""};
        int c = n->restype;
        if ((c >= 0 && c <= 9) || c == 100 || c == 1000 || c == 1001 || c == 1003)
            g.text = n->resval.rstring ? n->resval.rstring : "";
        else if ((c >= 10 && c <= 19) || c == 210 || c == 1010)
            g.point = {n->resval.rpoint[0], n->resval.rpoint[1], n->resval.rpoint[2]};
        else if ((c >= 38 && c <= 59) || c == 1040 || c == 1041)
            g.real = n->resval.rreal;
        else if ((c >= 60 && c <= 79) || c == 1070)
            g.integer = n->resval.rint;
        else if ((c >= 90 && c <= 99) || c == 1071)
            g.integer = n->resval.rlong;
        out.push_back(g);
    }
    return out;
}

// The last entity's groups (with the application's extended data when named).
std::vector<G> last_entity(const char* app = nullptr)
{
    ads_name e;
    EXPECT_EQ(acdbEntLast(e), RTNORM);
    resbuf* apps = app ? acutBuildList(RTSTR, app, 0) : nullptr;
    resbuf* list = app ? acdbEntGetX(e, apps) : acdbEntGet(e);
    std::vector<G> gs = groups_of(list);
    acutRelRb(list);
    if (apps) acutRelRb(apps);
    return gs;
}

const G* find(const std::vector<G>& gs, int code)
{
    for (const G& g : gs)
        if (g.code == code) return &g;
    return nullptr;
}

int count_entities()
{
    ads_name e, next;
    if (acdbEntNext(nullptr, e) != RTNORM) return 0;
    int n = 1;
    while (acdbEntNext(e, next) == RTNORM) {
        ++n;
        ads_name_set(next, e);
    }
    return n;
}

class Makers : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        xdata_pending_clear();
        acdbRegApp("MAKERS_TEST");
    }
    std::string transcript() { return host::Session::get().transcript().text(); }
};

TEST_F(Makers, TextAndInsertRotationRules)
{
    struct Case {
        double bearing, text_radians;
    } cases[] = {
        {100, 6.108652381805555},  // 90 - 100 = -10, + 360 = 350 degrees
        {0, 1.57079632675},        // 90 degrees: text reads upward
        {90, 0.0},                 // ordinary horizontal text
        {270, 3.1415926535},       // 90 - 270 + 360 = 180
        {45, 0.785398163375},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(text_make({1, 2}, 2.5, 1.0, c.bearing, "T", "A"), RTNORM);
        EXPECT_NEAR(find(last_entity(), 50)->real, c.text_radians, 1e-12) << c.bearing;
        ASSERT_EQ(text_make_xdata({1, 2, 5}, 2.5, 1.0, c.bearing, "T", "A", "MAKERS_TEST"), RTNORM);
        EXPECT_NEAR(find(last_entity(), 50)->real, c.text_radians, 1e-12) << c.bearing;
        ASSERT_EQ(text_make_justified(1, {1, 2}, 2.5, 1.0, c.bearing, "T", "A", 1), RTNORM);
        EXPECT_NEAR(find(last_entity(), 50)->real, c.text_radians, 1e-12) << c.bearing;
        ASSERT_EQ(text_make_on_layer({1, 2}, 2.5, 1.0, c.bearing, "T", "A", 1), RTNORM);
        EXPECT_NEAR(find(last_entity(), 50)->real, c.text_radians, 1e-12) << c.bearing;
    }
    // An INSERT takes the angle itself: -30 becomes 330 degrees.
    EXPECT_NEAR(insert_rotation_rad(-30), 5.759586531416667, 1e-12);
    EXPECT_NEAR(insert_rotation_rad(10), 0.17453292519444444, 1e-12);
}

TEST_F(Makers, TextGroupsByEntityList)
{
    ASSERT_EQ(text_make({3, 4, 1}, 2.5, 0.8, 90, "LBL", "12.50"), RTNORM);
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "TEXT");
    EXPECT_EQ(find(gs, 8)->text, "LBL");
    EXPECT_EQ(find(gs, 1)->text, "12.50");
    EXPECT_EQ(find(gs, 72)->integer, 2);  // right-justified at the point
    EXPECT_NEAR(find(gs, 11)->point.x, 3, 1e-12);
    EXPECT_NEAR(find(gs, 40)->real, 2.5, 1e-12);
    EXPECT_NEAR(find(gs, 41)->real, 0.8, 1e-12);
    EXPECT_EQ(find(gs, 7)->text, "Standard");

    // The xdata text is made flat.
    ASSERT_EQ(text_make_xdata({3, 4, 9}, 2.5, 1, 90, "LBL", "x", "MAKERS_TEST"), RTNORM);
    EXPECT_EQ(find(last_entity(), 10)->point.z, 0);
}

TEST_F(Makers, PendingXdataInItsOrderAndConsumedOnce)
{
    xdata_pending_set_layer("LAY1");
    xdata_pending_set_dist(2.25);
    xdata_pending_set_int32(70000);
    xdata_pending_set_text("hello");
    xdata_pending_set_point({1, 2, 3});
    xdata_pending_set_int16(7);
    xdata_pending_set_real(1.5);
    ASSERT_EQ(point_make_xdata({5, 6, 7}, "PTS", "MAKERS_TEST"), 1);
    auto gs = last_entity("MAKERS_TEST");
    std::vector<int> codes;
    bool after = false;
    for (const G& g : gs) {
        if (g.code == 1001)
            after = true;
        else if (after)
            codes.push_back(g.code);
    }
    EXPECT_EQ(codes, (std::vector<int>{1040, 1070, 1010, 1000, 1071, 1041, 1003}));
    EXPECT_EQ(find(gs, 10)->point.z, 0);    // the POINT itself is flat
    EXPECT_EQ(find(gs, 1010)->point.z, 3);  // the xdata point keeps its z
    EXPECT_EQ(find(gs, 1071)->integer, 70000);
    EXPECT_EQ(find(gs, 1003)->text, "LAY1");

    // Set before the first text only: the second carries no items.
    xdata_pending_set_text("first");
    ASSERT_EQ(text_make_xdata({0, 0}, 1, 1, 90, "T", "one", "MAKERS_TEST"), RTNORM);
    EXPECT_NE(find(last_entity("MAKERS_TEST"), 1000), nullptr);
    ASSERT_EQ(text_make_xdata({0, 5}, 1, 1, 90, "T", "two", "MAKERS_TEST"), RTNORM);
    EXPECT_EQ(find(last_entity("MAKERS_TEST"), 1000), nullptr);

    // A maker that fails (application not registered) still clears the items.
    xdata_pending_set_int16(3);
    EXPECT_EQ(point_make_xdata({0, 0}, "PTS", "NOT_REGISTERED"), 0);
    EXPECT_NE(transcript().find("\nFailed creating xdata point"), std::string::npos);
    EXPECT_FALSE(xdata_pending().has_int16);
}

TEST_F(Makers, XdataAddAndRead)
{
    ASSERT_EQ(circle_make({0, 0}, 3, "C"), RTNORM);
    ads_name e;
    acdbEntLast(e);
    EXPECT_FALSE(ent_has_xdata(e, "MAKERS_TEST"));
    xdata_pending_set_int16(12);
    xdata_pending_set_text("lot 7");
    xdata_pending_set_real(99.5);
    xdata_pending_set_int32(123456);
    EXPECT_EQ(ent_xdata_add(e, "MAKERS_TEST"), 1);
    EXPECT_TRUE(ent_has_xdata(e, "MAKERS_TEST"));
    std::string text;
    EXPECT_EQ(ent_xdata_get_string(e, "MAKERS_TEST", text), 1);
    EXPECT_EQ(text, "lot 7");

    xdata_read_rec& r = xdata_read_state();
    r.want_int32 = true;
    r.want_text = true;
    xdata_read_requested(e, "MAKERS_TEST");
    EXPECT_TRUE(r.found_int32);
    EXPECT_EQ(r.int32, 123456);
    EXPECT_TRUE(r.found_text);
    EXPECT_EQ(r.text, "lot 7");
    EXPECT_TRUE(r.found_int16);  // always looked for
    EXPECT_EQ(r.int16, 12);
    EXPECT_FALSE(r.found_real);  // not requested
    EXPECT_FALSE(r.want_int32);  // requests are cleared
    EXPECT_FALSE(r.none_found);

    // Requested but absent: the found flag stays 0.
    ASSERT_EQ(line_make({0, 0}, {1, 1}, "L"), RTNORM);
    ads_name line;
    acdbEntLast(line);
    r.want_text = true;
    xdata_read_requested(line, "MAKERS_TEST");
    EXPECT_FALSE(r.found_text);
    EXPECT_TRUE(r.none_found);
    EXPECT_EQ(ent_xdata_get_string(line, "MAKERS_TEST", text), 0);

    // Adding to an entity that cannot be read fails with its message.
    ads_name gone;
    ads_name_set(line, gone);
    acdbEntDel(gone);
    EXPECT_EQ(ent_xdata_add(gone, "MAKERS_TEST"), RTERROR);
    EXPECT_NE(transcript().find("\nFailed adding xdata."), std::string::npos);
}

TEST_F(Makers, EachShapeOnce)
{
    ASSERT_EQ(line_make({0, 0, 1}, {10, 0, 2}, "L"), RTNORM);
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "LINE");
    EXPECT_EQ(find(gs, 11)->point.z, 2);
    ASSERT_EQ(circle_make({5, 5}, 2.5, "C"), RTNORM);
    EXPECT_NEAR(find(last_entity(), 40)->real, 2.5, 1e-12);
    ASSERT_EQ(point_make({1, 2, 3}, "P"), RTNORM);
    EXPECT_EQ(find(last_entity(), 10)->point.z, 3);

    // A 3DFACE is always a triangle: the fourth corner repeats the third.
    ASSERT_EQ(face3d_make({0, 0, 1}, {1, 0, 2}, {0, 1, 3}, {9, 9, 9}, "TIN"), RTNORM);
    gs = last_entity();
    EXPECT_EQ(find(gs, 12)->point.z, 3);
    EXPECT_EQ(find(gs, 13)->point.x, find(gs, 12)->point.x);
    EXPECT_EQ(find(gs, 13)->point.z, 3);
    ASSERT_EQ(face3d_make_b({0, 1, 3}, {0, 0, 1}, {1, 0, 2}, "TIN"), RTNORM);
    gs = last_entity();
    EXPECT_EQ(find(gs, 10)->point.z, 1);
    EXPECT_EQ(find(gs, 12)->point.z, 3);
    EXPECT_EQ(find(gs, 13)->point.z, 3);

    // A 3D polyline in three steps.
    EXPECT_EQ(polyline3d_make(0, {}, "P3"), 1);
    EXPECT_EQ(polyline3d_make(1, {0, 0, 1}, "P3"), 1);
    EXPECT_EQ(polyline3d_make(1, {5, 0, 2}, "P3"), 1);
    EXPECT_EQ(polyline3d_make(2, {}, "P3"), 1);
    gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "POLYLINE");
    EXPECT_EQ(find(gs, 70)->integer, 8);
    EXPECT_EQ(polyline2d_make(0, {}, "P2"), 1);
    EXPECT_EQ(polyline2d_make(1, {0, 0}, "P2"), 1);
    EXPECT_EQ(polyline2d_make(1, {3, 4}, "P2"), 1);
    EXPECT_EQ(polyline2d_make(2, {}, "P2"), 1);
    EXPECT_EQ(find(last_entity(), 8)->text, "P2");
}

TEST_F(Makers, LwpolyChainDiscardThenAdd)
{
    lwpoly_make({0, 0}, 1);
    lwpoly_make({5, 0}, 1);
    lwpoly_make({}, 3);  // discarded
    lwpoly_make({1, 1}, 1);
    EXPECT_EQ(lwpoly_chain().vertices.size(), 1u);  // a new chain with one vertex
    lwpoly_make({4, 1}, 1);
    lwpoly_make({4, 4}, 1);
    lwpoly_chain().layer = "CNT";
    lwpoly_chain().flags = 1;
    lwpoly_chain().width = 2;
    lwpoly_chain().elevation = 12.5;
    ASSERT_EQ(lwpoly_make({}, 2), 1);
    EXPECT_TRUE(lwpoly_chain().vertices.empty());
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "LWPOLYLINE");
    EXPECT_EQ(find(gs, 90)->integer, 3);
    EXPECT_EQ(find(gs, 70)->integer, 1);
    EXPECT_NEAR(find(gs, 43)->real, 2.0, 1e-12);
    EXPECT_NEAR(find(gs, 38)->real, 12.5, 1e-12);
    std::vector<double> xs;
    for (const G& g : gs)
        if (g.code == 10) xs.push_back(g.point.x);
    EXPECT_EQ(xs, (std::vector<double>{1, 4, 4}));
    // An empty chain makes nothing.
    int before = count_entities();
    EXPECT_EQ(lwpoly_make({}, 2), 0);
    EXPECT_EQ(count_entities(), before);
}

TEST_F(Makers, FieldChangeAndErase)
{
    ASSERT_EQ(circle_make({5, 5}, 2.5, "E"), RTNORM);
    ads_name c;
    acdbEntLast(c);
    ent_mod_pending_rec& p = ent_mod_pending();
    p = ent_mod_pending_rec{};
    p.kind = 2;
    p.code = 40;
    p.real = 7.25;
    EXPECT_EQ(ent_mod_apply(c), 1);
    EXPECT_NEAR(find(last_entity(), 40)->real, 7.25, 1e-12);
    p.kind = 3;
    p.code = 8;
    p.text = "MOVED";
    EXPECT_EQ(ent_mod_apply(c), 1);
    EXPECT_EQ(find(last_entity(), 8)->text, "MOVED");
    p.kind = 0;
    p.code = 62;  // absent from the list until now
    p.int16 = 3;
    EXPECT_EQ(ent_mod_apply(c), 1);
    EXPECT_EQ(find(last_entity(), 62)->integer, 3);
    EXPECT_EQ(p.ok_count, 3);
    p.kind = 5;
    EXPECT_EQ(ent_mod_apply(c), 0);

    // The same change per selection-set item.
    ent_list_builder filter;
    filter.type("CIRCLE");
    ads_name set;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, filter.list(), set), RTNORM);
    p.kind = 2;
    p.code = 40;
    p.real = 1.75;
    EXPECT_EQ(ss_ent_mod_apply(set, 0), 1);
    EXPECT_EQ(ss_ent_mod_apply(set, 3), 0);  // no such item
    acedSSFree(set);
    EXPECT_NEAR(find(last_entity(), 40)->real, 1.75, 1e-12);

    ASSERT_EQ(line_make({0, 0}, {1, 0}, "E"), RTNORM);
    ASSERT_EQ(point_make({0, 0}, "E"), RTNORM);
    ASSERT_EQ(point_make({0, 0}, "KEEP"), RTNORM);
    ss_erase_layer("E");
    ss_erase_layer("MOVED");
    EXPECT_EQ(count_entities(), 1);
    EXPECT_EQ(find(last_entity(), 8)->text, "KEEP");
}

TEST_F(Makers, FailedInsertLeavesTheLastEntity)
{
    // The user's own last entity must survive an "Insert" that makes nothing.
    ASSERT_EQ(line_make({0, 0}, {3, 3}, "USER"), RTNORM);
    std::string name;
    EXPECT_EQ(block_load_temp({1, 1}, "/no/such/folder/Grid_Arrow.dwg", name), 0);
    EXPECT_EQ(name, "Grid_Arrow");
    EXPECT_EQ(count_entities(), 1);
    EXPECT_EQ(find(last_entity(), 8)->text, "USER");
    EXPECT_EQ(block_insert("/no/such/folder/Grid_Arrow.dwg", {1, 1}, 0, 1000, ""), 0);
    EXPECT_EQ(count_entities(), 1);
    // An INSERT of a block the drawing lacks is refused, and said so.
    EXPECT_EQ(insert_make("NO_SUCH_BLOCK", {0, 0}, 0, 1000, "0"), 0);
    auto& alerts = host::Session::get().transcript().alerts;
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts.back(), "unable create Block\n");
}

TEST_F(Makers, BlockFromAFileInsertedOnce)
{
    ASSERT_EQ(line_make({0, 0}, {3, 3}, "USER"), RTNORM);
    const std::string file = std::string(ORVIK_INSTALL_TREE) + "/drawing/Grid_Arrow.dwg";
    if (!std::filesystem::exists(std::string(ORVIK_INSTALL_TREE) + "/drawing/Grid_Arrow.dwg"))
        GTEST_SKIP() << "the block drawing Grid_Arrow is not installed";
    ASSERT_EQ(block_insert(file, {5, 5}, 30, 500, ""), 1);
    EXPECT_NE(transcript().find("\nInsert Temporary block to put \nin block table before can use it."),
              std::string::npos);
    // The user's line and one INSERT: the temporary reference is gone.
    EXPECT_EQ(count_entities(), 2);
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "INSERT");
    EXPECT_EQ(find(gs, 2)->text, "Grid_Arrow");
    EXPECT_NEAR(find(gs, 41)->real, 0.5, 1e-12);  // plot scale 500 / 1000
    EXPECT_NEAR(find(gs, 42)->real, 0.5, 1e-12);
    EXPECT_NEAR(find(gs, 50)->real, 30 / 180.0 * 3.1415926535, 1e-12);
    resbuf* block = acdbTblSearch("BLOCK", "GRID_ARROW", 0);
    ASSERT_NE(block, nullptr);
    acutRelRb(block);

    // Known now: no second "Insert", and on the layer given.
    host::Session::get().transcript().clear();
    ASSERT_EQ(block_insert(file, {9, 9}, 0, 1000, "ARROWS"), 1);
    EXPECT_EQ(transcript().find("Insert Temporary"), std::string::npos);
    EXPECT_EQ(count_entities(), 3);
    EXPECT_EQ(find(last_entity(), 8)->text, "ARROWS");
}

std::string clayer()
{
    resbuf rb{};
    if (acedGetVar("CLAYER", &rb) != RTNORM) return "?";
    std::string name = rb.resval.rstring;
    free(rb.resval.rstring);
    return name;
}

TEST_F(Makers, TextsByTheHostsCommand)
{
    std::string former = clayer();
    ASSERT_EQ(text_make_cmd({5, 6}, 2.5, 0, "TBL", "Lot 1"), RTNORM);
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "TEXT");
    EXPECT_EQ(find(gs, 8)->text, "TBL");  // made on the layer, created for it
    EXPECT_EQ(find(gs, 1)->text, "Lot 1");
    EXPECT_EQ(find(gs, 72)->integer, 2);  // option "r"
    EXPECT_NEAR(find(gs, 11)->point.x, 5, 1e-9);
    EXPECT_NEAR(find(gs, 40)->real, 2.5, 1e-12);
    EXPECT_EQ(clayer(), former);  // the former layer is current again

    struct Case {
        int code, justify;
    } cases[] = {{1, 1}, {4, 4}};  // "c" and "m"
    for (const Case& c : cases) {
        ASSERT_EQ(text_make_justified(c.code, {1, 1}, 2, 1, 0, "JUST", "J", 0), RTNORM);
        EXPECT_EQ(find(last_entity(), 72)->integer, c.justify);
    }
    ASSERT_EQ(text_make_on_layer({2, 2}, 2, 1, 0, "LEFT", "L", 0), RTNORM);
    gs = last_entity();
    EXPECT_EQ(find(gs, 8)->text, "LEFT");
    EXPECT_TRUE(find(gs, 72) == nullptr || find(gs, 72)->integer == 0);

    // Another code by command only creates the layer.
    int before = count_entities();
    EXPECT_EQ(text_make_justified(2, {1, 1}, 2, 1, 0, "ONLY_LAYER", "J", 0), RTNORM);
    EXPECT_EQ(count_entities(), before);
    resbuf* layer = acdbTblSearch("LAYER", "ONLY_LAYER", 0);
    EXPECT_NE(layer, nullptr);
    acutRelRb(layer);

    // The command path takes a bearing, as the entity-list path does: -90 is
    // the bearing 270, toward the west, 180 degrees from the east.
    ASSERT_EQ(text_make_cmd({0, 0}, 1, -90, "TBL", "west"), RTNORM);
    EXPECT_NEAR(find(last_entity(), 50)->real, M_PI, 1e-9);
}

TEST_F(Makers, TextByCommandWithAFixedHeightStyle)
{
    // A style of fixed height 3: the host asks no height, so the maker leaves that
    // answer out and the angle and the text stay at their own prompts.
    host::Entity* style = drawing().get(drawing().find_record("STYLE", "Standard"));
    ASSERT_NE(style, nullptr);
    if (host::Group* height = style->find(40))
        height->real = 3.0;
    else
        style->groups.push_back(host::Group::of_real(40, 3.0));
    // The bearing 60 lies 30 degrees from the east.
    ASSERT_EQ(text_make_cmd({5, 6}, 2.5, 60, "TBL", "Lot 1"), RTNORM);
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 1)->text, "Lot 1");
    EXPECT_NEAR(find(gs, 40)->real, 3.0, 1e-12);
    EXPECT_NEAR(find(gs, 50)->real, 30 * M_PI / 180, 1e-9);
    // Right-justified at (5, 6): "Lot 1" is 0.8 x 5 x 3 = 12 wide, so 10 lies
    // 12 back along 30 degrees: (5 - 12 x 0.8660254037844386, 6 - 12 x 0.5).
    EXPECT_NEAR(find(gs, 10)->point.x, -5.392304845413264, 1e-9);
    EXPECT_NEAR(find(gs, 10)->point.y, 0.0, 1e-9);
    EXPECT_EQ(transcript().find("Text: "), std::string::npos) << transcript();

    ASSERT_EQ(text_make_justified(4, {0, 0}, 2.5, 1, 90, "TBL", "AB", 0), RTNORM);
    EXPECT_EQ(find(last_entity(), 1)->text, "AB");
    EXPECT_NEAR(find(last_entity(), 50)->real, 0.0, 1e-12);
}

TEST_F(Makers, TextBoxAgreesWithTheTextTheHostPlaced)
{
    // A middle-justified text drawn by the host's TEXT command at (50, 50), 30
    // degrees from the east (the bearing 60): the box measured through
    // acedTextBox has its middle there. "ABCD" at height 2 is 6.4 x 2, so 10 is
    // (50, 50) less (3.2, 1) turned by 30 degrees: (3.2 x 0.8660254 - 1 x 0.5,
    // 3.2 x 0.5 + 1 x 0.8660254).
    ASSERT_EQ(text_make_justified(4, {50, 50}, 2, 1, 60, "TX", "ABCD", 0), RTNORM);
    ads_name text;
    ASSERT_EQ(acdbEntLast(text), RTNORM);
    auto gs = last_entity();
    EXPECT_NEAR(find(gs, 10)->point.x, 50 - 2.2712812921102037, 1e-9);
    EXPECT_NEAR(find(gs, 10)->point.y, 50 - 2.4660254037844384, 1e-9);
    ASSERT_EQ(text_box_corners(text), 1);
    const point3d_rec& lower_left = text_box_read.corners[0];
    const point3d_rec& upper_right = text_box_read.corners[2];
    EXPECT_NEAR((lower_left.x + upper_right.x) / 2, 50, 1e-9);
    EXPECT_NEAR((lower_left.y + upper_right.y) / 2, 50, 1e-9);
    EXPECT_NEAR(text_box_read.rotation, 30, 1e-8);
}

TEST_F(Makers, DonutAndZoom)
{
    ASSERT_EQ(donut_make({3, 4}, 1.5), 1);
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "LWPOLYLINE");
    std::vector<point3d_rec> vertices;
    for (const G& g : gs)
        if (g.code == 10) vertices.push_back(g.point);
    ASSERT_EQ(vertices.size(), 2u);
    EXPECT_NEAR((vertices[0].x + vertices[1].x) / 2, 3, 1e-9);  // centred on (3, 4)
    EXPECT_NEAR((vertices[0].y + vertices[1].y) / 2, 4, 1e-9);

    EXPECT_EQ(zoom_window({0, 0}, {100, 50}), 1);
    resbuf centre{};
    ASSERT_EQ(acedGetVar("VIEWCTR", &centre), RTNORM);
    EXPECT_NEAR(centre.resval.rpoint[0], 50, 1e-9);
    EXPECT_NEAR(centre.resval.rpoint[1], 25, 1e-9);
}

TEST_F(Makers, SolidHatchInSteps)
{
    EXPECT_EQ(hatch_make(1, "H", {0, 0}, {1, 0}, 0, 0), 0);  // no hatch started
    auto& alerts = host::Session::get().transcript().alerts;
    ASSERT_FALSE(alerts.empty());
    EXPECT_EQ(alerts.back(), "failed build hatch_list");
    point3d_rec square[] = {{0, 0}, {4, 0}, {4, 4}, {0, 4}};
    ASSERT_EQ(hatch_make(0, "H", {}, {}, 4, 3), 1);
    for (int i = 0; i < 4; ++i) ASSERT_EQ(hatch_make(1, "H", square[i], square[(i + 1) % 4], 0, 0), 1);
    ASSERT_EQ(hatch_make(2, "H", {2, 2}, {}, 0, 0), 1);
    auto gs = last_entity();
    EXPECT_EQ(find(gs, 0)->text, "HATCH");
    EXPECT_EQ(find(gs, 2)->text, "SOLID");
    EXPECT_EQ(find(gs, 62)->integer, 3);
    EXPECT_EQ(find(gs, 93)->integer, 4);
}

// ---- the pending text change ---------------------------------------------------------

class TextChange : public Makers {
protected:
    // A left-justified text "ABCD" at (10, 20), height 2: its box is 6.4 x 2 by
    // the host's font model (0.8 x height per glyph).
    void make_text(double bearing = 90)
    {
        ASSERT_EQ(text_make_on_layer({10, 20}, 2, 1, bearing, "TX", "ABCD", 1), RTNORM);
        acdbEntLast(text_);
    }
    ads_name text_;
};

TEST_F(TextChange, EachModeWritesItsGroup)
{
    struct Case {
        int mode;
        std::string text;
        double real;
        int colour;
        int code;  // the group that changes
        std::string want_text;
        double want_real;
    } cases[] = {
        {1, "NEW", 0, 0, 1, "NEW", 0},
        {2, "", 3.5, 0, 40, "", 3.5},
        {11, "", 0.75, 0, 41, "", 0.75},
        {8, "", 0, 3, 62, "", 3},
        {12, "NEWLAYER", 0, 0, 8, "NEWLAYER", 0},
        {9, "Standard", 0, 0, 7, "Standard", 0},
        {3, "", 100, 0, 50, "", 6.108652381805555},    // bearing 100: 350 degrees
        {10, "", 80, 0, 51, "", 0.17453292519444444},  // bearing 80: 10 degrees
    };
    for (const Case& c : cases) {
        make_text();
        text_modify_set(c.mode, c.text, c.real, c.colour);
        int ok_before = text_modify_pending().ok_count;
        EXPECT_EQ(text_modify_apply(text_), 1) << c.mode;
        EXPECT_EQ(text_modify_pending().ok_count, ok_before + 1);
        auto gs = last_entity();
        const G* g = find(gs, c.code);
        ASSERT_NE(g, nullptr) << c.mode;
        if (!c.want_text.empty())
            EXPECT_EQ(g->text, c.want_text) << c.mode;
        else if (c.code == 62)
            EXPECT_EQ(g->integer, 3);
        else
            EXPECT_NEAR(g->real, c.want_real, 1e-12) << c.mode;
    }
}

TEST_F(TextChange, ModesThatChangeNothing)
{
    make_text();
    auto before = last_entity();
    for (int mode : {0, 13}) {  // written back unchanged, and counted
        text_modify_set(mode, "zzz", 9, 9);
        int ok = text_modify_pending().ok_count;
        EXPECT_EQ(text_modify_apply(text_), 1);
        EXPECT_EQ(text_modify_pending().ok_count, ok + 1);
        EXPECT_EQ(find(last_entity(), 1)->text, "ABCD");
    }
    for (int mode : {4, 5, 6}) {  // nothing at all, not even counted
        text_modify_set(mode, "zzz", 9, 9);
        int ok = text_modify_pending().ok_count, failed = text_modify_pending().fail_count;
        EXPECT_EQ(text_modify_apply(text_), 1);
        EXPECT_EQ(text_modify_pending().ok_count, ok);
        EXPECT_EQ(text_modify_pending().fail_count, failed);
    }
    // A style the drawing lacks: the host refuses, and the change says so.
    text_modify_set(9, "NO_SUCH_STYLE", 0, 0);
    int failed = text_modify_pending().fail_count;
    EXPECT_EQ(text_modify_apply(text_), 0);
    EXPECT_EQ(text_modify_pending().fail_count, failed + 1);
    EXPECT_EQ(find(last_entity(), 7)->text, "Standard");
}

TEST_F(TextChange, ModeSevenMovesToTheMiddle)
{
    struct Case {
        double bearing;
        double mx, my;  // 10 + the box's half turned by the rotation
    } cases[] = {
        {90, 13.2, 21.0},                            // rotation 0: (10 + 6.4 / 2, 20 + 2 / 2)
        {0, 9.000000000143668, 23.200000000044895},  // rotation 90: (10 - 1, 20 + 3.2)
    };
    for (const Case& c : cases) {
        make_text(c.bearing);
        text_modify_set(7, "", 0, 0);
        int ok = text_modify_pending().ok_count;
        EXPECT_EQ(text_modify_apply(text_), 1);
        EXPECT_EQ(text_modify_pending().ok_count, ok);  // mode 7 is not counted
        auto gs = last_entity();
        EXPECT_EQ(find(gs, 72)->integer, 4);
        EXPECT_NEAR(find(gs, 11)->point.x, c.mx, 1e-9);
        EXPECT_NEAR(find(gs, 11)->point.y, c.my, 1e-9);
        // The text stays where it was drawn.
        EXPECT_NEAR(find(gs, 10)->point.x, 10, 1e-9);
        EXPECT_NEAR(find(gs, 10)->point.y, 20, 1e-9);
        // Already middle-justified: 0 and nothing changes.
        EXPECT_EQ(text_modify_apply(text_), 0);
    }
}

TEST_F(TextChange, PerSelectionItem)
{
    make_text();
    make_text();
    ent_list_builder filter;
    filter.type("TEXT");
    ads_name set;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, filter.list(), set), RTNORM);
    text_modify_set(2, "", 4.0, 0);
    EXPECT_EQ(ss_text_modify(set, 0), 1);
    EXPECT_EQ(ss_text_modify(set, 1), 1);
    EXPECT_EQ(ss_text_modify(set, 5), 0);  // no such item
    acedSSFree(set);
    EXPECT_NEAR(find(last_entity(), 40)->real, 4.0, 1e-12);
}

}  // namespace
