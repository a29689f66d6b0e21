#include "trav_prompt.h"

#include "ads.h"

// An answer is required (no default), so an empty answer never overwrites a
// station by accident; a cancel asks again, as every keyword prompt does.
std::string trav_ask_overwrite()
{
    for (;;) {
        acutPrintf("\n");
        acedInitGet(RSG_NONULL, "O C");
        char answer[512] = "";
        const int status = acedGetKword("Point exist <C>ancel <O>verWrite:", answer);
        if (status == RTNORM) return answer;
        if (status != RTCAN) return "C";
    }
}
