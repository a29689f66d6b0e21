// 3D polylines from picked heights: b_treed_poly.
#include "treed_poly.h"

#include <strings.h>

#include <algorithm>
#include <cstdlib>

#include "ads.h"
#include "dialog_conventions.h"
#include "drafting_settings.h"
#include "entity_makers.h"
#include "geometry.h"
#include "layers.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "sysvar.h"
#include "text_fields.h"

namespace {

constexpr const char* kApp = "TREED_POLY";
// A typed new layer name is shorter than this.
constexpr size_t kNewLayerLimit = 60;

constexpr const char* kPromptFirst = "\ne<X>it <U>ndo <R>edraw <S>etting <L>ayer <Pick Point>";
constexpr const char* kPromptNext = "\ne<X>it <U>ndo <R>edraw <S>etting <A>uta <L>ayer <Pick Point>";

void vector_draw(const point3d_rec& from, const point3d_rec& to)
{
    ads_point a, b;
    point_to_ads(from, a);
    point_to_ads(to, b);
    acedGrDraw(a, b, treedpoly_state().vector_colour, 0);
}

// Draws the legs between consecutive points again, after regenerating the
// screen when asked (which clears every temporary vector).
void vectors_redraw(const numbered_point_list& vertices, bool regenerate)
{
    if (regenerate) acedRedraw(nullptr, 4);
    for (size_t i = 1; i < vertices.size(); ++i) vector_draw(vertices[i - 1].point, vertices[i].point);
}

void vectors_redraw(const std::vector<point3d_rec>& points)
{
    for (size_t i = 1; i < points.size(); ++i) vector_draw(points[i - 1], points[i]);
}

// The height of a picked point: a typed value, the last height on Enter, or
// the previous level for "P". false when the input gave neither.
bool height_ask(double& height)
{
    treedpoly_state_rec& st = treedpoly_state();
    for (;;) {
        std::string out;
        const int rc =
            prompt_real_spec("0,P,\n<P>rev Height <Enter Height>", st.last_height, st.decimals, out);
        if (rc == 1) {
            height = std::atof(out.c_str());
            return true;
        }
        if (rc != 2) return false;
        if (str_upper_copy(out) == "P") {
            height = st.prev_level;
            return true;
        }
    }
}

void vertex_pick(numbered_point_list& vertices, point3d_rec point)
{
    treedpoly_state_rec& st = treedpoly_state();
    acutPrintf("\nPrev Level:%.3f", st.prev_level);
    if (!vertices.empty()) vector_draw(vertices.back().point, point);
    double height = 0;
    if (!height_ask(height)) return;
    st.last_height = height;
    st.prev_level = height;
    point.z = height;
    numbered_point_push(vertices, 0, point);
}

// Middle points from A toward the last point B: false when the user leaves.
bool middle_points_pick(const numbered_point_list& vertices, const point3d_rec& b,
                        std::vector<point3d_rec>& middles)
{
    const point3d_rec& a = vertices.back().point;
    for (;;) {
        acutPrintf("\nDon't pick last point");
        const point3d_rec& from = middles.empty() ? a : middles.back();
        std::string text;
        point3d_rec picked;
        const int rc =
            prompt_point_or_text("\n<F>inish <R>edraw <U>ndo <Pick Middle Point>", "", &from, text, picked);
        if (rc == 1) {
            vector_draw(from, picked);
            middles.push_back(picked);
            continue;
        }
        if (rc != 2) return false;
        const std::string word = str_upper_copy(text);
        // Enter (which comes as "X") finishes like "F".
        if (word == "F" || word == "X") {
            if (!middles.empty()) vector_draw(middles.back(), b);
            return true;
        }
        if (word == "R" || (word == "U" && middles.size() > 1)) {
            if (word == "U") middles.pop_back();
            vectors_redraw(vertices, true);
            std::vector<point3d_rec> chain{a};
            chain.insert(chain.end(), middles.begin(), middles.end());
            vectors_redraw(chain);
        }
    }
}

// Auta: heights for middle points between the last vertex A and a picked last
// point B, shared out by plan distance along the chain A, M1 ... Mn, B. True
// when points were added.
bool auta(numbered_point_list& vertices)
{
    treedpoly_state_rec& st = treedpoly_state();
    const point3d_rec a = vertices.back().point;
    point3d_rec b;
    for (;;) {
        std::string text;
        const int rc = prompt_point_or_text("\ne<X>it <Pick Last Point>", "", &a, text, b);
        if (rc == 1) break;
        if (rc != 2 || str_upper_copy(text) == "X") return false;
    }
    const double zb = prompt_real_default("\nEnter Height", st.last_height, st.decimals);
    std::vector<point3d_rec> middles;
    if (!middle_points_pick(vertices, b, middles)) return false;
    if (middles.empty()) {
        acutPrintf("\nNo middle point was picked: nothing was added.");
        return false;
    }
    double total = 0;
    point3d_rec previous = a;
    for (const point3d_rec& m : middles) {
        total += dist_2d(previous, m);
        previous = m;
    }
    total += dist_2d(previous, b);
    // A chain of no length gives no slope to share the heights by.
    if (!(total > 0)) {
        acutPrintf(
            "\nThe middle points and the last point lie on the first one: no heights to share out; "
            "nothing was added.");
        return false;
    }
    double along = 0;
    previous = a;
    for (point3d_rec m : middles) {
        along += dist_2d(previous, m);
        previous = m;
        m.z = a.z + along * (zb - a.z) / total;
        numbered_point_push(vertices, 0, m);
    }
    b.z = zb;
    numbered_point_push(vertices, 0, b);
    // The next pick starts from B's height.
    st.last_height = zb;
    st.prev_level = zb;
    return true;
}

void polyline_make(const numbered_point_list& vertices)
{
    const std::string& layer = treedpoly_state().poly_layer;
    if (vertices.size() == 1) {
        acutPrintf("\nOnly one vertex was picked: a 3D polyline needs two, so none was made.");
        return;
    }
    if (vertices.empty()) return;
    if (!polyline3d_make(0, point3d_rec{}, layer)) return;
    for (const numbered_point& v : vertices)
        if (!polyline3d_make(1, v.point, layer)) return;
    polyline3d_make(2, point3d_rec{}, layer);
}

bool same_name(const std::string& a, const std::string& b)
{
    return strcasecmp(a.c_str(), b.c_str()) == 0;
}

int find_name(const std::vector<key_string_rec>& list, const std::string& name)
{
    for (size_t i = 0; i < list.size(); ++i)
        if (same_name(list[i].text, name)) return static_cast<int>(i);
    return -1;
}

// A name goes back into the drawing's layers at its place by name.
void insert_sorted(std::vector<key_string_rec>& list, key_string_rec entry)
{
    auto at = std::find_if(list.begin(), list.end(), [&](const key_string_rec& other) {
        return strcasecmp(entry.text.c_str(), other.text.c_str()) < 0;
    });
    list.insert(at, std::move(entry));
}

bool layer_in_drawing(const std::string& name)
{
    resbuf* found = acdbTblSearch("LAYER", name.c_str(), 0);
    if (!found) return false;
    acutRelRb(found);
    return true;
}

// The settings dialog's lists and choices while it runs.
struct layer_lists {
    std::vector<key_string_rec> drawing;  // the drawing's layers that are not working layers
    std::vector<key_string_rec> working;
    int drawing_chosen = -1;
    int working_chosen = -1;
};

void lists_show(ads_hdlg dialog, const layer_lists& lists)
{
    set_list_tile(dialog, "dwg_layer_listbox", lists.drawing);
    set_list_tile(dialog, "wk_layer_listbox", lists.working);
}

// Whether the working layers with one more would still fit the stored text;
// the dialog's error line says so when not.
bool fits_with(ads_hdlg dialog, const layer_lists& lists, const std::string& name)
{
    std::vector<key_string_rec> more = lists.working;
    more.push_back({0, name});
    const size_t length = treedpoly_layers_text(more).size();
    if (length <= kTreedPolyTextLimit) return true;
    const std::string why = "Not added: the working layers would take " + std::to_string(length) +
                            " characters to store, and at most " + std::to_string(kTreedPolyTextLimit) +
                            " are kept.";
    ads_set_tile(dialog, "error", why.c_str());
    return false;
}

// A typed name becomes a working layer (a layer of the drawing by that name
// moves over from the drawing's list).
void new_layer_add(ads_hdlg dialog, layer_lists& lists, const std::string& name)
{
    ads_set_tile(dialog, "t_new_layer", "");
    if (name.empty()) return;
    if (name.size() >= kNewLayerLimit) {
        ads_set_tile(dialog, "error", "A new layer name is shorter than 60 characters.");
        return;
    }
    if (!layer_name_valid(name.c_str(), 0)) return;
    if (find_name(lists.working, name) >= 0) {
        ads_set_tile(dialog, "error", ("Layer " + name + " is a working layer already.").c_str());
        return;
    }
    if (!fits_with(dialog, lists, name)) return;
    const int in_drawing = find_name(lists.drawing, name);
    if (in_drawing >= 0) {
        lists.working.push_back({0, lists.drawing[in_drawing].text});
        lists.drawing.erase(lists.drawing.begin() + in_drawing);
    } else {
        lists.working.push_back({1, name});
    }
    ads_set_tile(dialog, "error", "");
    lists_show(dialog, lists);
}

}  // namespace

