// The MapInfo labels' field file, unit lists and stored settings: loaded once
// for each drawing, the settings list read back by position.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ads.h"
#include "constants.h"
#include "folders_registry.h"
#include "layers.h"
#include "mapinfo_labels.h"
#include "messages.h"
#include "numbers.h"
#include "text_fields.h"
#include "text_lines.h"

namespace {

constexpr int kFieldColumns = 9;
constexpr int kSettingsEntries = 7;  // the index and the six values before the record groups
constexpr int kRecordGroup = 4;

void warn_number(const std::string& path, size_t line, int column, const std::string& text)
{
    acutPrintf("\nLine %d of %s: column %d \"%s\" is not a number; 0 is taken.", static_cast<int>(line),
               path.c_str(), column, text.c_str());
}

mapinfo_field_rec field_of(const std::string& path, size_t number, const std::string& line)
{
    std::vector<std::string> columns = str_split(line, ',');
    if (!line.empty() && columns.size() < static_cast<size_t>(kFieldColumns))
        acutPrintf("\nLine %d of %s has %d of its %d columns; the missing ones are taken as empty.",
                   static_cast<int>(number), path.c_str(), static_cast<int>(columns.size()), kFieldColumns);
    columns.resize(kFieldColumns);
    for (std::string& column : columns) column = str_trim(column);
    for (int c : {1, 7, 8, 9}) {
        const std::string& text = columns[static_cast<size_t>(c - 1)];
        if (!text.empty() && str_is_number(text) != 4) warn_number(path, number, c, text);
    }
    mapinfo_field_rec field;
    field.code = std::atoi(columns[0].c_str());
    field.key = columns[1];
    field.name = columns[2];
    field.kind = columns[3];
    field.value_format = columns[4];
    field.layer = columns[5];
    field.text_height = std::atof(columns[6].c_str());
    field.text_width = std::atof(columns[7].c_str());
    field.text_rotation = std::atof(columns[8].c_str());
    return field;
}

void units_build(mapinfo_state_rec& state)
{
    state.area_units = {{0, "M", AREA_SUFFIX_SQUARE_METRE}, {3, "H", "Ha"}, {3, "A", "Ek"}};
    state.length_units = {{3, "M", ""}, {3, "L", "L"}};
}

// The text after the first "=" of a stored entry.
std::string entry_value(const key_string_rec& entry)
{
    const size_t eq = entry.text.find('=');
    return eq == std::string::npos ? std::string() : entry.text.substr(eq + 1);
}

}  // namespace

mapinfo_state_rec& mapinfo_state()
{
    static mapinfo_state_rec state;
    return state;
}

bool mapinfo_fields_read(const std::string& path, std::vector<mapinfo_field_rec>& fields)
{
    // Every line makes a record, an empty one too.
    const std::optional<std::string> text = read_file_text(path);
    if (!text) return false;
    const std::vector<std::string> lines = split_lines(*text);
    fields.clear();
    for (size_t i = 0; i < lines.size(); ++i)
        if (lines[i].empty() || lines[i][0] != '#') fields.push_back(field_of(path, i + 1, lines[i]));
    return true;
}

int mapinfo_fields_load()
{
    mapinfo_state_rec& state = mapinfo_state();
    const std::string path = dwg_full_path();
    if (state.loaded && str_upper_copy(path) == str_upper_copy(state.dwg_path)) return 1;
    settings_key_make(state.settings_key, MAPINFO_SETTINGS_APP, MAPINFO_SETTINGS_APP);
    settings_key_make(state.acad_key, MAPINFO_DATA_APP, MAPINFO_DATA_APP);
    regapp_register(MAPINFO_SETTINGS_APP);
    regapp_register(MAPINFO_DATA_APP);
    const std::string file = app_install_folder() + "\\cfg\\mapinfo_dwg_field.txt";
    std::vector<mapinfo_field_rec> fields;
    if (!mapinfo_fields_read(file, fields)) {
        msg_alert_two("File not found.", file);
        return 0;
    }
    state.fields = std::move(fields);
    units_build(state);
    state.settings = mapinfo_settings_rec{};
    mapinfo_settings_read();
    state.dwg_path = path;
    state.loaded = 1;
    state.dialog_shown = 0;
    return 1;
}

