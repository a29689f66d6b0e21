// The order of groups in a DXF file, by entity type and table. The host keeps a
// list of groups in the order a command made it; the file wants them grouped by
// subclass in a fixed order. Groups in the same rank keep their given order,
// which is what holds LWPOLYLINE vertices, line type dashes and hatch paths
// together.
#include "dxf/dxf_layout.h"

#include <algorithm>
#include <cstdint>
#include <map>

namespace host::dxf {

namespace {

// Codes of the common entity part, in the order the format writes them.
constexpr int kCommonEntityCodes[] = {67, 410, 8, 6, 347, 62, 370, 48, 60, 420, 430, 440, 284};

int common_rank(int code)
{
    int rank = 0;
    for (int common : kCommonEntityCodes) {
        if (common == code) return rank;
        ++rank;
    }
    return -1;
}

// One subclass and its codes; a code listed with the same rank as its
// neighbour keeps its given order with it.
struct SubclassSpec {
    std::string marker;
    std::vector<std::pair<int, int>> codes;  // code, rank
};

std::vector<std::pair<int, int>> ranked(std::initializer_list<int> codes)
{
    std::vector<std::pair<int, int>> out;
    int rank = 0;
    for (int code : codes) out.emplace_back(code, rank++);
    return out;
}

bool has_code(const std::vector<Group>& groups, int code)
{
    return std::any_of(groups.begin(), groups.end(), [&](const Group& g) { return g.code == code; });
}

void add_if_missing(std::vector<Group>& groups, Group group)
{
    if (!has_code(groups, group.code)) groups.push_back(std::move(group));
}

struct Keyed {
    int subclass;
    int rank;
    size_t index;
};

// The subclass and place of each group of the codes given by code(i), in the
// order they are written; structure codes are left out.
template <class Code>
std::vector<Keyed> placing(size_t count, Code code_of, const std::vector<SubclassSpec>& specs, bool entity)
{
    std::vector<Keyed> keyed;
    keyed.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const int code = code_of(i);
        if (is_structure_code(code)) continue;
        int common = entity ? common_rank(code) : -1;
        if (common >= 0) {
            keyed.push_back({0, common, i});
            continue;
        }
        bool found = false;
        for (size_t s = 0; s < specs.size() && !found; ++s) {
            for (auto [spec_code, rank] : specs[s].codes) {
                if (spec_code == code) {
                    keyed.push_back({int(s) + 1, rank, i});
                    found = true;
                    break;
                }
            }
        }
        if (!found) keyed.push_back({int(specs.size()), 1000, i});
    }
    auto before = [](const Keyed& a, const Keyed& b) {
        return a.subclass != b.subclass ? a.subclass < b.subclass : a.rank < b.rank;
    };
    if (!std::is_sorted(keyed.begin(), keyed.end(), before))
        std::stable_sort(keyed.begin(), keyed.end(), before);
    return keyed;
}

// Sorts the groups into the subclasses; unknown codes go last, into the last subclass.
std::vector<PlacedGroup> place(std::vector<Group> groups, const std::vector<SubclassSpec>& specs, bool entity)
{
    const std::vector<Keyed> keyed = placing(
        groups.size(), [&](size_t i) { return groups[i].code; }, specs, entity);
    std::vector<PlacedGroup> placed;
    placed.reserve(keyed.size());
    for (const Keyed& k : keyed) placed.push_back({k.subclass, std::move(groups[k.index]), false});
    return placed;
}

Layout simple(const std::string& type, std::vector<Group> groups, const std::vector<SubclassSpec>& specs)
{
    add_if_missing(groups, Group::of_text(8, "0"));
    Layout layout;
    layout.dxf_type = type;
    layout.subclasses.push_back("AcDbEntity");
    for (auto& spec : specs) layout.subclasses.push_back(spec.marker);
    layout.groups = place(std::move(groups), specs, true);
    return layout;
}

long flags_of(const Entity* entity)
{
    return entity ? entity->integer(70, 0) : 0;
}

Layout lwpolyline_layout(const Entity& entity, std::vector<Group> groups)
{
    // The vertex count is what the vertices say, whatever was stored.
    long vertices = std::count_if(groups.begin(), groups.end(), [](const Group& g) { return g.code == 10; });
    groups.erase(std::remove_if(groups.begin(), groups.end(), [](const Group& g) { return g.code == 90; }),
                 groups.end());
    groups.insert(groups.begin(), Group::of_int(90, vertices));
    std::vector<std::pair<int, int>> codes = {{90, 0},  {70, 1},  {43, 2},  {38, 3},  {39, 4},  {10, 10},
                                              {40, 10}, {41, 10}, {42, 10}, {91, 10}, {210, 20}};
    Layout layout = simple("LWPOLYLINE", groups, {{"AcDbPolyline", codes}});
    for (auto& placed : layout.groups)
        if (placed.group.code == 10) placed.flat = true;
    return layout;
}

// Pattern groups (angle, scale, double flag, pixel size) belong between the
// boundary paths and the seed points; a list may give them anywhere outside
// the paths, so they are moved before the seed count.
void move_hatch_pattern_groups(std::vector<Group>& groups)
{
    auto is_pattern = [](int code) {
        return code == 41 || code == 47 || code == 52 || code == 77 || code == 78;
    };
    auto find = [&](int code, size_t from) {
        for (size_t i = from; i < groups.size(); ++i)
            if (groups[i].code == code) return i;
        return groups.size();
    };
    size_t paths = find(91, 0);
    if (paths == groups.size()) return;
    size_t seeds = find(98, paths);
    std::vector<Group> moved, kept;
    for (size_t i = 0; i < groups.size(); ++i) {
        bool outside = i < paths || (seeds < groups.size() && i > seeds);
        (outside && is_pattern(groups[i].code) ? moved : kept).push_back(groups[i]);
    }
    if (moved.empty()) return;
    size_t at = find(98, 0) == groups.size() ? kept.size() : 0;
    for (size_t i = 0; i < kept.size() && at == 0; ++i)
        if (kept[i].code == 98) at = i;
    kept.insert(kept.begin() + long(at), moved.begin(), moved.end());
    groups = std::move(kept);
}

// The boundary paths of a HATCH's groups (code(i) of n): where each begins (its
// 92) and ends, and where its count of source objects is. The paths follow the
// path count (91) and end at the hatch style (75), the pattern type (76) or
// the seed points (98).
struct HatchPath {
    size_t begin = 0, end = 0;
    size_t sources = SIZE_MAX;  // the path's last 97 that no fit point (11) follows
};
template <class Code>
std::vector<HatchPath> hatch_paths(size_t n, Code code, size_t* count_at = nullptr)
{
    std::vector<HatchPath> paths;
    size_t i = 0;
    while (i < n && code(i) != 91) ++i;
    if (count_at) *count_at = i;
    for (++i; i < n; ++i) {
        const int c = code(i);
        if (c == 75 || c == 76 || c == 98) break;
        if (c == 92) {
            if (!paths.empty()) paths.back().end = i;
            paths.push_back({i, n});
            continue;
        }
        if (!paths.empty() && c == 97) paths.back().sources = (i + 1 < n && code(i + 1) == 11) ? SIZE_MAX : i;
    }
    if (!paths.empty()) paths.back().end = std::min(i, n);
    return paths;
}

Layout hatch_layout(const Entity& entity, std::vector<Group> groups)
{
    // The first 10 is the elevation point; a list that starts with its paths gets one.
    auto first_point =
        std::find_if(groups.begin(), groups.end(), [](const Group& g) { return g.code == 10; });
    auto first_path = std::find_if(groups.begin(), groups.end(), [](const Group& g) {
        return g.code == 91 || g.code == 92 || g.code == 93 || g.code == 72;
    });
    if (first_point == groups.end() || first_path < first_point) {
        auto at = std::find_if(groups.begin(), groups.end(), [](const Group& g) {
            return common_rank(g.code) < 0 && !is_structure_code(g.code);
        });
        groups.insert(at, Group::of_point(10, {}));
    }
    move_hatch_pattern_groups(groups);
    // The links to the source objects (330 after a path's 97) are not part of
    // the drawing: its count is 0 there, and the writer gives the links the
    // file had.
    groups.erase(std::remove_if(groups.begin(), groups.end(),
                                [](const Group& g) { return is_structure_code(g.code); }),
                 groups.end());
    mend_hatch_counts(groups);
    for (const HatchPath& path : hatch_paths(groups.size(), [&](size_t i) { return groups[i].code; }))
        if (path.sources != SIZE_MAX) groups[path.sources].integer = 0;
    std::vector<std::pair<int, int>> all;  // every code in the given order
    Layout layout = simple("HATCH", groups, {{"AcDbHatch", all}});
    bool elevation_seen = false;
    for (auto& placed : layout.groups) {
        if (placed.subclass != 1 || placed.group.kind() != ValueKind::Point) continue;
        if (placed.group.code == 10 && !elevation_seen) {
            elevation_seen = true;
            continue;
        }
        if (placed.group.code != 210) placed.flat = true;
    }
    // The hatch's own groups keep their order after the common part.
    const size_t own = size_t(std::find_if(layout.groups.begin(), layout.groups.end(),
                                           [](const PlacedGroup& p) { return p.subclass == 1; }) -
                              layout.groups.begin());
    const auto paths =
        hatch_paths(layout.groups.size() - own, [&](size_t i) { return layout.groups[own + i].group.code; });
    layout.hatch_paths = paths.size();
    for (size_t p = 0; p < paths.size(); ++p)
        if (paths[p].sources != SIZE_MAX) layout.groups[own + paths[p].sources].sources_of_path = int(p);
    return layout;
}

std::string polyline_subclass(long flags)
{
    if (flags & 8) return "AcDb3dPolyline";
    if (flags & 16) return "AcDbPolygonMesh";
    if (flags & 64) return "AcDbPolyFaceMesh";
    return "AcDb2dPolyline";
}

Layout vertex_layout(const Entity& entity, std::vector<Group> groups, const Drawing& drawing)
{
    long flags = entity.integer(70, 0);
    Entity scratch;
    long parent_flags = flags_of(drawing.look(entity.parent, scratch));
    auto codes = ranked({10, 40, 41, 42, 70, 50, 71, 72, 73, 74});
    if ((flags & 128) && !(flags & 64))
        return simple("VERTEX", std::move(groups), {{"AcDbFaceRecord", codes}});
    std::string kind = "AcDb2dVertex";
    if ((flags & 32) || (parent_flags & 8))
        kind = "AcDb3dPolylineVertex";
    else if ((flags & 64) && (flags & 128))
        kind = "AcDbPolyFaceMeshVertex";
    else if ((flags & 64) || (parent_flags & 16))
        kind = "AcDbPolygonMeshVertex";
    return simple("VERTEX", std::move(groups), {{"AcDbVertex", {}}, {kind, codes}});
}

Layout polyline_layout(const Entity& entity, std::vector<Group> groups)
{
    add_if_missing(groups, Group::of_int(66, 1));
    add_if_missing(groups, Group::of_point(10, {}));
    return simple("POLYLINE", groups,
                  {{polyline_subclass(entity.integer(70, 0)),
                    ranked({66, 10, 39, 70, 40, 41, 71, 72, 73, 74, 75, 210})}});
}

Layout insert_layout(const Entity& entity, std::vector<Group> groups)
{
    // Attributes are not kept, so no attribute chain follows the reference.
    groups.erase(std::remove_if(groups.begin(), groups.end(), [](const Group& g) { return g.code == 66; }),
                 groups.end());
    const char* marker = insert_subclass(groups);
    return simple("INSERT", groups, {{marker, ranked({2, 10, 41, 42, 43, 50, 70, 71, 44, 45, 210})}});
}

Layout record(const std::string& type, std::vector<Group> groups, const std::string& marker,
              std::vector<std::pair<int, int>> codes)
{
    Layout layout;
    layout.dxf_type = type;
    layout.subclasses = {"AcDbSymbolTableRecord", marker};
    std::vector<SubclassSpec> specs = {{marker, std::move(codes)}};
    layout.groups = place(std::move(groups), specs, false);
    return layout;
}

}  // namespace

