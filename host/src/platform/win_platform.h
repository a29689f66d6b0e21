// The insides of the host's Windows stand-in (registry, folders, shell and
// message pump), for the host itself and its tests. The plug-ins see only
// host/api/winplat.h.
//
// Everything a user's Windows would keep lives under one folder per user, the
// host home: $CADHOST_HOME, or ~/.cadhost when it is not set.
//   registry.txt       the registry (see win_registry.cpp for its format)
//   AppData/Roaming    what SHGetFolderPathA(CSIDL_APPDATA) gives
//   drive_c/ ...       what "c:\..." stands for (other drive letters likewise)
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace host::platform {

// The host home, created when missing. Read from the environment at each call,
// so a test can point it elsewhere.
std::string home_folder();

// The path of this machine that a Windows-style path stands for: "\" becomes
// "/", doubled separators are collapsed, "x:\rest" becomes <home>/drive_x/rest
// (the drive folder is created), and a path that is already one of this machine
// is left as it is. Components that do not exist with the given spelling are
// matched without regard to case against what is on disk, as Windows would.
std::string native_path(const std::string& path);

// Creates every folder along a path of this machine; false when one cannot be made.
bool make_folders(const std::string& native_folder);

// The registry file of the current home.
std::string registry_file();

// Registry access by full key path ("HKEY_LOCAL_MACHINE\SOFTWARE\..."), for
// the host's own setup and for tests. Texts are REG_SZ values.
std::optional<std::string> registry_read_text(const std::string& key, const std::string& name);
bool registry_write_text(const std::string& key, const std::string& name, const std::string& text);
bool registry_delete(const std::string& key, const std::string& name);

// The product's key, where the folder and handshake values live.
inline constexpr const char* kProductKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Pelmora Software\\orvik_survey";

// Sets up the product's folder values: "Installation folder" is install_folder
// (the running program's install tree) at every start; "Database" is its "data"
// folder when missing or still the former installation's; "Temporary folder" is
// set only when missing.
// Every session does it when it starts (a session setup of win_registry.cpp);
// besides, the first registry call of the process with a home does it, taking
// the running session's install folder.
void first_run_setup(const std::string& install_folder);

// One ShellExecuteA call, as the shell stand-in saw it.
struct ShellRecord {
    std::string file;        // as the caller gave it
    std::string parameters;  // as the caller gave it
    std::string started;     // the program of this machine started, or the stand-in's name
    int result = 0;          // what ShellExecuteA returned (> 32 success)
};
std::vector<ShellRecord>& shell_history();
// The web addresses given to ShellExecuteA, in order (printed, never opened).
std::vector<std::string>& opened_addresses();

// Child processes started by the shell that have not ended yet; reaps the ended.
int running_children();
// Waits until every child has ended (for tests and the host's shutdown).
void wait_children();

// The pump's clock: GetTickCount in pump milliseconds. One pump second lasts
// Session::pump_second_ms real milliseconds (1000 when no session runs).
unsigned long pump_ticks();

}  // namespace host::platform

// The registry's first-run setup, as the session calls it when it starts.
void platform_first_run_setup(const std::string& install_folder);
