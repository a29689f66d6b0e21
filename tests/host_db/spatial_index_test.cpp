// The spatial index behind window, crossing, fence and pick selections stays
// right while a drawing changes: every selection through acedSSGet is compared
// with the exact tests made on every entity of model space, in drawing order.
#include "db/spatial_index.h"

#include <gtest/gtest.h>

#include <random>

#include "db/entities.h"
#include "db/selection.h"
#include "db_test.h"

namespace {

class SpatialIndex : public DbTest {
protected:
    std::mt19937 random{20240611};

    const host::Drawing& d() { return drawing(); }

    double coordinate(double low = 400000, double span = 1000)
    {
        return low + std::uniform_real_distribution<double>(0, span)(random);
    }

    std::vector<long> select(const char* mode, const void* p1, const void* p2)
    {
        ads_name ss = {0, 0};
        std::vector<long> ids;
        if (acedSSGet(mode, p1, p2, nullptr, ss) != RTNORM) return ids;
        long length = 0;
        acedSSLength(ss, &length);
        for (long i = 0; i < length; ++i) {
            ads_name e;
            acedSSName(ss, i, e);
            ids.push_back(e[0]);
        }
        acedSSFree(ss);
        return ids;
    }

    // What the exact tests find over the whole of model space.
    template <class Test>
    std::vector<long> expected(Test test)
    {
        // Read through the drawing as it stands, without handing anything out writable.
        const host::Drawing& d = drawing();
        std::vector<long> ids;
        for (long id : d.model) {
            const host::Entity* e = d.get(id);
            if (!e || e->erased || e->type == "VERTEX" || e->type == "SEQEND") continue;
            if (host::layer_frozen(d, e->layer()) || host::layer_off(d, e->layer())) continue;
            if (test(*e)) ids.push_back(id);
        }
        return ids;
    }

    // Windows, crossings and fences of every size over the survey area agree
    // with the exact tests.
    void expect_selections_right(const std::string& when, int rounds = 40)
    {
        for (int round = 0; round < rounds; ++round) {
            const double size = round % 4 == 0 ? 800 : round % 4 == 1 ? 150 : round % 4 == 2 ? 20 : 2;
            const double x = coordinate(399900, 1100), y = coordinate(599900, 1100);
            ads_point a = {x, y, 0}, b = {x + size, y + size * 0.7, 0};
            const host::Point3 pa{a[0], a[1], 0}, pb{b[0], b[1], 0};
            EXPECT_EQ(select("W", a, b),
                      expected([&](const host::Entity& e) { return host::entity_in_window(d(), e, pa, pb); }))
                << when << ", window " << round;
            EXPECT_EQ(select("C", b, a), expected([&](const host::Entity& e) {
                          return host::entity_crosses_window(d(), e, pa, pb);
                      }))
                << when << ", crossing " << round;
            ads_point f2 = {x + size, y, 0}, f3 = {x - size / 3, y + size, 0};
            const std::vector<host::Point3> fence = {pa, {f2[0], f2[1], 0}, {f3[0], f3[1], 0}};
            resbuf* line = acutBuildList(RTPOINT, a, RTPOINT, f2, RTPOINT, f3, 0);
            EXPECT_EQ(select("F", line, nullptr), expected([&](const host::Entity& e) {
                          return host::entity_crosses_fence(d(), e, fence);
                      }))
                << when << ", fence " << round;
            acutRelRb(line);
        }
    }

