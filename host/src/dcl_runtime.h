// What the rest of the host may ask of the dialog machinery (the dialog
// functions themselves are those of host/api/adsdlg.h).
#pragma once

#include <string>

namespace host {

// A dialog file's path as the host opens it: "\" taken as "/" and runs of
// separators as one, so that "C:\\inst//dcl\\x.dcl" and "/inst/dcl/x.dcl" styles
// all work.
std::string normalise_dcl_path(const std::string& path);

// The name of the innermost dialog being answered now; empty when none is open.
std::string open_dialog_name();

}  // namespace host
