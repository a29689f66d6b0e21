#include "settings_store.h"

#include <strings.h>

#include <cstdio>
#include <cstring>

#include "constants.h"
#include "layers.h"
#include "numbers.h"
#include "resbuf_util.h"
#include "sysvar.h"
#include "xdata_read.h"

static void copy_field(char (&field)[25], const char* text)
{
    std::strncpy(field, text ? text : "", sizeof field - 1);
    field[sizeof field - 1] = '\0';
}

settings_key_rec settings_key_make(settings_key_rec& out, const char* app, const char* default_value)
{
    copy_field(out.layer, ORVIK_SETTINGS_LAYER);
    copy_field(out.app, app);
    copy_field(out.default_value, default_value);
    return out;
}

key_string_rec key_string_init(int key, const char* text)
{
    return key_string_rec{key, text ? text : ""};
}

void key_string_push(std::vector<key_string_rec>& list, int key, const char* text)
{
    list.push_back(key_string_init(key, text));
}

void key_string_push_b(std::vector<key_string_rec>& list, int key, const char* text)
{
    key_string_push(list, key, text);
}

void key_string_push_format(int key, const char* key_text, const char* text, double real, int integer,
                            int kind, std::vector<key_string_rec>& list)
{
    std::string entry = key_text ? key_text : "";
    switch (kind) {
        case 1:
            entry += text ? text : "";
            break;
        case 2:
            entry += rtos_decimal(real, integer);
            break;
        case 3:
            entry += std::to_string(integer);
            break;
        default:
            break;
    }
    key_string_push(list, key, entry.c_str());
}

int regapp_register(const char* app)
{
    const int status = acdbRegApp(app);
    if (status == RTERROR) acutPrintf("\n%s already registered", app);
    return status;
}

// The layer record's entity name; false when the LAYER table lacks the name.
static bool layer_record_name(const char* layer, ads_name out)
{
    return acdbTblObjName("LAYER", layer, out) == RTNORM;
}

// The application's groups in a list read with extended data: the nodes after
// its 1001 group, up to the next 1001 or the end. Null when the list carries
// no data of the application.
static const resbuf* app_data_start(const resbuf* list, const char* app)
{
    const resbuf* node = list;
    while (node && node->restype != -3) node = node->rbnext;
    for (; node; node = node->rbnext)
        if (node->restype == 1001 && node->resval.rstring && strcasecmp(node->resval.rstring, app) == 0)
            return node->rbnext ? node->rbnext : node;
    return nullptr;
}

static bool app_data_present(const resbuf* list, const char* app)
{
    return app_data_start(list, app) != nullptr;
}

// The first 1000 text of the application's data; null when none.
static const char* app_first_text(const resbuf* list, const char* app)
{
    for (const resbuf* node = app_data_start(list, app); node && node->restype != 1001; node = node->rbnext)
        if (node->restype == 1000) return node->resval.rstring;
    return nullptr;
}

// Reads the layer record with the application's extended data; null when the
// layer is missing. An application filter that cannot be built is reported and
// the read goes on with the host's answer.
static resbuf* read_layer_with_app(const char* layer, const char* app)
{
    ads_name record;
    if (!layer_record_name(layer, record)) return nullptr;
    resbuf* apps = acutBuildList(RTSTR, app, 0);
    if (apps == nullptr) acedAlert("\nError applist");
    resbuf* list = acdbEntGetX(record, apps);
    acutRelRb(apps);
    return list;
}

int drawing_setting_get(settings_key_rec key, std::string& out)
{
    regapp_register(key.app);
    ads_name record;
    if (!layer_record_name(key.layer, record)) {
        layer_create(key.layer);
        layer_xdata_put(key.layer, key.app, key.default_value, 1);
    }
    resbuf* list = read_layer_with_app(key.layer, key.app);
    if (list != nullptr && !app_data_present(list, key.app)) {
        acutRelRb(list);
        layer_xdata_put(key.layer, key.app, key.default_value, 1);
        list = read_layer_with_app(key.layer, key.app);
    }
    layer_make_usable(key.layer);
    const char* text = list ? app_first_text(list, key.app) : nullptr;
    // The layer or its data could not be made: the callers report the failure.
    if (text == nullptr) {
        acutRelRb(list);
        return RTERROR;
    }
    out = text;
    acutRelRb(list);
    return RTNORM;
}

int drawing_setting_find(settings_key_rec key, std::string& out)
{
    regapp_register(key.app);
    ads_name record;
    if (!layer_record_name(key.layer, record)) layer_create(key.layer);
    resbuf* list = read_layer_with_app(key.layer, key.app);
    const char* text = list ? app_first_text(list, key.app) : nullptr;
    int result = -1;
    if (text != nullptr) {
        out = text;
        result = 1;
    }
    acutRelRb(list);
    layer_make_usable(key.layer);
    return result;
}

int drawing_setting_read(const char* app, const char* layer, std::string& out)
{
    resbuf* list = read_layer_with_app(layer, app);
    const char* text = list ? app_first_text(list, app) : nullptr;
    int result = -1;
    if (text != nullptr) {
        out = text;
        result = 1;
    }
    acutRelRb(list);
    return result;
}

