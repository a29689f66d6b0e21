// The cross-section point file b_ptpxsection and its settings dialog PTX_dlg.
#include "xsec_points.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "ads.h"
#include "adsdlg.h"
#include "dialog_conventions.h"
#include "entity_readers.h"
#include "geometry.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "text_fields.h"
#include "text_lines.h"
#include "winplat.h"

namespace {

// Points closer than this to the centre-line point are the centre-line point.
constexpr double kSameAsCentre = 0.01;
constexpr size_t kPathLimit = 255;

void add_point(std::vector<xsec_pnt_rec>& points, const point3d_rec& p, double chainage)
{
    xsec_pnt_rec rec;
    rec.number = static_cast<int>(points.size()) + 1;
    rec.x = p.x;
    rec.y = p.y;
    rec.z = p.z;
    rec.chainage = chainage;
    rec.offset = 0.0;
    rec.code = "P";
    points.push_back(rec);
}

point3d_rec location(const xsec_pnt_rec& rec)
{
    return point3d_rec{rec.x, rec.y, rec.z};
}

// ---- the dialog ------------------------------------------------------------------------

bool path_known(const std::string& path)
{
    return path.size() >= 2;
}

// A number tile's text checked after the library's rule took it: a text that
// is no number, or an interval of zero or less, is said in the error tile and
// the last good value stays.
void check_number(ads_callback_packet* packet, double& value, double& last_good, bool above_zero,
                  const char* what)
{
    std::string why;
    if (str_is_number(packet->value) != 4)
        why = std::string(what) + " must be a number.";
    else if (above_zero && value <= 0)
        why = std::string(what) + " must be more than 0.";
    if (why.empty()) {
        last_good = value;
        ads_set_tile(packet->dialog, "error", "");
        return;
    }
    value = last_good;
    ads_set_tile(packet->dialog, "error", why.c_str());
}

}  // namespace

xsec_cfg_rec& xsec_cfg()
{
    static xsec_cfg_rec cfg;
    return cfg;
}

double xsec_offset(const point3d_rec& centre, const point3d_rec& left, const point3d_rec& point)
{
    const double d = dist_2d(centre, point);
    return angle_at_vertex(left, centre, point) < 90.0 ? -d : d;
}

std::string xsec_file_line(int sequence, const xsec_pnt_rec& point)
{
    return std::to_string(sequence) + "," + real_format(point.chainage, 3) + "," +
           real_format(point.offset, 3) + "," + real_format(point.z, 3) + "," + point.code;
}

bool xsec_write_section(const std::string& path, bool new_file, const std::vector<xsec_pnt_rec>& points)
{
    std::string text;
    for (size_t i = 0; i < points.size(); ++i)
        text += xsec_file_line(static_cast<int>(i) + 1, points[i]) + "\n";
    if (path.empty()) return false;
    // Both through the replacing step: a section that cannot be written whole
    // (a full disk) leaves the file as it was, without part of a section.
    if (new_file) return text_file_replace(path, text);
    return text_file_append(path, text);
}

