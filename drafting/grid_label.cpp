// Grid labels: b_grid_auto_label.
#include "grid_label.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

#include "ads.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "drafting_settings.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "folders_registry.h"
#include "geometry.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "GRD_LBL";
// The longest settings text the command stores, and what it says of a longer one.
constexpr size_t kStoredTextLimit = 250;
constexpr const char* kTooLong = "Sorry Cannot save setting - to string exceed 250";
// Crossings nearer than this along the main line are one place.
constexpr double kSamePlace = 1e-6;

struct crossing_rec {
    point3d_rec point;
    double distance = 0;  // from the main line's start
};

// One run's main line and what follows from it.
struct grid_run_rec {
    point3d_rec start, end;
    double offset = 0;        // the side point's distance from the main line
    double rotation = 0;      // text bearing, below 180
    double step_bearing = 0;  // start to end
    double side_bearing = 0;  // perpendicular to the main line, toward the side point
    bool arrows = true;       // false when the arrow block cannot be had
};

point3d_rec flat(point3d_rec p)
{
    p.z = 0;
    return p;
}

// The point at a distance from `at`, perpendicular to the main line on the side.
point3d_rec beside(const grid_run_rec& run, const point3d_rec& at, double distance)
{
    point3d_rec out;
    polar_point(run.side_bearing, distance, at, out);
    return out;
}

// An INSERT's angle (counter-clockwise from east) that points the arrow block,
// drawn along its x axis, in the direction of a bearing.
double arrow_angle(double bearing)
{
    return angle_add(90.0, -bearing);
}

// The first character's code of a UTF-8 text (0 for an empty text).
unsigned first_code(const std::string& text)
{
    if (text.empty()) return 0;
    const auto byte = [&](size_t i) { return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u; };
    const unsigned lead = byte(0);
    if (lead < 0x80) return lead;
    if ((lead & 0xE0) == 0xC0) return ((lead & 0x1F) << 6) | (byte(1) & 0x3F);
    if ((lead & 0xF0) == 0xE0) return ((lead & 0x0F) << 12) | ((byte(1) & 0x3F) << 6) | (byte(2) & 0x3F);
    return ((lead & 0x07) << 18) | ((byte(1) & 0x3F) << 12) | ((byte(2) & 0x3F) << 6) | (byte(3) & 0x3F);
}

// The one character of a code, in UTF-8 as the drawing keeps texts.
std::string code_text(unsigned code)
{
    std::string out;
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
    return out;
}

// Whether the arrow block is in the drawing or its file can be read.
bool arrow_block_at_hand(const std::string& file)
{
    std::string name = file;
    path_file_name(file, name);
    path_strip_extension(name, name);
    if (resbuf* found = acdbTblSearch("BLOCK", name.c_str(), 0)) {
        acutRelRb(found);
        return true;
    }
    return file_exists(file.c_str()) == 1;
}

// The distance text between two crossings, its dimension lines and arrows.
void distance_label(const grid_run_rec& run, const point3d_rec& from, const point3d_rec& to,
                    const std::string& text)
{
    const grd_lbl_cfg_rec& cfg = grd_lbl_cfg();
    const double s = cfg.scale * 0.001;
    const point3d_rec middle{(from.x + to.x) / 2, (from.y + to.y) / 2, 0};
    if (text_make_justified(4, beside(run, middle, run.offset), cfg.dist_height * s, cfg.dist_width,
                            run.rotation, cfg.dist_layer, text, 1) != RTNORM)
        return;
    ads_name made;
    if (acdbEntLast(made) != RTNORM || !text_box_corners(made)) return;
    // The middles of the text box's left and right ends.
    const point3d_rec* corner = text_box_read.corners;
    const double half = dist_2d(corner[0], corner[1]) / 2;
    const double up = bearing_deg(corner[0], corner[1]);
    point3d_rec e0, e1;
    polar_point(up, half, corner[0], e0);
    polar_point(up, half, corner[3], e1);
    point3d_rec a0 = beside(run, to, run.offset), a1 = beside(run, from, run.offset);
    if (dist_2d(a0, e1) < dist_2d(a0, e0)) pt_swap(a0, a1);
    line_make(a0, e0, cfg.dist_layer);
    line_make(a1, e1, cfg.dist_layer);
    if (!run.arrows) return;
    // Each arrow points away from the text, along the dimension line.
    const double b = bearing_deg(a0, a1);
    const double scale = cfg.arrow_scale * cfg.scale;
    block_insert(cfg.arrow_block, a0, arrow_angle(angle_add(b, 180.0)), scale, cfg.dist_layer);
    block_insert(cfg.arrow_block, a1, arrow_angle(b), scale, cfg.dist_layer);
}

