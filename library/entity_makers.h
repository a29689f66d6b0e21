// The makers through which all drawing output goes: lines, circles, points, 3D
// faces, texts (by entity list or by the host's TEXT command), LWPOLYLINE chains,
// old-style 2D and 3D polylines, block inserts, donuts and solid hatches; the
// change of one field of an entity from a pending field change; and erasing.
//
// Angles handed to the makers are whole-circle bearings in degrees. A TEXT made
// by entity list gets the rotation 90 - bearing, an INSERT the angle itself, in
// radians, with 360 added first when the value is negative. Makers return RTNORM
// or RTERROR unless a row says otherwise; a failure they meet is reported.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "ads.h"
#include "points.h"

// An entity list under construction, released when it goes out of scope. Every
// node is made by the host, so the host's acutRelRb frees it.
class ent_list_builder {
public:
    ent_list_builder() = default;
    ent_list_builder(const ent_list_builder&) = delete;
    ent_list_builder& operator=(const ent_list_builder&) = delete;
    ~ent_list_builder();

    ent_list_builder& type(const std::string& name);  // group 0
    ent_list_builder& text(int code, const std::string& value);
    ent_list_builder& real(int code, double value);
    ent_list_builder& int16(int code, int value);
    ent_list_builder& int32(int code, std::int32_t value);
    ent_list_builder& point(int code, const point3d_rec& value);
    ent_list_builder& marker(int code);  // a group without a value, such as -3
    // Takes over a whole chain (for example a list read with acdbEntGet).
    ent_list_builder& append(resbuf* chain);

    resbuf* list() const { return head_; }
    bool ok() const { return ok_; }  // false when the host could not make a node
    // Hands the chain to the caller, who releases it.
    resbuf* release();

private:
    void link(resbuf* node);
    resbuf* head_ = nullptr;
    resbuf* tail_ = nullptr;
    bool ok_ = true;
};

// The rotation of a TEXT made by entity list for a bearing: (90 - bearing), plus
// 360 when negative, in radians.
double text_rotation_rad(double bearing);
// An INSERT's rotation: the angle, plus 360 when negative, in radians.
double insert_rotation_rad(double angle);

int line_make(const point3d_rec& start, const point3d_rec& end, const std::string& layer);
int circle_make(const point3d_rec& centre, double radius, const std::string& layer);
// An ARC counter-clockwise from the start to the end angle (radians from the
// x axis, as the drawing keeps them).
int arc_make(const point3d_rec& centre, double radius, double start_angle, double end_angle,
             const std::string& layer);
int point_make(const point3d_rec& point, const std::string& layer);
// Always a triangle: the fourth corner repeats the third; p4 is not used.
int face3d_make(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& p3, const point3d_rec& p4,
                const std::string& layer);
int face3d_make_b(const point3d_rec& p3, const point3d_rec& p1, const point3d_rec& p2,
                  const std::string& layer);
// A flat POINT carrying the application's pending extended data; 1, or
// "\nFailed creating xdata point" and 0.
int point_make_xdata(const point3d_rec& point, const std::string& layer, const std::string& application);

// A right-justified TEXT at the point in the current text style.
int text_make(const point3d_rec& point, double height, double width_factor, double bearing,
              const std::string& layer, const std::string& text);
// A left-justified flat TEXT carrying the pending extended data; RTNORM, or
// "\nfailed creating xdata text" and RTERROR.
int text_make_xdata(const point3d_rec& point, double height, double width_factor, double bearing,
                    const std::string& layer, const std::string& text, const std::string& application);
// The texts made through the host's TEXT command (mode 0 below, and
// text_make_cmd) take their angle as a bearing too, like the texts made by
// entity list: 90 reads horizontally in every drawing. The command is
// answered in the drawing's angle base, direction and units (the answer is
// text_command_angle of the bearing).
double text_command_angle(double bearing);

// Mode 1 by entity list (left-justified), mode 0 by the host's TEXT command with
// the option "l"; 0 when "CLAYER" cannot be read.
int text_make_on_layer(const point3d_rec& point, double height, double width_factor, double angle,
                       const std::string& layer, const std::string& text, int mode);
// The lists of point_make and of text_make_on_layer (mode 1), which make their
// one entity through them, built once and made again and again with a new place
// (and text): an import that makes an entity of one form for each of many
// points then builds no list per entity. The text style is the one current when
// the maker is built.
class point_list_maker {
public:
    explicit point_list_maker(const std::string& layer);
    int make(const point3d_rec& point);

private:
    ent_list_builder list_;
    resbuf* point_ = nullptr;  // group 10
};

