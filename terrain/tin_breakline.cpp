// Breakline points from the TIN's 3DFACEs. Each piece searches only the faces
// and POINTs of its own bounding box, so a long polyline costs as much as its
// sides together.
#include "tin_breakline.h"

#include <algorithm>
#include <string>

#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "polyline_read.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "text_fields.h"

namespace {

// Crossings closer than this along one piece give one POINT, the last one.
constexpr double brk_crossing_spacing = 1.0;
// A crossing this near an existing POINT is not written again.
constexpr double brk_existing_tolerance = 0.03;

point3d_rec flat(double x, double y)
{
    return point3d_rec{x, y, 0.0};
}

// The piece's bounding box, widened by `pad` on every side.
void brk_piece_window(const tin_node_list& piece, double pad, point3d_rec& low, point3d_rec& high)
{
    const tin_node_rec& a = piece[0];
    const tin_node_rec& b = piece[1];
    low = flat(std::min(a.x, b.x) - pad, std::min(a.y, b.y) - pad);
    high = flat(std::max(a.x, b.x) + pad, std::max(a.y, b.y) + pad);
}

void brk_read_existing(const ads_name ss, long length, tin_node_list& existing)
{
    for (long i = 0; i < length; ++i)
        if (ss_point_get(ss, i, 1)) tin_node_push(existing, point_read.location.x, point_read.location.y);
}

// Pieces of consecutive vertices; the closing side of a closed polyline, which
// the vertex readers add as the first vertex repeated, is not a piece.
void brk_process_vertices(const polyline_vertices_rec& read)
{
    std::size_t count = read.vertices.size();
    if ((read.flags & 1) && count > 1) --count;
    for (std::size_t i = 0; i + 1 < count; ++i) {
        const point3d_rec& p = read.vertices[i].point;
        const point3d_rec& q = read.vertices[i + 1].point;
        brk_process_line({tin_node_make(0, p.x, p.y), tin_node_make(1, q.x, q.y)});
    }
}

// One selected item by its type; other types are passed over.
void brk_process_item(const ads_name ss, long index, const ads_name entity)
{
    resbuf* list = acdbEntGet(entity);
    if (!list) return;
    const char* type_text = rb_get_str(list, 0);
    std::string type = type_text ? type_text : "";
    str_upper(type);
    acutRelRb(list);
    if (type == "LINE") {
        point3d_rec start, end;
        if (ss_line_ends_pair(ss, index, start, end))
            brk_process_line({tin_node_make(0, start.x, start.y), tin_node_make(1, end.x, end.y)});
    } else if (type == "LWPOLYLINE") {
        if (lwpoly_read_vertices(ss, index)) brk_process_vertices(lwpoly_vertices);
    } else if (type == "POLYLINE") {
        polyline_read_vertices(ss, index);
        brk_process_vertices(polyline_vertices);
    }
}

}  // namespace

void brk_faces_to_points(const ads_name ss, long length, tin_point_list& corners)
{
    for (long i = 0; i < length; ++i) {
        point3d_rec c[4];
        std::string layer;
        if (!ss_3dface_get(ss, i, c, layer)) break;
        const std::int32_t id = static_cast<std::int32_t>(corners.size());
        for (int k = 0; k < 3; ++k) corners.push_back(tin_point_set(id + k, c[k].x, c[k].y, c[k].z));
    }
}

void brk_edge_crossings(const tin_node_list& piece, const tin_point_list& corners, tin_point_list& crossings)
{
    const ads_point from = {piece[0].x, piece[0].y, 0.0};
    const ads_point to = {piece[1].x, piece[1].y, 0.0};
    for (std::size_t f = 0; f + 2 < corners.size(); f += 3) {
        for (int k = 0; k < 3; ++k) {
            const tin_point_rec& a = corners[f + k];
            const tin_point_rec& b = corners[f + (k + 1) % 3];
            const ads_point edge_from = {a.x, a.y, 0.0};
            const ads_point edge_to = {b.x, b.y, 0.0};
            ads_point hit;
            if (acdbInters(from, to, edge_from, edge_to, 1, hit) != RTNORM) continue;
            const double z = geo_z_interpolate(point3d_rec{a.x, a.y, a.z}, point3d_rec{b.x, b.y, b.z},
                                               flat(hit[X], hit[Y]));
            crossings.push_back(
                tin_point_set(static_cast<std::int32_t>(crossings.size()) + 1, hit[X], hit[Y], z));
        }
    }
}

int brk_write_points(const tin_point_list& crossings, const tin_node_list& existing)
{
    const std::string& layer = tin_cfg().breakline_layer;
    int made = 0;
    for (std::size_t k = 0; k < crossings.size(); ++k) {
        const point3d_rec here = flat(crossings[k].x, crossings[k].y);
        bool skip = false;
        for (std::size_t later = k + 1; later < crossings.size() && !skip; ++later)
            skip = dist_within(here, flat(crossings[later].x, crossings[later].y), brk_crossing_spacing);
        for (std::size_t e = 0; e < existing.size() && !skip; ++e)
            skip = dist_within(here, flat(existing[e].x, existing[e].y), brk_existing_tolerance);
        if (skip) continue;
        if (point_make(point3d_rec{crossings[k].x, crossings[k].y, crossings[k].z}, layer) == RTNORM) ++made;
    }
    return made;
}

void brk_process_line(const tin_node_list& piece)
{
    point3d_rec low, high;
    brk_piece_window(piece, 0.0, low, high);
    ads_name faces;
    long face_count = 0;
    const bool have_faces = ss_crossing_type("3DFACE", low, high, faces, face_count) != 0;
    // The POINT window reaches the existing-point tolerance beyond the box, so
    // that a POINT beside a level or upright piece is found too.
    point3d_rec point_low, point_high;
    brk_piece_window(piece, brk_existing_tolerance, point_low, point_high);
    ads_name points;
    long point_count = 0;
    const bool have_points = ss_crossing_type("POINT", point_low, point_high, points, point_count) != 0;

    tin_node_list existing;
    if (have_points) brk_read_existing(points, point_count, existing);
    tin_point_list corners;
    if (have_faces) brk_faces_to_points(faces, face_count, corners);
    tin_point_list crossings;
    brk_edge_crossings(piece, corners, crossings);
    brk_write_points(crossings, existing);

    if (have_faces) acedSSFree(faces);
    if (have_points) acedSSFree(points);
}

void tin_breakline_cmd()
{
    if (!tin_tool_proceed("\nThis program point for breakline from TIN.")) return;
    tin_cfg_init();
    acutPrintf("\nSelect breakline object :");
    ads_name ss;
    long length = 0;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, ss) != RTNORM) {
        acutPrintf("\nNothing selected...");
        return;
    }
    if (acedSSLength(ss, &length) != RTNORM) {
        acutPrintf("\nNothing selected...");
        acedSSFree(ss);
        return;
    }
    acutPrintf("\nProcessing selected items ...");
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(ss, i, entity) != RTNORM) {
            acutPrintf("\nSelected object error!");
            break;
        }
        brk_process_item(ss, i, entity);
    }
    acedSSFree(ss);
}
