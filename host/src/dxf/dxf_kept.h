// What a drawing file held that the host does not model, kept as the file had
// it so that saving the drawing writes it back: header variables, classes,
// table records (viewports, views, coordinate systems, dimension styles, the
// records of the layouts), the blocks of the layouts and their paper-space
// entities, entities of types the host does not keep (MTEXT, DIMENSION,
// ELLIPSE, SPLINE, ...), block attributes, the objects section (dictionaries,
// layouts, the georeference) and the handles of what the host does keep, so
// that references between the kept objects and the drawing still hold.
//
// None of it is part of the drawing: commands, selections and the entity
// functions never see it. A document opened from a file holds it beside its
// drawing; a drawing that the file gave nothing of this kind has none, and
// costs nothing for it.
#pragma once

#include <algorithm>
#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/drawing.h"

namespace host {

// One object of the file as it was: its type (group 0) and its other groups as
// the file's code and value lines ("8\nWALLS\n..."), texts in UTF-8.
struct KeptObject {
    std::string type;
    std::string groups;
    std::uint64_t handle = 0;  // its own 5 (or 105); 0 when it has none
    // Of a file before AC1015, without the subclass markers later versions need.
    bool legacy = false;
};

// The value of the first group of the code in the object's lines; "" when none.
std::string kept_value(const KeptObject& object, int code);

// One group of kept lines: its code and value lines, and where the group
// begins and ends (past its value's line end) in the lines.
struct KeptLine {
    std::string_view code, value;
    size_t begin = 0, end = 0;
};
// Calls visit with each group of the lines in order until it returns false.
template <class Visit>
void for_each_kept_group(const std::string& lines, Visit visit)
{
    for (size_t at = 0; at < lines.size();) {
        const size_t code_end = lines.find('\n', at);
        if (code_end == std::string::npos) return;
        size_t value_end = lines.find('\n', code_end + 1);
        if (value_end == std::string::npos) value_end = lines.size();
        const KeptLine line{std::string_view(lines).substr(at, code_end - at),
                            std::string_view(lines).substr(code_end + 1, value_end - code_end - 1), at,
                            std::min(value_end + 1, lines.size())};
        if (!visit(line)) return;
        at = value_end + 1;
    }
}

// A header variable: its name with the "$" and its groups as lines.
struct KeptVariable {
    std::string name;  // upper case, "$INSUNITS"
    std::string groups;
};

// A section the host writes back whole (THUMBNAILIMAGE, ACDSDATA, ...): the
// groups before its first object (a thumbnail's size and picture lines, the
// ACDSDATA version) and its objects, which keep the handles they had or lacked.
struct KeptSection {
    std::string name;
    std::vector<KeptObject> objects;
    std::string head;  // groups as lines
};

// A table's head as the file had it beyond its name, handle, owner and count:
// its extension dictionary (102 {ACAD_XDICTIONARY ... 102 }) and what follows
// the count (DIMSTYLE's own subclass, extended data).
struct KeptTableHead {
    std::string braces;  // groups as lines, written after the handle
    std::string tail;    // groups as lines, written after the count
};

// Groups of a host table record that the host does not model (a layer's
// plot-style, material and visual-style links, a line type's shape style, a
// block record's units, flags and preview), as the file's lines. Each run is
// written after the record's own group that came before it in the file (its
// code, and which of the groups of that code it was), so that it stays with
// that group whatever the host adds to the record (a line type's shape style
// with its dash); a run before any of them is written first.
struct KeptRecordGroups {
    int after_code = 0;  // 0: before the record's own groups
    size_t after_count = 0;
    std::string lines;
};

// The file's handles of the host's records and entities: runs of consecutive
// ids with consecutive handles, so that a file whose handles follow its order
// needs a few runs, whatever its size.
class HandleRuns {
public:
    void add(long id, std::uint64_t handle);
    // The handle the file gave the id; 0 when none.
    std::uint64_t find(long id) const;
    // The id the file's handle went to; 0 when none.
    long id_of(std::uint64_t handle) const;
    bool empty() const { return runs_.empty(); }

private:
    struct Run {
        long first_id;
        std::uint64_t first_handle;
        long count;
    };
    mutable std::vector<Run> runs_;  // by first_id once sorted
    mutable bool sorted_ = true;
    mutable std::vector<Run> by_handle_;  // the runs by first_handle, made at the first id_of
};

// A layout's block (*Model_Space, *Paper_Space, *Paper_Space0, ...): its BLOCK
// and ENDBLK and the entities between them.
struct KeptLayoutBlock {
    KeptObject begin, end;
    std::vector<KeptObject> entities;
};

struct DxfKept {
    std::string version;    // $ACADVER of the file
    std::string code_page;  // $DWGCODEPAGE of the file
    std::uint64_t max_handle = 0;

