// The conventions every dialog of the product follows, as shared code: a
// command declares its tiles in a table (key, kind, the command's variable) and
// runs the dialog; this code loads the file from the installation folder's
// "dcl" folder, sets the tiles from the variables, writes the variables back
// from the tile callbacks by the rules below, sets the author tile, and shows
// the dialog again while it ends with a pick status.
//
// Rules of the callbacks (a callback whose value is empty does nothing):
//   real, integer  taken when the text is a number (str_is_number gives 4) that
//                  the tile's check (sizes, decimals) accepts; the
//                  tile is always set back to the stored value, so a wrong
//                  entry is replaced by the last good one
//   number text    the same for a number the command keeps as a text: a number
//                  is stored reformatted with the tile's decimals
//   layer name     taken when layer_name_valid (no "*") accepts it; the tile is
//                  set back to the stored name
//   text           taken as it is (a text tile may set a greatest length; a
//                  longer one is refused and the tile set back, as for a layer name)
//   toggle, radio  "0" or "1"
//   choice         a radio button of a group that sets one variable: "1" stores
//                  the button's value, and the group's other buttons show "0"
//   popup          the chosen index
//   button         ends the dialog with its status
//   help           opens the maker's home page (the page anchor is passed along)
// Any tile may carry a further action of the command, run after the rule.
//
// Example:
//   dialog_def def{"Pelan_Grid_Dlg.dcl", "pelan_grid_dlg",
//                  {tile_real("t_scale", cfg.scale, 3), tile_layer("t_layer", cfg.layer),
//                   tile_toggle("tg_label", cfg.label), tile_button("pick_grd_btn", 2),
//                   tile_button("accept", DLGOK), tile_button("cancel", DLGCANCEL),
//                   tile_help("help", "/survey_menu.htm#_Grid")}};
//   int status = dialog_run(def, [&](int status) { pick_corner(); return true; });
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "adsdlg.h"

enum class tile_kind {
    real,
    integer,
    number_text,
    layer_name,
    text,
    toggle,
    radio,
    choice,
    popup,
    button,
    help,
    action
};

struct dialog_def;

// One tile of a dialog and the command variable behind it.
struct dialog_tile {
    std::string key;
    tile_kind kind = tile_kind::action;
    double* real = nullptr;       // real
    int* integer = nullptr;       // integer, toggle, radio, choice, popup
    std::string* text = nullptr;  // number_text, layer_name, text
    int decimals = 3;             // real, number_text: decimals shown (decimal mode)
    size_t max_length = 0;        // layer_name, text, real: the longest text taken; 0 for no limit
    int status = 0;               // button: the status it ends with; choice: the value it stands for
    std::string help_page;        // help: the page anchor
    // real, integer: the values the tile takes (none: every number). Another
    // value, like a text that is no number, leaves the variable as it was, and
    // `why` is said in the dialog's error tile ("error") or, when the dialog
    // has none, on the command line.
    std::function<bool(double)> accept;
    std::function<bool(const std::string&)> accept_text;  // text: the same for a text
    std::string why;
    const std::vector<std::string>* items = nullptr;  // popup: the names listed
    // Further work of the command after the rule (enable rules, other tiles).
    std::function<void(ads_callback_packet* packet)> then;
    dialog_def* owner = nullptr;  // set while the dialog runs
};

dialog_tile tile_real(const std::string& key, double& value, int decimals);
dialog_tile tile_integer(const std::string& key, int& value);
// The one rule for sizes and decimals. A size (a text height, width factor,
// plot or block scale, circle radius, stone size) must be above 0; decimals lie
// in [low, high], 0 to 10 unless the command says otherwise. Another value, or a
// text that is no number, is put back (the tile shows the last good one) and
// the dialog's error tile ("error", as errtile makes it) says why: "The value
// must be more than 0.", "The decimals must be 0 to 10.". A dialog without an
// error tile says it on the command line.
dialog_tile tile_size(const std::string& key, double& value, int decimals);
dialog_tile tile_decimals(const std::string& key, int& value, int low = 0, int high = 10);
// The same two rules for a number the command keeps as a text (a size shown
// with the decimals given; decimals as a whole number).
dialog_tile tile_size_text(const std::string& key, std::string& number, int decimals);
dialog_tile tile_decimals_text(const std::string& key, std::string& number, int low = 0, int high = 10);
// The same rule for an integer in [low, high] with the command's own words.
dialog_tile tile_real_positive(const std::string& key, double& value, int decimals);
dialog_tile tile_integer_within(const std::string& key, int& value, int low, int high,
                                const std::string& why);
// A real, and a text, that must pass `good`: another value (and for the real a
// text that is no number) is put back and the error tile says why.
dialog_tile tile_real_checked(const std::string& key, double& value, int decimals,
                              std::function<bool(double)> good, const std::string& why);
dialog_tile tile_text_checked(const std::string& key, std::string& text,
                              std::function<bool(const std::string&)> good, const std::string& why);
dialog_tile tile_number_text(const std::string& key, std::string& number, int decimals);
dialog_tile tile_layer(const std::string& key, std::string& name, size_t max_length = 0);
dialog_tile tile_text(const std::string& key, std::string& text, size_t max_length = 0);
dialog_tile tile_toggle(const std::string& key, int& value);
dialog_tile tile_radio(const std::string& key, int& value);
dialog_tile tile_choice(const std::string& key, int& variable, int value);
dialog_tile tile_popup(const std::string& key, int& index, const std::vector<std::string>& items);
dialog_tile tile_button(const std::string& key, int status);
dialog_tile tile_help(const std::string& key, const std::string& page);
dialog_tile tile_action(const std::string& key, std::function<void(ads_callback_packet*)> action);
// The same tile with a further action of the command.
dialog_tile operator+(dialog_tile tile, std::function<void(ads_callback_packet*)> then);

struct dialog_def {
    std::string file;  // the DCL file in the installation folder's "dcl" folder
    std::string name;  // the dialog's name in it
    std::vector<dialog_tile> tiles;
    // Run after the tiles are set and before the dialog starts: texts, lists and
    // enable rules of the command.
    std::function<void(ads_hdlg dialog)> on_open;
    // What is printed (with the file's full path) when the file does not load.
    std::string load_error = "\n Error Loading %s";
    // The folder whose "dcl" folder holds the file; the installation folder when empty.
    std::string folder;
};

// Returned by dialog_show and dialog_run when the dialog could not be shown.
inline constexpr int dialog_not_shown = -2;

// The full path of a dialog file: the folder (the installation folder when
// empty) + "/dcl/" + file.
std::string dialog_path(const std::string& file, const std::string& folder = {});

// Shows the dialog once; its status, or dialog_not_shown after the load message.
int dialog_show(dialog_def& def);
// Shows the dialog; while it ends with a status other than OK, cancel and
// all-done, on_pick(status) does the pick and says whether to show it again
// (without on_pick the status is returned). The last status, or dialog_not_shown.
int dialog_run(dialog_def& def, const std::function<bool(int status)>& on_pick = nullptr);

// The text a real is shown with: decimal mode with the given decimals.
std::string dialog_real_text(double value, int decimals);
// Sets one tile of a running dialog from its variable (as when the dialog opens).
void dialog_tile_show(ads_hdlg dialog, const dialog_tile& tile);
