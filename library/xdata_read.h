// Extended data on entities: attaching the pending items, testing for an
// application's data, and reading its values back into shared variables.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "ads.h"

// What xdata_read_requested looks for and what it found. Set the request flags
// before the call; it clears them. The 1070 value is always looked for.
struct xdata_read_rec {
    // requests
    bool want_real = false;       // the first 1040
    bool want_int32 = false;      // the first 1071
    bool want_text = false;       // the first 1000
    bool want_text_list = false;  // every 1000, in order
    // found flags
    bool found_real = false;
    bool found_int16 = false;
    bool found_int32 = false;
    bool found_text = false;
    bool none_found = true;  // the entity carries no data of the application
    // values
    double real = 0;
    int int16 = 0;
    std::int32_t int32 = 0;
    std::string text;
    std::vector<std::string> text_list;
};
xdata_read_rec& xdata_read_state();

// Reads the entity's extended data of the application as the request flags ask
// (and always the 1070 value), sets the found flags, then clears the requests.
void xdata_read_requested(const ads_name entity, const std::string& application);

// Appends the application's pending items to the entity; 1, or "\nFailed adding
// xdata." and RTERROR.
int ent_xdata_add(const ads_name entity, const std::string& application);
// True when the entity carries extended data of the application.
bool ent_has_xdata(const ads_name entity, const std::string& application);
// The first 1000 text of the application's data; 1, or 0 when there is none.
int ent_xdata_get_string(const ads_name entity, const std::string& application, std::string& out);
