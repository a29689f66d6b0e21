// Dialog description files: the tiles read, written as DCL and read again are
// the same tiles.
#include "check_support.h"
#include "dialogs/dcl_parse.h"
#include "round_trips.h"

namespace fuzzcheck {

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (c == '\n')
            out += "\\n";
        else if (c == '\t')
            out += "\\t";
        else
            out += c;
    }
    return out + "\"";
}

// The kind a tile is written with: the prototype a kind of its own stands for.
std::string written_kind(const std::string& kind)
{
    return kind == "settings" ? "default_dcl_settings" : kind;
}

void write_tile(const host::DclTile& tile, std::string& out)
{
    out += written_kind(tile.kind) + " {\n";
    for (const auto& [name, value] : tile.attributes) out += name + " = " + quoted(value) + ";\n";
    for (const host::DclTile& child : tile.children) {
        out += ": ";
        write_tile(child, out);
    }
    out += "}\n";
}

// The file as DCL: every prototype and dialog resolved, under its name.
std::string dcl_text(const host::DclFile& file)
{
    std::string out;
    for (const auto* table : {&file.prototypes, &file.dialogs})
        for (const auto& [name, tile] : *table) {
            out += name + " : ";
            write_tile(tile, out);
        }
    return out;
}

// The tiles without the lines they were written on.
std::string tiles_text(const host::DclTile& tile)
{
    std::string out = tile.kind + "{";
    for (const auto& [name, value] : tile.attributes) out += name + "=" + quoted(value) + ";";
    for (const host::DclTile& child : tile.children) out += tiles_text(child);
    return out + "}";
}

std::string file_tiles(const host::DclFile& file)
{
    std::string out;
    for (const auto& [name, tile] : file.prototypes)
        out += "prototype " + name + ": " + tiles_text(tile) + "\n";
    for (const auto& [name, tile] : file.dialogs) out += "dialog " + name + ": " + tiles_text(tile) + "\n";
    return out;
}

}  // namespace

std::string dcl_round_trip(std::string_view input)
{
    prepare();
    host::DclError error;
    std::optional<host::DclFile> first = host::parse_dcl(std::string(input), "input.dcl", &error);
    if (!first) return "";
    std::string written = dcl_text(*first);
    std::optional<host::DclFile> second = host::parse_dcl(written, "written.dcl", &error);
    if (!second) return "the written file cannot be read again (" + error.text() + "):\n" + written;
    return difference("the tiles read first and again", file_tiles(*first), file_tiles(*second));
}

}  // namespace fuzzcheck