// The running heads of one run: the first pair writes the heads of both its
// grid lines, every later pair the head of its second one.
class head_writer {
public:
    head_writer(const grid_run_rec& run, const point3d_rec& base) : run_(run), base_(base) {}

    void pair(double distance)
    {
        const grd_lbl_cfg_rec& cfg = grd_lbl_cfg();
        const std::string lead = cfg.leading_on == 1 ? cfg.leading_text : std::string();
        if (first_) {
            number_ = cfg.start_number;
            letter_ = first_code(cfg.start_text);
            if (cfg.numbered == 1) write(lead + std::to_string(number_));
            if (cfg.lettered == 1) write(lead + cfg.start_text);
            first_ = false;
        }
        ++number_;
        ++letter_;
        polar_point(run_.step_bearing, distance, base_, base_);
        if (cfg.numbered == 1) write(lead + std::to_string(number_));
        if (cfg.lettered == 1) write(lead + code_text(letter_));
    }

private:
    void write(const std::string& text)
    {
        const grd_lbl_cfg_rec& cfg = grd_lbl_cfg();
        const double s = cfg.scale * 0.001;
        text_make_justified(4, base_, cfg.head_height * s, cfg.head_width, run_.rotation, cfg.head_layer,
                            text, 1);
        if (cfg.circle_on == 1) circle_make(base_, cfg.circle_radius * s, cfg.circle_layer);
    }

    const grid_run_rec& run_;
    point3d_rec base_;
    bool first_ = true;
    long number_ = 0;
    unsigned letter_ = 0;
};

// The crossings of the selected LINEs with the main line, ordered along it, one
// per place. Lines that do not cross (other than the main line itself) and
// crossings at a place already taken are counted and said.
std::vector<crossing_rec> grid_crossings(const grid_run_rec& run, const ads_name set, long length,
                                         const ads_name main)
{
    std::vector<crossing_rec> crossings;
    crossings.reserve(static_cast<size_t>(length));
    long apart = 0;
    for (long i = 0; i < length; ++i) {
        ads_name line;
        if (acedSSName(set, i, line) != RTNORM || ads_name_equal(line, main)) continue;
        point3d_rec a, b, at;
        if (!ss_line_ends_pair(set, i, a, b)) continue;
        if (!geo_intersect(flat(a), flat(b), run.start, run.end, 1, at)) {
            ++apart;
            continue;
        }
        at = flat(at);
        crossings.push_back({at, dist_2d(run.start, at)});
    }
    std::stable_sort(crossings.begin(), crossings.end(),
                     [](const crossing_rec& x, const crossing_rec& y) { return x.distance < y.distance; });
    std::vector<crossing_rec> once;
    long doubled = 0;
    for (const crossing_rec& c : crossings) {
        if (!once.empty() && c.distance - once.back().distance <= kSamePlace) {
            ++doubled;
            continue;
        }
        once.push_back(c);
    }
    if (apart > 0) acutPrintf("\n%ld selected LINE(s) do not cross the main line and are left out.", apart);
    if (doubled > 0)
        acutPrintf(
            "\n%ld selected LINE(s) cross the main line where another one does; each place is labelled once.",
            doubled);
    return once;
}

// The main LINE and the side: false (after unhighlighting) when the user
// leaves or the entity is no LINE.
bool main_line_pick(grid_run_rec& run, ads_name main, point3d_rec& picked_at, point3d_rec& side)
{
    ads_point picked;
    if (acedEntSel("\nSelect Line", main, picked) != RTNORM) return false;
    acedRedraw(main, 3);
    picked_at = flat(point_from_ads(picked));
    std::string text;
    if (prompt_point_or_text("\nPick Arah:", "", &picked_at, text, side) != 1) {
        acedRedraw(main, 4);
        return false;
    }
    std::string type;
    ent_get_string(main, 0, type);
    if (strcasecmp(type.c_str(), "LINE") != 0) {
        acedAlert("Sorry Hanya LINE");
        acedRedraw(main, 4);
        return false;
    }
    ss_line_ends_pair(main, -1, run.start, run.end);
    run.start = flat(run.start);
    run.end = flat(run.end);
    acedRedraw(main, 4);
    return true;
}

