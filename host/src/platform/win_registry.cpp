// The registry of the Windows stand-in: values under keys, kept in one text file
// per user (<home>/registry.txt), so that the sibling programs the host starts
// (our scripts in install/exe_file) read and answer the same values.
//
// The file has one line per key or value; fields are separated by tabs:
//   <key>                                a key without values
//   <key> TAB <name> TAB REG_SZ TAB <text>
//   <key> TAB <name> TAB REG_DWORD TAB <decimal number>
//   <key> TAB <name> TAB <type number> TAB <hex bytes>   any other type
// Keys are full paths from the root ("HKEY_LOCAL_MACHINE\SOFTWARE\..."). In
// names and texts "%", tab, line ends and NUL are written "%25", "%09", "%0A",
// "%0D", "%00"; everything else stands as it is. Keys and value names are
// matched without regard to case, as Windows does.
//
// Every read reads the file anew; every change takes the lock file
// (registry.txt.lock, flock), reads, changes, writes a temporary file and renames
// it over the old one, so a reader never sees half a file. The scripts use the
// same rules (install/exe_file/cadhost_registry.py). A change that cannot be
// written is said on the command line and counts as a failure of the session.
#include <fcntl.h>
#include <strings.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include "dxf/file_replace.h"
#include "platform/win_platform.h"
#include "session/session.h"
#include "winplat.h"

#ifndef ORVIK_INSTALL_TREE
#define ORVIK_INSTALL_TREE ""
#endif

