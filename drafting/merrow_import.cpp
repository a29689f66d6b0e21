// The DXF-lot import: the ASCII data file goes to the converter Merrow, whose
// temporary files are then drawn. Before the converter starts, every file it
// writes is deleted, and afterwards its handshake answer must be "done": so
// nothing left by an earlier run, or by a run that failed, is ever imported.
#include <strings.h>

#include <cmath>
#include <functional>
#include <map>

#include "entity_makers.h"
#include "folders_registry.h"
#include "geometry.h"
#include "layers.h"
#include "merrow.h"
#include "numbers.h"
#include "prompts.h"
#include "symbols.h"
#include "text_fields.h"
#include "text_lines.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

constexpr const char* kHandshake = "merrow_status";
constexpr const char* kDone = "done";
// The files the converter writes, all in the temporary folder.
constexpr const char* kWindowFile = "dx3c.tmp";
constexpr const char* kParameterFile = "parameter.cfg";
constexpr const char* kBlockFile = "block.tmp";
constexpr const char* kPointFile = "dx3a.tmp";
constexpr const char* kDescriptionFile = "dxfdesc.tmp";
constexpr const char* kTraverseFile = "trv1.tmp";
constexpr const char* kChainageFile = "ch1.tmp";
constexpr const char* kConverterFiles[] = {kWindowFile,      kParameterFile, kBlockFile,   kPointFile,
                                           kDescriptionFile, kTraverseFile,  kChainageFile};
// The longest line the files hold; a longer one is refused, not cut.
constexpr size_t kLineLimit = 249;
// The longest path the converter can read back from the registry.
constexpr size_t kRegistryTextLimit = 254;
constexpr size_t kXdataTextLimit = 255;

struct import_counts {
    int points = 0, symbols = 0, descriptions = 0, stations = 0, skipped = 0;
};

std::string temp_file(const char* name)
{
    return app_temp_folder() + "\\" + name;
}

// The comma-separated fields of a line, each without the blanks around it.
std::vector<std::string> fields_of(const std::string& line)
{
    std::vector<std::string> fields = str_split(line, ',');
    for (std::string& field : fields) field = str_trim(field);
    return fields;
}

// Each line of a converter file that is not blank; a file that cannot be
// opened is alerted and skipped, a line too long is named and skipped.
bool each_line(const char* name, import_counts& counts,
               const std::function<void(long number, const std::string& line)>& each)
{
    const std::string path = temp_file(name);
    const bool opened = text_file_lines(path, [&](long number, std::string_view line) {
        if (line.size() > kLineLimit) {
            acutPrintf("\nLine %ld of %s: longer than %zu characters; the line is left out.", number, name,
                       kLineLimit);
            ++counts.skipped;
            return;
        }
        each(number, std::string(line));
    });
    if (!opened) acedAlert(("\nError Opening file\n" + path).c_str());
    return opened;
}

void skip_line(long number, const char* file, const std::string& problem, import_counts& counts)
{
    acutPrintf("\nLine %ld of %s: %s; the line is left out.", number, file, problem.c_str());
    ++counts.skipped;
}

// The point at along x size ahead of p on the text's baseline and up x size
// square to it (a text's "up" is its bearing less 90 degrees).
point3d_rec beside(const point3d_rec& p, double bearing, double size, double along, double up)
{
    point3d_rec ahead, out;
    polar_point(bearing, along * size, p, ahead);
    polar_point(bearing - 90.0, up * size, ahead, out);
    return out;
}

void tag_pending(const merrow_point_rec& point, const std::string& kind)
{
    xdata_pending_set_real(point.point.z);
    xdata_pending_set_text(point.code);
    xdata_pending_set_int32(point.number);
    xdata_pending_set_layer(kind);
}

void tagged_text(const merrow_point_rec& point, const point3d_rec& at, double height, double bearing,
                 const std::string& kind, const std::string& text)
{
    tag_pending(point, kind);
    text_make_xdata(at, height, 1.0, bearing, kind, text, merrow_data_app);
}

