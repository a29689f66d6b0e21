// The product's folders and registry values, the sibling start-and-wait, the
// maker's home page and the path helpers.
#include "folders_registry.h"

#include <strings.h>

#include <cstdint>
#include <cstring>

#include "ads.h"

app_folder_rec app_folders;

namespace {

// The maker's home page (at most 28 characters).
constexpr const char* kHomePage = "http://www.pelmora.com.my";
// The size of the buffers the folder values and handshake values are read into.
constexpr DWORD kValueBuffer = 255;

int wait_limit_seconds = 600;

std::string software_key(const char* subkey)
{
    return std::string("SOFTWARE\\") + (subkey ? subkey : "");
}

// Reads one folder value; alerts "Fail read registry [ <name> ]" when it cannot.
bool read_folder_value(const char* name, std::string& out)
{
    if (reg_read_string(ORVIK_REGISTRY_SUBKEY, name, out)) return true;
    std::string message = std::string("Fail read registry [ ") + name + " ]";
    acedAlert(message.c_str());
    return false;
}

const std::string& loaded_field(app_folder_rec& folders, const std::string& field)
{
    if (!folders.loaded) app_folders_load(folders);
    return field;
}

}  // namespace

int app_folders_load(app_folder_rec& folders)
{
    std::string text;
    if (!read_folder_value("Installation folder", text)) return 0;
    folders.install_folder = text;
    // The value must be there, but the temporary folder is always the one
    // under the user's application data.
    if (!read_folder_value("Temporary folder", text)) return 0;
    folders.temp_folder = appdata_folder() + "\\PelmoraSoftware\\OrvikSurvey\\temp";
    dir_create_path(folders.temp_folder);
    if (!read_folder_value("Database", text)) return 0;
    folders.database_folder = text;
    folders.loaded = 1;
    return 1;
}

const std::string& app_install_folder(app_folder_rec& folders)
{
    return loaded_field(folders, folders.install_folder);
}
const std::string& app_temp_folder(app_folder_rec& folders)
{
    return loaded_field(folders, folders.temp_folder);
}
const std::string& app_database_folder(app_folder_rec& folders)
{
    return loaded_field(folders, folders.database_folder);
}

int reg_write_string(const char* subkey, const char* value_name, const char* text)
{
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, software_key(subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_ALL_ACCESS, nullptr, &key, &disposition) != ERROR_SUCCESS)
        return 0;
    const char* value = text ? text : "";
    LONG result = RegSetValueExA(key, value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                 static_cast<DWORD>(std::strlen(value)));
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

int reg_read_string(const char* subkey, const char* value_name, char* buffer, DWORD* size)
{
    if (!buffer || !size || *size == 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const DWORD capacity = *size;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, software_key(subkey).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0;
    DWORD type = REG_NONE;
    LONG result = RegQueryValueExA(key, value_name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    if (type != REG_SZ) {
        buffer[0] = '\0';
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    // A text stored without its terminator comes back without it on Windows;
    // it is terminated here when there is room, and refused when there is not.
    if (*size == 0 || buffer[*size - 1] != '\0') {
        if (*size >= capacity) {
            buffer[capacity - 1] = '\0';
            SetLastError(ERROR_MORE_DATA);
            return 0;
        }
        buffer[(*size)++] = '\0';
    }
    return 1;
}

int reg_read_string(const char* subkey, const char* value_name, std::string& text)
{
    char buffer[kValueBuffer];
    DWORD size = kValueBuffer;
    if (!reg_read_string(subkey, value_name, buffer, &size)) return 0;
    text = buffer;
    return 1;
}

int reg_delete_value(const char* subkey, const char* value_name)
{
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, software_key(subkey).c_str(), 0, KEY_ALL_ACCESS, &key) !=
        ERROR_SUCCESS)
        return 0;
    LONG result = RegDeleteValueA(key, value_name);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        SetLastError(static_cast<DWORD>(result));
        return 0;
    }
    return 1;
}