// The side point's distance from the main line taken as unbounded; a side
// point on the line is asked again, since the labels would fall on the line.
bool side_offset(grid_run_rec& run, const point3d_rec& picked_at, point3d_rec& side)
{
    for (;;) {
        side = flat(side);
        point3d_rec foot;
        geo_offset_corner(run.start, run.end, side, 0, foot);
        run.offset = dist_2d(side, foot);
        if (run.offset > kSamePlace) return true;
        acutPrintf("\nThe side point lies on the main line: pick a point beside it.");
        std::string text;
        if (prompt_point_or_text("\nPick Arah:", "", &picked_at, text, side) != 1) return false;
    }
}

void label_pairs(const grid_run_rec& run, const std::vector<crossing_rec>& crossings)
{
    const grd_lbl_cfg_rec& cfg = grd_lbl_cfg();
    // The heads stand opposite the grid lines, from the first crossing on.
    head_writer heads(run, beside(run, crossings.front().point, 2 * run.offset));
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
        const point3d_rec& from = crossings[i].point;
        const point3d_rec& to = crossings[i + 1].point;
        const double d = dist_2d(from, to);
        if (cfg.dist_on == 1) distance_label(run, from, to, rtos_decimal(d, cfg.decimals));
        if (cfg.head_on == 1) heads.pair(d);
    }
}

// A text tile whose value goes into the comma list: a comma there would split
// the stored text, so a value holding one is refused and the tile set back.
dialog_tile tile_list_text(const std::string& key, std::string& text)
{
    return tile_action(key, [key, &text](ads_callback_packet* packet) {
        const std::string value = packet->value;
        if (value.find(',') == std::string::npos) {
            text = value;
            ads_set_tile(packet->dialog, "error", "");
            return;
        }
        ads_set_tile(packet->dialog, key.c_str(), text.c_str());
        ads_set_tile(packet->dialog, "error", "A comma cannot be kept in this setting.");
    });
}

void mode_tiles(ads_hdlg dialog, std::initializer_list<const char*> keys, bool enabled)
{
    for (const char* key : keys) ads_mode_tile(dialog, key, enabled ? MODE_ENABLE : MODE_DISABLE);
}

}  // namespace

grd_lbl_cfg_rec& grd_lbl_cfg()
{
    static grd_lbl_cfg_rec cfg = grd_lbl_cfg_defaults();
    return cfg;
}

grd_lbl_state_rec& grd_lbl_state()
{
    static grd_lbl_state_rec state;
    return state;
}

grd_lbl_cfg_rec grd_lbl_cfg_defaults()
{
    grd_lbl_cfg_rec cfg;
    // "<folder>\drawing\Grid_Arrow.dwg" in the folder's own separators, so that
    // the block's name (the file name without folder) comes out whole.
    const std::string& folder = app_install_folder();
    const char* within = folder.find('/') != std::string::npos ? "/drawing/" : "\\drawing\\";
    cfg.arrow_block = folder + within + "Grid_Arrow.dwg";
    return cfg;
}

std::string grd_lbl_cfg_text(const grd_lbl_cfg_rec& cfg)
{
    std::string text;
    comma_list_add(text, cfg.scale, 3);
    comma_list_add(text, cfg.dist_on);
    comma_list_add(text, cfg.dist_layer);
    comma_list_add(text, cfg.dist_height, 3);
    comma_list_add(text, cfg.dist_width, 3);
    comma_list_add(text, cfg.select_main_line);
    comma_list_add(text, cfg.unit);
    comma_list_add(text, cfg.decimals);
    comma_list_add(text, cfg.arrow_block);
    comma_list_add(text, cfg.arrow_scale, 3);
    comma_list_add(text, cfg.head_on);
    comma_list_add(text, cfg.head_layer);
    comma_list_add(text, cfg.head_height, 3);
    comma_list_add(text, cfg.head_width, 3);
    comma_list_add(text, cfg.circle_on);
    comma_list_add(text, cfg.circle_layer);
    comma_list_add(text, cfg.circle_radius, 3);
    comma_list_add(text, cfg.numbered);
    comma_list_add(text, static_cast<int>(cfg.start_number));
    comma_list_add(text, cfg.lettered);
    comma_list_add(text, cfg.start_text);
    comma_list_add(text, cfg.leading_text);
    comma_list_add(text, cfg.leading_on);
    return text;
}

