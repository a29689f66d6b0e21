// The host session the benchmarks run in: one for the whole program, with the
// command line kept off standard output (the host prints progress there).
#pragma once

#include "session/session.h"

inline host::Session& quiet_session()
{
    static host::Session* session = [] {
        auto* s = new host::Session;
        s->transcript().echo_to_stdout = false;
        return s;
    }();
    return *session;
}