std::vector<std::string> mend_hatch_counts(std::vector<Group>& groups)
{
    std::vector<std::string> said;
    auto set = [&](Group& count, long held, const std::string& what) {
        if (count.integer == held) return;
        said.push_back(std::to_string(count.integer) + " " + what + " declared, " + std::to_string(held) +
                       " held");
        count.integer = held;
    };
    auto count_of = [&](size_t begin, size_t end, int code) {
        return long(std::count_if(groups.begin() + long(begin), groups.begin() + long(end),
                                  [&](const Group& g) { return g.code == code; }));
    };
    size_t count_at = 0;
    const auto paths = hatch_paths(
        groups.size(), [&](size_t i) { return groups[i].code; }, &count_at);
    if (count_at < groups.size()) set(groups[count_at], long(paths.size()), "boundary paths");
    for (size_t p = 0; p < paths.size(); ++p) {
        const HatchPath& path = paths[p];
        // A polyline path counts its vertices, another its edges (each begins with its type, 72).
        const bool polyline = groups[path.begin].integer & 2;
        for (size_t i = path.begin + 1; i < path.end; ++i) {
            if (groups[i].code != 93) continue;
            set(groups[i], count_of(i + 1, path.end, polyline ? 10 : 72),
                std::string(polyline ? "vertices" : "edges") + " of path " + std::to_string(p + 1));
            break;
        }
    }
    for (size_t i = paths.empty() ? count_at : paths.back().end; i < groups.size(); ++i)
        if (groups[i].code == 98) {
            set(groups[i], count_of(i + 1, groups.size(), 10), "seed points");
            break;
        }
    return said;
}