void grd_lbl_cfg_parse(const std::string& text, grd_lbl_cfg_rec& cfg)
{
    auto field = [&](int n) { return str_get_field(text, n, ","); };
    auto real = [&](int n) { return std::atof(field(n).c_str()); };
    auto integer = [&](int n) { return std::atoi(field(n).c_str()); };
    cfg.scale = real(1);
    cfg.dist_on = integer(2);
    cfg.dist_layer = field(3);
    cfg.dist_height = real(4);
    cfg.dist_width = real(5);
    cfg.select_main_line = integer(6);
    cfg.unit = integer(7);
    cfg.decimals = integer(8);
    cfg.arrow_block = field(9);
    cfg.arrow_scale = real(10);
    cfg.head_on = integer(11);
    cfg.head_layer = field(12);
    cfg.head_height = real(13);
    cfg.head_width = real(14);
    cfg.circle_on = integer(15);
    cfg.circle_layer = field(16);
    cfg.circle_radius = real(17);
    cfg.numbered = integer(18);
    cfg.start_number = std::atol(field(19).c_str());
    cfg.lettered = integer(20);
    cfg.start_text = field(21);
    cfg.leading_text = field(22);
    cfg.leading_on = integer(23);
}

int grd_lbl_cfg_save()
{
    const std::string text = grd_lbl_cfg_text(grd_lbl_cfg());
    acutPrintf("\nssave %s", text.c_str());
    return drafting_settings_store(kApp, text, kStoredTextLimit, kTooLong);
}

int pelan_grid_label_dlg()
{
    grd_lbl_cfg_rec& cfg = grd_lbl_cfg();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);
    static const std::vector<std::string> kUnits = {"Meter", "Feet", "Milimeter"};

    // The dialog edits a copy; OK makes it the settings and stores them.
    grd_lbl_cfg_rec edit = cfg;
    int start_number = static_cast<int>(edit.start_number);

    // The enable rules, as the dialog opens and after each toggle or radio button.
    auto rules = [&](ads_hdlg dialog) {
        mode_tiles(dialog,
                   {"distance_layer_text", "textheight_dist_text", "textwidth_dist_text", "decimal_text",
                    "unit_pop", "block_arrow_btn", "block_arrow_scale_text", "block_arrow_text"},
                   edit.dist_on == 1);
        if (edit.head_on != 1) {
            edit.circle_on = edit.numbered = edit.lettered = edit.leading_on = 0;
            for (const char* key : {"tg_headcircle", "rd_start_number", "rd_start_text", "tg_leadingtext"})
                ads_set_tile(dialog, key, "0");
        }
        mode_tiles(dialog,
                   {"tg_headcircle", "rd_start_number", "rd_start_text", "tg_leadingtext",
                    "text_head_layer_text", "textheight_head_text", "textwidth_head_text"},
                   edit.head_on == 1);
        mode_tiles(dialog, {"head_circle_layer_text", "circle_radius_text"}, edit.circle_on == 1);
        mode_tiles(dialog, {"start_number_text"}, edit.numbered == 1);
        mode_tiles(dialog, {"start_text_text"}, edit.lettered == 1);
        mode_tiles(dialog, {"leadingtext_text"}, edit.leading_on == 1);
    };
    auto then_rules = [&](ads_callback_packet* packet) { rules(packet->dialog); };
    // The two head kinds exclude each other in the dialog.
    auto only = [&](int& other, const char* other_key) {
        int* cleared = &other;
        return [&rules, cleared, other_key](ads_callback_packet* packet) {
            if (std::string(packet->value) == "1") {
                *cleared = 0;
                ads_set_tile(packet->dialog, other_key, "0");
            }
            rules(packet->dialog);
        };
    };
    const dialog_tile circle_radius_tile = tile_size("circle_radius_text", edit.circle_radius, luprec);

    dialog_def def;
    def.file = "Pelan_Grid_Label_Dlg.dcl";
    def.name = "pelan_grid_label_dlg";
    def.tiles = {tile_size("scale_text", edit.scale, luprec),
                 tile_toggle("tg_dist", edit.dist_on) + then_rules,
                 tile_layer("distance_layer_text", edit.dist_layer, 254),
                 tile_size("textheight_dist_text", edit.dist_height, luprec),
                 tile_size("textwidth_dist_text", edit.dist_width, luprec),
                 tile_toggle("tg_sel_mainline", edit.select_main_line),
                 tile_popup("unit_pop", edit.unit, kUnits),
                 tile_decimals("decimal_text", edit.decimals),
                 tile_list_text("block_arrow_text", edit.arrow_block),
                 tile_size("block_arrow_scale_text", edit.arrow_scale, luprec),
                 tile_toggle("tg_text_head", edit.head_on) + then_rules,
                 tile_layer("text_head_layer_text", edit.head_layer, 254),
                 tile_size("textheight_head_text", edit.head_height, luprec) +
                     [&](ads_callback_packet* packet) {
                         // Only a height the tile took sets the radius.
                         if (str_is_number(packet->value) != 4 ||
                             std::strtod(packet->value, nullptr) != edit.head_height)
                             return;
                         edit.circle_radius = 1.25 * edit.head_height;
                         dialog_tile_show(packet->dialog, circle_radius_tile);
                     },
                 tile_size("textwidth_head_text", edit.head_width, luprec),
                 tile_toggle("tg_headcircle", edit.circle_on) + then_rules,
                 tile_layer("head_circle_layer_text", edit.circle_layer, 254),
                 circle_radius_tile,
                 tile_radio("rd_start_number", edit.numbered) + only(edit.lettered, "rd_start_text"),
                 tile_integer("start_number_text", start_number),
                 tile_radio("rd_start_text", edit.lettered) + only(edit.numbered, "rd_start_number"),
                 tile_list_text("start_text_text", edit.start_text),
                 tile_list_text("leadingtext_text", edit.leading_text),
                 tile_toggle("tg_leadingtext", edit.leading_on) + then_rules,
                 tile_button("block_arrow_btn", 2),
                 tile_help("text_author", "/survey_menu.htm#_Grid"),
                 tile_button("ok", DLGOK),
                 tile_button("cancel", DLGCANCEL)};
    def.on_open = [&](ads_hdlg dialog) {
        ads_set_tile(dialog, "block_arrow_text", edit.arrow_block.c_str());
        ads_set_tile(dialog, "start_text_text", edit.start_text.c_str());
        ads_set_tile(dialog, "leadingtext_text", edit.leading_text.c_str());
        rules(dialog);
    };
    const int status = dialog_run(def, [](int) { return true; });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        edit.start_number = start_number;
        cfg = edit;
        grd_lbl_cfg_save();
    }
    return status;
}

