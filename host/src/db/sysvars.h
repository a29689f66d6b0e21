// System variables: their types, defaults and rules, kept per drawing in
// Drawing::sysvars. acedGetVar/acedSetVar go through here, and so do the host's
// own commands (area, _offset, _zoom, Insert), which may also set the variables
// that are read-only to plug-ins.
#pragma once

#include <map>
#include <string>

#include "db/drawing.h"

struct resbuf;

namespace host {

// Every known variable with its default value (DWGPREFIX and DWGNAME are not
// stored: they come from the drawing's prefix and name).
std::map<std::string, SysVarValue> sysvar_defaults();

// The value of a variable (name without regard to case); false for an unknown name.
bool sysvar_get(const Drawing& drawing, const std::string& name, SysVarValue& value);

// Typed reads; the absent value when the name is unknown or of another type.
std::string sysvar_string(const Drawing& drawing, const std::string& name, const std::string& absent = "");
double sysvar_real(const Drawing& drawing, const std::string& name, double absent = 0);
int sysvar_short(const Drawing& drawing, const std::string& name, int absent = 0);
Point3 sysvar_point(const Drawing& drawing, const std::string& name);

// Sets a variable as a user or plug-in would (acedSetVar): RTNORM, or RTERROR for
// an unknown or read-only name, a value of the wrong type or out of range, or a
// CLAYER/TEXTSTYLE that names no usable record.
int sysvar_set(Drawing& drawing, const std::string& name, const SysVarValue& value);

// The host's own setters: no read-only check (AREA, PERIMETER, VIEWCTR...), but
// the type must be the variable's. false for an unknown name.
bool sysvar_set_internal(Drawing& drawing, const std::string& name, const SysVarValue& value);
bool set_sysvar_string(Drawing& drawing, const std::string& name, const std::string& value);
bool set_sysvar_real(Drawing& drawing, const std::string& name, double value);
bool set_sysvar_short(Drawing& drawing, const std::string& name, int value);
bool set_sysvar_point(Drawing& drawing, const std::string& name, Point3 value);

// The pick box as a distance in drawing units: PICKBOX pixels of a view
// VIEWSIZE high on a screen SCREENSIZE pixels high.
double pick_tolerance(const Drawing& drawing);

}  // namespace host
