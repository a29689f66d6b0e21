// The KML export's command, its dialog and the collectors that gather paths:
// picked point by point, or read from the LINEs and polylines of a selection.
#include "kml_export.h"

#include <cstdlib>

#include "adsdlg.h"
#include "constants.h"
#include "coord_sys.h"
#include "dialog_conventions.h"
#include "entity_readers.h"
#include "polyline_read.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "text_fields.h"

namespace {

const char* const kStates[] = {
    "Pulau Pinang",    "Kedah and Perlis",       "Perak",      "Kelantan",          "N.Sembilan and Melaka",
    "Johor",           "Selangor and K. Lumpur", "Terengganu", "Pahang Barat Daya", "Pahang Barat Laut",
    "Pahang Tenggara", "Pahang Timur Laut"};

const char* const kProjections[] = {COORD_CASSINI_OLD, COORD_CASSINI_GEOCENTRIC, COORD_RSO_OLD,
                                    COORD_RSO_GEOCENTRIC};

std::vector<std::string> list_texts(const std::vector<key_string_rec>& list)
{
    std::vector<std::string> out;
    for (const key_string_rec& entry : list) out.push_back(entry.text);
    return out;
}

// The entry at the index, or "" outside the list.
std::string list_text_at(const std::vector<key_string_rec>& list, int index)
{
    return index >= 0 && index < static_cast<int>(list.size()) ? list[static_cast<size_t>(index)].text : "";
}

bool is_exit(std::string text)
{
    str_upper(text);
    return text == "X";
}

// A path of the vertices, closed ones to the closed-path list (written as
// polygons, their ring closed by the repeated first vertex).
void add_path(const numbered_point_list& vertices, bool closed)
{
    if (vertices.empty()) return;
    kml_settings_rec& s = kml_settings();
    kml_path_rec path{kml_path_name_next(), vertices.front().point, vertices};
    // A ring needs three corners besides its closing vertex.
    if (closed && vertices.size() >= 4)
        s.closed_paths.push_back(std::move(path));
    else
        s.paths.push_back(std::move(path));
}

// The polyline vector as read, and whether it is closed (flag 1).
void add_polyline_path(const polyline_vertices_rec& read)
{
    const bool closed = (read.flags & 1) != 0;
    numbered_point_list vertices = read.vertices;
    for (numbered_point& v : vertices) v.number = 0;
    add_path(vertices, closed);
}

void set_tile(ads_hdlg dialog, const char* key, const std::string& value)
{
    ads_set_tile(dialog, key, value.c_str());
}

}  // namespace

kml_settings_rec& kml_settings()
{
    static kml_settings_rec settings;
    return settings;
}

void kml_settings_init(kml_settings_rec& s)
{
    s = kml_settings_rec{};
    s.folder_name = "DodaZUZ";
    int key = 0;
    for (const char* state : kStates) key_string_push(s.state_list, key++, state);
    key = 0;
    for (const char* projection : kProjections) key_string_push(s.projection_list, key++, projection);
    s.loaded = 1;
}

int kml_export_command()
{
    kml_settings_rec& s = kml_settings();
    if (!s.loaded) kml_settings_init(s);
    kml_export_dlg();
    s.paths.clear();
    s.closed_paths.clear();
    return 1;
}

int kml_export_dlg()
{
    kml_settings_rec& s = kml_settings();
    const std::vector<std::string> states = list_texts(s.state_list);
    const std::vector<std::string> projections = list_texts(s.projection_list);
    auto choose_file = [&s](ads_callback_packet* packet) {
        std::string path;
        if (!file_dialog_dwgprefix("Google KML", "", "kml", 1, path)) return;
        s.file_name = path;
        s.file_chosen = 1;
        set_tile(packet->dialog, "text_googlekml_filename", s.file_name);
        ads_mode_tile(packet->dialog, "ok", MODE_ENABLE);
    };
    dialog_def def{
        "gdm2000_google_kml.dcl",
        "google_kml",
        {tile_popup("pop_negeri", s.state_index, states),
         tile_popup("pop_projection", s.projection_index, projections),
         tile_action("file_googlekml_btn", choose_file), tile_button("btn_pick_pl", 2),
         tile_button("btn_select_all", 3), tile_button("ok", DLGOK), tile_button("cancel", DLGCANCEL)}};
    def.on_open = [&s](ads_hdlg dialog) {
        if (s.file_chosen) set_tile(dialog, "text_googlekml_filename", s.file_name);
        set_tile(dialog, "text_folder_name", s.folder_name);
        ads_mode_tile(dialog, "ok", s.file_chosen ? MODE_ENABLE : MODE_DISABLE);
    };
    const int status = dialog_run(def, [](int pick) {
        if (pick == 2) kml_pick_path();
        if (pick == 3) kml_select_objects();
        return true;
    });
    if (status == dialog_not_shown) return 0;
    if (status == DLGOK) {
        s.state_name = list_text_at(s.state_list, s.state_index);
        s.projection_name = list_text_at(s.projection_list, s.projection_index);
        kml_export_write();
    }
    return 1;
}

