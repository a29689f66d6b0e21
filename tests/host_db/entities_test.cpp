// The entity API: making, reading, changing and erasing entities, extended data,
// old-style polylines, block definitions and justified texts.
#include "db/entities.h"

#include <cmath>
#include <cstring>

#include "db_test.h"

namespace {

using host::Group;

class Entities : public DbTest {
protected:
    long layer_record(const char* name)
    {
        ads_name e;
        return acdbTblObjName("LAYER", name, e) == RTNORM ? e[0] : 0;
    }
    void lock_layer(const char* name)
    {
        ads_name e = {layer_record(name), 0};
        ASSERT_EQ(modify(acutBuildList(-1, e, 70, 4, 0)), RTNORM);
    }
};

TEST_F(Entities, MakeCreatesAMissingLayerAndGetListsStartWithNameAndType)
{
    ads_point a = {1, 2, 0}, b = {3, 4, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "line", 8, "Road_Edge", 62, 256, 6, "ByLayer", 10, a, 11, b, 0)),
              RTNORM);
    const long id = last();
    const auto groups = entget(id);
    ASSERT_GE(groups.size(), 4u);
    EXPECT_EQ(groups[0].code, -1);
    EXPECT_EQ(groups[0].name, id);
    EXPECT_EQ(groups[1].code, 0);
    EXPECT_EQ(groups[1].text, "LINE");
    EXPECT_EQ(find(groups, 8)->text, "Road_Edge");
    EXPECT_EQ(find(groups, 11)->point, (host::Point3{3, 4, 0}));
    EXPECT_EQ(find(groups, 62), nullptr);  // BYLAYER is left out
    EXPECT_EQ(find(groups, 6), nullptr);

    // The layer now exists with the defaults of a new layer.
    const auto layer = groups_of(acdbTblSearch("LAYER", "road_edge", 0));
    ASSERT_FALSE(layer.empty());
    EXPECT_EQ(find(layer, 2)->text, "Road_Edge");
    EXPECT_EQ(find(layer, 62)->integer, 7);
    EXPECT_EQ(find(layer, 70)->integer, 0);
    EXPECT_EQ(find(layer, 6)->text, "CONTINUOUS");

    // A colour of its own stays.
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 62, 1, 10, a, 0)), RTNORM);
    const auto pt = entget(last());
    EXPECT_EQ(find(pt, 62)->integer, 1);
    EXPECT_EQ(find(pt, 8)->text, "0");  // the current layer
}

TEST_F(Entities, MakeRefusesBadLists)
{
    ads_point a = {0, 0, 0};
    const long before = last();
    EXPECT_EQ(make(acutBuildList(RTDXF0, "LINE", 10, a, 0)), RTERROR);    // no end point
    EXPECT_EQ(make(acutBuildList(RTDXF0, "BANANA", 10, a, 0)), RTERROR);  // no such type
    EXPECT_EQ(make(acutBuildList(RTDXF0, "INSERT", 8, "Symbols", 2, "NOBLOCK", 10, a, 0)),
              RTERROR);                                        // no block
    EXPECT_EQ(acdbTblSearch("LAYER", "Symbols", 0), nullptr);  // a refused entity makes no layer
    EXPECT_EQ(make(acutBuildList(RTDXF0, "TEXT", 1, "x", 10, a, 7, "NOSTYLE", 0)), RTERROR);
    EXPECT_EQ(make(acutBuildList(8, "A", 10, a, 0)), RTERROR);  // no type at all
    ads_point b = {1, 1, 0};
    EXPECT_EQ(make(acutBuildList(RTDXF0, "LINE", 8, "TREE*", 10, a, 11, b, 0)),
              RTERROR);  // a pattern, not a name
    EXPECT_EQ(acdbTblSearch("LAYER", "TREE*", 0), nullptr);
    EXPECT_EQ(last(), before);
}

