// Lot areas: the unit table, the settings record and its storage, the
// configuration file of suffixes, the area labels and b_put_area.
#include "find_area.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "ads.h"
#include "folders_registry.h"
#include "layers.h"
#include "messages.h"
#include "numbers.h"
#include "settings_store.h"
#include "sysvar.h"
#include "text_fields.h"
#include "text_lines.h"

namespace {

constexpr const char* kApp = "FIND_AREA";
constexpr const char* kSettingsLayer = "Orvik_survey_temp";
constexpr size_t kStoredTextLimit = 254;  // the store's 255-byte text
constexpr size_t kSuffixLimit = 19;
constexpr int kStoredFields = 22;

const std::array<area_unit_rec, area_unit_last + 1> kUnitDefaults = {{
    {"M", "meter^2", "m%%178", 1.0},
    {"A", "acre", "Ac", 4046.85642},
    {"F", "feet^2", "Ft", 0.09290304},
    {"H", "hectare", "Ha", 10000.0},
    {"R", "RL", "RL", 2877.7645653333334},
    {"RP", "RLPP", "RLP", 5351.198712730201},
}};

// What the loading remembers between the commands of one drawing.
struct find_area_state_rec {
    int confirmed = 0;                   // the settings dialog was accepted in this drawing
    std::string dwg_path;                // the drawing those settings belong to
    std::string holding_layer = "Area";  // the layer that holds the comma list
};

find_area_state_rec& state()
{
    static find_area_state_rec s;
    return s;
}

const area_unit_rec* unit_by_letter(const std::string& letter)
{
    const std::string wanted = str_upper_copy(letter);
    for (int i = 0; i <= area_unit_last; ++i)
        if (area_unit_table()[i].letter == wanted) return &area_unit_table()[i];
    return nullptr;
}

int unit_index(int index)
{
    return std::clamp(index, 0, area_unit_last);
}

// The suffixes of units 0..3 from the file's first four lines; the rest keep
// their defaults. A missing file changes nothing.
void read_suffix_file(const std::string& path)
{
    acutPrintf("\ncfgfile. %s", path.c_str());
    std::ifstream file(path);
    if (!file) return;
    std::string line;
    for (int i = 0; i < 4 && std::getline(file, line); ++i) {
        while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
        area_unit_table()[i].suffix = line.substr(0, kSuffixLimit);
    }
}

}  // namespace

const char* const lot_type_names[lot_type_count] = {"None",  "Teres",    "Berkembar", "Sebuah",
                                                    "Kedai", "Industri", "Others"};

std::array<area_unit_rec, area_unit_last + 1>& area_unit_table()
{
    static std::array<area_unit_rec, area_unit_last + 1> table = kUnitDefaults;
    return table;
}

void area_unit_table_defaults()
{
    area_unit_table() = kUnitDefaults;
}

double convert_area_value(double value, const std::string& from, const std::string& to)
{
    const area_unit_rec* from_unit = unit_by_letter(from);
    const double metres = from_unit ? value * from_unit->factor : value;
    acutPrintf("\nareaMeter :%f", metres);
    const area_unit_rec* to_unit = unit_by_letter(to);
    return to_unit ? metres / to_unit->factor : 0.0;
}

find_area_cfg_rec& find_area_cfg()
{
    static find_area_cfg_rec cfg;
    return cfg;
}

std::string find_area_cfg_text(const find_area_cfg_rec& cfg)
{
    auto integer = [](int value) { return std::to_string(value) + ","; };
    std::string text;
    comma_list_add(text, cfg.scale, 3);
    comma_list_add(text, cfg.rotation, 6);
    comma_list_add(text, cfg.width_factor, 3);
    comma_list_add(text, cfg.height_a, 3);
    text += integer(cfg.unit_a) + integer(cfg.decimals_a) + integer(cfg.second_on);
    comma_list_add(text, cfg.height_b, 3);
    text += integer(cfg.unit_b) + integer(cfg.decimals_b) + integer(cfg.table_on) + integer(cfg.table_number);
    comma_list_add(text, cfg.table_x, 3);
    comma_list_add(text, cfg.table_y, 3);
    text += integer(cfg.method) + integer(cfg.lot_type);
    for (int i = 1; i < lot_type_count; ++i) text += integer(cfg.counters[i]);
    return text;
}

