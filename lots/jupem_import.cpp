// The lot-file import's command, its two dialogs and the drawing of a lot
// plan from the boundary and lot files.
#include "jupem_import.h"

#include <algorithm>
#include <cstdlib>

#include "adsdlg.h"
#include "bgd_style.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "folders_registry.h"
#include "geometry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "run_notes.h"
#include "sysvar.h"
#include "text_fields.h"
#include "text_lines.h"

namespace {

constexpr double kTolerance = 0.005;

std::vector<jupem_line_rec> read_boundary_file(const std::string& path, bool& opened)
{
    std::vector<jupem_line_rec> lines;
    opened = text_file_lines(path, [&](long number, std::string_view text) {
        jupem_line_rec line;
        std::string problem;
        if (!jupem_line_parse(text, line, problem)) {
            run_note("\nLine %ld of %s: %s; the line is left out.", number, path.c_str(), problem.c_str());
            return;
        }
        if (!line.labelled)
            run_note("\nLine %ld of %s: %s; the line is drawn without its label.", number, path.c_str(),
                     problem.c_str());
        line.file_line = number;
        lines.push_back(line);
    });
    return lines;
}

void draw_boundary_line(const jupem_line_rec& line, const jupem_settings_rec& s)
{
    const std::vector<jupem_stone_type_rec>& types = jupem_stone_types();
    const double gap_start = types[static_cast<size_t>(line.start_type)].size;
    const double gap_end = types[static_cast<size_t>(line.end_type)].size;
    const double length = dist_2d(line.start, line.end);
    // A line shorter than its two stones is drawn whole.
    if (s.no_mark || (gap_start + gap_end) * s.plot_scale / 1000.0 >= length)
        line_make(line.start, line.end, s.lot_line_layer);
    else
        line_make_trimmed(line.start, line.end, s.plot_scale, gap_start, gap_end, s.lot_line_layer);
    if (line.labelled)
        bgd_label_leg_text(line.start, line.end, line.bearing, std::atof(line.distance.c_str()),
                           line.distance);
}

void draw_stone(const jupem_point_rec& stone, const jupem_settings_rec& s)
{
    const jupem_stone_type_rec& type = jupem_stone_types()[static_cast<size_t>(stone.type)];
    const double radius = type.size * s.plot_scale * 0.001;
    if (type.shape == "D")
        donut_make(stone.point, radius);
    else if (type.shape == "C")
        circle_make(stone.point, radius, s.lot_line_layer);
    if (type.mark == "nil") return;
    // The mark stands beside the stone, above and to the right of it.
    const double height = s.stone_desc_height * s.plot_scale * 0.001;
    const point3d_rec at{stone.point.x + radius + 0.25 * height, stone.point.y + radius + 0.25 * height, 0};
    text_make_on_layer(at, height, 1.0, 90.0, s.stone_desc_layer, type.mark, 1);
}

void zoom_to(const std::vector<jupem_line_rec>& lines, const std::vector<bool>& retained)
{
    bool any = false;
    point3d_rec low, high;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!retained[i]) continue;
        for (const point3d_rec& p : {lines[i].start, lines[i].end}) {
            if (!any) low = high = p;
            any = true;
            low = {std::min(low.x, p.x), std::min(low.y, p.y), 0};
            high = {std::max(high.x, p.x), std::max(high.y, p.y), 0};
        }
    }
    if (any) zoom_window(low, high);
}

