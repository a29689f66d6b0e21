// The tables of the bearing-distance engine: numbered rows for short legs and
// the engineering-style table of the traverse plot. Both write at the
// installed style's table position and move it down.
#pragma once

#include <string>

#include "points.h"

// One numbered row: the number at the marker point beside the leg, and the
// number, bearing, distance (and with table_coords the end point's northing and
// easting) at the table position. The angle is not used. RTNORM.
int bgd_table_row(const point3d_rec& p1, const point3d_rec& p2, const point3d_rec& marker, double angle,
                  const std::string& layer, const std::string& bearing_text, double distance,
                  const std::string& distance_text);
// Engineering-style rows (kind 0: two rows, returns 2; kind 1: one row;
// another kind: one row without the bearing). 1 when neither coordinates nor
// the engineering table are wanted.
int bgd_table_eng_style(const point3d_rec& p1, const point3d_rec& p2, const std::string& bearing_dms,
                        const std::string& distance_text, const std::string& column1,
                        const std::string& column2, int kind);