int drawing_setting_read_list(const char* app, const char* layer, std::vector<key_string_rec>& list)
{
    ads_name record;
    if (!layer_record_name(layer, record)) return -1;
    resbuf* data = read_layer_with_app(layer, app);
    const bool present = data != nullptr && app_data_present(data, app);
    acutRelRb(data);
    if (!present) return -1;
    xdata_read_state().want_text_list = true;
    xdata_read_string_list(record, app, list);
    return 1;
}

void xdata_read_string_list(const ads_name entity, const char* app, std::vector<key_string_rec>& list)
{
    xdata_read_rec& state = xdata_read_state();
    resbuf* apps = acutBuildList(RTSTR, app, 0);
    resbuf* data = acdbEntGetX(entity, apps);
    acutRelRb(apps);
    if (state.want_text_list && data != nullptr) {
        for (const resbuf* node = app_data_start(data, app); node && node->restype != 1001;
             node = node->rbnext) {
            if (node->restype != 1000) continue;
            const char* text = node->resval.rstring ? node->resval.rstring : "";
            key_string_push(list, 0, text);
            state.text = text;
            state.found_text = true;
        }
    }
    acutRelRb(data);
    // This read answers every request that was pending.
    state.want_real = state.want_int32 = state.want_text = state.want_text_list = false;
}

// Makes the layer record from an entity list when the caller says it does not
// exist yet.
static void layer_make_by_list(const char* layer)
{
    resbuf* list = acutBuildList(RTDXF0, "LAYER", 2, layer, 0);
    if (acdbEntMake(list) != RTNORM) acedAlert("unable create layer\n");
    acutRelRb(list);
}

// Appends the extended data to the record's list and modifies the record; the
// host replaces the application's former data with it.
static int attach_to_entity(const ads_name entity, resbuf* xdata)
{
    resbuf* list = acdbEntGet(entity);
    if (list == nullptr) {
        acutRelRb(xdata);
        return RTERROR;
    }
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = xdata;
    const int status = acdbEntMod(list);
    acutRelRb(list);
    return status == RTNORM ? RTNORM : RTERROR;
}

// -3, 1001 application, then the given groups.
static resbuf* xdata_head(const char* app, resbuf* items)
{
    resbuf* marker = rb_new_of(-3);
    marker->rbnext = rb_new_str(1001, app);
    marker->rbnext->rbnext = items;
    return marker;
}

// 1002 "{", one 1000 per entry, 1002 "}".
static resbuf* xdata_list_items(const std::vector<key_string_rec>& list)
{
    resbuf* head = rb_new_str(1002, "{");
    resbuf* tail = head;
    for (const key_string_rec& entry : list) {
        tail->rbnext = rb_new_str(1000, entry.text.c_str());
        tail = tail->rbnext;
    }
    tail->rbnext = rb_new_str(1002, "}");
    return head;
}

int layer_xdata_put(const char* layer, const char* app, const char* text, int layer_exists)
{
    if (layer_exists == 0) layer_make_by_list(layer);
    resbuf* xdata = xdata_head(app, rb_new_str(1000, text));
    ads_name record;
    if (!layer_record_name(layer, record)) {
        acutRelRb(xdata);
        acutPrintf("\nFailed adding xdata.");
        return RTERROR;
    }
    if (attach_to_entity(record, xdata) != RTNORM) {
        acutPrintf("\nFailed adding xdata.");
        return RTERROR;
    }
    return RTNORM;
}

int layer_xdata_save_list(const char* layer, const char* app, int layer_exists,
                          const std::vector<key_string_rec>& list)
{
    if (layer_exists == 0) layer_make_by_list(layer);
    ads_name record;
    if (!layer_record_name(layer, record)) {
        acutPrintf("\nFailed adding xdata.");
        return RTERROR;
    }
    if (attach_to_entity(record, xdata_head(app, xdata_list_items(list))) != RTNORM) {
        acutPrintf("\nFailed adding xdata.");
        return RTERROR;
    }
    acutPrintf("\nSave succes");
    return 1;
}

int ent_xdata_save_list(const ads_name entity, const char* app, const std::vector<key_string_rec>& list)
{
    if (attach_to_entity(entity, xdata_head(app, xdata_list_items(list))) != RTNORM) {
        acutPrintf("\nFailed adding xdata.");
        return RTERROR;
    }
    acutPrintf("\nsucces");
    return 1;
}

std::string dwg_full_path()
{
    std::string prefix, name;
    sysvar_get_str("DWGPREFIX", prefix);
    sysvar_get_str("DWGNAME", name);
    return prefix + name;
}

void dwg_path_track(int& loaded, std::string& remembered_path)
{
    const std::string current = dwg_full_path();
    if (loaded == 0) {
        remembered_path = current;
        return;
    }
    if (strcasecmp(current.c_str(), remembered_path.c_str()) != 0) {
        loaded = 0;
        remembered_path = current;
    }
}

void comma_list_add(std::string& text, double value, int decimals)
{
    char format[8];
    std::snprintf(format, sizeof format, "%%.%df,", decimals < 0 ? 0 : decimals > 16 ? 16 : decimals);
    const int length = std::snprintf(nullptr, 0, format, value);
    std::string field(static_cast<size_t>(length) + 1, '\0');
    std::snprintf(field.data(), field.size(), format, value);
    field.resize(static_cast<size_t>(length));
    text += field;
}

void comma_list_add(std::string& text, int value)
{
    text += std::to_string(value) + ",";
}

void comma_list_add(std::string& text, const std::string& value)
{
    text += value + ",";
}
