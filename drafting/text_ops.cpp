// The text utility's twenty operations.
#include <strings.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "ads.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "geometry.h"
#include "layers.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "settings_store.h"
#include "text_fields.h"
#include "text_lines.h"
#include "text_modify.h"
#include "text_util.h"

namespace {

// Column picks and fields of "File CVS to Table".
constexpr size_t kTableFieldLimit = 2000;
constexpr double kFileTableHeight = 1.3;
constexpr double kFileTableRowStep = 2.6;
constexpr const char* kFileTableLayer = "xx";

std::string item_text(long i)
{
    std::string text;
    ss_text_get_string(text_util().selection, i, 1, text);
    return text;
}

void press_enter()
{
    std::string answer;
    prompt_string_spec("0,\nPress enter..,nil", "nil", answer);
}

// Writes a new string into item i; refused with a message when too long.
// 1 when the text was changed.
int set_item_text(long i, const std::string& text)
{
    if (text.size() > kTextLengthLimit) {
        acutPrintf(
            "\nText %ld would be %zu characters long, more than a TEXT holds (%zu); it was left as it was.",
            i + 1, text.size(), kTextLengthLimit);
        return 0;
    }
    if (text.empty()) {
        acutPrintf("\nText %ld would be empty; it was left as it was.", i + 1);
        return 0;
    }
    text_modify_set(1, text, 0, 0);
    return ss_text_modify(text_util().selection, i);
}

// Applies the pending change to every selected text, with the counts.
void change_all(int mode, const std::string& text, double real)
{
    text_util_rec& menu = text_util();
    acutPrintf("\ntxtutil_wk.itxtselect [%ld]", menu.count);
    text_modify_set(mode, text, real, 0);
    text_modify_rec& pending = text_modify_pending();
    pending.ok_count = pending.fail_count = 0;
    for (long i = 0; i < menu.count; ++i)
        if (!ss_text_modify(menu.selection, i)) {
            ads_name entity;
            if (acedSSName(menu.selection, i, entity) != RTNORM) ++pending.fail_count;
        }
    acutPrintf("\nChanged [%i] Failed [%i]", pending.ok_count, pending.fail_count);
}

// A real answer above 0 by prompt_spec; false for the keyword "M" (back to the
// menu).
bool ask_real_until_given(const std::string& spec, double default_value, double& out)
{
    for (;;) {
        std::string answer;
        const int rc = prompt_size_spec(spec, default_value, 3, answer);
        if (rc == 1) {
            out = std::strtod(answer.c_str(), nullptr);
            return true;
        }
        if (rc == 2 && str_upper_copy(answer) == "M") return false;
    }
}

int calculate_text_height()
{
    double scale = 0, height = 0;
    if (!ask_real_until_given("0,M,Scale 1:", 1000.0, scale)) return 0;
    if (!ask_real_until_given("0,M,\nText Height", 1.3, height)) return 0;
    acutPrintf("\nCal Text Height :%f", height * scale / 1000.0);
    press_enter();
    return 1;
}

int change_case(bool upper)
{
    text_util_rec& menu = text_util();
    int changed = 0;
    for (long i = 0; i < menu.count; ++i) {
        std::string text = item_text(i);
        const std::string before = text;
        if (upper)
            str_upper(text);
        else
            str_lower(text);
        if (text != before) changed += set_item_text(i, text);
    }
    acutPrintf("\nChanged %i text lines", changed);
    press_enter();
    return 1;
}

int find_texts()
{
    text_util_rec& menu = text_util();
    std::string find;
    prompt_string_spec("0,Text To Find,1", menu.find_text, find);
    if (find.empty()) return 0;
    menu.find_text = find;
    prompt_kword_into("0", "Yes No", "Whole Word Only <Y>es/<N>o", menu.whole_word, menu.whole_word);
    // An empty answer gives the default upper-cased ("YES").
    const bool whole = strcasecmp(menu.whole_word.c_str(), "Yes") == 0;
    bool found = false;
    for (long i = 0; i < menu.count; ++i) {
        if (!text_find_match(item_text(i), find, whole)) continue;
        found = true;
        ads_name entity;
        point3d_rec at;
        if (acedSSName(menu.selection, i, entity) != RTNORM || !ent_point_get(entity, 10, at)) continue;
        acedRedraw(entity, 3);
        std::string answer;
        point3d_rec picked;
        const int rc =
            prompt_point_or_text("\n<S>top <Pick any place point or enter>", "", &at, answer, picked);
        acedRedraw(entity, 4);
        if (rc == 2 && str_upper_copy(answer) == "S") break;
    }
    if (!found) acutPrintf("\nString %s not found.", find.c_str());
    return 1;
}

int replace_texts()
{
    text_util_rec& menu = text_util();
    std::string find, replacement;
    prompt_string_spec("0,Text To Find,1", menu.find_text, find);
    if (find.empty()) return 0;
    menu.find_text = find;
    prompt_string_spec("0,Text To Replace,1", menu.replace_text, replacement);
    menu.replace_text = replacement;
    int changed = 0;
    for (long i = 0; i < menu.count; ++i) {
        std::string text;
        if (str_replace_all(item_text(i), text, find, replacement) > 0) changed += set_item_text(i, text);
    }
    acutPrintf("\nChanged %i text lines", changed);
    press_enter();
    return 1;
}

int add_to_texts(bool in_front)
{
    text_util_rec& menu = text_util();
    std::string add;
    prompt_string_spec("0,Text To Add,1", menu.add_text, add);
    if (add.empty()) return 0;
    menu.add_text = add;
    int changed = 0;
    for (long i = 0; i < menu.count; ++i)
        changed += set_item_text(i, in_front ? add + item_text(i) : item_text(i) + add);
    acutPrintf("\nChanged %i text lines", changed);
    press_enter();
    return 1;
}

int justify_texts()
{
    text_util_rec& menu = text_util();
    prompt_kword_into("0", "L R C M", "Justify <L>eft <R>ight <C>enter <M>iddle", menu.justify, menu.justify);
    const std::string& j = menu.justify;
    const int code = j == "L" ? 0 : j == "R" ? 2 : j == "C" ? 1 : 4;
    int changed = 0;
    for (long i = 0; i < menu.count; ++i) {
        ads_name entity;
        if (acedSSName(menu.selection, i, entity) == RTNORM) changed += text_justify_apply(entity, code);
    }
    acutPrintf("\nChanged %i text lines", changed);
    if (!(menu.auto_run && !menu.running_from_dialog)) press_enter();
    return 1;
}

// Operations 9 to 11: a new value for every text; false when the answer ends it.
int change_number(const char* prompt, double default_value, bool zero_allowed, int mode)
{
    // A height or width of 0 or less is the way out of these prompts: it ends
    // the operation with nothing changed, so no text is given a size of none.
    const double value = prompt_real_default(prompt, default_value, 3);
    if (zero_allowed ? value < 0 : value <= 0) return 0;
    if (mode == 10 && value >= 85) {
        acutPrintf("\nAn obliquing angle must be below 85 degrees.");
        return 0;
    }
    // The obliquing angle is handed over as the bearing that gives it.
    change_all(mode, "", mode == 10 ? 90.0 - value : value);
    press_enter();
    return 1;
}

int change_style_or_layer(bool layer)
{
    const std::string name = text_utility_cgstyle_dlg(layer);
    if (name.empty()) return 0;
    if (layer) acutPrintf("\nIret [%s]", name.c_str());
    change_all(layer ? 12 : 9, name, 0);
    press_enter();
    return 1;
}

int match_texts(bool x)
{
    ads_name base;
    point3d_rec picked, at;
    if (ent_select_type("Select Base Text", "TEXT", base, picked) != 1 || !ent_point_get(base, 10, at))
        return 0;
    text_util_rec& menu = text_util();
    // Match X takes the menu's selection when there is one; Match Y, whose
    // selection buttons are off, always asks.
    if (!x || menu.count == 0) {
        acutPrintf("\nSelect Text");
        if (select_texts() == 0) return 0;
    }
    ent_mod_pending_rec& pending = ent_mod_pending();
    int changed = 0;
    for (long i = 0; i < menu.count; ++i) {
        point3d_rec p;
        if (!ss_point_group_get(menu.selection, i, 10, p)) continue;
        (x ? p.x : p.y) = x ? at.x : at.y;
        pending.kind = 4;
        pending.code = 10;
        pending.point = p;
        changed += ss_ent_mod_apply(menu.selection, i);
    }
    acutPrintf("\nChanged %i text lines", changed);
    return 1;
}

// One row of the table from a picked text: its string at the row point (right
// justified), its description at the column distance to the west.
void table_row(text_util_rec& menu, const std::string& text, const std::string& desc)
{
    text_make_cmd(menu.table_row, menu.table_height, 90.0, menu.table_layer, text);
    if (!desc.empty()) {
        const point3d_rec west{menu.table_row.x - menu.table_column, menu.table_row.y, 0};
        text_make_cmd(west, menu.table_height, 90.0, menu.table_layer, desc);
    }
    menu.table_row.y -= 2 * menu.table_height;
}

int text_to_table()
{
    text_util_rec& menu = text_util();
    // A table belongs to its drawing: in another drawing a new one starts.
    const std::string drawing = dwg_full_path();
    if (menu.table_started && strcasecmp(menu.table_drawing.c_str(), drawing.c_str()) != 0)
        menu.table_started = 0;
    const bool going_on = menu.table_started;
    if (!going_on) {
        ads_name base;
        point3d_rec picked;
        if (ent_select_type("Select Base Text", "TEXT", base, picked) != 1) return 0;
        std::string text, layer, desc;
        double height = 0;
        ent_get_string(base, 1, text);
        ent_layer_get(base, layer);
        ent_real_get(base, 40, height);
        prompt_string(0, 1, "Desc", "", desc);
        ads_point location;
        if (acedGetPoint(nullptr, "\npick table location:", location) != RTNORM) return 0;
        double column = menu.table_column;
        prompt_dist_luprec_flags(RSG_NONEG, nullptr, "Distance ID", menu.table_column, column);
        menu.table_column = column;
        menu.table_row = point_from_ads(location);
        menu.table_height = height;
        menu.table_layer = layer;
        menu.table_started = 1;
        menu.table_drawing = drawing;
        table_row(menu, text, desc);
    }
    int rows = 0;  // rows of this call after the first
    for (;;) {
        ads_name next;
        point3d_rec picked;
        const int rc = ent_select_type("Select Next Text", "TEXT", next, picked);
        // Going on with a table and picking nothing at once is leaving early.
        if (rc == 0) return going_on && rows == 0 ? 0 : 1;
        if (rc != 1) continue;
        std::string text, desc;
        ent_get_string(next, 1, text);
        prompt_string(0, 1, "Desc", "", desc);
        table_row(menu, text, desc);
        ++rows;
    }
}

int file_to_table()
{
    std::string path;
    if (!file_dialog_dwgprefix("File Text", "", "*", 0, path)) return 0;
    acutPrintf("\nsFileName :%s", path.c_str());
    std::vector<std::string> first;
    long first_number = 0;
    if (!text_file_lines(path, [&](long number, std::string_view line) {
            if (first_number == 0) {
                first = str_split(line, ',');
                first_number = number;
            }
        })) {
        acutPrintf("\nCannot open %s; nothing was written.", path.c_str());
        return 0;
    }
    if (first.empty()) {
        acutPrintf("\n%s holds no line to write.", path.c_str());
        return 0;
    }
    if (first.size() > kTableFieldLimit) first.resize(kTableFieldLimit);
    const size_t n = first.size();
    acutPrintf("\niCount :%d", static_cast<int>(n));
    ads_point pick, previous;
    if (acedGetPoint(nullptr, "\nPick 1st point", pick) != RTNORM) return 0;
    const point3d_rec origin = point_from_ads(pick);
    std::vector<double> offsets = {0.0};  // each column's distance east of the row point
    ads_point_set(pick, previous);
    for (size_t c = 2; c <= n; ++c) {
        char prompt[32];
        std::snprintf(prompt, sizeof prompt, "\nPick %d point", static_cast<int>(c));
        if (acedGetPoint(previous, prompt, pick) != RTNORM) return 0;
        offsets.push_back(offsets.back() + acutDistance(previous, pick));
        ads_point_set(pick, previous);
    }
    point3d_rec row{origin.x, origin.y, 0};
    long rows = 0, short_lines = 0;
    text_file_lines(path, [&](long number, std::string_view line) {
        std::vector<std::string> fields = str_split(line, ',');
        if (fields.empty()) return;
        const bool whole = fields.size() == n;
        if (!whole) {
            ++short_lines;
            acutPrintf("\nLine %ld has %d fields, not %d: only its first field was written", number,
                       static_cast<int>(fields.size()), static_cast<int>(n));
        }
        for (size_t c = 0; c < (whole ? n : 1); ++c) {
            if (fields[c].size() > kTextLengthLimit) {
                acutPrintf("\nLine %ld field %d is longer than a TEXT holds; it was not written", number,
                           static_cast<int>(c + 1));
                continue;
            }
            if (fields[c].empty()) continue;
            text_make_on_layer({row.x + offsets[c], row.y, 0}, kFileTableHeight, 1.0, 90.0, kFileTableLayer,
                               fields[c], 1);
        }
        row.y -= kFileTableRowStep;
        ++rows;
    });
    acutPrintf("\n%ld rows written", rows);
    return 1;
}

int bearing_numbers_to_labels()
{
    text_util_rec& menu = text_util();
    int changed = 0;
    for (long i = 0; i < menu.count; ++i) {
        std::string label;
        if (bearing_number_label(item_text(i), label)) changed += set_item_text(i, label);
    }
    acutPrintf("\nChanged %i text lines", changed);
    press_enter();
    return 1;
}

int numbers_to_lot_layer()
{
    text_util_rec& menu = text_util();
    std::string layer;
    prompt_string(0, 0, "Lot Number Layer", menu.lot_layer, layer);
    if (!layer_name_valid(layer.c_str(), 0)) return 0;  // the alert says why
    menu.lot_layer = layer;
    text_modify_set(12, layer, 0, 0);
    int moved = 0;
    for (long i = 0; i < menu.count; ++i) {
        const std::string text = item_text(i);
        if (str_is_number(text) == 4) moved += ss_text_modify(menu.selection, i);
    }
    acutPrintf("\nChanged %i text lines", moved);
    press_enter();
    return 1;
}

// Whether the operation works on the selection (and does nothing without one).
bool needs_selection(int index)
{
    return (index >= 1 && index <= 13) || index == 18 || index == 19;
}

}  // namespace

