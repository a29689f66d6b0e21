#include "selection_sets.h"

#include <strings.h>

#include "resbuf_util.h"

bool ent_is_type(const ads_name entity, const char* type)
{
    resbuf* list = acdbEntGet(entity);
    if (list == nullptr) return false;
    const char* found = rb_get_str(list, 0);
    const bool same = found != nullptr && strcasecmp(found, type) == 0;
    acutRelRb(list);
    return same;
}

int ent_select_type(const char* prompt, const char* type, ads_name entity, point3d_rec& picked)
{
    ads_point point = {0, 0, 0};
    if (acedEntSel(prompt, entity, point) != RTNORM) return 0;
    picked = point_from_ads(point);
    return ent_is_type(entity, type) ? 1 : 2;
}

int ent_select_type_b(const char* prompt, const char* type, ads_name entity, point3d_rec& picked)
{
    return ent_select_type(prompt, type, entity, picked);
}

// Runs one acedSSGet and reports the set's length; no set is left behind when
// nothing was selected.
static int select_with(const char* mode, const void* p1, const void* p2, resbuf* filter, ads_name ss,
                       long& length)
{
    length = 0;
    ads_name_clear(ss);
    const int status = acedSSGet(mode, p1, p2, filter, ss);
    acutRelRb(filter);
    if (status != RTNORM) {
        ads_name_clear(ss);
        return 0;
    }
    if (acedSSLength(ss, &length) != RTNORM || length == 0) {
        acedSSFree(ss);
        ads_name_clear(ss);
        length = 0;
        return 0;
    }
    return 1;
}

static resbuf* type_filter(const char* type, const char* layer)
{
    if (layer == nullptr) return acutBuildList(RTDXF0, type, 0);
    return acutBuildList(RTDXF0, type, 8, layer, 0);
}

int ss_select_type(const char* type, ads_name ss, long& length)
{
    return select_with(nullptr, nullptr, nullptr, type_filter(type, nullptr), ss, length);
}

int ss_select_type_layer(const char* type, const char* layer, ads_name ss, long& length)
{
    return select_with(nullptr, nullptr, nullptr, type_filter(type, layer), ss, length);
}

int ss_crossing_type(const char* type, const point3d_rec& corner1, const point3d_rec& corner2, ads_name ss,
                     long& length)
{
    ads_point p1, p2;
    point_to_ads(corner1, p1);
    point_to_ads(corner2, p2);
    return select_with("C", p1, p2, type_filter(type, nullptr), ss, length);
}

int ss_all_type(const char* type, ads_name ss, long& length)
{
    return select_with("X", nullptr, nullptr, type_filter(type, nullptr), ss, length);
}

int ss_all_type_layer(const char* type, const char* layer, ads_name ss, long& length)
{
    return select_with("X", nullptr, nullptr, type_filter(type, layer), ss, length);
}

// Copies the entities of the set whose type is `type` into a new set.
static int copy_of_type(const ads_name ss, const char* type, ads_name new_ss, long& count, long* vertex_total)
{
    count = 0;
    if (vertex_total) *vertex_total = 0;
    ads_name_clear(new_ss);
    long length = 0;
    if (acedSSLength(ss, &length) != RTNORM) return 0;
    bool made = false;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) continue;
        resbuf* list = acdbEntGet(entity);
        if (list == nullptr) continue;
        const char* found = rb_get_str(list, 0);
        if (found != nullptr && strcasecmp(found, type) == 0) {
            if (!made) {
                made = acedSSAdd(entity, nullptr, new_ss) == RTNORM;
            } else {
                acedSSAdd(entity, new_ss, new_ss);
            }
            if (vertex_total) {
                const resbuf* vertices = rb_find(list, 90);
                if (vertices) *vertex_total += vertices->resval.rlong;
            }
        }
        acutRelRb(list);
    }
    if (made) acedSSLength(new_ss, &count);
    return made ? 1 : 0;
}

int ss_verify_type(const ads_name ss, const char* type, ads_name new_ss, long& count)
{
    acutPrintf("\nVerify %s ", type);
    return copy_of_type(ss, type, new_ss, count, nullptr);
}

int ss_verify_lines(const ads_name ss, ads_name new_ss, long& count)
{
    acutPrintf("\nVerify LwPolyline...");
    return copy_of_type(ss, "LINE", new_ss, count, nullptr);
}

int ss_verify_lwpolylines(const ads_name ss, ads_name new_ss, long& count, long& vertex_total)
{
    acutPrintf("\nVerify LwPolyline...");
    return copy_of_type(ss, "LWPOLYLINE", new_ss, count, &vertex_total);
}