// The number and code texts of a point, beside it.
void number_and_code(const merrow_point_rec& point, const merrow_parameters_rec& p,
                     const std::string& number_kind, bool with_code)
{
    const double bearing = p.text_bearing;
    const double number_height = p.number_height;
    tagged_text(point, beside(point.point, bearing, number_height, 0.5, 0.5), number_height, bearing,
                number_kind, std::to_string(point.number));
    if (!with_code) return;
    const double code_height = p.code_height * p.plot_scale / 1000.0;
    tagged_text(point, beside(point.point, bearing, code_height, 0.5, -1.5), code_height, bearing,
                "DATA_CODES", point.code);
}

void level_text(const merrow_point_rec& point, const merrow_parameters_rec& p, const std::string& layer,
                double bearing)
{
    if (point.point.z == 0) return;
    text_make_justified(4, point.point, p.level_height * p.plot_scale / 1000.0, 1.0, bearing, layer,
                        point.level, 1);
}

void draw_symbol(const merrow_point_rec& point, const merrow_parameters_rec& p,
                 const std::map<std::string, std::string>& blocks, long number, import_counts& counts)
{
    tag_pending(point, "DATA_POINTS_SYMBOL");
    point_make_xdata(point.point, "DATA_POINTS_SYMBOL", merrow_data_app);
    const auto found = blocks.find(str_upper_copy(point.code));
    if (found == blocks.end()) {
        acutPrintf("\nLine %ld of %s: the code \"%s\" has no symbol block; the point is drawn without it.",
                   number, kPointFile, point.code.c_str());
        return;
    }
    std::string block;
    if (!block_load_temp(point.point, found->second, block)) {
        acutPrintf("\nLine %ld of %s: the symbol block %s cannot be read; the point is drawn without it.",
                   number, kPointFile, found->second.c_str());
        return;
    }
    const double bearing = p.symbol_bearing;
    tagged_text(point, beside(point.point, p.text_bearing, p.number_height, 0.5, 0.5), p.number_height,
                p.text_bearing, "DATA_POINTS_SYM_NUM", std::to_string(point.number));
    double rotation = 90.0 - bearing;
    if (rotation < 0) rotation += 360.0;
    if (!block_insert(found->second, point.point, rotation, p.plot_scale, "")) return;
    ++counts.symbols;
    level_text(point, p, "ARAS-SYMBOL", bearing);
    std::string label;
    if (block_xdata_string(block, label)) {
        std::string layer;
        block_layer_get(block.c_str(), layer);
        const double size = p.symbol_label_size * p.plot_scale / 1000.0;
        point3d_rec at;
        polar_point(bearing, size, point.point, at);
        text_make_on_layer(at, size, 1.0, bearing, layer, label, 1);
    }
}

void draw_points(const merrow_parameters_rec& p, const std::map<std::string, std::string>& blocks,
                 import_counts& counts)
{
    each_line(kPointFile, counts, [&](long number, const std::string& line) {
        merrow_point_rec point;
        std::string problem;
        if (!merrow_point_parse(line, false, point, problem))
            return skip_line(number, kPointFile, problem, counts);
        ++counts.points;
        if (str_upper_copy(point.kind) == "SYMBOL") return draw_symbol(point, p, blocks, number, counts);
        tag_pending(point, "DATA_POINTS");
        point_make_xdata(point.point, "DATA_POINTS", merrow_data_app);
        number_and_code(point, p, "DATA_POINTS_NUM", true);
        level_text(point, p, point.code == "P" ? "ARAS-P" : "ARAS-STR", p.text_bearing);
    });
}

void draw_descriptions(const merrow_parameters_rec& p, import_counts& counts)
{
    each_line(kDescriptionFile, counts, [&](long number, const std::string& line) {
        const std::vector<std::string> fields = fields_of(line);
        merrow_point_rec at;
        if (fields.size() < 3) return skip_line(number, kDescriptionFile, "fewer than 3 fields", counts);
        if (!field_to_real(fields[0], at.point.x) || !field_to_real(fields[1], at.point.y))
            return skip_line(number, kDescriptionFile, "a coordinate is not a number", counts);
        // A description may hold commas of its own. Its tag has no code.
        const size_t text_start = line.find(',', line.find(',') + 1) + 1;
        tagged_text(at, at.point, p.number_height, p.text_bearing, "DATA_DESC",
                    str_trim(line.substr(text_start)));
        ++counts.descriptions;
    });
}