const char* insert_subclass(const std::vector<Group>& groups)
{
    // A reference repeated in rows or columns is a multiple insert, which has a subclass of its own.
    auto counted = [&](int code) {
        auto found =
            std::find_if(groups.begin(), groups.end(), [&](const Group& g) { return g.code == code; });
        return found != groups.end() && found->integer > 1;
    };
    return counted(70) || counted(71) ? "AcDbMInsertBlock" : "AcDbBlockReference";
}

bool is_structure_code(int code)
{
    return code < 0 || code == 0 || code == 5 || code == 105 || code == 100 || code == 102 ||
           (code >= 330 && code <= 369) || (code >= 390 && code <= 399) || code == 480 || code == 481;
}

bool is_common_entity_code(int code)
{
    return common_rank(code) >= 0;
}

namespace {

// The subclasses that follow AcDbDimension, by the kind of dimension (the low
// four bits of its flags); groups of none of them go into the last.
std::vector<std::pair<std::string, std::vector<int>>> dimension_subclasses(long flags)
{
    switch (flags & 15) {
        case 0:  // the definition points an old file gives every kind go with the others
            return {{"AcDbAlignedDimension", {13, 14, 15, 16, 50}}, {"AcDbRotatedDimension", {}}};
        case 1:
            return {{"AcDbAlignedDimension", {13, 14, 50}}};
        case 2:
            return {{"AcDb2LineAngularDimension", {13, 14, 15, 16}}};
        case 3:
            return {{"AcDbDiametricDimension", {15, 40}}};
        case 4:
            return {{"AcDbRadialDimension", {15, 40}}};
        case 5:
            return {{"AcDb3PointAngularDimension", {13, 14, 15, 16}}};
        case 6:
            return {{"AcDbOrdinateDimension", {13, 14}}};
        default:  // no kind a file of AC1015 knows
            return {};
    }
}

}  // namespace