    long random_line()
    {
        const double x = coordinate(), y = coordinate(600000);
        const double length = std::uniform_real_distribution<double>(0.1, 60)(random);
        return line("LINES", x, y, x + length, y + length / 3);
    }
    long random_point() { return point("POINTS", coordinate(), coordinate(600000)); }
    long random_polyline()
    {
        const double x = coordinate(), y = coordinate(600000);
        ads_point v1 = {x, y, 0}, v2 = {x + 30, y, 0}, v3 = {x + 30, y + 20, 0};
        EXPECT_EQ(make(acutBuildList(RTDXF0, "LWPOLYLINE", 8, "LOTS", 90, 3, 70, 1, 10, v1, 10, v2, 42, 0.4,
                                     10, v3, 0)),
                  RTNORM);
        return last();
    }
    long old_style_polyline()
    {
        const double x = coordinate(), y = coordinate(600000);
        ads_point origin = {0, 0, 0};
        EXPECT_EQ(make(acutBuildList(RTDXF0, "POLYLINE", 8, "OLD", 66, 1, 10, origin, 70, 0, 0)), RTNORM);
        for (int i = 0; i < 4; ++i) {
            ads_point v = {x + 10 * i, y + (i % 2) * 8, 0};
            EXPECT_EQ(make(acutBuildList(RTDXF0, "VERTEX", 8, "OLD", 10, v, 0)), RTNORM);
        }
        EXPECT_EQ(make(acutBuildList(RTDXF0, "SEQEND", 0)), RTNORM);
        return last();
    }
    void move_to(long id, int code, double x, double y)
    {
        ads_name e = {id, 0};
        ads_point p = {x, y, 0};
        ASSERT_EQ(modify(acutBuildList(-1, e, code, p, 0)), RTNORM);
    }
};

TEST_F(SpatialIndex, SelectionsStayRightAsTheDrawingChanges)
{
    std::vector<long> made;
    // Made one by one, with selections between them.
    for (int i = 0; i < 60; ++i) {
        made.push_back(i % 3 == 0 ? random_line() : i % 3 == 1 ? random_point() : random_polyline());
        if (i % 10 == 0) expect_selections_right("while making one by one", 4);
    }
    made.push_back(old_style_polyline());
    expect_selections_right("after the first entities");

    // Made in bulk after the index was built: far more than it held.
    for (int i = 0; i < 3000; ++i) made.push_back(i % 2 ? random_point() : random_line());
    made.push_back(old_style_polyline());
    expect_selections_right("after making in bulk");

    // Moved through acdbEntMod, far across the drawing.
    for (size_t i = 0; i < made.size(); i += 7) {
        if (d().get(made[i])->type == "POLYLINE") continue;
        move_to(made[i], 10, coordinate(), coordinate(600000));
    }
    expect_selections_right("after moving entities");

    // A VERTEX moved changes its polyline's extents.
    const long polyline = made.back();
    const std::vector<long> vertices = host::polyline_vertices(d(), *d().get(polyline));
    ASSERT_EQ(vertices.size(), 4u);
    move_to(vertices[2], 10, 400990, 600990);
    EXPECT_EQ(select("C", std::array<double, 3>{400989, 600989, 0}.data(),
                     std::array<double, 3>{400991, 600991, 0}.data()),
              std::vector<long>{polyline});
    expect_selections_right("after moving a vertex");

    // Erased and restored.
    for (size_t i = 0; i < made.size(); i += 5) {
        ads_name e = {made[i], 0};
        ASSERT_EQ(acdbEntDel(e), RTNORM);
    }
    expect_selections_right("after erasing");
    for (size_t i = 0; i < made.size(); i += 10) {
        ads_name e = {made[i], 0};
        ASSERT_EQ(acdbEntDel(e), RTNORM);
    }
    expect_selections_right("after restoring");

    // Changed by the host's own code through a writable entity.
    for (size_t i = 1; i < made.size(); i += 11) {
        host::Entity* e = drawing().get(made[i]);
        if (e->type != "POINT" && e->type != "LINE") continue;
        e->find(10)->point = {coordinate(), coordinate(600000), 0};
    }
    expect_selections_right("after changes through writable entities");

    // Model space emptied and filled anew with a few more entities than it had:
    // the entities that were left out stay out.
    const size_t before = d().model.size();
    drawing().model.clear();
    while (d().model.size() < before + 50) random_point();
    expect_selections_right("with model space filled anew");
    drawing().model.clear();
    expect_selections_right("with model space emptied", 4);
}

TEST_F(SpatialIndex, PicksFindTheNearestEntityAfterChanges)
{
    const long a = line("0", 400000, 600000, 400010, 600000);
    const long b = line("0", 400000, 600005, 400010, 600005);
    answers("400005,600000.01\n400005,600004.99\n400005,600020\n");
    ads_name e;
    ads_point picked;
    ASSERT_EQ(acedEntSel(nullptr, e, picked), RTNORM);
    EXPECT_EQ(e[0], a);
    ASSERT_EQ(acedEntSel(nullptr, e, picked), RTNORM);
    EXPECT_EQ(e[0], b);
    move_to(a, 11, 400005, 600020);  // the line now slants up through the third pick
    move_to(a, 10, 400005, 600010);
    ASSERT_EQ(acedEntSel(nullptr, e, picked), RTNORM);
    EXPECT_EQ(e[0], a);
}

TEST_F(SpatialIndex, TheTreeHoldsEveryMainEntityOnce)
{
    for (int i = 0; i < 100; ++i) random_point();
    old_style_polyline();
    ads_point a = {0, 0, 0}, b = {1, 1, 0};
    select("W", a, b);
    EXPECT_EQ(d().spatial().size(), 101u);  // VERTEX and SEQEND are their polyline's
    for (long id : std::vector<long>(d().model.begin(), d().model.begin() + 50))
        move_to(id, 10, coordinate(), coordinate(600000));
    select("W", a, b);
    EXPECT_EQ(d().spatial().size(), 101u);
}

}  // namespace
