// The host's application framework: message codes, the dynamic linker and the
// application base classes with their message switch.
#pragma once

#include "ads.h"

namespace AcRx {
enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
};
enum AppRetCode { kRetOK = 0, kRetError = 3 };
}  // namespace AcRx

// The interface version the host reports and expects.
#define ACRX_API_VERSION 16

class HOST_API AcRxDynamicLinker {
public:
    bool unlockApplication(void* app_id);
    bool registerAppMDIAware(void* app_id);
};
extern "C" HOST_API AcRxDynamicLinker* acrxDynamicLinkerGet();
#define acrxDynamicLinker (acrxDynamicLinkerGet())

// The database-side application: the message operations in slot order.
class AcRxDbxApp {
public:
    AcRxDbxApp() = default;
    virtual ~AcRxDbxApp() = default;

    virtual AcRx::AppRetCode On_kInitAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kLoadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadDwgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInvkSubrMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kCfgMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kQuitMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kSaveMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kDependencyMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNoDependencyMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kOleUnloadAppMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kPreQuitMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInitDialogMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndDialogMsg(void*) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNullMsg(void*) { return AcRx::kRetOK; }
    virtual void RegisterServerComponents() {}

    // Message switch: code 0 to On_kNullMsg, 1 to 15 to the operations in slot
    // order, any other code answers 0 without a call.
    AcRx::AppRetCode processMessage(AcRx::AppMsgCode msg, void* pkt)
    {
        switch (msg) {
        case AcRx::kNullMsg: return On_kNullMsg(pkt);
        case AcRx::kInitAppMsg: return On_kInitAppMsg(pkt);
        case AcRx::kUnloadAppMsg: return On_kUnloadAppMsg(pkt);
        case AcRx::kLoadDwgMsg: return On_kLoadDwgMsg(pkt);
        case AcRx::kUnloadDwgMsg: return On_kUnloadDwgMsg(pkt);
        case AcRx::kInvkSubrMsg: return On_kInvkSubrMsg(pkt);
        case AcRx::kCfgMsg: return On_kCfgMsg(pkt);
        case AcRx::kEndMsg: return On_kEndMsg(pkt);
        case AcRx::kQuitMsg: return On_kQuitMsg(pkt);
        case AcRx::kSaveMsg: return On_kSaveMsg(pkt);
        case AcRx::kDependencyMsg: return On_kDependencyMsg(pkt);
        case AcRx::kNoDependencyMsg: return On_kNoDependencyMsg(pkt);
        case AcRx::kOleUnloadAppMsg: return On_kOleUnloadAppMsg(pkt);
        case AcRx::kPreQuitMsg: return On_kPreQuitMsg(pkt);
        case AcRx::kInitDialogMsg: return On_kInitDialogMsg(pkt);
        case AcRx::kEndDialogMsg: return On_kEndDialogMsg(pkt);
        }
        return AcRx::kRetOK;
    }
};

// The editor-side application; the same operations.
class AcRxArxApp : public AcRxDbxApp {};

// Exported by every plug-in.
#define PLUGIN_EXPORT extern "C" __attribute__((visibility("default")))
typedef AcRx::AppRetCode (*acrx_entry_point_fn)(AcRx::AppMsgCode msg, void* pkt);
typedef int (*acrx_api_version_fn)();
