// Commands not built yet. Each does nothing, so its LISP function returns nil;
// the subsystem that builds a command removes it from this file.
#include "commands.h"

int b_block_grid()
{
    return 0;
}
int b_grid_auto_label()
{
    return 0;
}
int b_treed_poly()
{
    return 0;
}
int b_tarnic()
{
    return 0;
}

int b_ptpxsection()
{
    return 0;
}
int b_xsection()
{
    return 0;
}
