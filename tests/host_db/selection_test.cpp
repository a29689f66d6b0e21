// Selection sets: filters, window/crossing/fence geometry, the user's selection
// through the input, the set registry and picks.
#include "db/selection.h"

#include <array>
#include <cmath>

#include "db_test.h"

namespace {

class Selection : public DbTest {
protected:
    // The ids of a set (freed afterwards); empty with the status when none was made.
    std::vector<long> select(const char* mode, const void* p1, const void* p2, resbuf* filter,
                             int* status = nullptr)
    {
        ads_name ss = {0, 0};
        const size_t open_before = host::selection_sets_open();
        const int result = acedSSGet(mode, p1, p2, filter, ss);
        if (filter) acutRelRb(filter);
        if (status) *status = result;
        std::vector<long> ids;
        if (result != RTNORM) {
            EXPECT_EQ(host::selection_sets_open(), open_before) << "a failed selection made a set";
            return ids;
        }
        long length = 0;
        EXPECT_EQ(acedSSLength(ss, &length), RTNORM);
        for (long i = 0; i < length; ++i) {
            ads_name e;
            EXPECT_EQ(acedSSName(ss, i, e), RTNORM);
            ids.push_back(e[0]);
        }
        ads_name past;
        EXPECT_EQ(acedSSName(ss, length, past), RTERROR);
        EXPECT_EQ(acedSSFree(ss), RTNORM);
        return ids;
    }
};

TEST(Wildcards, MatchTable)
{
    struct Case {
        const char* text;
        const char* pattern;
        bool match;
    };
    const Case cases[] = {
        {"TREE1", "TREE*", true},
        {"tree_2", "TREE*", true},
        {"TRE", "TREE*", false},
        {"LINE", "line", true},
        {"LWPOLYLINE", "LINE", false},
        {"TREE1", "tree#", true},
        {"TREE_", "tree#", false},
        {"ARAS-P", "ARAS?P", true},
        {"ARAS-P", "@@@@.@", true},
        {"ARAS5P", "@@@@.@", false},
        {"CIRCLE", "LINE,CIRCLE", true},
        {"ARC", "LINE,CIRCLE", false},
        {"ROAD", "~TREE*", true},
        {"TREE9", "~TREE*", false},
        {"B", "[A-C]", true},
        {"d", "[A-C]", false},
        {"d", "[~A-C]", true},
        {"A*B", "A`*B", true},
        {"AXB", "A`*B", false},
        {"A,B", "A`,B", true},
        {"", "*", true},
        {"", "", true},
        {"X", "", false},
        {"ZT-12", "ZT-*", true},
        {"abc", "*b*", true},
        {"abc", "?b?", true},
        {"abcd", "?b?", false},
        // Plain names, compared without regard to case.
        {"tin", "TIN", true},
        {"TIN2", "TIN", false},
        {"TI", "TIN", false},
        {"CONTOUR-MINOR", "contour-minor", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(host::wildcard_match(c.text, c.pattern), c.match) << c.text << " ~ " << c.pattern;
}

TEST_F(Selection, FiltersOnTypeLayerColourAndXData)
{
    ASSERT_EQ(acdbRegApp("MARKX"), RTNORM);
    const long l1 = line("TREE1", 0, 0, 1, 0);
    const long l2 = line("tree_2", 0, 1, 1, 1);
    const long t1 = text("TREE1", 5, 5, 1.0, 0.0, "T");
    const long p1 = point("ARAS-P", 3, 3);
    ads_point c = {9, 9, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "CIRCLE", 10, c, 40, 1.0, 62, 1, -3, 1001, "MARKX", 1000, "m", 0)),
              RTNORM);
    const long c1 = last();

    struct Case {
        const char* what;
        resbuf* filter;
        std::vector<long> expected;
    };
    const Case cases[] = {
        {"type", acutBuildList(RTDXF0, "LINE", 0), {l1, l2}},
        {"layer wildcard", acutBuildList(8, "TREE*", 0), {l1, l2, t1}},
        {"type and layer digit", acutBuildList(RTDXF0, "line", 8, "tree#", 0), {l1}},
        {"layer negated", acutBuildList(8, "~TREE*", 0), {p1, c1}},
        {"alternatives", acutBuildList(RTDXF0, "CIRCLE,POINT", 0), {p1, c1}},
        {"or", acutBuildList(-4, "<OR", RTDXF0, "TEXT", RTDXF0, "POINT", -4, "OR>", 0), {t1, p1}},
        {"and not",
         acutBuildList(-4, "<and", RTDXF0, "LINE", -4, "<not", 8, "TREE_2", -4, "not>", -4, "and>", 0),
         {l1}},
        {"nested",
         acutBuildList(-4, "<or", -4, "<and", RTDXF0, "TEXT", 8, "TREE*", -4, "and>", -4, "<and", RTDXF0,
                       "POINT", 8, "ARAS*", -4, "and>", -4, "or>", 0),
         {t1, p1}},
        {"colour", acutBuildList(62, 1, 0), {c1}},
        {"bylayer colour", acutBuildList(RTDXF0, "LINE", 62, 256, 0), {l1, l2}},
        {"relational", acutBuildList(RTDXF0, "CIRCLE", -4, ">=", 40, 1.0, 0), {c1}},
        {"xdata", acutBuildList(-3, 1001, "MARKX", 0), {c1}},
        {"xdata wildcard", acutBuildList(RTDXF0, "CIRCLE", -3, 1001, "MARK*", 0), {c1}},
    };
    for (const Case& k : cases) EXPECT_EQ(select("X", nullptr, nullptr, k.filter), k.expected) << k.what;

    int status = 0;
    EXPECT_TRUE(select("X", nullptr, nullptr, acutBuildList(RTDXF0, "HATCH", 0), &status).empty());
    EXPECT_EQ(status, RTERROR);
    EXPECT_TRUE(select("X", nullptr, nullptr, acutBuildList(-4, "<OR", RTDXF0, "LINE", 0), &status).empty());
    EXPECT_EQ(status, RTERROR);  // an unclosed group
    EXPECT_TRUE(select("X", nullptr, nullptr, acutBuildList(-3, 1001, "NOBODY", 0), &status).empty());
    EXPECT_EQ(status, RTERROR);
}

TEST_F(Selection, AllIncludesFrozenAndOffLayersButNotErasedEntities)
{
    const long a = line("Shown", 0, 0, 1, 0);
    const long b = line("Hidden", 0, 0, 1, 0);
    const long c = line("Shown", 0, 0, 2, 0);
    ads_name layer;
    ASSERT_EQ(acdbTblObjName("LAYER", "Hidden", layer), RTNORM);
    ASSERT_EQ(modify(acutBuildList(-1, layer, 70, 1, 62, -7, 0)), RTNORM);
    ads_name ec = {c, 0};
    ASSERT_EQ(acdbEntDel(ec), RTNORM);
    EXPECT_EQ(select("X", nullptr, nullptr, nullptr), (std::vector<long>{a, b}));
    // A window sees only what is shown.
    ads_point p1 = {-1, -1, 0}, p2 = {5, 5, 0};
    EXPECT_EQ(select("W", p1, p2, nullptr), (std::vector<long>{a}));
}

// A filter of types alone judges an entity without reading its groups; it
// must pick what a filter that reads them picks (here with a test that every
// entity passes): the user's "ALL" leaves out erased entities, those on
// layers off or frozen (also "0", for an entity naming none), a polyline's
// vertices and a block's own entities, kept packed or whole alike.
TEST_F(Selection, ATypeFilterAgreesWithAFilterThatReadsTheGroups)
{
    std::vector<long> made;
    for (int k = 0; k < 12; ++k) {
        const char* layers[] = {"Shown", "Off", "Frozen", "0"};
        made.push_back(line(layers[k % 4], k, 0, k + 1, 0));
        made.push_back(point(layers[(k + 1) % 4], k, 5));
        made.push_back(text(layers[(k + 2) % 4], k, 9, 1.0, 0.0, "T"));
    }
    ads_point a = {0, 0, 0}, b = {3, 4, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 10, a, 0)), RTNORM);  // on no layer named
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POLYLINE", 8, "Shown", 66, 1, 70, 0, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "VERTEX", 8, "Shown", 10, a, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "VERTEX", 8, "Shown", 10, b, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "SEQEND", 8, "Shown", 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "BLOCK", 2, "MARK", 70, 0, 10, a, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 8, "Shown", 10, b, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "ENDBLK", 0)), RTNORM);
    // As a drawing file brings them: a block's own entity and a polyline's vertex, kept packed.
    host::Drawing& d = drawing();
    ads_name block;
    ASSERT_EQ(acdbTblObjName("BLOCK", "MARK", block), RTNORM);
    d.add({.type = "LINE",
           .groups = {host::Group::of_text(8, "Shown"), host::Group::of_point(10, {1, 1, 0}),
                      host::Group::of_point(11, {2, 2, 0})}},
          block[0]);
    d.add({.type = "VERTEX",
           .groups = {host::Group::of_text(8, "Shown"), host::Group::of_point(10, {5, 5, 0})},
           .parent = made.back()});
    for (size_t k = 0; k < made.size(); k += 5) {
        ads_name e = {made[k], 0};
        ASSERT_EQ(acdbEntDel(e), RTNORM);
    }
    for (size_t k = 1; k < made.size(); k += 3) d.store.whole(made[k]);  // some kept whole
    ads_name off, frozen;
    ASSERT_EQ(acdbTblObjName("LAYER", "Off", off), RTNORM);
    ASSERT_EQ(acdbTblObjName("LAYER", "Frozen", frozen), RTNORM);
    ASSERT_EQ(modify(acutBuildList(-1, off, 62, -7, 0)), RTNORM);
    ASSERT_EQ(modify(acutBuildList(-1, frozen, 70, 1, 0)), RTNORM);

    for (const char* types : {"LINE,POINT,VERTEX,SEQEND", "POINT", "*", "~TEXT"}) {
        for (const char* layer_zero : {"shown", "off"}) {
            ads_name zero;
            ASSERT_EQ(acdbTblObjName("LAYER", "0", zero), RTNORM);
            ASSERT_EQ(modify(acutBuildList(-1, zero, 62, std::string(layer_zero) == "off" ? -7 : 7, 0)),
                      RTNORM);
            answers("ALL\n\n");
            const std::vector<long> by_type =
                select(nullptr, nullptr, nullptr, acutBuildList(RTDXF0, types, 0));
            answers("ALL\n\n");
            const std::vector<long> by_groups =
                select(nullptr, nullptr, nullptr,
                       acutBuildList(RTDXF0, types, -4, "<NOT", 8, "NO_SUCH_LAYER", -4, "NOT>", 0));
            EXPECT_EQ(by_type, by_groups) << types << ", layer 0 " << layer_zero;
            EXPECT_FALSE(by_type.empty()) << types;
            const std::vector<long> x = select("X", nullptr, nullptr, acutBuildList(RTDXF0, types, 0));
            const std::vector<long> x_by_groups =
                select("X", nullptr, nullptr,
                       acutBuildList(RTDXF0, types, -4, "<NOT", 8, "NO_SUCH_LAYER", -4, "NOT>", 0));
            EXPECT_EQ(x, x_by_groups) << types << ", layer 0 " << layer_zero;
            EXPECT_GT(x.size(), by_type.size()) << types;  // "X" sees the hidden layers too
        }
    }
}

