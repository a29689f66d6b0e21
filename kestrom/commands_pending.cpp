// Commands not built yet. Each does nothing, so its LISP function returns nil;
// the subsystem that builds a command removes it from this file.
#include "commands.h"

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
