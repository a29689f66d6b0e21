// What the rest of the host may ask of the dialog machinery (the dialog
// functions themselves are those of host/api/adsdlg.h).
#pragma once

#include <string>

namespace host {

// The name of the innermost dialog being answered now; empty when none is open.
std::string open_dialog_name();

}  // namespace host