std::string kml_path_name_next()
{
    const kml_settings_rec& s = kml_settings();
    return "Line" + std::to_string(s.paths.size() + s.closed_paths.size() + 1);
}

void kml_pick_path()
{
    kml_settings_rec& s = kml_settings();
    std::string name;
    prompt_string(1, 1, "Path Name", s.paths.empty() ? "Path1" : s.paths.back().name, name);

    numbered_point_list picked;
    std::string text;
    point3d_rec point;
    for (;;) {
        const int rc = prompt_point_or_text("\ne<X>it <Pick Point>", "", nullptr, text, point);
        if (rc == 1) break;
        if (rc != 2 || is_exit(text)) return;
    }
    numbered_point_push(picked, 0, point);
    for (;;) {
        const point3d_rec last = picked.back().point;
        const int rc = prompt_point_or_text("\ne<X>it <Pick Next Point>", "", &last, text, point);
        if (rc == 1) {
            ads_point from, to;
            point_to_ads(last, from);
            point_to_ads(point, to);
            acedGrDraw(from, to, 2, 0);
            numbered_point_push(picked, 0, point);
            continue;
        }
        if (rc != 2 || is_exit(text)) break;
    }
    if (picked.size() < 3) return;
    s.paths.push_back(kml_path_rec{name, picked.front().point, picked});
}

void kml_select_objects()
{
    acutPrintf("\nSelect object :");
    ads_name ss;
    if (acedSSGet(nullptr, nullptr, nullptr, nullptr, ss) != RTNORM) return;
    long length = 0;
    if (acedSSLength(ss, &length) != RTNORM || length == 0) {
        acedSSFree(ss);
        return;
    }
    acutPrintf("\nProcessing selected items ...");
    for (long i = 0; i < length; ++i) {
        ads_name entity;
        resbuf* list = nullptr;
        if (acedSSName(ss, i, entity) != RTNORM || (list = acdbEntGet(entity)) == nullptr) {
            acutPrintf("\nSelected object error!");
            break;
        }
        const std::string type = str_upper_copy(rb_get_str(list, 0) ? rb_get_str(list, 0) : "");
        acutRelRb(list);
        if (type == ENT_LINE)
            kml_add_line(entity);
        else if (type == ENT_LWPOLYLINE)
            kml_add_lwpolyline(entity);
        else if (type == ENT_POLYLINE)
            kml_add_polyline(entity);
    }
    acedSSFree(ss);
}

void kml_add_line(const ads_name entity)
{
    point3d_rec start, end;
    if (!ss_line_ends_pair(entity, -1, start, end)) return;
    numbered_point_list vertices;
    numbered_point_push(vertices, 0, start);
    numbered_point_push(vertices, 0, end);
    add_path(vertices, false);
}

void kml_add_lwpolyline(const ads_name entity)
{
    if (!lwpoly_read_vertices(entity, -1)) return;
    add_polyline_path(lwpoly_vertices);
}

void kml_add_polyline(const ads_name entity)
{
    polyline_read_vertices(entity, -1);
    add_polyline_path(polyline_vertices);
}

void kml_paths_print()
{
    for (const kml_path_rec& path : kml_settings().paths) {
        acutPrintf("\nPath=%s", path.name.c_str());
        for (const numbered_point& v : path.vertices) acutPrintf("\n%.3f,%.3f", v.point.x, v.point.y);
    }
}

int kml_coords_parse(const std::string& line, double& x, double& y, double& z)
{
    x = 100.0;
    y = 101.0;
    z = 103.0;
    std::string text, without;
    str_replace_all(line, text, "<coordinates>", "");
    str_replace_all(text, without, "</coordinates>", "");
    const std::vector<std::string> fields = str_split(without, ',');
    if (fields.size() != 3) return 0;
    x = std::atof(fields[0].c_str());
    y = std::atof(fields[1].c_str());
    z = std::atof(fields[2].c_str());
    return 1;
}

void kml_placemark_add(std::vector<kml_placemark_rec>& list, const std::array<std::string, 6>& words,
                       const std::string& name)
{
    list.push_back(kml_placemark_rec{words, name, "#m_ylw-pushpin"});
}

void kml_text_pair_init(kml_text_pair_rec& pair)
{
    if (pair.set) return;
    pair.first.clear();
    pair.second.clear();
    pair.set = 1;
}

void kml_text_pair_set_first(kml_text_pair_rec& pair, const std::string& text)
{
    pair.first = text;
}

void kml_text_pair_set_second(kml_text_pair_rec& pair, const std::string& text)
{
    pair.second = text;
}
