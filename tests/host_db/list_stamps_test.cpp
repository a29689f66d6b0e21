// Lists like the ones made before but for their places and texts are made from
// stamps of the entities made before, without their checks: what they make must
// be what the checks would have made, as the drawing's records change.
#include "db/list_stamps.h"

#include <cstring>
#include <random>
#include <string>

#include "db/entities.h"
#include "db/sysvars.h"
#include "db_test.h"

namespace {

using host::Group;

class ListStamps : public DbTest {
protected:
    std::mt19937 random{20261211};

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); }
    double coordinate() { return std::uniform_real_distribution<double>(-1000, 400000)(random); }

    long record(const char* table, const char* name)
    {
        ads_name e;
        return acdbTblObjName(table, name, e) == RTNORM ? e[0] : 0;
    }
    void set_record(const char* table, const char* name, resbuf* change)
    {
        ads_name e = {record(table, name), 0};
        ASSERT_NE(e[0], 0) << name;
        resbuf head{};
        head.restype = -1;
        head.resval.rlname[0] = e[0];
        head.rbnext = change;
        EXPECT_EQ(acdbEntMod(&head), RTNORM) << name;
        acutRelRb(change);
    }

    // A list of one of a few forms, with its places, words and sometimes its
    // layer, style, height or justification drawn at random.
    resbuf* random_list(int form)
    {
        static const char* const kLayers[] = {"Spot", "Spot", "Spot", "Spot", "Spot", "Label", "label"};
        const char* layer = kLayers[pick(7)];
        ads_point p = {coordinate(), coordinate(), pick(4) ? coordinate() / 1000 : 0.0};
        ads_point q = {coordinate(), coordinate(), coordinate() / 1000};
        ads_point r = {coordinate(), coordinate(), 0}, s = {coordinate(), coordinate(), 0};
        const std::string words = std::to_string(pick(100000)) + (pick(5) ? "" : " m");
        const int point_type = pick(10) ? 10 : RTPOINT;  // a 2D point now and then
        switch (form) {
            case 0:
                return acutBuildList(RTDXF0, "POINT", 8, layer, point_type, p, 0);
            case 1:
                return acutBuildList(RTDXF0, "LINE", 8, layer, 10, p, 11, q, 0);
            case 2:
                return acutBuildList(RTDXF0, "3DFACE", 8, layer, 10, p, 11, q, 12, r, 13, s, 0);
            case 3:  // without a fourth corner: the checks add it
                return acutBuildList(RTDXF0, "3DFACE", 8, layer, 10, p, 11, q, 12, r, 0);
            case 4:
                return acutBuildList(RTDXF0, "TEXT", 8, layer, 1, words.c_str(), 10, p, 40,
                                     pick(2) ? 2.5 : 1.8, 41, 1.0, 7, "Standard", 50, 0.0, 0);
            default:  // justified, or without a height
                if (pick(2))
                    return acutBuildList(RTDXF0, "TEXT", 8, layer, 1, words.c_str(), 10, p, 40, 2.5, 7,
                                         "Standard", 72, pick(3), 11, q, 0);
                return acutBuildList(RTDXF0, "TEXT", 8, layer, 1, words.c_str(), 10, p, 0);
        }
    }

    // Now and then a change of the records the checks look at.
    void change_records(int step)
    {
        switch (step % 997) {
            case 200:
                set_record("LAYER", "Spot", acutBuildList(70, 4, 0));  // locked
                break;
            case 400:
                set_record("LAYER", "Spot", acutBuildList(70, 0, 0));
                break;
            case 600:
                set_record("STYLE", "Standard", acutBuildList(2, "Notes", 0));
                break;
            case 800:
                set_record("STYLE", "Notes", acutBuildList(2, "Standard", 0));
                break;
            case 900:
                host::sysvar_set(drawing(), "TEXTSIZE", host::SysVarValue{RTREAL, "", 3.5});
                break;
            default:
                break;
        }
    }
};

