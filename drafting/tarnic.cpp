// b_tarnic: the symbol picker's registry values, its start and wait, its
// answer, and the placing of the chosen symbol by the INSERT, SYMBOL1 and
// SYMBOL2 commands (SYMBOL3 is in tarnic_symbol3.cpp).
#include <strings.h>

#include "ads.h"
#include "entity_makers.h"
#include "folders_registry.h"
#include "geometry.h"
#include "layers.h"
#include "numbers.h"
#include "prompts.h"
#include "settings_store.h"
#include "symbols.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "TARNIC";
constexpr const char* kHandshake = "tarnic";
constexpr const char* kClayerValue = "tarnicClayer";
// The picker's command line: a fixed word that it does not read.
constexpr const char* kPickerArgument = "tarnic";

void first_call(tarnic_settings_rec& s)
{
    if (s.loaded) return;
    s = tarnic_settings_rec{};
    s.loaded = 1;
    settings_key_rec key;
    settings_key_make(key, kApp, kApp);
    regapp_register(kApp);
}

// "database", "version" and "tarnicClayer" = "No"; false after the alert.
bool registry_prepare()
{
    std::string database = app_database_folder();
    if (strcasecmp(database.c_str(), "server") == 0) database = "server";
    if (reg_write_string(ORVIK_REGISTRY_SUBKEY, "database", database.c_str()) &&
        reg_write_string(ORVIK_REGISTRY_SUBKEY, "version", ORVIK_VERSION_TEXT) &&
        reg_write_string(ORVIK_REGISTRY_SUBKEY, kClayerValue, "No"))
        return true;
    acedAlert("fail create registry");
    return false;
}

bool change_setting()
{
    return prompt_kword("0", "Yes No", "Change Setting", "No") == "Yes";
}

// A value that must be above 0, asked until it is.
double positive_real(const std::string& prompt, double default_value, int precision)
{
    for (;;) {
        std::string out;
        if (prompt_size_spec("0,X," + prompt, default_value, precision, out) == 1)
            return std::strtod(out.c_str(), nullptr);
    }
}

double scale_factor()
{
    return tarnic_settings().plot_scale * 0.001;
}

// The block's label beside a symbol, left-justified along the rotation.
void label_beside(const std::string& block, const std::string& layer, const point3d_rec& point,
                  double rotation)
{
    std::string label;
    if (!block_xdata_string(block, label)) return;
    const double height = tarnic_settings().text_height * scale_factor();
    point3d_rec at;
    polar_point(rotation, height, point, at);
    text_make_on_layer(at, height, 1.0, rotation, layer, label, 1);
}

int place_insert(const std::string& block, const std::string& block_file, const point3d_rec& point,
                 const std::string& remembered_layer)
{
    tarnic_settings_rec& s = tarnic_settings();
    for (;;) {
        std::string out;
        const int rc = prompt_size_spec("0,X R,\ne<X>it <R>otation <Scale to Plot 1:", s.plot_scale, 3, out,
                                        "The plot scale must be more than 0.");
        if (rc == 1) {
            s.plot_scale = std::strtod(out.c_str(), nullptr);
            break;
        }
        if (rc != 2) continue;
        const std::string keyword = str_upper_copy(out);
        if (keyword == "X") return 0;
        if (keyword == "R") s.rotation = get_real_kw("\nRotation (dec degree)", s.rotation, 6);
    }
    if (s.use_clayer) return block_insert(block_file, point, s.rotation, s.plot_scale, remembered_layer);
    // The symbol goes on its block's layer, which becomes (and stays) current.
    std::string layer;
    block_layer_get(block.c_str(), layer);
    layer_make_usable(layer.c_str());
    layer_current_set(layer.c_str());
    return block_insert(block_file, point, s.rotation, s.plot_scale, "");
}

int place_symbol1(const std::string& block, const std::string& block_file, const point3d_rec& point)
{
    tarnic_settings_rec& s = tarnic_settings();
    double rotation = 0;
    if (!pick_two_points_bearing(&point, rotation)) return 0;
    acutPrintf("\nPlot Scale 1:%.3f Text Height:%.3f", s.plot_scale, s.text_height);
    if (change_setting()) tarnic_settings_prompt(1);
    if (!block_insert(block_file, point, rotation, s.plot_scale, "")) return 0;
    std::string layer;
    block_layer_get(block.c_str(), layer);
    label_beside(block, layer, point, rotation);
    return 1;
}

int place_symbol2(const std::string& block, const std::string& block_file, const point3d_rec& first)
{
    tarnic_settings_rec& s = tarnic_settings();
    ads_point from = {first.x, first.y, first.z}, picked;
    if (acedGetPoint(from, "\nPick Next Point:", picked) != RTNORM) return 0;
    const point3d_rec second{picked[X], picked[Y], picked[Z]};
    const double rotation = bearing_deg(first, second);
    acutPrintf(s.make_line ? "\nPlot Scale 1:%.3f Text Height:%.3f Make Line Yes"
                           : "\nPlot Scale 1:%.3f Text Height:%.3f Make Line No",
               s.plot_scale, s.text_height);
    if (change_setting()) tarnic_settings_prompt(2);
    if (!block_insert(block_file, first, rotation, s.plot_scale, "") ||
        !block_insert(block_file, second, rotation, s.plot_scale, ""))
        return 0;
    std::string layer;
    block_layer_get(block.c_str(), layer);
    std::string label;
    if (block_xdata_string(block, label)) {
        const point3d_rec middle{(first.x + second.x) / 2, (first.y + second.y) / 2, 0};
        text_make_justified(4, middle, s.text_height * scale_factor(), 1.0, rotation, layer, label, 1);
    }
    if (s.make_line) line_make(first, second, layer);
    return 1;
}

}  // namespace