// The lot numbers and areas; the number of lots drawn, -1 when the file is missing.
int draw_lots(const std::string& path, const jupem_settings_rec& s)
{
    const double number_height = s.lot_number_height * s.plot_scale * 0.001;
    const double area_height = s.area_height * s.plot_scale * 0.001;
    // The number above the label point and the area below it, a quarter of the
    // area's height apart, so that the two do not overlap.
    const double gap = 0.25 * area_height;
    int drawn = 0;
    progress_tick_start();
    const bool opened = text_file_lines(path, [&](long number, std::string_view text) {
        progress_tick_named("Creating Lot Number and area");
        jupem_lot_rec lot;
        std::string problem;
        if (!jupem_lot_parse(text, lot, problem)) {
            run_note("\nLine %ld of %s: %s; the lot is left out.", number, path.c_str(), problem.c_str());
            return;
        }
        const point3d_rec above{lot.label.x, lot.label.y + 0.5 * (number_height + gap), 0};
        const point3d_rec below{lot.label.x, lot.label.y - 0.5 * (area_height + gap), 0};
        text_make_justified(4, above, number_height, 1.0, 90.0, s.lot_num_layer, lot.number, 1);
        double area = 0;
        if (str_is_number(lot.area) == 4) {
            area = std::atof(lot.area.c_str());
            text_make_justified(4, below, area_height, 1.0, 90.0, s.area_layer,
                                jupem_area_text(area, s.area_decimals, lot.unit), 1);
        } else {
            run_note("\nLine %ld of %s: area \"%s\" is not a number; lot %s is drawn without its area.",
                     number, path.c_str(), lot.area.c_str(), lot.number.c_str());
        }
        ++drawn;
    });
    return opened ? drawn : -1;
}

// The lot file beside the boundary file: its name with the extension "lot"
// ("LOT" beside a file whose extension is written in capitals, for file
// systems that tell the two apart).
std::string lot_file_of(const std::string& boundary_file)
{
    std::string name, extension;
    path_file_name(boundary_file, name);
    if (name.empty()) name = boundary_file;
    const size_t dot = name.rfind('.');
    if (dot != std::string::npos) extension = name.substr(dot + 1);
    auto is_upper = [](char c) { return c >= 'A' && c <= 'Z'; };
    auto is_lower = [](char c) { return c >= 'a' && c <= 'z'; };
    const bool capitals = std::any_of(extension.begin(), extension.end(), is_upper) &&
                          std::none_of(extension.begin(), extension.end(), is_lower);
    const std::string wanted = capitals ? "LOT" : "lot";
    std::string lot_file;
    if (!path_replace_extension(boundary_file, wanted, lot_file)) lot_file = boundary_file + "." + wanted;
    return lot_file;
}

void set_text_tile(ads_hdlg dialog, const char* key, const std::string& value)
{
    ads_set_tile(dialog, key, value.c_str());
}

}  // namespace

jupem_settings_rec& jupem_settings()
{
    static jupem_settings_rec settings;
    return settings;
}

