// ShellExecuteA of the Windows stand-in. The product opens two kinds of thing
// with the verb "open": its sibling programs ("<install>\exe_file\X.exe") and
// the maker's web page.
//   - A web address (http:// or https://) is recorded and printed, never opened.
//   - A program with a stand-in registered (siblings.h) runs the stand-in at the
//     next turn of the message pump.
//   - "...\X.exe" starts our program X beside it (a script or a built program of
//     this machine) as a child process, with the parameters split as Windows
//     splits a command line and with CADHOST_HOME in its environment. Its
//     standard input is the terminal only when a person is typing the session's
//     answers; otherwise it reads nothing (/dev/null).
//   - Anything else fails with an error code of 32 or below, as Windows does.
// Children are reaped at every turn of the pump. ShellExecuteExA does the same
// and, when asked (SEE_MASK_NOCLOSEPROCESS), hands back a process handle that
// GetExitCodeProcess reads: STILL_ACTIVE while the child runs, then its exit
// status (128 + the signal for a child that was killed or crashed). A stand-in's
// process ends once the pump has run it.
#include "platform/win_shell.h"

#include <fcntl.h>
#include <spawn.h>
#include <strings.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/siblings.h"
#include "platform/win_platform.h"
#include "session/session.h"
#include "winplat.h"

extern char** environ;

namespace host::platform {
namespace {

constexpr int kStarted = 42;        // > 32: success
constexpr int kNotFound = 2;        // ERROR_FILE_NOT_FOUND
constexpr int kNoAssociation = 31;  // SE_ERR_NOASSOC: a verb other than "open"

std::mutex children_mutex;
std::vector<pid_t> children;

// A process handed out by ShellExecuteExA: a child (pid) or a stand-in, which
// ends when the pump's turn it belongs to has run.
struct ProcessEntry {
    pid_t pid = -1;
    bool standin = false;
    unsigned turn = 0;
    bool ended = false;
    DWORD exit_code = 0;
};
std::map<std::intptr_t, ProcessEntry> processes;  // by handle value; under children_mutex
std::intptr_t next_handle = 0x100;
unsigned current_standin_turn = 0;

HANDLE new_process_handle(const ProcessEntry& entry)
{
    const std::intptr_t value = next_handle++;
    processes[value] = entry;
    return reinterpret_cast<HANDLE>(value);
}

// A child has ended with that wait status (or was reaped elsewhere: status < 0).
void child_ended(pid_t pid, int status)
{
    for (auto& [value, entry] : processes) {
        if (entry.standin || entry.pid != pid || entry.ended) continue;
        entry.ended = true;
        if (status < 0)
            entry.exit_code = 0;
        else if (WIFEXITED(status))
            entry.exit_code = static_cast<DWORD>(WEXITSTATUS(status));
        else if (WIFSIGNALED(status))
            entry.exit_code = static_cast<DWORD>(128 + WTERMSIG(status));
    }
}

bool starts_with_nocase(const std::string& text, const char* prefix)
{
    return ::strncasecmp(text.c_str(), prefix, std::strlen(prefix)) == 0;
}

bool is_program(const std::string& path)
{
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// The program of this machine that a program file of the product stands for.
std::string program_for(const std::string& file)
{
    std::string native = native_path(file);
    if (native.size() > 4 && ::strcasecmp(native.c_str() + native.size() - 4, ".exe") == 0) {
        std::string beside = native_path(native.substr(0, native.size() - 4));
        if (is_program(beside)) return beside;
    }
    return is_program(native) ? native : std::string();
}

// A Windows command line split into arguments: blanks separate, double quotes
// group (a quote inside quotes is written \").
std::vector<std::string> split_command_line(const std::string& line)
{
    std::vector<std::string> args;
    std::string current;
    bool in_arg = false, quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        if (c == '\\' && i + 1 < line.size() && line[i + 1] == '"') {
            current += '"';
            ++i;
            in_arg = true;
        } else if (c == '"') {
            quoted = !quoted;
            in_arg = true;
        } else if ((c == ' ' || c == '\t') && !quoted) {
            if (in_arg) args.push_back(current);
            current.clear();
            in_arg = false;
        } else {
            current += c;
            in_arg = true;
        }
    }
    if (in_arg) args.push_back(current);
    return args;
}

bool session_is_typed()
{
    Session* session = Session::current_or_null();
    return session && session->input() && session->input()->interactive();
}

int start_child(const std::string& program, const std::string& parameters, const std::string& folder,
                pid_t& started)
{
    std::vector<std::string> args = split_command_line(parameters);
    args.insert(args.begin(), program);
    std::vector<char*> argv;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);

    std::string home = "CADHOST_HOME=" + home_folder();
    std::vector<char*> envp;
    for (char** e = environ; e && *e; ++e)
        if (std::strncmp(*e, "CADHOST_HOME=", 13) != 0) envp.push_back(*e);
    envp.push_back(home.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!session_is_typed()) posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    std::string native_folder = folder.empty() ? std::string() : native_path(folder);
    if (!native_folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, native_folder.c_str());
    pid_t pid = 0;
    int error = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0) return kNotFound;
    std::lock_guard<std::mutex> guard(children_mutex);
    children.push_back(pid);
    started = pid;
    return kStarted;
}

