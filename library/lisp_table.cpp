#include "lisp_table.h"

#include <dlfcn.h>

#include "ads.h"

namespace {

// Calls visit(entry, index) for each non-empty slot in table order, the index
// counting those slots from 0, until visit returns false.
template <typename Visit>
void for_each_entry(const ads_symbol_rec* const table[], int slots, Visit visit)
{
    int index = 0;
    for (int i = 0; i < slots; ++i) {
        const ads_symbol_rec* entry = table[i];
        if (entry == nullptr) continue;
        if (!visit(*entry, index)) return;
        ++index;
    }
}

}  // namespace

void lisp_table_define(const ads_symbol_rec* const table[], int slots)
{
    for_each_entry(table, slots, [](const ads_symbol_rec& entry, int index) {
        acedDefun(entry.name, index);
        if (entry.regFunc) acedRegFunc(entry.function, index);
        return true;
    });
}

void lisp_table_undefine(const ads_symbol_rec* const table[], int slots)
{
    for_each_entry(table, slots, [](const ads_symbol_rec& entry, int index) {
        acedUndef(entry.name, index);
        return true;
    });
}

void lisp_table_invoke(const ads_symbol_rec* const table[], int slots)
{
    const int code = acedGetFunCode();
    for_each_entry(table, slots, [code](const ads_symbol_rec& entry, int index) {
        if (index != code) return true;
        if (entry.function) entry.function();
        return false;
    });
}

namespace {

// The base address of the plug-in this code is linked into: the library is
// static, so each plug-in has its own copy of this function.
const void* this_module()
{
    Dl_info info{};
    return dladdr(reinterpret_cast<void*>(&this_module), &info) ? info.dli_fbase : nullptr;
}

}  // namespace

LispTableApp::LispTableApp(const ads_symbol_rec* const* table, int slots)
    : module_instance(this_module()), table_(table), slots_(slots)
{
}

AcRx::AppRetCode LispTableApp::On_kInitAppMsg(void* pkt)
{
    if (unlock_application) acrxDynamicLinker->unlockApplication(pkt);
    if (mdi_aware) acrxDynamicLinker->registerAppMDIAware(pkt);
    return AcRx::kRetOK;
}

AcRx::AppRetCode LispTableApp::On_kUnloadAppMsg(void*)
{
    return AcRx::kRetOK;
}

AcRx::AppRetCode LispTableApp::On_kLoadDwgMsg(void*)
{
    lisp_table_define(table_, slots_);
    return AcRx::kRetOK;
}

AcRx::AppRetCode LispTableApp::On_kUnloadDwgMsg(void*)
{
    lisp_table_undefine(table_, slots_);
    return AcRx::kRetOK;
}

AcRx::AppRetCode LispTableApp::On_kInvkSubrMsg(void*)
{
    lisp_table_invoke(table_, slots_);
    return AcRx::kRetOK;
}
