// The message pump of the Windows stand-in. The host has no window messages of
// its own, so PeekMessageA never finds one; what a turn of the pump does is
// serve the host: run the sibling stand-ins started since the last turn (their
// processes then read as ended), reap ended child processes, and rest a moment
// so that a pump loop does not spin.
//
// Time: GetTickCount runs faster than real time by 1000 / Session::pump_second_ms,
// so a loop that waits 1000 ticks (the product's one-second pump) lasts
// pump_second_ms real milliseconds: a full second for a user, a few milliseconds
// in tests. The clock never runs backwards when pump_second_ms changes.
#include <algorithm>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/siblings.h"
#include "platform/win_platform.h"
#include "platform/win_shell.h"
#include "session/session.h"
#include "winplat.h"

namespace host::platform {
namespace {

int pump_second_ms()
{
    Session* session = Session::current_or_null();
    return session && session->pump_second_ms > 0 ? session->pump_second_ms : 1000;
}

}  // namespace

unsigned long pump_ticks()
{
    using clock = std::chrono::steady_clock;
    static std::mutex mutex;
    static clock::time_point last = clock::now();
    static double ticks = 0;
    std::lock_guard<std::mutex> guard(mutex);
    clock::time_point now = clock::now();
    double real_ms = std::chrono::duration<double, std::milli>(now - last).count();
    last = now;
    ticks += real_ms * 1000.0 / pump_second_ms();
    return static_cast<unsigned long>(static_cast<unsigned long long>(ticks) & 0xffffffffULL);
}

}  // namespace host::platform

extern "C" {

HOST_API BOOL PeekMessageA(MSG* msg, HWND window, UINT first, UINT last, UINT remove)
{
    if (msg) std::memset(msg, 0, sizeof *msg);
    const unsigned turn = host::platform::standin_turn_begin();
    host::platform::run_pending_sibling_standins();
    host::platform::standin_turn_end(turn);
    host::platform::running_children();
    // A fiftieth of a pump second, at most 10 ms: a pump second has about 50 turns.
    int rest_us = std::min(10000, std::max(100, host::platform::pump_second_ms() * 20));
    std::this_thread::sleep_for(std::chrono::microseconds(rest_us));
    return 0;
}

HOST_API BOOL TranslateMessage(const MSG* msg)
{
    return 0;
}
HOST_API LONG DispatchMessageA(const MSG* msg)
{
    return 0;
}
HOST_API DWORD GetTickCount()
{
    return host::platform::pump_ticks();
}

}  // extern "C"
