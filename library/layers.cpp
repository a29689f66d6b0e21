#include "layers.h"

#include <strings.h>

#include "acdbclasses.h"
#include "ads.h"
#include "resbuf_util.h"
#include "text_fields.h"

std::vector<std::string> layer_name_list;
std::vector<std::string> block_name_list;
std::vector<std::string> style_name_list;

int layer_create(const char* name)
{
    AcDbDatabase* database = acdbHostApplicationServices()->workingDatabase();
    AcDbLayerTable* table = nullptr;
    if (database == nullptr || database->getLayerTable(table, AcDb::kForWrite) != Acad::eOk ||
        table == nullptr)
        return 0;
    if (table->has(name)) {
        acutPrintf("\n%s already exists", name);
        table->close();
        return 0;
    }
    AcDbLayerTableRecord* record = new AcDbLayerTableRecord;
    record->setName(name);
    record->setIsFrozen(false);
    record->setIsOff(false);
    record->setIsLocked(false);
    AcCmColor colour;
    colour.setColorIndex(7);
    record->setColor(colour);
    const bool added = table->add(record) == Acad::eOk;
    record->close();
    if (!added) delete record;  // a record the table did not take stays ours
    table->close();
    return added ? 1 : 0;
}

int layer_ensure(const char* name)
{
    resbuf* record = acdbTblSearch("LAYER", name, 0);
    if (record != nullptr) {
        acutRelRb(record);
        return 0;
    }
    return layer_create(name);
}

static void layer_command(const char* option, const char* name)
{
    acedCommand(RTSTR, "Layer", RTSTR, option, RTSTR, name, RTSTR, "", RTNONE);
}

// The flags are tested bit by bit, so a layer that is both frozen and locked
// (or carries further bits) is thawed and unlocked too.
void layer_make_usable(const char* name)
{
    resbuf* record = acdbTblSearch("LAYER", name, 0);
    if (record == nullptr) return;
    const int flags = rb_get_short(record, 70);
    const int colour = rb_get_short(record, 62);
    acutRelRb(record);
    if (flags & 1) layer_command("thaw", name);
    if (flags & 4) layer_command("unlock", name);
    if (colour < 0) layer_command("on", name);
}

int layer_flags_get(const char* name)
{
    resbuf* record = acdbTblSearch("LAYER", name, 0);
    if (record == nullptr) return -1;
    const int flags = rb_get_short(record, 70);
    acutRelRb(record);
    return flags;
}

int layer_name_valid(const char* name, int allow_star)
{
    static const std::string valid = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ$-1234567890_";
    const std::string text = name ? name : "";
    bool all_valid = !text.empty();
    for (char c : text)
        if (valid.find(c) == std::string::npos) {
            all_valid = false;
            break;
        }
    if (all_valid) return 1;
    if (allow_star == 1 && !text.empty() && text.back() == '*') return 1;
    acedAlert(
        "Invalid characters in layer name.(R14)\nThe following characters are valid in layer "
        "names:\nA-Z\n0-9\n$-");
    return 0;
}

// Every name (group 2) of the table, in table order.
static std::vector<std::string> table_names(const char* table)
{
    std::vector<std::string> names;
    for (resbuf* record = acdbTblNext(table, 1); record != nullptr; record = acdbTblNext(table, 0)) {
        const char* name = rb_get_str(record, 2);
        if (name) names.emplace_back(name);
        acutRelRb(record);
    }
    return names;
}

// The exchange sort of the listings, ascending without regard to case; names
// that differ only in case are both kept, in the order the sort leaves them.
static void exchange_sort(std::vector<std::string>& names)
{
    for (size_t i = 0; i < names.size(); ++i)
        for (size_t j = i + 1; j < names.size(); ++j)
            if (strcasecmp(names[i].c_str(), names[j].c_str()) > 0) std::swap(names[i], names[j]);
}

static int table_list(const char* table, std::vector<std::string>& list)
{
    list = table_names(table);
    exchange_sort(list);
    return static_cast<int>(list.size());
}

int layer_table_list()
{
    return table_list("LAYER", layer_name_list);
}
int block_table_list()
{
    return table_list("BLOCK", block_name_list);
}
int style_table_list()
{
    return table_list("STYLE", style_name_list);
}

void layer_table_list_into(std::vector<key_string_rec>& list)
{
    for (const std::string& name : table_names("LAYER")) {
        auto at = list.begin();
        while (at != list.end() && strcasecmp(at->text.c_str(), name.c_str()) <= 0) ++at;
        list.insert(at, key_string_init(0, name.c_str()));
    }
}

void layer_list_free()
{
    layer_name_list.clear();
}

int block_layer_get(const char* block, std::string& layer)
{
    layer = "0";
    std::string upper = block ? block : "";
    str_upper(upper);
    resbuf* record = acdbTblSearch("BLOCK", upper.c_str(), 0);
    if (record == nullptr) return 0;
    const resbuf* first = rb_find(record, -2);
    ads_name entity = {0, 0};
    if (first) ads_name_set(first->resval.rlname, entity);
    acutRelRb(record);
    if (ads_name_nil(entity)) return 0;
    resbuf* list = acdbEntGet(entity);
    if (list == nullptr) return 0;
    const char* found = rb_get_str(list, 8);
    if (found) layer = found;
    acutRelRb(list);
    return found ? 1 : 0;
}
