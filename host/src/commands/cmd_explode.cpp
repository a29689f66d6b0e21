// The host command "explode" for acedCommand: entity names of INSERTs, ended by
// an empty answer (or the end of the answers). Each INSERT is replaced by the
// entities of its block, one level deep, placed as the reference draws them:
// moved from the block's base point to the insertion point, scaled by the X, Y
// and Z scales and turned by the rotation about the insertion point. Nested
// INSERTs stay INSERTs (with their place, scales and rotation combined).
//
// Entities on layer "0" take the INSERT's layer and BYBLOCK colours (0) its
// colour; other layers and colours stay as the block has them. The new
// entities go to the end of the drawing, in the block's order. The block's
// attribute definitions are left out, and the command says how many.
//
// A reference that cannot be exploded exactly is left as it is, with a message
// saying why, and nothing is made for it: a block entity the host does not
// explode (HATCH, MTEXT, ...), unequal X and Y scales under circles, arcs,
// texts, bulges, widths or rotated nested INSERTs, a mirrored reference over
// texts or nested INSERTs, a reference with an extrusion other than +Z or with
// rows and columns, and an INSERT or a result on a locked layer.
#include <cmath>
#include <optional>
#include <set>
#include <vector>

#include "ads.h"
#include "commands/cmd_misc.h"
#include "commands/commands.h"
#include "db/entities.h"
#include "session/session.h"

namespace host {

namespace {

int fail(const std::string& message)
{
    Session::get().print("\nexplode: " + message);
    return RTERROR;
}

// The placement of one INSERT: block point q goes to
// insertion + R(rotation) (scale * (q - base)).
struct Placement {
    Point3 base, insertion;
    double sx = 1, sy = 1, sz = 1;
    double rotation = 0;  // radians
    double c = 1, s = 0;
    bool uniform = true;    // |sx| = |sy|
    bool mirrored = false;  // sx and sy of opposite signs

