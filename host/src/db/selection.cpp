// Selection sets and picks: acedSSGet (the user's selection through the input,
// and the modes "X", "C", "W", "F", ":S", "L", "P"), filters, acedSSName,
// acedSSLength, acedSSAdd, acedSSDel, acedSSFree and acedEntSel.
#include "db/selection.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <map>
#include <optional>
#include <string_view>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>

#include "ads.h"
#include "db/entities.h"
#include "db/resbuf_convert.h"
#include "db/shapes.h"
#include "db/spatial_index.h"
#include "db/sysvars.h"
#include "session/input.h"
#include "session/session.h"

namespace host {

// ---------------------------------------------------------------- wildcards

namespace {

char fold(char c)
{
    return static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
}

// Matches one character against the class that starts at pattern[p] ("[");
// sets p past the closing "]". false when the class is not closed.
bool class_match(const std::string& pattern, size_t& p, char c, bool& matched)
{
    size_t i = p + 1;
    bool negate = false;
    if (i < pattern.size() && pattern[i] == '~') {
        negate = true;
        ++i;
    }
    bool found = false;
    bool first = true;
    for (; i < pattern.size() && (pattern[i] != ']' || first); first = false) {
        char lo = pattern[i];
        if (lo == '`' && i + 1 < pattern.size()) lo = pattern[++i];
        ++i;
        char hi = lo;
        if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
            hi = pattern[i + 1];
            i += 2;
        }
        if (fold(c) >= fold(lo) && fold(c) <= fold(hi)) found = true;
    }
    if (i >= pattern.size()) return false;
    p = i + 1;
    matched = found != negate;
    return true;
}

bool match_from(const std::string& text, size_t t, const std::string& pattern, size_t p)
{
    while (p < pattern.size()) {
        const char pc = pattern[p];
        if (pc == '*') {
            while (p < pattern.size() && pattern[p] == '*') ++p;
            if (p == pattern.size()) return true;
            for (size_t k = t; k <= text.size(); ++k)
                if (match_from(text, k, pattern, p)) return true;
            return false;
        }
        if (t >= text.size()) return false;
        const char c = text[t];
        const unsigned char uc = static_cast<unsigned char>(c);
        bool ok;
        switch (pc) {
            case '?':
                ok = true;
                ++p;
                break;
            case '#':
                ok = std::isdigit(uc);
                ++p;
                break;
            case '@':
                ok = std::isalpha(uc);
                ++p;
                break;
            case '.':
                ok = !std::isalnum(uc);
                ++p;
                break;
            case '[':
                if (!class_match(pattern, p, c, ok)) {
                    ok = c == '[';  // an unclosed "[" stands for itself
                    ++p;
                }
                break;
            case '`':
                if (p + 1 < pattern.size()) ++p;
                ok = fold(pattern[p]) == fold(c);
                ++p;
                break;
            default:
                ok = fold(pc) == fold(c);
                ++p;
                break;
        }
        if (!ok) return false;
        ++t;
    }
    return t == text.size();
}

// The alternatives of a pattern, split at the commas outside "[...]" and not escaped.
std::vector<std::string> alternatives(const std::string& pattern)
{
    std::vector<std::string> out(1);
    bool in_class = false;
    for (size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '`' && i + 1 < pattern.size()) {
            out.back() += c;
            out.back() += pattern[++i];
            continue;
        }
        if (c == '[') in_class = true;
        if (c == ']') in_class = false;
        if (c == ',' && !in_class) {
            out.emplace_back();
            continue;
        }
        out.back() += c;
    }
    return out;
}

}  // namespace

