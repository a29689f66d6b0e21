// Selection sets, picks and filters: acedSSGet and its companions, acedEntSel,
// the wildcard rules of filters and table lookups, and the geometry that window,
// crossing, fence and picks test entities against.
#pragma once

#include <string>
#include <vector>

#include "db/drawing.h"

namespace host {

// The host's wildcard rules, without regard to case: "*" any run, "?" any one
// character, "#" a digit, "@" a letter, "." any other character, "[...]" one of
// (ranges "a-z"; "[~...]" none of), "~" at the start of an alternative matches
// what the rest does not, "," separates alternatives, "`" takes the next
// character as it stands.
bool wildcard_match(const std::string& text, const std::string& pattern);

// The main entity of model space nearest the point (in plan) within the
// tolerance, among those not erased and not on a frozen or off layer; 0 when none.
long entity_at_point(Drawing& drawing, Point3 point, double tolerance);

// Window ("W": wholly inside), crossing ("C": inside or crossing the edges) and
// fence (crossing the fence line) tests of one entity, exact over the whole drawing.
bool entity_in_window(const Drawing& drawing, const Entity& entity, Point3 corner1, Point3 corner2);
bool entity_crosses_window(const Drawing& drawing, const Entity& entity, Point3 corner1, Point3 corner2);
bool entity_crosses_fence(const Drawing& drawing, const Entity& entity, const std::vector<Point3>& fence);

// The open selection sets, for the host's own code (the LISP evaluator, commands
// given a set). The most sets open at once:
inline constexpr size_t kMaxSelectionSets = 128;
// A new set holding the ids; 0 (and a message) when kMaxSelectionSets are open.
long selection_set_create(std::vector<long> ids);
// The members of an open set; nullptr when the id names no open set.
const std::vector<long>* selection_set_members(long set_id);
size_t selection_sets_open();

}  // namespace host
