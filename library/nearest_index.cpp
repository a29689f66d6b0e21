// The nearest-point index. The key lists are sorted so that equal keys keep
// their insertion order (the adjacent-exchange sort does exactly that, and a
// stable sort gives the same lists), and the window ends are found by binary
// search at the same positions a scan from the centre outward reaches.
#include "nearest_index.h"

#include <algorithm>
#include <string>

#include "ads.h"
#include "entity_readers.h"
#include "geometry.h"
#include "selection_sets.h"

namespace {

// Ids present in the Y window, by id: the stamp of the search that saw them
// and their y key.
struct y_window_marks {
    std::vector<unsigned> stamp;
    std::vector<double> key;
    unsigned current = 0;
};

y_window_marks& marks()
{
    static y_window_marks m;
    return m;
}

bool key_less(const pnt_key_rec& a, const pnt_key_rec& b)
{
    return a.key < b.key;
}

void sort_with_progress(std::vector<pnt_key_rec>& list)
{
    int last = static_cast<int>(list.size()) - 1;
    // The progress line rewrites itself; a hundred steps show the same as one
    // per position and end on the same last line.
    int step = std::max(1, last / 100);
    for (int i = 0; i < last; i += step) acutPrintf("\rSorting %d of %d objects", i, last);
    if (last > 0 && (last - 1) % step != 0) acutPrintf("\rSorting %d of %d objects", last - 1, last);
    std::stable_sort(list.begin(), list.end(), key_less);
}

// The window of one sorted list around the coordinate q at radius r.
void key_window(const std::vector<pnt_key_rec>& list, double q, double r, int& first, int& last)
{
    int n = static_cast<int>(list.size());
    if (n == 0) {
        first = 0;
        last = -1;
        return;
    }
    auto key_above = [](double value, const pnt_key_rec& k) { return value < k.key; };
    auto key_below = [](const pnt_key_rec& k, double value) { return k.key < value; };
    // Centre: the first key strictly above q, else the last position.
    int c = static_cast<int>(std::upper_bound(list.begin(), list.end(), q, key_above) - list.begin());
    if (c == n) c = n - 1;
    // Lower end: downward from s, the first key strictly below key[s] - r.
    int s = c > 1 ? c - 1 : c;
    double low = list[s].key - r;
    int below_end =
        static_cast<int>(std::lower_bound(list.begin(), list.end(), low, key_below) - list.begin());
    first = below_end == 0 ? 0 : std::min(s, below_end - 1);
    // Upper end: upward from c, the first key strictly above key[c] + r.
    double high = list[c].key + r;
    int above = static_cast<int>(std::upper_bound(list.begin(), list.end(), high, key_above) - list.begin());
    last = above >= n ? n - 1 : std::max(c, above);
}

}  // namespace

nearest_index_rec& nearest_index()
{
    static nearest_index_rec index;
    return index;
}

void push_pnt_key(std::int32_t id, double key, std::vector<pnt_key_rec>& list)
{
    list.push_back({id, key});
}

void push_pnt_cand(std::int32_t id, double x, double y, std::vector<pnt_cand_rec>& list)
{
    list.push_back({id, x, y});
}

void nearest_index_ctl(double x, double y, int mode)
{
    nearest_index_rec& index = nearest_index();
    switch (mode) {
        case 0:
            index.x_keys.clear();
            index.y_keys.clear();
            break;
        case 1: {
            auto id = static_cast<std::int32_t>(index.x_keys.size());
            push_pnt_key(id, x, index.x_keys);
            push_pnt_key(id, y, index.y_keys);
            break;
        }
        case 2:
            sort_nearest_index();
            break;
        default:
            break;
    }
}

void nearest_set_radius(double radius)
{
    nearest_index().radius = radius;
    nearest_index().base_radius = radius;
}

void sort_nearest_index()
{
    sort_with_progress(nearest_index().x_keys);
    sort_with_progress(nearest_index().y_keys);
}

void find_key_window(const point3d_rec& point)
{
    nearest_index_rec& index = nearest_index();
    key_window(index.x_keys, point.x, index.radius, index.x_first, index.x_last);
    key_window(index.y_keys, point.y, index.radius, index.y_first, index.y_last);
}