namespace host::platform {
namespace {

thread_local DWORD last_error = 0;

struct Value {
    std::string key;   // as first written
    std::string name;  // as first written
    DWORD type = REG_SZ;
    std::string data;  // REG_SZ: the text without terminator; REG_DWORD: 4 bytes; else the bytes
};

// A key or name as it is matched: ASCII letters in lower case.
std::string folded(const std::string& text)
{
    std::string out = text;
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

bool same(const std::string& a, const std::string& b)
{
    return ::strcasecmp(a.c_str(), b.c_str()) == 0;
}

// The registry as the file holds it. Its keys are known by their folded
// names, so that reading and writing a registry of many lines costs in step
// with its lines; a lookup reads through the lines once.
struct Registry {
    std::vector<std::string> keys;  // keys that exist, with or without values
    std::vector<Value> values;

    bool has_key(const std::string& key) const { return key_set.count(folded(key)) != 0; }
    void add_key(const std::string& key)
    {
        if (key_set.insert(folded(key)).second) keys.push_back(key);
    }
    // A key exists when it was made or when a key below it was.
    bool key_exists(const std::string& key) const
    {
        if (has_key(key)) return true;
        const std::string subkey_prefix = key + "\\";
        for (const std::string& k : keys)
            if (k.size() > subkey_prefix.size() &&
                ::strncasecmp(k.c_str(), subkey_prefix.c_str(), subkey_prefix.size()) == 0)
                return true;
        return false;
    }
    Value* find_value(const std::string& key, const std::string& name)
    {
        for (Value& v : values)
            if (same(v.key, key) && same(v.name, name)) return &v;
        return nullptr;
    }
    Value& add_value(Value value)
    {
        values.push_back(std::move(value));
        return values.back();
    }
    bool erase_value(const std::string& key, const std::string& name)
    {
        for (auto it = values.begin(); it != values.end(); ++it) {
            if (same(it->key, key) && same(it->name, name)) {
                values.erase(it);
                return true;
            }
        }
        return false;
    }

private:
    std::unordered_set<std::string> key_set;  // the keys folded
};

std::string escape(const std::string& text)
{
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : text) {
        if (c == '%' || c == '\t' || c == '\n' || c == '\r' || c == '\0') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

int hex_digit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string unescape(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && hex_digit(text[i + 1]) >= 0 &&
            hex_digit(text[i + 2]) >= 0) {
            out += static_cast<char>(hex_digit(text[i + 1]) * 16 + hex_digit(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string> split_tabs(const std::string& line)
{
    std::vector<std::string> fields;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
        if (tab == std::string::npos) return fields;
        start = tab + 1;
    }
}

std::string encode_data(const Value& value)
{
    if (value.type == REG_SZ) return escape(value.data);
    if (value.type == REG_DWORD && value.data.size() == 4) {
        std::uint32_t number;
        std::memcpy(&number, value.data.data(), 4);
        return std::to_string(number);
    }
    static const char* hex = "0123456789abcdef";
    std::string out;
    for (unsigned char c : value.data) {
        out += hex[c >> 4];
        out += hex[c & 15];
    }
    return out;
}

std::string decode_data(DWORD type, const std::string& field)
{
    if (type == REG_SZ) return unescape(field);
    if (type == REG_DWORD) {
        std::uint32_t number = static_cast<std::uint32_t>(std::strtoul(field.c_str(), nullptr, 10));
        return std::string(reinterpret_cast<const char*>(&number), 4);
    }
    std::string out;
    for (size_t i = 0; i + 1 < field.size(); i += 2)
        out += static_cast<char>(hex_digit(field[i]) * 16 + hex_digit(field[i + 1]));
    return out;
}

Registry load(const std::string& file)
{
    Registry reg;
    std::ifstream in(file, std::ios::binary);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty() || line[0] == '#') continue;
        std::vector<std::string> f = split_tabs(line);
        std::string key = unescape(f[0]);
        reg.add_key(key);
        if (f.size() < 4) continue;
        Value value;
        value.key = key;
        value.name = unescape(f[1]);
        value.type = f[2] == "REG_SZ"      ? REG_SZ
                     : f[2] == "REG_DWORD" ? REG_DWORD
                                           : static_cast<DWORD>(std::strtoul(f[2].c_str(), nullptr, 10));
        value.data = decode_data(value.type, f[3]);
        reg.add_value(std::move(value));
    }
    return reg;
}

// A change that could not be kept is said, so that the older values a later
// read gives (or the values it lacks) are not taken for the registry's own.
void say_not_written(const std::string& why, const std::string& what)
{
    const std::string message =
        "\nThe registry could not be written (" + why + "); the change to " + what + " is not kept.";
    if (Session* session = Session::current_or_null())
        session->fail(message);
    else
        std::fprintf(stderr, "cadhost: %s\n", message.c_str() + 1);
}

bool save(const std::string& file, const Registry& reg, std::string& error)
{
    // "registry.txt.tmp.PID" files that earlier hosts, or the scripts killed
    // mid-write, left behind.
    remove_abandoned_files(home_folder(), "registry.txt.tmp.");
    std::ostringstream out;
    out << "# The host's registry: key, or key TAB value name TAB type TAB data.\n";
    // The keys in order, then those that only values name; each with its values in order.
    std::vector<std::string> keys = reg.keys;
    std::unordered_map<std::string, std::vector<const Value*>> values_of;
    for (const Value& v : reg.values) {
        std::vector<const Value*>& list = values_of[folded(v.key)];
        if (list.empty() && !reg.has_key(v.key)) keys.push_back(v.key);
        list.push_back(&v);
    }
    for (const std::string& key : keys) {
        auto found = values_of.find(folded(key));
        if (found == values_of.end()) {
            out << escape(key) << "\n";
            continue;
        }
        for (const Value* value : found->second) {
            const Value& v = *value;
            std::string type = v.type == REG_SZ      ? "REG_SZ"
                               : v.type == REG_DWORD ? "REG_DWORD"
                                                     : std::to_string(v.type);
            out << escape(v.key) << '\t' << escape(v.name) << '\t' << type << '\t' << encode_data(v) << "\n";
        }
    }
    // Through the one replacing step every written file takes: a registry that
    // cannot be written whole (a full home folder) stays as it was, and no
    // scratch file is left beside it.
    return replace_file_contents(file, out.str(), error);
}

// Holds the registry's lock file for one change.
class FileLock {
public:
    explicit FileLock(const std::string& file)
    {
        fd_ = ::open((file + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ >= 0) ::flock(fd_, LOCK_EX);
    }
    ~FileLock()
    {
        if (fd_ >= 0) {
            ::flock(fd_, LOCK_UN);
            ::close(fd_);
        }
    }

private:
    int fd_ = -1;
};

// Reads, changes and writes back the registry under its lock; change returns
// the Windows error code, and the file is written only on success. A change
// that cannot be written is said, naming what (a value, a key) it was to.
template <typename Change>
LONG modify(const std::string& what, Change change)
{
    std::string file = registry_file();
    FileLock lock(file);
    Registry reg = load(file);
    LONG result = change(reg);
    std::string error;
    if (result == ERROR_SUCCESS && !save(file, reg, error)) {
        say_not_written(error, what);
        result = ERROR_ACCESS_DENIED;
    }
    return result;
}

// "a\\b\" -> "a\b": separators collapsed, none at the ends.
std::string tidy_key(const std::string& key)
{
    std::string out;
    for (char c : key) {
        if (c == '\\' && (out.empty() || out.back() == '\\')) continue;
        out.push_back(c);
    }
    while (!out.empty() && out.back() == '\\') out.pop_back();
    return out;
}

// Open key handles: the root keys stand for themselves, others are numbered.
std::mutex handles_mutex;
std::map<std::uintptr_t, std::string> open_keys;
std::uintptr_t next_handle = 0x1000;

std::optional<std::string> root_name(HKEY key)
{
    if (key == HKEY_CLASSES_ROOT) return "HKEY_CLASSES_ROOT";
    if (key == HKEY_CURRENT_USER) return "HKEY_CURRENT_USER";
    if (key == HKEY_LOCAL_MACHINE) return "HKEY_LOCAL_MACHINE";
    return std::nullopt;
}

std::optional<std::string> key_path(HKEY key)
{
    if (auto root = root_name(key)) return root;
    std::lock_guard<std::mutex> guard(handles_mutex);
    auto it = open_keys.find(reinterpret_cast<std::uintptr_t>(key));
    if (it == open_keys.end()) return std::nullopt;
    return it->second;
}

HKEY new_handle(const std::string& path)
{
    std::lock_guard<std::mutex> guard(handles_mutex);
    std::uintptr_t handle = next_handle++;
    open_keys[handle] = path;
    return reinterpret_cast<HKEY>(handle);
}

std::optional<std::string> full_path(HKEY key, LPCSTR sub_key)
{
    auto base = key_path(key);
    if (!base) return std::nullopt;
    std::string sub = tidy_key(sub_key ? sub_key : "");
    return sub.empty() ? *base : *base + "\\" + sub;
}

LONG fail(LONG error)
{
    last_error = static_cast<DWORD>(error);
    return error;
}

// The homes whose registry has had its first-run setup in this process.
std::mutex setup_mutex;
std::set<std::string> set_up_homes;

std::optional<std::string> raw_read_text(const std::string& key, const std::string& name)
{
    Registry reg = load(registry_file());
    Value* value = reg.find_value(tidy_key(key), name);
    if (!value || value->type != REG_SZ) return std::nullopt;
    return value->data;
}

bool raw_write_text(const std::string& key, const std::string& name, const std::string& text)
{
    std::string path = tidy_key(key);
    return modify("\"" + name + "\"", [&](Registry& reg) {
               if (!reg.key_exists(path)) reg.add_key(path);
               Value* value = reg.find_value(path, name);
               if (!value) value = &reg.add_value(Value{path, name, REG_SZ, {}});
               value->type = REG_SZ;
               value->data = text.substr(0, text.find('\0'));
               return ERROR_SUCCESS;
           }) == ERROR_SUCCESS;
}

void write_if_missing(const std::string& name, const std::string& text)
{
    if (!raw_read_text(kProductKey, name)) raw_write_text(kProductKey, name, text);
}

void setup_once(const std::string& install_folder, bool forced)
{
    std::string home = home_folder();
    {
        std::lock_guard<std::mutex> guard(setup_mutex);
        if (!set_up_homes.insert(home).second && !forced) return;
    }
    std::string install = install_folder;
    if (install.empty()) {
        Session* session = Session::current_or_null();
        install = session && !session->install_folder.empty() ? session->install_folder : ORVIK_INSTALL_TREE;
    }
    // The installation folder is that of the program running, so that another
    // checkout sharing the home uses its own install tree; the database follows
    // it while it is the former installation's default.
    std::optional<std::string> former = raw_read_text(kProductKey, "Installation folder");
    if (former != install) raw_write_text(kProductKey, "Installation folder", install);
    std::optional<std::string> database = raw_read_text(kProductKey, "Database");
    if (!database || (former && *database == *former + "/data"))
        raw_write_text(kProductKey, "Database", install + "/data");
    write_if_missing("Temporary folder", home + "/AppData/Roaming/PelmoraSoftware/OrvikSurvey/temp");
}

void ensure_setup()
{
    setup_once("", false);
}

}  // namespace

std::string registry_file()
{
    return home_folder() + "/registry.txt";
}

std::optional<std::string> registry_read_text(const std::string& key, const std::string& name)
{
    ensure_setup();
    return raw_read_text(key, name);
}

bool registry_write_text(const std::string& key, const std::string& name, const std::string& text)
{
    ensure_setup();
    return raw_write_text(key, name, text);
}

bool registry_delete(const std::string& key, const std::string& name)
{
    ensure_setup();
    std::string path = tidy_key(key);
    return modify("\"" + name + "\"", [&](Registry& reg) {
               return reg.erase_value(path, name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
           }) == ERROR_SUCCESS;
}

void first_run_setup(const std::string& install_folder)
{
    setup_once(install_folder, true);
}

}  // namespace host::platform

void platform_first_run_setup(const std::string& install_folder)
{
    host::platform::first_run_setup(install_folder);
}

// Every session sets up the folder values that are missing when it starts.
static const bool first_run_setup_added =
    host::add_session_setup([](host::Session& session) { platform_first_run_setup(session.install_folder); });

using namespace host::platform;

extern "C" {

HOST_API DWORD GetLastError()
{
    return last_error;
}
HOST_API void SetLastError(DWORD error)
{
    last_error = error;
}

HOST_API LONG RegCreateKeyExA(HKEY key, LPCSTR sub_key, DWORD reserved, LPSTR class_name, DWORD options,
                              REGSAM access, void* security, HKEY* result, DWORD* disposition)
{
    ensure_setup();
    if (!result) return fail(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    auto path = full_path(key, sub_key);
    if (!path) return fail(ERROR_INVALID_HANDLE);
    bool created = false;
    LONG error = modify("the key " + *path, [&](Registry& reg) {
        if (reg.key_exists(*path)) return ERROR_SUCCESS;
        reg.add_key(*path);
        created = true;
        return ERROR_SUCCESS;
    });
    if (error != ERROR_SUCCESS) return fail(error);
    if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    *result = new_handle(*path);
    return ERROR_SUCCESS;
}

HOST_API LONG RegOpenKeyExA(HKEY key, LPCSTR sub_key, DWORD options, REGSAM access, HKEY* result)
{
    ensure_setup();
    if (!result) return fail(ERROR_INVALID_PARAMETER);
    *result = nullptr;
    auto path = full_path(key, sub_key);
    if (!path) return fail(ERROR_INVALID_HANDLE);
    bool is_root = path->find('\\') == std::string::npos;
    if (!is_root && !load(registry_file()).key_exists(*path)) return fail(ERROR_FILE_NOT_FOUND);
    *result = new_handle(*path);
    return ERROR_SUCCESS;
}

HOST_API LONG RegSetValueExA(HKEY key, LPCSTR value_name, DWORD reserved, DWORD type, const BYTE* data,
                             DWORD size)
{
    ensure_setup();
    auto path = key_path(key);
    if (!path) return fail(ERROR_INVALID_HANDLE);
    if (!data && size > 0) return fail(ERROR_INVALID_PARAMETER);
    std::string bytes(reinterpret_cast<const char*>(data ? data : reinterpret_cast<const BYTE*>("")), size);
    // A text is kept up to its terminator; one written without it (its length
    // counted without the terminator) is the same text.
    if (type == REG_SZ) bytes = bytes.substr(0, bytes.find('\0'));
    std::string name = value_name ? value_name : "";
    LONG error = modify("\"" + name + "\"", [&](Registry& reg) {
        if (!reg.key_exists(*path)) reg.add_key(*path);
        Value* value = reg.find_value(*path, name);
        if (!value) value = &reg.add_value(Value{*path, name, type, {}});
        value->type = type;
        value->data = bytes;
        return ERROR_SUCCESS;
    });
    return error == ERROR_SUCCESS ? ERROR_SUCCESS : fail(error);
}

HOST_API LONG RegQueryValueExA(HKEY key, LPCSTR value_name, DWORD* reserved, DWORD* type, BYTE* data,
                               DWORD* size)
{
    ensure_setup();
    auto path = key_path(key);
    if (!path) return fail(ERROR_INVALID_HANDLE);
    if (data && !size) return fail(ERROR_INVALID_PARAMETER);
    Registry reg = load(registry_file());
    Value* value = reg.find_value(*path, value_name ? value_name : "");
    if (!value) return fail(ERROR_FILE_NOT_FOUND);
    if (type) *type = value->type;
    // A text is always handed out with its terminator, so the size it needs is
    // one more than its length, however it was written.
    DWORD needed = static_cast<DWORD>(value->data.size() + (value->type == REG_SZ ? 1 : 0));
    if (!data) {
        if (size) *size = needed;
        return ERROR_SUCCESS;
    }
    if (*size < needed) {
        *size = needed;
        return fail(ERROR_MORE_DATA);
    }
    std::memcpy(data, value->data.data(), value->data.size());
    if (value->type == REG_SZ) data[value->data.size()] = '\0';
    *size = needed;
    return ERROR_SUCCESS;
}

HOST_API LONG RegDeleteValueA(HKEY key, LPCSTR value_name)
{
    ensure_setup();
    auto path = key_path(key);
    if (!path) return fail(ERROR_INVALID_HANDLE);
    std::string name = value_name ? value_name : "";
    LONG error = modify("\"" + name + "\"", [&](Registry& reg) {
        return reg.erase_value(*path, name) ? ERROR_SUCCESS : ERROR_FILE_NOT_FOUND;
    });
    return error == ERROR_SUCCESS ? ERROR_SUCCESS : fail(error);
}

HOST_API LONG RegCloseKey(HKEY key)
{
    if (root_name(key)) return ERROR_SUCCESS;
    std::lock_guard<std::mutex> guard(handles_mutex);
    if (open_keys.erase(reinterpret_cast<std::uintptr_t>(key)) == 0) return fail(ERROR_INVALID_HANDLE);
    return ERROR_SUCCESS;
}

}  // extern "C"
