// Kestrom's application object: the host's messages arrive through
// acrxEntryPoint and are dispatched by the base's message switch; the
// load-drawing, unload-drawing and invoke handlers work the LISP table.
#include <dlfcn.h>

#include "arxapp.h"
#include "lisp_functions.h"

namespace {

// The base address of this library in the host process.
const void* this_module()
{
    Dl_info info{};
    return dladdr(reinterpret_cast<void*>(&this_module), &info) ? info.dli_fbase : nullptr;
}

class CKestromApp : public AcRxArxApp {
public:
    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override
    {
        // Only what the framework requires: no command and no object class is
        // registered, so unloading has nothing to remove.
        if (unlock_application) acrxDynamicLinker->unlockApplication(pkt);
        if (mdi_aware) acrxDynamicLinker->registerAppMDIAware(pkt);
        return AcRx::kRetOK;
    }
    AcRx::AppRetCode On_kUnloadAppMsg(void*) override { return AcRx::kRetOK; }
    AcRx::AppRetCode On_kLoadDwgMsg(void*) override
    {
        lisp_table_define(kestrom_lisp_table, kestrom_lisp_slots);
        return AcRx::kRetOK;
    }
    AcRx::AppRetCode On_kUnloadDwgMsg(void*) override
    {
        lisp_table_undefine(kestrom_lisp_table, kestrom_lisp_slots);
        return AcRx::kRetOK;
    }
    AcRx::AppRetCode On_kInvkSubrMsg(void*) override
    {
        lisp_table_invoke(kestrom_lisp_table, kestrom_lisp_slots);
        return AcRx::kRetOK;
    }

    const void* module_instance = this_module();  // filled when the library is attached
    const bool unlock_application = true;
    const bool mdi_aware = true;
};

CKestromApp application;

}  // namespace

PLUGIN_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt)
{
    return application.processMessage(msg, pkt);
}

PLUGIN_EXPORT int acrxGetApiVersion()
{
    return ACRX_API_VERSION;
}
