// The polyline spline: sorts a selection into LWPOLYLINEs and POLYLINEs and runs
// the host's "PEDIT" spline option on each one whose layer is not locked.
#include "spline_polylines.h"

#include <strings.h>

#include <array>
#include <vector>

#include "ads.h"
#include "layers.h"
#include "resbuf_util.h"

namespace {

using entity_name = std::array<long, 2>;

// A layer whose flags carry the lock bit (whatever else they carry: frozen,
// referenced) keeps its polylines as they are.
constexpr int kLayerLocked = 4;

bool layer_is_locked(const ads_name entity)
{
    resbuf* list = acdbEntGet(entity);
    if (list == nullptr) return false;
    const char* layer = rb_get_str(list, 8);
    const int flags = layer_flags_get(layer ? layer : "0");
    acutRelRb(list);
    return flags >= 0 && (flags & kLayerLocked);
}

// Sorts the set's items by type; false after "\nSelected object error!" when an
// item cannot be named.
bool sort_selection(const ads_name ss, long length, std::vector<entity_name>& lwpolylines,
                    std::vector<entity_name>& polylines)
{
    acutPrintf("\nProcessing selected items ...");
    for (long i = 0; i < length; ++i) {
        // The first progress line starts a line of its own, so that the line
        // before it stays readable.
        acutPrintf(i == 0 ? "\nProcessing %ld of %ld objects" : "\rProcessing %ld of %ld objects", i + 1,
                   length);
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) {
            acutPrintf("\nSelected object error!");
            return false;
        }
        resbuf* list = acdbEntGet(entity);
        const char* type = list ? rb_get_str(list, 0) : nullptr;
        if (type != nullptr && strcasecmp(type, "LWPOLYLINE") == 0)
            lwpolylines.push_back({entity[0], entity[1]});
        if (type != nullptr && strcasecmp(type, "POLYLINE") == 0) polylines.push_back({entity[0], entity[1]});
        acutRelRb(list);
    }
    return true;
}

// Splines each polyline of the list; the number left alone on locked layers.
int spline_each(const std::vector<entity_name>& list)
{
    int locked = 0;
    const long count = static_cast<long>(list.size());
    for (long i = 0; i < count; ++i) {
        acutPrintf(i == 0 ? "\nProcessing %ld of %ld POLYLINE" : "\rProcessing %ld of %ld POLYLINE", i + 1,
                   count);
        ads_name entity = {list[i][0], list[i][1]};
        if (layer_is_locked(entity)) {
            ++locked;
            continue;
        }
        acedCommand(RTSTR, "PEDIT", RTENAME, entity, RTSTR, "s", RTSTR, "", 0);
    }
    return locked;
}

}  // namespace

int spline_polylines_cmd()
{
    acutPrintf("\nThis program to spline LWPOLYLINES/POLYLINE.!!!!!Lock necessary layers!!!!");
    ads_name ss;
    long length = 0;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, ss) != RTNORM) return 0;
    if (acedSSLength(ss, &length) != RTNORM) {
        acedSSFree(ss);
        return 0;
    }
    std::vector<entity_name> lwpolylines, polylines;
    const bool sorted = sort_selection(ss, length, lwpolylines, polylines);
    acedSSFree(ss);
    if (!sorted) return 1;
    acutPrintf("\nFound %d LWPOLYLINE", static_cast<int>(lwpolylines.size()));
    acutPrintf("\nFound %d POLYLINE", static_cast<int>(polylines.size()));
    const int locked = spline_each(polylines) + spline_each(lwpolylines);
    if (locked > 0) acutPrintf("\n%d on locked layers left as they were", locked);
    return 1;
}
