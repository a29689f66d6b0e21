#include "db/sysvars.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <unordered_map>

#include "ads.h"
#include "session/session.h"

namespace host {

namespace {

struct VarRule {
    const char* name;
    int type;
    bool read_only;
    long min = 0, max = 0;  // the range of a short; both 0 for any 16-bit value
};

// The variables the host knows. The read-only ones are set by the host itself.
const VarRule kRules[] = {
    {"ANGBASE", RTREAL, false},
    {"ANGDIR", RTSHORT, false, 0, 1},
    {"AREA", RTREAL, true},
    {"ATTREQ", RTSHORT, false, 0, 1},
    {"AUNITS", RTSHORT, false, 0, 4},
    {"CLAYER", RTSTR, false},
    {"CMDDIA", RTSHORT, false, 0, 1},
    {"CMDECHO", RTSHORT, false, 0, 1},
    {"DIMZIN", RTSHORT, false, 0, 15},
    {"DWGNAME", RTSTR, true},
    {"DWGPREFIX", RTSTR, true},
    {"FILEDIA", RTSHORT, false, 0, 1},
    {"HPBOUND", RTSHORT, false, 0, 1},
    {"INSNAME", RTSTR, false},
    {"LUNITS", RTSHORT, false, 1, 5},
    {"LUPREC", RTSHORT, false, 0, 8},
    {"OFFSETDIST", RTREAL, false},
    {"OSMODE", RTSHORT, false, 0, 32767},
    {"PERIMETER", RTREAL, true},
    {"PICKBOX", RTSHORT, false, 0, 50},
    {"PLINETYPE", RTSHORT, false, 0, 2},
    {"SCREENSIZE", RTPOINT, true},
    {"SPLINESEGS", RTSHORT, false, -32768, 32767},
    {"SPLINETYPE", RTSHORT, false, 5, 6},
    {"TEXTSIZE", RTREAL, false},
    {"TEXTSTYLE", RTSTR, false},
    {"VIEWCTR", RT3DPOINT, true},
    {"VIEWSIZE", RTREAL, true},
};

std::string upper(const std::string& s)
{
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

const VarRule* rule_of(const std::string& name)
{
    static const std::unordered_map<std::string, const VarRule*> rules = [] {
        std::unordered_map<std::string, const VarRule*> by_name;
        for (const VarRule& rule : kRules) by_name.emplace(rule.name, &rule);
        return by_name;
    }();
    auto found = rules.find(name);  // names are mostly asked for in upper case
    if (found == rules.end()) found = rules.find(upper(name));
    return found == rules.end() ? nullptr : found->second;
}

SysVarValue of_short(long v)
{
    SysVarValue value;
    value.type = RTSHORT;
    value.integer = v;
    return value;
}
SysVarValue of_real(double v)
{
    SysVarValue value;
    value.type = RTREAL;
    value.real = v;
    return value;
}
SysVarValue of_string(std::string v)
{
    SysVarValue value;
    value.type = RTSTR;
    value.text = std::move(v);
    return value;
}
SysVarValue of_point(int type, Point3 p)
{
    SysVarValue value;
    value.type = type;
    value.point = p;
    return value;
}

// Brings a value to the variable's type where the conversion loses nothing:
// a short or long for a real, a 3D point for a 2D one and back, a whole real for
// a short. false when the types do not fit.
bool coerce(const VarRule& rule, SysVarValue& value)
{
    if (value.type == rule.type) return true;
    switch (rule.type) {
        case RTREAL:
            if (value.type == RTSHORT || value.type == RTLONG) {
                value = of_real(static_cast<double>(value.integer));
                return true;
            }
            if (value.type == RTANG) {
                value.type = RTREAL;
                return true;
            }
            return false;
        case RTSHORT:
            if (value.type == RTLONG) {
                value.type = RTSHORT;
                return true;
            }
            return false;
        case RTPOINT:
        case RT3DPOINT:
            if (value.type == RTPOINT || value.type == RT3DPOINT) {
                value.type = rule.type;
                if (rule.type == RTPOINT) value.point.z = 0;
                return true;
            }
            return false;
        default:
            return false;
    }
}

Drawing* current_drawing_or_null()
{
    Session* session = Session::current_or_null();
    return session && session->has_document() ? &session->current().drawing : nullptr;
}

}  // namespace

std::map<std::string, SysVarValue> sysvar_defaults()
{
    return {
        {"ANGBASE", of_real(0.0)},
        {"ANGDIR", of_short(0)},
        {"AREA", of_real(0.0)},
        {"ATTREQ", of_short(1)},
        {"AUNITS", of_short(0)},
        {"CLAYER", of_string("0")},
        {"CMDDIA", of_short(1)},
        {"CMDECHO", of_short(1)},
        {"DIMZIN", of_short(0)},
        {"FILEDIA", of_short(1)},
        {"HPBOUND", of_short(1)},
        {"INSNAME", of_string("")},
        {"LUNITS", of_short(2)},
        {"LUPREC", of_short(4)},
        {"OFFSETDIST", of_real(-1.0)},
        {"OSMODE", of_short(0)},
        {"PERIMETER", of_real(0.0)},
        {"PICKBOX", of_short(3)},
        {"PLINETYPE", of_short(2)},
        {"SCREENSIZE", of_point(RTPOINT, {1000.0, 600.0, 0.0})},
        {"SPLINESEGS", of_short(8)},
        {"SPLINETYPE", of_short(6)},
        {"TEXTSIZE", of_real(2.5)},
        {"TEXTSTYLE", of_string("Standard")},
        {"VIEWCTR", of_point(RT3DPOINT, {0.0, 0.0, 0.0})},
        {"VIEWSIZE", of_real(100.0)},
    };
}

bool sysvar_get(const Drawing& drawing, const std::string& name, SysVarValue& value)
{
    const VarRule* rule = rule_of(name);
    if (!rule) return false;
    const std::string key = rule->name;
    if (key == "DWGPREFIX") {
        value = of_string(drawing.prefix);
        return true;
    }
    if (key == "DWGNAME") {
        value = of_string(drawing.name);
        return true;
    }
    auto it = drawing.sysvars.find(key);
    if (it != drawing.sysvars.end()) {
        value = it->second;
        return true;
    }
    // A drawing read from a file may lack some: the default stands in.
    const auto defaults = sysvar_defaults();
    auto d = defaults.find(key);
    if (d == defaults.end()) return false;
    value = d->second;
    return true;
}

std::string sysvar_string(const Drawing& drawing, const std::string& name, const std::string& absent)
{
    SysVarValue v;
    return sysvar_get(drawing, name, v) && v.type == RTSTR ? v.text : absent;
}

double sysvar_real(const Drawing& drawing, const std::string& name, double absent)
{
    SysVarValue v;
    return sysvar_get(drawing, name, v) && v.type == RTREAL ? v.real : absent;
}

int sysvar_short(const Drawing& drawing, const std::string& name, int absent)
{
    SysVarValue v;
    return sysvar_get(drawing, name, v) && v.type == RTSHORT ? static_cast<int>(v.integer) : absent;
}

Point3 sysvar_point(const Drawing& drawing, const std::string& name)
{
    SysVarValue v;
    return sysvar_get(drawing, name, v) && (v.type == RTPOINT || v.type == RT3DPOINT) ? v.point : Point3{};
}

bool sysvar_set_internal(Drawing& drawing, const std::string& name, const SysVarValue& given)
{
    const VarRule* rule = rule_of(name);
    if (!rule) return false;
    SysVarValue value = given;
    if (!coerce(*rule, value)) return false;
    const std::string key = rule->name;
    if (key == "DWGPREFIX") {
        drawing.prefix = value.text;
    } else if (key == "DWGNAME") {
        drawing.name = value.text;
    } else {
        drawing.sysvars[key] = value;
    }
    return true;
}

int sysvar_set(Drawing& drawing, const std::string& name, const SysVarValue& given)
{
    const VarRule* rule = rule_of(name);
    if (!rule || rule->read_only) return RTERROR;
    SysVarValue value = given;
    if (!coerce(*rule, value)) return RTERROR;
    const std::string key = rule->name;
    if (rule->type == RTSHORT) {
        const bool any = rule->min == 0 && rule->max == 0;
        const long lo = any ? -32768 : rule->min, hi = any ? 32767 : rule->max;
        if (value.integer < lo || value.integer > hi) return RTERROR;
    }
    if (rule->type == RTREAL && !std::isfinite(value.real)) return RTERROR;
    if (key == "CLAYER") {
        // The current layer must exist and must not be frozen.
        const long id = drawing.find_record("LAYER", value.text);
        const Entity* layer = drawing.get(id);
        if (!layer || (layer->integer(70) & 1)) return RTERROR;
        value.text = layer->text(2);
    } else if (key == "TEXTSTYLE") {
        const long id = drawing.find_record("STYLE", value.text);
        if (!id) return RTERROR;
        value.text = drawing.get(id)->text(2);
    } else if (key == "TEXTSIZE" && value.real <= 0) {
        return RTERROR;
    }
    drawing.sysvars[key] = value;
    return RTNORM;
}

bool set_sysvar_string(Drawing& drawing, const std::string& name, const std::string& value)
{
    return sysvar_set_internal(drawing, name, of_string(value));
}
bool set_sysvar_real(Drawing& drawing, const std::string& name, double value)
{
    return sysvar_set_internal(drawing, name, of_real(value));
}
bool set_sysvar_short(Drawing& drawing, const std::string& name, int value)
{
    return sysvar_set_internal(drawing, name, of_short(value));
}
bool set_sysvar_point(Drawing& drawing, const std::string& name, Point3 value)
{
    return sysvar_set_internal(drawing, name, of_point(RT3DPOINT, value));
}

double pick_tolerance(const Drawing& drawing)
{
    const double pixels = sysvar_short(drawing, "PICKBOX", 3);
    const double view_height = sysvar_real(drawing, "VIEWSIZE", 100.0);
    double screen_height = sysvar_point(drawing, "SCREENSIZE").y;
    if (screen_height <= 0) screen_height = 600.0;
    return std::max(pixels, 1.0) * view_height / screen_height;
}

}  // namespace host

using namespace host;

extern "C" {

int acedGetVar(const char* name, resbuf* result)
{
    if (!name || !result) return RTERROR;
    SysVarValue value;
    const Drawing* drawing = current_drawing_or_null();
    if (!drawing || !sysvar_get(*drawing, name, value)) return RTERROR;
    result->restype = static_cast<short>(value.type);
    switch (value.type) {
        case RTSHORT:
            result->resval.rint = static_cast<short>(value.integer);
            break;
        case RTREAL:
            result->resval.rreal = value.real;
            break;
        case RTSTR: {
            // The caller owns the copy and frees it (free, or acutRelRb on a list node).
            char* copy = static_cast<char*>(std::malloc(value.text.size() + 1));
            std::memcpy(copy, value.text.c_str(), value.text.size() + 1);
            result->resval.rstring = copy;
            break;
        }
        default:
            result->resval.rpoint[0] = value.point.x;
            result->resval.rpoint[1] = value.point.y;
            result->resval.rpoint[2] = value.type == RTPOINT ? 0.0 : value.point.z;
            break;
    }
    return RTNORM;
}

int acedSetVar(const char* name, const resbuf* given)
{
    if (!name || !given) return RTERROR;
    SysVarValue value;
    value.type = given->restype;
    switch (given->restype) {
        case RTSHORT:
            value.integer = given->resval.rint;
            break;
        case RTLONG:
            value.integer = given->resval.rlong;
            break;
        case RTREAL:
        case RTANG:
            value.real = given->resval.rreal;
            break;
        case RTSTR:
            if (!given->resval.rstring) return RTERROR;
            value.text = given->resval.rstring;
            break;
        case RTPOINT:
        case RT3DPOINT:
            value.point = {given->resval.rpoint[0], given->resval.rpoint[1],
                           given->restype == RTPOINT ? 0.0 : given->resval.rpoint[2]};
            break;
        default:
            return RTERROR;
    }
    Drawing* drawing = current_drawing_or_null();
    return drawing ? sysvar_set(*drawing, name, value) : RTERROR;
}

}  // extern "C"
