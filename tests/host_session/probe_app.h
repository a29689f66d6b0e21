// A small application living in the test program, attached to the host as a
// plug-in would be: its LISP functions ask the host's prompts and report what
// the host answered, so that the tests see the host API as the plug-ins do.
#pragma once

#include <map>
#include <string>

#include "arxapp.h"

namespace probe {

// How many load-drawing and unload-drawing messages the application saw.
extern int load_drawing_count;
extern int unload_drawing_count;
extern int unload_app_count;

AcRx::AppRetCode entry(AcRx::AppMsgCode message, void* packet);

}  // namespace probe
