// Cross-sections drawn by the cross-section program Dunmar (b_xsection): the
// drawing's folder and a starting point go to the program in "dunmar.tmp" of
// the temporary folder; the program is started and waited for on the
// handshake value "xsec_status"; then the texts, lines and block inserts of
// "dunmar5.tmp" and the offset lines of "dunmar6.tmp" are drawn at z 0.
//
// The cross-section area listing (xsec_area_listing_cmd) has no LISP function:
// it is a routine for a caller to offer. It measures the areas of picked
// regions section by section, labels them and lists them in
// "c:\xsection_area.cvs".
#pragma once

#include <string>

// Draws the records of an items file ("dunmar5.tmp"); false when it cannot be
// read (after the alert).
bool xsec_draw_items(const std::string& path);
// Draws the polylines of an offset-lines file ("dunmar6.tmp"); false when it
// cannot be read (after the alert). The shared polyline chain is left empty.
bool xsec_draw_offset_lines(const std::string& path);

// 1 when the result files were read, 0 when the command ended early.
int b_xsection();

void xsec_area_listing_cmd();