    Point3 apply(const Point3& q) const
    {
        const double lx = (q.x - base.x) * sx, ly = (q.y - base.y) * sy, lz = (q.z - base.z) * sz;
        return {insertion.x + c * lx - s * ly, insertion.y + s * lx + c * ly, insertion.z + lz};
    }
    double scale() const { return std::fabs(sx); }
};

bool near_equal(double a, double b)
{
    return std::fabs(a - b) <= 1e-12 * std::max({1.0, std::fabs(a), std::fabs(b)});
}

double normal_angle(double a)
{
    a = std::fmod(a, 2 * M_PI);
    return a < 0 ? a + 2 * M_PI : a;
}

void set_point(Entity& e, int code, const Placement& place)
{
    for (Group& g : e.groups)
        if (g.code == code) g.point = place.apply(g.point);
}

void multiply(Entity& e, int code, double factor)
{
    if (Group* g = e.find(code)) g->real *= factor;
}

// Why the entity cannot be placed exactly; empty when it can.
std::string refusal(const Entity& e, const Placement& place)
{
    static const std::set<std::string> kPlain = {"LINE",  "POINT",    "3DFACE", "SOLID",
                                                 "TRACE", "POLYLINE", "VERTEX", "SEQEND"};
    const std::string& t = e.type;
    if (kPlain.count(t)) {
        if (t == "VERTEX" && !place.uniform && (e.real(40) != 0 || e.real(41) != 0 || e.real(42) != 0))
            return "a polyline with widths or arcs under unequal X and Y scales";
        return "";
    }
    if (t == "LWPOLYLINE") {
        if (place.uniform) return "";
        for (const Group& g : e.groups)
            if ((g.code == 40 || g.code == 41 || g.code == 42 || g.code == 43) && g.real != 0)
                return "a polyline with widths or arcs under unequal X and Y scales";
        return "";
    }
    if (t == "CIRCLE" || t == "ARC") return place.uniform ? "" : "a " + t + " under unequal X and Y scales";
    if (t == "TEXT" || t == "INSERT") {
        if (place.mirrored) return "a " + t + " in a mirrored reference";
        if (!place.uniform && (t == "TEXT" || e.real(50) != 0))
            return "a " + t + " under unequal X and Y scales";
        return "";
    }
    return "a " + t + ", which this host does not explode";
}

void place_lwpolyline(Entity& e, const Placement& place)
{
    const double elevation = e.real(38);
    for (Group& g : e.groups) {
        if (g.code == 10) {
            const Point3 p = place.apply({g.point.x, g.point.y, elevation});
            g.point = {p.x, p.y, 0};
        } else if (g.code == 40 || g.code == 41 || g.code == 43) {
            g.real *= place.scale();
        } else if (g.code == 42 && place.mirrored) {
            g.real = -g.real;
        }
    }
    const double z = place.apply({place.base.x, place.base.y, elevation}).z;
    if (Group* g = e.find(38))
        g->real = z;
    else if (z != 0)
        e.groups.push_back(Group::of_real(38, z));
}

void place_arc(Entity& e, const Placement& place)
{
    const Point3 centre = e.point(10);
    const double r = e.real(40);
    auto turned = [&](double angle) {
        const Point3 on =
            place.apply({centre.x + r * std::cos(angle), centre.y + r * std::sin(angle), centre.z});
        const Point3 c = place.apply(centre);
        return normal_angle(std::atan2(on.y - c.y, on.x - c.x));
    };
    const double start = turned(e.real(50)), end = turned(e.real(51));
    e.find(50)->real = place.mirrored ? end : start;
    e.find(51)->real = place.mirrored ? start : end;
}

// The entity as the reference draws it.
void place_entity(Entity& e, const Placement& place)
{
    const std::string& t = e.type;
    if (t == "LWPOLYLINE") return place_lwpolyline(e, place);
    if (t == "ARC") place_arc(e, place);
    if (t == "POLYLINE") {
        // A 2D polyline's elevation is the z of its point; x and y stay 0.
        if (!(e.integer(70) & (8 | 16 | 64))) {
            if (Group* g = e.find(10))
                g->point = {0, 0, place.apply({place.base.x, place.base.y, g->point.z}).z};
        }
        return;
    }
    if (t == "VERTEX") {
        if (Group* g = e.find(42); g && place.mirrored) g->real = -g->real;
        multiply(e, 40, place.scale());
        multiply(e, 41, place.scale());
    }
    for (int code : {10, 11, 12, 13}) set_point(e, code, place);
    if (t == "CIRCLE" || t == "ARC") multiply(e, 40, place.scale());
    if (t == "TEXT") {
        multiply(e, 40, place.scale());
        if (Group* g = e.find(50))
            g->real = normal_angle(g->real + place.rotation);
        else if (place.rotation != 0)
            e.groups.push_back(Group::of_real(50, normal_angle(place.rotation)));
    }
    if (t == "INSERT") {
        for (int code : {41, 42, 43}) {
            const double factor = code == 41 ? place.sx : code == 42 ? place.sy : place.sz;
            if (Group* g = e.find(code))
                g->real *= factor;
            else
                e.groups.push_back(Group::of_real(code, factor));
        }
        if (Group* g = e.find(50))
            g->real = normal_angle(g->real + place.rotation);
        else if (place.rotation != 0)
            e.groups.push_back(Group::of_real(50, normal_angle(place.rotation)));
    }
}

std::optional<Placement> placement_of(const Drawing& drawing, const Entity& insert, long block,
                                      std::string& why)
{
    if (insert.integer(70, 1) > 1 || insert.integer(71, 1) > 1) {
        why = "an INSERT with rows and columns is not exploded by this host";
        return std::nullopt;
    }
    if (const Group* extrusion = insert.find(210)) {
        const Point3 n = extrusion->point;
        if (!(n.x == 0 && n.y == 0 && n.z > 0)) {
            why = "an INSERT whose extrusion is not +Z is not exploded by this host";
            return std::nullopt;
        }
    }
    Placement place;
    place.base = drawing.get(block)->point(10);
    place.insertion = insert.point(10);
    place.sx = insert.real(41, 1);
    place.sy = insert.real(42, 1);
    place.sz = insert.real(43, 1);
    place.rotation = insert.real(50);
    place.c = std::cos(place.rotation);
    place.s = std::sin(place.rotation);
    place.uniform = near_equal(std::fabs(place.sx), std::fabs(place.sy));
    place.mirrored = (place.sx < 0) != (place.sy < 0);
    return place;
}

// The block's entities placed for the reference; empty with why set when the
// reference cannot be exploded. Attribute definitions are left out (the
// reference holds no attribute values here) and counted in left_out.
std::vector<Entity> exploded_entities(Drawing& drawing, const Entity& insert, std::string& why, int& left_out)
{
    const long block = drawing.find_record("BLOCK", insert.text(2));
    if (!block) {
        why = "the block \"" + insert.text(2) + "\" is missing";
        return {};
    }
    const std::optional<Placement> place = placement_of(drawing, insert, block, why);
    if (!place) return {};
    std::vector<Entity> out;
    auto members = drawing.block_entities.find(block);
    if (members == drawing.block_entities.end()) return out;
    for (long id : members->second) {
        const Entity* member = drawing.get(id);
        if (!member || member->erased) continue;
        if (member->type == "ATTDEF") {
            ++left_out;
            continue;
        }
        why = refusal(*member, *place);
        if (!why.empty()) return {};
        // The member as the entity functions show it, placed for the reference.
        Entity e;
        e.type = member->type;
        e.groups = shown_groups(drawing, *member);
        e.xdata = member->xdata;
        place_entity(e, *place);
        if (Group* layer = e.find(8); !layer || layer->text == "0") {
            if (layer)
                layer->text = insert.layer();
            else
                e.groups.insert(e.groups.begin(), Group::of_text(8, insert.layer()));
        }
        if (Group* colour = e.find(62); colour && colour->integer == 0) {
            if (const Group* own = insert.find(62))
                colour->integer = own->integer;
            else
                colour->integer = 256;  // BYLAYER
        }
        if (layer_locked(drawing, e.layer())) {
            why = "a part of it would go on the locked layer \"" + e.layer() + "\"";
            return {};
        }
        out.push_back(std::move(e));
    }
    return out;
}

// Explodes one INSERT; RTNORM, or RTERROR after a message with nothing changed.
int explode_insert(Drawing& drawing, long id)
{
    const Entity* insert = drawing.get(id);
    if (!insert || insert->erased || insert->owner != 0)
        return fail("the entity given is not in the drawing.");
    if (insert->type != "INSERT")
        return fail("a " + insert->type + " is not a block reference; it was left as it was.");
    if (layer_locked(drawing, insert->layer()))
        return fail("the INSERT is on the locked layer \"" + insert->layer() + "\"; it was left as it was.");
    std::string why;
    int left_out = 0;
    const std::vector<Entity> parts = exploded_entities(drawing, *insert, why, left_out);
    if (!why.empty())
        return fail("the INSERT of \"" + insert->text(2) + "\" holds " + why + "; it was left as it was.");

    const size_t before = drawing.model.size();
    for (const Entity& e : parts) {
        if (entity_make(drawing, e.type, e.groups, e.xdata) != RTNORM) {
            // Take back what this reference made so far.
            drawing.pending.polyline.clear();
            for (size_t i = before; i < drawing.model.size(); ++i) {
                Entity* made = drawing.get(drawing.model[i]);
                if (made && !made->erased && made->type != "VERTEX" && made->type != "SEQEND")
                    entity_erase_toggle(drawing, made->id);
            }
            return fail("a " + e.type + " of the block could not be made; the INSERT was left as it was.");
        }
    }
    if (left_out > 0)
        Session::get().print("\nexplode: " + std::to_string(left_out) + " attribute definition" +
                             (left_out == 1 ? "" : "s") + " of the block \"" + insert->text(2) + "\" left out.");
    entity_erase_toggle(drawing, id);
    return RTNORM;
}

}  // namespace

int explode_command(CommandArgs& args)
{
    Session& session = Session::get();
    if (!session.has_document()) return fail("no drawing is open.");
    Document& document = session.current();
    CommandAnswers answers(args);
    int exploded = 0;
    for (std::optional<std::string> answer = answers.take(); answer && !answer->empty();
         answer = answers.take()) {
        const std::optional<long> id = entity_id_from_text(*answer);
        if (!id) return fail("\"" + *answer + "\" is no entity of the drawing.");
        if (explode_insert(document.drawing, *id) != RTNORM) return RTERROR;
        ++exploded;
        document.modified = true;
    }
    if (exploded == 0) return fail("no INSERT was given.");
    return RTNORM;
}

namespace {

void register_explode_command(Session& session)
{
    session.register_command("explode", explode_command);
    session.register_command("_explode", explode_command);
}

const bool explode_command_added = add_session_setup(register_explode_command);

}  // namespace

}  // namespace host