void pump_messages_1s()
{
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 1000) {
        MSG msg;
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

void run_and_wait_set_limit(int seconds)
{
    wait_limit_seconds = seconds < 1 ? 1 : seconds;
}
int run_and_wait_limit()
{
    return wait_limit_seconds;
}

namespace {

// The program's file name without its folder, for messages.
std::string program_name(const char* file)
{
    std::string program = file ? file : "";
    if (size_t separator = program.find_last_of("/\\"); separator != std::string::npos)
        program.erase(0, separator + 1);
    return program;
}

bool handshake_answered(const char* subkey, const char* value_name)
{
    std::string answer;
    return reg_read_string(subkey, value_name, answer) && ::strcasecmp(answer.c_str(), "open") != 0;
}

bool process_has_ended(HANDLE process)
{
    DWORD code = 0;
    return process && GetExitCodeProcess(process, &code) && code != static_cast<DWORD>(STILL_ACTIVE);
}

// The wait itself, with the message of each way it can end but an answer;
// with caller_stops the messages say that the command stops.
sibling_wait start_and_wait(const char* file, const char* parameters, const char* subkey,
                            const char* value_name, bool caller_stops)
{
    pump_messages_1s();
    if (!reg_write_string(subkey, value_name, "open")) {
        acutPrintf("\nCannot write the registry value %s.", value_name ? value_name : "");
        return sibling_wait::not_started;
    }
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpVerb = "open";
    info.lpFile = file;
    info.lpParameters = parameters;
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) {
        acutPrintf("\nCannot start %s.", file ? file : "");
        return sibling_wait::not_started;
    }
    // The sibling is done once the value reads anything but "open"; a failed
    // read just waits another second. Whether the program has ended is seen
    // before the value is read, so an answer written just before it ended
    // still counts.
    sibling_wait outcome = sibling_wait::timed_out;
    for (int waited = 0; waited < wait_limit_seconds; ++waited) {
        pump_messages_1s();
        const bool ended = process_has_ended(info.hProcess);
        if (handshake_answered(subkey, value_name)) {
            outcome = sibling_wait::answered;
            break;
        }
        if (ended) {
            outcome = sibling_wait::ended;
            break;
        }
    }
    if (info.hProcess) CloseHandle(info.hProcess);
    const std::string program = program_name(file);
    const char* stops = "; the command stops here.";
    if (outcome == sibling_wait::ended)
        acutPrintf("\n%s ended without giving an answer%s", program.c_str(), caller_stops ? stops : ".");
    else if (outcome == sibling_wait::timed_out)
        acutPrintf("\n%s gave no answer within %d seconds%s", program.c_str(), wait_limit_seconds,
                   caller_stops ? stops : " and may still be running.");
    return outcome;
}

}  // namespace

sibling_wait run_and_wait_sibling(const char* file, const char* parameters, const char* subkey,
                                  const char* value_name)
{
    return start_and_wait(file, parameters, subkey, value_name, false);
}

int run_and_wait_registry(const char* file, const char* parameters, const char* subkey,
                          const char* value_name)
{
    return start_and_wait(file, parameters, subkey, value_name, true) == sibling_wait::answered ? 1 : 0;
}

int shell_open(const char* path)
{
    HINSTANCE result = ShellExecuteA(nullptr, "open", path, nullptr, nullptr, SW_SHOWNORMAL);
    return reinterpret_cast<std::intptr_t>(result) > 32 ? 1 : 0;
}

int home_page_open(const char* page_name)
{
    return shell_open(kHomePage);
}

void home_page_url(char* out)
{
    if (out) std::strcpy(out, kHomePage);
}

std::string home_page_url()
{
    return kHomePage;
}

int file_exists(const char* path)
{
    struct _stat status;
    return path && _stat(path, &status) == 0 ? 1 : 0;
}

std::string appdata_folder()
{
    char path[MAX_PATH] = "";
    if (SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path) != S_OK) return {};
    return path;
}

void dir_create_path(const std::string& path)
{
    for (size_t i = 1; i < path.size(); ++i) {
        if ((path[i] == '\\' || path[i] == '/') && path[i - 1] != ':')
            CreateDirectoryA(path.substr(0, i).c_str(), nullptr);
    }
    if (!path.empty()) CreateDirectoryA(path.c_str(), nullptr);
}

int path_file_name(const std::string& path, std::string& out)
{
    char separator = path.find('/') != std::string::npos ? '/' : '\\';
    size_t pos = path.rfind(separator);
    if (pos == std::string::npos) return 0;
    out = path.substr(pos + 1);
    return 1;
}

int path_strip_extension(const std::string& name, std::string& out)
{
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return 0;
    out = name.substr(0, dot);
    return 1;
}

int path_cut_extension(const std::string& name, std::string& out)
{
    size_t dot = name.rfind('.');
    if (dot == std::string::npos || dot < 1) return 0;
    out = name.substr(0, dot);
    return 1;
}

int path_replace_extension(const std::string& path, const std::string& extension, std::string& out)
{
    size_t separator = path.find_last_of("/\\");
    std::string folder = separator == std::string::npos ? "" : path.substr(0, separator + 1);
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    std::string stem;
    if (!path_strip_extension(name, stem)) return 0;
    out = folder + stem + "." + extension;
    return 1;
}