std::vector<key_string_rec> mapinfo_settings_list(const mapinfo_state_rec& state)
{
    const mapinfo_settings_rec& s = state.settings;
    std::vector<key_string_rec> list;
    key_string_push_format(0, "INDEX=", nullptr, 0, s.index, 3, list);
    key_string_push_format(0, "PLOT_SCALE=", nullptr, s.plot_scale, 0, 2, list);
    key_string_push_format(0, "TABLE=", nullptr, 0, s.table, 3, list);
    key_string_push_format(0, "TABLE_LINE_NUM=", nullptr, 0, s.table_line_num, 3, list);
    key_string_push_format(0, "TABLE_MAX_DIST=", nullptr, 0, s.table_max_dist, 3, list);
    key_string_push_format(0, "TABLE_X=", nullptr, s.table_pos.x, 0, 2, list);
    key_string_push_format(0, "TABLE_Y=", nullptr, s.table_pos.y, 0, 2, list);
    for (const mapinfo_field_rec& f : state.fields) {
        key_string_push_format(0, "LAYERNAME=", f.layer.c_str(), 0, 0, 1, list);
        key_string_push_format(0, "TEXT_HEIGHT=", nullptr, f.text_height, 3, 2, list);
        key_string_push_format(0, "TEXT_WIDTH=", nullptr, f.text_width, 3, 2, list);
        key_string_push_format(0, "TEXT_ROTATION=", nullptr, f.text_rotation, 3, 2, list);
    }
    return list;
}

void mapinfo_settings_parse(const std::vector<key_string_rec>& list, mapinfo_state_rec& state)
{
    if (list.size() < static_cast<size_t>(kSettingsEntries)) return;
    // A number past the range of a double keeps the value it would replace.
    auto real = [](const key_string_rec& entry, double keep) {
        const double value = std::atof(entry_value(entry).c_str());
        return std::isfinite(value) ? value : keep;
    };
    mapinfo_settings_rec& s = state.settings;
    // Entry 1 is the selected record, not a count of the entries.
    s.index = std::atoi(entry_value(list[0]).c_str());
    if (s.index < 0 || s.index >= static_cast<int>(state.fields.size())) s.index = 0;
    s.plot_scale = real(list[1], s.plot_scale);
    s.table = std::atoi(entry_value(list[2]).c_str());
    s.table_line_num = std::atoi(entry_value(list[3]).c_str());
    s.table_max_dist = std::atoi(entry_value(list[4]).c_str());
    s.table_pos = {real(list[5], s.table_pos.x), real(list[6], s.table_pos.y), 0};
    size_t at = kSettingsEntries;
    for (mapinfo_field_rec& f : state.fields) {
        if (at + kRecordGroup > list.size()) break;
        f.layer = entry_value(list[at]);
        f.text_height = real(list[at + 1], f.text_height);
        f.text_width = real(list[at + 2], f.text_width);
        f.text_rotation = real(list[at + 3], f.text_rotation);
        at += kRecordGroup;
    }
}

int mapinfo_settings_write()
{
    const int layer_exists = layer_flags_get(ORVIK_SETTINGS_LAYER) >= 0 ? 1 : 0;
    return layer_xdata_save_list(ORVIK_SETTINGS_LAYER, MAPINFO_SETTINGS_APP, layer_exists,
                                 mapinfo_settings_list(mapinfo_state()));
}

void mapinfo_settings_read()
{
    std::vector<key_string_rec> list;
    if (drawing_setting_read_list(MAPINFO_SETTINGS_APP, ORVIK_SETTINGS_LAYER, list) != 1) return;
    mapinfo_settings_parse(list, mapinfo_state());
}
