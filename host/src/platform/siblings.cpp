// The registered sibling stand-ins and the queue of those started by the shell.
#include "platform/siblings.h"

#include <strings.h>

#include <cctype>
#include <map>
#include <mutex>
#include <vector>

namespace {

std::mutex standins_mutex;
std::map<std::string, std::function<void()>> standins;  // lower-case name without ".exe"
std::vector<std::function<void()>> pending;

// "C:\x\Tarnic.EXE" -> "tarnic".
std::string standin_name(const std::string& file)
{
    size_t slash = file.find_last_of("/\\");
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    if (name.size() > 4 && ::strcasecmp(name.c_str() + name.size() - 4, ".exe") == 0)
        name.resize(name.size() - 4);
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return name;
}

}  // namespace

void register_sibling_standin(const std::string& exe_name, std::function<void()> standin)
{
    std::lock_guard<std::mutex> guard(standins_mutex);
    standins[standin_name(exe_name)] = std::move(standin);
}

void clear_sibling_standins()
{
    std::lock_guard<std::mutex> guard(standins_mutex);
    standins.clear();
    pending.clear();
}

namespace host::platform {

bool start_sibling_standin(const std::string& program_file)
{
    std::lock_guard<std::mutex> guard(standins_mutex);
    auto it = standins.find(standin_name(program_file));
    if (it == standins.end()) return false;
    pending.push_back(it->second);
    return true;
}

void run_pending_sibling_standins()
{
    std::vector<std::function<void()>> now;
    {
        std::lock_guard<std::mutex> guard(standins_mutex);
        now.swap(pending);
    }
    for (auto& standin : now) standin();  // outside the lock: a stand-in may start another
}

}  // namespace host::platform