bool legacy_subclasses(const std::string& type, long flags, LegacySubclasses& out)
{
    static const std::vector<int> kText = {10, 40, 1, 50, 41, 51, 7, 71, 72, 11, 39, 210};
    static const std::map<std::string, std::vector<std::pair<std::string, std::vector<int>>>> kTypes = {
        {"LINE", {{"AcDbLine", {}}}},
        {"POINT", {{"AcDbPoint", {}}}},
        {"CIRCLE", {{"AcDbCircle", {}}}},
        {"ARC", {{"AcDbCircle", {10, 40, 39, 210}}, {"AcDbArc", {50, 51}}}},
        {"TEXT", {{"AcDbText", kText}, {"AcDbText", {73}}}},
        {"SOLID", {{"AcDbTrace", {}}}},
        {"TRACE", {{"AcDbTrace", {}}}},
        {"3DFACE", {{"AcDbFace", {}}}},
        {"SHAPE", {{"AcDbShape", {}}}},
        {"INSERT", {{"AcDbBlockReference", {}}}},
        {"MTEXT", {{"AcDbMText", {}}}},
        {"ATTDEF", {{"AcDbText", kText}, {"AcDbAttributeDefinition", {3, 2, 70, 73, 74}}}},
        {"ATTRIB", {{"AcDbText", kText}, {"AcDbAttribute", {2, 70, 73, 74}}}},
        {"SEQEND", {}},
    };
    out = {};
    out.markers.push_back("AcDbEntity");
    out.codes.push_back({});
    if (type == "POLYLINE") {
        out.markers.push_back(polyline_subclass(flags));
        out.codes.push_back({});
        return true;
    }
    if (type == "DIMENSION") {
        out.markers.push_back("AcDbDimension");
        out.codes.push_back({280, 2, 10, 11, 12, 70, 71, 72, 41, 42, 73, 74, 75, 1, 52, 53, 51, 210, 3});
        const auto subclasses = dimension_subclasses(flags);
        if (subclasses.empty()) return false;
        for (const auto& [marker, codes] : subclasses) {
            out.markers.push_back(marker);
            out.codes.push_back(codes);
        }
        return true;
    }
    if (type == "VERTEX") {
        out.markers = {"AcDbEntity", "AcDbVertex", (flags & 32) ? "AcDb3dPolylineVertex" : "AcDb2dVertex"};
        out.codes = {{}, {}, {}};
        return true;
    }
    auto found = kTypes.find(type);
    if (found == kTypes.end()) return false;
    for (const auto& [marker, codes] : found->second) {
        out.markers.push_back(marker);
        out.codes.push_back(codes);
    }
    return true;
}