void collect_nearest_candidates()
{
    nearest_index_rec& index = nearest_index();
    index.candidates.clear();
    y_window_marks& m = marks();
    std::size_t n = std::max(index.x_keys.size(), index.y_keys.size());
    if (m.stamp.size() < n) {
        m.stamp.resize(n, 0);
        m.key.resize(n, 0);
    }
    if (++m.current == 0) {  // the stamp wrapped: start afresh
        std::fill(m.stamp.begin(), m.stamp.end(), 0);
        m.current = 1;
    }
    for (int i = index.y_first; i <= index.y_last; ++i) {
        const pnt_key_rec& k = index.y_keys[i];
        if (k.id < 0 || static_cast<std::size_t>(k.id) >= n) continue;
        m.stamp[k.id] = m.current;
        m.key[k.id] = k.key;
    }
    for (int i = index.x_first; i <= index.x_last; ++i) {
        const pnt_key_rec& k = index.x_keys[i];
        if (k.id < 0 || static_cast<std::size_t>(k.id) >= n || m.stamp[k.id] != m.current) continue;
        push_pnt_cand(k.id, k.key, m.key[k.id], index.candidates);
    }
}

int pick_nearest_candidate(const point3d_rec& point)
{
    const std::vector<pnt_cand_rec>& candidates = nearest_index().candidates;
    int best = -1;
    double best_distance = 0;
    for (int i = 0; i < static_cast<int>(candidates.size()); ++i) {
        double d = dist_2d(point, point3d_rec{candidates[i].x, candidates[i].y, 0});
        if (best < 0 || d < best_distance) {
            best = i;
            best_distance = d;
        }
    }
    return best;
}

int nearest_find_point(const point3d_rec& point)
{
    nearest_index_rec& index = nearest_index();
    if (index.x_keys.empty() || index.y_keys.empty()) return -1;
    for (;;) {
        find_key_window(point);
        collect_nearest_candidates();
        int found = pick_nearest_candidate(point);
        if (found >= 0) {
            index.radius = index.base_radius;
            return index.candidates[found].id;
        }
        index.radius += 5.0;
    }
}

int nearest_find_point_within(const point3d_rec& point, double limit)
{
    nearest_index_rec& index = nearest_index();
    if (index.x_keys.empty() || index.y_keys.empty() || !(limit >= 0)) return -1;
    const double radius = index.radius;
    index.radius = limit;
    find_key_window(point);
    index.radius = radius;
    collect_nearest_candidates();
    const int found = pick_nearest_candidate(point);
    if (found < 0) return -1;
    const pnt_cand_rec& best = index.candidates[found];
    if (dist_2d(point, point3d_rec{best.x, best.y, 0}) > limit) return -1;
    return best.id;
}

int test_find_nearest_point()
{
    acutPrintf("\nTEST FIND NEAREST POINT....");
    std::vector<point3d_rec> points;
    ads_name set;
    long length = 0;
    if (ss_select_type("POINT", set, length) && length > 0) {
        for (long i = 0; i < length; ++i) {
            point3d_rec location;
            if (ss_point_group_get(set, i, 10, location)) points.push_back(location);
        }
        acedSSFree(set);
    }
    nearest_index_ctl(0, 0, 0);
    for (const point3d_rec& p : points) nearest_index_ctl(p.x, p.y, 1);
    nearest_index_ctl(0, 0, 2);
    nearest_set_radius(20.0);

    ads_point picked;
    while (acedGetPoint(nullptr, "\nPick next point :", picked) == RTNORM) {
        int id = nearest_find_point(point3d_rec{picked[X], picked[Y], picked[Z]});
        if (id < 0) {
            acutPrintf("\nNot found in search radius [%.3f]", nearest_index().radius);
            continue;
        }
        const point3d_rec& p = points[id];
        acutPrintf("\nAt [%d] (%.3f,%.3f)]", id, p.x, p.y);
        ads_point from = {p.x, p.y, p.z}, answer;
        acedGetPoint(from, "\nFound here :", answer);
    }
    return 1;
}
