// Stand-ins for the sibling programs that the product starts through the shell
// ("...\exe_file\Tarnic.exe" and the like), for tests that answer a sibling's
// handshake in C++ instead of through a program of install/exe_file.
#pragma once

#include <functional>
#include <string>

// From now on, ShellExecuteA of a program whose file name is exe_name (with or
// without ".exe", matched without regard to case) starts no process: it runs
// standin once, on the host's thread, at the next turn of the message pump
// (PeekMessageA). A later registration for the same name replaces it.
void register_sibling_standin(const std::string& exe_name, std::function<void()> standin);
// Removes every stand-in (and drops those started but not yet run).
void clear_sibling_standins();

namespace host::platform {
// ShellExecuteA's side: when a stand-in is registered for the program file,
// queues it and returns true.
bool start_sibling_standin(const std::string& program_file);
// The pump's side: runs the stand-ins started since the last turn.
void run_pending_sibling_standins();
}  // namespace host::platform
