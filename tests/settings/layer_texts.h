// What the settings tests read back from a layer record, through the host's
// entity interface as a plug-in would.
#pragma once

#include <strings.h>

#include <string>
#include <vector>

#include "ads.h"

// Every 1000 text of the application's extended data on the layer, in order;
// empty when the layer or its data of the application is missing.
inline std::vector<std::string> layer_texts(const char* layer, const char* app)
{
    std::vector<std::string> texts;
    ads_name record;
    if (acdbTblObjName("LAYER", layer, record) != RTNORM) return texts;
    resbuf* apps = acutBuildList(RTSTR, app, 0);
    resbuf* list = acdbEntGetX(record, apps);
    acutRelRb(apps);
    bool inside = false;
    for (resbuf* node = list; node; node = node->rbnext) {
        if (node->restype == 1001) inside = strcasecmp(node->resval.rstring, app) == 0;
        if (inside && node->restype == 1000) texts.emplace_back(node->resval.rstring);
    }
    acutRelRb(list);
    return texts;
}
