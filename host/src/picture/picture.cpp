// Pictures of a drawing: the script command PICTURE path [x1,y1 x2,y2] writes
// the current drawing, or that window of it, as PNG or PDF (by the file's
// extension) on white. Entities take their layer's colour (colour 7 is drawn
// black), texts use the host's one font model (textmetrics.h) for their box,
// justification and rotation, and the temporary vectors of acedGrDraw are
// drawn dashed over the drawing. Layers that are off or frozen are not drawn.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <functional>
#include <limits>

#include "db/entities.h"
#include "db/ocs.h"
#include "db/textmetrics.h"
#include "dxf/dxf_commands.h"
#include "dxf/file_replace.h"
#include "session/input.h"

#ifdef HOST_HAVE_CAIRO
#include <cairo-pdf.h>
#include <cairo.h>
#include <dlfcn.h>

#include <cstdlib>
#endif

namespace host {

namespace {

constexpr double kPi = 3.14159265358979323846;
// Lines without a width of their own, in pixels (points for PDF).
constexpr double kThinLine = 2.0;

struct Rgb {
    double r, g, b;
};

// The colour of an index of the 256-colour table, on a white page.
Rgb aci_colour(int index)
{
    static const Rgb kFirst[10] = {{0, 0, 0}, {1, 0, 0}, {1, 1, 0}, {0, 1, 0},       {0, 1, 1},
                                   {0, 0, 1}, {1, 0, 1}, {0, 0, 0}, {0.5, 0.5, 0.5}, {0.75, 0.75, 0.75}};
    index = std::abs(index);
    if (index < 10) return kFirst[index];
    if (index >= 250) {
        static const double kGrey[6] = {0.2, 0.31, 0.41, 0.51, 0.75, 1.0};
        double g = kGrey[std::min(index, 255) - 250];
        return {g, g, g};
    }
    // 10-249: 24 hues of 15 degrees, each in five shades, bright and pastel.
    double hue = ((index / 10) - 1) * 15.0;
    int shade = index % 10;
    static const double kValue[10] = {1.0, 1.0, 0.8, 0.8, 0.6, 0.6, 0.5, 0.5, 0.3, 0.3};
    double value = kValue[shade];
    double saturation = shade % 2 ? 0.5 : 1.0;
    double c = value * saturation;
    double h = hue / 60.0;
    double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (h < 1)
        r = c, g = x;
    else if (h < 2)
        r = x, g = c;
    else if (h < 3)
        g = c, b = x;
    else if (h < 4)
        g = x, b = c;
    else if (h < 5)
        r = x, b = c;
    else
        r = c, b = x;
    double m = value - c;
    return {r + m, g + m, b + m};
}

// A plane transformation: p' = origin + (a x + b y, c x + d y).
struct Transform {
    double a = 1, b = 0, c = 0, d = 1, ox = 0, oy = 0;
    Point3 apply(const Point3& p) const { return {a * p.x + b * p.y + ox, c * p.x + d * p.y + oy, p.z}; }
    Transform then(const Transform& outer) const
    {
        Transform t;
        t.a = outer.a * a + outer.b * c;
        t.b = outer.a * b + outer.b * d;
        t.c = outer.c * a + outer.d * c;
        t.d = outer.c * b + outer.d * d;
        t.ox = outer.a * ox + outer.b * oy + outer.ox;
        t.oy = outer.c * ox + outer.d * oy + outer.oy;
        return t;
    }
    double scale() const { return std::sqrt(std::fabs(a * d - b * c)); }
    double angle() const { return std::atan2(c, a); }
    bool mirrored() const { return a * d - b * c < 0; }
};

// What an entity inherits from the insert it is drawn through.
struct Context {
    Transform transform;
    std::string layer = "0";  // the layer entities on "0" take
    int colour = 7;           // the colour BYBLOCK stands for
    int depth = 0;
};

// The shapes of a drawing in drawing units, handed to a sink that draws them or
// measures their extent.
class Sink {
public:
    virtual ~Sink() = default;
    virtual void polyline(const std::vector<Point3>& points, bool closed, Rgb colour, double width) = 0;
    virtual void polygon(const std::vector<std::vector<Point3>>& rings, Rgb colour) = 0;
    virtual void dot(const Point3& p, Rgb colour) = 0;
    virtual void text(const Point3& at, double height, double width_factor, double angle,
                      const std::string& text, Rgb colour) = 0;
    virtual void dashed(const Point3& from, const Point3& to, Rgb colour) = 0;
};

// The points of an arc from a to b with bulge (tan of a quarter of the included angle).
void bulge_points(const Point3& a, const Point3& b, double bulge, std::vector<Point3>& out)
{
    if (std::fabs(bulge) < 1e-12) {
        out.push_back(b);
        return;
    }
    double dx = b.x - a.x, dy = b.y - a.y;
    double chord = std::hypot(dx, dy);
    if (chord == 0) return;
    double included = 4 * std::atan(bulge);
    double radius = chord / (2 * std::sin(std::fabs(included) / 2));
    double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
    double sagitta_to_centre = radius * std::cos(included / 2);
    double nx = -dy / chord, ny = dx / chord;
    double sign = bulge > 0 ? 1 : -1;
    double cx = mx + nx * sagitta_to_centre * sign, cy = my + ny * sagitta_to_centre * sign;
    if (std::fabs(included) > kPi) {
        cx = mx - nx * std::fabs(sagitta_to_centre) * sign;
        cy = my - ny * std::fabs(sagitta_to_centre) * sign;
    }
    double start = std::atan2(a.y - cy, a.x - cx);
    int steps = std::max(4, int(std::fabs(included) / (kPi / 36)));
    for (int i = 1; i <= steps; ++i) {
        double t = start + included * i / steps;
        out.push_back({cx + radius * std::cos(t), cy + radius * std::sin(t), 0});
    }
    out.back() = b;
}

void arc_points(const Point3& centre, double radius, double start, double end, std::vector<Point3>& out)
{
    while (end <= start) end += 2 * kPi;
    int steps = std::max(8, int((end - start) / (kPi / 90)));
    for (int i = 0; i <= steps; ++i) {
        double t = start + (end - start) * i / steps;
        out.push_back({centre.x + radius * std::cos(t), centre.y + radius * std::sin(t), 0});
    }
}

class Painter {
public:
    Painter(const Drawing& drawing, Sink& sink) : drawing_(drawing), sink_(sink) {}