treedpoly_state_rec& treedpoly_state()
{
    static treedpoly_state_rec state;
    return state;
}

std::string treedpoly_layers_text(const std::vector<key_string_rec>& layers)
{
    std::string text;
    for (const key_string_rec& layer : layers) comma_list_add(text, layer.text);
    return text;
}

std::vector<key_string_rec> treedpoly_layers_parse(const std::string& text)
{
    std::vector<key_string_rec> layers;
    const int fields = static_cast<int>(std::count(text.begin(), text.end(), ',')) + 1;
    for (int n = 1; n <= fields; ++n) {
        std::string name = str_get_field(text, n, ",");
        if (!name.empty()) layers.push_back({0, name});
    }
    return layers;
}

void set_list_tile(ads_hdlg dialog, const char* key, const std::vector<key_string_rec>& list)
{
    ads_start_list(dialog, key, LIST_NEW, 0);
    for (const key_string_rec& entry : list) ads_add_list(entry.text.c_str());
    ads_end_list();
}

int treedpoly_setting_dlg()
{
    treedpoly_state_rec& st = treedpoly_state();
    layer_lists lists;
    lists.working = st.working_layers;
    std::vector<key_string_rec> all;
    layer_table_list_into(all);
    for (const key_string_rec& layer : all)
        if (find_name(lists.working, layer.text) < 0) lists.drawing.push_back(layer);
    int colour = st.vector_colour;
    std::string poly_layer = st.poly_layer;

    auto modes = [](ads_hdlg dialog, std::initializer_list<const char*> keys, short mode) {
        for (const char* key : keys) ads_mode_tile(dialog, key, mode);
    };
    dialog_def def;
    def.file = "TreedPoly_Setting.dcl";
    def.name = "treedpoly_setting_dlg";
    def.tiles = {
        tile_action("dwg_layer_listbox",
                    [&](ads_callback_packet* packet) {
                        lists.drawing_chosen = std::atoi(packet->value);
                        modes(packet->dialog, {"add_btn"}, MODE_ENABLE);
                        modes(packet->dialog, {"remove_btn", "new_layer_btn", "clayer_btn"}, MODE_DISABLE);
                    }),
        tile_action("wk_layer_listbox",
                    [&](ads_callback_packet* packet) {
                        lists.working_chosen = std::atoi(packet->value);
                        modes(packet->dialog, {"remove_btn", "clayer_btn"}, MODE_ENABLE);
                        modes(packet->dialog, {"add_btn"}, MODE_DISABLE);
                    }),
        tile_action("add_btn",
                    [&](ads_callback_packet* packet) {
                        const int i = lists.drawing_chosen;
                        if (i < 0 || i >= static_cast<int>(lists.drawing.size())) return;
                        if (!fits_with(packet->dialog, lists, lists.drawing[i].text)) return;
                        lists.working.push_back({0, lists.drawing[i].text});
                        lists.drawing.erase(lists.drawing.begin() + i);
                        lists.drawing_chosen = -1;
                        ads_set_tile(packet->dialog, "error", "");
                        modes(packet->dialog, {"add_btn"}, MODE_DISABLE);
                        lists_show(packet->dialog, lists);
                    }),
        tile_action("remove_btn",
                    [&](ads_callback_packet* packet) {
                        const int i = lists.working_chosen;
                        if (i < 0 || i >= static_cast<int>(lists.working.size())) return;
                        // A layer of the drawing goes back to its list; a typed name
                        // (or a stored one the drawing has no layer of) is dropped.
                        if (lists.working[i].key == 0 && layer_in_drawing(lists.working[i].text))
                            insert_sorted(lists.drawing, {0, lists.working[i].text});
                        lists.working.erase(lists.working.begin() + i);
                        lists.working_chosen = -1;
                        modes(packet->dialog, {"remove_btn", "clayer_btn"}, MODE_DISABLE);
                        lists_show(packet->dialog, lists);
                    }),
        tile_action(
            "t_new_layer",
            [&](ads_callback_packet* packet) { new_layer_add(packet->dialog, lists, packet->value); }),
        tile_action("new_layer_btn",
                    [&](ads_callback_packet* packet) {
                        char typed[256] = {0};
                        ads_get_tile(packet->dialog, "t_new_layer", typed, sizeof typed);
                        new_layer_add(packet->dialog, lists, typed);
                    }),
        tile_action("clayer_btn",
                    [&](ads_callback_packet* packet) {
                        const int i = lists.working_chosen;
                        if (i < 0 || i >= static_cast<int>(lists.working.size())) return;
                        poly_layer = lists.working[i].text;
                        ads_set_tile(packet->dialog, "t_clayer", poly_layer.c_str());
                    }),
        tile_integer("t_draw_color", colour),
        tile_layer("t_clayer", poly_layer, 254),
        tile_button("ok", DLGOK),
        tile_button("cancel", DLGCANCEL)};
    def.on_open = [&](ads_hdlg dialog) {
        lists_show(dialog, lists);
        modes(dialog, {"remove_btn", "clayer_btn", "add_btn"}, MODE_DISABLE);
    };
    const int status = dialog_run(def);
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        st.working_layers = lists.working;
        st.vector_colour = colour;
        st.poly_layer = poly_layer;
        drafting_settings_store(kApp, treedpoly_layers_text(st.working_layers), kTreedPolyTextLimit);
    }
    return status;
}