int ptx_dlg_run(xsec_cfg_rec& cfg)
{
    // The dialog works on a copy: OK takes it, cancel takes nothing.
    xsec_cfg_rec work = cfg;
    double last_chainage = work.chainage;
    double last_interval = work.interval;
    dialog_def def;
    auto show_all = [&](ads_hdlg dialog) {
        if (work.method == 0) work.right = 0;
        for (const dialog_tile& tile : def.tiles) dialog_tile_show(dialog, tile);
        ads_mode_tile(dialog, "radio_ip", work.method == 0 ? MODE_DISABLE : MODE_ENABLE);
        ads_mode_tile(dialog, "yes", path_known(work.path) ? MODE_ENABLE : MODE_DISABLE);
    };
    auto then_show = [&](ads_callback_packet* packet) { show_all(packet->dialog); };
    auto take = [&](ads_callback_packet* packet) {
        if (!path_known(work.path)) {
            ads_set_tile(packet->dialog, "error", "Name the output file (File...) first.");
            return;
        }
        ads_done_dialog(packet->dialog, DLGOK);
    };
    def.file = "PointToXsec.dcl";
    def.name = "PTX_dlg";
    def.load_error = "\n Error Loading %s ";
    def.tiles = {
        tile_real("t_ch", work.chainage, 3) +
            [&](ads_callback_packet* packet) {
                check_number(packet, work.chainage, last_chainage, false, "The chainage");
                show_all(packet->dialog);
            },
        tile_real("t_intv", work.interval, 3) +
            [&](ads_callback_packet* packet) {
                check_number(packet, work.interval, last_interval, true, "The interval");
                show_all(packet->dialog);
            },
        tile_toggle("tg_code", work.ask_codes) + then_show,
        tile_toggle("tg_right", work.right) + then_show,
        tile_toggle("tg_new", work.new_file) + then_show,
        tile_toggle("tg_pick_pnt", work.pick_points) + then_show,
        tile_text("t_file", work.path, kPathLimit) +
            [&](ads_callback_packet* packet) {
                ads_set_tile(packet->dialog, "error",
                             std::string(packet->value).size() > kPathLimit
                                 ? "The file's path is longer than 255 characters."
                                 : "");
                show_all(packet->dialog);
            },
        tile_choice("rb_arah", work.method, 0) + then_show,
        tile_choice("rb_base", work.method, 1) + then_show,
        tile_action("p_file",
                    [&](ads_callback_packet* packet) {
                        std::string chosen;
                        if (file_dialog_dwgprefix("File Xsection", "", "dunmar", work.new_file ? 1 : 2,
                                                  chosen) &&
                            !chosen.empty()) {
                            if (chosen.size() > kPathLimit)
                                ads_set_tile(packet->dialog, "error",
                                             "The file's path is longer than 255 characters.");
                            else {
                                work.path = chosen;
                                ads_set_tile(packet->dialog, "error", "");
                            }
                        }
                        show_all(packet->dialog);
                    }),
        tile_action("yes", take),
        tile_action("ok", take),
        tile_button("cancel", DLGCANCEL),
    };
    def.on_open = show_all;
    const int status = dialog_run(def);
    if (status == dialog_not_shown) return dialog_not_shown;
    if (status != DLGOK) return 0;
    const int first_use = cfg.first_use;
    cfg = work;
    cfg.first_use = first_use;
    cfg.taken = 1;
    return 1;
}

