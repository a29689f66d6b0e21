// What the number and text utilities share around their text selection: the
// filter dialog (texts on the layers named), the selection through it, the
// count their menus show, and a selection set freed when it goes out of scope.
#pragma once

#include <string>

#include "adsdlg.h"

struct text_filter_rec {
    int layer_on = 0;
    std::string layer = "*";  // wildcards allowed
};

// The filter dialog of the file and name given ("layer_tg", "t_layer"; the
// height, rotation, colour and style filters are shown but not offered). OK
// keeps the values; the dialog's status.
int text_filter_dlg(const char* file, const char* name, text_filter_rec& filter);
// A user's selection of TEXTs, on the filter's layers when its switch is on;
// 1 when a set was made (count its length).
int text_filter_select(const text_filter_rec& filter, ads_name ss, long& count);
// "%i Text Select" in the menu's "select_t" tile.
void text_select_count_show(ads_hdlg dialog, long count);

// A selection set freed when it goes out of scope.
struct selection_guard {
    ads_name ss = {0, 0};
    long length = 0;
    selection_guard() = default;
    selection_guard(const selection_guard&) = delete;
    selection_guard& operator=(const selection_guard&) = delete;
    ~selection_guard()
    {
        if (!ads_name_nil(ss)) acedSSFree(ss);
    }
};