TEST_F(Entities, LockedLayersRefuseMakeModifyAndErase)
{
    const long id = line("Fence", 0, 0, 5, 0);
    lock_layer("FENCE");
    ads_point a = {0, 0, 0}, b = {1, 1, 0};
    EXPECT_EQ(make(acutBuildList(RTDXF0, "LINE", 8, "Fence", 10, a, 11, b, 0)), RTERROR);
    ads_name e = {id, 0};
    EXPECT_EQ(modify(acutBuildList(-1, e, 8, "Other", 0)), RTERROR);
    EXPECT_EQ(acdbEntDel(e), RTERROR);
    EXPECT_EQ(find(entget(id), 8)->text, "Fence");

    // Nor can an entity be moved onto a locked layer.
    const long other = line("Free", 0, 0, 1, 0);
    ads_name o = {other, 0};
    EXPECT_EQ(modify(acutBuildList(-1, o, 8, "Fence", 0)), RTERROR);
    EXPECT_EQ(find(entget(other), 8)->text, "Free");
}

TEST_F(Entities, ModifyReplacesInPlaceAndTheLastDuplicateWins)
{
    const long id = circle("0", 10, 10, 1.0);
    ads_name e = {id, 0};
    resbuf* list = acdbEntGet(e);
    const auto before = host::groups_from_chain(list);
    // Append (40 . 2.5) and (8 . "B") at the end, as a one-field change does.
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = acutBuildList(40, 2.5, 8, "B", 40, 3.5, 0);
    EXPECT_EQ(acdbEntMod(list), RTNORM);
    acutRelRb(list);

    const auto after = entget(id);
    EXPECT_EQ(after.size(), before.size());
    EXPECT_EQ(count(after, 40), 1);
    EXPECT_DOUBLE_EQ(find(after, 40)->real, 3.5);
    EXPECT_EQ(find(after, 8)->text, "B");
    // Same place as before.
    for (size_t i = 0; i < before.size(); ++i) EXPECT_EQ(after[i].code, before[i].code);

    // A short list changes only what it names.
    ads_point c = {7, 8, 0};
    EXPECT_EQ(modify(acutBuildList(-1, e, 10, c, 0)), RTNORM);
    const auto moved = entget(id);
    EXPECT_EQ(find(moved, 10)->point, (host::Point3{7, 8, 0}));
    EXPECT_DOUBLE_EQ(find(moved, 40)->real, 3.5);
}

TEST_F(Entities, ModifyOfAnLwpolylineKeepsItsVerticesAndTakesAnAppendedLayer)
{
    ads_point p1 = {0, 0, 0}, p2 = {10, 0, 0}, p3 = {10, 5, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LWPOLYLINE", 100, "AcDbEntity", 100, "AcDbPolyline", 8, "P", 90, 3,
                                 70, 0, 10, p1, 42, 0.0, 10, p2, 42, 0.5, 10, p3, 42, 0.0, 0)),
              RTNORM);
    const long id = last();
    ads_name e = {id, 0};
    resbuf* list = acdbEntGet(e);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = acutBuildList(8, "Q", 0);
    EXPECT_EQ(acdbEntMod(list), RTNORM);
    acutRelRb(list);
    const auto after = entget(id);
    EXPECT_EQ(count(after, 10), 3);
    EXPECT_EQ(count(after, 42), 3);
    EXPECT_EQ(count(after, 8), 1);
    EXPECT_EQ(find(after, 8)->text, "Q");
    EXPECT_EQ(find(after, 90)->integer, 3);
}

