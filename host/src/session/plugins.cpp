// Plug-in loading and the LISP interface of the host API: the messages the host
// sends a plug-in, the per-document table of LISP functions the plug-ins define,
// and the calls of those functions with their arguments and results.
#include "session/plugins.h"

#include <dlfcn.h>

#include <algorithm>
#include <filesystem>

#include "commands/commands.h"
#include "db/resbuf_convert.h"

namespace host {

namespace {

// The plug-in a message is being handled by, and the document it concerns.
struct MessageContext {
    LoadedApp* app = nullptr;
    Document* document = nullptr;
};
std::vector<MessageContext> g_messages;

// A LISP function call in progress: its code, its arguments (the host's), its result.
struct CallState {
    int code = 0;
    resbuf* args = nullptr;
    LispValue result;
};
std::vector<CallState> g_calls;

// The document acedDefun and acedUndef work on.
Document* defun_document()
{
    if (!g_messages.empty() && g_messages.back().document) return g_messages.back().document;
    Session* session = Session::current_or_null();
    if (session && session->has_document()) return &session->current();
    return nullptr;
}

// The index of a document in the session; -1 when it is not there.
int index_of(Session& session, const Document* document)
{
    auto& documents = session.documents();
    for (size_t i = 0; i < documents.size(); ++i)
        if (documents[i].get() == document) return static_cast<int>(i);
    return -1;
}

std::string file_stem(const std::string& path)
{
    return std::filesystem::path(path).stem().string();
}

void append(resbuf*& head, resbuf*& tail, resbuf* node)
{
    if (!head) {
        head = tail = node;
    } else {
        tail->rbnext = node;
        tail = node;
    }
}

bool is_number(const LispValue& value)
{
    return value.kind == LispValue::Int || value.kind == LispValue::Real;
}
double number_of(const LispValue& value)
{
    return value.kind == LispValue::Int ? static_cast<double>(value.integer) : value.real;
}

void append_value(resbuf*& head, resbuf*& tail, const LispValue& value)
{
    switch (value.kind) {
        case LispValue::Nil:
            append(head, tail, new_resbuf(RTNIL));
            break;
        case LispValue::T:
            append(head, tail, new_resbuf(RTT));
            break;
        case LispValue::Int:
            if (value.integer >= -32768 && value.integer <= 32767) {
                resbuf* node = new_resbuf(RTSHORT);
                node->resval.rint = static_cast<short>(value.integer);
                append(head, tail, node);
            } else {
                resbuf* node = new_resbuf(RTLONG);
                node->resval.rlong = static_cast<std::int32_t>(value.integer);
                append(head, tail, node);
            }
            break;
        case LispValue::Real: {
            resbuf* node = new_resbuf(RTREAL);
            node->resval.rreal = value.real;
            append(head, tail, node);
            break;
        }
        case LispValue::Str:
        case LispValue::Symbol: {
            resbuf* node = new_resbuf(RTSTR);
            node->resval.rstring = copy_string(value.text);
            append(head, tail, node);
            break;
        }
        case LispValue::Point: {
            resbuf* node = new_resbuf(RT3DPOINT);
            node->resval.rpoint[0] = value.point.x;
            node->resval.rpoint[1] = value.point.y;
            node->resval.rpoint[2] = value.point.z;
            append(head, tail, node);
            break;
        }
        case LispValue::Name: {
            resbuf* node = new_resbuf(RTENAME);
            node->resval.rlname[0] = value.name[0];
            node->resval.rlname[1] = value.name[1];
            append(head, tail, node);
            break;
        }
        case LispValue::List: {
            if (value.dotted) {
                append(head, tail, new_resbuf(RTLB));
                for (size_t i = 0; i + 1 < value.items.size(); ++i) append_value(head, tail, value.items[i]);
                append(head, tail, new_resbuf(RTDOTE));
                append_value(head, tail, value.items.back());
                append(head, tail, new_resbuf(RTLE));
                break;
            }
            // A list of two or three numbers is a point, as LISP passes it.
            bool point = (value.items.size() == 2 || value.items.size() == 3) &&
                         std::all_of(value.items.begin(), value.items.end(), is_number);
            if (point) {
                resbuf* node = new_resbuf(value.items.size() == 2 ? RTPOINT : RT3DPOINT);
                for (size_t i = 0; i < 3; ++i)
                    node->resval.rpoint[i] = i < value.items.size() ? number_of(value.items[i]) : 0.0;
                append(head, tail, node);
            } else if (value.items.empty()) {
                append(head, tail, new_resbuf(RTNIL));
            } else {
                append(head, tail, new_resbuf(RTLB));
                for (const LispValue& item : value.items) append_value(head, tail, item);
                append(head, tail, new_resbuf(RTLE));
            }
            break;
        }
    }
}

LispValue real_value(double value)
{
    LispValue v;
    v.kind = LispValue::Real;
    v.real = value;
    return v;
}

// One value of a chain, moving node past it (a list between RTLB and RTLE counts as one).
LispValue read_value(const resbuf*& node)
{
    LispValue value;
    const resbuf* here = node;
    node = node->rbnext;
    switch (here->restype) {
        case RTSHORT:
            value.kind = LispValue::Int;
            value.integer = here->resval.rint;
            return value;
        case RTLONG:
            value.kind = LispValue::Int;
            value.integer = here->resval.rlong;
            return value;
        case RTREAL:
        case RTANG:
        case RTORINT:
            return real_value(here->resval.rreal);
        case RTSTR:
            value.kind = LispValue::Str;
            value.text = here->resval.rstring ? here->resval.rstring : "";
            return value;
        case RTPOINT:
            value.kind = LispValue::List;
            value.items = {real_value(here->resval.rpoint[0]), real_value(here->resval.rpoint[1])};
            return value;
        case RT3DPOINT:
            value.kind = LispValue::Point;
            value.point = {here->resval.rpoint[0], here->resval.rpoint[1], here->resval.rpoint[2]};
            return value;
        case RTENAME:
        case RTPICKS:
            value.kind = LispValue::Name;
            value.name[0] = here->resval.rlname[0];
            value.name[1] = here->resval.rlname[1];
            return value;
        case RTT:
            value.kind = LispValue::T;
            return value;
        case RTLB: {
            // RTDOTE before the last value makes a dotted pair: (a . b).
            std::vector<LispValue> items;
            LispValue tail;
            while (node && node->restype != RTLE) {
                if (node->restype == RTDOTE) {
                    node = node->rbnext;
                    if (node && node->restype != RTLE) tail = read_value(node);
                    continue;
                }
                items.push_back(read_value(node));
            }
            if (node) node = node->rbnext;  // past RTLE
            return lisp_list_with_tail(std::move(items), std::move(tail));
        }
        default:
            break;
    }
    if (here->restype < 5000) {
        // A group of an entity list: (code value).
        LispValue code;
        code.kind = LispValue::Int;
        code.integer = here->restype;
        LispValue item;
        Group group = group_from_rb(here);
        switch (restype_value(here->restype)) {
            case RbValue::Text:
                item.kind = LispValue::Str, item.text = group.text;
                break;
            case RbValue::Real:
                item = real_value(group.real);
                break;
            case RbValue::Int16:
            case RbValue::Int32:
                item.kind = LispValue::Int, item.integer = group.integer;
                break;
            case RbValue::Point:
                item.kind = LispValue::Point, item.point = group.point;
                break;
            case RbValue::Name:
                item.kind = LispValue::Name, item.name[0] = group.name;
                break;
            case RbValue::None:
                break;
        }
        // (8 . "0"), and a point's coordinates follow its code: (10 1.0 2.0 0.0).
        return lisp_list_with_tail({code}, item);
    }
    return value;  // RTNIL, RTNONE, RTVOID and the rest: nil
}

CallState* current_call()
{
    return g_calls.empty() ? nullptr : &g_calls.back();
}

int set_result(LispValue value)
{
    CallState* call = current_call();
    if (!call) return RTERROR;
    call->result = std::move(value);
    return RTNORM;
}

}  // namespace

resbuf* new_resbuf(short type)
{
    return acutNewRb(type);
}

void free_resbuf_list(resbuf* list)
{
    if (list) acutRelRb(list);
}

resbuf* lisp_to_resbuf(const std::vector<LispValue>& values)
{
    resbuf* head = nullptr;
    resbuf* tail = nullptr;
    for (const LispValue& value : values) append_value(head, tail, value);
    return head;
}

LispValue resbuf_to_lisp(const resbuf* list, bool as_list)
{
    if (!as_list) return list ? read_value(list) : LispValue{};
    LispValue value;
    while (list) {
        if (list->restype == RTDOTE) {
            list = list->rbnext;
            continue;
        }
        value.items.push_back(read_value(list));
    }
    value.kind = value.items.empty() ? LispValue::Nil : LispValue::List;
    return value;
}

AcRx::AppRetCode send_message(LoadedApp& app, AcRx::AppMsgCode message, Document* document)
{
    Session& session = Session::get();
    // The document a message concerns is current while the plug-in handles it.
    int before = session.current_index();
    int index = document ? index_of(session, document) : -1;
    if (index >= 0) session.switch_to(index);
    g_messages.push_back({&app, document});
    struct Restore {
        Session& session;
        int before;
        bool switched;
        ~Restore()
        {
            g_messages.pop_back();
            if (switched && before >= 0 && before < static_cast<int>(session.documents().size()))
                session.switch_to(before);
        }
    } restore{session, before, index >= 0};
    return app.entry(message, &app);
}

LispValue invoke_function(const DefinedFunction& function, const std::vector<LispValue>& args)
{
    g_calls.push_back({function.code, lisp_to_resbuf(args), LispValue{}});
    struct Pop {
        ~Pop()
        {
            free_resbuf_list(g_calls.back().args);
            g_calls.pop_back();
        }
    } pop;
    auto registered = function.app->registered.find(function.code);
    if (registered != function.app->registered.end()) {
        g_messages.push_back({function.app, nullptr});
        struct PopMessage {
            ~PopMessage() { g_messages.pop_back(); }
        } pop_message;
        registered->second();
    } else {
        send_message(*function.app, AcRx::kInvkSubrMsg, nullptr);
    }
    return g_calls.back().result;
}

std::string resolve_plugin(const Session& session, const std::string& name_or_path)
{
    namespace fs = std::filesystem;
    bool bare = name_or_path.find('/') == std::string::npos && fs::path(name_or_path).extension() != ".so";
    if (!bare) return name_or_path;
    std::string wanted = lower_text(name_or_path) + ".so";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(session.plugin_folder, error)) {
        if (lower_text(entry.path().filename().string()) == wanted) return entry.path().string();
    }
    return session.plugin_folder + "/" + name_or_path + ".so";
}

