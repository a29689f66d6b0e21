#include "entity_readers.h"

#include <strings.h>

#include <cmath>

#include "angles.h"
#include "plan_view.h"
#include "resbuf_util.h"

circle_read_rec circle_read;
point_read_rec point_read;

int ss_item_name(const ads_name ss_or_entity, long index, ads_name entity)
{
    if (index == -1) {
        ads_name_set(ss_or_entity, entity);
        return ads_name_nil(entity) ? 0 : 1;
    }
    return acedSSName(ss_or_entity, index, entity) == RTNORM ? 1 : 0;
}

namespace {
// An entity list read for one reader, released when it goes out of scope.
struct EntityList {
    resbuf* list = nullptr;
    explicit EntityList(const ads_name entity) : list(ent_get_in_plan(entity)) {}
    ~EntityList() { acutRelRb(list); }
    EntityList(const EntityList&) = delete;
    EntityList& operator=(const EntityList&) = delete;
    bool is_type(const char* type) const
    {
        const char* found = rb_get_str(list, 0);
        return found != nullptr && strcasecmp(found, type) == 0;
    }
};
}  // namespace

int ss_line_ends(const ads_name ss, long index, double& x1, double& y1, double& z1, double& x2, double& y2,
                 double& z2)
{
    point3d_rec start, end;
    if (!ss_line_ends_pair(ss, index, start, end)) return 0;
    x1 = start.x, y1 = start.y, z1 = start.z;
    x2 = end.x, y2 = end.y, z2 = end.z;
    return 1;
}

int ss_line_ends_pair(const ads_name ss, long index, point3d_rec& start, point3d_rec& end)
{
    ads_name entity;
    if (!ss_item_name(ss, index, entity)) return 0;
    EntityList e(entity);
    point3d_rec a, b;
    if (!e.list || !rb_get_point(e.list, 10, a, 1) || !rb_get_point(e.list, 11, b, 1)) return 0;
    start = a;
    end = b;
    return 1;
}

int ss_circle_get(const ads_name ss, long index, int flat)
{
    ads_name entity;
    if (!ss_item_name(ss, index, entity)) return 0;
    EntityList e(entity);
    if (!e.list || !e.is_type("CIRCLE")) return 0;
    point3d_rec centre;
    if (!rb_get_point(e.list, 10, centre, flat == 1 ? 0 : 1)) return 0;
    circle_read.centre = centre;
    const char* layer = rb_get_str(e.list, 8);
    circle_read.layer = layer ? layer : "0";
    circle_read.radius = rb_get_real(e.list, 40);
    return 1;
}

int ss_point_get(const ads_name ss, long index, int flat)
{
    ads_name entity;
    if (!ss_item_name(ss, index, entity)) return 0;
    EntityList e(entity);
    if (!e.list) return 0;
    if (index != -1 && !e.is_type("POINT")) return 0;
    point3d_rec location;
    if (!rb_get_point(e.list, 10, location, flat == 1 ? 0 : 1)) return 0;
    point_read.location = location;
    const char* layer = rb_get_str(e.list, 8);
    point_read.layer = layer ? layer : "0";
    return 1;
}

int ss_3dface_get(const ads_name ss, long index, point3d_rec corners[4], std::string& layer)
{
    ads_name entity;
    if (!ss_item_name(ss, index, entity)) return 0;
    EntityList e(entity);
    if (!e.list || !e.is_type("3DFACE")) return 0;
    point3d_rec read[4];
    for (int i = 0; i < 4; ++i)
        if (!rb_get_point(e.list, 10 + i, read[i], 1)) return 0;
    for (int i = 0; i < 4; ++i) corners[i] = read[i];
    const char* found = rb_get_str(e.list, 8);
    layer = found ? found : "0";
    return 1;
}

int ss_text_get_string(const ads_name ss, long index, int code, std::string& out)
{
    ads_name entity;
    if (!ss_item_name(ss, index, entity)) return 0;
    EntityList e(entity);
    if (!e.list || !e.is_type("TEXT") || (code != 1 && code != 8)) return 0;
    const char* found = rb_get_str(e.list, code);
    if (found == nullptr) return 0;
    out = found;
    return 1;
}

int ss_point_group_get(const ads_name ss, long index, int code, point3d_rec& out)
{
    if (code != 10 && code != 11) return 0;
    ads_name entity;
    if (!ss_item_name(ss, index, entity)) return 0;
    EntityList e(entity);
    return e.list && rb_get_point(e.list, code, out, 1) ? 1 : 0;
}

int ent_get_string(const ads_name entity, int code, std::string& out)
{
    EntityList e(entity);
    if (!e.list) return 0;
    const char* found = rb_get_str(e.list, code);
    out = found ? found : "";
    return 1;
}

int ent_layer_get(const ads_name entity, std::string& out)
{
    return ent_get_string(entity, 8, out);
}

int ent_point_get(const ads_name entity, int code, point3d_rec& out)
{
    if (code != 10 && code != 11) return 0;
    EntityList e(entity);
    return e.list && rb_get_point(e.list, code, out, 1) ? 1 : 0;
}

int ent_real_get(const ads_name entity, int code, double& out)
{
    EntityList e(entity);
    if (!e.list || !rb_find(e.list, code)) return 0;
    double value = rb_get_real(e.list, code);
    if (code == 50) {
        value = 90.0 - angle_rad_to_deg(value);
        if (value < 0) value += 360.0;
    }
    out = value;
    return 1;
}