TEST_F(Selection, WindowCrossingAndFenceAreExact)
{
    const long ln = line("0", 0, 0, 10, 0);
    const long ci = circle("0", 50, 50, 5);
    const long tx = text("0", 100, 100, 2.0, 0.0, "AB");     // box (100,100)-(103.2,102)
    const long tr = text("0", 200, 0, 2.0, M_PI / 2, "AB");  // box (198,0)-(200,3.2)
    ads_point v[4] = {{20, 0, 0}, {30, 0, 0}, {30, 10, 0}, {20, 10, 0}};
    ASSERT_EQ(
        make(acutBuildList(RTDXF0, "LWPOLYLINE", 90, 4, 70, 1, 10, v[0], 10, v[1], 10, v[2], 10, v[3], 0)),
        RTNORM);
    const long closed = last();
    ASSERT_EQ(
        make(acutBuildList(RTDXF0, "LWPOLYLINE", 90, 4, 70, 0, 10, v[0], 10, v[1], 10, v[2], 10, v[3], 0)),
        RTNORM);
    const long open = last();
    ads_point f1 = {300, 0, 0}, f2 = {310, 0, 0}, f3 = {305, 8, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "3DFACE", 10, f1, 11, f2, 12, f3, 13, f3, 0)), RTNORM);
    const long face = last();

    struct Box {
        const char* what;
        const char* mode;
        ads_point a, b;
        std::vector<long> expected;
    };
    const Box boxes[] = {
        {"line on the window's edge", "W", {-1, -1, 0}, {10, 1, 0}, {ln}},
        {"line just out of the window", "W", {-1, -1, 0}, {9.999, 1, 0}, {}},
        {"crossing its end", "C", {9.999, -1, 0}, {19.9, 1, 0}, {ln}},
        {"crossing short of its end", "C", {10.001, -1, 0}, {19.9, 1, 0}, {}},
        {"zero-width crossing", "C", {5, -1, 0}, {5, 1, 0}, {ln}},
        {"zero-height crossing", "C", {5, 0, 0}, {6, 0, 0}, {ln}},
        {"circle in a window", "W", {45, 45, 0}, {55, 55, 0}, {ci}},
        {"circle larger than the window", "W", {45.001, 45, 0}, {55, 55, 0}, {}},
        {"window inside the circle", "C", {49, 49, 0}, {51, 51, 0}, {}},
        {"window on the circle", "C", {54, 49, 0}, {56, 51, 0}, {ci}},
        {"window inside a text box", "C", {101, 101, 0}, {101.5, 101.5, 0}, {tx}},
        {"text box in a window", "W", {99.9, 99.9, 0}, {103.3, 102.1, 0}, {tx}},
        {"text box wider than the window", "W", {99.9, 99.9, 0}, {103.1, 102.1, 0}, {}},
        {"turned text", "W", {197.9, -0.1, 0}, {200.1, 3.3, 0}, {tr}},
        {"turned text cut", "W", {198.5, -0.1, 0}, {200.1, 3.3, 0}, {}},
        {"inside the square", "C", {24, 4, 0}, {26, 6, 0}, {}},
        {"face corner", "C", {304, 7, 0}, {306, 9, 0}, {face}},
        {"everything", "W", {-1000, -1000, 0}, {1000, 1000, 0}, {ln, ci, tx, tr, closed, open, face}},
    };
    for (const Box& b : boxes) EXPECT_EQ(select(b.mode, b.a, b.b, nullptr), b.expected) << b.what;

    struct Fence {
        const char* what;
        std::vector<host::Point3> points;
        std::vector<long> expected;
    };
    const Fence fences[] = {
        {"across the line", {{0, 5, 0}, {5, -5, 0}}, {ln}},
        {"past the line's end", {{11, 5, 0}, {11, -5, 0}}, {}},
        {"the closing edge only", {{19, 5, 0}, {20.5, 5, 0}}, {closed}},
        {"through the circle's hole", {{48, 50, 0}, {52, 50, 0}}, {}},
        {"into the circle", {{48, 50, 0}, {56, 50, 0}}, {ci}},
        {"bent fence", {{-5, 20, 0}, {25, 20, 0}, {25, -5, 0}}, {closed, open}},
    };
    for (const Fence& f : fences) {
        resbuf* list = nullptr;
        for (auto it = f.points.rbegin(); it != f.points.rend(); ++it) {
            ads_point p = {it->x, it->y, it->z};
            resbuf* node = acutBuildList(RT3DPOINT, p, 0);
            node->rbnext = list;
            list = node;
        }
        EXPECT_EQ(select("F", list, nullptr, nullptr), f.expected) << f.what;
        acutRelRb(list);
    }
}

