// Labels from MapInfo attribute data: drawings that come from a MapInfo table
// carry the table's values as "ACAD" extended data on each object, one
// KEY=VALUE text per attribute. The command writes one attribute of each lot
// polyline as a text at the lot's centroid ("LOT" kind), or labels boundary
// polylines with their bearings and distances ("BDY" kind). The label types
// come from the field file "cfg/mapinfo_dwg_field.txt"; the chosen type, plot
// scale, text style and table settings are kept in the drawing under
// "MAPINFODXF".
#pragma once

#include <string>
#include <vector>

#include "ads.h"
#include "points.h"
#include "settings_store.h"

// One line of the field file.
struct mapinfo_field_rec {
    int code = 0;              // 2 allows the bearing-distance table
    std::string key;           // the attribute labelled (LOT kind)
    std::string name;          // shown in the dialog's list
    std::string kind;          // "LOT" or "BDY"
    std::string value_format;  // "AREA", "AREAM" or another
    std::string layer;
    double text_height = 0;  // at plot scale 1000
    double text_width = 0;
    double text_rotation = 0;  // a bearing; 90 reads horizontally
};

struct mapinfo_unit_rec {
    int precision = 0;
    std::string letter;
    std::string suffix;
};

struct mapinfo_settings_rec {
    int index = 0;  // the selected field record
    double plot_scale = 1000.0;
    int table = 0;
    int table_line_num = 1;
    int table_max_dist = 999;
    point3d_rec table_pos;
};

// What the command keeps for the life of the plug-in.
struct mapinfo_state_rec {
    std::vector<mapinfo_field_rec> fields;
    std::vector<mapinfo_unit_rec> area_units;
    std::vector<mapinfo_unit_rec> length_units;
    mapinfo_settings_rec settings;
    settings_key_rec settings_key{};
    settings_key_rec acad_key{};
    std::string dwg_path;  // the drawing the lists were loaded for
    int loaded = 0;
    int dialog_shown = 0;
};

mapinfo_state_rec& mapinfo_state();

inline constexpr const char* MAPINFO_SETTINGS_APP = "MAPINFODXF";
inline constexpr const char* MAPINFO_DATA_APP = "ACAD";

// The command; 1, or 0 when the files could not be loaded or the dialog was
// cancelled.
int mapinfo_export_command();
// Loads the field file, the unit lists and the stored settings once for each
// drawing; 0 (after "File not found.") when the field file is missing.
int mapinfo_fields_load();
// Reads the field file's lines into records; false when it cannot be opened.
bool mapinfo_fields_read(const std::string& path, std::vector<mapinfo_field_rec>& fields);
// The stored list: the settings, then per field record its layer and text style.
std::vector<key_string_rec> mapinfo_settings_list(const mapinfo_state_rec& state);
// Reads a stored list back by position into the settings and field records.
void mapinfo_settings_parse(const std::vector<key_string_rec>& list, mapinfo_state_rec& state);
int mapinfo_settings_write();
void mapinfo_settings_read();
// The dialog; its status (1 OK).
int mapinfo_label_dlg();

// The labels of the selected record's kind.
void mapinfo_lot_labels();
void mapinfo_boundary_select();
void mapinfo_boundary_labels(const ads_name set, long count);

// The centroid of the vertex ring with area a (the ring as listed: pairs of
// consecutive vertices, none from the last back to the first).
void polygon_centroid(const numbered_point_list& vertices, double area, point3d_rec& out);

// Prints every "ACAD" text of the selected objects.
void mapinfo_xdata_list_print();
