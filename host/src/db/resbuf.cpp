#include <cstdarg>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "db/resbuf_convert.h"

namespace host {

RbValue restype_value(int restype)
{
    switch (restype) {
        case RTSTR:
        case RTDXF0:
            return RbValue::Text;
        case RTREAL:
        case RTANG:
        case RTORINT:
            return RbValue::Real;
        case RTSHORT:
            return RbValue::Int16;
        case RTLONG:
            return RbValue::Int32;
        case RTPOINT:
        case RT3DPOINT:
            return RbValue::Point;
        case RTENAME:
        case RTPICKS:
            return RbValue::Name;
        default:
            break;
    }
    if (restype >= RTNONE) return RbValue::None;  // RTLB, RTLE, RTNIL, RTT, RTDOTE, RTVOID...
    if (restype == -3 || restype == -5) return RbValue::None;
    switch (value_kind(restype)) {
        case ValueKind::Text:
            return RbValue::Text;
        case ValueKind::Real:
            return RbValue::Real;
        case ValueKind::Int16:
            return RbValue::Int16;
        case ValueKind::Int32:
            return RbValue::Int32;
        case ValueKind::Point:
            return RbValue::Point;
        case ValueKind::Name:
            return RbValue::Name;
    }
    return RbValue::None;
}

char* copy_string(std::string_view text)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    return copy;
}

static resbuf* new_node(int type)
{
    // malloc and clearing rather than calloc: calloc passes by the allocator's
    // per-thread cache, which the nodes of a list just released are in, and a
    // reader of many entity lists releases and takes a few nodes at a time.
    // (Cleared field by field, which the compiler does not turn into calloc.)
    resbuf* node = static_cast<resbuf*>(std::malloc(sizeof(resbuf)));
    node->rbnext = nullptr;
    node->restype = static_cast<short>(type);
    std::memset(&node->resval, 0, sizeof node->resval);
    return node;
}

resbuf* rb_from_group(const Group& group)
{
    return rb_from_value(group.code, {group.text, group.real, group.integer, group.point, group.name});
}

resbuf* rb_from_value(int code, const GroupValues& group)
{
    resbuf* node = new_node(code);
    switch (restype_value(code)) {
        case RbValue::Text:
            node->resval.rstring = copy_string(group.text);
            break;
        case RbValue::Real:
            node->resval.rreal = group.real;
            break;
        case RbValue::Int16:
            node->resval.rint = static_cast<short>(group.integer);
            break;
        case RbValue::Int32:
            node->resval.rlong = static_cast<std::int32_t>(group.integer);
            break;
        case RbValue::Point:
            node->resval.rpoint[0] = group.point.x;
            node->resval.rpoint[1] = group.point.y;
            node->resval.rpoint[2] = group.point.z;
            break;
        case RbValue::Name:
            node->resval.rlname[0] = group.name;
            node->resval.rlname[1] = 0;
            break;
        case RbValue::None:
            break;
    }
    return node;
}

// Sets a fresh group to what the node holds.
static void fill_group(Group& group, const resbuf* node)
{
    group.code = node->restype == RTDXF0 ? 0 : node->restype;
    switch (restype_value(node->restype)) {
        case RbValue::Text:
            if (node->resval.rstring) group.text = node->resval.rstring;
            break;
        case RbValue::Real:
            group.real = node->resval.rreal;
            break;
        case RbValue::Int16:
            group.integer = node->resval.rint;
            break;
        case RbValue::Int32:
            group.integer = node->resval.rlong;
            break;
        case RbValue::Point:
            group.point = {node->resval.rpoint[0], node->resval.rpoint[1], node->resval.rpoint[2]};
            if (node->restype == RTPOINT) group.point.z = 0;
            break;
        case RbValue::Name:
            group.name = node->resval.rlname[0];
            break;
        case RbValue::None:
            break;
    }
}

Group group_from_rb(const resbuf* node)
{
    Group group;
    fill_group(group, node);
    return group;
}

resbuf* rb_chain(const std::vector<Group>& groups)
{
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (const Group& g : groups) {
        *tail = rb_from_group(g);
        tail = &(*tail)->rbnext;
    }
    return head;
}

std::vector<Group> groups_from_chain(const resbuf* chain)
{
    std::vector<Group> groups;
    for (const resbuf* node = chain; node; node = node->rbnext) groups.push_back(group_from_rb(node));
    return groups;
}