TEST_F(Selection, OldStylePolylinesAndHatchesAreSelectedByTheirOutlines)
{
    ads_point v1 = {0, 0, 5}, v2 = {10, 0, 6}, v3 = {10, 10, 7};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POLYLINE", 66, 1, 70, 8, 0)), RTNORM);
    for (ads_real* v : {v1, v2, v3})
        ASSERT_EQ(make(acutBuildList(RTDXF0, "VERTEX", 10, v, 70, 32, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "SEQEND", 0)), RTNORM);
    const long poly = last();

    // A solid hatch with one polyline path: the square (50,0)-(60,10).
    ads_point o = {0, 0, 0}, z = {0, 0, 1}, h1 = {50, 0, 0}, h2 = {60, 0, 0}, h3 = {60, 10, 0},
              h4 = {50, 10, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "HATCH", 100, "AcDbEntity", 100, "AcDbHatch", 10, o, 210, z, 2,
                                 "SOLID", 70, 1, 71, 0, 91, 1, 92, 2, 72, 0, 73, 1, 93, 4, 10, h1, 10, h2, 10,
                                 h3, 10, h4, 97, 0, 75, 0, 76, 1, 98, 1, 10, h1, 0)),
              RTNORM);
    const long hatch = last();

    ads_point a = {9, 9, 0}, b = {11, 11, 0};
    EXPECT_EQ(select("C", a, b, nullptr), (std::vector<long>{poly}));
    ads_point c = {55, 5, 0}, d = {56, 6, 0};
    EXPECT_EQ(select("C", c, d, nullptr), (std::vector<long>{hatch}));  // inside the solid fill
    ads_point e = {49, -1, 0}, f = {61, 11, 0};
    EXPECT_EQ(select("W", e, f, nullptr), (std::vector<long>{hatch}));
    EXPECT_EQ(select("X", nullptr, nullptr, acutBuildList(RTDXF0, "VERTEX", 0)), std::vector<long>{});
}