TEST_F(Entities, ModifyOfListTypesKeepsWhatTheListDoesNotName)
{
    ads_point at = {5, 5, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "MTEXT", 10, at, 40, 2.0, 41, 30.0, 3, "first part ", 1, "end", 0)),
              RTNORM);
    const long id = last();
    ads_name e = {id, 0};
    ASSERT_EQ(modify(acutBuildList(-1, e, 3, "one ", 3, "two ", 1, "three", 0)), RTNORM);
    const auto groups = entget(id);
    EXPECT_EQ(count(groups, 3), 2);
    EXPECT_EQ(find(groups, 1)->text, "three");
    EXPECT_DOUBLE_EQ(find(groups, 40)->real, 2.0);
    EXPECT_EQ(find(groups, 10)->point, (host::Point3{5, 5, 0}));

    // New vertices of an LWPOLYLINE replace the old ones with their bulges.
    ads_point p1 = {0, 0, 0}, p2 = {10, 0, 0}, p3 = {10, 5, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LWPOLYLINE", 90, 2, 70, 0, 10, p1, 42, 0.5, 10, p2, 42, 0.0, 0)),
              RTNORM);
    ads_name pl = {last(), 0};
    ASSERT_EQ(modify(acutBuildList(-1, pl, 10, p1, 10, p2, 10, p3, 0)), RTNORM);
    const auto poly = entget(pl[0]);
    EXPECT_EQ(count(poly, 10), 3);
    EXPECT_EQ(count(poly, 42), 0);
    EXPECT_EQ(find(poly, 90)->integer, 3);
}

TEST_F(Entities, XDataIsReplacedPerApplicationAndOthersAreKept)
{
    ASSERT_EQ(acdbRegApp("FIND_AREA"), RTNORM);
    ASSERT_EQ(acdbRegApp("RADLISTING"), RTNORM);
    ads_point p = {1, 1, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 10, p, -3, 1001, "FIND_AREA", 1000, "first", 1040, 2.5,
                                 1001, "RADLISTING", 1071, 70001L, 0)),
              RTNORM);
    const long id = last();
    ads_name e = {id, 0};
    EXPECT_EQ(modify(acutBuildList(-1, e, -3, 1001, "find_area", 1000, "second", 0)), RTNORM);

    resbuf* all = acutBuildList(RTSTR, "*", 0);
    const auto groups = groups_of(acdbEntGetX(e, all));
    acutRelRb(all);
    // ... -3, 1001 FIND_AREA, 1000 second, 1001 RADLISTING, 1071 70001
    size_t x = 0;
    while (x < groups.size() && groups[x].code != -3) ++x;
    ASSERT_EQ(groups.size(), x + 5);
    EXPECT_EQ(groups[x + 1].text, "FIND_AREA");
    EXPECT_EQ(groups[x + 2].text, "second");
    EXPECT_EQ(groups[x + 3].text, "RADLISTING");
    EXPECT_EQ(groups[x + 4].code, 1071);
    EXPECT_EQ(groups[x + 4].integer, 70001);

    // Asking for one application shows only that one; plain EntGet shows none.
    resbuf* one = acutBuildList(RTSTR, "RADLISTING", 0);
    const auto only = groups_of(acdbEntGetX(e, one));
    acutRelRb(one);
    EXPECT_EQ(count(only, 1001), 1);
    EXPECT_EQ(find(only, 1001)->text, "RADLISTING");
    EXPECT_EQ(find(entget(id), -3), nullptr);

    // An application named without groups loses its data.
    EXPECT_EQ(modify(acutBuildList(-1, e, -3, 1001, "RADLISTING", 0)), RTNORM);
    EXPECT_EQ(drawing().get(id)->xdata.size(), 1u);
}

