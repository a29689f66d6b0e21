// The LINEs a picked segment crosses, for the commands that work lot by lot
// along a segment (the area labels' auto mode, the lot numbers' auto-label
// mode): the segment is made 1.0 longer at both ends, the LINEs are found by a
// fence (or taken from the user's own selection), each is highlighted, and
// the crossings come sorted from the segment's start. A place where several
// lines meet (a T-junction, a cross) is one crossing, so that no empty "lot"
// lies between two crossings at the same place.
#pragma once

#include <vector>

#include "ads.h"
#include "points.h"

struct segment_crossing {
    double distance = 0;  // from the extended segment's start
    point3d_rec point;
};

// The crossings of the segment from p1 to p2 with LINEs: by fence, or with
// own_selection from a selection the user makes (filtered on LINE). set gets
// the selection set (its LINEs highlighted), which the caller frees. false,
// with no set, when no LINE was selected.
bool segment_line_crossings(const point3d_rec& p1, const point3d_rec& p2, bool own_selection,
                            std::vector<segment_crossing>& crossings, ads_name set);
// The midpoints between consecutive crossings: one in each lot crossed.
std::vector<point3d_rec> crossing_midpoints(const std::vector<segment_crossing>& crossings);
// Removes the highlighting of every entity of the set.
void ss_unhighlight(const ads_name set);
