// The lot area table: lot-number texts are linked to the area texts of a plan
// (the area text is tagged with the lot number, the lot text's letters and
// optionally a description), and the table of the linked lots, sorted by lot
// number, is written to "c:\area_tbl.txt" and "c:\area_tbl.csv".
#pragma once

#include <string>
#include <vector>

struct area_tbl_rec {
    double area = 0;
    int lot = 0;
    std::string letters;  // of the lot-number text
    std::string unit;     // the letters of the area text's suffix ("m" for m%%178)
    std::string description;
};

// An area text's value and suffix: the leading run of digits and "." is the
// value, the rest (without the blanks around it) the suffix.
void area_text_split(const std::string& text, double& value, std::string& suffix);
// The unit letter of an area suffix ("m%%178" and "M~" are "M", "EK" is "A",
// and the suffixes of the area labels' units give their letters), compared
// without regard to case; empty for a suffix that is none of them.
std::string area_suffix_unit(const std::string& suffix);
// A lot-number text: letters, blanks and one run of at most nine digits (the
// number). false for anything else.
bool lot_number_text_parse(const std::string& text, int& number, std::string& letters);

// Mode 1: every TEXT of the drawing, for the largest lot number linked (the
// last lot); 2: every linked area text into records; 3: those of a selection.
void scan_area_texts(int mode, std::vector<area_tbl_rec>& records);
// Links one lot-number text to one area text.
void pick_lot_area();
// Asks the decimals and which texts, then writes both files.
void write_area_table();
// The routine: loops on its keyword prompt until eXit.
void area_table_cmd();
