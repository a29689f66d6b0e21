// Model space's list of ids lives in memory that is remapped as it grows past
// a few megabytes: the ids must come through every step of growing (from an
// ordinary allocation to a mapping of its own, then remapped), through copies
// and moves, unchanged and in order.
#include <gtest/gtest.h>

#include <vector>

#include "db/big_memory.h"
#include "db/drawing.h"

namespace {

long id_at(size_t i)
{
    return long(i) * 7 + 3;
}

bool holds_ids(const host::GrowingArray<long>& ids, size_t n)
{
    if (ids.size() != n) return false;
    for (size_t i = 0; i < n; ++i)
        if (ids[i] != id_at(i)) return false;
    return true;
}

TEST(GrowingArray, KeepsItsItemsAsItGrowsPastMappedMemory)
{
    // 700 000 ids take about 5.6 MB: past the ordinary allocation, and
    // remapped twice after.
    constexpr size_t kIds = 700000;
    host::GrowingArray<long> ids;
    for (size_t i = 0; i < kIds; ++i) {
        ids.push_back(id_at(i));
        if (i == 1000 || i == 300000) {
            ASSERT_TRUE(holds_ids(ids, i + 1)) << i;
        }
    }
    ASSERT_TRUE(holds_ids(ids, kIds));

    host::GrowingArray<long> copy = ids;  // a copy grows on its own
    for (size_t i = kIds; i < 2 * kIds; ++i) copy.push_back(id_at(i));
    EXPECT_TRUE(holds_ids(copy, 2 * kIds));
    EXPECT_TRUE(holds_ids(ids, kIds));

    host::GrowingArray<long> moved = std::move(copy);
    EXPECT_TRUE(holds_ids(moved, 2 * kIds));
    moved.assign(ids.begin(), ids.begin() + 10);  // assigning fewer keeps the memory
    EXPECT_TRUE(holds_ids(moved, 10));
    moved = ids;
    EXPECT_TRUE(holds_ids(moved, kIds));
}

TEST(GrowingArray, ModelSpaceListsItsIdsInOrder)
{
    host::IdList model;
    std::vector<long> expected;
    for (size_t i = 0; i < 400000; ++i) {
        model.push_back(id_at(i));
        expected.push_back(id_at(i));
    }
    EXPECT_TRUE(model.ascending());
    EXPECT_EQ(std::vector<long>(model.begin(), model.end()), expected);
    EXPECT_EQ(std::vector<long>(model.rbegin(), model.rend()),
              std::vector<long>(expected.rbegin(), expected.rend()));
    EXPECT_EQ(model.ids().size(), expected.size());
    EXPECT_EQ(model.front(), expected.front());
    EXPECT_EQ(model.back(), expected.back());
    model.push_back(1);  // out of order
    EXPECT_FALSE(model.ascending());
    model = expected;  // a new list: in order again
    EXPECT_TRUE(model.ascending());
    EXPECT_EQ(model.size(), expected.size());
}

}  // namespace