tarnic_settings_rec& tarnic_settings()
{
    static tarnic_settings_rec settings;
    return settings;
}

double get_real_kw(const std::string& prompt, double default_value, int precision)
{
    return prompt_real_default(prompt, default_value, precision);
}

void tarnic_settings_prompt(int mode)
{
    tarnic_settings_rec& s = tarnic_settings();
    s.plot_scale = positive_real("\nPlot Scale 1:", s.plot_scale, 3);
    if (mode == 3) {
        s.select_line = prompt_kword("0", "Yes No", "Select Line", "No") == "Yes";
        return;
    }
    s.text_height = positive_real("\nEnter Text Height", s.text_height, 3);
    if (mode == 2) s.make_line = prompt_kword("0", "Yes No", "Make Line", "No") == "Yes";
}

bool tarnic_answer_parse(const std::string& answer, tarnic_answer_rec& out, std::string& problem)
{
    std::vector<std::string> fields = str_split(answer, ',');
    if (fields.empty()) fields.emplace_back();
    out = tarnic_answer_rec{};
    out.command = str_upper_copy(str_trim(fields[0]));
    if (out.command != "INSERT" && out.command != "SYMBOL1" && out.command != "SYMBOL2" &&
        out.command != "SYMBOL3") {
        problem = "\"" + fields[0] + "\" is not a symbol command (INSERT, SYMBOL1, SYMBOL2 or SYMBOL3)";
        return false;
    }
    if (fields.size() < 2 || str_trim(fields[1]).empty()) {
        problem = "it names no block drawing";
        return false;
    }
    out.block_file = str_trim(fields[1]);
    if (out.command != "SYMBOL3") return true;
    if (fields.size() < 6) {
        problem = "a SYMBOL3 answer needs spacing, gap, box width and line block";
        return false;
    }
    const char* names[] = {"spacing", "gap", "box width"};
    double* values[] = {&out.spacing, &out.gap, &out.box};
    for (int i = 0; i < 3; ++i) {
        if (!field_to_real(fields[static_cast<size_t>(i) + 2], *values[i])) {
            problem = std::string("the ") + names[i] + " \"" + fields[static_cast<size_t>(i) + 2] +
                      "\" is not a number";
            return false;
        }
    }
    // Symbols stand spacing apart along a leg: a spacing of 0 or less would
    // never reach the leg's end.
    if (out.spacing <= 0) {
        problem = "the spacing " + str_trim(fields[2]) + " is not above 0";
        return false;
    }
    out.line_field = fields[5];
    out.line_block = str_left(out.line_field, static_cast<int>(out.line_field.size()) - 1);
    return true;
}

int b_tarnic()
{
    tarnic_settings_rec& s = tarnic_settings();
    first_call(s);
    if (!registry_prepare()) return 0;
    const std::string picker = app_install_folder() + "\\exe_file\\Tarnic.exe";
    if (!run_and_wait_registry(picker.c_str(), kPickerArgument, ORVIK_REGISTRY_SUBKEY, kHandshake)) return 0;

    std::string answer, clayer;
    if (!reg_read_string(ORVIK_REGISTRY_SUBKEY, kHandshake, answer) ||
        !reg_read_string(ORVIK_REGISTRY_SUBKEY, kClayerValue, clayer)) {
        acutPrintf("\nThe symbol picker's answer cannot be read; nothing is placed.");
        return 0;
    }
    if (strcasecmp(answer.c_str(), "cancel") == 0) return 0;
    s.use_clayer = strcasecmp(clayer.c_str(), "YES") == 0;

    tarnic_answer_rec parsed;
    std::string problem;
    if (!tarnic_answer_parse(answer, parsed, problem)) {
        acutPrintf("\nThe symbol picker's answer \"%s\" cannot be used: %s; nothing is placed.",
                   answer.c_str(), problem.c_str());
        return 0;
    }
    std::string remembered_layer;
    layer_current_get(remembered_layer);
    layer_make_usable(remembered_layer.c_str());
    acutPrintf("\nsym_command %s sym_dwg:%s", parsed.command.c_str(), parsed.block_file.c_str());
    if (parsed.command == "SYMBOL3") return tarnic_symbol3(answer);

    ads_point picked;
    if (acedGetPoint(nullptr, "\nPick point", picked) != RTNORM) return 0;
    const point3d_rec point{picked[X], picked[Y], picked[Z]};
    std::string block;
    if (!block_load_temp(point, parsed.block_file, block)) {
        acutPrintf("\nThe symbol's block drawing %s cannot be read; nothing is placed.",
                   parsed.block_file.c_str());
        return 0;
    }
    if (parsed.command == "INSERT") return place_insert(block, parsed.block_file, point, remembered_layer);
    if (parsed.command == "SYMBOL1") return place_symbol1(block, parsed.block_file, point);
    return place_symbol2(block, parsed.block_file, point);
}
