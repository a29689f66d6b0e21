// Entity makers: each builds the entity's list and hands it to the host
// (acdbEntMake), or runs the host command that draws it.
#include "entity_makers.h"

#include <strings.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "constants.h"
#include "folders_registry.h"
#include "layers.h"
#include "numbers.h"
#include "resbuf_util.h"
#include "sysvar.h"
#include "xdata_pending.h"

namespace {

// ---- small host helpers ----------------------------------------------------

bool table_has(const char* table, const std::string& name)
{
    resbuf* record = acdbTblSearch(table, name.c_str(), 0);
    if (!record) return false;
    acutRelRb(record);
    return true;
}

// The file name of a path without its folder and extension.
std::string block_name_of(const std::string& path)
{
    std::string name = path;
    path_file_name(path, name);
    std::string block = name;
    path_strip_extension(name, block);
    return block;
}

std::string point_text_2d(const point3d_rec& p)
{
    return rtos_decimal(p.x, 10) + "," + rtos_decimal(p.y, 10);
}

int make(const ent_list_builder& list)
{
    if (!list.ok()) return RTERROR;
    return acdbEntMake(list.list()) == RTNORM ? RTNORM : RTERROR;
}

std::string current_style()
{
    std::string style;
    if (!sysvar_get_str("TEXTSTYLE", style) || style.empty()) style = "Standard";
    return style;
}

// True when the current text style has a fixed height (40 above 0): the host's
// TEXT command then asks no height.
bool current_style_has_fixed_height()
{
    resbuf* record = acdbTblSearch("STYLE", current_style().c_str(), 0);
    if (!record) return false;
    bool fixed = false;
    for (const resbuf* node = record; node; node = node->rbnext)
        if (node->restype == 40) fixed = node->resval.rreal > 0.0;
    acutRelRb(record);
    return fixed;
}

}  // namespace

// The answer to the TEXT command's angle prompt that lays a text along the
// bearing: the direction counter-clockwise from east (90 - bearing), taken
// from ANGBASE in the direction ANGDIR says, in AUNITS (degrees for 0, 1 and 4,
// which the command reads as decimal degrees; grads for 2; radians for 3).
double text_command_angle(double bearing)
{
    constexpr double pi = 3.14159265358979323846;
    double base_rad = 0;
    int clockwise = 0;
    int units = 0;
    sysvar_get_real("ANGBASE", base_rad);
    sysvar_get_int("ANGDIR", clockwise);
    sysvar_get_int("AUNITS", units);
    const double direction = 90.0 - bearing;
    const double base = base_rad * 180.0 / pi;
    double degrees = std::fmod(clockwise == 1 ? base - direction : direction - base, 360.0);
    if (degrees < 0) degrees += 360.0;
    // A turn that rounds to 360 at ten decimals is no turn at all.
    if (degrees >= 360.0 - 5e-11) degrees = 0.0;
    if (units == 2) return degrees * 400.0 / 360.0;
    if (units == 3) return degrees * pi / 180.0;
    return degrees;
}

namespace {

// The last guard of every command: no text, circle or insert is written that
// other CAD programs refuse or cannot show. A text height, width factor or
// circle radius must be above 0; an insert's scale must not be 0 (a negative
// one is a mirrored block). Each refusal is said on a line of its own.
bool text_sizes_ok(double height, double width_factor, std::string_view text)
{
    const char* what = !size_valid(height) ? "height" : !size_valid(width_factor) ? "width factor" : nullptr;
    if (!what) return true;
    acutPrintf("\nThe text \"%.*s\" is not drawn: its %s (%s) must be more than 0.\n",
               static_cast<int>(std::min<size_t>(text.size(), 60)), text.data(), what,
               rtos_decimal(what[0] == 'h' ? height : width_factor, 3).c_str());
    return false;
}

bool radius_ok(double radius, const point3d_rec& centre, const char* kind)
{
    if (size_valid(radius)) return true;
    acutPrintf("\nThe %s at %s,%s is not drawn: its radius (%s) must be more than 0.\n", kind,
               rtos_decimal(centre.x, 3).c_str(), rtos_decimal(centre.y, 3).c_str(),
               rtos_decimal(radius, 3).c_str());
    return false;
}

// Draws a text through the host's TEXT command on the layer, which is created when
// missing and made current for the command. With a fixed-height style the height
// answer is left out, so that the angle and the text reach their own prompts.
// The bearing becomes the command's angle answer in the drawing's own angle
// base, direction and units, so that the text lies as a text made by entity
// list at the same bearing would, whatever ANGBASE, ANGDIR and AUNITS are.
int text_by_command(const char* option, const point3d_rec& point, double height, double bearing,
                    const std::string& layer, const std::string& text)
{
    const double angle = text_command_angle(bearing);
    // A fixed-height style gives the height itself.
    const bool fixed_height = current_style_has_fixed_height();
    if (!fixed_height && !text_sizes_ok(height, 1.0, text)) return RTERROR;
    layer_ensure(layer.c_str());
    std::string former;
    if (!layer_current_get(former)) return 0;
    ent_list_builder answers;
    answers.text(RTSTR, "Text").text(RTSTR, option).text(RTSTR, "none").text(RTSTR, point_text_2d(point));
    if (!fixed_height) answers.text(RTSTR, rtos_decimal(height, 10));
    answers.text(RTSTR, rtos_decimal(angle, 10)).text(RTSTR, text);
    if (!answers.ok()) return RTERROR;
    layer_current_set(layer.c_str());
    int rc = acedCmd(answers.list());
    layer_current_set(former.c_str());
    return rc == RTNORM ? RTNORM : RTERROR;
}

}  // namespace

