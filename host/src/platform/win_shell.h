// What the shell stand-in shares with the message pump: the turns in which
// sibling stand-ins run, so that the process handle of a stand-in reads as
// ended once its turn has run.
#pragma once

namespace host::platform {

// Begins a turn of the pump's stand-ins: returns the turn whose stand-ins
// are about to run; stand-ins started from now on belong to the next one.
unsigned standin_turn_begin();
// The stand-ins of that turn (and earlier ones) have run: their processes end.
void standin_turn_end(unsigned turn);

}  // namespace host::platform
