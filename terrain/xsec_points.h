// The cross-section point file b_ptpxsection: section by section the user
// picks a point of the centre line and the side that counts as left, then the
// section's points (picked, or selected POINT entities); each point becomes a
// line "sequence,chainage,offset,level,code" of the output file, the offset
// signed negative on the left. The chainage advances by the interval after
// every section. The settings last while the plug-in is loaded.
#pragma once

#include <string>
#include <vector>

#include "points.h"

// One section point, in pick order.
struct xsec_pnt_rec {
    int number = 0;  // running number: the count of the list + 1 when added
    double x = -99999999.0;
    double y = -99999999.0;
    double z = -99999999.0;  // the level written to the file
    double chainage = -99999999.0;
    double offset = -99999999.0;  // signed plan offset from the centre-line point
    std::string code;
};

// The command's settings (not stored in the drawing).
struct xsec_cfg_rec {
    double chainage = 0.0;  // of the next section
    double interval = 25.0;
    int ask_codes = 0;
    int right = 0;   // shown and remembered; drives nothing
    int method = 0;  // 0 by side pick, 1 by base line (not offered yet)
    std::string path;
    int new_file = 1;     // the next write starts the file afresh
    int pick_points = 0;  // 1 pick the points, 0 select POINTs
    int first_use = 0;    // 1 once the defaults are made
    int taken = 0;        // 1 once the dialog has ended with OK
};
xsec_cfg_rec& xsec_cfg();

// The signed offset of a point from the centre-line point: its plan distance,
// negative when the angle at the centre between the left pick and the point
// is below 90 degrees (a point square to the left pick counts as right).
double xsec_offset(const point3d_rec& centre, const point3d_rec& left, const point3d_rec& point);

// One line of the point file (without its line end); sequence counts from 1
// (the centre-line point) within its section.
std::string xsec_file_line(int sequence, const xsec_pnt_rec& point);

// Writes a section: a new file replaces the old one whole, otherwise the lines
// are added at the end; false when the file cannot be written (it is left as
// it was).
bool xsec_write_section(const std::string& path, bool new_file, const std::vector<xsec_pnt_rec>& points);

// The settings dialog PTX_dlg: 1 when it ended with OK (the settings taken),
// 0 when cancelled, dialog_not_shown when it could not be shown.
int ptx_dlg_run(xsec_cfg_rec& cfg);

int b_ptpxsection();
