// 3D polylines from picked heights: b_treed_poly draws a 3D POLYLINE through
// picked points, each at a typed height; between two known heights the middle
// points can take heights shared out by distance along the chain ("Auta").
// The legs show as temporary vectors while picking. The polyline goes on a
// layer chosen from the working layers that the drawing keeps under the
// application "TREED_POLY".
#pragma once

#include <string>
#include <vector>

#include "adsdlg.h"
#include "points.h"
#include "settings_store.h"

struct treedpoly_state_rec {
    int loaded = 0;
    std::string dwg_path;
    // Key 0 for a layer of the drawing, 1 for a name typed as a new layer.
    std::vector<key_string_rec> working_layers;
    std::string poly_layer;  // the layer the polyline is made on
    int vector_colour = 2;
    int decimals = 3;
    double prev_level = 0.0;
    double last_height = 0.0;
};
treedpoly_state_rec& treedpoly_state();

// The longest stored text of the working layers.
inline constexpr size_t kTreedPolyTextLimit = 254;

// The stored text: each working layer's name followed by a comma.
std::string treedpoly_layers_text(const std::vector<key_string_rec>& layers);
// Every non-empty field of a stored text as a working layer (key 0).
std::vector<key_string_rec> treedpoly_layers_parse(const std::string& text);

// The command: 0 when the settings layer cannot be used, 1 otherwise.
int b_treed_poly();
// The settings dialog; its last status (0 also when it could not be shown). OK
// stores the working layers.
int treedpoly_setting_dlg();
// Fills a list tile with the texts of the list in order (empty for an empty list).
void set_list_tile(ads_hdlg dialog, const char* key, const std::vector<key_string_rec>& list);
// Choosing the polyline layer among the working layers; its last status.
int treedpoly_select_layer_dlg();
