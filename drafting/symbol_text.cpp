// A symbol's label: the "TARNIC" extended data (one 1000 text) on an entity
// of the symbol's block definition. The label is read from the definition,
// and a label is attached to (or shown for) a picked object, which is how the
// entities of a symbol's block drawing get theirs.
#include "ads.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "symbols.h"
#include "text_fields.h"
#include "xdata_pending.h"
#include "xdata_read.h"

namespace {

constexpr const char* kApp = "TARNIC";

}  // namespace

int block_xdata_string(const std::string& block, std::string& out)
{
    resbuf* record = acdbTblSearch("BLOCK", str_upper_copy(block).c_str(), 0);
    if (!record) return 0;
    ads_name entity = {0, 0};
    if (const resbuf* first = rb_find(record, -2)) ads_name_set(first->resval.rlname, entity);
    acutRelRb(record);
    while (!ads_name_nil(entity)) {
        if (ent_xdata_get_string(entity, kApp, out)) return 1;
        ads_name next;
        if (acdbEntNext(entity, next) != RTNORM) break;
        ads_name_set(next, entity);
    }
    return 0;
}

int symbol_text_add()
{
    ads_name entity;
    ads_point picked;
    if (acedEntSel("\nSelect Object :", entity, picked) != RTNORM) return 0;
    std::string text;
    prompt_string(0, 1, "Enter Text", "", text);
    acdbRegApp(kApp);  // refused when the drawing has it already, which is as good
    xdata_pending_set_text(text);
    if (ent_xdata_add(entity, kApp) != 1) {
        acedAlert("Add xdata failed");
        return 0;
    }
    acutPrintf("\nAdd xdata sucessful.");
    return 1;
}

int symbol_text_show()
{
    acutPrintf("\nShow xdata");
    ads_name entity;
    ads_point picked;
    if (acedEntSel("\nSelect Object :", entity, picked) != RTNORM) return 0;
    std::string text;
    if (!ent_xdata_get_string(entity, kApp, text)) {
        acedAlert("No Xdata");
        return 0;
    }
    acutPrintf("\nXdata :%s", text.c_str());
    return 1;
}
