// The pending text change: callers set a mode and a value, then apply it to
// TEXT entities one by one or per selection-set item. Texts are changed in place
// only this way.
//
// Modes: 1 text (group 1), 2 height (40), 3 rotation (50, from a bearing),
// 7 re-justify to middle (72 = 4, 11 = the box's middle), 8 colour (62),
// 9 style (7), 10 oblique angle (51, from a bearing), 11 width factor (41),
// 12 layer (8); 0 and modes above 12 write the text back unchanged; 4, 5 and 6
// do nothing.
#pragma once

#include <string>

#include "ads.h"

struct text_modify_rec {
    int mode = 0;
    std::string text;  // at most 259 characters
    double real = 0;   // height, width factor or angle in degrees
    int colour = 0;
    int ok_count = 0;    // changes the host accepted
    int fail_count = 0;  // changes the host refused
};
text_modify_rec& text_modify_pending();
// Sets mode and values in one call (the text is cut to 259 characters).
void text_modify_set(int mode, const std::string& text, double real, int colour);

// Applies the pending change to a TEXT. 1, or 0 when the host refuses the change
// or mode 7 changes nothing (already middle-justified, or no insertion point).
int text_modify_apply(const ads_name entity);
// text_modify_apply on a selection-set item; 0 when the item cannot be named.
int ss_text_modify(const ads_name set, long index);

// Gives a TEXT another justification in place, as mode 7 does for middle:
// group 72 becomes the justification (0 left, 1 centre, 2 right, each on the
// baseline; 4 middle) and 11 the matching point of the text's box, so that
// the text stays where it is drawn. 1, or 0 when it is already so justified,
// has no insertion point or the justification is none of those.
int text_justify_apply(const ads_name entity, int justification);