TEST_F(Entities, XDataNeedsRegisteredApplicationsAndKeepsWithinItsLimits)
{
    ads_point p = {1, 1, 0};
    EXPECT_EQ(make(acutBuildList(RTDXF0, "POINT", 10, p, -3, 1001, "NOT_REGISTERED", 1000, "x", 0)), RTERROR);
    ASSERT_EQ(acdbRegApp("KEYS"), RTNORM);
    const std::string longest(255, 'k'), too_long(256, 'k');
    EXPECT_EQ(make(acutBuildList(RTDXF0, "POINT", 10, p, -3, 1001, "KEYS", 1000, longest.c_str(), 0)),
              RTNORM);
    const long id = last();
    EXPECT_EQ(make(acutBuildList(RTDXF0, "POINT", 10, p, -3, 1001, "KEYS", 1000, too_long.c_str(), 0)),
              RTERROR);
    ads_name e = {id, 0};
    EXPECT_EQ(modify(acutBuildList(-1, e, -3, 1001, "NOT_REGISTERED", 1070, 1, 0)), RTERROR);

    // 70 strings of 250 bytes (about 17.7 KB) are more than an entity may carry.
    resbuf* list = acutBuildList(-1, e, -3, 1001, "KEYS", 0);
    resbuf* tail = list->rbnext->rbnext;
    const std::string chunk(250, 'v');
    for (int i = 0; i < 70; ++i) {
        tail->rbnext = acutBuildList(1000, chunk.c_str(), 0);
        tail = tail->rbnext;
    }
    EXPECT_EQ(modify(list), RTERROR);
    EXPECT_EQ(drawing().get(id)->xdata.at(0).items.at(0).text, longest);  // unchanged
}

TEST_F(Entities, PolylineIsMadeAcrossCallsAndWalkedWithEntNext)
{
    const long before = line("0", 0, 0, 1, 1);
    ads_point v1 = {0, 0, 1}, v2 = {5, 0, 2}, v3 = {5, 5, 3};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POLYLINE", 8, "Heights", 66, 1, 70, 8, 0)), RTNORM);
    EXPECT_EQ(last(), before);  // nothing exists before SEQEND
    for (ads_real* v : {v1, v2, v3})
        ASSERT_EQ(make(acutBuildList(RTDXF0, "VERTEX", 8, "Heights", 10, v, 70, 32, 0)), RTNORM);
    EXPECT_EQ(last(), before);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "SEQEND", 8, "Heights", 0)), RTNORM);
    const long header = last();
    EXPECT_NE(header, before);
    const long after = line("0", 2, 2, 3, 3);

    // before -> POLYLINE -> VERTEX x3 -> SEQEND -> after -> end
    std::vector<std::string> walk;
    ads_name e = {0, 0}, next;
    if (acdbEntNext(nullptr, next) == RTNORM) {
        do {
            ads_name_set(next, e);
            walk.push_back(entget(e[0])[1].text);
        } while (acdbEntNext(e, next) == RTNORM);
    }
    EXPECT_EQ(walk,
              (std::vector<std::string>{"LINE", "POLYLINE", "VERTEX", "VERTEX", "VERTEX", "SEQEND", "LINE"}));
    EXPECT_EQ(e[0], after);
    ads_name h = {header, 0}, v;
    ASSERT_EQ(acdbEntNext(h, v), RTNORM);
    EXPECT_EQ(find(entget(v[0]), 10)->point, (host::Point3{0, 0, 1}));
    EXPECT_EQ(find(entget(header), 66)->integer, 1);

    // Erasing the header erases the chain; EntNext then passes over it.
    ASSERT_EQ(acdbEntDel(h), RTNORM);
    ads_name b = {before, 0};
    ASSERT_EQ(acdbEntNext(b, next), RTNORM);
    EXPECT_EQ(next[0], after);

    // A VERTEX or SEQEND without a header is refused.
    EXPECT_EQ(make(acutBuildList(RTDXF0, "VERTEX", 10, v1, 0)), RTERROR);
    EXPECT_EQ(make(acutBuildList(RTDXF0, "SEQEND", 0)), RTERROR);
}

TEST_F(Entities, EraseHidesAndASecondEraseRestores)
{
    const long a = line("0", 0, 0, 1, 0);
    const long b = line("0", 0, 1, 1, 1);
    ads_name eb = {b, 0};
    ASSERT_EQ(acdbEntDel(eb), RTNORM);
    EXPECT_EQ(acdbEntGet(eb), nullptr);
    EXPECT_EQ(last(), a);  // the last entity that is not erased
    EXPECT_EQ(modify(acutBuildList(-1, eb, 8, "X", 0)), RTERROR);
    ASSERT_EQ(acdbEntDel(eb), RTNORM);
    EXPECT_EQ(entget(b).size(), entget(a).size());
    EXPECT_EQ(last(), b);
    ads_name nothing = {999999999, 0};
    EXPECT_EQ(acdbEntGet(nothing), nullptr);
    EXPECT_EQ(acdbEntDel(nothing), RTERROR);
}

