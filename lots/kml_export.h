// The KML export: lines and polylines of the drawing, or paths picked point by
// point, written as KML placemarks in WGS84 longitudes and latitudes. The user
// chooses the state and the projection the drawing's coordinates are in; every
// vertex goes through the coordinate converter (coord_sys.h).
#pragma once

#include <array>
#include <string>
#include <vector>

#include "ads.h"
#include "points.h"
#include "settings_store.h"

// One collected path.
struct kml_path_rec {
    std::string name;
    point3d_rec first_point;
    numbered_point_list vertices;  // in drawing order, number 0
};

// The export's settings, kept while the plug-in is loaded.
struct kml_settings_rec {
    std::vector<kml_path_rec> paths;         // written as LineString placemarks
    std::vector<kml_path_rec> closed_paths;  // closed polylines, written as Polygon placemarks
    unsigned char loaded = 0;
    std::string file_name;
    std::string folder_name;
    std::string state_name;
    std::string projection_name;
    unsigned char file_chosen = 0;
    int state_index = 0;
    int projection_index = 0;
    std::vector<key_string_rec> state_list;
    std::vector<key_string_rec> projection_list;
};

kml_settings_rec& kml_settings();
// The defaults: folder "DodaZUZ", the state and projection lists.
void kml_settings_init(kml_settings_rec& settings);

// The command: the dialog, then the collected paths are emptied. Returns 1.
int kml_export_command();
// The dialog until OK (which writes the file) or cancel; 0 when it could not
// be shown, else 1.
int kml_export_dlg();

// The collectors.
void kml_pick_path();
void kml_select_objects();
void kml_add_line(const ads_name entity);
void kml_add_lwpolyline(const ads_name entity);
void kml_add_polyline(const ads_name entity);
// "Line<n>" with n one more than the paths collected so far.
std::string kml_path_name_next();

// Writes the collected paths into the settings' file. 1 when the file was
// written; 0 when a vertex could not be converted (nothing is written, the
// file on disk stays as it was) or the file could not be written ("File
// error.").
int kml_export_write();
// The document's parts.
std::string kml_write_header();
std::string kml_write_path(const kml_path_rec& path, const std::vector<std::array<double, 2>>& lon_lat);
std::string kml_write_polygon(const kml_path_rec& path, const std::vector<std::array<double, 2>>& lon_lat);
std::string kml_write_footer();
// A text as XML character data: the five markup characters escaped, bytes
// that are no UTF-8 read as Latin-1, control characters dropped.
std::string kml_xml_text(const std::string& text);

// Routines no command calls: the collected paths on the command line, one
// coordinate line read back, a placemark record list, and a pair of texts.
void kml_paths_print();
int kml_coords_parse(const std::string& line, double& x, double& y, double& z);
struct kml_placemark_rec {
    std::array<std::string, 6> words;
    std::string name;
    std::string style;
};
void kml_placemark_add(std::vector<kml_placemark_rec>& list, const std::array<std::string, 6>& words,
                       const std::string& name);
struct kml_text_pair_rec {
    std::string first;
    std::string second;
    unsigned char set = 0;
};
void kml_text_pair_init(kml_text_pair_rec& pair);
void kml_text_pair_set_first(kml_text_pair_rec& pair, const std::string& text);
void kml_text_pair_set_second(kml_text_pair_rec& pair, const std::string& text);
