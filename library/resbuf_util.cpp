#include "resbuf_util.h"

#include <cstdlib>
#include <cstring>

bool group_is_text(int code)
{
    return (code >= 0 && code <= 9) || (code >= 100 && code <= 102) || code == 105 ||
           (code >= 300 && code <= 329) || (code >= 390 && code <= 399) || (code >= 410 && code <= 419) ||
           (code >= 1000 && code <= 1009);
}

bool group_is_point(int code)
{
    return (code >= 10 && code <= 19) || (code >= 210 && code <= 239) || (code >= 1010 && code <= 1019);
}

bool group_is_real(int code)
{
    return (code >= 38 && code <= 59) || (code >= 140 && code <= 149) || (code >= 460 && code <= 469) ||
           (code >= 1040 && code <= 1042);
}

bool group_is_short(int code)
{
    return (code >= 60 && code <= 79) || (code >= 170 && code <= 179) || (code >= 270 && code <= 289) ||
           (code >= 370 && code <= 389) || (code >= 400 && code <= 409) || code == 1070;
}

static char* copy_text(const char* text)
{
    const size_t size = std::strlen(text) + 1;
    char* copy = static_cast<char*>(std::malloc(size));
    std::memcpy(copy, text, size);
    return copy;
}

resbuf* rb_new_point(int code, const point3d_rec& point, int flat)
{
    resbuf* node = acutNewRb(code);
    if (node == nullptr) return nullptr;
    node->resval.rpoint[X] = point.x;
    node->resval.rpoint[Y] = point.y;
    node->resval.rpoint[Z] = flat == 1 ? 0.0 : point.z;
    return node;
}

resbuf* rb_new_str(int code, const char* text)
{
    resbuf* node = acutNewRb(code);
    if (node == nullptr) return nullptr;
    node->resval.rstring = copy_text(text ? text : "");
    return node;
}

resbuf* rb_new_short(int code, short value)
{
    resbuf* node = acutNewRb(code);
    if (node) node->resval.rint = value;
    return node;
}

resbuf* rb_new_real(int code, double value)
{
    resbuf* node = acutNewRb(code);
    if (node) node->resval.rreal = value;
    return node;
}

resbuf* rb_new_of(int code)
{
    return acutNewRb(code);
}

resbuf* rb_find(const resbuf* list, int code)
{
    for (const resbuf* node = list; node; node = node->rbnext)
        if (node->restype == code) return const_cast<resbuf*>(node);
    return nullptr;
}

const char* rb_get_str(const resbuf* list, int code)
{
    if (!group_is_text(code)) return nullptr;
    const resbuf* node = rb_find(list, code);
    return node ? node->resval.rstring : nullptr;
}

int rb_get_point(const resbuf* list, int code, point3d_rec& out, int z_flag)
{
    if (!group_is_point(code)) return 0;
    const resbuf* node = rb_find(list, code);
    if (node == nullptr) return 0;
    out.x = node->resval.rpoint[X];
    out.y = node->resval.rpoint[Y];
    out.z = z_flag == 1 ? node->resval.rpoint[Z] : 0.0;
    return 1;
}

double rb_get_real(const resbuf* list, int code)
{
    if (!group_is_real(code)) return 0.0;
    const resbuf* node = rb_find(list, code);
    return node ? node->resval.rreal : 0.0;
}

short rb_get_short(const resbuf* list, int code)
{
    if (!group_is_short(code)) return 0;
    const resbuf* node = rb_find(list, code);
    return node ? node->resval.rint : 0;
}

void rb_dump(const resbuf* list)
{
    for (const resbuf* node = list; node; node = node->rbnext) {
        const int code = node->restype;
        acutPrintf("\nThe type is %i.", code);
        if (group_is_real(code) || code == RTREAL || code == RTANG) {
            acutPrintf("(%d . %0.3f)", code, node->resval.rreal);
        } else if (group_is_short(code) || code == RTSHORT) {
            acutPrintf("(%d . %d) %s", code, node->resval.rint, "");
        } else if ((code >= 90 && code <= 99) || code == 1071 || code == RTLONG) {
            acutPrintf("(%d . %d) %s", code, static_cast<int>(node->resval.rlong), "");
        } else if (code == -1 || code == -2 || (code >= 330 && code <= 369) || code == RTENAME) {
            acutPrintf("(%d . <Entity name: %8lx>)\n", code,
                       static_cast<unsigned long>(node->resval.rlname[0]));
        } else if (group_is_point(code) || code == RTPOINT || code == RT3DPOINT) {
            acutPrintf("(%d %0.3f %0.3f %0.3f)", code, node->resval.rpoint[X], node->resval.rpoint[Y],
                       node->resval.rpoint[Z]);
        } else if (group_is_text(code) || code == RTSTR) {
            acutPrintf("(%d . \"%s\")", code, node->resval.rstring ? node->resval.rstring : "");
        }
    }
}
