// Tools for bearing texts already in the drawing and a bearing-and-distance
// report between picked points. Bearing texts are read with the library's
// bearing-text parser and written back through the pending text change.
#pragma once

// Joins a picked bearing text and a picked distance text into the bearing text
// and deletes the distance text.
int b_bgd_combine_bgd();
// Turns every selected bearing text round by 180 degrees.
int b_bgd_reverse_bg();
// Widens or narrows the blanks between the parts of a picked bearing text.
int b_bgd_spc();
// Reports bearings and distances from a base point on the command line.
int b_gd();
