// The option dialog of the DXF-lot import: moves or changes selected
// imported entities by their "MERROW_DATA" tags (code, kind word, level), and
// labels the chainage of stations by their "MERROW_TRAV" tags.
#include <cctype>
#include <cstdlib>

#include "adsdlg.h"
#include "dialog_conventions.h"
#include "entity_makers.h"
#include "merrow.h"
#include "messages.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "text_fields.h"
#include "xdata_read.h"

namespace {

// The actions by the value of their radio buttons.
constexpr int kTextToLayer = 1;
constexpr int kPointToLayer = 2;
constexpr int kPointToLevel = 3;
constexpr int kTurnBack = 4;
constexpr int kChainage = 5;

// What an entity of the import carries.
struct merrow_tag_rec {
    std::string type;  // group 0
    std::string code;
    std::string kind;
    bool has_level = false;
    double level = 0;
    bool has_point = false;
    point3d_rec point;
    std::string station;  // the "MERROW_TRAV" text; empty when none
};

// Reads the tags of an entity; false when it carries no "MERROW_DATA".
bool tag_read(const ads_name entity, merrow_tag_rec& tag)
{
    resbuf apps = {};
    apps.restype = RTSTR;
    apps.resval.rstring = const_cast<char*>("*");
    resbuf* list = acdbEntGetX(entity, &apps);
    if (!list) return false;
    std::string app;
    bool tagged = false;
    for (const resbuf* node = list; node; node = node->rbnext) {
        if (node->restype == 0 && node->resval.rstring) tag.type = node->resval.rstring;
        if (node->restype == 10) {
            tag.point = point_from_ads(node->resval.rpoint);
            tag.has_point = true;
        }
        if (node->restype == 1001) {
            app = node->resval.rstring ? node->resval.rstring : "";
            tagged |= app == merrow_data_app;
            continue;
        }
        const bool data = app == merrow_data_app;
        if (data && node->restype == 1000 && tag.code.empty()) tag.code = node->resval.rstring;
        if (data && node->restype == 1003) tag.kind = node->resval.rstring;
        if (data && node->restype == 1040 && !tag.has_level) {
            tag.level = node->resval.rreal;
            tag.has_level = true;
        }
        if (app == merrow_trav_app && node->restype == 1000 && tag.station.empty())
            tag.station = node->resval.rstring;
    }
    acutRelRb(list);
    return tagged;
}

// Layer names of the product: letters, digits and "$-_".
bool layer_name_ok(const std::string& name)
{
    if (name.empty()) return false;
    for (unsigned char c : name)
        if (!std::isalnum(c) && c != '$' && c != '-' && c != '_') return false;
    return true;
}

bool set_layer(const ads_name entity, const std::string& layer)
{
    if (!layer_name_ok(layer)) {
        acutPrintf("\n\"%s\" is no layer name; the object is left on its layer.", layer.c_str());
        return false;
    }
    ent_mod_pending_rec& change = ent_mod_pending();
    change.kind = 3;
    change.code = 8;
    change.text = layer;
    return ent_mod_apply(entity) == 1;
}

bool set_z(const ads_name entity, const merrow_tag_rec& tag, double z)
{
    if (!tag.has_point) return false;
    ent_mod_pending_rec& change = ent_mod_pending();
    change.kind = 4;
    change.code = 10;
    change.point = {tag.point.x, tag.point.y, z};
    return ent_mod_apply(entity) == 1;
}

// The chainage label of a station: "CH" and the level at the point, on
// "CHAINAGE-" and the tag's first field, sized and turned by its others.
bool chainage_label(const merrow_tag_rec& tag)
{
    if (!tag.has_point || !tag.has_level || tag.station.empty()) return false;
    const std::string kind = str_get_field(tag.station, 1, ",");
    const double scale = std::atof(str_get_field(tag.station, 2, ",").c_str());
    const double height = std::atof(str_get_field(tag.station, 3, ",").c_str());
    const double bearing = std::atof(str_get_field(tag.station, 4, ",").c_str());
    char text[64];
    std::snprintf(text, sizeof text, "CH %.3f", tag.level);
    return text_make_on_layer(tag.point, scale / 1000.0 * height, 1.0, bearing, "CHAINAGE-" + kind, text,
                              1) == RTNORM;
}

bool apply_to(int action, const ads_name entity, const merrow_tag_rec& tag)
{
    const bool point = tag.type == "POINT";
    switch (action) {
        case kTextToLayer:
            return tag.type == "TEXT" && tag.kind == "DATA_CODES" && set_layer(entity, "ZT-" + tag.code);
        case kPointToLayer:
            return point && tag.kind == "DATA_POINTS" && set_layer(entity, "ZP-" + tag.code);
        case kPointToLevel: {
            if (!point || (tag.kind != "DATA_POINTS" && tag.kind != "DATA_POINTS_SYMBOL") || !tag.has_level)
                return false;
            // Symbol points and points coded "P" go to "P-" and their code,
            // the others to their kind word.
            bool changed = set_z(entity, tag, tag.level);
            if (tag.kind == "DATA_POINTS_SYMBOL" || tag.code == "P")
                changed |= set_layer(entity, "P-" + tag.code);
            else
                changed |= set_layer(entity, tag.kind);
            return changed;
        }
        case kTurnBack: {
            bool changed = !tag.kind.empty() && set_layer(entity, tag.kind);
            if (tag.has_point && tag.point.z != 0) changed |= set_z(entity, tag, 0.0);
            return changed;
        }
        case kChainage:
            return chainage_label(tag);
        default:
            return false;  // the other actions have buttons only
    }
}

}  // namespace

