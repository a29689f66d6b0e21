// Storing a drafting command's comma-list settings in the drawing.
#include "drafting_settings.h"

#include "ads.h"
#include "constants.h"
#include "messages.h"
#include "settings_store.h"

int drafting_settings_store(const char* app, const std::string& text, size_t limit, const char* text_refused)
{
    if (text.size() > limit) {
        if (text_refused)
            acedAlert(text_refused);
        else
            acutPrintf(
                "\n%s settings not saved: the text is %zu characters long and at most %zu can be stored.",
                app, text.size(), limit);
        return RTERROR;
    }
    const int rc = layer_xdata_put(ORVIK_SETTINGS_LAYER, app, text.c_str(), 1);
    if (rc != RTNORM) msg_alert_two("nFailed save cfg to layer", ORVIK_SETTINGS_LAYER);
    return rc;
}
