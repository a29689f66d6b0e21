// The per-drawing settings store: each command keeps its settings as extended
// data of its own registered application on the layer "Orvik_survey_temp"
// (or on a further layer whose name that layer holds), either as one text
// (a comma list) or as a list of KEY=VALUE texts whose entry 0 is "INDEX=<n>".
#pragma once

#include <string>
#include <vector>

#include "ads.h"

// The address of one stored setting: three fields of at most 24 characters.
struct settings_key_rec {
    char layer[25];          // always "Orvik_survey_temp"
    char app[25];            // the registered application: the setting's name
    char default_value[25];  // written when the drawing has no setting yet
};
// Fills the record (texts longer than 24 characters are cut there) and returns it.
settings_key_rec settings_key_make(settings_key_rec& out, const char* app, const char* default_value);

// An integer key and a text the record owns; lists are vectors in insertion order.
struct key_string_rec {
    int key = 0;
    std::string text;
};
key_string_rec key_string_init(int key, const char* text);
void key_string_push(std::vector<key_string_rec>& list, int key, const char* text);
void key_string_push_b(std::vector<key_string_rec>& list, int key, const char* text);
// Appends key_text followed by: kind 1 the text, kind 2 the real in decimal mode
// with `integer` decimals, kind 3 the integer.
void key_string_push_format(int key, const char* key_text, const char* text, double real, int integer,
                            int kind, std::vector<key_string_rec>& list);

// Registers the application; prints "\n<app> already registered" when the host
// answers RTERROR. Returns the host's answer.
int regapp_register(const char* app);

// Gets the setting, creating the layer and storing the default when missing;
// the layer is made usable. RTNORM, or RTERROR when the layer or its extended
// data could not be made (out is then untouched).
int drawing_setting_get(settings_key_rec key, std::string& out);
// Finds the setting without storing a default (the layer is created when
// missing, and made usable); 1 when a text was copied, else -1.
int drawing_setting_find(settings_key_rec key, std::string& out);
// The first 1000 text of the application on the layer; 1, or -1. Registers and
// creates nothing.
int drawing_setting_read(const char* app, const char* layer, std::string& out);
// Appends every 1000 text of the application on the layer (key 0, stored order);
// 1, or -1 when the layer or its data of the application is missing.
int drawing_setting_read_list(const char* app, const char* layer, std::vector<key_string_rec>& list);

// Stores the text as the application's single text on the layer (made first by
// an entity list when layer_exists is 0). RTNORM or RTERROR.
int layer_xdata_put(const char* layer, const char* app, const char* text, int layer_exists);
// Stores the list's texts in the list form; 1 (after "\nSave succes") or RTERROR.
int layer_xdata_save_list(const char* layer, const char* app, int layer_exists,
                          const std::vector<key_string_rec>& list);
// The same on any entity, creating nothing; "\nsucces" and 1, or RTERROR.
int ent_xdata_save_list(const ads_name entity, const char* app, const std::vector<key_string_rec>& list);
// Reads the entity's data of the application; with the list request set,
// appends every 1000 text to the list and keeps the last one as the read text.
// Clears the read requests.
void xdata_read_string_list(const ads_name entity, const char* app, std::vector<key_string_rec>& list);

// "DWGPREFIX" followed by "DWGNAME": the current drawing's full path.
std::string dwg_full_path();
// A command's drawing-change detector: with loaded 0 the current path is
// remembered; otherwise a path that differs (without regard to case) from the
// remembered one clears loaded and is remembered.
void dwg_path_track(int& loaded, std::string& remembered_path);

// The comma-list form of a command's settings: each value followed by a comma,
// reals in decimal with the given decimals ("%.3f," for lengths, "%.6f," for
// angles and factors), integers and flags in decimal ("%i,"), names as they are ("%s,").
void comma_list_add(std::string& text, double value, int decimals);
void comma_list_add(std::string& text, int value);
void comma_list_add(std::string& text, const std::string& value);