class text_list_maker {
public:
    text_list_maker(double height, double width_factor, double angle, const std::string& layer);
    int make(const point3d_rec& point, std::string_view text);

private:
    ent_list_builder list_;
    resbuf* text_ = nullptr;   // group 1
    resbuf* point_ = nullptr;  // group 10
    size_t capacity_ = 0;      // bytes the text node's string may hold
    bool refused_ = false;     // a height or width factor of 0 or less: nothing is made
};

// Mode 1 by entity list with 72 = code; mode 0 by command ("c" for code 1, "m"
// for code 4; another code only creates the layer).
int text_make_justified(int code, const point3d_rec& point, double height, double width_factor, double angle,
                        const std::string& layer, const std::string& text, int mode);
// Right-justified by the host's TEXT command, along the bearing.
int text_make_cmd(const point3d_rec& point, double height, double angle, const std::string& layer,
                  const std::string& text);

// An INSERT of a block of the drawing; scale is the plot scale (41 = 42 =
// scale / 1000). 1, or the alert "unable create Block\n" and 0.
int insert_make(const std::string& block, const point3d_rec& point, double rotation, double scale,
                const std::string& layer);
// Brings a block file into the drawing and inserts it on the layer given or, with
// an empty layer, on the layer of the block's first entity. 1, or 0 on failure.
int block_insert(const std::string& block_file, const point3d_rec& point, double rotation, double scale,
                 const std::string& layer);
// Puts the block of a file into the BLOCK table (through the host's "Insert",
// deleting the reference that inserted it) unless it is there already.
// block_name gets the block's name; 1 when the block is in the table afterwards.
int block_load_temp(const point3d_rec& point, const std::string& path, std::string& block_name);

// A donut through the host's "Donut"; 1, or 0 when the command fails.
int donut_make(const point3d_rec& centre, double radius);

// Old-style polylines, one call per part: mode 0 the header, 1 a vertex, 2 the
// SEQEND. 1 on success; on failure an alert and 0.
int polyline2d_make(int mode, const point3d_rec& point, const std::string& layer);
int polyline3d_make(int mode, const point3d_rec& point, const std::string& layer);

// The LWPOLYLINE chain: callers fill the header before making it.
struct lwpoly_chain_rec {
    std::string layer = "0";
    int flags = 0;         // group 70
    int width = 0;         // constant width, written as a real into 43
    double elevation = 0;  // 38
    double thickness = 0;  // 39
    std::vector<point3d_rec> vertices;
};
lwpoly_chain_rec& lwpoly_chain();
// Mode 1 adds a vertex, mode 2 makes the LWPOLYLINE from the chain and empties
// it, mode 3 discards the chain. 1, or 0 when mode 2 fails or has no vertex.
int lwpoly_make(const point3d_rec& point, int mode);

// A SOLID hatch built in steps: mode 0 starts it (boundary count edges follow),
// mode 1 adds the line edge start-end, mode 2 closes it with start as the seed
// point and makes it. 1, or 0 (with "failed build hatch_list" when no hatch was
// started).
int hatch_make(int mode, const std::string& layer, const point3d_rec& start, const point3d_rec& end,
               int boundary_count, int colour);

// The pending field change that ent_mod_apply writes into an entity.
struct ent_mod_pending_rec {
    int kind = 0;  // 0 16-bit integer, 1 32-bit integer, 2 real, 3 text, 4 point
    int code = 0;  // the group code
    int int16 = 0;
    std::int32_t int32 = 0;
    double real = 0;
    std::string text;
    point3d_rec point;
    int ok_count = 0;    // successful changes
    int fail_count = 0;  // failed changes
};
ent_mod_pending_rec& ent_mod_pending();
// Writes the pending field into the entity; 1, or 0 (after "\nModified entities
// failed.") when the host refuses it or the kind is above 4.
int ent_mod_apply(const ads_name entity);
int ss_ent_mod_apply(const ads_name set, long index);

// The host's "bpoly" around the point: true with the boundary it made (a new
// entity) in boundary; false when it made none.
bool bpoly_at(const point3d_rec& point, ads_name boundary);

// Deletes every entity of the set and frees the set.
void ss_erase_all(const ads_name set);
// Deletes every entity on the layer.
void ss_erase_layer(const std::string& layer);