TEST_F(Selection, LwpolylineArcsAreFollowed)
{
    // A donut's outline: two vertices with bulge 1, the circle of radius 1 about (100, 100).
    ads_point a = {99, 100, 0}, b = {101, 100, 0};
    ASSERT_EQ(
        make(acutBuildList(RTDXF0, "LWPOLYLINE", 90, 2, 70, 1, 43, 0.5, 10, a, 42, 1.0, 10, b, 42, 1.0, 0)),
        RTNORM);
    const long donut = last();
    ads_point top1 = {99.9, 100.9, 0}, top2 = {100.1, 101.1, 0};
    EXPECT_EQ(select("C", top1, top2, nullptr), std::vector<long>{donut});  // the top of the circle
    ads_point flat1 = {98.9, 99.5, 0}, flat2 = {101.1, 100.5, 0};
    EXPECT_EQ(select("W", flat1, flat2, nullptr), std::vector<long>{});  // holds the vertices, not the arcs
    ads_point all1 = {98.99, 98.99, 0}, all2 = {101.01, 101.01, 0};
    EXPECT_EQ(select("W", all1, all2, nullptr), std::vector<long>{donut});
    // The lower arc runs through (100, 99): positive bulges turn counter-clockwise.
    EXPECT_EQ(host::entity_at_point(drawing(), {100, 99.001, 0}, 0.01), donut);
    EXPECT_EQ(host::entity_at_point(drawing(), {100, 100, 0}, 0.01), 0);
}

