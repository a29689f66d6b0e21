// The text utility b_text_util: a menu of twenty operations on TEXT entities
// (case, find and replace, prefixes and suffixes, justification, height, width,
// obliquing, style and layer, alignment, tables from texts or from a
// comma-separated file, and two converters for survey sheets), and the text
// commands b_ddedit_text, b_rotext, b_rotext_reverse and b_rotext_byline. The
// menu state and the remembered answers live for the loaded plug-in.
#pragma once

#include <string>
#include <vector>

#include "ads.h"
#include "points.h"
#include "text_filter.h"

// The longest text a TEXT takes from these tools: a longer result is refused
// with a message and the text is left as it was.
inline constexpr size_t kTextLengthLimit = 255;

struct text_util_rec {
    std::vector<std::string> names;
    int index = 0;
    int auto_run = 0;
    int running_from_dialog = 0;  // auto run counts as off while the dialog runs a tool
    int filled = 0;
    ads_name selection = {0, 0};
    long count = 0;
    text_filter_rec filter;  // of the selection
    // Remembered answers.
    std::string find_text, replace_text, whole_word = "Yes", add_text, justify = "M";
    std::string lot_layer = "Lot_number";
    std::string rotext_mode;  // "O" or "M" once asked
    // Text to table: the next row, its height and layer, the column distance.
    int table_started = 0;
    std::string table_drawing;  // the drawing the table is in
    point3d_rec table_row;
    double table_height = 0;
    std::string table_layer;
    double table_column = 0;
};
text_util_rec& text_util();

int b_text_util();
// The menu dialog; its last status (0 when it could not be shown).
int text_utility_dlg();
// Runs the operation of the index: 1 when it ran to its end, 0 when the user
// left it early, -1 for an index without an operation.
int run_text_operation(int index);
// A new text selection through the filter; the count.
long select_texts();
void clear_texts();
// Whether the menu reselects texts before an auto run of the index.
bool text_operation_selects(int index);

// The style or layer chooser: the chosen name, or empty when cancelled.
std::string text_utility_cgstyle_dlg(bool layers);

// Whether a text matches the find text: with whole_word the whole text equals
// it without regard to case, otherwise it contains it (case-sensitive).
bool text_find_match(const std::string& text, const std::string& find, bool whole_word);
// A D.MMSS bearing number as a label ("123%%d45'30''"); false when the text is
// no number with exactly four decimals.
bool bearing_number_label(const std::string& text, std::string& label);

int b_ddedit_text();
int b_rotext();
int b_rotext_reverse();
int b_rotext_byline();
