// The host session the benchmarks run in: one for the whole program, with the
// command line kept off standard output (the host prints progress there) and
// its home (registry, application data) in a folder of its own. Benchmarks of
// the paths a user runs load the main plug-in into it and type their scripts:
// LISP calls, dialog actions, answers, OPEN and SAVEAS.
#pragma once

#include <benchmark/benchmark.h>
#include <malloc.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "session/session.h"

// A folder of this benchmark run for the files it writes.
inline const std::string& bench_folder()
{
    static const std::string folder = [] {
        const std::filesystem::path path =
            std::filesystem::temp_directory_path() / ("orvik_bench_" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return folder;
}

inline std::string bench_file(const std::string& name)
{
    return bench_folder() + "/" + name;
}

inline host::Session& quiet_session()
{
    static host::Session* session = [] {
        const std::string home = bench_file("home");
        std::filesystem::create_directories(home);
        setenv("CADHOST_HOME", home.c_str(), 1);
        auto* s = new host::Session;
        s->transcript().echo_to_stdout = false;
        return s;
    }();
    return *session;
}

// The session with the main plug-in loaded.
inline host::Session& plugin_session()
{
    static host::Session* session = [] {
        host::Session& s = quiet_session();
        if (!s.load_plugin(s.plugin_folder + "/Kestrom.so")) std::abort();
        return &s;
    }();
    return *session;
}

// Runs the script as a user types it and returns what the command line showed.
inline std::string run_script(const std::string& script)
{
    host::Session& session = plugin_session();
    session.transcript().clear();
    session.set_input(host::script_input(script));
    session.run();
    return session.transcript().text();
}

// Closes every drawing and opens a new one.
inline void fresh_drawing()
{
    host::Session& session = quiet_session();
    while (session.has_document()) session.close_document(0);
    session.new_document();
}

// The most memory the process has held since the last reset, in MB: what a
// path needs at its peak, with what the process held before it.
inline void reset_peak_memory()
{
    ::malloc_trim(0);
    std::ofstream("/proc/self/clear_refs") << "5";
}

// A line of /proc/self/status in MB ("VmHWM:" the peak, "VmRSS:" now).
inline double status_memory_mb(const std::string& field)
{
    std::ifstream status("/proc/self/status");
    std::string word;
    while (status >> word)
        if (word == field) {
            double kb = 0;
            status >> kb;
            return kb / 1024.0;
        }
    return 0;
}

inline double peak_memory_mb()
{
    return status_memory_mb("VmHWM:");
}

// What the process holds now, in MB: the part of a peak that was there before the path ran.
inline double resident_memory_mb()
{
    return status_memory_mb("VmRSS:");
}

// The sizes a benchmark runs at: 10k, 20k, 100k and 200k (each doubled, so that
// time that doubles with the size shows linear growth), and 1M when
// ORVIK_BENCH_1M is set (a run of its own: the largest paths take a minute or more).
inline void survey_sizes(benchmark::internal::Benchmark* benchmark)
{
    benchmark->Arg(10000)->Arg(20000)->Arg(100000)->Arg(200000);
    const char* large = std::getenv("ORVIK_BENCH_1M");
    if (large && *large && std::string(large) != "0") benchmark->Arg(1000000);
}