bool text_find_match(const std::string& text, const std::string& find, bool whole_word)
{
    if (whole_word) return strcasecmp(text.c_str(), find.c_str()) == 0;
    return !find.empty() && text.find(find) != std::string::npos;
}

bool bearing_number_label(const std::string& text, std::string& label)
{
    if (str_is_number(text) != 4 || str_decimals(text) != 4 || text[0] == '-') return false;
    const size_t point = text.find('.');
    if (point == 0) return false;
    label =
        text.substr(0, point) + "%%d" + text.substr(point + 1, 2) + "'" + text.substr(point + 3, 2) + "''";
    return true;
}

int run_text_operation(int index)
{
    text_util_rec& menu = text_util();
    if (index < 0 || index > 19) return -1;
    if (needs_selection(index) && menu.count == 0) {
        acutPrintf("\nNo text is selected.");
        return 0;
    }
    int rc = 1;
    switch (index) {
        case 0:
            rc = calculate_text_height();
            break;
        case 1:
            rc = change_case(true);
            break;
        case 2:
            rc = change_case(false);
            break;
        case 3:
            rc = find_texts();
            break;
        case 4:
            rc = replace_texts();
            break;
        case 5:
            break;  // spacing: nothing
        case 6:
            rc = add_to_texts(true);
            break;
        case 7:
            rc = add_to_texts(false);
            break;
        case 8:
            rc = justify_texts();
            break;
        case 9:
            rc = change_number("New Text height", 1.0, false, 2);
            break;
        case 10:
            rc = change_number("New Text Width", 1.0, false, 11);
            break;
        case 11:
            rc = change_number("New Oblique", 0.0, true, 10);
            break;
        case 12:
            rc = change_style_or_layer(false);
            break;
        case 13:
            rc = change_style_or_layer(true);
            break;
        case 14:
            rc = match_texts(true);
            break;
        case 15:
            rc = match_texts(false);
            break;
        case 16:
            rc = text_to_table();
            break;
        case 17:
            rc = file_to_table();
            break;
        case 18:
            rc = bearing_numbers_to_labels();
            break;
        case 19:
            rc = numbers_to_lot_layer();
            break;
    }
    return rc;
}
