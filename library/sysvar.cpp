#include "sysvar.h"

#include <cstdlib>
#include <initializer_list>

#include "ads.h"
#include "numbers.h"
#include "resbuf_util.h"

namespace {

// Reads the variable when the host gives it with one of the wanted types. The
// host hands over its own copy of a text, so a text of another type is freed.
bool read_var(const char* name, std::initializer_list<short> wanted, resbuf& value)
{
    value = resbuf{};
    if (acedGetVar(name, &value) != RTNORM) return false;
    for (const short type : wanted)
        if (value.restype == type) return true;
    if (value.restype == RTSTR) std::free(value.resval.rstring);
    return false;
}

// Sets the variable to a value of the given type.
template <typename T>
int write_var(const char* name, short type, T ads_u_val::*field, T value)
{
    resbuf given{};
    given.restype = type;
    given.resval.*field = value;
    acedSetVar(name, &given);
    return 1;
}

}  // namespace

int sysvar_get_real(const char* name, double& out)
{
    resbuf value;
    if (!read_var(name, {RTREAL}, value)) return 0;
    out = value.resval.rreal;
    return 1;
}

int sysvar_set_real(const char* name, double value)
{
    return write_var(name, RTREAL, &ads_u_val::rreal, value);
}

int sysvar_get_int(const char* name, int& out)
{
    resbuf value;
    if (!read_var(name, {RTSHORT}, value)) return 0;
    out = static_cast<int>(value.resval.rint);
    return 1;
}

int sysvar_set_short(const char* name, short value)
{
    return write_var(name, RTSHORT, &ads_u_val::rint, value);
}

int sysvar_get_str(const char* name, std::string& out)
{
    resbuf value;
    if (!read_var(name, {RTSTR}, value)) return 0;
    out = value.resval.rstring ? value.resval.rstring : "";
    std::free(value.resval.rstring);  // the host hands the caller its own copy
    return 1;
}

int sysvar_get_point(const char* name, point3d_rec& out)
{
    resbuf value;
    if (!read_var(name, {RTPOINT, RT3DPOINT}, value)) return 0;
    out = point_from_ads(value.resval.rpoint);
    return 1;
}

int sysvar_luprec()
{
    int decimals = 4;
    sysvar_get_int("LUPREC", decimals);
    return decimals;
}

int layer_current_get(std::string& out)
{
    return sysvar_get_str("CLAYER", out);
}

int layer_current_set(const char* name)
{
    // acedSetVar copies the text.
    return write_var("CLAYER", RTSTR, &ads_u_val::rstring, const_cast<char*>(name));
}

double style_current_width_factor()
{
    std::string style;
    if (!sysvar_get_str("TEXTSTYLE", style)) return 1.0;
    resbuf* record = acdbTblSearch("STYLE", style.c_str(), 0);
    if (record == nullptr) return 1.0;
    double width = 1.0;
    if (rb_find(record, 41)) width = rb_get_real(record, 41);
    const double height = rb_get_real(record, 40);
    acutRelRb(record);
    if (height > 0.0) {
        const std::string message = "Current Text style " + style +
                                    " fixed height:" + rtos_decimal(height, 3) + "\n" +
                                    "command: style =>set height 0.000";
        acedAlert(message.c_str());
    }
    return width;
}

int view_extents(point3d_rec& lower_left, point3d_rec& upper_right)
{
    point3d_rec centre, screen;
    double height = 0;
    if (!sysvar_get_point("VIEWCTR", centre) || !sysvar_get_point("SCREENSIZE", screen) ||
        !sysvar_get_real("VIEWSIZE", height) || screen.y == 0.0)
        return 0;
    const double width = height * screen.x / screen.y;
    lower_left = point3d_rec{centre.x - width / 2, centre.y - height / 2, 0};
    upper_right = point3d_rec{centre.x + width / 2, centre.y + height / 2, 0};
    return 1;
}
