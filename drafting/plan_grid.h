// The plan grid: b_block_grid marks the grid values that cross a map frame with
// short ticks at the frame's edges and writes the northings and eastings inside
// the frame, in Malay (U S B T) or English (N S W E) letters. The frame is
// picked at every call; the settings live only in the loaded plug-in, shared by
// every drawing.
#pragma once

#include <string>

#include "points.h"

struct pelan_grid_cfg_rec {
    std::string layer = "BLOCK_GRID";  // ticks and texts
    double scale = 1000.0;             // the drawing's 1:n
    double interval = 100.0;           // grid interval, metres
    double text_height = 2.0;          // at 1:1000
    double width_factor = 1.0;
    double tick_length = 10.0;  // at 1:1000
    double text_spacing = 2.0;  // at 1:1000
    int language = 0;           // 0 Malay, 1 English
};
pelan_grid_cfg_rec& pelan_grid_cfg();

// The frame: origin P1, north point P2 and east point P3, all at z 0.
struct grid_frame_rec {
    point3d_rec p1, p2, p3;
    bool picked = false;
};

// Kinds of grid label.
inline constexpr int kGridEasting = 0;
inline constexpr int kGridNorthing = 1;

// The command: 0 when the dialog is cancelled or nothing can be drawn, 1 after
// drawing.
int b_block_grid();
// The settings dialog; its last status (0 also when it could not be shown). On
// OK the tiles become the settings; the frame picked in it goes to frame.
int pelan_grid_dlg(grid_frame_rec& frame);
// Asks the three frame points; true when all three were given and they span a
// frame (frame.picked says the same).
bool grid_frame_pick(grid_frame_rec& frame);
// Draws the ticks and texts of the frame with the current settings; 1, or 0
// (after a message, drawing nothing) when the interval is not above 0.
int block_grid_draw(const grid_frame_rec& frame);
// One grid label at the edge point q for the value, by the tick direction
// (a bearing) and the kind; another kind writes nothing.
void grid_label_text(const point3d_rec& q, double value, double tick_direction, int kind);

// Brings a grid value next to base. Within one interval of each other base and
// start leave the candidate as it is; with start above base the candidate steps
// down until it is below base and the last value not below it is returned; with
// start below base it steps up until it is above base. Prints the values
// compared ("\ndist[..] startx[..] px[..] pbase[..]"). No command calls it.
double grid_value_align(double base, double start, double candidate, double interval);