int treedpoly_select_layer_dlg()
{
    treedpoly_state_rec& st = treedpoly_state();
    std::vector<std::string> names;
    for (const key_string_rec& layer : st.working_layers) names.push_back(layer.text);
    int chosen = 0;
    dialog_def def;
    def.file = "TreedPoly_Select_Layer.dcl";
    def.name = "treedpoly_select_layer_dlg";
    def.tiles = {tile_popup("wk_layer_listbox", chosen, names), tile_button("ok", DLGOK),
                 tile_button("cancel", DLGCANCEL)};
    const int status = dialog_run(def);
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        if (chosen >= 0 && chosen < static_cast<int>(names.size()))
            st.poly_layer = names[chosen];
        else
            acutPrintf("\nNo working layer to choose: add them under <S>etting.");
    }
    return status;
}

int b_treed_poly()
{
    treedpoly_state_rec& st = treedpoly_state();
    const int was_loaded = st.loaded;
    dwg_path_track(st.loaded, st.dwg_path);
    if (was_loaded && !st.loaded) st.working_layers.clear();
    if (!st.loaded) {
        st.vector_colour = 2;
        st.decimals = 3;
        st.prev_level = 0.0;
        st.last_height = 0.0;
        layer_current_get(st.poly_layer);
        settings_key_rec key;
        settings_key_make(key, kApp, kApp);
        std::string stored;
        if (drawing_setting_get(key, stored) != RTNORM) {
            acedAlert("Fail Creating Layer :Orvik_Survey_temp");
            return 0;
        }
        st.working_layers = treedpoly_layers_parse(stored);
        if (treedpoly_setting_dlg() != DLGOK) return 1;
        st.loaded = 1;
    }
    acutPrintf("\n3D Polyline version sds 1.1");
    numbered_point_list vertices;
    for (;;) {
        acutPrintf("\nPrev Level:%.3f Layer:%s ", st.prev_level, st.poly_layer.c_str());
        const bool started = !vertices.empty();
        std::string text;
        point3d_rec picked;
        const int rc = prompt_point_or_text(started ? kPromptNext : kPromptFirst, "",
                                            started ? &vertices.back().point : nullptr, text, picked);
        if (rc == 1) {
            vertex_pick(vertices, picked);
            continue;
        }
        if (rc != 2) break;
        const std::string word = str_upper_copy(text);
        if (word == "X") break;
        if (word == "S") {
            treedpoly_setting_dlg();
        } else if (word == "R") {
            vectors_redraw(vertices, true);
        } else if (word == "L") {
            treedpoly_select_layer_dlg();
        } else if (word == "U") {
            if (vertices.size() >= 2) {
                vertices.pop_back();
                // The screen is regenerated so that the undone leg goes too.
                vectors_redraw(vertices, true);
            }
        } else if (word == "A" && started) {
            auta(vertices);
        }
    }
    polyline_make(vertices);
    return 1;
}