int import_jupem_setting_dlg()
{
    jupem_settings_rec& s = jupem_settings();
    jupem_settings_rec edit = s;
    const int decimals = sysvar_luprec();
    dialog_def def{
        "Import_Jupem_Setting_Dlg.dcl",
        "import_jupem_setting_dlg",
        {tile_real("bdg_spc_t", edit.bgd_spacing, decimals),
         tile_real_positive("bgd_th_t", edit.bgd_text_height, decimals),
         tile_real_positive("lot_th_t", edit.lot_number_height, decimals),
         tile_real_positive("area_th_t", edit.area_height, decimals),
         tile_real_positive("stone_desc_th_t", edit.stone_desc_height, decimals),
         tile_integer_within("lot_area_t", edit.area_decimals, 0, 10, "The area decimals must be 0 to 10."),
         tile_layer("lot_line_layer_t", edit.lot_line_layer), tile_layer("bgd_layer_t", edit.bgd_layer),
         tile_layer("lot_num_layer_t", edit.lot_num_layer), tile_layer("area_layer_t", edit.area_layer),
         tile_layer("stone_desc_layer_t", edit.stone_desc_layer), tile_button("ok", DLGOK),
         tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&edit](ads_hdlg dialog) {
        set_text_tile(dialog, "stone_file_t", edit.stone_file);
        set_text_tile(dialog, "cn_line_layer_t", edit.cn_line_layer);
        for (const char* key : {"stone_btn", "stone_file_t", "cn_line_layer_t"})
            ads_mode_tile(dialog, key, MODE_DISABLE);
    };
    const int status = dialog_run(def);
    if (status == DLGOK) s = edit;
    return status;
}

int import_jupem_dlg()
{
    jupem_settings_rec& s = jupem_settings();
    double plot_scale = s.plot_scale;
    int no_mark = s.no_mark;
    auto choose_file = [&s](ads_callback_packet* packet) {
        std::string path;
        if (!file_dialog_dwgprefix("Jupem File", "", "bdy", 0, path)) return;
        s.boundary_file = path;
        set_text_tile(packet->dialog, "file_jupem_t", path);
    };
    dialog_def def{
        "Import_Jupem_Dlg.dcl",
        "import_jupem_dlg",
        {tile_text("file_jupem_t", s.boundary_file), tile_action("file_jupem_btn", choose_file),
         tile_real_positive("plot_scale_t", plot_scale, sysvar_luprec()), tile_toggle("nomark_tg", no_mark),
         tile_button("setting_btn", 2), tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    const int status = dialog_run(def, [](int pick) {
        if (pick == 2) import_jupem_setting_dlg();
        return true;
    });
    if (status == DLGOK) {
        s.plot_scale = plot_scale;
        s.no_mark = no_mark;
    }
    return status;
}

int import_jupem()
{
    jupem_settings() = jupem_settings_rec{};
    jupem_stone_types_init();
    if (import_jupem_dlg() != DLGOK) return 0;
    return jupem_import_run();
}

int jupem_import_run()
{
    const jupem_settings_rec& s = jupem_settings();
    if (jupem_stone_types().empty()) jupem_stone_types_init();

    bgd_style_rec style;
    bgd_style_defaults(style);
    style.text_height = s.bgd_text_height;
    style.width_factor = 1.0;
    style.spacing = s.bgd_spacing;
    style.plot_scale = s.plot_scale;
    bgd_style_copy_text(style.label_layer, s.bgd_layer);
    bgd_style_set_scaled(style);

    bool opened = false;
    std::vector<jupem_line_rec> lines = read_boundary_file(s.boundary_file, opened);
    run_notes_print();
    if (!opened) {
        acutPrintf("\nThe boundary file \"%s\" cannot be opened: nothing is imported.",
                   s.boundary_file.c_str());
        return 0;
    }

    acutPrintf("\nChecking Duplicated Lines\n");
    progress_reset();
    const std::vector<bool> retained = jupem_lines_retained(lines, kTolerance);
    progress_percent(1, 1);
    const long duplicates = std::count(retained.begin(), retained.end(), false);

    acutPrintf("\nChecking Stone Type");
    std::vector<jupem_point_rec> stones = jupem_stone_points(lines, retained, kTolerance);

    acutPrintf("\nCreating Line\n");
    layer_ensure(s.lot_line_layer.c_str());
    layer_current_set(s.lot_line_layer.c_str());
    progress_reset();
    long drawn = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!retained[i]) continue;
        draw_boundary_line(lines[i], s);
        progress_percent(static_cast<int>(++drawn), static_cast<int>(lines.size() - duplicates));
    }

    if (!s.no_mark) {
        acutPrintf("\nCreating Stone\n");
        progress_reset();
        for (size_t i = 0; i < stones.size(); ++i) {
            draw_stone(stones[i], s);
            progress_percent(static_cast<int>(i + 1), static_cast<int>(stones.size()));
        }
    }
    zoom_to(lines, retained);

    const std::string lot_file = lot_file_of(s.boundary_file);
    const int lots = draw_lots(lot_file, s);
    run_notes_print();
    if (lots < 0)
        acutPrintf("\nThe lot file \"%s\" cannot be opened: no lot numbers or areas are drawn.",
                   lot_file.c_str());
    acutPrintf("\n%ld boundary line(s) drawn (%ld repeated line(s) left out), %d stone(s), %d lot(s).", drawn,
               duplicates, s.no_mark ? 0 : static_cast<int>(stones.size()), lots < 0 ? 0 : lots);
    jupem_stone_types().clear();
    return 1;
}
