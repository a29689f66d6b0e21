// The plug-ins the host has loaded, the messages it sends them and the calls of the
// LISP functions they define; for the host's own files only.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "arxapp.h"
#include "session/session.h"

namespace host {

struct LoadedApp {
    std::string name;  // the file name without folder and extension, e.g. "Kestrom"
    std::string path;
    void* handle = nullptr;
    acrx_entry_point_fn entry = nullptr;
    std::map<int, int (*)()> registered;  // acedRegFunc: function code -> the function itself
};

// The file of a plug-in named on a LOAD line or with --load: a bare name ("Kestrom",
// without regard to case) is looked for in the plug-in folder; anything else is a path.
std::string resolve_plugin(const Session& session, const std::string& name_or_path);

// Sends one message to a plug-in; while it runs, acedDefun and acedUndef work on
// document (the current document when null) on behalf of app.
AcRx::AppRetCode send_message(LoadedApp& app, AcRx::AppMsgCode message, Document* document);

// Calls a LISP function a plug-in defined: sets the function code and the
// arguments, sends the invoke message and returns the value the function set (nil
// when it set none). InputExhausted passes through.
LispValue invoke_function(const DefinedFunction& function, const std::vector<LispValue>& args);

// Result buffers of the host's own making (calloc'd, strings strdup'd).
resbuf* new_resbuf(short type);
void free_resbuf_list(resbuf* list);
// LISP values as the arguments of a call: small integers RTSHORT, larger RTLONG,
// lists of two or three numbers points, other lists between RTLB and RTLE.
resbuf* lisp_to_resbuf(const std::vector<LispValue>& values);
// A result buffer list as LISP sees it: one item its value, more a list.
LispValue resbuf_to_lisp(const resbuf* list, bool as_list);

}  // namespace host
