#include "units.h"

#include "constants.h"
#include "text_fields.h"

double unit_factor(std::string_view name)
{
    std::string upper(name);
    str_upper(upper);
    if (upper == "L" || upper == UNIT_NAME_LINK) return UNIT_FACTOR_LINK;
    if (upper == "F" || upper == UNIT_NAME_FEET) return UNIT_FACTOR_FEET;
    if (upper == UNIT_NAME_KAKI) return UNIT_FACTOR_KAKI;
    return UNIT_FACTOR_METER;
}

std::string unit_name_of(std::string_view letter)
{
    if (letter == "L") return UNIT_NAME_LINK;
    if (letter == "F") return UNIT_NAME_FEET;
    return UNIT_NAME_METER;
}

bool unit_name_by_index(std::string& out, int index)
{
    static const char* const names[] = {UNIT_NAME_METER, UNIT_NAME_LINK, UNIT_NAME_FEET, UNIT_NAME_KAKI};
    if (index < 0 || index > 3) return false;
    out = names[index];
    return true;
}
