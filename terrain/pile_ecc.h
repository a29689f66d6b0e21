// Piling eccentricity: the plan displacement of a pile as built from its
// designed position, as east and north components in millimetres of a site
// grid that may be rotated against the drawing. b_piling_pick labels one pile
// at a time from picked points; b_pile_auto matches every proposed pile of a
// site to its nearest surveyed point and labels each matched pair. Both draw
// the same figure: two arrow blocks and two number texts.
#pragma once

#include <string>
#include <vector>

#include "points.h"

// The figure's settings, as each command hands them over.
struct pile_figure_style {
    double scale = 100.0;       // plot scale: sizes are given at 1:1000
    double text_height = 1.3;   // at 1:1000
    double width_factor = 1.0;  // of the texts
    double grid_rotation = 0;   // bearing of the site grid's north, degrees
    std::string layer;          // the eccentricity layer
    std::string block_file;     // the arrow block drawing
    bool tag_texts = false;     // the texts carry "PILE_AUTO_DAT" data with their value
};

// The figure's numbers for pile cap C, surveyed point S and label point L.
struct pile_ecc_rec {
    double east = 0, north = 0;  // grid components of C to S, metres, signed
    point3d_rec east_point;      // B: the east arrow and text
    point3d_rec north_point;     // A: the north arrow and text
    std::string east_text, north_text;
};
pile_ecc_rec pile_ecc_compute(const pile_figure_style& style, const point3d_rec& cap,
                              const point3d_rec& surveyed, const point3d_rec& label);
// Brings the arrow block into the drawing (block_name gets its name) and makes
// the eccentricity layer; false, after a message, when the block drawing
// cannot be found or read.
bool pile_block_ready(const pile_figure_style& style, std::string& block_name);
// Draws the figure with the block pile_block_ready brought in.
void pile_figure_draw(const pile_figure_style& style, const std::string& block_name, const point3d_rec& cap,
                      const point3d_rec& surveyed, const point3d_rec& label);
// The arrow block drawing a stored name stands for: the name itself when the
// file is there; the installed drawing when the name is the fixed path older
// drawings stored.
std::string pile_block_file(const std::string& stored);
// The installed arrow block drawing: the installation folder's "drawing" folder.
std::string pile_block_default();

// ---- b_piling_pick ----------------------------------------------------------------------

struct pile_pick_cfg_rec {
    double scale = 100.0;
    double text_height = 1.3;
    double width_factor = 1.0;
    double grid_rotation = 0.0;
    int lock_layer = 1;  // stored and read back; drives nothing else
    std::string block_file;
    std::string layer = "pile_ecc";
    int loaded = 0;  // 1 after the first use
};
pile_pick_cfg_rec& pile_pick_cfg();
// The defaults (the block in the installation folder).
pile_pick_cfg_rec pile_pick_defaults();
// "scale,height,width,rotation,lock,block," as stored on the eccentricity layer.
std::string pile_pick_cfg_text(const pile_pick_cfg_rec& cfg);
// Saves the layer name on the settings layer and the list on the eccentricity
// layer (made when missing); false after the alert.
bool pile_pick_cfg_save(const pile_pick_cfg_rec& cfg);
// Shows piling_pick_dlg; status 1 takes the values and saves them. The status,
// or -2 when the dialog could not be shown.
int piling_pick_dlg_run();
// The over-limit tool: eccentricity texts above a limit go to the layer
// "<layer>_<limit>".
int pile_over_limit_tool();
int b_piling_pick();

// ---- b_pile_auto ------------------------------------------------------------------------

struct pile_auto_rec {
    double scale = 100.0;
    double text_height = 1.3;
    double width_factor = 1.0;
    double grid_rotation = 90.0;
    std::string ecc_layer = "Pile_ecc";
    std::string surveyed_layer = "Pile_surveyed";
    std::string proposed_layer = "Pile_Proposed";
    std::string block_file;
    std::vector<std::string> object_types = {"POINT", "CIRCLE", "BLOCK"};
    int object_position = 0;
    numbered_point_list surveyed;  // number -1 as collected
    numbered_point_list proposed;  // number: the matched surveyed point, or -1
    int loaded = 0;
};
pile_auto_rec& pile_auto();
pile_auto_rec pile_auto_defaults();

// A surveyed point farther than this from a proposed pile is no match for it.
inline constexpr double kPileMatchLimit = 20.0;

// The KEY=VALUE list of the settings, and its reader (unknown keys skipped).
std::vector<std::string> pile_auto_cfg_entries(const pile_auto_rec& cfg);
void pile_auto_cfg_read(const std::vector<std::string>& entries, pile_auto_rec& cfg);

// What the matching made of the proposed piles.
struct pile_match_result {
    int labelled = 0;
    int unmatched = 0;  // no surveyed point within the limit
    int lost = 0;       // a nearer pile kept their surveyed point
};
// Matches every proposed pile to its nearest surveyed point within the limit
// through the nearest-point index, settles shared points (the nearest pile
// keeps one; of equally near piles the later in the list), and reports every
// pile left without a point. The piles' numbers hold the result.
pile_match_result pile_auto_match(numbered_point_list& proposed, const numbered_point_list& surveyed);

int piling_auto_dlg_run();
int b_pile_auto();