static bool start_app(Session& session, std::vector<std::unique_ptr<LoadedApp>>& apps,
                      std::unique_ptr<LoadedApp> app)
{
    LoadedApp& started = *app;
    apps.push_back(std::move(app));
    if (send_message(started, AcRx::kInitAppMsg, nullptr) != AcRx::kRetOK) {
        session.fail("\n" + started.name + " refused to start (its init-app message failed).");
        if (started.handle) dlclose(started.handle);
        apps.pop_back();
        return false;
    }
    // Every open drawing gets the plug-in's functions.
    std::vector<Document*> open;
    for (auto& document : session.documents()) open.push_back(document.get());
    for (Document* document : open) send_message(started, AcRx::kLoadDwgMsg, document);
    return true;
}

bool Session::load_plugin(const std::string& path)
{
    for (const auto& app : apps_) {
        if (!app->path.empty() && app->path == path) {
            print("\n" + app->name + " is already loaded.");
            return true;
        }
    }
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        fail("\nCannot load the plug-in " + path + ": " + (why ? why : "unknown error"));
        return false;
    }
    auto entry = reinterpret_cast<acrx_entry_point_fn>(dlsym(handle, "acrxEntryPoint"));
    auto version = reinterpret_cast<acrx_api_version_fn>(dlsym(handle, "acrxGetApiVersion"));
    if (!entry) {
        fail("\n" + path + " is not a plug-in of this host: it exports no acrxEntryPoint.");
        dlclose(handle);
        return false;
    }
    if (version && version() != ACRX_API_VERSION) {
        fail("\n" + path + " was built for interface version " + std::to_string(version()) +
             "; this host has version " + std::to_string(ACRX_API_VERSION) + ".");
        dlclose(handle);
        return false;
    }
    auto app = std::make_unique<LoadedApp>();
    app->name = file_stem(path);
    app->path = path;
    app->handle = handle;
    app->entry = entry;
    return start_app(*this, apps_, std::move(app));
}