bool wildcard_match(const std::string& text, const std::string& pattern)
{
    // A plain name (no wildcard, no alternatives), as most filters give one
    // layer or type: compared letter by letter without splitting the pattern,
    // since a selection may match it against millions of entities.
    if (pattern.find_first_of("*?#@.~[]`,") == std::string::npos) return same_text(text, pattern);
    for (const std::string& alternative : alternatives(pattern)) {
        if (!alternative.empty() && alternative[0] == '~') {
            if (!match_from(text, 0, alternative, 1)) return true;
        } else if (match_from(text, 0, alternative, 0)) {
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------- geometry

namespace {

bool is_main_type(std::string_view type)
{
    return type != "VERTEX" && type != "SEQEND";
}

bool is_main(const Entity& e)
{
    return is_main_type(e.type);
}

// Whether layers are seen, remembered for the layer asked last: the entities of
// a selection mostly lie on a few layers.
class LayerSight {
public:
    explicit LayerSight(const Drawing& drawing) : drawing_(drawing) {}
    bool sees(const Entity& e) const
    {
        const Group* layer = e.find(8);
        return sees(layer ? std::string_view(layer->text) : "0");
    }
    bool sees(std::string_view layer) const
    {
        if (!known_ || layer != layer_) {
            layer_ = layer;
            seen_ = !layer_frozen(drawing_, layer_) && !layer_off(drawing_, layer_);
            known_ = true;
        }
        return seen_;
    }

private:
    const Drawing& drawing_;
    mutable std::string layer_;
    mutable bool seen_ = false;
    mutable bool known_ = false;
};

}  // namespace

bool entity_in_window(const Drawing& drawing, const Entity& entity, Point3 corner1, Point3 corner2)
{
    return shape_in_window(shape_of(drawing, entity), rect_of(corner1, corner2));
}

bool entity_crosses_window(const Drawing& drawing, const Entity& entity, Point3 corner1, Point3 corner2)
{
    return shape_crosses_window(shape_of(drawing, entity), rect_of(corner1, corner2));
}

bool entity_crosses_fence(const Drawing& drawing, const Entity& entity, const std::vector<Point3>& fence)
{
    std::vector<P2> line;
    line.reserve(fence.size());
    for (const Point3& p : fence) line.push_back(flat(p));
    return shape_crosses_fence(shape_of(drawing, entity), line);
}

long entity_at_point(Drawing& drawing, Point3 point, double tolerance)
{
    const Drawing& seen = drawing;
    const LayerSight sight(seen);
    long best_id = 0;
    double best = INFINITY;
    const double reach = tolerance + kShapeTolerance;
    for (long id :
         seen.spatial().meeting(seen, {point.x - reach, point.y - reach, point.x + reach, point.y + reach})) {
        Entity scratch;
        const Entity* e = seen.look(id, scratch);
        if (!e || e->erased || !is_main(*e) || !sight.sees(*e)) continue;
        const double d = shape_distance(shape_of(seen, *e), flat(point));
        if (d <= reach && d < best) {
            best = d;
            best_id = id;
        }
    }
    return best_id;
}

// ---------------------------------------------------------------- filters

namespace {

struct Filter {
    enum Kind { Test, And, Or, Not, Xor, XData } kind = And;
    Group test;
    std::string op = "=";
    std::vector<Filter> children;
    std::vector<std::string> apps;
};

bool is_relational(const std::string& op)
{
    static const char* kOps[] = {"=", "!=", "/=", "<>", "<", "<=", ">", ">=", "*", "&", "&="};
    for (const char* o : kOps)
        if (op == o) return true;
    return op.find(',') != std::string::npos;  // a point's per-coordinate operators
}

// Parses filter items up to the closing "xxx>" of the group being read (or the
// end when closing is empty). false on a malformed filter.
bool parse_items(const std::vector<Group>& g, size_t& i, const std::string& closing, std::vector<Filter>& out)
{
    while (i < g.size()) {
        const Group& item = g[i];
        if (item.code == -4) {
            const std::string op = upper_text(item.text);
            ++i;
            if (op == closing && !closing.empty()) return true;
            if (op == "<AND" || op == "<OR" || op == "<NOT" || op == "<XOR") {
                Filter group;
                group.kind = op == "<AND"   ? Filter::And
                             : op == "<OR"  ? Filter::Or
                             : op == "<NOT" ? Filter::Not
                                            : Filter::Xor;
                if (!parse_items(g, i, op.substr(1) + ">", group.children)) return false;
                if (group.kind == Filter::Not && group.children.size() != 1) return false;
                if (group.kind == Filter::Xor && group.children.size() != 2) return false;
                if ((group.kind == Filter::And || group.kind == Filter::Or) && group.children.empty())
                    return false;
                out.push_back(std::move(group));
                continue;
            }
            if (!is_relational(op) || i >= g.size() || g[i].code == -4 || g[i].code == -3) return false;
            Filter test;
            test.kind = Filter::Test;
            test.op = op;
            test.test = g[i++];
            out.push_back(std::move(test));
            continue;
        }
        if (item.code == -3) {
            Filter xdata;
            xdata.kind = Filter::XData;
            ++i;
            while (i < g.size() && g[i].code == 1001) xdata.apps.push_back(g[i++].text);
            if (xdata.apps.empty()) return false;
            out.push_back(std::move(xdata));
            continue;
        }
        Filter test;
        test.kind = Filter::Test;
        test.test = item;
        ++i;
        out.push_back(std::move(test));
    }
    return closing.empty();
}

bool compare_number(double value, const std::string& op, double wanted)
{
    if (op == "=") return std::fabs(value - wanted) <= 1e-10 * std::max(1.0, std::fabs(wanted));
    if (op == "!=" || op == "/=" || op == "<>") return !compare_number(value, "=", wanted);
    if (op == "<") return value < wanted;
    if (op == "<=") return value <= wanted;
    if (op == ">") return value > wanted;
    if (op == ">=") return value >= wanted;
    if (op == "*") return true;
    const long v = static_cast<long>(value), w = static_cast<long>(wanted);
    if (op == "&") return (v & w) != 0;
    if (op == "&=") return (v & w) == w;
    return false;
}

bool compare_point(const Point3& value, const std::string& op, const Point3& wanted)
{
    std::vector<std::string> ops;
    if (op.find(',') == std::string::npos) {
        if (op == "=" || op == "!=" || op == "/=" || op == "<>") {
            const bool same = std::fabs(value.x - wanted.x) <= 1e-10 &&
                              std::fabs(value.y - wanted.y) <= 1e-10 &&
                              std::fabs(value.z - wanted.z) <= 1e-10;
            return op == "=" ? same : !same;
        }
        ops = {op, op, op};
    } else {
        size_t start = 0;
        for (size_t comma; (comma = op.find(',', start)) != std::string::npos; start = comma + 1)
            ops.push_back(op.substr(start, comma - start));
        ops.push_back(op.substr(start));
        while (ops.size() < 3) ops.push_back("*");
    }
    return compare_number(value.x, ops[0], wanted.x) && compare_number(value.y, ops[1], wanted.y) &&
           compare_number(value.z, ops[2], wanted.z);
}

bool value_matches(const Group& v, const Filter& f)
{
    const Group& wanted = f.test;
    {
        bool ok = false;
        switch (wanted.kind()) {
            case ValueKind::Text: {
                const bool match = wildcard_match(v.text, wanted.text);
                ok = (f.op == "!=" || f.op == "/=" || f.op == "<>") ? !match : (f.op == "*" || match);
                break;
            }
            case ValueKind::Real:
                ok = compare_number(v.real, f.op, wanted.real);
                break;
            case ValueKind::Int16:
            case ValueKind::Int32:
                ok =
                    compare_number(static_cast<double>(v.integer), f.op, static_cast<double>(wanted.integer));
                break;
            case ValueKind::Point:
                ok = compare_point(v.point, f.op, wanted.point);
                break;
            case ValueKind::Name:
                ok = v.name == wanted.name;
                break;
        }
        return ok;
    }
}

// Whether a value the entity has for the filter's group matches: the type for
// 0, the layer "0" when it names none, BYLAYER colour 256 and linetype
// "BYLAYER", space 0.
bool test_matches(const Entity& e, const Filter& f)
{
    const int code = f.test.code;
    if (code == 0) return value_matches(Group::of_text(0, e.type), f);
    bool any = false;
    for (const Group& g : e.groups) {
        if (g.code != code) continue;
        if (value_matches(g, f)) return true;
        any = true;
    }
    if (any) return false;
    if (code == 8) return value_matches(Group::of_text(8, "0"), f);
    if (code == 62) return value_matches(Group::of_int(62, 256), f);
    if (code == 6) return value_matches(Group::of_text(6, "BYLAYER"), f);
    if (code == 67) return value_matches(Group::of_int(67, 0), f);
    return false;
}

// Walks the filter's "and" and "or" groups, judging each test with `test`
// and each "not", "xor" and extended-data item with `other`.
template <class Test, class Other>
bool filter_walk(const Filter& f, const Test& test, const Other& other)
{
    switch (f.kind) {
        case Filter::Test:
            return test(f);
        case Filter::And:
            return std::all_of(f.children.begin(), f.children.end(),
                               [&](const Filter& c) { return filter_walk(c, test, other); });
        case Filter::Or:
            return std::any_of(f.children.begin(), f.children.end(),
                               [&](const Filter& c) { return filter_walk(c, test, other); });
        default:
            return other(f);
    }
}

bool filter_matches(const Entity& e, const Filter& f)
{
    return filter_walk(
        f, [&](const Filter& t) { return test_matches(e, t); },
        [&](const Filter& o) {
            switch (o.kind) {
                case Filter::Not:
                    return !filter_matches(e, o.children[0]);
                case Filter::Xor:
                    return filter_matches(e, o.children[0]) != filter_matches(e, o.children[1]);
                case Filter::XData:
                    // The entity must carry extended data of every application named.
                    return std::all_of(o.apps.begin(), o.apps.end(), [&](const std::string& pattern) {
                        return std::any_of(e.xdata.begin(), e.xdata.end(), [&](const XDataApp& app) {
                            return wildcard_match(app.app, pattern);
                        });
                    });
                default:
                    return false;
            }
        });
}

// Whether an entity of the type can pass the filter, judged by its type alone:
// false only when the filter's type tests refuse it whatever its other groups
// ("not", "xor" and extended data are left to the whole entity).
bool type_may_pass(const std::string& type, const Filter& f)
{
    const Entity typed{.type = type};
    return filter_walk(
        f, [&](const Filter& t) { return t.test.code != 0 || test_matches(typed, t); },
        [](const Filter&) { return true; });
}

// Whether the filter tests nothing but the type, in "and" and "or" groups, so
// that type_may_pass judges an entity whole.
bool by_type_alone(const Filter& f)
{
    switch (f.kind) {
        case Filter::Test:
            return f.test.code == 0;
        case Filter::And:
        case Filter::Or:
            return std::all_of(f.children.begin(), f.children.end(), by_type_alone);
        default:
            return false;
    }
}

// The filter of a resbuf list; nullopt when it is malformed.
std::optional<Filter> parse_filter(const resbuf* list)
{
    const std::vector<Group> groups = groups_from_chain(list);
    Filter top;
    top.kind = Filter::And;
    size_t i = 0;
    if (!parse_items(groups, i, "", top.children)) return std::nullopt;
    return top;
}

// ---------------------------------------------------------------- set registry

// An open selection set: its members in order, and, once entities are added to
// it or taken from it one at a time, a hash of them so that each such call
// costs the same however large the set is.
struct SelectionSet {
    std::vector<long> members;
    std::unordered_set<long> lookup;
    bool looked_up = false;

    bool has(long id)
    {
        if (!looked_up) {
            lookup.insert(members.begin(), members.end());
            looked_up = true;
        }
        return lookup.count(id) != 0;
    }
    void add(long id)
    {
        if (has(id)) return;
        members.push_back(id);
        lookup.insert(id);
    }
    bool remove(long id)
    {
        if (!has(id)) return false;
        lookup.erase(id);
        members.erase(std::find(members.begin(), members.end(), id));
        return true;
    }
};

struct SetRegistry {
    std::map<long, SelectionSet> sets;
    // What each drawing's previous selection held, kept after its set is freed.
    std::unordered_map<const Drawing*, std::vector<long>> previous;
};
SetRegistry& registry()
{
    static SetRegistry r;
    return r;
}

}  // namespace

long selection_set_create(std::vector<long> ids)
{
    SetRegistry& r = registry();
    if (r.sets.size() >= kMaxSelectionSets) {
        if (Session* session = Session::current_or_null())
            session->print("\n*Too many selection sets open* (at most 128); free some with acedSSFree.");
        return 0;
    }
    const long id = Drawing::next_id();
    r.sets[id].members = std::move(ids);
    return id;
}

const std::vector<long>* selection_set_members(long set_id)
{
    auto it = registry().sets.find(set_id);
    return it == registry().sets.end() ? nullptr : &it->second.members;
}

size_t selection_sets_open()
{
    return registry().sets.size();
}

// ---------------------------------------------------------------- acedSSGet

namespace {

bool parse_point_answer(const std::string& text, Point3& point)
{
    return parse_point_text(text, point);
}

struct Candidates {
    const Drawing& drawing;
    const Filter* filter;
    bool visible_only;
    LayerSight sight{drawing};

    bool accepts(const Entity& e) const
    {
        if (e.erased || !is_main(e) || e.owner != 0) return false;
        if (visible_only && !sight.sees(e)) return false;
        return !filter || filter_matches(e, *filter);
    }

    // The entities of the ids (in drawing order) that are accepted and pass the
    // test. An entity whose type the filter refuses is passed over before it
    // is unpacked: a drawing holds few types, each judged once.
    template <class Test>
    std::vector<long> among(std::span<const long> ids, Test test) const
    {
        std::vector<long> out;
        Entity scratch;
        std::vector<std::pair<const std::string*, bool>> judged;
        const auto type_passes = [&](const std::string& type) {
            for (const auto& [seen, passes] : judged)
                if (seen == &type || *seen == type) return passes;  // mostly the type of one form
            const bool passes = type_may_pass(type, *filter);
            judged.emplace_back(&type, passes);
            return passes;
        };
        // Without a test, and with a filter of types alone, an entity is
        // judged by its outline, which leaves it packed.
        if (std::is_same_v<Test, Any> && (!filter || by_type_alone(*filter))) {
            EntityStore::Outline o;
            for (long id : ids) {
                if (filter && !type_passes(drawing.store.type_of(id))) continue;
                if (!drawing.store.outline(id, o) || o.erased || o.owner != 0 || !is_main_type(*o.type))
                    continue;
                if (!visible_only || sight.sees(o.layer)) out.push_back(id);
            }
            return out;
        }
        for (long id : ids) {
            if (filter && !type_passes(drawing.store.type_of(id))) continue;
            const Entity* e = drawing.look(id, scratch);
            if (e && accepts(*e) && test(*e)) out.push_back(id);
        }
        return out;
    }

    // Every entity of the ids that is accepted.
    struct Any {
        bool operator()(const Entity&) const { return true; }
    };
    std::vector<long> among(std::span<const long> ids) const { return among(ids, Any{}); }
    std::vector<long> all() const { return among(drawing.model.ids()); }

    // Window ("W") or crossing ("C"): only the entities whose extents meet the
    // window can be in it or cross it.
    std::vector<long> window(const Rect& r, bool wholly) const
    {
        return among(drawing.spatial().meeting(drawing, r), [&](const Entity& e) {
            const Shape s = shape_of(drawing, e);
            return wholly ? shape_in_window(s, r) : shape_crosses_window(s, r);
        });
    }

    std::vector<long> fence(const std::vector<P2>& line) const
    {
        std::vector<long> near;
        for (size_t i = 1; i < line.size(); ++i) {
            const std::vector<long> piece = drawing.spatial().near_segment(drawing, line[i - 1], line[i]);
            near.insert(near.end(), piece.begin(), piece.end());
        }
        std::sort(near.begin(), near.end());
        near.erase(std::unique(near.begin(), near.end()), near.end());
        return among(near, [&](const Entity& e) { return shape_crosses_fence(shape_of(drawing, e), line); });
    }
};

std::vector<long> previous_members(const Drawing& drawing)
{
    std::vector<long> out;
    auto it = registry().previous.find(&drawing);
    if (it == registry().previous.end()) return out;
    for (long id : it->second)
        if (drawing.store.contains(id) && !drawing.store.erased(id)) out.push_back(id);
    return out;
}

// What the user has chosen so far, in the order chosen, each entity once.
// Each answer finds every entity once, so the first one is taken as it is
// ("ALL" of a large drawing then costs no hashing); the hash of the members
// is made when a second answer adds to them or takes from them.
struct Chosen {
    std::vector<long> ids;
    std::unordered_set<long> members;
    bool hashed = false;

    void hash()
    {
        if (hashed) return;
        members.reserve(ids.size());
        members.insert(ids.begin(), ids.end());
        hashed = true;
    }
    void add(std::vector<long>&& found)
    {
        if (ids.empty() && !hashed) {
            ids = std::move(found);
            return;
        }
        hash();
        for (long id : found)
            if (members.insert(id).second) ids.push_back(id);
    }
    void remove(const std::vector<long>& found)
    {
        if (ids.empty()) return;
        hash();
        size_t removed = 0;
        for (long id : found) removed += members.erase(id);
        if (removed) std::erase_if(ids, [&](long id) { return !members.count(id); });
    }
};

enum class Ask { Done, Cancel };

// Asks for one point, re-asking on an answer that is not one; nullopt on an
// empty answer, or (with cancelled set) on Esc.
std::optional<Point3> ask_point(Session& session, const std::string& prompt, bool& cancelled)
{
    for (;;) {
        const std::string answer = session.ask(prompt);
        if (answer == "^C") {
            cancelled = true;
            return std::nullopt;
        }
        if (answer.empty()) return std::nullopt;
        Point3 p;
        if (parse_point_answer(answer, p)) return p;
        session.print("\nInvalid point.");
    }
}

// The user's selection through the input: picks, windows, fences and the
// keywords, until an empty answer (or after one round with single set).
Ask user_selection(Session& session, const Candidates& candidates, Drawing& drawing, bool single,
                   Chosen& chosen)
{
    bool removing = false;
    for (;;) {
        const std::string answer = session.ask(removing ? "\nRemove objects: " : "\nSelect objects: ");
        if (answer == "^C") return Ask::Cancel;
        if (answer.empty()) return Ask::Done;
        const std::string key = upper_text(answer);
        std::vector<long> found;
        bool understood = true;
        bool cancelled = false;
        Point3 p;
        if (parse_point_answer(answer, p)) {
            const long id = entity_at_point(drawing, p, pick_tolerance(drawing));
            Entity scratch;
            const Entity* e = drawing.look(id, scratch);
            if (e && candidates.accepts(*e)) found.push_back(id);
        } else if (key == "W" || key == "WINDOW" || key == "C" || key == "CROSSING") {
            auto a = ask_point(session, "\nSpecify first corner: ", cancelled);
            if (cancelled) return Ask::Cancel;
            auto b = a ? ask_point(session, "\nSpecify opposite corner: ", cancelled) : std::nullopt;
            if (cancelled) return Ask::Cancel;
            if (a && b) found = candidates.window(rect_of(*a, *b), key[0] == 'W');
        } else if (key == "F" || key == "FENCE") {
            std::vector<P2> fence;
            auto first = ask_point(session, "\nSpecify first fence point: ", cancelled);
            if (cancelled) return Ask::Cancel;
            if (first) fence.push_back(flat(*first));
            while (first) {
                auto next = ask_point(session, "\nSpecify next fence point: ", cancelled);
                if (cancelled) return Ask::Cancel;
                if (!next) break;
                fence.push_back(flat(*next));
            }
            if (fence.size() >= 2) found = candidates.fence(fence);
        } else if (key == "ALL") {
            found = candidates.all();
        } else if (key == "L" || key == "LAST") {
            Entity scratch;
            const Entity* e = drawing.look(drawing.last_main(), scratch);
            if (e && candidates.accepts(*e)) found.push_back(e->id);
        } else if (key == "P" || key == "PREVIOUS") {
            found = candidates.among(previous_members(drawing));
        } else if (key == "R" || key == "REMOVE") {
            removing = true;
            continue;
        } else if (key == "A" || key == "ADD") {
            removing = false;
            continue;
        } else {
            understood = false;
        }
        if (!understood) {
            session.print(
                "\n*Invalid selection*\nExpects a point or "
                "Window/Last/Crossing/Fence/ALL/Previous/Add/Remove");
            continue;
        }
        const size_t count = found.size();
        if (removing)
            chosen.remove(found);
        else
            chosen.add(std::move(found));
        session.print("\n" + std::to_string(count) + " found");
        if (single && count != 0) return Ask::Done;
    }
}

int finish_set(std::vector<long>&& ids, ads_name ss)
{
    if (ids.empty()) return RTERROR;  // nothing found: no set is made
    const long id = selection_set_create(std::move(ids));
    if (!id) return RTERROR;
    set_name(ss, id);
    return RTNORM;
}

}  // namespace

}  // namespace host

using namespace host;

extern "C" {

int acedSSGet(const char* mode, const void* p1, const void* p2, const resbuf* filter_list, ads_name ss)
{
    if (!ss) return RTERROR;
    std::optional<Filter> filter;
    if (filter_list) {
        filter = parse_filter(filter_list);
        if (!filter) return RTERROR;
    }
    Session* running = Session::current_or_null();
    if (!running || !running->has_document()) return RTERROR;
    Session& session = *running;
    Document& document = session.current();
    Drawing& drawing = document.drawing;
    std::string key = mode ? upper_text(mode) : "";
    if (!key.empty() && key[0] == '_') key.erase(0, 1);
    // ":S" (and ":S:E", "+.:S") is a single selection by the user.
    const bool single = key.find(":S") != std::string::npos;
    if (single) key = ":S";
    const bool user = key.empty() || single;
    Candidates candidates{drawing, filter ? &*filter : nullptr, key != "X"};
    std::vector<long> ids;

    if (user) {
        Chosen chosen;
        if (user_selection(session, candidates, drawing, single, chosen) == Ask::Cancel) return RTCAN;
        ids = std::move(chosen.ids);
    } else if (key == "X" || key == "A") {
        ids = candidates.all();
    } else if (key == "W" || key == "C") {
        if (!p1 || !p2) return RTERROR;
        const double* a = static_cast<const double*>(p1);
        const double* b = static_cast<const double*>(p2);
        ids = candidates.window(rect_of({a[0], a[1], 0}, {b[0], b[1], 0}), key == "W");
    } else if (key == "F") {
        std::vector<P2> fence;
        for (const resbuf* node = static_cast<const resbuf*>(p1); node; node = node->rbnext)
            if (node->restype == RTPOINT || node->restype == RT3DPOINT)
                fence.push_back({node->resval.rpoint[0], node->resval.rpoint[1]});
        if (fence.size() < 2) return RTERROR;
        ids = candidates.fence(fence);
    } else if (key == "L") {
        Entity scratch;
        const Entity* e = drawing.look(drawing.last_main(), scratch);
        if (e && candidates.accepts(*e)) ids.push_back(e->id);
    } else if (key == "P") {
        ids = candidates.among(previous_members(drawing));
    } else {
        return RTERROR;
    }

    // The set takes the ids; the user's selection is kept also as the previous one.
    std::vector<long> chosen = user ? ids : std::vector<long>();
    const int status = finish_set(std::move(ids), ss);
    if (status == RTNORM && user) {
        registry().previous[&drawing] = std::move(chosen);
        document.previous_set[0] = ss[0];
        document.previous_set[1] = ss[1];
    }
    return status;
}

int acedSSFree(const ads_name ss)
{
    return registry().sets.erase(id_of(ss)) ? RTNORM : RTERROR;
}

int acedSSLength(const ads_name ss, long* length)
{
    const std::vector<long>* members = selection_set_members(id_of(ss));
    if (!members || !length) return RTERROR;
    *length = static_cast<long>(members->size());
    return RTNORM;
}

int acedSSName(const ads_name ss, long index, ads_name entity)
{
    const std::vector<long>* members = selection_set_members(id_of(ss));
    if (!members || !entity || index < 0 || index >= static_cast<long>(members->size())) return RTERROR;
    set_name(entity, (*members)[index]);
    return RTNORM;
}

int acedSSAdd(const ads_name entity, const ads_name ss, ads_name result)
{
    if (!result) return RTERROR;
    const bool has_entity = entity && !ads_name_nil(entity);
    if (has_entity) {
        const Drawing* drawing = current_drawing_or_null();
        if (!drawing || !drawing->store.contains(id_of(entity)) || drawing->store.erased(id_of(entity)))
            return RTERROR;
    }
    if (!ss || ads_name_nil(ss)) {
        std::vector<long> ids;
        if (has_entity) ids.push_back(id_of(entity));
        const long id = selection_set_create(ids);
        if (!id) return RTERROR;
        set_name(result, id);
        return RTNORM;
    }
    auto it = registry().sets.find(id_of(ss));
    if (it == registry().sets.end()) return RTERROR;
    if (has_entity) it->second.add(id_of(entity));
    set_name(result, it->first);
    return RTNORM;
}

int acedSSDel(const ads_name entity, const ads_name ss)
{
    auto it = registry().sets.find(id_of(ss));
    if (it == registry().sets.end() || !entity) return RTERROR;
    return it->second.remove(id_of(entity)) ? RTNORM : RTERROR;
}

int acedEntSel(const char* prompt, ads_name entity, ads_point picked)
{
    Session* running = Session::current_or_null();
    if (!running || !running->has_document()) return RTERROR;
    Session& session = *running;
    Drawing& drawing = session.current().drawing;
    // The pick uses up a pending acedInitGet; one of its keywords answers RTKWORD.
    const std::string keywords = take_initget_keywords();
    const std::string answer = session.ask(prompt ? prompt : "\nSelect object: ");
    if (answer == "^C") return RTCAN;
    if (std::optional<std::string> keyword = match_keyword(answer, keywords)) {
        set_last_input(*keyword);
        return RTKWORD;
    }
    Point3 p;
    if (answer.empty() || !parse_point_answer(answer, p)) return RTERROR;
    const long id = entity_at_point(drawing, p, pick_tolerance(drawing));
    if (!id) return RTERROR;
    if (entity) set_name(entity, id);
    if (picked) {
        picked[0] = p.x;
        picked[1] = p.y;
        picked[2] = p.z;
    }
    return RTNORM;
}

}  // extern "C"
