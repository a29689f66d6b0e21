// The host's reader of dialog description (DCL) files: the subset of the
// language that the product's dialog files use. A file holds dialog definitions
// ("name : dialog { ... }") and named tile prototypes defined at its top level;
// tiles are built from the host's built-in kinds and prototypes (ok_cancel and
// the like) or from prototypes of the same file, with attributes that override
// the prototype's.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace host {

// One tile as the file describes it, with its prototype resolved: the built-in
// kind it comes from, its attributes (string values with their quotes removed
// and escapes read; numbers and words as written) and its children in order.
struct DclTile {
    std::string kind;
    std::map<std::string, std::string> attributes;
    std::vector<DclTile> children;
    int line = 0;  // where the tile was written

    std::string attribute(const std::string& name, const std::string& absent = "") const;
    bool has(const std::string& name) const { return attributes.count(name) > 0; }
    bool flag(const std::string& name) const { return attribute(name) == "true"; }
};

struct DclFile {
    std::string path;
    std::map<std::string, DclTile> dialogs;     // by dialog name, as written
    std::map<std::string, DclTile> prototypes;  // named tiles of the top level that are no dialogs
};

struct DclError {
    std::string path;
    int line = 0;
    std::string message;
    std::string text() const;  // "<path>, line <n>: <message>"
};

// How deep tiles may nest in a file, and how many tiles a file's dialogs and
// prototypes may come to once prototypes are resolved; past either the file is
// refused with its line.
inline constexpr int kDclNestingLimit = 256;
inline constexpr long kDclTileLimit = 100000;

// Reads a DCL text; nullopt and *error on the first error.
std::optional<DclFile> parse_dcl(const std::string& text, const std::string& path, DclError* error);

// Kinds that hold other tiles (rows, columns, radio clusters, boxed variants, dialog).
bool dcl_is_container(const std::string& kind);
// Radio clusters: radio_row, radio_column and their boxed variants.
bool dcl_is_radio_cluster(const std::string& kind);

}  // namespace host
