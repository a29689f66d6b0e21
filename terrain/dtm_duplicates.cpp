// The duplicated-points check. Each selected position gets one small crossing
// window instead of a comparison with every other point, so the work per point
// depends only on the points near it. A POINT that has been erased erases
// nothing: each position is compared only with POINTs that stay, so on a chain
// of points each a little closer than the tolerance to the next, only the
// points within the tolerance of a point that stays are erased.
#include "dtm_duplicates.h"

#include <array>
#include <functional>
#include <unordered_set>
#include <vector>

#include "entity_readers.h"
#include "geometry.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "tin_records.h"

namespace {

// The distance from a position to each window corner; the window is the point
// plus and minus (sqrt 2, sqrt 2), whatever the tolerance.
constexpr double window_reach = 2.0;

using entity_key = std::array<long, 2>;

struct entity_key_hash {
    size_t operator()(const entity_key& key) const
    {
        return std::hash<long>()(key[0]) * 31 + std::hash<long>()(key[1]);
    }
};

// The POINTs erased so far in the pass: they are passed over when their turn
// comes, and never handed to acdbEntDel again (which would bring them back).
using erased_set = std::unordered_set<entity_key, entity_key_hash>;

// The selected positions and, beside each, the name of its POINT.
tin_point_list dtm_read_selection(std::vector<entity_key>& names)
{
    tin_point_list positions;
    ads_name ss;
    long length = 0;
    if (!ss_select_type("POINT", ss, length)) return positions;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM || !ss_point_get(ss, i, 0)) continue;
        const point3d_rec& p = point_read.location;
        positions.push_back(tin_point_set(static_cast<std::int32_t>(positions.size()), p.x, p.y, p.z));
        names.push_back({entity[0], entity[1]});
    }
    acedSSFree(ss);
    return positions;
}

// Erases every other POINT of the window within the tolerance of the position,
// whose own POINT (self) stays; returns the number erased.
int dtm_remove_near(const point3d_rec& position, const entity_key& self, double tolerance,
                    erased_set& erased_names)
{
    point3d_rec corner1, corner2;
    polar_point(225.0, window_reach, position, corner1);
    polar_point(45.0, window_reach, position, corner2);
    ads_name ss;
    long length = 0;
    if (!ss_crossing_type("POINT", corner1, corner2, ss, length)) return 0;

    // The names are taken first so that removing an item from the set cannot
    // make the walk pass over the item after it.
    std::vector<std::array<long, 2>> items;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) == RTNORM) items.push_back({entity[0], entity[1]});
    }

    int erased = 0;
    for (const entity_key& item : items) {
        if (item == self || erased_names.count(item)) continue;
        const ads_name entity = {item[0], item[1]};
        resbuf* list = acdbEntGet(entity);
        if (!list) continue;
        point3d_rec location;
        const bool has_location = rb_find(list, 10) && rb_get_point(list, 10, location, 1);
        acutRelRb(list);
        if (!has_location || !dist_within(location, position, tolerance)) continue;
        acedSSDel(entity, ss);
        if (acdbEntDel(entity) == RTNORM) {
            erased_names.insert(item);
            ++erased;
        }
    }
    acedSSFree(ss);
    return erased;
}

}  // namespace

void dtm_remove_duplicates()
{
    const double tolerance = dup_cfg().tolerance;
    std::vector<entity_key> names;
    const tin_point_list positions = dtm_read_selection(names);
    const int total = static_cast<int>(positions.size());
    int processed = 0;
    int duplicated = 0;
    erased_set erased_names;
    for (size_t i = 0; i < positions.size(); ++i) {
        ++processed;
        acutPrintf("\rProcessing %d of %d points (%d duplicated at tolorence %.3f)", processed, total,
                   duplicated, tolerance);
        if (erased_names.count(names[i])) continue;  // erased as a duplicate: it erases nothing
        const tin_point_rec& p = positions[i];
        duplicated += dtm_remove_near(point3d_rec{p.x, p.y, p.z}, names[i], tolerance, erased_names);
    }
    if (total > 0) acutPrintf("\n%d duplicated points erased.", duplicated);
}

void dtm_check_duplicates()
{
    dup_cfg_rec& cfg = dup_cfg();
    if (!tin_tool_proceed("\nThis program find duplicated points.(remove if duplicated)")) return;
    // eXit leaves the command: nothing is erased and the tolerance stays.
    if (!tin_prompt_real_or_exit("\nTolorence", "tolerance", 0.0, false, cfg.tolerance)) return;
    dtm_remove_duplicates();
}
