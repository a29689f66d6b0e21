// Reading polyline vertices, and the spline choice of PolylineConfirm_dlg.
#include "polyline_read.h"

#include <cstring>

#include "dialog_conventions.h"
#include "entity_readers.h"
#include "plan_view.h"
#include "resbuf_util.h"

polyline_vertices_rec lwpoly_vertices;
polyline_vertices_rec polyline_vertices;
polyline_spline_choice_rec polyline_spline_choice;

namespace {

constexpr int kLinetypeGeneration = 128;

// The groups of an entity list that the readers use.
struct entity_groups {
    std::string type, layer;
    int flags = 0;
    double elevation = 0;
    numbered_point_list points;  // every group 10, in order
    std::vector<double> bulges;  // the group 42 that follows each group 10, or 0
};

bool read_groups(const ads_name entity, entity_groups& out)
{
    resbuf* list = ent_get_in_plan(entity);
    if (!list) return false;
    for (resbuf* rb = list; rb; rb = rb->rbnext) {
        switch (rb->restype) {
            case 0:
                out.type = rb->resval.rstring ? rb->resval.rstring : "";
                break;
            case 8:
                out.layer = rb->resval.rstring ? rb->resval.rstring : "";
                break;
            case 70:
                out.flags = rb->resval.rint;
                break;
            case 38:
                out.elevation = rb->resval.rreal;
                break;
            case 10:
                numbered_point_push(out.points, 0, point_from_ads(rb->resval.rpoint));
                out.bulges.push_back(0.0);
                break;
            case 42:
                if (!out.bulges.empty()) out.bulges.back() = rb->resval.rreal;
                break;
        }
    }
    acutRelRb(list);
    return true;
}

bool is_closed(int flags)
{
    return flags == 1 || flags == 3 || flags == 5 || flags == 9 || flags == 13;
}

// Whether a VERTEX of these flags is read from a polyline of those flags.
bool vertex_counts(int polyline_flags, int vertex_flags, int mode)
{
    switch (polyline_flags) {
        case 0:
        case 1:
        case 2:
        case 3:
        case 8:
        case 9:
            return true;
        case 4:
        case 5:  // 2D spline: frame vertices 16, curve vertices 8
            return mode == spline_mode_both ||
                   (mode == spline_mode_frame ? vertex_flags == 16 : vertex_flags == 8);
        case 12:
        case 13:  // 3D spline: frame 48, curve 40
            return mode == spline_mode_both ||
                   (mode == spline_mode_frame ? vertex_flags == 48 : vertex_flags == 40);
        default:
            return false;
    }
}

const char* spline_message(int flags)
{
    switch (flags) {
        case 4:
            return "This is a 2D polyline with SPLINE.";
        case 5:
            return "This is a 2D polyline closed with SPLINE.";
        case 12:
            return "This is a 3D polyline with SPLINE.";
        case 13:
            return "This is a 3D polyline closed with SPLINE.";
        default:
            return "";
    }
}

}  // namespace

int lwpoly_read_vertices(const ads_name ss_or_entity, long index)
{
    lwpoly_vertices = polyline_vertices_rec{};
    ads_name entity;
    entity_groups groups;
    if (!ss_item_name(ss_or_entity, index, entity) || !read_groups(entity, groups)) return 0;
    lwpoly_vertices.layer = groups.layer;
    lwpoly_vertices.flags = groups.flags;
    lwpoly_vertices.elevation = groups.elevation;
    lwpoly_vertices.vertices = groups.points;
    lwpoly_vertices.bulges = groups.bulges;
    // Closed, with or without linetype generation: the closing leg is a leg too.
    if ((groups.flags & ~kLinetypeGeneration) == 1 && !groups.points.empty()) {
        lwpoly_vertices.vertices.push_back(groups.points.front());
        lwpoly_vertices.bulges.push_back(0.0);
    } else if (!lwpoly_vertices.bulges.empty()) {
        lwpoly_vertices.bulges.back() = 0.0;  // no side follows the last vertex
    }
    return 1;
}

int polyline_read_vertices(const ads_name ss_or_entity, long index)
{
    polyline_vertices = polyline_vertices_rec{};
    ads_name entity;
    entity_groups head;
    if (!ss_item_name(ss_or_entity, index, entity) || !read_groups(entity, head)) return 0;
    // The linetype-generation bit says nothing about which vertices there are.
    int flags = head.flags & ~kLinetypeGeneration;
    polyline_vertices.layer = head.layer;
    polyline_vertices.flags = flags;
    polyline_vertices.elevation = head.elevation;
    if ((flags == 4 || flags == 5 || flags == 12 || flags == 13) && !polyline_spline_choice.never_ask)
        polyline_confirm_dialog(flags);
    const int mode = polyline_spline_choice.mode;

    ads_name current, next;
    ads_name_set(entity, current);
    while (acdbEntNext(current, next) == RTNORM) {
        entity_groups vertex;
        if (!read_groups(next, vertex) || vertex.type != "VERTEX") break;  // SEQEND or the next entity
        if (!vertex.points.empty() && vertex_counts(flags, vertex.flags, mode)) {
            numbered_point_push(polyline_vertices.vertices, vertex.flags, vertex.points.front().point);
            polyline_vertices.bulges.push_back(vertex.bulges.front());
        }
        ads_name_set(next, current);
    }
    if (is_closed(flags) && !polyline_vertices.vertices.empty()) {
        polyline_vertices.vertices.push_back(polyline_vertices.vertices.front());
        polyline_vertices.bulges.push_back(0.0);
    } else if (!polyline_vertices.bulges.empty()) {
        polyline_vertices.bulges.back() = 0.0;
    }
    return 0;
}

void polyline_confirm_dialog(int flags)
{
    int mode = polyline_spline_choice.mode;
    int never_ask = 0;
    dialog_def def{"PolylineConfirm.dcl",
                   "PolylineConfirm_dlg",
                   {tile_choice("rb_CoordFrame", mode, spline_mode_frame),
                    tile_choice("rb_CoordSpline", mode, spline_mode_curve),
                    tile_choice("rb_CoordFrameSpline", mode, spline_mode_both),
                    tile_toggle("tg_neverAsk", never_ask), tile_button("exit", DLGOK)},
                   [flags](ads_hdlg dialog) { ads_set_tile(dialog, "t_msg", spline_message(flags)); }};
    // Shown until "exit" ends it; Esc or a closed dialog keeps the choice as it was.
    if (dialog_run(def) != DLGOK) return;
    polyline_spline_choice.mode = mode;
    polyline_spline_choice.never_ask = never_ask;
}
