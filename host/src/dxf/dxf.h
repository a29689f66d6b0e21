// Drawings as DXF text (version AC1015): the writer turns the host's group lists
// into a file that other programs read, the reader builds a drawing back from a
// file of this host or of another program, keeping what the host knows and
// skipping the rest.
//
// What the writer writes for an entity or table record is its "normal form"
// (dxf_normal_groups): the stored groups in the format's order, the groups the
// format requires added with their default values, and the structure groups
// (handles, owners, subclass markers, entity names) left out, because the
// writer makes those itself. Reading a written file gives every entity and
// record back with its normal form as its groups.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "db/drawing.h"

namespace host {

struct DxfKept;

// One variable of the file's HEADER section, by its name without the "$"
// ("CLAYER"), with the group that holds its value (8 for CLAYER, 70 for LUPREC).
struct DxfHeaderVariable {
    std::string name;
    Group value;
    size_t line = 0;  // of the file it was read from; 0 when none
};

// The groups the writer writes for an entity or record of the drawing, without
// structure groups and extended data. VERTEX entities need the drawing to know
// whether their polyline is 2D or 3D.
std::vector<Group> dxf_normal_groups(const Entity& entity, const Drawing& drawing);
// Puts the entity's own groups into their normal form.
void dxf_normalize(Entity& entity, const Drawing& drawing);

// The whole file as text. Header variables given here are written after the
// ones the format needs ($ACADVER, $HANDSEED, $INSBASE, ...). What the file
// the drawing came from kept beside it (kept, may be null) is written back in
// its places, in the file's version; left_out gets what that version cannot
// hold.
std::string dxf_write(const Drawing& drawing, const std::vector<DxfHeaderVariable>& header,
                      const DxfKept* kept = nullptr, std::vector<std::string>* left_out = nullptr);

// Writes the file through a temporary file of its own beside it
// (replace_file_by), so that a failed or killed write leaves the former file as
// it was; the text goes to the file as it is made, so that a large drawing is
// never whole in memory as text. left_out gets what the file's version cannot
// hold. False with a message when it fails.
bool dxf_save(const Drawing& drawing, const std::vector<DxfHeaderVariable>& header, const std::string& path,
              std::string& error, const DxfKept* kept = nullptr,
              std::vector<std::string>* left_out = nullptr);

struct DxfReadResult {
    std::unique_ptr<Drawing> drawing;       // null when the text is no DXF that can be read
    std::vector<DxfHeaderVariable> header;  // every header variable with a value the host can hold
    std::string error;                      // why the drawing is null
    std::vector<std::string> skipped;       // what was left out, e.g. "3 MTEXT"
    std::vector<std::string> notes;         // values mended or left out, each with its line
    std::shared_ptr<DxfKept> kept;          // what the host does not model, for writing back
    // Where a file that ends without its "0 EOF" ends, and what was not read;
    // empty for a whole file.
    std::string cut_short;
};

// Reads DXF text. Entities and tables the host does not model are skipped and
// counted in `skipped`; layers, styles and blocks that entities name but the
// file lacks are made so that the drawing is whole.
DxfReadResult dxf_read(const std::string& text);
// Reads a file; the error says when it is missing or unreadable.
DxfReadResult dxf_read_file(const std::string& path);

// True when the text starts as a text DXF file does (comments, then a section).
bool looks_like_dxf(const std::string& text);

// The file a drawing name stands for: a ".dwg" name resolves to the ".dxf" file
// beside it when the ".dwg" file does not exist or is no DXF text and the ".dxf"
// exists; any other name is itself.
std::string resolve_drawing_file(const std::string& path);

}  // namespace host
