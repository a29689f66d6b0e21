#include "trav_prompt.h"

#include "prompts.h"

// An answer is required (flags 1, no default), so an empty answer never
// overwrites a station by accident; a cancel asks again, as every keyword
// prompt does.
std::string trav_ask_overwrite()
{
    std::string answer;
    prompt_kword_spec("1,O C,Point exist <C>ancel <O>verWrite,nil", answer);
    return answer;
}