    void model()
    {
        Context context;
        draw_list(drawing_.model.ids(), context);
    }

private:
    const Drawing& drawing_;
    Sink& sink_;

    bool layer_shown(const std::string& layer) const
    {
        return !layer_off(drawing_, layer) && !layer_frozen(drawing_, layer);
    }

    std::string effective_layer(const Entity& e, const Context& context) const
    {
        std::string layer = e.layer();
        return context.depth > 0 && layer == "0" ? context.layer : layer;
    }

    int effective_colour(const Entity& e, const Context& context) const
    {
        int colour = int(e.integer(62, 256));
        if (colour == 0) return context.colour;
        if (colour == 256) {
            long layer = drawing_.find_record("LAYER", effective_layer(e, context));
            return layer ? std::abs(int(drawing_.get(layer)->integer(62, 7))) : 7;
        }
        return std::abs(colour);
    }

    Rgb rgb(const Entity& e, const Context& context) const
    {
        return aci_colour(effective_colour(e, context));
    }

    std::vector<Point3> mapped(std::vector<Point3> points, const Context& context) const
    {
        for (auto& p : points) p = context.transform.apply(p);
        return points;
    }

    void draw_list(std::span<const long> ids, const Context& context)
    {
        Entity scratch;
        for (size_t i = 0; i < ids.size(); ++i) {
            const Entity* e = drawing_.look(ids[i], scratch);
            if (!e || e->erased || e->type == "VERTEX" || e->type == "SEQEND") continue;
            if (!layer_shown(effective_layer(*e, context))) continue;
            draw(*e, context);
        }
    }

