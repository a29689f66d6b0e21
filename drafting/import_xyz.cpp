// ASCII point import: b_import_xyz, its dialog and the line reader.
#include "import_xyz.h"

#include <cmath>
#include <cstdlib>

#include "ads.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "messages.h"
#include "numbers.h"
#include "prompts.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"
#include "text_lines.h"

namespace {

constexpr const char* kPointLayer = "DATA_PNT";
constexpr const char* kIdLayer = "DATA_ID";
constexpr const char* kLevelLayer = "DATA_LEVEL";
constexpr const char* kCodeLayer = "DATA_CODE";
// Levels above this mark a point without a level.
constexpr double kNoLevelAbove = 10000.0;
// The longest line taken; a longer one is refused rather than cut into pieces.
constexpr size_t kLineLimit = 249;
// Refused lines reported one by one; the rest are only counted.
constexpr long kReportLimit = 100;

// The drawing-change state: the options are set to their defaults whenever the
// command runs in a drawing other than the one they were set in.
struct import_xyz_state_rec {
    int loaded = 0;
    std::string dwg_path;
};

import_xyz_state_rec& import_xyz_state()
{
    static import_xyz_state_rec state;
    return state;
}

bool order_has_code(int order)
{
    return order == 1 || order == 3;
}

bool order_y_first(int order)
{
    return order == 2 || order == 3;
}

// Without the line end (and trailing blanks) that the last field carries.
std::string_view trim_end(std::string_view text)
{
    while (!text.empty() &&
           (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string quoted(std::string_view text)
{
    return "\"" + std::string(trim_end(text)) + "\"";
}

}  // namespace

import_xyz_cfg_rec& import_xyz_cfg()
{
    static import_xyz_cfg_rec cfg;
    return cfg;
}

const std::vector<std::string>& xyz_column_orders()
{
    static const std::vector<std::string> orders = {"ID , X , Y , Z", "ID , X , Y , Z , CODE",
                                                    "ID , Y , X , Z", "ID , Y , X , Z , CODE"};
    return orders;
}

xyz_line_rec xyz_line_parse(std::string_view line, int column_order)
{
    xyz_line_rec rec;
    const std::vector<std::string> fields = str_split(trim_end(line), ',');
    // The CODE column is optional: a line that stops after Z is a whole point
    // with an empty code, as one whose CODE field is empty.
    const size_t needed = 4;
    if (fields.size() < needed) {
        rec.error =
            "too few fields (" + std::to_string(fields.size()) + " of " + std::to_string(needed) + ")";
        return rec;
    }
    // The ID is what the field holds before its trailing blanks, as it is drawn.
    if (trim_end(fields[0]).find_first_not_of(" \t") == std::string_view::npos) {
        rec.error = "no ID";
        return rec;
    }
    const char* first_name = order_y_first(column_order) ? "Y" : "X";
    const char* second_name = order_y_first(column_order) ? "X" : "Y";
    double first = 0, second = 0;
    if (!field_to_real(fields[1], first)) {
        rec.error = std::string(first_name) + " is not a number: " + quoted(fields[1]);
        return rec;
    }
    if (!field_to_real(fields[2], second)) {
        rec.error = std::string(second_name) + " is not a number: " + quoted(fields[2]);
        return rec;
    }
    if (!field_to_real(fields[3], rec.z)) {
        rec.error = "Z is not a number: " + quoted(fields[3]);
        return rec;
    }
    rec.x = order_y_first(column_order) ? second : first;
    rec.y = order_y_first(column_order) ? first : second;
    if (rec.z > kNoLevelAbove) rec.z = 0.0;
    rec.id = std::string(trim_end(fields[0]));
    if (order_has_code(column_order) && fields.size() > 4) rec.code = std::string(trim_end(fields[4]));
    rec.ok = true;
    return rec;
}

xyz_entity_makers::xyz_entity_makers(const import_xyz_cfg_rec& cfg)
    : point(kPointLayer),
      id(cfg.id_height * (cfg.plot_scale * 0.001), 1.0, 90.0, kIdLayer),
      code(cfg.code_height * (cfg.plot_scale * 0.001), 1.0, 90.0, kCodeLayer),
      level(cfg.level_height * (cfg.plot_scale * 0.001), 1.0, 90.0, kLevelLayer)
{
}

bool xyz_line_import(std::string_view line, xyz_entity_makers& makers, std::string& error)
{
    const import_xyz_cfg_rec& cfg = import_xyz_cfg();
    const xyz_line_rec rec = xyz_line_parse(line, cfg.column_order);
    if (!rec.ok) {
        error = rec.error;
        return false;
    }
    makers.point.make({rec.x, rec.y, cfg.use_z ? rec.z : 0.0});
    const point3d_rec at{rec.x, rec.y, 0.0};
    if (cfg.id_on) makers.id.make(at, rec.id);
    if (order_has_code(cfg.column_order) && cfg.code_on) makers.code.make(at, rec.code);
    if (cfg.level_on) makers.level.make(at, rtos_decimal(rec.z, 3));
    return true;
}

xyz_import_result xyz_file_import(const std::string& path)
{
    xyz_import_result result;
    std::string error;
    xyz_entity_makers makers(import_xyz_cfg());
    result.opened = text_file_lines(path, [&](long number, std::string_view line) {
        const std::string_view text = trim_end(line);
        bool drawn = false;
        if (text.size() > kLineLimit)
            error = "longer than " + std::to_string(kLineLimit) + " characters";
        else
            drawn = xyz_line_import(text, makers, error);
        if (drawn) {
            ++result.drawn;
            return;
        }
        if (++result.skipped <= kReportLimit) acutPrintf("\nLine %ld skipped: %s", number, error.c_str());
    });
    return result;
}

int xyz_file_pick()
{
    std::string path;
    if (!file_dialog_dwgprefix("Open ASCII Data", "", "*", 2, path)) return 0;
    import_xyz_cfg().file_name = path;
    return 1;
}

int import_ascii_xyz_dlg()
{
    import_xyz_cfg_rec& cfg = import_xyz_cfg();
    int luprec = 4;
    sysvar_get_int("LUPREC", luprec);

    // The dialog edits copies; OK turns them into the options. A file pick shows
    // the dialog again with what was typed before it.
    import_xyz_cfg_rec edit = cfg;
    edit.file_name.clear();
    edit.column_order = 0;

    auto height_mode = [](ads_hdlg dialog, const char* key, int on) {
        ads_mode_tile(dialog, key, on ? MODE_ENABLE : MODE_DISABLE);
    };
    auto heights_mode = [&](ads_hdlg dialog) {
        height_mode(dialog, "text_noid", edit.id_on);
        height_mode(dialog, "text_level", edit.level_on);
        height_mode(dialog, "text_code", edit.code_on);
    };
    dialog_def def{
        "Import_Ascii_xyz_Dlg.dcl",
        "import_ascii_xyz_dlg",
        {tile_text("text_file_open", edit.file_name), tile_size("text_plot_scale", edit.plot_scale, luprec),
         tile_toggle("tg_noid", edit.id_on) + [&](ads_callback_packet* p) { heights_mode(p->dialog); },
         tile_size("text_noid", edit.id_height, luprec),
         tile_toggle("tg_level", edit.level_on) + [&](ads_callback_packet* p) { heights_mode(p->dialog); },
         tile_size("text_level", edit.level_height, luprec),
         tile_toggle("tg_code", edit.code_on) + [&](ads_callback_packet* p) { heights_mode(p->dialog); },
         tile_size("text_code", edit.code_height, luprec), tile_toggle("tg_z", edit.use_z),
         tile_popup("pop_format", edit.column_order, xyz_column_orders()), tile_button("file_open_btn", 2),
         tile_help("text_author", "/survey_menu.htm#_ascii_data"), tile_button("ok", DLGOK),
         tile_button("cancel", DLGCANCEL)}};
    def.load_error = "\n Error Loading %s ";
    def.on_open = heights_mode;
    const int status = dialog_run(def, [&](int pick) {
        if (pick == 2) {
            std::string chosen = cfg.file_name;
            if (xyz_file_pick()) edit.file_name = cfg.file_name;
            cfg.file_name = chosen;
        }
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) cfg = edit;
    return status;
}

int b_import_xyz()
{
    import_xyz_state_rec& state = import_xyz_state();
    dwg_path_track(state.loaded, state.dwg_path);
    if (!state.loaded) import_xyz_cfg() = import_xyz_cfg_rec{};
    if (import_ascii_xyz_dlg() != DLGOK) return 0;
    state.loaded = 1;

    const import_xyz_cfg_rec& cfg = import_xyz_cfg();
    const xyz_import_result result = xyz_file_import(cfg.file_name);
    if (!result.opened) {
        msg_alert_two("\nError Opening file", cfg.file_name.empty() ? "(no file chosen)" : cfg.file_name);
        return 1;
    }
    acutPrintf("\n%ld points imported", result.drawn);
    if (result.skipped) acutPrintf(", %ld lines skipped", result.skipped);
    acutPrintf(".");
    return 1;
}