// Each list is made through acdbEntMake, then once more through the checks
// alone: both must succeed or fail alike and make the same groups.
TEST_F(ListStamps, MakeWhatTheChecksWouldMakeAsRecordsChange)
{
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LAYER", 2, "Spot", 70, 0, 0)), RTNORM);
    size_t refused = 0;
    int form = 0, run = 0;
    for (int step = 0; step < 6000; ++step) {
        change_records(step);
        if (run-- == 0) {  // runs of lists of one form, as an import makes them
            form = pick(6);
            run = pick(80);
        }
        resbuf* list = random_list(form);
        const long before = last();
        const int status = acdbEntMake(list);
        const long made = last();
        host::ParsedEntityList parsed = host::parse_entity_list(list);
        long checked = 0;
        const int expected = host::entity_make(drawing(), parsed.type, parsed.groups, parsed.xdata, &checked);
        acutRelRb(list);
        ASSERT_EQ(status, expected) << "step " << step;
        if (status != RTNORM) {
            EXPECT_EQ(made, before) << "step " << step;
            ++refused;
            continue;
        }
        std::vector<Group> a = entget(made), b = entget(checked);
        ASSERT_FALSE(a.empty());
        a.erase(a.begin());  // -1, the entity's own name
        b.erase(b.begin());
        ASSERT_EQ(a, b) << "step " << step;
        if (step % 40 == 0) {  // a copy changed afterwards changes alone
            ads_name ma = {made, 0}, mb = {checked, 0};
            ASSERT_EQ(modify(acutBuildList(-1, ma, 62, 5, 0)), modify(acutBuildList(-1, mb, 62, 5, 0)));
            std::vector<Group> ca = entget(made), cb = entget(checked);
            ca.erase(ca.begin());
            cb.erase(cb.begin());
            ASSERT_EQ(ca, cb) << "step " << step;
        }
    }
    EXPECT_GT(refused, 0u);                            // the locked layer and the renamed style were met
    EXPECT_GT(drawing().list_stamps().made(), 2000u);  // the stamps served often
}

// Triangular faces as a TIN writes them, the fourth corner repeating the
// third, in long runs: the copies keep that corner
// once, so a face whose fourth corner is its own (a quad, or a third corner
// with another height) must not be made from them. Each is compared with
// what the checks alone make of the same list.
TEST_F(ListStamps, AFaceRepeatingItsThirdCornerKeepsItsFourth)
{
    size_t quads = 0;
    for (int step = 0; step < 3000; ++step) {
        ads_point p = {coordinate(), coordinate(), coordinate() / 1000};
        ads_point q = {coordinate(), coordinate(), coordinate() / 1000};
        ads_point r = {coordinate(), coordinate(), pick(3) ? coordinate() / 1000 : 0.0};
        ads_point s = {r[X], r[Y], r[Z]};
        switch (pick(40)) {
            case 0:  // a quad
                s[X] += 1;
                ++quads;
                break;
            case 1:  // another height
                s[Z] += 0.5;
                ++quads;
                break;
            default:
                break;
        }
        resbuf* list = acutBuildList(RTDXF0, "3DFACE", 8, "TIN", 10, p, 11, q, 12, r, 13, s, 0);
        ASSERT_EQ(acdbEntMake(list), RTNORM) << "step " << step;
        const long made = last();
        host::ParsedEntityList parsed = host::parse_entity_list(list);
        long checked = 0;
        ASSERT_EQ(host::entity_make(drawing(), parsed.type, parsed.groups, parsed.xdata, &checked), RTNORM);
        acutRelRb(list);
        std::vector<Group> a = entget(made), b = entget(checked);
        a.erase(a.begin());
        b.erase(b.begin());
        ASSERT_EQ(a, b) << "step " << step;
        ASSERT_EQ(find(a, 13)->point.z, s[Z]) << "step " << step;
    }
    EXPECT_GT(quads, 50u);
    EXPECT_GT(drawing().list_stamps().made(), 2000u);
}

// Whether two lists hold the same nodes: the same types, and values to the bit.
::testing::AssertionResult same_nodes(const resbuf* a, const resbuf* b)
{
    for (int at = 0; a || b; ++at, a = a->rbnext, b = b->rbnext) {
        if (!a || !b) return ::testing::AssertionFailure() << "one list ends at node " << at;
        if (a->restype != b->restype) return ::testing::AssertionFailure() << "node " << at << ": restype";
        bool same = true;
        switch (host::restype_value(a->restype)) {
            case host::RbValue::Text:
                same = std::string(a->resval.rstring) == b->resval.rstring;
                break;
            case host::RbValue::Int16:
                same = a->resval.rint == b->resval.rint;
                break;
            case host::RbValue::Int32:
                same = a->resval.rlong == b->resval.rlong;
                break;
            case host::RbValue::Real:
            case host::RbValue::Point:
            case host::RbValue::Name:
            case host::RbValue::None:
                same = std::memcmp(&a->resval, &b->resval, sizeof a->resval) == 0;
                break;
        }
        if (!same) return ::testing::AssertionFailure() << "node " << at << " (" << a->restype << "): value";
    }
    return ::testing::AssertionSuccess();
}

