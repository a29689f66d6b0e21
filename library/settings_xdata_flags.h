// The extended-data read request this store sets and clears: the request for
// every 1000 text as a list, and the last text read with its found flag.
// Kept apart until the store shares the entity readers' request state.
#pragma once

#include <string>

struct settings_xdata_flags_rec {
    bool want_text_list = false;  // request: every 1000 text, in order
    bool found_text = false;
    std::string text;  // the last 1000 text read
};
settings_xdata_flags_rec& settings_xdata_flags();
