// The legend of the symbols used in a drawing: the user selects symbol block
// references, picks a location and a direction, and the legend gets a header
// and one row per distinct symbol that the installed symbol list describes
// (the block, its label and the list's description). No LISP function reaches
// it: it is a routine for a caller to offer.
#pragma once

#include <string>
#include <vector>

#include "ads.h"

// The dialog's values, held as texts for the plug-in's lifetime.
struct legend_values_rec {
    std::string scale = "1000";
    std::string text_height = "1.3";
    std::string width = "1.0";
    std::string layer = "LEGEND";
    std::string header = "PETUNJUK";
    std::string dist_a = "10";  // from a row's block to its description
    std::string dist_b = "5";   // from one row to the next
    std::string location = "0.000,0.000";
    std::string rotation = "90.0000";  // a bearing: 90 reads horizontally
    std::string selection = "0 obj sel.";
    int location_picked = 0;
    int blocks_selected = 0;
    // The names of the selected INSERTs, each once (compared without regard
    // to case), in selection order.
    std::vector<std::string> block_names;
    int loaded = 0;
    int luprec = 4;
};
legend_values_rec& legend_values();

// The dialog; 1, or 0 when it cannot be loaded or shown.
int legend_dlg_run();
// Reads the symbol list and draws the legend from the values; 1, or 0 when
// the list cannot be read (said on the command line).
int symboldata_bin_load();
// Takes the block names of the INSERTs of a selection into the values.
void legend_blocks_collect(const ads_name set);
