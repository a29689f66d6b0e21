#include "trav_settings.h"

trav_settings_rec& trav_settings()
{
    static trav_settings_rec settings;
    return settings;
}

void trav_settings_defaults()
{
    trav_settings() = trav_settings_rec{};
}
