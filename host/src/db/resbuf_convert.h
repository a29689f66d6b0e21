// Conversions between the host API's result-buffer chains and the drawing
// model's groups and entities. Strings in a chain are malloc'd copies, released
// by acutRelRb.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ads.h"
#include "db/drawing.h"

namespace host {

// What the value of a result buffer of this restype is: a group code's kind, or
// a result type's (RTSTR text, RTREAL real, RTSHORT 16-bit, RTLONG 32-bit, RTPOINT
// and RT3DPOINT points, RTENAME names); None for markers such as -3, RTLB or RTNIL.
enum class RbValue { None, Text, Real, Int16, Int32, Point, Name };
RbValue restype_value(int restype);

// A malloc'd copy of a text, for resbuf::resval.rstring.
char* copy_string(std::string_view text);

// One node holding the group (restype = the group code). Group 0 stays 0.
resbuf* rb_from_group(const Group& group);
// The values a group may hold, the text as a view: rb_from_value makes the
// node rb_from_group makes of a group with the code and these values.
struct GroupValues {
    std::string_view text;
    double real = 0;
    long integer = 0;
    Point3 point;
    long name = 0;
};
resbuf* rb_from_value(int code, const GroupValues& value);
// The group a node holds; RTDXF0 becomes code 0. Result types keep their code.
Group group_from_rb(const resbuf* node);
// A chain of the groups in order; nullptr for none.
resbuf* rb_chain(const std::vector<Group>& groups);
// The groups of a chain in order (markers such as -3 become groups without value).
std::vector<Group> groups_from_chain(const resbuf* chain);

// An entity list as acdbEntGet gives it: -1 (when id is not 0), 0 type, the
// groups, then, when xdata is given and not empty, -3 and each application's
// 1001 followed by its groups.
resbuf* entity_list_rb(long id, const std::string& type, const std::vector<Group>& groups,
                       const std::vector<XDataApp>* xdata = nullptr);

// An entity list as acdbEntMake and acdbEntMod take it, taken apart.
struct ParsedEntityList {
    long id = 0;                  // group -1; 0 when absent
    std::string type;             // group 0 as given (not changed in case)
    std::vector<Group> groups;    // every other group before -3, in order
    bool has_xdata = false;       // a -3 section was present
    std::vector<XDataApp> xdata;  // the section's applications in order
    bool ok = true;               // false when the list is malformed (groups after -3 without a 1001)
};
ParsedEntityList parse_entity_list(const resbuf* list);

// Entity and selection-set names: the first word holds the id, the second is 0.
inline long id_of(const ads_name name)
{
    return name ? name[0] : 0;
}
inline void set_name(ads_name name, long id)
{
    name[0] = id;
    name[1] = 0;
}

}  // namespace host