// The list of an entity kept packed is made straight from its words: it must
// be the list the same entity gives once it is kept whole, for entities of
// every form (made from stamps or through the checks, with extended data, in
// a block, a polyline's vertices) and none for one erased.
TEST_F(ListStamps, APackedEntityReadsAsItDoesWhole)
{
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LAYER", 2, "Spot", 70, 0, 0)), RTNORM);
    ASSERT_EQ(acdbRegApp("FIND_AREA"), RTNORM);
    std::vector<long> ids;
    const auto made = [&](resbuf* list) {
        if (make(list) == RTNORM) ids.push_back(last());
    };
    for (int step = 0; step < 1200; ++step) made(random_list(step / 40 % 6));
    ads_point a = {1, 2, 3}, b = {4, 5, 6};
    made(acutBuildList(RTDXF0, "POINT", 8, "Spot", 10, a, 62, 3, -3, 1001, "FIND_AREA", 1000, "lot 7", 1040,
                       2.5, 1071, 70001L, 0));
    made(acutBuildList(RTDXF0, "POLYLINE", 8, "Spot", 66, 1, 70, 0, 0));
    made(acutBuildList(RTDXF0, "VERTEX", 8, "Spot", 10, a, 0));
    made(acutBuildList(RTDXF0, "VERTEX", 8, "Spot", 10, b, 42, 0.25, 0));
    made(acutBuildList(RTDXF0, "SEQEND", 8, "Spot", 0));
    ASSERT_EQ(make(acutBuildList(RTDXF0, "BLOCK", 2, "MARK", 70, 0, 10, a, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "LINE", 8, "Spot", 10, a, 11, b, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "ENDBLK", 0)), RTNORM);
    const long block = record("BLOCK", "MARK");
    ids.insert(ids.end(), drawing().block_entities[block].begin(), drawing().block_entities[block].end());
    // As a drawing file brings them: a vertex of its polyline and a block's own entity, kept packed.
    ids.push_back(drawing().add({.type = "VERTEX",
                                 .groups = {Group::of_text(8, "Spot"), Group::of_point(10, {7, 8, 9}),
                                            Group::of_real(42, 0.5), Group::of_int(70, 32)},
                                 .parent = ids.back()}));
    ids.push_back(drawing().add(
        {.type = "CIRCLE",
         .groups = {Group::of_text(8, "0"), Group::of_point(10, {1, 1, 0}), Group::of_real(40, 2)}},
        block));
    for (size_t k = 0; k < ids.size(); k += 97) {
        ads_name e = {ids[k], 0};
        ASSERT_EQ(acdbEntDel(e), RTNORM);
    }

    size_t packed = 0;
    for (long id : ids) {
        ads_name e = {id, 0};
        const size_t before = drawing().store.packed();
        resbuf* from_words = acdbEntGet(e);
        drawing().store.whole(id);
        packed += before - drawing().store.packed();
        resbuf* from_whole = acdbEntGet(e);
        EXPECT_TRUE(same_nodes(from_words, from_whole)) << "entity " << id;
        if (drawing().store.erased(id)) {
            EXPECT_EQ(from_words, nullptr);
        }
        acutRelRb(from_words);
        acutRelRb(from_whole);
    }
    EXPECT_GT(packed, ids.size() / 2);  // most were read from their words
}

// A justified text's place is worked out from its alignment point each time,
// also after a list that gave the very place the alignment gives.
TEST_F(ListStamps, AJustifiedTextIsPlacedFromItsAlignmentEveryTime)
{
    auto right_justified = [&](const ads_point place, const ads_point align) {
        EXPECT_EQ(make(acutBuildList(RTDXF0, "TEXT", 8, "Label", 1, "12.345", 10, place, 40, 2.5, 7,
                                     "Standard", 72, 2, 11, align, 0)),
                  RTNORM);
        return find(entget(last()), 10)->point;
    };
    const ads_point align = {100, 200, 0}, moved = {500, 600, 0};
    const host::Point3 placed = right_justified(align, align);
    const ads_point given = {placed.x, placed.y, placed.z};
    right_justified(given, align);  // the list now gives the place its checks keep
    const host::Point3 next = right_justified(given, moved);
    EXPECT_NEAR(next.x, placed.x + 400, 1e-9);
    EXPECT_NEAR(next.y, placed.y + 400, 1e-9);
}

// No stamp serves while a block definition is being made: its entities go
// into the definition, not into model space.
TEST_F(ListStamps, ABlockDefinitionTakesItsOwnEntities)
{
    ads_point a = {1, 2, 0}, b = {3, 4, 0}, o = {0, 0, 0};
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 8, "Spot", 10, a, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 8, "Spot", 10, b, 0)), RTNORM);
    const size_t model = drawing().model.size();
    ASSERT_EQ(make(acutBuildList(RTDXF0, "BLOCK", 2, "MARK", 70, 0, 10, o, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "POINT", 8, "Spot", 10, a, 0)), RTNORM);
    ASSERT_EQ(make(acutBuildList(RTDXF0, "ENDBLK", 0)), RTNORM);
    EXPECT_EQ(drawing().model.size(), model);
    const long block = record("BLOCK", "MARK");
    ASSERT_NE(block, 0);
    EXPECT_EQ(drawing().block_entities[block].size(), 1u);
}

}  // namespace