    void draw(const Entity& e, const Context& context);
    void draw_lwpolyline(const Entity& e, const Context& context);
    void draw_polyline(const Entity& e, const Context& context);
    void draw_text(const Entity& e, const Context& context);
    void draw_insert(const Entity& e, const Context& context);
    void draw_hatch(const Entity& e, const Context& context);
};

void Painter::draw(const Entity& e, const Context& context)
{
    if (has_own_ocs(e)) {
        draw(entity_in_world(e), context);  // points and angles of its plane, seen in plan
        return;
    }
    Rgb colour = rgb(e, context);
    const std::string& t = e.type;
    if (t == "LINE") {
        sink_.polyline(mapped({e.point(10), e.point(11)}, context), false, colour, 0);
    } else if (t == "POINT") {
        sink_.dot(context.transform.apply(e.point(10)), colour);
    } else if (t == "CIRCLE" || t == "ARC") {
        std::vector<Point3> points;
        double start = t == "ARC" ? e.real(50) : 0;
        double end = t == "ARC" ? e.real(51) : 2 * kPi;
        arc_points(e.point(10), e.real(40), start, end, points);
        sink_.polyline(mapped(points, context), t == "CIRCLE", colour, 0);
    } else if (t == "3DFACE" || t == "SOLID" || t == "TRACE") {
        std::vector<Point3> corners = {e.point(10), e.point(11), e.point(12), e.point(13)};
        if (t != "3DFACE") std::swap(corners[2], corners[3]);  // solids list their corners crosswise
        if (corners[3] == corners[2]) corners.pop_back();
        long hidden = t == "3DFACE" ? e.integer(70, 0) : 0;
        for (size_t i = 0; i < corners.size(); ++i) {
            if (hidden & (1L << i)) continue;
            sink_.polyline(mapped({corners[i], corners[(i + 1) % corners.size()]}, context), false, colour,
                           0);
        }
    } else if (t == "LWPOLYLINE") {
        draw_lwpolyline(e, context);
    } else if (t == "POLYLINE") {
        draw_polyline(e, context);
    } else if (t == "TEXT") {
        draw_text(e, context);
    } else if (t == "INSERT") {
        draw_insert(e, context);
    } else if (t == "HATCH") {
        draw_hatch(e, context);
    }
}

void Painter::draw_lwpolyline(const Entity& e, const Context& context)
{
    struct Vertex {
        Point3 p;
        double bulge = 0;
    };
    std::vector<Vertex> vertices;
    for (const Group& g : e.groups) {
        if (g.code == 10) vertices.push_back({g.point, 0});
        if (g.code == 42 && !vertices.empty()) vertices.back().bulge = g.real;
    }
    if (vertices.empty()) return;
    bool closed = e.integer(70, 0) & 1;
    std::vector<Point3> points = {vertices[0].p};
    size_t legs = closed ? vertices.size() : vertices.size() - 1;
    for (size_t i = 0; i < legs; ++i)
        bulge_points(vertices[i].p, vertices[(i + 1) % vertices.size()].p, vertices[i].bulge, points);
    double width = e.real(43, 0) * context.transform.scale();
    sink_.polyline(mapped(points, context), closed, rgb(e, context), width);
}

void Painter::draw_polyline(const Entity& e, const Context& context)
{
    const auto list = drawing_.container_of(e);
    if (!list) return;
    long flags = e.integer(70, 0);
    // The vertices of a 2D polyline lie in the plane of the polyline as stored.
    Entity stored_scratch, scratch;
    const Entity* stored = drawing_.look(e.id, stored_scratch);
    const bool polyline_ocs = stored && has_own_ocs(*stored);
    struct Vertex {
        Point3 p;
        double bulge = 0;
    };
    std::vector<Vertex> vertices;
    auto place = drawing_.index_in_container(e);
    for (size_t i = place ? *place + 1 : list->size(); i < list->size(); ++i) {
        const Entity* v = drawing_.look((*list)[i], scratch);
        if (!v || v->type != "VERTEX" || v->parent != e.id) break;
        long vflags = v->integer(70, 0);
        if ((flags & 4) && (vflags & 16)) continue;    // the frame of a spline-fit polyline
        if (vflags & 128 && !(vflags & 64)) continue;  // face records of a polyface mesh
        if (polyline_ocs) {
            const Entity world = entity_in_world(*v, stored);
            vertices.push_back({world.point(10), world.real(42, 0)});
        } else {
            vertices.push_back({v->point(10), v->real(42, 0)});
        }
    }
    if (vertices.empty()) return;
    bool closed = flags & 1;
    std::vector<Point3> points = {vertices[0].p};
    size_t legs = closed ? vertices.size() : vertices.size() - 1;
    for (size_t i = 0; i < legs; ++i)
        bulge_points(vertices[i].p, vertices[(i + 1) % vertices.size()].p, vertices[i].bulge, points);
    sink_.polyline(mapped(points, context), closed, rgb(e, context), 0);
}

void Painter::draw_text(const Entity& e, const Context& context)
{
    std::string style_name = e.text(7, "Standard");
    long style = drawing_.find_record("STYLE", style_name);
    const Entity* record = style ? drawing_.get(style) : nullptr;
    double height = e.real(40, 0);
    if (height <= 0 && record) height = record->real(40, 0);
    if (height <= 0) height = 2.5;
    double width = e.real(41, record ? record->real(41, 1.0) : 1.0);
    if (width <= 0) width = 1.0;
    double rotation = e.real(50, 0);
    int h = int(e.integer(72, 0)), v = int(e.integer(73, 0));
    const std::string& text = e.text(1);
    Point3 at = e.point(10);
    if ((h != 0 || v != 0) && e.find(11))
        at = insertion_from_alignment(e.point(11), text, height, width, rotation, h, v);
    Point3 mapped_at = context.transform.apply(at);
    double scale = context.transform.scale();
    double angle = rotation + context.transform.angle();
    sink_.text(mapped_at, height * scale, width, angle, text, rgb(e, context));
}

void Painter::draw_insert(const Entity& e, const Context& context)
{
    if (context.depth >= 16) return;
    long block = drawing_.find_record("BLOCK", e.text(2));
    if (!block) return;
    auto members = drawing_.block_entities.find(block);
    if (members == drawing_.block_entities.end()) return;
    Point3 base = drawing_.get(block)->point(10);
    double sx = e.real(41, 1), sy = e.real(42, 1), angle = e.real(50, 0);
    Point3 at = e.point(10);
    Transform local;
    double cs = std::cos(angle), sn = std::sin(angle);
    local.a = cs * sx;
    local.b = -sn * sy;
    local.c = sn * sx;
    local.d = cs * sy;
    local.ox = at.x - (local.a * base.x + local.b * base.y);
    local.oy = at.y - (local.c * base.x + local.d * base.y);
    Context inner;
    inner.transform = local.then(context.transform);
    inner.layer = effective_layer(e, context);
    inner.colour = effective_colour(e, context);
    inner.depth = context.depth + 1;
    draw_list(members->second, inner);
}

// The boundary paths of a hatch as rings of points.
void Painter::draw_hatch(const Entity& e, const Context& context)
{
    const auto& g = e.groups;
    size_t i = 0;
    while (i < g.size() && g[i].code != 91) ++i;
    if (i == g.size()) return;
    long paths = g[i++].integer;
    std::vector<std::vector<Point3>> rings;
    auto next_is = [&](int code) { return i < g.size() && g[i].code == code; };
    for (long path = 0; path < paths && i < g.size(); ++path) {
        while (i < g.size() && g[i].code != 92) ++i;
        if (i == g.size()) break;
        long type = g[i++].integer;
        std::vector<Point3> ring;
        if (type & 2) {  // a polyline path: 72 bulges, 73 closed, 93 count, then 10 [42]
            bool bulges = next_is(72) ? g[i++].integer != 0 : false;
            if (next_is(73)) ++i;
            long count = next_is(93) ? g[i++].integer : 0;
            std::vector<std::pair<Point3, double>> vertices;
            for (long k = 0; k < count && next_is(10); ++k) {
                Point3 p = g[i++].point;
                double bulge = bulges && next_is(42) ? g[i++].real : 0;
                vertices.push_back({p, bulge});
            }
            if (!vertices.empty()) {
                ring.push_back(vertices[0].first);
                for (size_t k = 0; k < vertices.size(); ++k)
                    bulge_points(vertices[k].first, vertices[(k + 1) % vertices.size()].first,
                                 vertices[k].second, ring);
            }
        } else {  // edges: 93 count, each 72 type
            long edges = next_is(93) ? g[i++].integer : 0;
            for (long k = 0; k < edges && next_is(72); ++k) {
                long edge = g[i++].integer;
                if (edge == 1) {
                    Point3 a = next_is(10) ? g[i++].point : Point3{};
                    Point3 b = next_is(11) ? g[i++].point : Point3{};
                    if (ring.empty()) ring.push_back(a);
                    ring.push_back(b);
                } else if (edge == 2) {
                    Point3 c = next_is(10) ? g[i++].point : Point3{};
                    double r = next_is(40) ? g[i++].real : 0;
                    double a0 = next_is(50) ? g[i++].real * kPi / 180 : 0;
                    double a1 = next_is(51) ? g[i++].real * kPi / 180 : 0;
                    bool ccw = next_is(73) ? g[i++].integer != 0 : true;
                    std::vector<Point3> arc;
                    arc_points(c, r, a0, a1, arc);
                    // A clockwise arc keeps the angles of its mirror image in x.
                    if (!ccw)
                        for (auto& p : arc) p.y = 2 * c.y - p.y;
                    ring.insert(ring.end(), arc.begin(), arc.end());
                } else {
                    // Ellipse and spline edges: their listed points, as a rough outline.
                    while (i < g.size() && g[i].code != 72 && g[i].code != 92 && g[i].code != 97 &&
                           g[i].code != 75) {
                        if (g[i].kind() == ValueKind::Point && g[i].code == 10) ring.push_back(g[i].point);
                        ++i;
                    }
                }
            }
        }
        if (next_is(97)) {
            long sources = g[i++].integer;
            for (long k = 0; k < sources && i < g.size() && g[i].kind() == ValueKind::Name; ++k) ++i;
        }
        if (ring.size() >= 3) rings.push_back(mapped(ring, context));
    }
    if (!rings.empty()) sink_.polygon(rings, rgb(e, context));
}

// Collects the extent of what would be drawn.
class ExtentSink : public Sink {
public:
    double min_x = std::numeric_limits<double>::max(), min_y = min_x;
    double max_x = std::numeric_limits<double>::lowest(), max_y = max_x;
    bool empty() const { return min_x > max_x; }
    void add(const Point3& p)
    {
        min_x = std::min(min_x, p.x);
        min_y = std::min(min_y, p.y);
        max_x = std::max(max_x, p.x);
        max_y = std::max(max_y, p.y);
    }
    void polyline(const std::vector<Point3>& points, bool, Rgb, double) override
    {
        for (const auto& p : points) add(p);
    }
    void polygon(const std::vector<std::vector<Point3>>& rings, Rgb) override
    {
        for (const auto& ring : rings)
            for (const auto& p : ring) add(p);
    }
    void dot(const Point3& p, Rgb) override { add(p); }
    void text(const Point3& at, double height, double width_factor, double angle, const std::string& text,
              Rgb) override
    {
        TextBox box = text_box(text, height, width_factor);
        double c = std::cos(angle), s = std::sin(angle);
        for (double x : {box.lower_left.x, box.upper_right.x})
            for (double y : {box.lower_left.y, box.upper_right.y})
                add({at.x + x * c - y * s, at.y + x * s + y * c, 0});
    }
    void dashed(const Point3& from, const Point3& to, Rgb) override
    {
        add(from);
        add(to);
    }
};

#ifdef HOST_HAVE_CAIRO

// Text drawing makes cairo and its font library keep caches for the life of the
// process; they are given back at exit, so that leak checkers see none.
void release_font_caches_at_exit()
{
    static bool registered = false;
    if (registered) return;
    registered = true;
    std::atexit([] {
        cairo_debug_reset_static_data();
        using Fini = void (*)();
        if (auto fini = reinterpret_cast<Fini>(dlsym(RTLD_DEFAULT, "FcFini"))) fini();
    });
}

// Draws on a cairo surface; drawing units map to the page by scale and offset.
class CairoSink : public Sink {
public:
    CairoSink(cairo_t* cr, double scale, double left, double top)
        : cr_(cr), scale_(scale), left_(left), top_(top)
    {
    }

