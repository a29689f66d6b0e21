// Kestrom's application object: the host's messages arrive through
// acrxEntryPoint and go through the base's message switch; the shared LISP
// table application defines, removes and dispatches Kestrom's 52 functions.
#include "arxapp.h"
#include "lisp_functions.h"
#include "lisp_table.h"

namespace {

class CKestromApp : public LispTableApp {
public:
    CKestromApp() : LispTableApp(kestrom_lisp_table, kestrom_lisp_slots) {}
};

// Its fields are constants set before the host's first message.
CKestromApp application;

}  // namespace

LISP_TABLE_APP_EXPORTS(application)
