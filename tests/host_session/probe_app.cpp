#include "probe_app.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "ads.h"

namespace probe {

int load_drawing_count = 0;
int unload_drawing_count = 0;
int unload_app_count = 0;

namespace {

// The status of a get-call as a word, for results the test can read.
const char* status_word(int status)
{
    switch (status) {
        case RTNORM:
            return "RTNORM";
        case RTNONE:
            return "RTNONE";
        case RTCAN:
            return "RTCAN";
        case RTKWORD:
            return "RTKWORD";
        case RTERROR:
            return "RTERROR";
    }
    return "other";
}

// (p_kword): one keyword prompt of "A Z S X C CL P N Yes eXit"; "status keyword".
int p_kword()
{
    char answer[133] = "";
    acedInitGet(0, "A Z S X C CL P N Yes eXit");
    int status = acedGetKword("\nOption [A/Z/S/X/C/CL/P/N/Yes/eXit]: ", answer);
    acedRetStr((std::string(status_word(status)) + " " + answer).c_str());
    return RSRSLT;
}

// (p_point): a point prompt; the point, or the status word and acedGetInput's text.
int p_point()
{
    ads_point p;
    resbuf* args = acedGetArgs();
    int flags = args && args->restype == RTSHORT ? args->resval.rint : 0;
    acedInitGet(flags, "Exit");
    int status = acedGetPoint(nullptr, "\nPick point Mula: ", p);
    char raw[133] = "";
    acedGetInput(raw);
    if (status == RTNORM) {
        acedRetPoint(p);
    } else {
        acedRetStr((std::string(status_word(status)) + " " + raw).c_str());
    }
    return RSRSLT;
}

// (p_int): an integer prompt; the integer or the status word.
int p_int()
{
    int value = 0;
    acedInitGet(0, "X");
    int status = acedGetInt("\nNumber <1>: ", &value);
    if (status == RTNORM)
        acedRetInt(value);
    else
        acedRetStr(status_word(status));
    return RSRSLT;
}

// (p_real_loop): asks a real until it gets one, as the product's prompts ask again
// after a cancel: only the host can end it when the input runs out.
int p_real_loop()
{
    double value = 0;
    while (acedGetReal("\nJarak: ", &value) != RTNORM) {
    }
    acedRetReal(value);
    return RSRSLT;
}

// (p_string cronly): a string prompt; "status|text".
int p_string()
{
    resbuf* args = acedGetArgs();
    int cronly = args && args->restype == RTSHORT ? args->resval.rint : 0;
    char text[133] = "";
    int status = acedGetString(cronly, "\nText: ", text);
    acedRetStr((std::string(status_word(status)) + "|" + text).c_str());
    return RSRSLT;
}

// (p_types args...): the result types of the arguments, as a list of integers.
int p_types()
{
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    for (resbuf* arg = acedGetArgs(); arg; arg = arg->rbnext) {
        resbuf* node = acutNewRb(RTSHORT);
        node->resval.rint = arg->restype;
        if (!head)
            head = tail = node;
        else
            tail = tail->rbnext = node;
    }
    acedRetList(head);
    acutRelRb(head);
    return RSRSLT;
}

// (p_command name): runs a host command without answers; its status word.
int p_command()
{
    resbuf* args = acedGetArgs();
    const char* name = args && args->restype == RTSTR ? args->resval.rstring : "";
    acedRetStr(status_word(acedCommand(RTSTR, name, 0)));
    return RSRSLT;
}

// (p_layer name): makes the layer usable the way the product does.
int p_layer()
{
    resbuf* args = acedGetArgs();
    const char* name = args && args->restype == RTSTR ? args->resval.rstring : "";
    int status = acedCommand(RTSTR, "Layer", RTSTR, "thaw", RTSTR, name, RTSTR, "unlock", RTSTR, name, RTSTR,
                             "on", RTSTR, name, RTSTR, "", 0);
    acedRetStr(status_word(status));
    return RSRSLT;
}

// (p_print): a progress line that rewrites itself, then a message and an alert.
int p_print()
{
    for (int i = 1; i <= 3; ++i) acutPrintf("\rProcessing %d of %d objects", i, 3);
    std::string long_text(600, 'x');
    acutPrintf("\n%s|", long_text.c_str());
    acedAlert("File not found.");
    acedRetVoid();
    return RSRSLT;
}

// (p_void): sets no result at all.
int p_void()
{
    return RSRSLT;
}

// (p_pair): the list ((8 . "LOT") 1.5) built with RTDOTE, as a plug-in returns an entity group.
int p_pair()
{
    resbuf* list = acutBuildList(RTLB, RTSHORT, 8, RTDOTE, RTSTR, "LOT", RTLE, RTREAL, 1.5, 0);
    acedRetList(list);
    acutRelRb(list);
    return RSRSLT;
}

// (p_dist [base]): a distance prompt from the base point given as a list; the distance.
int p_dist()
{
    resbuf* args = acedGetArgs();
    bool based = args && (args->restype == RTPOINT || args->restype == RT3DPOINT);
    double d = 0;
    int status = acedGetDist(based ? args->resval.rpoint : nullptr, "\ndistance :", &d);
    if (status == RTNORM)
        acedRetReal(d);
    else
        acedRetStr(status_word(status));
    return RSRSLT;
}

// (p_file title default ext flags): the file dialog; the path or the status word.
int p_file()
{
    const char* texts[3] = {"", "", ""};
    int flags = 0, n = 0;
    for (resbuf* arg = acedGetArgs(); arg; arg = arg->rbnext, ++n) {
        if (arg->restype == RTSTR && n < 3) texts[n] = arg->resval.rstring;
        if (arg->restype == RTSHORT) flags = arg->resval.rint;
    }
    resbuf result;
    int status = acedGetFileD(texts[0], texts[1], texts[2], flags, &result);
    if (status == RTNORM && result.restype == RTSTR) {
        acedRetStr(result.resval.rstring);
        free(result.resval.rstring);
    } else {
        acedRetStr(status_word(status));
    }
    return RSRSLT;
}

// (p_draw): two temporary vectors; their count after a whole-drawing redraw is
// seen by the test in the document.
int p_draw()
{
    ads_point a = {0, 0, 0}, b = {1, 1, 0};
    acedGrDraw(a, b, 2, 0);
    acedGrDraw(b, a, 5, 0);
    acedRetVoid();
    return RSRSLT;
}

int p_redraw()
{
    acedRedraw(nullptr, 4);
    acedRetVoid();
    return RSRSLT;
}

// (p_direct): registered with acedRegFunc under a code the invoke handler does
// not know, so only a direct call reaches it.
int p_direct()
{
    acedRetStr("direct");
    return RSRSLT;
}
constexpr int kDirectCode = 100;

struct Function {
    const char* name;
    int (*run)();
};
const Function kFunctions[] = {
    {"p_kword", p_kword},   {"p_point", p_point},   {"p_int", p_int},         {"p_real_loop", p_real_loop},
    {"p_string", p_string}, {"p_types", p_types},   {"p_command", p_command}, {"p_layer", p_layer},
    {"p_print", p_print},   {"p_void", p_void},     {"p_dist", p_dist},       {"p_file", p_file},
    {"p_draw", p_draw},     {"p_redraw", p_redraw}, {"p_pair", p_pair},
};

}  // namespace

AcRx::AppRetCode entry(AcRx::AppMsgCode message, void* packet)
{
    int index = 0;
    switch (message) {
        case AcRx::kInitAppMsg:
            acrxDynamicLinker->unlockApplication(packet);
            acrxDynamicLinker->registerAppMDIAware(packet);
            break;
        case AcRx::kLoadDwgMsg:
            ++load_drawing_count;
            for (const Function& f : kFunctions) acedDefun(f.name, index++);
            acedDefun("p_direct", kDirectCode);
            acedRegFunc(p_direct, kDirectCode);
            break;
        case AcRx::kUnloadDwgMsg:
            ++unload_drawing_count;
            for (const Function& f : kFunctions) acedUndef(f.name, index++);
            acedUndef("p_direct", kDirectCode);
            break;
        case AcRx::kInvkSubrMsg: {
            int code = acedGetFunCode();
            if (code >= 0 && code < static_cast<int>(std::size(kFunctions))) kFunctions[code].run();
            break;
        }
        case AcRx::kUnloadAppMsg:
            ++unload_app_count;
            break;
        default:
            break;
    }
    return AcRx::kRetOK;
}

}  // namespace probe