namespace {

// ---- the section loop ------------------------------------------------------------------

// "C": a new chainage for the next section; X keeps the one there is.
void ask_chainage(xsec_cfg_rec& cfg)
{
    std::string out;
    if (prompt_real_spec("0,X,\nChainage", cfg.chainage, 3, out) == 1)
        cfg.chainage = std::strtod(out.c_str(), nullptr);
    else
        acutPrintf("\nThe chainage stays %.3f.", cfg.chainage);
}

// The point on the left side, away from the centre-line point; false when the
// answer is no point.
bool pick_left(const point3d_rec& centre, point3d_rec& left)
{
    ads_point base, picked;
    point_to_ads(centre, base);
    for (;;) {
        if (acedGetPoint(base, "\nPick where is left offset", picked) != RTNORM) {
            acutPrintf("\nNo left side was picked.");
            return false;
        }
        left = point_from_ads(picked);
        if (!dist_within(centre, left, kSameAsCentre)) return true;
        acutPrintf("\nThe left side must be picked away from the centre-line point.");
    }
}

void pick_section_points(const xsec_cfg_rec& cfg, const point3d_rec& centre,
                         std::vector<xsec_pnt_rec>& points)
{
    ads_point base, picked;
    point_to_ads(centre, base);
    for (;;) {
        acutPrintf("\nTotal Points :%d", static_cast<int>(points.size()));
        if (acedGetPoint(base, "\nPick Cross Section Point", picked) != RTNORM) return;
        const point3d_rec p = point_from_ads(picked);
        if (dist_within(centre, p, kSameAsCentre)) {
            acutPrintf("\nThat is the centre-line point; it is not added again.");
            continue;
        }
        add_point(points, p, cfg.chainage);
    }
}

// false when nothing was selected.
bool select_section_points(const xsec_cfg_rec& cfg, const point3d_rec& centre,
                           std::vector<xsec_pnt_rec>& points)
{
    ads_name set;
    long length = 0;
    if (!ss_select_type("POINT", set, length) || length == 0) {
        acutPrintf("\nNo POINT was selected.");
        return false;
    }
    long at_centre = 0;
    for (long i = 0; i < length; ++i) {
        if (!ss_point_get(set, i, 0)) continue;
        const point3d_rec p = point_read.location;
        if (dist_within(centre, p, kSameAsCentre))
            ++at_centre;
        else
            add_point(points, p, cfg.chainage);
    }
    acedSSFree(set);
    if (at_centre > 0)
        acutPrintf(
            "\n%ld POINT(s) within 0.01 of the centre-line point left out; the centre-line point stands "
            "for them.",
            at_centre);
    return true;
}

// "Enter Code": a typed text becomes the code in upper case; Enter or a pick
// keeps the code "P". A comma would split the line of the file.
void ask_code(xsec_pnt_rec& rec)
{
    const point3d_rec at = location(rec);
    for (;;) {
        std::string typed;
        point3d_rec ignored;
        const int rc = prompt_point_or_typed("\nEnter Code :", &at, typed, ignored);
        acutPrintf("\nsdef :%s sret :%s iret=%d", "", typed.c_str(), rc);
        if (rc == 2 && typed.find(',') != std::string::npos) {
            acutPrintf("\nA code cannot hold a comma; give it again.");
            continue;
        }
        if (rc == 2 && !typed.empty()) rec.code = str_upper_copy(typed);
        return;
    }
}

enum class section_result { next, stop };

section_result run_section(xsec_cfg_rec& cfg, const point3d_rec& centre)
{
    point3d_rec left;
    if (!pick_left(centre, left)) return section_result::stop;
    std::vector<xsec_pnt_rec> points;
    add_point(points, centre, cfg.chainage);
    if (cfg.pick_points)
        pick_section_points(cfg, centre, points);
    else if (!select_section_points(cfg, centre, points))
        return section_result::stop;
    if (points.size() < 3) {
        acutPrintf(
            "\nA section needs two points or more beside the centre-line point; nothing was written for "
            "CH %.3f.",
            cfg.chainage);
        return section_result::stop;
    }
    for (size_t i = 1; i < points.size(); ++i) {
        points[i].offset = xsec_offset(centre, left, location(points[i]));
        if (cfg.ask_codes) ask_code(points[i]);
    }
    if (xsec_write_section(cfg.path, cfg.new_file != 0, points)) {
        cfg.new_file = 0;
        acutPrintf("\nCH %.3f: %d points written to %s", cfg.chainage, static_cast<int>(points.size()),
                   cfg.path.c_str());
    } else {
        acedAlert("Error Writing file");
        acutPrintf("\nCH %.3f was not written to %s.", cfg.chainage, cfg.path.c_str());
    }
    cfg.chainage += cfg.interval;
    return section_result::next;
}

void section_loop(xsec_cfg_rec& cfg)
{
    for (;;) {
        acutPrintf("\nCH: %.3f", cfg.chainage);
        std::string text;
        point3d_rec centre;
        const int rc = prompt_point_or_text("\ne<X>it <S>etting <C>hainage <Pick Centerline>", "X", nullptr,
                                            text, centre);
        if (rc == 0) return;
        if (rc == 1) {
            if (run_section(cfg, centre) == section_result::stop) return;
            continue;
        }
        acutPrintf("\nsret :%s", text.c_str());
        const std::string word = str_upper_copy(text);
        if (word == "X") return;
        if (word == "S") {
            ptx_dlg_run(cfg);
            if (cfg.method == 1) {
                acedAlert("Coming soon..");
                return;
            }
        } else if (word == "C") {
            ask_chainage(cfg);
        } else {
            acutPrintf("\nAnswer X, S or C, or pick the centre-line point.");
        }
    }
}

}  // namespace

int b_ptpxsection()
{
    xsec_cfg_rec& cfg = xsec_cfg();
    if (!cfg.first_use) {
        cfg = xsec_cfg_rec{};
        cfg.first_use = 1;
    }
    // Until the dialog has once ended with OK there is no file to write to.
    if (!cfg.taken) {
        const int status = ptx_dlg_run(cfg);
        if (status == dialog_not_shown) return 0;
        if (status != 1) {
            acutPrintf("\nNothing was written.\nBye..");
            return 0;
        }
    }
    if (cfg.method == 1) {
        acedAlert("Coming soon..");
        return 0;
    }
    section_loop(cfg);
    acutPrintf("\nBye..");
    return 0;
}
