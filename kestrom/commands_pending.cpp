// Commands not built yet. Each does nothing, so its LISP function returns nil;
// the subsystem that builds a command removes it from this file.
#include "commands.h"

int b_tarnic()
{
    return 0;
}
