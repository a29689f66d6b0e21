// The host's one font model, shared by acedTextBox, the placing of justified
// texts and the picture renderer, so that what a command measures and what the
// host draws agree.
//
// Every glyph is a cell of width 0.8 x height x width factor and of the text's
// height, on the baseline: a text of n glyphs has the box (0, 0) to
// (0.8 n h w, h). The control codes "%%d", "%%c", "%%p", "%%%" and "%%nnn"
// (three digits) are one glyph each; "%%o" and "%%u" (overline and underline
// switches) are none; a "\U+XXXX" escape and a character of the UTF-8 text
// are one glyph each.
#pragma once

#include <string>

#include "db/drawing.h"

namespace host {

inline constexpr double kGlyphAdvance = 0.8;

int glyph_count(const std::string& text);

struct TextBox {
    Point3 lower_left, upper_right;
};
// The unrotated box relative to the text's insertion point (group 10).
TextBox text_box(const std::string& text, double height, double width_factor);

// Offset of the alignment point (group 11) from the insertion point (group 10)
// along the baseline (x) and across it (y), before rotation, for the horizontal
// justification 72 (0 left, 1 centre, 2 right, 4 middle; 3 and 5 are taken as
// left) and vertical justification 73 (0 baseline, 1 bottom, 2 middle, 3 top).
Point3 alignment_offset(const std::string& text, double height, double width_factor, int h_justify,
                        int v_justify);

// The insertion point of a justified text from its alignment point and rotation
// (radians, counter-clockwise from east).
Point3 insertion_from_alignment(const Point3& alignment, const std::string& text, double height,
                                double width_factor, double rotation, int h_justify, int v_justify);

// The text as it is shown: control codes turned into the characters they stand
// for ("%%d" into a degree sign), in UTF-8.
std::string displayed_text(const std::string& text);

}  // namespace host
