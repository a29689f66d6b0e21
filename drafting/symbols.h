// Survey symbols (trees, poles, manholes and the like, each a block drawing)
// that the user chooses in the sibling symbol picker Tarnic and places in one
// of four ways: a single insert, a symbol with its label, a pair of symbols
// with a line between them, or a chain of symbols along picked legs. A
// symbol's label is the "TARNIC" extended data on its block definition.
#pragma once

#include <string>

#include "points.h"

// The symbol settings: in memory for the loaded plug-in, shared by all drawings.
struct tarnic_settings_rec {
    double plot_scale = 1000.0;
    double rotation = 90.0;    // a bearing in degrees
    double text_height = 1.3;  // at 1:1000
    int make_line = 0;         // SYMBOL2: a line between the two symbols
    int use_clayer = 0;        // set at each call from the picker's answer
    int select_line = 0;       // SYMBOL3: asked only
    int loaded = 0;
};
tarnic_settings_rec& tarnic_settings();

// The picker's answer: "cancel", or COMMAND,BLOCK_FILE; a SYMBOL3 answer goes
// on with SPACING,GAP,BOX,LINE_BLOCK (lengths at 1:1000), the last field
// closed by one character that is not part of the block's name.
struct tarnic_answer_rec {
    std::string command;  // upper case
    std::string block_file;
    double spacing = 0, gap = 0, box = 0;
    std::string line_field;  // field 6 as given
    std::string line_block;  // field 6 without its last character
};
// Splits an answer; false, with what is wrong in problem, for an answer that
// names no known command or block file, or a SYMBOL3 answer whose lengths are
// not numbers or whose spacing is not above 0.
bool tarnic_answer_parse(const std::string& answer, tarnic_answer_rec& out, std::string& problem);

// The command.
int b_tarnic();
// A real prompt ("0,X," + prompt) asked until it gives a number.
double get_real_kw(const std::string& prompt, double default_value, int precision);
// Mode 1: plot scale and text height; mode 2: the same and "Make Line";
// mode 3: plot scale and "Select Line".
void tarnic_settings_prompt(int mode);
// The chain of symbols along picked legs; 1 when the mode ran, 0 when the
// answer could not be used.
int tarnic_symbol3(const std::string& answer);
// Symbols along one leg: at k x spacing x s from p (k = 1, 2, ...) within the
// leg, line pieces between them with a gap, and a box round the leg. s is the
// plot scale / 1000. The number of symbols inserted.
int tarnic_symbol3_leg(const point3d_rec& p, const point3d_rec& q, const tarnic_answer_rec& answer,
                       const std::string& block_name, const std::string& line_layer);

// The label of a block: the first 1000 text of "TARNIC" extended data on the
// entities of its definition, in order; 1 when found, else 0.
int block_xdata_string(const std::string& block, std::string& out);
// The routines no LISP function reaches: attach a label to a picked object,
// and show the label of a picked object.
int symbol_text_add();
int symbol_text_show();
