// Brenvel, the companion plug-in: its application object and three LISP
// functions. c_strat gives LISP the library's field splitter; c_upoint and
// c_kong_kong take their arguments and return nil.
#include <string>

#include "ads.h"
#include "arxapp.h"
#include "lisp_table.h"
#include "text_fields.h"

namespace {

// (c_strat text field-number delimiters): the field as a LISP string. A
// 16-bit integer anywhere is the field number; a string at position 0 is the
// text, at position 2 the delimiters, and the field is returned at once. With
// no text before the delimiters nothing is split and LISP receives nil.
int c_strat()
{
    int position = 0;
    int field = 0;
    bool have_text = false;
    std::string text;
    for (const resbuf* arg = acedGetArgs(); arg != nullptr; arg = arg->rbnext, ++position) {
        if (arg->restype == RTSHORT) {
            field = arg->resval.rint;
        } else if (arg->restype == RTSTR) {
            const char* value = arg->resval.rstring ? arg->resval.rstring : "";
            if (position == 0) {
                text = value;
                have_text = true;
            } else if (position == 2 && have_text) {
                acedRetStr(str_get_field(text, field, value).c_str());
            }
        } else {
            acutPrintf("Unknown return code from ads_getreal \n");
            return RTERROR;
        }
    }
    return RSRSLT;
}

int c_upoint()
{
    acedGetArgs();
    acedRetVoid();
    return RSRSLT;
}

int c_kong_kong()
{
    acedGetArgs();
    acedRetVoid();
    return RSRSLT;
}

const ads_symbol_rec entry_c_kong_kong = {"c_kong_kong", c_kong_kong, false, 0};
const ads_symbol_rec entry_c_upoint = {"c_upoint", c_upoint, false, 0};
const ads_symbol_rec entry_c_strat = {"c_strat", c_strat, false, 0};
const ads_symbol_rec* const brenvel_lisp_table[] = {&entry_c_kong_kong, &entry_c_upoint, &entry_c_strat};
constexpr int brenvel_lisp_slots = 3;

class CBrenvelApp : public LispTableApp {
public:
    CBrenvelApp() : LispTableApp(brenvel_lisp_table, brenvel_lisp_slots) {}
};

// Its fields are constants set before the host's first message.
CBrenvelApp application;

}  // namespace

LISP_TABLE_APP_EXPORTS(application)
