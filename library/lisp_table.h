// A plug-in's table of LISP functions and the three things its shell does
// with it: define every function in a drawing, remove them, and dispatch a
// call by function code.
#pragma once

#include "arxapp.h"

// One entry of a LISP table. The table is an array of pointers to entries;
// an empty slot (null) is skipped and does not count. An entry's index is its
// position among the non-empty slots, counted from 0: the function code given
// to acedDefun and returned by acedGetFunCode.
struct ads_symbol_rec {
    const char* name;
    int (*function)();
    bool regFunc;
    unsigned name_id;
};

// acedDefun (name, index) for each entry in table order; an entry with regFunc
// set is also registered with acedRegFunc.
void lisp_table_define(const ads_symbol_rec* const table[], int slots);
// acedUndef (name, index) for each entry in table order.
void lisp_table_undefine(const ads_symbol_rec* const table[], int slots);
// Calls the function of the entry whose index is the current function code;
// nothing when no entry has it. The function's result is not looked at.
void lisp_table_invoke(const ads_symbol_rec* const table[], int slots);

// The application object of a plug-in whose only work is its LISP table: it
// defines the table's functions at every drawing opened, removes them at every
// drawing closed and dispatches each call. On init it unlocks the application
// and registers it as MDI-aware; no command and no object class is registered,
// so unloading has nothing to remove. Every other message does nothing.
class LispTableApp : public AcRxArxApp {
public:
    LispTableApp(const ads_symbol_rec* const* table, int slots);

    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kLoadDwgMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadDwgMsg(void* pkt) override;
    AcRx::AppRetCode On_kInvkSubrMsg(void* pkt) override;

    const void* const module_instance;  // this library's base address, filled when it is attached
    const bool unlock_application = true;
    const bool mdi_aware = true;

private:
    const ads_symbol_rec* const* const table_;
    const int slots_;
};

// The two exports of a plug-in whose application object is `app`: the host's
// messages go to its message switch, and the interface version is the host's.
#define LISP_TABLE_APP_EXPORTS(app)                                                \
    PLUGIN_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) \
    {                                                                              \
        return (app).processMessage(msg, pkt);                                     \
    }                                                                              \
    PLUGIN_EXPORT int acrxGetApiVersion()                                          \
    {                                                                              \
        return ACRX_API_VERSION;                                                   \
    }
