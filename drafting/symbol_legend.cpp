// The symbol legend: its dialog, the picks and selection it asks for, and the
// drawing of the header and rows from the installed symbol list.
#include "symbol_legend.h"

#include <strings.h>

#include <cstdlib>

#include "adsdlg.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "geometry.h"
#include "numbers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "symbol_list.h"
#include "symbols.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr int kPickLocation = 2;
constexpr int kSelectBlocks = 3;
constexpr int kPickRotation = 4;

// The legend's numbers, taken from the dialog's texts.
struct legend_numbers {
    double s = 1;  // scale / 1000
    double scale = 1000, height = 1.3, width = 1, dist_a = 10, dist_b = 5, rotation = 90;
    point3d_rec location;
};

legend_numbers numbers_of(const legend_values_rec& v)
{
    legend_numbers n;
    n.scale = std::atof(v.scale.c_str());
    n.s = n.scale / 1000.0;
    n.height = std::atof(v.text_height.c_str());
    n.width = std::atof(v.width.c_str());
    n.dist_a = std::atof(v.dist_a.c_str());
    n.dist_b = std::atof(v.dist_b.c_str());
    n.rotation = std::atof(v.rotation.c_str());
    n.location = {std::atof(str_get_field(v.location, 1, ",").c_str()),
                  std::atof(str_get_field(v.location, 2, ",").c_str()), 0};
    return n;
}

// The sizes must be above 0 for the legend to be seen; false after a message.
bool numbers_usable(const legend_numbers& n)
{
    if (n.scale > 0 && n.height > 0 && n.width > 0) return true;
    acutPrintf("\nThe plot scale, text height and width factor must be above 0; the legend is not drawn.");
    return false;
}

void pick_location(legend_values_rec& v)
{
    std::string x, y;
    if (!pick_coord_text("\nPick Legend Location", x, y)) return;
    v.location = x + "," + y;
    v.location_picked = 1;
}

void pick_rotation(legend_values_rec& v)
{
    double bearing = 0;
    if (!pick_two_points_bearing(nullptr, bearing)) return;
    v.rotation = rtos_decimal(bearing, 4);
}

void select_blocks(legend_values_rec& v)
{
    ads_name set;
    long length = 0;
    if (!ss_select_type("INSERT", set, length)) return;
    legend_blocks_collect(set);
    acedSSFree(set);
    v.selection = std::to_string(length) + " block select.";
    v.blocks_selected = 1;
}

// The next row: distance B along the legend's rotation + 90.
void next_row(point3d_rec& row, const legend_numbers& n)
{
    double down = n.rotation + 90.0;
    if (down >= 360.0) down -= 360.0;
    polar_point(down, n.dist_b * n.s, row, row);
}

void legend_text(const point3d_rec& at, const std::string& text, const legend_numbers& n,
                 const std::string& layer)
{
    text_make_on_layer(at, n.height * n.s, n.width, n.rotation, layer, text, 1);
}

void legend_row(const std::string& block, const std::string& description, point3d_rec& row,
                const legend_numbers& n, const std::string& layer)
{
    insert_make(block, row, n.rotation, n.scale, layer);
    std::string label;
    if (block_xdata_string(block, label)) {
        point3d_rec at;
        polar_point(n.rotation, n.height * n.s, row, at);
        legend_text(at, label, n, layer);
    }
    point3d_rec at;
    polar_point(n.rotation, n.dist_a * n.s, row, at);
    legend_text(at, description, n, layer);
    next_row(row, n);
}

}  // namespace

legend_values_rec& legend_values()
{
    static legend_values_rec values;
    return values;
}

void legend_blocks_collect(const ads_name set)
{
    std::vector<std::string>& names = legend_values().block_names;
    names.clear();
    long length = 0;
    acedSSLength(set, &length);
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(set, i, entity) != RTNORM) continue;
        resbuf* list = acdbEntGet(entity);
        const char* name = list ? rb_get_str(list, 2) : nullptr;
        bool seen = !name;
        for (const std::string& known : names) seen = seen || strcasecmp(known.c_str(), name) == 0;
        if (!seen) names.push_back(name);
        if (list) acutRelRb(list);
    }
}

int symboldata_bin_load()
{
    const legend_values_rec& v = legend_values();
    const std::string path = symboldata_path();
    std::vector<std::string> records;
    std::string problem;
    const int read = symbol_list_read(path, records, problem);
    if (read != 1) {
        acutPrintf("\nThe symbol list %s %s; the legend is not drawn.", path.c_str(), problem.c_str());
        return 0;
    }
    const legend_numbers n = numbers_of(v);
    point3d_rec row = n.location;
    legend_text(row, v.header, n, v.layer);
    next_row(row, n);
    int rows = 0;
    for (const std::string& record : records) {
        const std::string name = symbol_record_text(record, 560, 10);
        const std::string description = symbol_record_text(record, 570, 255);
        for (const std::string& block : v.block_names) {
            if (strcasecmp(block.c_str(), name.c_str()) != 0) continue;
            legend_row(block, description, row, n, v.layer);
            ++rows;
        }
    }
    acutPrintf("\nLegend of %d symbol(s).", rows);
    return 1;
}

int legend_dlg_run()
{
    legend_values_rec& v = legend_values();
    if (!v.loaded) {
        v = legend_values_rec{};
        v.loaded = 1;
        sysvar_get_int("LUPREC", v.luprec);
    }
    // A selection belongs to one run: the blocks are chosen again each time.
    v.blocks_selected = 0;
    v.block_names.clear();
    v.selection = "0 obj sel.";

    dialog_def def;
    def.file = "Legend.dcl";
    def.name = "legend_dlg";
    def.tiles = {tile_size_text("scale_t", v.scale, v.luprec),
                 tile_size_text("txth_t", v.text_height, v.luprec),
                 tile_size_text("txtwidth_t", v.width, v.luprec),
                 tile_layer("layer_t", v.layer),
                 tile_text("header_t", v.header),
                 tile_number_text("dista_t", v.dist_a, v.luprec),
                 tile_number_text("distb_t", v.dist_b, v.luprec),
                 tile_text("pickpnt_t", v.location),
                 tile_text("selobj_t", v.selection),
                 tile_number_text("pickrot_t", v.rotation, 4),
                 tile_button("pickpnt_btn", kPickLocation),
                 tile_button("selobj_btn", kSelectBlocks),
                 tile_button("pickrot_btn", kPickRotation),
                 tile_button("ok_btn", DLGOK),
                 tile_button("cancel_btn", DLGCANCEL)};
    def.load_error = "\n Error Loading %s ";
    def.on_open = [&v](ads_hdlg dialog) {
        ads_mode_tile(dialog, "ok_btn", v.location_picked && v.blocks_selected ? MODE_ENABLE : MODE_DISABLE);
    };
    for (;;) {
        const int status = dialog_run(def, [&v](int pick) {
            if (pick == kPickLocation) pick_location(v);
            if (pick == kSelectBlocks) select_blocks(v);
            if (pick == kPickRotation) pick_rotation(v);
            return true;
        });
        if (status == dialog_not_shown) return 0;
        if (status != DLGOK) return 1;
        if (!numbers_usable(numbers_of(v))) continue;
        symboldata_bin_load();
        return 1;
    }
}
