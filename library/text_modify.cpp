#include "text_modify.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "constants.h"

namespace {

resbuf* find_group(resbuf* list, int code)
{
    for (resbuf* node = list; node; node = node->rbnext) {
        if (node->restype == -3) break;
        if (node->restype == code) return node;
    }
    return nullptr;
}

// The entity's group of that code, added before the extended data when missing.
resbuf* group_for(resbuf* list, int code)
{
    if (resbuf* found = find_group(list, code)) return found;
    resbuf* last = list;
    while (last->rbnext && last->rbnext->restype != -3) last = last->rbnext;
    resbuf* node = acutNewRb(code);
    node->rbnext = last->rbnext;
    last->rbnext = node;
    return node;
}

void set_text(resbuf* list, int code, const std::string& text)
{
    resbuf* node = group_for(list, code);
    std::free(node->resval.rstring);
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.c_str(), text.size() + 1);
    node->resval.rstring = copy;
}

double bearing_to_rad(double bearing)
{
    double degrees = 90.0 - bearing;
    if (degrees < 0) degrees += 360.0;
    return degrees * (1.0 / 180.0) * ORVIK_PI;
}

// The text takes another justification (group 72: 0 left, 1 centre, 2 right,
// on the baseline; 4 middle) and its alignment point moves to that place of
// its box, so that the text stays where it is drawn. 0 when it is already so
// justified or has no insertion point.
int justify_in_place(resbuf* list, int wanted)
{
    resbuf* justify = find_group(list, 72);
    resbuf* vertical = find_group(list, 73);
    const int now = justify ? justify->resval.rint : 0;
    const bool middle = wanted == 4;
    // Middle ignores the vertical alignment; the others sit on the baseline.
    if (now == wanted && (middle || !vertical || vertical->resval.rint == 0)) return 0;
    resbuf* insertion = find_group(list, 10);
    if (!insertion) return 0;
    ads_point lower_left, upper_right;
    if (acedTextBox(list, lower_left, upper_right) != RTNORM) return 0;
    resbuf* rotation = find_group(list, 50);
    double r = rotation ? rotation->resval.rreal : 0.0;
    double x10 = insertion->resval.rpoint[X], y10 = insertion->resval.rpoint[Y];
    // The place in the box from the insertion point, before turning.
    double cx = upper_right[X], cy = upper_right[Y];
    if (wanted == 0) cx = 0;
    if (wanted == 1) cx /= 2;
    if (middle) {
        cx /= 2;
        cy /= 2;
    } else {
        cy = 0;
        if (vertical) vertical->resval.rint = 0;
    }
    double mx = x10 + cx * std::cos(r) - cy * std::sin(r);
    double my = y10 + cy * std::cos(r) + cx * std::sin(r);
    group_for(list, 72)->resval.rint = static_cast<short>(wanted);
    resbuf* alignment = group_for(list, 11);
    alignment->resval.rpoint[X] = mx;
    alignment->resval.rpoint[Y] = my;
    alignment->resval.rpoint[Z] = 0;
    acdbEntMod(list);
    return 1;
}

}  // namespace

text_modify_rec& text_modify_pending()
{
    static text_modify_rec pending;
    return pending;
}

void text_modify_set(int mode, const std::string& text, double real, int colour)
{
    text_modify_rec& p = text_modify_pending();
    p.mode = mode;
    p.text = text.substr(0, 259);
    p.real = real;
    p.colour = colour;
}

int text_modify_apply(const ads_name entity)
{
    text_modify_rec& p = text_modify_pending();
    if (p.mode >= 4 && p.mode <= 6) return 1;
    resbuf* list = acdbEntGet(entity);
    if (!list) {
        ++p.fail_count;
        return 0;
    }
    if (p.mode == 7) {
        int rc = justify_in_place(list, 4);
        acutRelRb(list);
        return rc;
    }
    switch (p.mode) {
        case 1:
            set_text(list, 1, p.text);
            break;
        case 2:
            group_for(list, 40)->resval.rreal = p.real;
            break;
        case 3:
            group_for(list, 50)->resval.rreal = bearing_to_rad(p.real);
            break;
        case 8:
            group_for(list, 62)->resval.rint = static_cast<short>(p.colour);
            break;
        case 9:
            set_text(list, 7, p.text);
            break;
        case 10:
            group_for(list, 51)->resval.rreal = bearing_to_rad(p.real);
            break;
        case 11:
            group_for(list, 41)->resval.rreal = p.real;
            break;
        case 12:
            set_text(list, 8, p.text);
            break;
        default:
            break;  // 0 and above 12: written back unchanged
    }
    bool ok = acdbEntMod(list) == RTNORM;
    acutRelRb(list);
    if (ok) {
        ++p.ok_count;
        return 1;
    }
    ++p.fail_count;
    return 0;
}

int ss_text_modify(const ads_name set, long index)
{
    ads_name entity;
    if (acedSSName(set, index, entity) != RTNORM) return 0;
    return text_modify_apply(entity);
}

int text_justify_apply(const ads_name entity, int justification)
{
    if (justification != 0 && justification != 1 && justification != 2 && justification != 4) return 0;
    resbuf* list = acdbEntGet(entity);
    if (!list) return 0;
    const int rc = justify_in_place(list, justification);
    acutRelRb(list);
    return rc;
}