bool Session::attach_app(const std::string& name, acrx_entry_point_fn entry)
{
    auto app = std::make_unique<LoadedApp>();
    app->name = name;
    app->entry = entry;
    return start_app(*this, apps_, std::move(app));
}

void Session::unload_plugins()
{
    while (!apps_.empty()) {
        LoadedApp& app = *apps_.back();
        std::vector<Document*> open;
        for (auto& document : documents_) open.push_back(document.get());
        for (Document* document : open) send_message(app, AcRx::kUnloadDwgMsg, document);
        send_message(app, AcRx::kUnloadAppMsg, nullptr);
        // Functions the plug-in left defined must not outlive it.
        for (auto& document : documents_) {
            std::erase_if(document->functions, [&](const auto& entry) { return entry.second.app == &app; });
        }
        if (app.handle) dlclose(app.handle);
        apps_.pop_back();
    }
}

}  // namespace host

using host::LispValue;

extern "C" {

int acedDefun(const char* name, int funcno)
{
    if (!name || !*name || host::g_messages.empty()) return RTERROR;
    host::Document* document = host::defun_document();
    if (!document) return RTERROR;
    document->functions[host::lower_text(name)] = {host::g_messages.back().app, funcno};
    return RTNORM;
}

int acedUndef(const char* name, int funcno)
{
    if (!name || host::g_messages.empty()) return RTERROR;
    host::Document* document = host::defun_document();
    if (!document) return RTERROR;
    auto found = document->functions.find(host::lower_text(name));
    if (found == document->functions.end() || found->second.app != host::g_messages.back().app ||
        found->second.code != funcno)
        return RTERROR;
    document->functions.erase(found);
    return RTNORM;
}

int acedRegFunc(int (*fhdl)(), int fcode)
{
    if (host::g_messages.empty()) return RTERROR;
    if (fhdl)
        host::g_messages.back().app->registered[fcode] = fhdl;
    else
        host::g_messages.back().app->registered.erase(fcode);
    return RTNORM;
}

int acedGetFunCode()
{
    host::CallState* call = host::current_call();
    return call ? call->code : RTERROR;
}

resbuf* acedGetArgs()
{
    host::CallState* call = host::current_call();
    return call ? call->args : nullptr;
}

int acedRetVoid()
{
    return host::set_result(LispValue{});
}
int acedRetNil()
{
    return host::set_result(LispValue{});
}

int acedRetT()
{
    LispValue value;
    value.kind = LispValue::T;
    return host::set_result(value);
}

int acedRetStr(const char* s)
{
    LispValue value;
    value.kind = LispValue::Str;
    value.text = s ? s : "";
    return host::set_result(value);
}

int acedRetInt(int i)
{
    LispValue value;
    value.kind = LispValue::Int;
    value.integer = i;
    return host::set_result(value);
}

int acedRetReal(ads_real r)
{
    return host::set_result(host::real_value(r));
}

int acedRetPoint(const ads_point p)
{
    if (!p) return RTERROR;
    LispValue value;
    value.kind = LispValue::Point;
    value.point = {p[0], p[1], p[2]};
    return host::set_result(value);
}

int acedRetName(const ads_name n, int type)
{
    if (!n || (type != RTENAME && type != RTPICKS)) return RTERROR;
    LispValue value;
    value.kind = LispValue::Name;
    value.name[0] = n[0];
    value.name[1] = n[1];
    return host::set_result(value);
}

int acedRetList(const resbuf* list)
{
    return host::set_result(host::resbuf_to_lisp(list, true));
}

int acedRetVal(const resbuf* value)
{
    if (!value) return RTERROR;
    return host::set_result(host::resbuf_to_lisp(value, false));
}

}  // extern "C"

bool AcRxDynamicLinker::unlockApplication(void*)
{
    return true;
}
bool AcRxDynamicLinker::registerAppMDIAware(void*)
{
    return true;
}

AcRxDynamicLinker* acrxDynamicLinkerGet()
{
    static AcRxDynamicLinker linker;
    return &linker;
}