void say(const std::string& text)
{
    if (Session* session = Session::current_or_null())
        session->print(text);
    else
        std::fputs(text.c_str(), stdout);
}

}  // namespace

std::vector<ShellRecord>& shell_history()
{
    static std::vector<ShellRecord> history;
    return history;
}

std::vector<std::string>& opened_addresses()
{
    static std::vector<std::string> addresses;
    return addresses;
}

int running_children()
{
    std::lock_guard<std::mutex> guard(children_mutex);
    for (auto it = children.begin(); it != children.end();) {
        int status = 0;
        pid_t done = ::waitpid(*it, &status, WNOHANG);
        if (done == *it || done < 0) {
            child_ended(*it, done < 0 ? -1 : status);
            it = children.erase(it);
        } else {
            ++it;
        }
    }
    return static_cast<int>(children.size());
}

void wait_children()
{
    std::vector<pid_t> all;
    {
        std::lock_guard<std::mutex> guard(children_mutex);
        all.swap(children);
    }
    for (pid_t pid : all) {
        int status = 0;
        const pid_t done = ::waitpid(pid, &status, 0);
        std::lock_guard<std::mutex> guard(children_mutex);
        child_ended(pid, done == pid ? status : -1);
    }
}

unsigned standin_turn_begin()
{
    std::lock_guard<std::mutex> guard(children_mutex);
    return current_standin_turn++;
}

void standin_turn_end(unsigned turn)
{
    std::lock_guard<std::mutex> guard(children_mutex);
    for (auto& [value, entry] : processes)
        if (entry.standin && !entry.ended && entry.turn <= turn) entry.ended = true;
}

}  // namespace host::platform

using namespace host::platform;

namespace {

// The shell's "open" of a file, with the process started handed back when
// process is given (null when none was started). Returns > 32 on success.
int shell_open_file(LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR directory, HANDLE* process)
{
    if (process) *process = nullptr;
    ShellRecord record;
    record.file = file ? file : "";
    record.parameters = parameters ? parameters : "";
    if (verb && *verb && ::strcasecmp(verb, "open") != 0) {
        record.result = kNoAssociation;
    } else if (record.file.empty()) {
        record.result = kNotFound;
    } else if (starts_with_nocase(record.file, "http://") || starts_with_nocase(record.file, "https://")) {
        opened_addresses().push_back(record.file);
        say("\nOpening " + record.file);
        record.started = record.file;
        record.result = kStarted;
    } else if (start_sibling_standin(record.file)) {
        record.started = "stand-in";
        record.result = kStarted;
        if (process) {
            std::lock_guard<std::mutex> guard(children_mutex);
            ProcessEntry entry;
            entry.standin = true;
            entry.turn = current_standin_turn;
            *process = new_process_handle(entry);
        }
    } else if (std::string program = program_for(record.file); !program.empty()) {
        running_children();  // reap the ended ones first
        record.started = program;
        pid_t pid = -1;
        record.result = start_child(program, record.parameters, directory ? directory : "", pid);
        if (process && record.result > 32) {
            std::lock_guard<std::mutex> guard(children_mutex);
            ProcessEntry entry;
            entry.pid = pid;
            *process = new_process_handle(entry);
        }
    } else {
        record.result = kNotFound;
    }
    if (record.result <= 32)
        SetLastError(
            static_cast<DWORD>(record.result == kNoAssociation ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND));
    shell_history().push_back(record);
    return record.result;
}

}  // namespace

extern "C" HOST_API HINSTANCE ShellExecuteA(HWND window, LPCSTR verb, LPCSTR file, LPCSTR parameters,
                                            LPCSTR directory, int show)
{
    const int result = shell_open_file(verb, file, parameters, directory, nullptr);
    return reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(result));
}

extern "C" HOST_API BOOL ShellExecuteExA(SHELLEXECUTEINFOA* info)
{
    if (!info) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        return 0;
    }
    HANDLE process = nullptr;
    const bool keep_process = (info->fMask & SEE_MASK_NOCLOSEPROCESS) != 0;
    const int result = shell_open_file(info->lpVerb, info->lpFile, info->lpParameters, info->lpDirectory,
                                       keep_process ? &process : nullptr);
    info->hInstApp = reinterpret_cast<HINSTANCE>(static_cast<std::intptr_t>(result));
    info->hProcess = process;
    return result > 32 ? 1 : 0;
}

extern "C" HOST_API BOOL GetExitCodeProcess(HANDLE process, DWORD* exit_code)
{
    running_children();  // reap the children that have ended since the last turn
    std::lock_guard<std::mutex> guard(children_mutex);
    auto it = processes.find(reinterpret_cast<std::intptr_t>(process));
    if (it == processes.end() || !exit_code) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_HANDLE));
        return 0;
    }
    *exit_code = it->second.ended ? it->second.exit_code : static_cast<DWORD>(STILL_ACTIVE);
    return 1;
}

extern "C" HOST_API BOOL CloseHandle(HANDLE handle)
{
    std::lock_guard<std::mutex> guard(children_mutex);
    if (processes.erase(reinterpret_cast<std::intptr_t>(handle)) == 0) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_HANDLE));
        return 0;
    }
    return 1;
}
