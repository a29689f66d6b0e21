// The interactive traverse command: open a traverse file or start a new one at
// a picked point, enter legs and radiations by bearing and distance, close
// routes, list, edit in the external editor and save. While it runs the
// traverse is shown as temporary vectors and station-number texts on the work
// layer; leaving erases the texts.
#pragma once

#include <string>

#include "points.h"
#include "trav_model.h"

// 1 when the menu ran, 0 when the user left at once or the open failed.
int b_trav();

// Defaults once, working values zeroed, work layer rebuilt and made usable,
// installation folder refreshed.
void trav_reset();
int new_trav_file(trav_lists& lists, const point3d_rec& picked);
int trav_menu(trav_lists& lists);
void trav_draw(trav_lists& lists, bool zoom);
void trav_erase_drawn();
// Picks (unless given) a point and adds it as FIXED: 0 failed, 1 added, 2
// overwritten.
int trav_add_new_point(const point3d_rec* given, int& number, point3d_rec& point,
                       trav_station_list& stations);
// Runs the editor on the settings' file; 1 when it answered, 0 when the
// start-and-wait failed (the file must then not be read back).
int run_trav_editor();
int save_trav_file_dlg(trav_lists& lists);

// The work layer's name ("Orvik_survey_temp").
std::string trav_work_layer();
// The scratch path used to edit a traverse that has no file: the drawing's
// folder + name + ".trv", or, when a file of that name already exists, the
// first free name + "-N" + ".trv" (the real file is never touched).
std::string trav_scratch_path();