// ---- the list builder -------------------------------------------------------

ent_list_builder::~ent_list_builder()
{
    if (head_) acutRelRb(head_);
}

void ent_list_builder::link(resbuf* node)
{
    if (!node) {
        ok_ = false;
        return;
    }
    if (!head_)
        head_ = node;
    else
        tail_->rbnext = node;
    tail_ = node;
    while (tail_->rbnext) tail_ = tail_->rbnext;
}

ent_list_builder& ent_list_builder::type(const std::string& name)
{
    return text(0, name);
}

ent_list_builder& ent_list_builder::text(int code, const std::string& value)
{
    resbuf* node = acutNewRb(code);
    if (node) {
        char* copy = static_cast<char*>(std::malloc(value.size() + 1));
        std::memcpy(copy, value.c_str(), value.size() + 1);
        node->resval.rstring = copy;
    }
    link(node);
    return *this;
}

ent_list_builder& ent_list_builder::real(int code, double value)
{
    resbuf* node = acutNewRb(code);
    if (node) node->resval.rreal = value;
    link(node);
    return *this;
}

ent_list_builder& ent_list_builder::int16(int code, int value)
{
    resbuf* node = acutNewRb(code);
    if (node) node->resval.rint = static_cast<short>(value);
    link(node);
    return *this;
}

ent_list_builder& ent_list_builder::int32(int code, std::int32_t value)
{
    resbuf* node = acutNewRb(code);
    if (node) node->resval.rlong = value;
    link(node);
    return *this;
}

ent_list_builder& ent_list_builder::point(int code, const point3d_rec& value)
{
    resbuf* node = acutNewRb(code);
    if (node) point_to_ads(value, node->resval.rpoint);
    link(node);
    return *this;
}

ent_list_builder& ent_list_builder::marker(int code)
{
    link(acutNewRb(code));
    return *this;
}

ent_list_builder& ent_list_builder::append(resbuf* chain)
{
    if (chain) link(chain);
    return *this;
}

resbuf* ent_list_builder::release()
{
    resbuf* chain = head_;
    head_ = tail_ = nullptr;
    return chain;
}

// ---- rotations ----------------------------------------------------------------

double text_rotation_rad(double bearing)
{
    double degrees = 90.0 - bearing;
    if (degrees < 0) degrees += 360.0;
    return degrees / 180.0 * ORVIK_PI;
}

double insert_rotation_rad(double angle)
{
    if (angle < 0) angle += 360.0;
    return angle / 180.0 * ORVIK_PI;
}

// ---- simple entities ---------------------------------------------------------

int line_make(const point3d_rec& start, const point3d_rec& end, const std::string& layer)
{
    ent_list_builder list;
    list.type("LINE").text(8, layer).point(10, start).point(11, end);
    return make(list);
}

int circle_make(const point3d_rec& centre, double radius, const std::string& layer)
{
    if (!radius_ok(radius, centre, "circle")) return RTERROR;
    ent_list_builder list;
    list.type("CIRCLE").text(8, layer).point(10, centre).real(40, radius);
    return make(list);
}

