// Files and folders of the Windows stand-in: the one boundary where the
// plug-ins' Windows-style paths become paths of this machine, the C runtime
// file calls that take them, and the special folders (application data,
// system and Windows folders) kept under the host home.
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "dxf/file_replace.h"
#include "platform/win_platform.h"
#include "winplat.h"

namespace host::platform {
namespace {

bool exists(const std::string& path)
{
    struct stat st;
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

bool is_folder(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// "\" to "/" and runs of separators collapsed into one.
std::string unify_separators(const std::string& path)
{
    std::string out;
    out.reserve(path.size());
    for (char c : path) {
        if (c == '\\') c = '/';
        if (c == '/' && !out.empty() && out.back() == '/') continue;
        out.push_back(c);
    }
    return out;
}

bool has_drive_letter(const std::string& path)
{
    return path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':';
}

// The entry of folder whose name matches name without regard to case; empty when none.
std::string find_without_case(const std::string& folder, const std::string& name)
{
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::string found;
    while (dirent* entry = ::readdir(dir)) {
        if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Windows finds "Data\Symboldata.bin" in a folder "data": the components that do
// not exist as spelt are looked up without regard to case, as far as they go.
std::string resolve_case(const std::string& path)
{
    if (path.empty() || exists(path)) return path;
    std::string done = path[0] == '/' ? "/" : "";
    size_t pos = done.size();
    while (pos < path.size()) {
        size_t end = path.find('/', pos);
        std::string part = path.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        std::string candidate = done + part;
        if (!part.empty() && part != "." && part != ".." && !exists(candidate)) {
            std::string match = find_without_case(done.empty() ? "." : done, part);
            if (match.empty()) return done + path.substr(pos);  // the rest does not exist yet
            candidate = done + match;
        }
        if (end == std::string::npos) return candidate;
        done = candidate + "/";
        pos = end + 1;
    }
    return done;
}

// The part of a drive's path after "x:", taken as Windows takes it: from the
// drive's root, "." naming the folder it is in and ".." the one above, except
// at the root, where it stays; so no path of a drive names anything outside
// the drive's folder.
std::string within_drive(const std::string& rest)
{
    std::vector<std::string> parts;
    size_t pos = 0;
    while (pos <= rest.size()) {
        size_t end = rest.find('/', pos);
        if (end == std::string::npos) end = rest.size();
        std::string part = rest.substr(pos, end - pos);
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(std::move(part));
        }
        pos = end + 1;
    }
    std::string out;
    for (const std::string& part : parts) out += (out.empty() ? "" : "/") + part;
    if (!out.empty() && rest.back() == '/') out += '/';  // a folder named as one stays so
    return out;
}

std::string copy_out(const std::string& text, char* out, int size)
{
    if (out && size > 0) {
        size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
        std::memcpy(out, text.data(), n);
        out[n] = '\0';
    }
    return text;
}

// GetSystemDirectoryA and GetWindowsDirectoryA: the length copied, or the size
// needed (with the terminator) when the buffer is too small.
UINT folder_result(const std::string& folder, char* buffer, UINT size)
{
    make_folders(folder);
    if (!buffer || folder.size() + 1 > size) return static_cast<UINT>(folder.size() + 1);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
    return static_cast<UINT>(folder.size());
}

}  // namespace

std::string home_folder()
{
    std::string home;
    if (const char* env = std::getenv("CADHOST_HOME"); env && *env) {
        home = env;
    } else {
        const char* user_home = std::getenv("HOME");
        home = std::string(user_home && *user_home ? user_home : "/tmp") + "/.cadhost";
    }
    while (home.size() > 1 && home.back() == '/') home.pop_back();
    make_folders(home);
    return home;
}

bool make_folders(const std::string& native_folder)
{
    if (native_folder.empty()) return false;
    for (size_t pos = 1; pos <= native_folder.size(); ++pos) {
        if (pos == native_folder.size() || native_folder[pos] == '/') {
            std::string prefix = native_folder.substr(0, pos);
            if (!is_folder(prefix) && ::mkdir(prefix.c_str(), 0777) != 0 && errno != EEXIST) return false;
        }
    }
    return is_folder(native_folder);
}

std::string native_path(const std::string& path)
{
    std::string unified = unify_separators(path);
    if (has_drive_letter(unified)) {
        std::string drive = home_folder() + "/drive_" +
                            static_cast<char>(std::tolower(static_cast<unsigned char>(unified[0])));
        make_folders(drive);
        std::string rest = within_drive(unified.substr(2));
        unified = rest.empty() ? drive : drive + "/" + rest;
    }
    return resolve_case(unified);
}

}  // namespace host::platform

using host::platform::native_path;

extern "C" {

HOST_API std::FILE* win_fopen(const char* path, const char* mode)
{
    if (!path || !mode) return nullptr;
    std::string unix_mode;
    for (const char* m = mode; *m; ++m)
        if (*m != 't') unix_mode.push_back(*m);  // text mode is the only mode here
    return std::fopen(native_path(path).c_str(), unix_mode.c_str());
}

HOST_API int win_remove(const char* path)
{
    if (!path) return -1;
    return std::remove(native_path(path).c_str());
}

HOST_API char* win_native_path(const char* path, char* out, int size)
{
    host::platform::copy_out(path ? native_path(path) : std::string(), out, size);
    return out;
}

HOST_API int win_replace_file(const char* path, const char* data, unsigned long size, char* why, int why_size)
{
    std::string error;
    bool written = false;
    if (!path || !*path)
        error = "no file name";
    else if (!data && size > 0)
        error = "no text to write";
    else
        written = host::replace_file_contents(native_path(path), std::string(data ? data : "", size), error);
    if (why) host::platform::copy_out(written ? std::string() : error, why, why_size);
    return written ? 1 : 0;
}

HOST_API int _stat(const char* path, struct _stat* status)
{
    if (!path || !*path) return -1;
    struct stat st;
    if (::stat(native_path(path).c_str(), &st) != 0) return -1;
    if (status) {
        // The C runtime's mode bits for folders and files are the same as here.
        status->st_mode = st.st_mode;
        status->st_size = st.st_size;
        status->st_mtime = st.st_mtime;
    }
    return 0;
}

HOST_API BOOL CreateDirectoryA(LPCSTR path, void* security)
{
    if (!path || !*path) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return 0;
    }
    std::string native = native_path(path);
    if (::mkdir(native.c_str(), 0777) == 0) return 1;
    SetLastError(errno == EEXIST                       ? ERROR_ALREADY_EXISTS
                 : errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND
                                                       : ERROR_ACCESS_DENIED);
    return 0;
}

HOST_API HRESULT SHGetFolderPathA(HWND window, int folder, void* token, DWORD flags, LPSTR path)
{
    if (!path) return E_FAIL;
    path[0] = '\0';
    if ((folder & 0xff) != CSIDL_APPDATA) return E_FAIL;
    std::string appdata = host::platform::home_folder() + "/AppData/Roaming";
    if (appdata.size() >= MAX_PATH || !host::platform::make_folders(appdata)) return E_FAIL;
    host::platform::copy_out(appdata, path, MAX_PATH);
    return S_OK;
}

HOST_API UINT GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    return host::platform::folder_result(host::platform::home_folder() + "/drive_c/Windows/System32", buffer,
                                         size);
}

HOST_API UINT GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    return host::platform::folder_result(host::platform::home_folder() + "/drive_c/Windows", buffer, size);
}

}  // extern "C"
