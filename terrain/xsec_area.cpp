// The cross-section area listing: for each section the user picks its
// chainage text and then points inside the areas to measure; each area is
// labelled on the layer "XTB" and added to "c:\xsection_area.cvs" as
// "chainage,area".
#include <cstdio>
#include <string>

#include "ads.h"
#include "entity_makers.h"
#include "entity_readers.h"
#include "folders_registry.h"
#include "layers.h"
#include "numbers.h"
#include "prompts.h"
#include "selection_sets.h"
#include "sysvar.h"
#include "text_fields.h"
#include "text_lines.h"
#include "winplat.h"
#include "xsec_drawing.h"

namespace {

struct xsec_area_cfg {
    std::string file = "c:\\xsection_area.cvs";
    std::string layer = "XTB";
    double text_height = 2.0;
    int precision = 2;
};

// Measures the region around the point, labels it and lists it.
void measure_area(const xsec_area_cfg& cfg, const std::string& chainage, const point3d_rec& inside)
{
    ads_name boundary;
    if (!bpoly_at(inside, boundary)) {
        acedCommand(RTNONE);
        acutPrintf("\nNo closed boundary around the point; nothing was measured.");
        return;
    }
    if (prompt_kword("0", "O N", "<O>k <N>o :", "O") == "N") {
        acdbEntDel(boundary);
        return;
    }
    double area = 0;
    if (acedCommand(RTSTR, "area", RTSTR, "e", RTENAME, boundary, RTNONE) != RTNORM ||
        !sysvar_get_real("AREA", area)) {
        acdbEntDel(boundary);
        acutPrintf("\nThe area could not be measured; nothing was labelled.");
        return;
    }
    const std::string text = rtos_decimal(area, cfg.precision);
    acutPrintf("\n%s area :%sM2", chainage.c_str(), text.c_str());
    text_make_on_layer(inside, cfg.text_height, 1.0, 90.0, cfg.layer, text + "m%%178", 1);
    acdbEntDel(boundary);
    // Through the replacing step: a line that cannot be added (a full disk)
    // leaves the listing as it was, never with part of a line.
    if (std::string why; !text_file_append(cfg.file, chainage + "," + text + "\n", &why)) {
        acutPrintf("\n%s was not added to %s (%s).", chainage.c_str(), cfg.file.c_str(), why.c_str());
        acedAlert("Error Writing file");
    }
}

}  // namespace

void xsec_area_listing_cmd()
{
    const xsec_area_cfg cfg;
    layer_ensure(cfg.layer.c_str());
    if (!file_exists(cfg.file.c_str()) && !text_file_replace(cfg.file, "")) acedAlert("Error Writing file");
    std::string remembered;
    layer_current_get(remembered);
    layer_make_usable(cfg.layer.c_str());
    layer_current_set(cfg.layer.c_str());
    for (;;) {
        ads_name picked;
        point3d_rec where;
        const int rc = ent_select_type("\nSelect CH:", "TEXT", picked, where);
        if (rc != 1) {
            acutPrintf(rc == 2 ? "\nThat is no TEXT; the listing ends."
                               : "\nNo chainage text; the listing ends.");
            break;
        }
        std::string chainage;
        ent_get_string(picked, 1, chainage);
        std::string answer;
        point3d_rec inside;
        const int asked = prompt_point_or_text("\ne<X>it <Pick Inside Area> :", "", nullptr, answer, inside);
        if (asked == 2 && str_upper_copy(answer) == "X") break;
        if (asked == 1) measure_area(cfg, chainage, inside);
    }
    acutPrintf("\n%s Created", cfg.file.c_str());
    if (!remembered.empty()) layer_current_set(remembered.c_str());
}