bool is_degree_angle(const std::string& type, int code)
{
    if (code != 50 && code != 51) return false;
    if (type == "TEXT" || type == "ATTRIB" || type == "ATTDEF" || type == "SHAPE" || type == "ARC")
        return true;
    return code == 50 && (type == "INSERT" || type == "POINT" || type == "VERTEX" || type == "STYLE");
}

double degrees_to_radians(double degrees)
{
    return degrees * (3.14159265358979323846 / 180);
}

double radians_to_degrees(double radians)
{
    return radians * (180 / 3.14159265358979323846);
}

bool is_known_entity_type(const std::string& type)
{
    static const char* const kKnown[] = {"LINE",   "POINT",  "CIRCLE", "ARC",        "TEXT",
                                         "3DFACE", "SOLID",  "TRACE",  "LWPOLYLINE", "POLYLINE",
                                         "VERTEX", "SEQEND", "INSERT", "HATCH"};
    return std::any_of(std::begin(kKnown), std::end(kKnown), [&](const char* k) { return type == k; });
}

namespace {

// The subclasses of the types whose layout follows from their codes alone;
// nullptr for the others.
const std::vector<SubclassSpec>* simple_specs(const std::string& t)
{
    static const std::map<std::string, std::vector<SubclassSpec>> kSpecs = {
        {"LINE", {{"AcDbLine", ranked({39, 10, 11, 210})}}},
        {"POINT", {{"AcDbPoint", ranked({10, 39, 210, 50})}}},
        {"CIRCLE", {{"AcDbCircle", ranked({39, 10, 40, 210})}}},
        {"ARC", {{"AcDbCircle", ranked({39, 10, 40, 210})}, {"AcDbArc", ranked({50, 51})}}},
        {"TEXT",
         {{"AcDbText", ranked({39, 10, 40, 1, 50, 41, 51, 7, 71, 72, 11, 210})}, {"AcDbText", ranked({73})}}},
        {"3DFACE", {{"AcDbFace", ranked({10, 11, 12, 13, 70})}}},
        {"SOLID", {{"AcDbTrace", ranked({10, 11, 12, 13, 39, 210})}}},
        {"TRACE", {{"AcDbTrace", ranked({10, 11, 12, 13, 39, 210})}}},
        {"SEQEND", {}},
    };
    auto found = kSpecs.find(t);
    return found == kSpecs.end() ? nullptr : &found->second;
}

}  // namespace

std::optional<LayoutPlan> entity_plan(const std::string& type, const std::vector<int>& codes)
{
    const std::vector<SubclassSpec>* specs = simple_specs(type);
    // Without a layer the layout adds one, which no plan of the given groups holds.
    if (!specs || std::find(codes.begin(), codes.end(), 8) == codes.end()) return std::nullopt;
    LayoutPlan plan;
    plan.dxf_type = type;
    plan.subclasses.push_back("AcDbEntity");
    for (const SubclassSpec& spec : *specs) plan.subclasses.push_back(spec.marker);
    const std::vector<Keyed> keyed = placing(
        codes.size(), [&](size_t i) { return codes[i]; }, *specs, true);
    plan.in_order = keyed.size() == codes.size();
    for (size_t k = 0; k < keyed.size(); ++k) {
        plan.steps.push_back({keyed[k].subclass, keyed[k].index});
        if (keyed[k].index != k) plan.in_order = false;
    }
    return plan;
}

const LayoutPlan* PlanCache::find(const Entity& entity)
{
    key_ = entity.type;
    codes_.clear();
    for (const Group& g : entity.groups) {
        key_ += ',';
        key_ += std::to_string(g.code);
        codes_.push_back(g.code);
    }
    auto found = plans_.find(key_);
    if (found == plans_.end()) found = plans_.emplace(key_, entity_plan(entity.type, codes_)).first;
    return found->second ? &*found->second : nullptr;
}