    std::vector<KeptVariable> header;  // every variable of the file, in its order
    // The values the drawing took of the header variables it keeps, as it was
    // opened: one that is the same at saving is written as the file had it, so
    // that a value the host could not take or spells otherwise is not changed.
    std::map<std::string, Group> header_opened;  // by name with the "$"
    std::vector<KeptObject> classes;

    std::vector<std::string> table_order;                // the file's tables in order
    std::map<std::string, std::uint64_t> table_handles;  // TABLE name -> handle of its head
    std::map<std::string, KeptTableHead> table_heads;    // TABLE name -> the rest of its head
    // Records the host does not keep, by table: VPORT, VIEW, UCS, DIMSTYLE,
    // the layouts' BLOCK_RECORDs, LTYPE ByBlock and ByLayer, unknown tables.
    std::map<std::string, std::vector<KeptObject>> records;

    std::vector<KeptLayoutBlock> layout_blocks;

    HandleRuns handles;  // host record, block and entity id -> the file's handle
    // A block definition's BLOCK and ENDBLK handles, by the BLOCK record's id.
    std::unordered_map<long, std::pair<std::uint64_t, std::uint64_t>> block_ends;
    // The common groups (layer, line-type scale, ...) and the extended data of
    // a block definition's BLOCK and ENDBLK entities as the file had them, by
    // the BLOCK record's id.
    struct BlockEntityGroups {
        std::string common[2];  // BLOCK, ENDBLK
        std::string xdata[2];
    };
    std::unordered_map<long, BlockEntityGroups> block_entity_groups;
    // The reactor and extension-dictionary groups (102 ... 102) of host
    // records and entities, by id, written after their handle.
    std::unordered_map<long, std::string> reactors;
    // What a host table record held beyond what the host models, by id. A block
    // record of the file has an entry, empty or not, and is written with what it
    // holds in place of the host's own groups.
    std::unordered_map<long, std::vector<KeptRecordGroups>> record_groups;

    // Entities kept as they were, by their container (0 model space, else the
    // BLOCK record's id), each list after the host entity (by id; 0 for the
    // start) that came before it in the file.
    std::unordered_map<long, std::unordered_map<long, std::vector<KeptObject>>> entities;
    // An associative HATCH's links to the objects its boundary paths came
    // from, path by path, by the HATCH's id: the file's handle of each object
    // and the host's id of it (0 for an object kept as the file had it).
    struct HatchLink {
        std::uint64_t handle = 0;
        long id = 0;
    };
    struct HatchLinks {
        std::vector<std::vector<HatchLink>> paths;
    };
    std::unordered_map<long, HatchLinks> hatch_links;
    // The subclass of INSERTs whose file gave another one than their rows and
    // columns call for (AcDbMInsertBlock for one row and column, or
    // AcDbBlockReference for more), by id.
    std::unordered_map<long, std::string> insert_subclasses;
    // The ATTRIBs and SEQEND that follow an INSERT of the host, by its id.
    std::unordered_map<long, std::vector<KeptObject>> attributes;

    std::vector<KeptObject> objects;  // the OBJECTS section
    std::vector<KeptSection> sections;

    // What the file held of each kind, for the report at OPEN ("2 ATTRIB").
    std::map<std::string, long> counts;
};

// The extended data of the object (its groups from the first 1001 on) as lines.
std::string kept_xdata(const KeptObject& object);

// A handle's value ("1F" is 31); 0 for a text that is no handle.
std::uint64_t parse_handle(std::string_view text);

// The layouts' blocks whose BLOCK_RECORD the file lacks (one for each handle
// their BLOCKs name as owner), which a save makes anew.
std::vector<const KeptLayoutBlock*> layout_blocks_without_record(const DxfKept& kept);

}  // namespace host