    void polyline(const std::vector<Point3>& points, bool closed, Rgb colour, double width) override
    {
        if (points.size() < 2) return;
        path(points, closed);
        set(colour);
        cairo_set_line_width(cr_, std::max(kThinLine, width * scale_));
        cairo_stroke(cr_);
    }
    void polygon(const std::vector<std::vector<Point3>>& rings, Rgb colour) override
    {
        for (const auto& ring : rings) path(ring, true);
        set(colour);
        cairo_set_fill_rule(cr_, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr_);
    }
    void dot(const Point3& p, Rgb colour) override
    {
        auto [x, y] = device(p);
        set(colour);
        cairo_arc(cr_, x, y, 2.0, 0, 2 * kPi);
        cairo_fill(cr_);
    }
    void text(const Point3& at, double height, double width_factor, double angle, const std::string& text,
              Rgb colour) override
    {
        std::string shown = displayed_text(text);
        int glyphs = glyph_count(text);
        if (glyphs == 0 || height * scale_ < 0.5) return;
        double box_width = kGlyphAdvance * glyphs * height * width_factor * scale_;
        double box_height = height * scale_;
        release_font_caches_at_exit();
        cairo_save(cr_);
        auto [x, y] = device(at);
        cairo_translate(cr_, x, y);
        cairo_rotate(cr_, -angle);
        cairo_select_font_face(cr_, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        // Capitals of the font stand as high as the text's height; the run is
        // stretched to the width the font model gives.
        cairo_set_font_size(cr_, box_height / 0.72);
        cairo_text_extents_t extents;
        cairo_text_extents(cr_, shown.c_str(), &extents);
        if (extents.x_advance > 0) cairo_scale(cr_, box_width / extents.x_advance, 1.0);
        set(colour);
        cairo_move_to(cr_, 0, 0);
        cairo_show_text(cr_, shown.c_str());
        cairo_restore(cr_);
    }
    void dashed(const Point3& from, const Point3& to, Rgb colour) override
    {
        double dashes[] = {6.0, 4.0};
        cairo_set_dash(cr_, dashes, 2, 0);
        polyline({from, to}, false, colour, 0);
        cairo_set_dash(cr_, nullptr, 0, 0);
    }

private:
    cairo_t* cr_;
    double scale_, left_, top_;

    std::pair<double, double> device(const Point3& p) const
    {
        return {(p.x - left_) * scale_, (top_ - p.y) * scale_};
    }
    void path(const std::vector<Point3>& points, bool closed)
    {
        auto [x0, y0] = device(points[0]);
        cairo_move_to(cr_, x0, y0);
        for (size_t i = 1; i < points.size(); ++i) {
            auto [x, y] = device(points[i]);
            cairo_line_to(cr_, x, y);
        }
        if (closed) cairo_close_path(cr_);
    }
    void set(Rgb c) { cairo_set_source_rgb(cr_, c.r, c.g, c.b); }
};

#endif

std::string lower(std::string text)
{
    for (char& c : text) c = char(std::tolower((unsigned char)c));
    return text;
}

}  // namespace

bool write_picture(const Document& document, const std::string& file, const PictureWindow* window,
                   std::string& error)
{
    std::string extension = lower(std::filesystem::path(file).extension().string());
    if (extension != ".png" && extension != ".pdf") {
        error = "the picture's name must end in .png or .pdf";
        return false;
    }
#ifndef HOST_HAVE_CAIRO
    error = "this host was built without cairo, so it cannot write pictures";
    return false;
#else
    const Drawing& drawing = document.drawing;
    double left, bottom, right, top;
    if (window) {
        left = std::min(window->lower_left.x, window->upper_right.x);
        right = std::max(window->lower_left.x, window->upper_right.x);
        bottom = std::min(window->lower_left.y, window->upper_right.y);
        top = std::max(window->lower_left.y, window->upper_right.y);
    } else {
        ExtentSink extent;
        Painter(drawing, extent).model();
        for (const GrVector& v : document.temp_vectors) extent.dashed(v.from, v.to, {});
        if (extent.empty()) {
            left = bottom = 0;
            right = top = 10;
        } else {
            left = extent.min_x, right = extent.max_x, bottom = extent.min_y, top = extent.max_y;
        }
        double margin = std::max({right - left, top - bottom, 1e-6}) * 0.05;
        left -= margin, right += margin, bottom -= margin, top += margin;
    }
    double width = std::max(right - left, 1e-9), height = std::max(top - bottom, 1e-9);
    bool pdf = extension == ".pdf";
    double longest = pdf ? 842.0 : 1600.0;  // an A4 page's long side in points; pixels for PNG
    double scale = longest / std::max(width, height);
    int page_width = std::max(1, int(std::lround(width * scale)));
    int page_height = std::max(1, int(std::lround(height * scale)));

    // The picture is made in memory and then replaces the file in one step, so
    // that a picture that cannot be written (a full disk) leaves the former
    // one whole.
    std::string bytes;
    cairo_write_func_t collect = [](void* closure, const unsigned char* data, unsigned int length) {
        static_cast<std::string*>(closure)->append(reinterpret_cast<const char*>(data), length);
        return CAIRO_STATUS_SUCCESS;
    };
    cairo_surface_t* surface =
        pdf ? cairo_pdf_surface_create_for_stream(collect, &bytes, page_width, page_height)
            : cairo_image_surface_create(CAIRO_FORMAT_RGB24, page_width, page_height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        error =
            std::string("cannot make the picture: ") + cairo_status_to_string(cairo_surface_status(surface));
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    CairoSink sink(cr, scale, left, top);
    Painter(drawing, sink).model();
    for (const GrVector& v : document.temp_vectors) sink.dashed(v.from, v.to, aci_colour(v.colour));
    cairo_destroy(cr);
    cairo_status_t status = CAIRO_STATUS_SUCCESS;
    if (pdf) {
        cairo_surface_finish(surface);
        status = cairo_surface_status(surface);
    } else {
        status = cairo_surface_write_to_png_stream(surface, collect, &bytes);
    }
    cairo_surface_destroy(surface);
    if (status != CAIRO_STATUS_SUCCESS) {
        error = std::string("cannot write \"") + file + "\": " + cairo_status_to_string(status);
        return false;
    }
    return replace_file_contents(file, bytes, error);
#endif
}

bool picture_supported()
{
#ifdef HOST_HAVE_CAIRO
    return true;
#else
    return false;
#endif
}

bool read_picture_pixels(const std::string& png_file, PixelImage& image)
{
#ifndef HOST_HAVE_CAIRO
    return false;
#else
    cairo_surface_t* surface = cairo_image_surface_create_from_png(png_file.c_str());
    bool ok = cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS;
    if (ok) {
        cairo_surface_flush(surface);
        image.width = cairo_image_surface_get_width(surface);
        image.height = cairo_image_surface_get_height(surface);
        image.pixels.clear();
        const unsigned char* data = cairo_image_surface_get_data(surface);
        int stride = cairo_image_surface_get_stride(surface);
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                uint32_t pixel;
                std::memcpy(&pixel, data + std::size_t(y) * std::size_t(stride) + 4 * std::size_t(x), 4);
                image.pixels.push_back(
                    {int((pixel >> 16) & 0xFF), int((pixel >> 8) & 0xFF), int(pixel & 0xFF)});
            }
        }
    }
    cairo_surface_destroy(surface);
    return ok;
#endif
}

namespace {

void picture_command(const std::string& argument)
{
    Session& session = Session::get();
    if (!session.has_document()) {
        session.fail("\nThere is no drawing to picture.");
        return;
    }
    std::vector<std::string> words;
    size_t at = 0;
    while (at < argument.size()) {
        at = argument.find_first_not_of(" \t", at);
        if (at == std::string::npos) break;
        size_t end;
        if (argument[at] == '"') {
            end = argument.find('"', at + 1);
            words.push_back(
                argument.substr(at + 1, end == std::string::npos ? std::string::npos : end - at - 1));
            at = end == std::string::npos ? argument.size() : end + 1;
        } else {
            end = argument.find_first_of(" \t", at);
            words.push_back(argument.substr(at, end == std::string::npos ? std::string::npos : end - at));
            at = end == std::string::npos ? argument.size() : end;
        }
    }
    if (words.empty() || (words.size() != 1 && words.size() != 3)) {
        session.fail(
            "\nPICTURE needs a file name and, for a window, two corners: PICTURE path [x1,y1 x2,y2]");
        return;
    }
    PictureWindow window;
    bool windowed = words.size() == 3;
    if (windowed &&
        (!parse_point_text(words[1], window.lower_left) || !parse_point_text(words[2], window.upper_right))) {
        session.fail("\nPICTURE: the window's corners must be points x,y: " + words[1] + " " + words[2]);
        return;
    }
    if (windowed &&
        (window.lower_left.x == window.upper_right.x || window.lower_left.y == window.upper_right.y)) {
        session.fail("\nPICTURE: the window has no area.");
        return;
    }
    std::string file = drawing_file_path(words[0]);
    std::string error;
    if (!write_picture(session.current(), file, windowed ? &window : nullptr, error)) {
        session.fail("\nPICTURE: " + error + ".");
        return;
    }
    session.print("\nPicture written to \"" + file + "\".");
}

}  // namespace

void register_picture_command(Session& session)
{
    session.register_script_command(
        "PICTURE", picture_command,
        "path [x1,y1 x2,y2]: writes a PNG or PDF of the drawing or of a window of it");
}

}  // namespace host