int arc_make(const point3d_rec& centre, double radius, double start_angle, double end_angle,
             const std::string& layer)
{
    if (!radius_ok(radius, centre, "arc")) return RTERROR;
    ent_list_builder list;
    list.type("ARC")
        .text(8, layer)
        .point(10, centre)
        .real(40, radius)
        .real(50, start_angle)
        .real(51, end_angle);
    return make(list);
}

int point_make(const point3d_rec& point, const std::string& layer)
{
    return point_list_maker(layer).make(point);
}

int face3d_make(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& p3, const point3d_rec&,
                const std::string& layer)
{
    ent_list_builder list;
    list.type("3DFACE").text(8, layer).point(10, p1).point(11, p2).point(12, p3).point(13, p3);
    return make(list);
}

int face3d_make_b(const point3d_rec& p3, const point3d_rec& p1, const point3d_rec& p2,
                  const std::string& layer)
{
    return face3d_make(p1, p2, p3, p3, layer);
}

int point_make_xdata(const point3d_rec& point, const std::string& layer, const std::string& application)
{
    ent_list_builder list;
    list.type("POINT").int16(67, 0).text(8, layer).point(10, point3d_rec{point.x, point.y, 0});
    list.marker(-3).text(1001, application);
    xdata_pending_append(list);
    if (make(list) != RTNORM) {
        acutPrintf("\nFailed creating xdata point");
        return 0;
    }
    return 1;
}

// ---- texts -------------------------------------------------------------------

int text_make(const point3d_rec& point, double height, double width_factor, double bearing,
              const std::string& layer, const std::string& text)
{
    if (!text_sizes_ok(height, width_factor, text)) return RTERROR;
    ent_list_builder list;
    list.type("TEXT").text(8, layer).text(1, text).point(10, point).real(40, height).real(41, width_factor);
    list.int16(72, 2).point(11, point).text(7, current_style()).real(50, text_rotation_rad(bearing));
    return make(list);
}

int text_make_xdata(const point3d_rec& point, double height, double width_factor, double bearing,
                    const std::string& layer, const std::string& text, const std::string& application)
{
    if (!text_sizes_ok(height, width_factor, text)) {
        // The pending items belong to this text; they do not pass to the next one.
        ent_list_builder dropped;
        xdata_pending_append(dropped);
        return RTERROR;
    }
    ent_list_builder list;
    list.type("TEXT").int16(67, 0).text(8, layer).text(1, text).point(10, point3d_rec{point.x, point.y, 0});
    list.real(40, height)
        .real(41, width_factor)
        .real(50, text_rotation_rad(bearing))
        .text(7, current_style());
    list.marker(-3).text(1001, application);
    xdata_pending_append(list);
    if (make(list) != RTNORM) {
        acutPrintf("\nfailed creating xdata text");
        return RTERROR;
    }
    return RTNORM;
}

int text_make_on_layer(const point3d_rec& point, double height, double width_factor, double angle,
                       const std::string& layer, const std::string& text, int mode)
{
    if (mode == 1) return text_list_maker(height, width_factor, angle, layer).make(point, text);
    if (mode == 0) return text_by_command("l", point, height, angle, layer, text);
    return RTNORM;
}

namespace {

resbuf* node_of(resbuf* list, int code)
{
    for (resbuf* node = list; node; node = node->rbnext)
        if (node->restype == code) return node;
    return nullptr;
}

}  // namespace

point_list_maker::point_list_maker(const std::string& layer)
{
    list_.type("POINT").text(8, layer).point(10, point3d_rec{});
    point_ = node_of(list_.list(), 10);
}

int point_list_maker::make(const point3d_rec& point)
{
    if (!point_) return RTERROR;
    point_to_ads(point, point_->resval.rpoint);
    return ::make(list_);
}

text_list_maker::text_list_maker(double height, double width_factor, double angle, const std::string& layer)
{
    list_.type("TEXT").text(8, layer).text(1, "").point(10, point3d_rec{}).real(40, height);
    list_.real(41, width_factor).text(7, current_style()).real(50, text_rotation_rad(angle));
    text_ = node_of(list_.list(), 1);
    point_ = node_of(list_.list(), 10);
    capacity_ = 1;
    // Said once for the maker, not once for each of its texts.
    refused_ = !text_sizes_ok(height, width_factor, "");
}

