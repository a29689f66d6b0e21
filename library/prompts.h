// Every command talks to the user on the host's command line through these
// prompts. A default stands in angle brackets behind the prompt and is taken on
// an empty answer; a cancelled prompt (Esc) asks the same question again, except
// the picks, the file dialog, prompt_angle_dms and prompt_yes_no, which end.
//
// Most prompts take a prompt_spec: comma-separated fields, "nil" marking an
// empty one:
//   keyword prompt:   flags, keywords (blank-separated), prompt, default keyword
//   real/int prompts: flags, keywords, prompt (the default is passed apart)
//   string prompt:    flags (not used), prompt, spaces ("nil": a blank ends the
//                     answer; anything else allows blanks)
// Flags are acedInitGet bits in decimal.
#pragma once

#include <string>

#include "points.h"

// Asks a keyword; out gets the keyword, or the upper-cased default on an empty
// answer. Returns 0.
int prompt_kword_spec(const std::string& spec, std::string& out);
std::string prompt_kword(const std::string& flags, const std::string& keywords, const std::string& prompt,
                         const std::string& default_keyword);
void prompt_kword_into(const std::string& flags, const std::string& keywords, const std::string& prompt,
                       const std::string& default_keyword, std::string& out);

// Asks a text; an empty answer gives the default (also when it is "nil").
int prompt_string_spec(const std::string& spec, const std::string& default_text, std::string& out);
int prompt_string(int flags, int spaces, const std::string& prompt, const std::string& default_text,
                  std::string& out);

// Asks a real: 1 with the number (the default as shown, rounded to decimals, on
// an empty answer) in out as text with 10 decimals; 2 with a keyword in out;
// another result when the host answered neither.
int prompt_real_spec(const std::string& spec, double default_value, int decimals, std::string& out);
// The integer twin of prompt_real_spec.
int prompt_int_spec(const std::string& spec, int default_value, std::string& out);

// The one rule for sizes and decimals at a prompt, as the dialogs keep it. A
// size (text height, width factor, plot or block scale, radius) must be above
// 0; decimals lie in [low, high]. Another number is refused with `why` (by
// default "The value must be more than 0." or "The decimals must be 0 to 10.")
// on a line of its own and the prompt asks again. Results as prompt_real_spec
// and prompt_int_spec give them.
int prompt_size_spec(const std::string& spec, double default_value, int decimals, std::string& out,
                     const std::string& why = {});
int prompt_decimals_spec(const std::string& spec, int default_value, std::string& out, int low = 0,
                         int high = 10);
// Says a refused value on a line of its own: ended here, unless the prompt
// asked again starts a new line itself.
void say_refused_value(const std::string& why, bool prompt_starts_line = false);

// "e<X>it" + prompt; the number, or 0.0 for "X".
double prompt_real_or_exit(const std::string& prompt, double default_value, int decimals);
// Asked until it gives a number.
double prompt_real_default(const std::string& prompt, double default_value, int decimals);
int prompt_int_default(const std::string& prompt, int default_value);
// "e<X>it " + prompt; the number, or 0 for "X".
int prompt_int_or_exit(const std::string& prompt, int default_value);
// Waits until the user answers "X".
void prompt_exit_wait();

// prompt + " <Yes>:" or " <No>:", asked once; 1 for "Yes", else 0 (also on a
// cancel).
int prompt_yes_no(const std::string& prompt, int default_yes);

// A point or a typed text: 1 with the point (text = the default), 2 with the
// text (an empty answer gives the default, an empty default "X"; the point is
// cleared). base may be null.
int prompt_point_or_text(const std::string& prompt, const std::string& default_text, const point3d_rec* base,
                         std::string& text, point3d_rec& point);
// The same without a default: 1 with the point, 2 with the text as typed (empty
// for Enter), 0 otherwise.
int prompt_point_or_typed(const std::string& prompt, const point3d_rec* base, std::string& typed,
                          point3d_rec& point);

// A D.MMSS angle: keywords are one-letter texts joined by commas, count of them
// used. 1 with the angle text, 2 with a keyword, 0 otherwise (360 or more gives 0
// with the default text; a number with minutes or seconds of 60 or more, or a
// negative one of -360 or less, gives 0 after a message saying why). typed,
// when given, receives the answer as typed (the default's text for Enter), and
// stays empty on a cancel, so that a caller can tell a bad answer from Esc.
int prompt_angle_dms(const std::string& keywords, int count, const std::string& prompt, double default_angle,
                     std::string& out, std::string* typed = nullptr);

// A distance with the default shown at the drawing's LUPREC decimals; an answer
// of 0 (empty, cancel or typed 0) takes the default. Returns 1.
int prompt_dist_luprec(const point3d_rec* base, const std::string& prompt, double default_value, double& out);
int prompt_dist_luprec_flags(int flags, const point3d_rec* base, const std::string& prompt,
                             double default_value, double& out);

// The host's file dialog starting in the folder given or, when it is empty, in
// the drawing's folder; 1 and the path, or 0.
int file_dialog_dwgprefix(const std::string& title, const std::string& start_folder, const std::string& ext,
                          int flags, std::string& path);

// Picks a base point (unless given) and a next point; the bearing between them
// with 6 decimals. 0 when a pick is not completed.
int pick_bearing_text(const point3d_rec* base, std::string& out);
int pick_two_points_bearing(const point3d_rec* base, double& bearing);
// Picks a point; x and y with 3 decimals. 0 when nothing was picked, or after the
// alert "\nCoordinate to long...abort!!" (both "0.000") for a text of 26
// characters or more.
int pick_coord_text(const std::string& prompt, std::string& x, std::string& y);

// The host's "_zoom" window; returns 1.
int zoom_window(const point3d_rec& corner1, const point3d_rec& corner2);