TEST_F(Selection, SetsAreLimitedAndFreedNamesAreRefused)
{
    const long a = line("0", 0, 0, 1, 0);
    const long b = line("0", 0, 1, 1, 1);
    std::vector<std::array<long, 2>> sets;
    ads_name ea = {a, 0};
    for (size_t i = host::selection_sets_open(); i < host::kMaxSelectionSets; ++i) {
        ads_name ss;
        ASSERT_EQ(acedSSAdd(ea, nullptr, ss), RTNORM);
        sets.push_back({ss[0], ss[1]});
    }
    ads_name one_too_many;
    EXPECT_EQ(acedSSAdd(ea, nullptr, one_too_many), RTERROR);
    EXPECT_NE(session().transcript().text().find("Too many selection sets"), std::string::npos);
    ads_name x;
    EXPECT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, x), RTERROR);

    for (auto& s : sets) {
        ads_name ss = {s[0], s[1]};
        EXPECT_EQ(acedSSFree(ss), RTNORM);
    }
    ads_name first = {sets[0][0], sets[0][1]};
    long length = -1;
    EXPECT_EQ(acedSSFree(first), RTERROR);
    EXPECT_EQ(acedSSLength(first, &length), RTERROR);
    ads_name never = {123456789, 0};
    EXPECT_EQ(acedSSFree(never), RTERROR);

    // Adding to a set, removing from it.
    ads_name ss, same;
    ASSERT_EQ(acedSSAdd(nullptr, nullptr, ss), RTNORM);
    ads_name eb = {b, 0};
    ASSERT_EQ(acedSSAdd(eb, ss, same), RTNORM);
    ASSERT_EQ(acedSSAdd(ea, ss, same), RTNORM);
    ASSERT_EQ(acedSSAdd(eb, ss, same), RTNORM);  // already there
    EXPECT_TRUE(ads_name_equal(ss, same));
    ASSERT_EQ(acedSSLength(ss, &length), RTNORM);
    EXPECT_EQ(length, 2);
    EXPECT_EQ(acedSSDel(eb, ss), RTNORM);
    EXPECT_EQ(acedSSDel(eb, ss), RTERROR);
    ads_name item;
    ASSERT_EQ(acedSSName(ss, 0, item), RTNORM);
    EXPECT_EQ(item[0], a);
    EXPECT_EQ(acedSSFree(ss), RTNORM);
}