void draw_stations(const char* file, const std::string& kind, const std::string& level_layer,
                   const merrow_parameters_rec& p, import_counts& counts)
{
    std::string tag;
    const bool tag_fits = merrow_station_tag(kind, p, tag);
    if (!tag_fits)
        acutPrintf(
            "\nThe station tag \"%s\" is longer than %zu characters; the stations of %s are drawn without "
            "it.",
            tag.c_str(), kXdataTextLimit, file);
    each_line(file, counts, [&](long number, const std::string& line) {
        merrow_point_rec station;
        std::string problem;
        if (!merrow_point_parse(line, true, station, problem))
            return skip_line(number, file, problem, counts);
        tag_pending(station, "DATA_POINTS");
        if (!point_make_xdata(station.point, "DATA_POINTS", merrow_data_app)) return;
        ++counts.stations;
        if (tag_fits) {
            ads_name last;
            acdbEntLast(last);
            xdata_pending_set_text(tag);
            xdata_pending_set_real(station.real);
            ent_xdata_add(last, merrow_trav_app);
        }
        number_and_code(station, p, "DATA_POINTS_NUM", true);
        level_text(station, p, level_layer, p.text_bearing);
    });
}

void zoom_to_window(import_counts& counts)
{
    bool zoomed = false;
    each_line(kWindowFile, counts, [&](long number, const std::string& line) {
        if (zoomed) return;
        const std::vector<std::string> fields = fields_of(line);
        double v[4];
        for (size_t i = 0; i < 4; ++i)
            if (i >= fields.size() || !field_to_real(fields[i], v[i]))
                return skip_line(number, kWindowFile, "no window of four numbers", counts);
        zoom_window({v[0], v[1], 0}, {v[2], v[3], 0});
        zoomed = true;
    });
}

bool read_parameters(merrow_parameters_rec& p, import_counts& counts)
{
    bool read = false;
    const bool opened = each_line(kParameterFile, counts, [&](long number, const std::string& line) {
        if (read) return;
        std::string problem;
        if (!merrow_parameters_parse(line, p, problem))
            return skip_line(number, kParameterFile, problem, counts);
        read = true;
    });
    if (opened && !read) acutPrintf("\n%s holds no line of parameters.", kParameterFile);
    return read;
}

std::map<std::string, std::string> read_blocks(import_counts& counts)
{
    std::map<std::string, std::string> blocks;
    bool header = true;
    each_line(kBlockFile, counts, [&](long number, const std::string& line) {
        if (header) {
            header = false;
            return;
        }
        const std::vector<std::string> fields = fields_of(line);
        if (fields.size() < 4 || fields[0].empty() || fields[3].empty())
            return skip_line(number, kBlockFile, "no code and symbol block", counts);
        blocks[str_upper_copy(fields[0])] = fields[3];
    });
    return blocks;
}

// Deletes what an earlier run left; false (after a message) when a file stays.
bool clear_converter_files()
{
    for (const char* name : kConverterFiles) {
        const std::string path = temp_file(name);
        if (!file_exists(path.c_str())) continue;
        win_remove(path.c_str());
        if (file_exists(path.c_str())) {
            acutPrintf(
                "\nThe old %s cannot be deleted; the converter is not started, so that it is not imported "
                "again.",
                path.c_str());
            return false;
        }
    }
    return true;
}