int text_list_maker::make(const point3d_rec& point, std::string_view text)
{
    if (!text_ || !point_ || refused_) return RTERROR;
    if (text.size() + 1 > capacity_) {
        // The host frees the node's string with free when the list is released.
        char* grown = static_cast<char*>(std::realloc(text_->resval.rstring, text.size() + 1));
        if (!grown) return RTERROR;
        text_->resval.rstring = grown;
        capacity_ = text.size() + 1;
    }
    std::memcpy(text_->resval.rstring, text.data(), text.size());
    text_->resval.rstring[text.size()] = '\0';
    point_to_ads(point, point_->resval.rpoint);
    return ::make(list_);
}

int text_make_justified(int code, const point3d_rec& point, double height, double width_factor, double angle,
                        const std::string& layer, const std::string& text, int mode)
{
    if (mode == 1) {
        if (!text_sizes_ok(height, width_factor, text)) return RTERROR;
        ent_list_builder list;
        list.type("TEXT").text(8, layer).text(1, text).point(10, point).real(40, height);
        list.real(41, width_factor).real(50, text_rotation_rad(angle)).int16(72, code);
        list.text(7, current_style()).point(11, point);
        return make(list);
    }
    if (mode == 0) {
        if (code == 1) return text_by_command("c", point, height, angle, layer, text);
        if (code == 4) return text_by_command("m", point, height, angle, layer, text);
        layer_ensure(layer.c_str());
    }
    return RTNORM;
}

int text_make_cmd(const point3d_rec& point, double height, double angle, const std::string& layer,
                  const std::string& text)
{
    return text_by_command("r", point, height, angle, layer, text);
}

// ---- blocks ------------------------------------------------------------------

int insert_make(const std::string& block, const point3d_rec& point, double rotation, double scale,
                const std::string& layer)
{
    if (!std::isfinite(scale) || scale == 0.0) {
        acutPrintf("\nThe block \"%s\" is not inserted: its scale (%s) must not be 0.\n", block.c_str(),
                   rtos_decimal(scale, 3).c_str());
        return 0;
    }
    ent_list_builder list;
    list.type("INSERT").text(8, layer).text(2, block).point(10, point);
    list.real(41, scale / 1000.0).real(42, scale / 1000.0).real(50, insert_rotation_rad(rotation));
    if (make(list) != RTNORM) {
        acedAlert("unable create Block\n");
        return 0;
    }
    return 1;
}

int block_load_temp(const point3d_rec& point, const std::string& path, std::string& block_name)
{
    block_name = block_name_of(path);
    if (table_has("BLOCK", block_name)) return 1;

    ads_name before = {0, 0};
    bool had_last = acdbEntLast(before) == RTNORM;
    ads_point where;
    point_to_ads(point, where);
    int rc = acedCommand(RTSTR, "Insert", RTSTR, path.c_str(), RTPOINT, where, RTSTR, "1", RTSTR, "1", RTSTR,
                         "1", RTSTR, "0", 0);
    acutPrintf("\nInsert Temporary block to put \nin block table before can use it.");
    acutPrintf("\nTo set block layer to current layer.");
    acutPrintf("\nCmd Return :%i\n", rc);
    if (rc != RTNORM) return table_has("BLOCK", block_name) ? 1 : 0;

    std::string inserted;
    if (sysvar_get_str("INSNAME", inserted) && !inserted.empty()) block_name = inserted;
    // Delete the reference only when the command left a new INSERT of this block
    // last: when it made none, the last entity is the user's and stays.
    ads_name after = {0, 0};
    if (acdbEntLast(after) == RTNORM && !(had_last && ads_name_equal(before, after))) {
        if (resbuf* list = acdbEntGet(after)) {
            bool is_insert = false, of_block = false;
            for (resbuf* g = list; g; g = g->rbnext) {
                if (g->restype == 0 && g->resval.rstring)
                    is_insert = std::strcmp(g->resval.rstring, "INSERT") == 0;
                if (g->restype == 2 && g->resval.rstring)
                    of_block = strcasecmp(g->resval.rstring, block_name.c_str()) == 0;
            }
            acutRelRb(list);
            if (is_insert && of_block) acdbEntDel(after);
        }
    }
    return table_has("BLOCK", block_name) ? 1 : 0;
}