TEST_F(Selection, UserSelectionThroughTheInput)
{
    const long a = line("0", 0, 0, 10, 0);
    const long b = line("0", 0, 5, 10, 5);
    const long c = circle("0", 30, 30, 2);
    const long hidden = line("Off", 0, 2, 10, 2);
    ads_name layer;
    ASSERT_EQ(acdbTblObjName("LAYER", "Off", layer), RTNORM);
    ASSERT_EQ(modify(acutBuildList(-1, layer, 62, -7, 0)), RTNORM);

    // A pick on a, a pick that misses, a pick on the hidden line, a crossing
    // window over b and the hidden line, then the end.
    answers("5,0\n70,70\n5,2\nC\n-1,4\n11,6\nW\n27,27\n33,33\n\n");
    EXPECT_EQ(select(nullptr, nullptr, nullptr, nullptr), (std::vector<long>{a, b, c}));
    EXPECT_NE(session().transcript().text().find("Select objects: "), std::string::npos);
    (void)hidden;

    // "P" gives the previous selection again, filtered.
    answers("P\n\n");
    EXPECT_EQ(select(nullptr, nullptr, nullptr, acutBuildList(RTDXF0, "LINE", 0)), (std::vector<long>{a, b}));
    EXPECT_EQ(select("P", nullptr, nullptr, nullptr), (std::vector<long>{a, b}));

    // A filter keeps out what it does not match; a fence; "L" the last entity.
    answers("F\n5,-1\n5,6\n\nL\n\n");
    EXPECT_EQ(select(nullptr, nullptr, nullptr, acutBuildList(RTDXF0, "LINE", 0)), (std::vector<long>{a, b}));

    // Esc cancels: no set.
    answers("5,0\n^C\n");
    int status = 0;
    EXPECT_TRUE(select(nullptr, nullptr, nullptr, nullptr, &status).empty());
    EXPECT_EQ(status, RTCAN);

    // Nothing chosen: RTERROR and no set.
    answers("\n");
    EXPECT_TRUE(select(nullptr, nullptr, nullptr, nullptr, &status).empty());
    EXPECT_EQ(status, RTERROR);

    // A single selection takes one answer.
    answers("30,32\n5,0\n");
    EXPECT_EQ(select(":S", nullptr, nullptr, nullptr), (std::vector<long>{c}));
}

TEST_F(Selection, EntSelPicksTheNearestEntityWithinThePickBox)
{
    const long a = line("0", 0, 0, 10, 0);
    const long b = line("0", 0, 0.2, 10, 0.2);
    ads_name e;
    ads_point p;
    answers("5,0.15\n500,500\n\n^C\n");
    ASSERT_EQ(acedEntSel("\nSelect line: ", e, p), RTNORM);
    EXPECT_EQ(e[0], b);
    EXPECT_DOUBLE_EQ(p[0], 5.0);
    EXPECT_DOUBLE_EQ(p[1], 0.15);
    EXPECT_EQ(acedEntSel("\nSelect line: ", e, p), RTERROR);  // a miss
    EXPECT_EQ(acedEntSel("\nSelect line: ", e, p), RTERROR);  // an empty answer
    EXPECT_EQ(acedEntSel("\nSelect line: ", e, p), RTCAN);
    EXPECT_EQ(host::entity_at_point(drawing(), {5, 0.01, 0}, 0.05), a);
    EXPECT_EQ(host::entity_at_point(drawing(), {5, 1, 0}, 0.05), 0);
}

TEST_F(Selection, EntSelTakesTheKeywordsOfAPendingInitGetAndUsesItUp)
{
    const long a = line("0", 0, 0, 10, 0);
    ads_name e;
    ads_point p;
    char word[133] = "";
    answers("u\n5,0\n\n");
    acedInitGet(0, "Exit Undo");
    ASSERT_EQ(acedEntSel("\nSelect line or [Exit/Undo]: ", e, p), RTKWORD);
    ASSERT_EQ(acedGetInput(word), RTNORM);
    EXPECT_STREQ(word, "Undo");
    // A pick uses up the acedInitGet before it: the empty answer after it is
    // no longer refused by flag 1.
    acedInitGet(RSG_NONULL, "Exit");
    ASSERT_EQ(acedEntSel("\nSelect line: ", e, p), RTNORM);
    EXPECT_EQ(e[0], a);
    ads_real r = 0;
    EXPECT_EQ(acedGetReal("\nValue: ", &r), RTNONE);
}

}  // namespace