TEST_F(Entities, BlockDefinitionsAreWalkedFromTheirFirstEntity)
{
    ads_point base = {0, 0, 0}, a = {1, 0, 0}, b = {0, 1, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "BLOCK", 2, "ARROW", 70, 0, 10, base, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LINE", 8, "SYMBOL", 10, base, 11, a, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LINE", 8, "SYMBOL", 10, base, 11, b, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "ENDBLK", 0)), RTNORM);
    EXPECT_EQ(last(), 0);  // nothing in model space

    const auto record = groups_of(acdbTblSearch("BLOCK", "arrow", 0));
    const Group* first = find(record, -2);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(find(entget(first->name), 8)->text, "SYMBOL");
    ads_name e = {first->name, 0}, next;
    ASSERT_EQ(acdbEntNext(e, next), RTNORM);
    EXPECT_EQ(find(entget(next[0]), 11)->point, (host::Point3{0, 1, 0}));
    EXPECT_EQ(acdbEntNext(next, e), RTERROR);  // the end of the definition

    ASSERT_EQ(make(acutBuildList(RTDXF0, "INSERT", 2, "ARROW", 10, a, 41, 1.0, 42, 1.0, 50, 0.0, 0)), RTNORM);
    EXPECT_EQ(entget(last())[1].text, "INSERT");
    EXPECT_EQ(make(acutBuildList(RTDXF0, "ENDBLK", 0)), RTERROR);
}

TEST_F(Entities, JustifiedTextIsPlacedFromItsAlignmentPoint)
{
    // "ABCD" 2 high: 4 glyphs x 0.8 x 2 = 6.4 wide; centred on (10, 10) its
    // insertion point is 3.2 to the left, and 3.2 below when turned by 90 degrees.
    ads_point at = {10, 10, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "TEXT", 1, "ABCD", 10, at, 11, at, 40, 2.0, 72, 1, 0)), RTNORM);
    const long id = last();
    auto groups = entget(id);
    EXPECT_NEAR(find(groups, 10)->point.x, 6.8, 1e-12);
    EXPECT_NEAR(find(groups, 10)->point.y, 10.0, 1e-12);
    EXPECT_EQ(find(groups, 7)->text, "Standard");

    ads_name e = {id, 0};
    ASSERT_EQ(modify(acutBuildList(-1, e, 50, M_PI / 2, 0)), RTNORM);
    groups = entget(id);
    EXPECT_NEAR(find(groups, 10)->point.x, 10.0, 1e-12);
    EXPECT_NEAR(find(groups, 10)->point.y, 6.8, 1e-12);

    // A shorter text moves the insertion point closer: "AB" is 3.2 wide.
    ASSERT_EQ(modify(acutBuildList(-1, e, 1, "AB", 50, 0.0, 0)), RTNORM);
    EXPECT_NEAR(find(entget(id), 10)->point.x, 8.4, 1e-12);

    // Moving only the insertion point moves the alignment point with it.
    ads_point to = {20.4, 30, 0};
    ASSERT_EQ(modify(acutBuildList(-1, e, 10, to, 0)), RTNORM);
    groups = entget(id);
    EXPECT_NEAR(find(groups, 10)->point.x, 20.4, 1e-12);
    EXPECT_NEAR(find(groups, 10)->point.y, 30.0, 1e-12);
    EXPECT_NEAR(find(groups, 11)->point.x, 22.0, 1e-12);
    EXPECT_NEAR(find(groups, 11)->point.y, 30.0, 1e-12);
}

}  // namespace