bool run_converter(const std::string& data_file)
{
    if (data_file.size() > kRegistryTextLimit) {
        acutPrintf(
            "\nThe file name has %zu characters; the converter takes at most %zu. Nothing is imported.",
            data_file.size(), kRegistryTextLimit);
        return false;
    }
    if (!reg_write_string(ORVIK_REGISTRY_SUBKEY, "merrow_inp_file", data_file.c_str()) ||
        !reg_write_string(ORVIK_REGISTRY_SUBKEY, "version", ORVIK_VERSION_TEXT)) {
        acedAlert("fail create registry");
        return false;
    }
    if (!clear_converter_files()) return false;
    const std::string program = app_install_folder() + "\\exe_file\\Merrow.exe";
    const std::string folder = "\"" + app_temp_folder() + "\"";
    if (!run_and_wait_registry(program.c_str(), folder.c_str(), ORVIK_REGISTRY_SUBKEY, kHandshake)) {
        acutPrintf("\nNothing is imported.");
        return false;
    }
    std::string answer;
    reg_read_string(ORVIK_REGISTRY_SUBKEY, kHandshake, answer);
    if (strcasecmp(answer.c_str(), kDone) != 0) {
        acutPrintf("\nMerrow answered \"%s\"; nothing is imported.", answer.c_str());
        return false;
    }
    return true;
}

}  // namespace

void merrow_xdata_names_init()
{
    // A drawing that has them already refuses them, which is as good.
    acdbRegApp(merrow_data_app);
    acdbRegApp(merrow_trav_app);
}

bool merrow_parameters_parse(const std::string& line, merrow_parameters_rec& out, std::string& problem)
{
    const std::vector<std::string> fields = fields_of(line);
    double v[8];
    for (size_t i = 0; i < 8; ++i) {
        if (i >= fields.size()) {
            problem = "fewer than 8 parameters";
            return false;
        }
        if (!field_to_real(fields[i], v[i])) {
            problem = "parameter " + std::to_string(i + 1) + " \"" + fields[i] + "\" is not a number";
            return false;
        }
    }
    for (size_t i : {0, 1, 2, 3, 6})
        if (v[i] <= 0) {
            problem = "parameter " + std::to_string(i + 1) + " (a scale or a size) is not above 0";
            return false;
        }
    out = {v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]};
    return true;
}

bool merrow_point_parse(const std::string& line, bool station, merrow_point_rec& out, std::string& problem)
{
    const std::vector<std::string> fields = fields_of(line);
    if (fields.size() < 7) {
        problem = "fewer than 7 fields";
        return false;
    }
    out = merrow_point_rec{};
    if (!field_to_int(fields[0], out.number)) {
        problem = "the number \"" + fields[0] + "\" is no whole number";
        return false;
    }
    const char* names[] = {"x", "y", "z"};
    double* values[] = {&out.point.x, &out.point.y, &out.point.z};
    for (size_t i = 0; i < 3; ++i)
        if (!field_to_real(fields[i + 1], *values[i])) {
            problem = std::string(names[i]) + " \"" + fields[i + 1] + "\" is not a number";
            return false;
        }
    out.level = fields[4];
    out.code = fields[5];
    if (!station) {
        out.kind = fields[6];
        return true;
    }
    if (!field_to_real(fields[6], out.real)) {
        problem = "the distance \"" + fields[6] + "\" is not a number";
        return false;
    }
    return true;
}

bool merrow_station_tag(const std::string& kind, const merrow_parameters_rec& p, std::string& out)
{
    out = kind + "," + real_format(p.plot_scale, 3) + "," + real_format(p.chainage_height, 3) + "," +
          real_format(p.text_bearing, 6);
    return out.size() <= kXdataTextLimit;
}

int merrow_import()
{
    std::string data_file;
    if (!file_dialog_dwgprefix("Import Ascii", "", "dat;txt;csv;*", 0, data_file)) return 0;
    merrow_xdata_names_init();
    if (!run_converter(data_file)) return 0;

    import_counts counts;
    zoom_to_window(counts);
    merrow_parameters_rec p;
    if (!read_parameters(p, counts)) {
        acutPrintf("\nWithout its parameters nothing is imported.");
        return 0;
    }
    const std::map<std::string, std::string> blocks = read_blocks(counts);
    draw_points(p, blocks, counts);
    draw_descriptions(p, counts);
    draw_stations(kTraverseFile, "TRV", "ARAS-TRV", p, counts);
    draw_stations(kChainageFile, "CH", "ARAS-CH", p, counts);
    acutPrintf(
        "\n%d point(s), %d symbol(s), %d description(s) and %d station(s) imported; %d line(s) left out.",
        counts.points, counts.symbols, counts.descriptions, counts.stations, counts.skipped);
    return 1;
}