int b_grid_auto_label()
{
    grd_lbl_state_rec& state = grd_lbl_state();
    dwg_path_track(state.loaded, state.dwg_path);
    if (!state.loaded) {
        settings_key_rec key;
        settings_key_make(key, kApp, "");
        std::string stored;
        grd_lbl_cfg_rec& cfg = grd_lbl_cfg();
        cfg = grd_lbl_cfg_defaults();
        if (drawing_setting_find(key, stored) == 1 && stored.size() >= 10) grd_lbl_cfg_parse(stored, cfg);
        if (pelan_grid_label_dlg() != DLGOK) return 0;
        state.loaded = 1;
    }
    grid_run_rec run;
    ads_name main;
    point3d_rec picked_at, side;
    if (!main_line_pick(run, main, picked_at, side)) return 0;
    if (!side_offset(run, picked_at, side)) return 0;

    ads_name set;
    long length = 0;
    if (!ss_select_type("LINE", set, length)) return 0;
    // The main line runs from its end nearer the pick.
    if (dist_2d(run.end, picked_at) < dist_2d(run.start, picked_at)) pt_swap(run.start, run.end);
    const std::vector<crossing_rec> crossings = grid_crossings(run, set, length, main);
    acedSSFree(set);
    if (crossings.size() < 2) {
        acutPrintf("\nFewer than two of the selected LINEs cross the main line: nothing to label.");
        return 1;
    }

    const grd_lbl_cfg_rec& cfg = grd_lbl_cfg();
    run.step_bearing = bearing_deg(run.start, run.end);
    run.rotation = run.step_bearing >= 180.0 ? run.step_bearing - 180.0 : run.step_bearing;
    run.side_bearing =
        angle_add(run.step_bearing, geo_side_of_line(run.start, run.end, side) == 1 ? 90.0 : 270.0);
    if (cfg.dist_on == 1) {
        run.arrows = arrow_block_at_hand(cfg.arrow_block);
        if (!run.arrows)
            acutPrintf("\nThe arrow block %s cannot be found: the distances are drawn without arrows.",
                       cfg.arrow_block.c_str());
    }
    label_pairs(run, crossings);
    return 1;
}

void grid_head_label_notice()
{
    acedAlert("Grid heads are written by the automatic grid labels (b_grid_auto_label).");
}

void grid_auto_label_notice()
{
    acedAlert("Automatic grid labels: select the main LINE, pick its side, then select the grid LINEs.");
}
