// Making, checking and listing layers, and the sorted name lists of the
// LAYER, BLOCK and STYLE tables for the dialogs' pop-up lists.
#pragma once

#include <string>
#include <vector>

#include "settings_store.h"

// Adds a layer (colour 7, thawed, on, unlocked) through the database classes;
// prints "\n<name> already exists" and adds nothing when the table has it.
// 1 when the layer was added, else 0.
int layer_create(const char* name);
// Creates the layer when the LAYER table lacks it; 1 when created, 0 when it existed.
int layer_ensure(const char* name);
// Thaws, unlocks and turns on the layer as needed through the host's "Layer"
// command; nothing for a missing layer.
void layer_make_usable(const char* name);
// The layer's group 70 flags; -1 when it is missing.
int layer_flags_get(const char* name);
// 1 when every character is a letter, a digit or one of "$-_" (or, with
// allow_star 1, when the name ends in "*"); else an alert and 0. An empty name
// is refused with the same alert.
int layer_name_valid(const char* name, int allow_star);

// The file-level name lists, replaced at every listing.
extern std::vector<std::string> layer_name_list;
extern std::vector<std::string> block_name_list;
extern std::vector<std::string> style_name_list;
// Each fills its list with the table's names sorted ascending without regard to
// case, and returns the count.
int layer_table_list();
int block_table_list();
int style_table_list();
// Adds every LAYER name (key 0) to the caller's list, each placed by comparison
// of names without regard to case.
void layer_table_list_into(std::vector<key_string_rec>& list);
void layer_list_free();
// The layer of the block definition's first entity ("0" first); 1 when found.
int block_layer_get(const char* block, std::string& layer);
