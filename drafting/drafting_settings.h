// Storing a drafting command's comma-list settings in the drawing. The store
// keeps one text per application on the settings layer, and the host keeps at
// most 255 bytes in one extended-data string; a text longer than the command's
// limit is refused with a message instead of being cut or lost silently.
#pragma once

#include <string>

// The longest settings text a drawing keeps (the host's string limit less one).
inline constexpr size_t kSettingsTextLimit = 254;

// Stores text as the application's setting on the settings layer. A text longer
// than limit is refused: "\n<app> settings not saved: the text is N characters
// long and at most <limit> can be stored." (text_refused, when given, replaces
// that with an alert of the command's own). A store the host refuses shows the
// alert joining "nFailed save cfg to layer" and the settings layer's name.
// RTNORM when stored, else RTERROR.
int drafting_settings_store(const char* app, const std::string& text, size_t limit = kSettingsTextLimit,
                            const char* text_refused = nullptr);