int merrow_action_apply(int action, const ads_name set)
{
    long length = 0;
    acedSSLength(set, &length);
    int changed = 0;
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        if (acedSSName(set, i, entity) != RTNORM) continue;
        merrow_tag_rec tag;
        if (tag_read(entity, tag) && apply_to(action, entity, tag)) ++changed;
    }
    msg_alert_long("Modified :", changed);
    return changed;
}

std::vector<std::string> merrow_codes_collect()
{
    std::vector<std::string> codes;
    ads_name entity = {0, 0}, next;
    while (acdbEntNext(ads_name_nil(entity) ? nullptr : entity, next) == RTNORM) {
        ads_name_set(next, entity);
        merrow_tag_rec tag;
        if (!tag_read(entity, tag) || tag.code.empty()) continue;
        bool seen = false;
        for (const std::string& code : codes) seen |= code == tag.code;
        if (!seen) codes.push_back(tag.code);
    }
    return codes;
}

int merrow_opt_cmd()
{
    merrow_xdata_names_init();
    return merrow_opt_dlg();
}

int merrow_opt_dlg()
{
    int action = kTextToLayer;
    ads_name selection = {0, 0};
    bool selected = false;
    const std::vector<std::string> codes = merrow_codes_collect();
    int code_index = 0;
    const char* radios[] = {"text_to_layer_rb",  "point_to_layer_rb", "point_to_moss_rb",
                            "turn_back_rb",      "create_ch_rb",      "create_level_rb",
                            "create_sym_num_rb", "modified_level_rb"};
    dialog_def def;
    def.file = "Merrow_option_Dlg.dcl";
    def.name = "merrow_opt_dlg";
    for (int i = 0; i < 8; ++i) def.tiles.push_back(tile_choice(radios[i], action, i + 1));
    def.tiles.push_back(tile_popup("code_list", code_index, codes));
    def.tiles.push_back(tile_button("sel_obj_btn", 3));
    def.tiles.push_back(tile_button("proced_btn", 4));
    def.tiles.push_back(tile_button("ok", DLGOK));
    def.tiles.push_back(tile_button("cancel", DLGCANCEL));
    def.on_open = [&](ads_hdlg dialog) {
        for (const char* key :
             {"code_list", "sel_all_code_rb", "modified_level_rb", "create_level_rb", "create_sym_num_rb"})
            ads_mode_tile(dialog, key, MODE_DISABLE);
        ads_mode_tile(dialog, "proced_btn", selected ? MODE_ENABLE : MODE_DISABLE);
    };
    const int status = dialog_run(def, [&](int pick) {
        if (pick == 3) {
            if (selected) acedSSFree(selection);
            selected = acedSSGet(nullptr, nullptr, nullptr, nullptr, selection) == RTNORM;
        } else if (pick == 4 && selected) {
            acutPrintf("\niactive :%i", action);
            merrow_action_apply(action, selection);
        }
        return true;
    });
    if (selected) acedSSFree(selection);
    return status == dialog_not_shown ? 0 : 1;
}
