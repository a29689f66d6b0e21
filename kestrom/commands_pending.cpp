// Commands not built yet. Each does nothing, so its LISP function returns nil;
// the subsystem that builds a command removes it from this file.
#include "commands.h"

int b_tarnic()
{
    return 0;
}

int b_pile_auto()
{
    return 0;
}
int b_piling_pick()
{
    return 0;
}
int b_sel_cutting(int)
{
    return 0;
}
int b_pick_cutting(int)
{
    return 0;
}
