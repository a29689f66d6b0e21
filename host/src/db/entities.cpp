// The entity API: acdbEntGet, acdbEntGetX, acdbEntMake, acdbEntMod, acdbEntDel,
// acdbEntNext, acdbEntLast and acdbEntUpd, over the current document's drawing.
#include "db/entities.h"

#include <algorithm>
#include <cctype>
#include <set>
#include <string_view>
#include <utility>

#include "db/list_stamps.h"
#include "db/resbuf_convert.h"
#include "db/selection.h"
#include "db/sysvars.h"
#include "db/textmetrics.h"
#include "session/session.h"

namespace host {

// Types are compared as views, whose lengths differ for most pairs, so that
// telling an entity's type among the many the rules name stays cheap.
using namespace std::string_view_literals;

Drawing& current_drawing()
{
    return Session::get().current().drawing;
}

Drawing* current_drawing_or_null()
{
    Session* session = Session::current_or_null();
    return session && session->has_document() ? &session->current().drawing : nullptr;
}

bool same_text(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string upper_text(const std::string& s)
{
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return out;
}

namespace {

const Entity* layer_record(const Drawing& drawing, const std::string& layer)
{
    return drawing.get(drawing.find_record("LAYER", layer));
}

// Whether a layer's record has its lock bit set; false for no record.
bool record_locked(const Entity* layer)
{
    return layer && (layer->integer(70) & 4);
}

bool is_table_type(const std::string& type)
{
    return type == "LAYER"sv || type == "LTYPE"sv || type == "STYLE"sv || type == "APPID"sv;
}

// Whether the entity is a symbol table record (as opposed to an entity of model
// space or of a block definition).
bool is_record(const Drawing& drawing, const Entity& entity)
{
    if (entity.owner != 0) return false;
    auto t = drawing.tables.find(entity.type);
    if (t == drawing.tables.end()) return false;
    // Found by its name as a rule; by its place in the table when its name is shared.
    return drawing.find_record(entity.type, entity.text(2)) == entity.id ||
           std::find(t->second.begin(), t->second.end(), entity.id) != t->second.end();
}

// The entity types acdbEntMake accepts, with the groups each must have.
struct TypeRule {
    std::string_view type;
    std::vector<int> required;
};
const TypeRule kTypeRules[] = {
    {"LINE", {10, 11}},
    {"POINT", {10}},
    {"CIRCLE", {10, 40}},
    {"ARC", {10, 40, 50, 51}},
    {"TEXT", {1}},
    {"MTEXT", {10}},
    {"INSERT", {2, 10}},
    {"3DFACE", {10, 11, 12}},
    {"SOLID", {10, 11, 12}},
    {"TRACE", {10, 11, 12}},
    {"LWPOLYLINE", {10}},
    {"HATCH", {}},
    {"ELLIPSE", {10, 11, 40}},
    {"SPLINE", {}},
    {"ATTDEF", {1, 2}},
    {"ATTRIB", {1, 2}},
    {"DIMENSION", {}},
    {"LEADER", {10}},
    {"RAY", {10, 11}},
    {"XLINE", {10, 11}},
    {"SHAPE", {10, 2}},
    {"REGION", {}},
    {"POLYLINE", {}},
    {"VERTEX", {10}},
    {"SEQEND", {}},
};

const TypeRule* type_rule(const std::string& type)
{
    for (const TypeRule& rule : kTypeRules)
        if (type == rule.type) return &rule;
    return nullptr;
}

// Types whose lists hold the same group many times (vertices, boundary edges,
// text chunks): for them a list given to acdbEntMod that holds any of those
// groups stands for the whole list.
bool is_list_type(const std::string& type)
{
    return type == "HATCH"sv || type == "MLINE"sv || type == "SPLINE"sv || type == "MTEXT"sv ||
           type == "LEADER"sv || type == "MPOLYGON"sv || type == "DIMENSION"sv;
}

bool is_repeated_code(const std::string& type, int code)
{
    if (code == 100 || code == 102) return true;
    if (type == "LWPOLYLINE"sv) return code == 10 || code == 40 || code == 41 || code == 42 || code == 91;
    if (is_list_type(type))
        return !(code == 8 || code == 6 || code == 62 || code == 67 || code == 370 || code == 48 ||
                 code == 60 || code == 7);
    return false;
}

bool has_group(const std::vector<Group>& groups, int code)
{
    return std::any_of(groups.begin(), groups.end(), [&](const Group& g) { return g.code == code; });
}

// Keeps the first place of each single group with the value of its last
// occurrence: a group appended at the end of a list overrides the earlier one.
std::vector<Group> last_one_wins(const std::string& type, const std::vector<Group>& groups)
{
    std::vector<Group> out;
    for (const Group& g : groups) {
        if (!is_repeated_code(type, g.code)) {
            auto same =
                std::find_if(out.begin(), out.end(), [&](const Group& o) { return o.code == g.code; });
            if (same != out.end()) {
                *same = g;
                continue;
            }
        }
        out.push_back(g);
    }
    return out;
}

// The groups of an entity after acdbEntMod: each given group replaces the one
// of its code in place, or is added when the entity lacks it.
std::vector<Group> merge_groups(const std::string& type, const std::vector<Group>& old_groups,
                                const std::vector<Group>& given)
{
    const bool whole_list = std::any_of(given.begin(), given.end(), [&](const Group& g) {
        return g.code != 100 && g.code != 102 && is_repeated_code(type, g.code);
    });
    if (whole_list) {
        // The list given stands for the groups of its codes; groups of codes it
        // does not mention stay, except that an LWPOLYLINE's vertices (10 with
        // their widths and bulges) are replaced as a whole.
        std::vector<Group> out = last_one_wins(type, given);
        for (const Group& g : old_groups) {
            if (has_group(given, g.code)) continue;
            if (type == "LWPOLYLINE"sv && is_repeated_code(type, g.code)) continue;
            out.push_back(g);
        }
        return out;
    }
    std::vector<Group> out = old_groups;
    for (const Group& g : given) {
        if (g.code == 100 || g.code == 102) continue;  // subclass markers stay as made
        auto same = std::find_if(out.begin(), out.end(), [&](const Group& o) { return o.code == g.code; });
        if (same != out.end())
            *same = g;
        else
            out.push_back(g);
    }
    return out;
}

// BYLAYER colour and linetype are the absence of 62 and 6.
void drop_bylayer(std::vector<Group>& groups)
{
    std::erase_if(groups, [](const Group& g) {
        return (g.code == 62 && g.integer == 256) || (g.code == 6 && same_text(g.text, "BYLAYER"));
    });
}

void set_group(std::vector<Group>& groups, const Group& g)
{
    auto same = std::find_if(groups.begin(), groups.end(), [&](const Group& o) { return o.code == g.code; });
    if (same != groups.end())
        *same = g;
    else
        groups.push_back(g);
}

// Checks an entity's groups and completes them as the host does for an entity
// made or changed: the layer (made when missing, refused when locked), the text
// style and block named, the groups its type needs, a justified text's place.
int prepare_entity(Drawing& drawing, Entity& entity, const std::string& default_layer)
{
    const TypeRule* rule = type_rule(entity.type);
    if (!rule) return RTERROR;
    for (int code : rule->required)
        if (!has_group(entity.groups, code)) return RTERROR;
    drop_bylayer(entity.groups);

    if (!has_group(entity.groups, 8))
        entity.groups.insert(entity.groups.begin(), Group::of_text(8, default_layer));
    const std::string layer = entity.text(8);
    if (!valid_record_name(layer)) return RTERROR;
    const Entity* layer_entry = layer_record(drawing, layer);
    if (record_locked(layer_entry)) return RTERROR;
    const bool layer_exists = layer_entry != nullptr;

    const std::string& type = entity.type;
    if (type == "TEXT"sv || type == "MTEXT"sv || type == "ATTDEF"sv || type == "ATTRIB"sv) {
        if (const Group* style = entity.find(7)) {
            if (!drawing.find_record("STYLE", style->text)) return RTERROR;
        } else {
            entity.groups.push_back(Group::of_text(7, sysvar_string(drawing, "TEXTSTYLE", "Standard")));
        }
        if (!has_group(entity.groups, 40))
            entity.groups.push_back(Group::of_real(40, sysvar_real(drawing, "TEXTSIZE", 2.5)));
        if (type == "TEXT"sv) {
            if (!has_group(entity.groups, 10) && !has_group(entity.groups, 11)) return RTERROR;
            if (!has_group(entity.groups, 10)) entity.groups.push_back(Group::of_point(10, entity.point(11)));
            place_justified_text(entity);
        }
    }
    if (type == "INSERT"sv && !drawing.find_record("BLOCK", entity.text(2))) return RTERROR;
    if (type == "CIRCLE"sv || type == "ARC"sv) {
        if (!(entity.real(40) > 0)) return RTERROR;
    }
    if (type == "3DFACE"sv && !has_group(entity.groups, 13))
        entity.groups.push_back(Group::of_point(13, entity.point(12)));
    if (type == "LWPOLYLINE"sv) {
        const long vertices = std::count_if(entity.groups.begin(), entity.groups.end(),
                                            [](const Group& g) { return g.code == 10; });
        set_group(entity.groups, Group::of_int(90, vertices));
    }
    // Only an entity that will be made creates its layer.
    if (!layer_exists) ensure_layer(drawing, layer);
    return RTNORM;
}

// Defaults of a table record made by acdbEntMake.
int prepare_record(Drawing& drawing, Entity& record)
{
    const std::string name = record.text(2);
    if (!valid_record_name(name)) return RTERROR;
    if (drawing.find_record(record.type, name)) return RTERROR;
    if (!has_group(record.groups, 70)) record.groups.push_back(Group::of_int(70, 0));
    if (record.type == "LAYER"sv) {
        if (!has_group(record.groups, 62)) record.groups.push_back(Group::of_int(62, 7));
        if (!has_group(record.groups, 6)) record.groups.push_back(Group::of_text(6, "CONTINUOUS"));
        if (!drawing.find_record("LTYPE", record.text(6))) return RTERROR;
    } else if (record.type == "STYLE"sv) {
        if (!has_group(record.groups, 40)) record.groups.push_back(Group::of_real(40, 0.0));
        if (!has_group(record.groups, 41)) record.groups.push_back(Group::of_real(41, 1.0));
        if (!has_group(record.groups, 3)) record.groups.push_back(Group::of_text(3, "txt"));
    }
    return RTNORM;
}

// The extended data after a change: each application named replaces its own
// (an application named without groups loses its data); the others stay.
std::vector<XDataApp> merge_xdata(const std::vector<XDataApp>& old_xdata, const std::vector<XDataApp>& given)
{
    std::vector<XDataApp> out = old_xdata;
    for (const XDataApp& app : given) {
        auto same = std::find_if(out.begin(), out.end(),
                                 [&](const XDataApp& o) { return same_text(o.app, app.app); });
        if (same != out.end()) {
            if (app.items.empty())
                out.erase(same);
            else
                same->items = app.items;
        } else if (!app.items.empty()) {
            out.push_back(app);
        }
    }
    return out;
}

void add_chain(Drawing& drawing, std::vector<Entity>& chain, long owner, long* made_id)
{
    long parent = 0;
    for (Entity& e : chain) {
        if (e.type == "POLYLINE"sv) {
            parent = drawing.add(std::move(e), owner);
            if (made_id && owner == 0) *made_id = parent;
        } else {
            e.parent = (e.type == "VERTEX"sv || e.type == "SEQEND"sv) ? parent : 0;
            drawing.add(std::move(e), owner);
        }
    }
}

// A justified TEXT is placed by its alignment point (11); a change that moves
// only its insertion point (10) moves the alignment point with it, so that the
// text goes where it was sent rather than snapping back.
void move_alignment_with_insertion(const Entity& before, Entity& after, const std::vector<Group>& given)
{
    if (before.type != "TEXT"sv || (after.integer(72) == 0 && after.integer(73) == 0)) return;
    if (!has_group(given, 10) || has_group(given, 11) || !before.find(11)) return;
    const Point3 from = before.point(10), to = after.point(10);
    if (from == to) return;
    const Point3 a = before.point(11);
    set_group(after.groups,
              Group::of_point(11, {a.x + to.x - from.x, a.y + to.y - from.y, a.z + to.z - from.z}));
}

int make_polyline_step(Drawing& drawing, Entity entity, long* made_id)
{
    PendingMake& pending = drawing.pending;
    if (entity.type == "POLYLINE"sv) {
        const int status = prepare_entity(drawing, entity, sysvar_string(drawing, "CLAYER", "0"));
        if (status != RTNORM) return status;
        set_group(entity.groups, Group::of_int(66, 1));
        pending.polyline = {std::move(entity)};
        return RTNORM;
    }
    if (pending.polyline.empty()) return RTERROR;  // a VERTEX or SEQEND without its header
    const std::string header_layer = pending.polyline.front().layer();
    int status;
    if (entity.type == "SEQEND"sv) {
        drop_bylayer(entity.groups);
        if (!has_group(entity.groups, 8))
            entity.groups.insert(entity.groups.begin(), Group::of_text(8, header_layer));
        const std::string layer = entity.text(8);
        status = !valid_record_name(layer) || layer_locked(drawing, layer) ? RTERROR : RTNORM;
        if (status == RTNORM) ensure_layer(drawing, layer);
    } else {
        status = prepare_entity(drawing, entity, header_layer);
    }
    if (status != RTNORM) return status;
    pending.polyline.push_back(std::move(entity));
    if (pending.polyline.back().type != "SEQEND"sv) return RTNORM;

    // The chain is complete: it now becomes one entity of the drawing.
    std::vector<Entity> chain = std::move(pending.polyline);
    pending.polyline.clear();
    if (pending.block) {
        for (Entity& e : chain) pending.block_entities.push_back(std::move(e));
    } else {
        add_chain(drawing, chain, 0, made_id);
    }
    return RTNORM;
}

int make_block_step(Drawing& drawing, Entity entity)
{
    PendingMake& pending = drawing.pending;
    if (entity.type == "BLOCK"sv) {
        const std::string name = entity.text(2);
        if (pending.block || !valid_record_name(name, true) || drawing.find_record("BLOCK", name))
            return RTERROR;
        if (!has_group(entity.groups, 70)) entity.groups.push_back(Group::of_int(70, 0));
        if (!has_group(entity.groups, 10)) entity.groups.push_back(Group::of_point(10, {}));
        pending.block = std::move(entity);
        pending.block_entities.clear();
        return RTNORM;
    }
    // ENDBLK
    if (!pending.block) return RTERROR;
    pending.polyline.clear();
    Entity& record = drawing.add_record("BLOCK", std::move(*pending.block));
    const long owner = record.id;
    drawing.block_entities[owner];
    std::vector<Entity> entities = std::move(pending.block_entities);
    pending.block.reset();
    pending.block_entities.clear();
    add_chain(drawing, entities, owner, nullptr);
    return RTNORM;
}

}  // namespace

bool layer_locked(const Drawing& drawing, const std::string& layer)
{
    return record_locked(layer_record(drawing, layer));
}

bool layer_frozen(const Drawing& drawing, const std::string& layer)
{
    const Entity* record = layer_record(drawing, layer);
    return record && (record->integer(70) & 1);
}

bool layer_off(const Drawing& drawing, const std::string& layer)
{
    const Entity* record = layer_record(drawing, layer);
    return record && record->integer(62, 7) < 0;
}

bool valid_record_name(const std::string& name, bool block)
{
    if (name.empty() || name.size() > 255) return false;
    const size_t from = block && name[0] == '*' ? 1 : 0;
    for (size_t i = from; i < name.size(); ++i) {
        switch (name[i]) {
            case '<':
            case '>':
            case '/':
            case '\\':
            case '"':
            case ':':
            case ';':
            case '?':
            case '*':
            case '|':
            case ',':
            case '=':
            case '`':
                return false;
            default:
                break;
        }
    }
    return true;
}

long ensure_layer(Drawing& drawing, const std::string& layer)
{
    if (long id = drawing.find_record("LAYER", layer)) return id;
    Entity record;
    record.type = "LAYER";
    record.groups = {Group::of_text(2, layer), Group::of_int(70, 0), Group::of_int(62, 7),
                     Group::of_text(6, "CONTINUOUS")};
    return drawing.add_record("LAYER", std::move(record)).id;
}

bool xdata_fits(const std::vector<XDataApp>& xdata)
{
    size_t total = 0;
    for (const XDataApp& app : xdata) {
        if (app.app.size() > kXDataStringLimit) return false;
        total += 2 + app.app.size() + 1;
        for (const Group& g : app.items) {
            total += 2;
            switch (g.kind()) {
                case ValueKind::Text:
                    if (g.text.size() > kXDataStringLimit) return false;
                    total += g.text.size() + 1;
                    break;
                case ValueKind::Real:
                    total += 8;
                    break;
                case ValueKind::Int16:
                    total += 2;
                    break;
                case ValueKind::Int32:
                    total += 4;
                    break;
                case ValueKind::Point:
                    total += 24;
                    break;
                case ValueKind::Name:
                    total += 8;
                    break;
            }
        }
    }
    return total <= kXDataEntityLimit;
}

bool xdata_apps_registered(const Drawing& drawing, const std::vector<XDataApp>& xdata)
{
    return std::all_of(xdata.begin(), xdata.end(),
                       [&](const XDataApp& app) { return drawing.find_record("APPID", app.app) != 0; });
}

void place_justified_text(Entity& text)
{
    const int h = static_cast<int>(text.integer(72));
    const int v = static_cast<int>(text.integer(73));
    if (h == 0 && v == 0) return;
    if (!text.find(11)) set_group(text.groups, Group::of_point(11, text.point(10)));
    const Point3 alignment = text.point(11);
    Point3 insertion = insertion_from_alignment(alignment, text.text(1), text.real(40), text.real(41, 1.0),
                                                text.real(50), h, v);
    insertion.z = alignment.z;
    set_group(text.groups, Group::of_point(10, insertion));
}

std::vector<int> unread_by_checks(const std::string& type, const std::vector<Group>& groups)
{
    // prepare_entity reads no coordinate of these types (a 3DFACE's fourth
    // corner is read only when it is missing, and then the groups change).
    if (type == "POINT"sv) return {10};
    if (type == "LINE"sv) return {10, 11};
    if (type == "3DFACE"sv) return {10, 11, 12, 13};
    if (type == "TEXT"sv) {
        // A justified text's place is worked out from its alignment point and
        // its words; a left-aligned one's is taken as given.
        for (const Group& g : groups)
            if ((g.code == 72 || g.code == 73) && g.integer != 0) return {};
        return {1, 10, 11};
    }
    return {};
}

int entity_make(Drawing& drawing, const std::string& given_type, std::vector<Group> groups,
                const std::vector<XDataApp>& xdata, long* made_id)
{
    if (made_id) *made_id = 0;
    Entity entity;
    entity.type = upper_text(given_type);
    entity.groups = std::move(groups);
    entity.xdata = xdata;
    if (entity.type.empty()) return RTERROR;
    if (!xdata_apps_registered(drawing, xdata) || !xdata_fits(xdata)) return RTERROR;

    if (is_table_type(entity.type)) {
        if (prepare_record(drawing, entity) != RTNORM) return RTERROR;
        const std::string table = entity.type;
        const long id = drawing.add_record(table, std::move(entity)).id;
        if (made_id) *made_id = id;
        return RTNORM;
    }
    if (entity.type == "BLOCK"sv || entity.type == "ENDBLK"sv)
        return make_block_step(drawing, std::move(entity));
    if (entity.type == "POLYLINE"sv || entity.type == "VERTEX"sv || entity.type == "SEQEND"sv)
        return make_polyline_step(drawing, std::move(entity), made_id);

    // Any other entity ends an unfinished POLYLINE chain, which is dropped.
    drawing.pending.polyline.clear();
    // The current layer stands in for a layer the list does not name.
    const int status = prepare_entity(
        drawing, entity, has_group(entity.groups, 8) ? std::string() : sysvar_string(drawing, "CLAYER", "0"));
    if (status != RTNORM) return status;
    if (drawing.pending.block) {
        drawing.pending.block_entities.push_back(std::move(entity));
        return RTNORM;
    }
    const long id = drawing.add(std::move(entity));
    if (made_id) *made_id = id;
    return RTNORM;
}

int entity_modify(Drawing& drawing, long id, const std::vector<Group>& given, bool has_xdata,
                  const std::vector<XDataApp>& given_xdata)
{
    // A packed entity is changed as a copy that then takes its place, so that
    // it stays packed; one kept whole is changed where it is.
    Entity scratch;
    const Entity* seen = drawing.look(id, scratch);
    if (!seen || seen->erased) return RTERROR;
    const bool packed = seen == &scratch;
    Entity* entity = packed ? &scratch : drawing.get(id);
    if (has_xdata && !xdata_apps_registered(drawing, given_xdata)) return RTERROR;

    Entity changed = *entity;
    changed.groups = merge_groups(changed.type, entity->groups, given);
    move_alignment_with_insertion(*entity, changed, given);
    if (has_xdata) changed.xdata = merge_xdata(entity->xdata, given_xdata);
    // Data past the limits that a drawing file brought in does not block
    // changes of the entity that keep within them themselves.
    if (!xdata_fits(changed.xdata) && (xdata_fits(entity->xdata) || !xdata_fits(given_xdata))) return RTERROR;

    if (is_record(drawing, *entity)) {
        const std::string old_name = entity->text(2), new_name = changed.text(2);
        if (!same_text(old_name, new_name) && !valid_record_name(new_name, entity->type == "BLOCK"sv))
            return RTERROR;
        if (!same_text(old_name, new_name)) {
            if (drawing.find_record(entity->type, new_name)) return RTERROR;
            if (entity->type == "LAYER"sv && old_name == "0"sv) return RTERROR;
        }
        if (entity->type == "LAYER"sv && (changed.integer(70) & 1) &&
            same_text(sysvar_string(drawing, "CLAYER", "0"), old_name))
            return RTERROR;  // the current layer cannot be frozen
        *entity = std::move(changed);
        drawing.changed(id);  // its name was looked up above, before it changed
        return RTNORM;
    }

    // An entity on a locked layer cannot be changed, nor moved onto one.
    if (layer_locked(drawing, entity->layer())) return RTERROR;
    const std::string default_layer = entity->layer();
    if (entity->type == "SEQEND"sv) {
        drop_bylayer(changed.groups);
    } else if (prepare_entity(drawing, changed, default_layer) != RTNORM) {
        return RTERROR;
    }
    if (packed)
        drawing.replace(std::move(changed));
    else
        *entity = std::move(changed);
    return RTNORM;
}

int entity_erase_toggle(Drawing& drawing, long id)
{
    Entity scratch;
    const Entity* entity = drawing.look(id, scratch);
    if (!entity || is_record(drawing, *entity)) return RTERROR;
    if (entity->type == "VERTEX"sv || entity->type == "SEQEND"sv) return RTERROR;
    if (layer_locked(drawing, entity->layer())) return RTERROR;
    const bool erased = !entity->erased;
    drawing.set_erased(id, erased);
    if (entity->type == "POLYLINE"sv) {
        const auto list = drawing.container_of(*entity);
        auto place = drawing.index_in_container(*entity);
        if (list && place) {
            Entity sub_scratch;
            for (size_t i = *place + 1; i < list->size(); ++i) {
                const Entity* sub = drawing.look((*list)[i], sub_scratch);
                if (!sub || sub->parent != id) break;
                drawing.set_erased(sub->id, erased);
            }
        }
    }
    return RTNORM;
}

std::vector<Group> shown_groups(const Drawing& drawing, const Entity& entity)
{
    std::vector<Group> groups = entity.groups;
    if (entity.type == "BLOCK"sv && is_record(drawing, entity)) {
        auto it = drawing.block_entities.find(entity.id);
        if (it != drawing.block_entities.end() && !it->second.empty())
            groups.push_back(Group::of_name(-2, it->second.front()));
    }
    return groups;
}

std::vector<long> polyline_vertices(const Drawing& drawing, const Entity& polyline)
{
    std::vector<long> vertices;
    const auto list = drawing.container_of(polyline);
    auto place = drawing.index_in_container(polyline);
    if (!list || !place) return vertices;
    Entity scratch;
    for (size_t i = *place + 1; i < list->size(); ++i) {
        const Entity* sub = drawing.look((*list)[i], scratch);
        if (!sub || sub->parent != polyline.id || sub->type != "VERTEX"sv) break;
        vertices.push_back(sub->id);
    }
    return vertices;
}

}  // namespace host

using namespace host;

extern "C" {

resbuf* acdbEntGet(const ads_name name)
{
    const Drawing* open = current_drawing_or_null();
    if (!open) return nullptr;
    const Drawing& drawing = *open;
    // A reader of a large drawing asks for millions of lists: one of a packed
    // entity is made from its words, without unpacking it.
    resbuf* list = nullptr;
    if (drawing.store.packed_list(id_of(name), list)) return list;
    // Kept from call to call, so that reading a drawing entity by entity
    // does not allocate the groups of each afresh.
    thread_local Entity scratch;
    const Entity* entity = drawing.look(id_of(name), scratch);
    if (!entity || entity->erased) return nullptr;
    if (entity->type == "BLOCK"sv)
        return entity_list_rb(entity->id, entity->type, shown_groups(drawing, *entity));
    return entity_list_rb(entity->id, entity->type, entity->groups);
}

resbuf* acdbEntGetX(const ads_name name, const resbuf* apps)
{
    const Drawing* open = current_drawing_or_null();
    if (!open) return nullptr;
    const Drawing& drawing = *open;
    Entity scratch;
    const Entity* entity = drawing.look(id_of(name), scratch);
    if (!entity || entity->erased) return nullptr;
    std::vector<std::string> wanted;
    for (const resbuf* node = apps; node; node = node->rbnext)
        if ((node->restype == RTSTR || node->restype == 1001) && node->resval.rstring)
            wanted.push_back(node->resval.rstring);
    std::vector<XDataApp> shown;
    for (const XDataApp& app : entity->xdata) {
        if (std::any_of(wanted.begin(), wanted.end(),
                        [&](const std::string& w) { return wildcard_match(app.app, w); }))
            shown.push_back(app);
    }
    return entity_list_rb(entity->id, entity->type, shown_groups(drawing, *entity), &shown);
}

int acdbEntMake(const resbuf* list)
{
    Drawing* drawing = current_drawing_or_null();
    if (!drawing) return RTERROR;
    // Entities made in bulk come as lists like the ones before but for their places and texts.
    ListStamps& stamps = drawing->list_stamps();
    if (stamps.make(*drawing, list)) return RTNORM;
    ParsedEntityList parsed = parse_entity_list(list);
    if (!parsed.ok || parsed.type.empty()) return RTERROR;
    const std::string type = upper_text(parsed.type);
    const bool stamp = !parsed.has_xdata && !unread_by_checks(type, parsed.groups).empty();
    long id = 0;
    const int status = entity_make(*drawing, parsed.type, std::move(parsed.groups), parsed.xdata, &id);
    if (status == RTNORM && stamp && id) stamps.keep(*drawing, list, type, id);
    return status;
}

int acdbEntMod(const resbuf* list)
{
    const ParsedEntityList parsed = parse_entity_list(list);
    Drawing* open = current_drawing_or_null();
    if (!parsed.ok || parsed.id == 0 || !open) return RTERROR;
    Drawing& drawing = *open;
    const std::string& type = drawing.store.type_of(parsed.id);
    if (type.empty()) return RTERROR;
    if (!parsed.type.empty() && !same_text(parsed.type, type)) return RTERROR;  // the type cannot change
    return entity_modify(drawing, parsed.id, parsed.groups, parsed.has_xdata, parsed.xdata);
}

int acdbEntUpd(const ads_name name)
{
    const Drawing* drawing = current_drawing_or_null();
    return drawing && drawing->store.contains(id_of(name)) ? RTNORM : RTERROR;
}

int acdbEntDel(const ads_name name)
{
    Drawing* drawing = current_drawing_or_null();
    return drawing ? entity_erase_toggle(*drawing, id_of(name)) : RTERROR;
}

int acdbEntNext(const ads_name name, ads_name result)
{
    const Drawing* open = current_drawing_or_null();
    if (!result || !open) return RTERROR;
    const Drawing& drawing = *open;
    std::optional<std::span<const long>> list = drawing.model.ids();
    size_t start = 0;
    if (name && !ads_name_nil(name)) {
        Entity scratch;
        const Entity* entity = drawing.look(id_of(name), scratch);
        if (!entity) return RTERROR;
        list = drawing.container_of(*entity);
        auto place = drawing.index_in_container(*entity);
        if (!list || !place) return RTERROR;
        start = *place + 1;
    }
    for (size_t i = start; i < list->size(); ++i) {
        const long id = (*list)[i];
        if (drawing.store.contains(id) && !drawing.store.erased(id)) {
            set_name(result, id);
            return RTNORM;
        }
    }
    return RTERROR;
}

int acdbEntLast(ads_name result)
{
    const Drawing* drawing = current_drawing_or_null();
    if (!result || !drawing) return RTERROR;
    const long id = drawing->last_main();
    if (!id) return RTERROR;
    set_name(result, id);
    return RTNORM;
}

}  // extern "C"