bool find_area_cfg_parse(const std::string& text, find_area_cfg_rec& cfg)
{
    // A stray text without its fields would give a scale of 0.
    if (std::count(text.begin(), text.end(), ',') < kStoredFields) return false;
    std::string f[kStoredFields];
    for (int i = 0; i < kStoredFields; ++i) f[i] = str_get_field(text, i + 1, ",");
    auto real = [&](int i) { return std::atof(f[i].c_str()); };
    auto integer = [&](int i) { return std::atoi(f[i].c_str()); };
    cfg.scale = real(0);
    cfg.rotation = real(1);
    cfg.width_factor = real(2);
    cfg.height_a = real(3);
    cfg.unit_a = unit_index(integer(4));
    cfg.suffix_a = area_unit_table()[cfg.unit_a].suffix;
    cfg.decimals_a = integer(5);
    cfg.second_on = integer(6);
    cfg.height_b = real(7);
    cfg.unit_b = unit_index(integer(8));
    cfg.suffix_b = area_unit_table()[cfg.unit_b].suffix;
    cfg.decimals_b = integer(9);
    cfg.table_on = integer(10);
    cfg.table_number = integer(11);
    cfg.table_x = real(12);
    cfg.table_y = real(13);
    cfg.method = integer(14);
    cfg.lot_type = std::clamp(integer(15), 0, lot_type_count - 1);
    for (int i = 1; i < lot_type_count; ++i) cfg.counters[i] = integer(15 + i);
    return true;
}

int& find_area_confirmed()
{
    return state().confirmed;
}

std::string find_area_cfg_path()
{
    return app_install_folder() + "/cfg/find_area.cfg";
}

int load_find_area_cfg_file()
{
    find_area_state_rec& s = state();
    find_area_cfg_rec& cfg = find_area_cfg();
    dwg_path_track(s.confirmed, s.dwg_path);
    if (!s.confirmed) {
        settings_key_rec key;
        settings_key_make(key, kApp, "AREA");
        std::string holding;
        if (drawing_setting_get(key, holding) != RTNORM) {
            acedAlert("Fail creating Orvik_survey_temp");
            return 0;
        }
        s.holding_layer = holding.empty() ? "Area" : holding;
        cfg.auto_mode = 0;
        s.dwg_path = dwg_full_path();
        area_unit_table_defaults();
        read_suffix_file(find_area_cfg_path());
    }
    std::string stored;
    if (drawing_setting_read(kApp, s.holding_layer.c_str(), stored) != 1 ||
        !find_area_cfg_parse(stored, cfg)) {
        const int auto_mode = cfg.auto_mode;
        cfg = find_area_cfg_rec{};
        cfg.auto_mode = auto_mode;
        cfg.suffix_a = area_unit_table()[cfg.unit_a].suffix;
        cfg.suffix_b = area_unit_table()[cfg.unit_b].suffix;
    } else {
        cfg.layer = s.holding_layer;
    }
    return 1;
}

int find_area_cfg_save()
{
    find_area_cfg_rec& cfg = find_area_cfg();
    const std::string text = find_area_cfg_text(cfg);
    acdbRegApp(kApp);  // a drawing that never had the settings lacks the application
    if (text.size() > kStoredTextLimit ||
        layer_xdata_put(kSettingsLayer, kApp, cfg.layer.c_str(), 1) != RTNORM) {
        msg_alert_two("nFailed save cfg to layer", kSettingsLayer);
        return RTERROR;
    }
    if (layer_xdata_put(cfg.layer.c_str(), kApp, text.c_str(),
                        layer_flags_get(cfg.layer.c_str()) >= 0 ? 1 : 0) != RTNORM) {
        msg_alert_two("nFailed save cfg to layer", cfg.layer);
        return RTERROR;
    }
    state().holding_layer = cfg.layer;
    return RTNORM;
}

void save_find_area_cfg_file(const find_area_cfg_rec& edited)
{
    const std::string path = find_area_cfg_path();
    const int unit_a = unit_index(edited.unit_a);
    area_unit_table()[unit_a].suffix = edited.suffix_a.substr(0, kSuffixLimit);
    // The suffix file is replaced whole or not at all, so that a failed write
    // (a full disk) leaves the former suffixes to the next session.
    std::string text;
    for (int i = 0; i <= area_unit_last; ++i) text += area_unit_table()[i].suffix + "\n";
    if (!text_file_replace(path, text)) msg_alert_two("Unable write file :", path);
    find_area_cfg() = edited;
    find_area_cfg_save();
}
