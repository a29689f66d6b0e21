// Where each group of an entity or table record goes in a DXF file: its
// subclass (the "100" marker it follows) and its place in the subclass. The
// writer writes this layout; the reader's groups come back in the same order.
#pragma once

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "db/drawing.h"

namespace host::dxf {

struct PlacedGroup {
    int subclass = 0;  // index into Layout::subclasses; 0 is the common part
    Group group;
    bool flat = false;  // a point written without its z (LWPOLYLINE and HATCH paths)
    // A HATCH path's count of the objects it came from (its last 97): the
    // path's number, from 0; -1 for every other group.
    int sources_of_path = -1;
};

struct Layout {
    std::string dxf_type;                 // what group 0 says ("BLOCK_RECORD" for BLOCK records)
    std::vector<std::string> subclasses;  // markers in order; [0] is "AcDbEntity" or "AcDbSymbolTableRecord"
    std::vector<PlacedGroup> groups;
    size_t hatch_paths = 0;  // a HATCH's boundary paths
};

// A HATCH's counts (of boundary paths, of each path's edges or vertices, of
// seed points) set to what its groups hold; says each count that differed, as
// "it declares 3 boundary paths and holds 2".
std::vector<std::string> mend_hatch_counts(std::vector<Group>& groups);

// The layout of a model or block entity.
Layout entity_layout(const Entity& entity, const Drawing& drawing);
// The same with these groups in place of the entity's own (moved in).
Layout entity_layout(const Entity& entity, std::vector<Group> groups, const Drawing& drawing);
// How the groups of an entity of a type whose layout follows from its codes
// alone (LINE, POINT, CIRCLE, ARC, TEXT, 3DFACE, SOLID, TRACE, SEQEND) are
// written: the subclasses, and for each group written its subclass and its
// place among the groups given. Structure codes are left out. nullopt for other
// types, and for groups without a layer, which the layout adds.
struct LayoutPlan {
    struct Step {
        int subclass = 0;
        size_t index = 0;
    };
    std::string dxf_type;
    std::vector<std::string> subclasses;
    std::vector<Step> steps;
    bool in_order = false;  // every group given, in the order given
};
std::optional<LayoutPlan> entity_plan(const std::string& type, const std::vector<int>& codes);

// The plans of the entities met so far, by type and codes, for a reader or
// writer that meets many entities of a few forms.
class PlanCache {
public:
    // The entity's plan; nullptr when its type has none.
    const LayoutPlan* find(const Entity& entity);

private:
    std::unordered_map<std::string, std::optional<LayoutPlan>> plans_;
    std::string key_;
    std::vector<int> codes_;
};

// The layout of a table record of the given table ("LAYER", "BLOCK", ...).
Layout record_layout(const Entity& record, const std::string& table);
Layout record_layout(const Entity& record, std::vector<Group> groups, const std::string& table);

// The subclass of an INSERT with these groups: AcDbMInsertBlock when its
// column or row count (70, 71) is above 1, else AcDbBlockReference.
const char* insert_subclass(const std::vector<Group>& groups);

// True for the codes the writer makes itself and the reader leaves out:
// handles, owners, subclass markers, reactor groups and entity names.
bool is_structure_code(int code);

// True for the angles the file keeps in degrees while the drawing, like the
// API's entity lists, keeps them in radians: rotations and arc angles of
// TEXT, ATTRIB, ATTDEF, SHAPE, ARC, INSERT, POINT, VERTEX and a text style's
// oblique angle. (HATCH edge angles are kept in degrees in the drawing too.)
bool is_degree_angle(const std::string& type, int code);
double degrees_to_radians(double degrees);
double radians_to_degrees(double radians);

// Files before AC1015 carry no subclass markers. The markers an entity of
// such a file needs in a later version, and the codes under each (the common
// codes under "AcDbEntity" first; a code of none of them goes under the
// last); false for the types this host cannot place.
struct LegacySubclasses {
    std::vector<std::string> markers;
    std::vector<std::vector<int>> codes;
};
bool legacy_subclasses(const std::string& type, long flags, LegacySubclasses& out);
bool is_common_entity_code(int code);

// Entity types the reader keeps and the writer knows how to lay out.
bool is_known_entity_type(const std::string& type);

}  // namespace host::dxf