resbuf* entity_list_rb(long id, const std::string& type, const std::vector<Group>& groups,
                       const std::vector<XDataApp>* xdata)
{
    // Node by node, without a copy of the groups first: readers of large
    // drawings ask for millions of lists.
    resbuf* head = nullptr;
    resbuf** tail = &head;
    const auto append = [&](resbuf* node) {
        *tail = node;
        tail = &node->rbnext;
    };
    if (id != 0) append(rb_from_group(Group::of_name(-1, id)));
    append(rb_from_group(Group::of_text(0, type)));
    for (const Group& g : groups) append(rb_from_group(g));
    if (xdata && !xdata->empty()) {
        append(new_node(-3));
        for (const XDataApp& app : *xdata) {
            append(rb_from_group(Group::of_text(1001, app.app)));
            for (const Group& g : app.items) append(rb_from_group(g));
        }
    }
    return head;
}

ParsedEntityList parse_entity_list(const resbuf* list)
{
    ParsedEntityList parsed;
    size_t count = 0;
    for (const resbuf* node = list; node; node = node->rbnext) ++count;
    parsed.groups.reserve(count);
    bool in_xdata = false;
    for (const resbuf* node = list; node; node = node->rbnext) {
        // Most nodes are groups of the entity: each is read in its place in the list.
        Group& placed = parsed.groups.emplace_back();
        fill_group(placed, node);
        const int code = placed.code;
        if (!in_xdata && code != -1 && code != 0 && code != -3) continue;
        Group g = std::move(placed);
        parsed.groups.pop_back();
        if (in_xdata) {
            if (g.code == 1001) {
                parsed.xdata.push_back({std::move(g.text), {}});
            } else if (g.code >= 1000 && g.code <= 1071 && !parsed.xdata.empty()) {
                parsed.xdata.back().items.push_back(std::move(g));
            } else {
                parsed.ok = false;  // only xdata groups may follow -3, and only after a 1001
            }
            continue;
        }
        if (g.code == -1) {
            parsed.id = g.name;
        } else if (g.code == 0) {
            parsed.type = std::move(g.text);
        } else {  // -3
            in_xdata = true;
            parsed.has_xdata = true;
        }
    }
    return parsed;
}

}  // namespace host

using namespace host;

extern "C" {

resbuf* acutNewRb(int type)
{
    return new_node(type);
}

int acutRelRb(resbuf* list)
{
    while (list) {
        resbuf* next = list->rbnext;
        if (restype_value(list->restype) == RbValue::Text) std::free(list->resval.rstring);
        std::free(list);
        list = next;
    }
    return RTNORM;
}

// Pairs of (type, value) ended by 0. The value's C type follows the type: text
// types a const char*, reals a double, RTSHORT and 16-bit codes an int, RTLONG and
// 32-bit codes a long (an int is taken too), points a const ads_real*, names a
// const long*; markers (RTLB, RTLE, RTNIL, RTT, RTDOTE, -3) take no value. RTDXF0
// stands for group 0, which would otherwise end the list.
resbuf* acutBuildList(int rtype, ...)
{
    va_list args;
    va_start(args, rtype);
    resbuf* head = nullptr;
    resbuf** tail = &head;
    for (int type = rtype; type != 0; type = va_arg(args, int)) {
        resbuf* node = new_node(type == RTDXF0 ? 0 : type);
        switch (restype_value(type)) {
            case RbValue::Text: {
                const char* text = va_arg(args, const char*);
                node->resval.rstring = copy_string(text ? text : "");
                break;
            }
            case RbValue::Real:
                node->resval.rreal = va_arg(args, double);
                break;
            case RbValue::Int16:
                node->resval.rint = static_cast<short>(va_arg(args, int));
                break;
            case RbValue::Int32:
                // Read as long and cut to 32 bits, which gives the same value whether
                // the caller passed an int or a long.
                node->resval.rlong = static_cast<std::int32_t>(va_arg(args, long));
                break;
            case RbValue::Point: {
                const ads_real* p = va_arg(args, const ads_real*);
                if (p) {
                    node->resval.rpoint[0] = p[0];
                    node->resval.rpoint[1] = p[1];
                    node->resval.rpoint[2] = type == RTPOINT ? 0.0 : p[2];
                }
                break;
            }
            case RbValue::Name: {
                const long* n = va_arg(args, const long*);
                if (n) {
                    node->resval.rlname[0] = n[0];
                    node->resval.rlname[1] = n[1];
                }
                break;
            }
            case RbValue::None:
                break;
        }
        *tail = node;
        tail = &node->rbnext;
    }
    va_end(args);
    return head;
}

}  // extern "C"