namespace {

std::optional<Layout> simple_layout(const std::string& t, std::vector<Group>& groups)
{
    const std::vector<SubclassSpec>* specs = simple_specs(t);
    if (!specs) return std::nullopt;
    return simple(t, std::move(groups), *specs);
}

}  // namespace

Layout entity_layout(const Entity& entity, std::vector<Group> groups, const Drawing& drawing)
{
    const std::string& t = entity.type;
    if (std::optional<Layout> layout = simple_layout(t, groups)) return std::move(*layout);
    if (t == "LWPOLYLINE") return lwpolyline_layout(entity, std::move(groups));
    if (t == "POLYLINE") return polyline_layout(entity, std::move(groups));
    if (t == "VERTEX") return vertex_layout(entity, std::move(groups), drawing);
    if (t == "INSERT") return insert_layout(entity, std::move(groups));
    if (t == "HATCH") return hatch_layout(entity, std::move(groups));
    // A type the host does not lay out: its groups as given, after the common part.
    return simple(t, std::move(groups), {{"AcDb" + t, {}}});
}

Layout entity_layout(const Entity& entity, const Drawing& drawing)
{
    return entity_layout(entity, entity.groups, drawing);
}

Layout record_layout(const Entity& entry, std::vector<Group> groups, const std::string& table)
{
    if (table == "LAYER") {
        add_if_missing(groups, Group::of_int(70, 0));
        add_if_missing(groups, Group::of_int(62, 7));
        add_if_missing(groups, Group::of_text(6, "CONTINUOUS"));
        return record("LAYER", std::move(groups), "AcDbLayerTableRecord", ranked({2, 70, 62, 6, 290, 370}));
    }
    if (table == "LTYPE") {
        long dashes =
            std::count_if(groups.begin(), groups.end(), [](const Group& g) { return g.code == 49; });
        groups.erase(
            std::remove_if(groups.begin(), groups.end(), [](const Group& g) { return g.code == 73; }),
            groups.end());
        groups.push_back(Group::of_int(73, dashes));
        add_if_missing(groups, Group::of_int(70, 0));
        add_if_missing(groups, Group::of_text(3, ""));
        add_if_missing(groups, Group::of_int(72, 65));
        add_if_missing(groups, Group::of_real(40, 0.0));
        return record("LTYPE", std::move(groups), "AcDbLinetypeTableRecord",
                      {{2, 0},
                       {70, 1},
                       {3, 2},
                       {72, 3},
                       {73, 4},
                       {40, 5},
                       {49, 10},
                       {74, 10},
                       {75, 10},
                       {46, 10},
                       {50, 10},
                       {44, 10},
                       {45, 10},
                       {9, 10}});
    }
    if (table == "STYLE") {
        add_if_missing(groups, Group::of_int(70, 0));
        add_if_missing(groups, Group::of_real(40, 0.0));
        add_if_missing(groups, Group::of_real(41, 1.0));
        add_if_missing(groups, Group::of_real(50, 0.0));
        add_if_missing(groups, Group::of_int(71, 0));
        add_if_missing(groups, Group::of_real(42, 2.5));
        add_if_missing(groups, Group::of_text(3, "txt"));
        add_if_missing(groups, Group::of_text(4, ""));
        return record("STYLE", std::move(groups), "AcDbTextStyleTableRecord",
                      ranked({2, 70, 40, 41, 50, 71, 42, 3, 4}));
    }
    if (table == "APPID") {
        add_if_missing(groups, Group::of_int(70, 0));
        return record("APPID", std::move(groups), "AcDbRegAppTableRecord", ranked({2, 70}));
    }
    if (table == "BLOCK") {
        // The block record's 2 goes to BLOCK_RECORD; 70, 10, 1 and 4 to the BLOCK entity.
        // 3 repeats the name; an empty 1 is no external reference.
        groups.erase(
            std::remove_if(groups.begin(), groups.end(),
                           [](const Group& g) { return g.code == 3 || (g.code == 1 && g.text.empty()); }),
            groups.end());
        add_if_missing(groups, Group::of_int(70, 0));
        add_if_missing(groups, Group::of_point(10, {}));
        return record("BLOCK_RECORD", std::move(groups), "AcDbBlockTableRecord", ranked({2, 70, 10, 1, 4}));
    }
    return record(table, std::move(groups), "AcDb" + table, {});
}

Layout record_layout(const Entity& entry, const std::string& table)
{
    return record_layout(entry, entry.groups, table);
}

}  // namespace host::dxf
