// TIN generation: selected POINTs to triangular 3DFACEs on the layer "TIN".
#include "tin_generate.h"

#include "entity_makers.h"
#include "geometry.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "tin_triangulate.h"

int tin_select_points()
{
    tin_cfg_rec& cfg = tin_cfg();
    long length = 0;
    if (!ss_select_type("POINT", cfg.ss, length)) {
        cfg.ss_length = 0;
        return 0;
    }
    cfg.ss_length = length;
    if (length < 3) return 0;
    acutPrintf("\nFound :%i", static_cast<int>(length));
    return 1;
}

void tin_read_points(tin_point_list& points)
{
    const tin_cfg_rec& cfg = tin_cfg();
    points.reserve(points.size() + static_cast<size_t>(cfg.ss_length));
    for (long i = 0; i < cfg.ss_length; ++i) {
        ads_name entity;
        if (acedSSName(cfg.ss, i, entity) != RTNORM) continue;
        resbuf* list = acdbEntGet(entity);
        if (!list) continue;
        point3d_rec p;
        rb_get_point(list, 10, p, 1);
        acutRelRb(list);
        tin_point_push(points, p.x, p.y, p.z);
    }
}

long tin_write_faces(const tin_tri_list& output, const tin_point_list& points)
{
    const tin_cfg_rec& cfg = tin_cfg();
    long made = 0;
    for (const tin_tri_rec& tri : output) {
        const tin_point_rec& a = points[tri.a];
        const tin_point_rec& b = points[tri.b];
        const tin_point_rec& c = points[tri.c];
        const point3d_rec pa{a.x, a.y, a.z}, pb{b.x, b.y, b.z}, pc{c.x, c.y, c.z};
        if (dist_2d(pa, pb) > cfg.max_distance || dist_2d(pb, pc) > cfg.max_distance ||
            dist_2d(pc, pa) > cfg.max_distance)
            continue;
        if (face3d_make(pa, pb, pc, pc, cfg.tin_layer) == RTNORM) ++made;
    }
    return made;
}

bool tin_build_from_points(int /*hull_flag: the hull is always filled*/)
{
    acutPrintf("\rReading Nodes....");
    tin_point_list points;
    tin_read_points(points);
    tin_node_list nodes;
    nodes.reserve(points.size());
    for (const tin_point_rec& p : points) tin_node_push(nodes, p.x, p.y);
    acutPrintf("Done\n");

    acutPrintf("\rSorting %d Points....", static_cast<int>(nodes.size()));
    const tin_result result = tin_triangulate(nodes);
    acutPrintf("Done.\n");
    if (result.status == tin_status::too_few_unique) {
        acutPrintf("Less than 3 unique points! %d\n ", result.unique);
        return false;
    }
    if (result.status == tin_status::collinear) {
        acutPrintf("All %d unique points lie on one line: no triangle can be made.\n", result.unique);
        return false;
    }
    acutPrintf("\rWriting %d Triangles....", static_cast<int>(result.triangles.size()));
    tin_write_faces(result.triangles, points);
    acutPrintf("Done.\n");
    return true;
}

void tin_generate()
{
    if (!tin_build_from_points(1)) {
        acutPrintf("Triangulation Failed!\n");
        return;
    }
    acutPrintf("Triangle Created.\n");
}

void tin_generate_cmd()
{
    if (!tin_tool_proceed("\nThis program generate TIN.")) return;
    tin_cfg_init();
    tin_cfg_rec& cfg = tin_cfg();
    cfg.max_distance = prompt_real_or_exit("Maximum Distance", cfg.max_distance, 3);
    if (tin_select_points()) tin_generate();
    if (cfg.ss_length > 0 || cfg.ss[0] || cfg.ss[1]) acedSSFree(cfg.ss);
    cfg.ss[0] = cfg.ss[1] = 0;
    cfg.ss_length = 0;
}