bool bpoly_at(const point3d_rec& point, ads_name boundary)
{
    ads_point at;
    point_to_ads(point, at);
    resbuf* args = acutBuildList(RTSTR, "bpoly", RT3DPOINT, at, 0);
    resbuf* result = nullptr;
    const int rc = acedInvoke(args, &result);
    acutRelRb(args);
    const bool found = rc == RTNORM && result && result->restype == RTENAME;
    if (found) {
        boundary[0] = result->resval.rlname[0];
        boundary[1] = result->resval.rlname[1];
    }
    if (result) acutRelRb(result);
    return found;
}

int block_insert(const std::string& block_file, const point3d_rec& point, double rotation, double scale,
                 const std::string& layer)
{
    std::string block;
    if (!block_load_temp(point, block_file, block)) return 0;
    std::string on_layer = layer;
    if (on_layer.empty() && !block_layer_get(block.c_str(), on_layer)) {
        acedAlert("failed get layer in block");
        return 0;
    }
    return insert_make(block, point, rotation, scale, on_layer);
}

int donut_make(const point3d_rec& centre, double radius)
{
    if (!radius_ok(radius, centre, "donut")) return 0;
    std::string outside = rtos_decimal(2.0 * radius, 10);
    std::string where = point_text_2d(centre);
    int rc =
        acedCommand(RTSTR, "Donut", RTSTR, "0", RTSTR, outside.c_str(), RTSTR, where.c_str(), RTSTR, "", 0);
    return rc == RTNORM ? 1 : 0;
}

// ---- old-style polylines ---------------------------------------------------------

namespace {

int polyline_part(const ent_list_builder& list, const char* buffer_alert, const char* make_alert)
{
    if (!list.ok()) {
        acedAlert(buffer_alert);
        return 0;
    }
    if (acdbEntMake(list.list()) != RTNORM) {
        acedAlert(make_alert);
        return 0;
    }
    return 1;
}

int polyline_make(int mode, const point3d_rec& point, const std::string& layer, bool three_d)
{
    ent_list_builder list;
    switch (mode) {
        case 0:
            list.type("POLYLINE").text(8, layer).int16(66, 1);
            if (three_d) list.int16(70, 8);
            return polyline_part(list, "Unable to create Polyline buffer", "Unable to Start Polyline");
        case 1:
            list.type("VERTEX");
            if (three_d) list.text(8, layer);
            list.point(10, point);
            if (three_d) list.int16(70, 32);
            return polyline_part(list, "Unable to create Polyline Vertex buffer",
                                 "Unable to create Polyline Vertex");
        case 2:
            list.type("SEQEND");
            if (three_d) list.text(8, layer);
            return polyline_part(list, "Unable to create Complete Polyline buffer",
                                 "Unable to complete Polyline");
        default:
            return 0;
    }
}

}  // namespace

int polyline2d_make(int mode, const point3d_rec& point, const std::string& layer)
{
    return polyline_make(mode, point, layer, false);
}

int polyline3d_make(int mode, const point3d_rec& point, const std::string& layer)
{
    return polyline_make(mode, point, layer, true);
}

// ---- LWPOLYLINE chain ------------------------------------------------------------

lwpoly_chain_rec& lwpoly_chain()
{
    static lwpoly_chain_rec chain;
    return chain;
}

int lwpoly_make(const point3d_rec& point, int mode)
{
    lwpoly_chain_rec& chain = lwpoly_chain();
    switch (mode) {
        case 1:
            chain.vertices.push_back(point);
            return 1;
        case 2: {
            // An LWPOLYLINE without vertices is no entity: nothing is made.
            if (chain.vertices.empty()) return 0;
            ent_list_builder list;
            list.type("LWPOLYLINE").int16(67, 0).text(100, "AcDbEntity").text(100, "AcDbPolyline");
            list.text(8, chain.layer).int32(90, static_cast<std::int32_t>(chain.vertices.size()));
            list.int16(70, chain.flags)
                .real(43, chain.width)
                .real(38, chain.elevation)
                .real(39, chain.thickness);
            for (const point3d_rec& v : chain.vertices)
                list.point(10, v).real(40, 0.0).real(41, 0.0).real(42, 0.0);
            chain.vertices.clear();
            return make(list) == RTNORM ? 1 : 0;
        }
        case 3:
            chain.vertices.clear();
            return 1;
        default:
            return 1;
    }
}

// ---- SOLID hatch ---------------------------------------------------------------

