// acedTextBox: the box of a TEXT described by an entity list, from the host's
// one font model (textmetrics.h), so that it agrees with how the host places
// justified texts and draws them.
#include "ads.h"
#include "session/session.h"
#include "db/sysvars.h"
#include "db/textmetrics.h"

using namespace host;

extern "C" HOST_API int acedTextBox(const resbuf* args, ads_point lower_left, ads_point upper_right)
{
    if (!args || !lower_left || !upper_right) return RTERROR;
    const char* text = nullptr;
    const char* style = nullptr;
    double height = 0, width_factor = 0;
    bool has_height = false, has_width = false;
    for (const resbuf* item = args; item; item = item->rbnext) {
        switch (item->restype) {
            case 1:
                text = item->resval.rstring;
                break;
            case 7:
                style = item->resval.rstring;
                break;
            case 40:
                height = item->resval.rreal;
                has_height = true;
                break;
            case 41:
                width_factor = item->resval.rreal;
                has_width = true;
                break;
            default:
                break;
        }
    }
    if (!text) return RTERROR;

    // What the list lacks comes from its style (or the current one): the style's
    // fixed height, else TEXTSIZE; the style's width factor, else 1.
    Session* session = Session::current_or_null();
    const Drawing* drawing = session && session->has_document() ? &session->current().drawing : nullptr;
    const Entity* style_record = nullptr;
    if (drawing) {
        const std::string name = style ? style : sysvar_string(*drawing, "TEXTSTYLE", "Standard");
        style_record = drawing->get(drawing->find_record("STYLE", name));
        if (style && !style_record) return RTERROR;  // the list names a style the drawing lacks
    }
    if (!has_height) {
        height = style_record ? style_record->real(40, 0.0) : 0.0;
        if (height <= 0) height = drawing ? sysvar_real(*drawing, "TEXTSIZE", 2.5) : 2.5;
    }
    if (!has_width) width_factor = style_record ? style_record->real(41, 1.0) : 1.0;
    if (width_factor <= 0) width_factor = 1.0;

    const TextBox box = text_box(text, height, width_factor);
    lower_left[0] = box.lower_left.x;
    lower_left[1] = box.lower_left.y;
    lower_left[2] = 0;
    upper_right[0] = box.upper_right.x;
    upper_right[1] = box.upper_right.y;
    upper_right[2] = 0;
    return RTNORM;
}
