// The constants every source of the product sees: version, pi, the registry
// subkey, the length units and the entity and area-unit names.
#pragma once

// The product's version number; written to the registry as "V2".
inline constexpr int ORVIK_VERSION = 2;
inline constexpr const char* ORVIK_VERSION_TEXT = "V2";

// Pi to ten decimals: the value every angle conversion of the product uses
// (deliberately not the full-precision value, so results match stored data).
inline constexpr double ORVIK_PI = 3.1415926535;

// The product's key under HKEY_LOCAL_MACHINE is "SOFTWARE\" + this subkey.
inline constexpr const char* ORVIK_REGISTRY_SUBKEY = "Pelmora Software\\orvik_survey";
inline constexpr const char* ORVIK_REGISTRY_KEY = "SOFTWARE\\Pelmora Software\\orvik_survey";

// The layer that carries every command's settings as extended data.
inline constexpr const char* ORVIK_SETTINGS_LAYER = "Orvik_survey_temp";

// Length units: metres per unit, by index 0 to 3.
inline constexpr double UNIT_FACTOR_METER = 1.0;
inline constexpr double UNIT_FACTOR_LINK = 0.201168;
inline constexpr double UNIT_FACTOR_FEET = 0.3048;
inline constexpr double UNIT_FACTOR_KAKI = 10.0;
inline constexpr const char* UNIT_NAME_METER = "METER";
inline constexpr const char* UNIT_NAME_LINK = "LINK";
inline constexpr const char* UNIT_NAME_FEET = "FEET";
inline constexpr const char* UNIT_NAME_KAKI = "KAKI";
// Short forms used in labels.
inline constexpr const char* UNIT_SHORT_LINK = "Lk";
inline constexpr const char* UNIT_SHORT_FEET = "Ft";

// Entity type names (group 0).
inline constexpr const char* ENT_POLYLINE = "POLYLINE";
inline constexpr const char* ENT_LWPOLYLINE = "LWPOLYLINE";
inline constexpr const char* ENT_LINE = "LINE";
inline constexpr const char* ENT_TEXT = "TEXT";

// Area unit names as the host's unit conversion knows them.
inline constexpr const char* AREA_UNIT_METER2 = "meter^2";
inline constexpr const char* AREA_UNIT_FEET2 = "feet^2";
inline constexpr const char* AREA_UNIT_HECTARE = "hectare";
inline constexpr const char* AREA_UNIT_ACRE = "acre";

// The square-metre sign as a drawing holds it: "m" and the superscript two,
// in UTF-8 like every text inside the host, which writes it in the file's code
// page on saving. (The host's code "m%%178" is another way of writing it that
// some area labels keep.)
inline constexpr const char* AREA_SUFFIX_SQUARE_METRE = "m\xC2\xB2";
