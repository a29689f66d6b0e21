#include "xdata_read.h"

#include <strings.h>

#include <cstring>

#include "entity_makers.h"
#include "xdata_pending.h"

namespace {

// The entity's list with the application's extended data; the caller releases it.
resbuf* entity_with_xdata(const ads_name entity, const std::string& application)
{
    ent_list_builder apps;
    apps.text(RTSTR, application);
    return acdbEntGetX(entity, apps.list());
}

// The first node after the application's 1001 group, or null when the list
// carries no data of that application.
const resbuf* application_items(const resbuf* list, const std::string& application)
{
    bool in_xdata = false;
    for (const resbuf* node = list; node; node = node->rbnext) {
        if (node->restype == -3) in_xdata = true;
        if (in_xdata && node->restype == 1001 && node->resval.rstring &&
            strcasecmp(node->resval.rstring, application.c_str()) == 0)
            return node->rbnext ? node->rbnext : node;  // an application with no items
    }
    return nullptr;
}

bool has_application(const resbuf* list, const std::string& application)
{
    return application_items(list, application) != nullptr;
}

}  // namespace

xdata_read_rec& xdata_read_state()
{
    static xdata_read_rec state;
    return state;
}

void xdata_read_requested(const ads_name entity, const std::string& application)
{
    xdata_read_rec& s = xdata_read_state();
    s.found_real = s.found_int16 = s.found_int32 = s.found_text = false;
    s.none_found = true;
    s.real = 0;
    s.int16 = 0;
    s.int32 = 0;
    s.text.clear();
    s.text_list.clear();

    resbuf* list = entity_with_xdata(entity, application);
    if (list && has_application(list, application)) {
        s.none_found = false;
        for (const resbuf* node = application_items(list, application); node; node = node->rbnext) {
            if (node->restype == 1001) break;  // the next application's data
            switch (node->restype) {
                case 1040:
                    if (s.want_real && !s.found_real) {
                        s.real = node->resval.rreal;
                        s.found_real = true;
                    }
                    break;
                case 1070:
                    if (!s.found_int16) {
                        s.int16 = node->resval.rint;
                        s.found_int16 = true;
                    }
                    break;
                case 1071:
                    if (s.want_int32 && !s.found_int32) {
                        s.int32 = node->resval.rlong;
                        s.found_int32 = true;
                    }
                    break;
                case 1000: {
                    std::string text = node->resval.rstring ? node->resval.rstring : "";
                    if (s.want_text && !s.found_text) {
                        s.text = text;
                        s.found_text = true;
                    }
                    if (s.want_text_list) s.text_list.push_back(text);
                    break;
                }
                default:
                    break;
            }
        }
    }
    if (list) acutRelRb(list);
    s.want_real = s.want_int32 = s.want_text = s.want_text_list = false;
}

int ent_xdata_add(const ads_name entity, const std::string& application)
{
    ent_list_builder list;
    list.append(acdbEntGet(entity));
    bool read = list.list() != nullptr;
    list.marker(-3).text(1001, application);
    xdata_pending_append(list);
    if (!read || !list.ok() || acdbEntMod(list.list()) != RTNORM) {
        acutPrintf("\nFailed adding xdata.");
        return RTERROR;
    }
    return 1;
}

bool ent_has_xdata(const ads_name entity, const std::string& application)
{
    resbuf* list = entity_with_xdata(entity, application);
    bool has = false;
    for (const resbuf* node = list; node; node = node->rbnext)
        if (node->restype == -3) has = true;
    if (list) acutRelRb(list);
    return has;
}

int ent_xdata_get_string(const ads_name entity, const std::string& application, std::string& out)
{
    resbuf* list = entity_with_xdata(entity, application);
    int found = 0;
    for (const resbuf* node = application_items(list, application); node; node = node->rbnext) {
        if (node->restype == 1001) break;
        if (node->restype == 1000) {
            out = node->resval.rstring ? node->resval.rstring : "";
            found = 1;
            break;
        }
    }
    if (list) acutRelRb(list);
    return found;
}