namespace {
// The hatch under construction between mode 0 and mode 2.
std::unique_ptr<ent_list_builder>& hatch_list()
{
    static std::unique_ptr<ent_list_builder> list;
    return list;
}
}  // namespace

int hatch_make(int mode, const std::string& layer, const point3d_rec& start, const point3d_rec& end,
               int boundary_count, int colour)
{
    std::unique_ptr<ent_list_builder>& list = hatch_list();
    if (mode == 0) {
        list = std::make_unique<ent_list_builder>();
        list->type("HATCH").int16(67, 0).text(100, "AcDbEntity").text(100, "AcDbHatch").text(8, layer);
        if (colour != 0) list->int16(62, colour);
        // A hatch in the plan: elevation 0, extrusion up.
        list->point(10, point3d_rec{0, 0, 0}).point(210, point3d_rec{0, 0, 1}).text(2, "SOLID");
        list->int16(70, 1).int16(71, 0).int32(91, 1).int32(92, 1).int32(93, boundary_count);
        return list->ok() ? 1 : 0;
    }
    if (!list) {
        acedAlert("failed build hatch_list");
        return 0;
    }
    if (mode == 1) {
        list->int16(72, 1).point(10, start).point(11, end);
        return list->ok() ? 1 : 0;
    }
    if (mode == 2) {
        list->int32(97, 0).int16(75, 0).int16(76, 1).int32(98, 1).point(10, start);
        int rc = make(*list);
        list.reset();
        return rc == RTNORM ? 1 : 0;
    }
    return 0;
}

// ---- field change and erasing ------------------------------------------------------

ent_mod_pending_rec& ent_mod_pending()
{
    static ent_mod_pending_rec pending;
    return pending;
}

namespace {

// Sets the value of a group node from the pending field.
void set_node_value(resbuf* node, const ent_mod_pending_rec& p)
{
    switch (p.kind) {
        case 0:
            node->resval.rint = static_cast<short>(p.int16);
            break;
        case 1:
            node->resval.rlong = p.int32;
            break;
        case 2:
            node->resval.rreal = p.real;
            break;
        case 3: {
            std::free(node->resval.rstring);
            char* copy = static_cast<char*>(std::malloc(p.text.size() + 1));
            std::memcpy(copy, p.text.c_str(), p.text.size() + 1);
            node->resval.rstring = copy;
            break;
        }
        case 4:
            point_to_ads(p.point, node->resval.rpoint);
            break;
    }
}

}  // namespace

int ent_mod_apply(const ads_name entity)
{
    ent_mod_pending_rec& p = ent_mod_pending();
    if (p.kind < 0 || p.kind > 4) return 0;
    resbuf* list = acdbEntGet(entity);
    bool ok = false;
    if (list) {
        // The field replaces the entity's own group of that code; an entity without
        // one gets it added before its extended data.
        resbuf* found = nullptr;
        resbuf* before_xdata = nullptr;
        for (resbuf* node = list; node; node = node->rbnext) {
            if (node->restype == -3) break;
            if (node->restype == p.code && !found) found = node;
            before_xdata = node;
        }
        if (!found) {
            found = acutNewRb(p.code);
            if (p.kind == 3) found->resval.rstring = nullptr;
            found->rbnext = before_xdata->rbnext;
            before_xdata->rbnext = found;
        }
        set_node_value(found, p);
        ok = acdbEntMod(list) == RTNORM;
        acutRelRb(list);
    }
    if (ok) {
        ++p.ok_count;
        return 1;
    }
    ++p.fail_count;
    acutPrintf("\nModified entities failed.");
    return 0;
}

int ss_ent_mod_apply(const ads_name set, long index)
{
    ads_name entity;
    if (acedSSName(set, index, entity) != RTNORM) return 0;
    int rc = ent_mod_apply(entity);
    acdbEntUpd(entity);
    return rc;
}

void ss_erase_all(const ads_name set)
{
    long length = 0;
    if (acedSSLength(set, &length) == RTNORM) {
        for (long i = 0; i < length; ++i) {
            ads_name entity;
            if (acedSSName(set, i, entity) == RTNORM) acdbEntDel(entity);
        }
    }
    acedSSFree(set);
}

void ss_erase_layer(const std::string& layer)
{
    ent_list_builder filter;
    filter.text(8, layer);
    ads_name set;
    if (acedSSGet("X", nullptr, nullptr, filter.list(), set) != RTNORM) return;
    ss_erase_all(set);
}
