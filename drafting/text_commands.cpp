// The text commands: edit a text in a dialog, turn texts by two points, by
// 180 degrees, or along a picked line.
#include <cmath>
#include <string>

#include "ads.h"
#include "angles.h"
#include "dialog_conventions.h"
#include "entity_readers.h"
#include "geometry.h"
#include "prompts.h"
#include "resbuf_util.h"
#include "selection_sets.h"
#include "text_fields.h"
#include "text_filter.h"
#include "text_modify.h"
#include "text_util.h"

namespace {

// The text dialog "ddedit_text_dlg" on the string; true with the edited string
// on OK.
bool ddedit_text_dlg(std::string& text)
{
    std::string edit = text;
    dialog_def def{"Ddedit_text.dcl",
                   "ddedit_text_dlg",
                   {tile_text("text_t", edit, kTextLengthLimit), tile_button("btn_ok", DLGOK),
                    tile_button("cancel", DLGCANCEL), tile_help("text_author", "/utiliti_menu.htm")}};
    def.on_open = [](ads_hdlg dialog) {
        ads_mode_tile(dialog, "text_t", MODE_SETFOCUS);
        ads_mode_tile(dialog, "text_t", MODE_SETSEL);
    };
    if (dialog_show(def) != DLGOK) return false;
    text = edit;
    return true;
}

// Sets the rotation of a text or of every text of a set to a bearing.
void rotate_to(const ads_name one, const selection_guard* many, double bearing)
{
    text_modify_set(3, "", bearing, 0);
    if (many == nullptr) {
        text_modify_apply(one);
        return;
    }
    for (long i = 0; i < many->length; ++i) ss_text_modify(many->ss, i);
}

}  // namespace

int b_ddedit_text()
{
    for (;;) {
        ads_name entity;
        point3d_rec picked;
        const int rc = ent_select_type("\nSelect Text :", "TEXT", entity, picked);
        if (rc == 0) return 1;
        if (rc != 1) continue;
        std::string text;
        ent_get_string(entity, 1, text);
        if (!ddedit_text_dlg(text)) continue;
        if (text.empty()) {
            acutPrintf("\nA text cannot be empty; it was left as it was.");
            continue;
        }
        text_modify_set(1, text, 0, 0);
        text_modify_apply(entity);
    }
}

int b_rotext()
{
    text_util_rec& state = text_util();
    if (state.rotext_mode.empty())
        state.rotext_mode = prompt_kword("0", "O M", "Object select <O>ne <M>any Text", "M");
    ads_name one = {0, 0};
    selection_guard many;
    const bool single = state.rotext_mode == "O";
    if (single) {
        point3d_rec picked;
        if (ent_select_type("Select Text", "TEXT", one, picked) != 1) return 0;
        acedRedraw(one, 3);
    } else if (!ss_select_type("TEXT", many.ss, many.length)) {
        return 0;
    }
    ads_point previous, next;
    if (acedGetPoint(nullptr, "\nPick 1st Point:", previous) == RTNORM) {
        while (acedGetPoint(previous, "\nPick Next point :", next) == RTNORM) {
            const point3d_rec from = point_from_ads(previous), to = point_from_ads(next);
            if (dist_2d(from, to) == 0) {
                acutPrintf(
                    "\nThe point lies on the last one and gives no direction; the texts stay as they are.");
                continue;
            }
            rotate_to(one, single ? nullptr : &many, bearing_deg(from, to));
            ads_point_set(next, previous);
        }
    }
    if (single) acedRedraw(one, 4);
    return 1;
}

int b_rotext_reverse()
{
    selection_guard texts;
    if (!ss_select_type("TEXT", texts.ss, texts.length)) return 0;
    for (long i = 0; i < texts.length; ++i) {
        ads_name entity;
        if (acedSSName(texts.ss, i, entity) != RTNORM) continue;
        resbuf* list = acdbEntGet(entity);
        if (list == nullptr) continue;
        const double degrees = angle_rad_to_deg(rb_get_real(list, 50));
        acutRelRb(list);
        // Turned by 180 degrees: the bearing of the reversed baseline.
        double bearing = 270.0 - degrees;
        if (bearing >= 360.0) bearing -= 360.0;
        text_modify_set(3, "", bearing, 0);
        text_modify_apply(entity);
    }
    return 1;
}

int b_rotext_byline()
{
    ads_name line;
    ads_point picked;
    if (acedEntSel("\nSelect LINE", line, picked) != RTNORM) return 0;
    if (!ent_is_type(line, "LINE")) {
        acedAlert("Not LINE");
        return 0;
    }
    acedRedraw(line, 3);
    point3d_rec start, end;
    ent_point_get(line, 10, start);
    ent_point_get(line, 11, end);
    if (dist_2d(start, end) == 0) {
        acedRedraw(line, 4);
        acutPrintf("\nThe LINE has no length and gives no direction; no text was turned.");
        return 0;
    }
    const point3d_rec at = point_from_ads(picked);
    // The texts read away from the picked end.
    const double bearing =
        dist_2d(at, start) < dist_2d(at, end) ? bearing_deg(start, end) : bearing_deg(end, start);
    selection_guard texts;
    const bool selected = ss_select_type("TEXT", texts.ss, texts.length);
    acedRedraw(line, 4);
    if (!selected) return 0;
    rotate_to(line, &texts, bearing);
    return 1;
}
