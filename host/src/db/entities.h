// The entity rules behind acdbEntMake, acdbEntMod and acdbEntDel, for the host's
// own commands (area, offset, explode, Insert...) and the DXF reader as well as
// the API functions: layers made on demand, locked layers refused, styles and
// blocks checked, justified texts placed, extended data checked against the
// registered applications and the size limits.
#pragma once

#include <string>
#include <vector>

#include "db/drawing.h"

namespace host {

// The drawing of the current document (there must be one), and the same or
// nullptr when no drawing is open, for the API functions to refuse the call.
Drawing& current_drawing();
Drawing* current_drawing_or_null();

// Layer state by name (without regard to case); a missing layer is neither.
bool layer_locked(const Drawing& drawing, const std::string& layer);
bool layer_frozen(const Drawing& drawing, const std::string& layer);
bool layer_off(const Drawing& drawing, const std::string& layer);
// Whether a text may name a table record: 1 to 255 characters, none of
// < > / \ " : ; ? * | , = ` (a block's name may start with "*").
bool valid_record_name(const std::string& name, bool block = false);

// The layer's record id, made (colour 7, flags 0, linetype CONTINUOUS) when missing.
long ensure_layer(Drawing& drawing, const std::string& layer);

// The extended data limits: at most 255 bytes in one string, about 16 KB per entity.
inline constexpr size_t kXDataStringLimit = 255;
inline constexpr size_t kXDataEntityLimit = 16383;
bool xdata_fits(const std::vector<XDataApp>& xdata);
// Every application is registered in the APPID table.
bool xdata_apps_registered(const Drawing& drawing, const std::vector<XDataApp>& xdata);

// Makes one entity (or table record, or a step of a POLYLINE chain or block
// definition) as acdbEntMake does; RTNORM or RTERROR. made_id, when given, gets
// the id of the entity that now exists (0 when the step made none yet).
int entity_make(Drawing& drawing, const std::string& type, std::vector<Group> groups,
                const std::vector<XDataApp>& xdata, long* made_id = nullptr);

// The codes of the groups whose values the checks of a made entity pass on
// without reading them, for an entity of the type (upper case) with these
// groups: when the checks neither complete nor change its groups, an entity
// made from groups that differ only in these values comes out the same but for
// them. Empty for most types.
std::vector<int> unread_by_checks(const std::string& type, const std::vector<Group>& groups);

// Changes an entity as acdbEntMod does; RTNORM or RTERROR.
int entity_modify(Drawing& drawing, long id, const std::vector<Group>& groups, bool has_xdata,
                  const std::vector<XDataApp>& xdata);

// Erases (or, when already erased, restores) an entity with its VERTEXes and SEQEND.
int entity_erase_toggle(Drawing& drawing, long id);

// Places a justified TEXT: group 10 from 11 when 72 or 73 is not zero.
void place_justified_text(Entity& text);

// The groups acdbEntGet shows for an entity or record (a BLOCK record's -2 added).
std::vector<Group> shown_groups(const Drawing& drawing, const Entity& entity);

// The VERTEX ids of a POLYLINE in order (SEQEND left out).
std::vector<long> polyline_vertices(const Drawing& drawing, const Entity& polyline);

// Names compared without regard to case.
bool same_text(const std::string& a, const std::string& b);
std::string upper_text(const std::string& s);

}  // namespace host
