// Drawings on disk: the script commands OPEN, SAVE and SAVEAS, and the header
// variables a drawing file keeps. A drawing keeps its file's full path in the
// document and its folder and name in DWGPREFIX and DWGNAME, which follow
// SAVEAS.
#include <cctype>
#include <filesystem>
#include <fstream>

#include "ads.h"
#include "db/sysvars.h"
#include "dxf/dxf_commands.h"
#include "dxf/dxf_kept.h"
#include "dxf/file_replace.h"
#include "platform/win_platform.h"

namespace host {

namespace {

namespace fs = std::filesystem;

// One file under two names (a link) is the same file to a save.
bool same_file(const std::string& a, const std::string& b)
{
    std::error_code error;
    return a == b || fs::equivalent(a, b, error);
}

// The system variables a drawing file keeps, with the group code of each in the header.
struct HeaderEntry {
    const char* name;
    int code;
};
constexpr HeaderEntry kHeaderVariables[] = {
    {"CLAYER", 8},      {"TEXTSTYLE", 7},   {"TEXTSIZE", 40}, {"LUNITS", 70}, {"LUPREC", 70},
    {"AUNITS", 70},     {"ANGBASE", 50},    {"ANGDIR", 70},   {"DIMZIN", 70}, {"OSMODE", 70},
    {"SPLINETYPE", 70}, {"SPLINESEGS", 70}, {"ATTREQ", 70},
};

std::string unquoted(std::string text)
{
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.pop_back();
    size_t begin = text.find_first_not_of(" \t");
    text = begin == std::string::npos ? "" : text.substr(begin);
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') text = text.substr(1, text.size() - 2);
    return text;
}

// True when the file starts as DXF text does.
bool file_holds_dxf(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string start(4096, '\0');
    in.read(start.data(), std::streamsize(start.size()));
    start.resize(size_t(in.gcount()));
    return looks_like_dxf(start);
}

}  // namespace

std::string drawing_file_path(const std::string& given)
{
    // "\" separators, drive letters and names spelt in another case, as Windows takes them.
    std::string path = platform::native_path(given);
    std::error_code code;
    fs::path absolute = fs::absolute(fs::path(path), code);
    if (code) return path;
    return absolute.lexically_normal().string();
}

std::vector<DxfHeaderVariable> dxf_header_of(const Drawing& drawing)
{
    std::vector<DxfHeaderVariable> header;
    for (const HeaderEntry& entry : kHeaderVariables) {
        SysVarValue value;
        if (!sysvar_get(drawing, entry.name, value)) continue;
        Group group;
        group.code = entry.code;
        switch (value.type) {
            case RTSTR:
                group.text = value.text;
                break;
            case RTREAL:
                group.real = value.real;
                break;
            case RTSHORT:
                group.integer = value.integer;
                break;
            case RTPOINT:
            case RT3DPOINT:
                group.point = value.point;
                break;
            default:
                continue;
        }
        header.push_back({entry.name, group});
    }
    return header;
}

namespace {

// A header value as a note shows it: a text in quotes, a number as it reads.
std::string shown_value(const SysVarValue& value)
{
    char text[96];
    switch (value.type) {
        case RTSTR:
            return "\"" + value.text + "\"";
        case RTREAL:
            std::snprintf(text, sizeof text, "%.15g", value.real);
            return text;
        case RTSHORT:
            return std::to_string(value.integer);
        default:
            std::snprintf(text, sizeof text, "%.15g,%.15g,%.15g", value.point.x, value.point.y,
                          value.point.z);
            return text;
    }
}

}  // namespace

void dxf_header_apply(Drawing& drawing, const std::vector<DxfHeaderVariable>& header, DxfKept* kept,
                      std::vector<std::string>* notes)
{
    for (const DxfHeaderVariable& variable : header) {
        SysVarValue value;
        if (!sysvar_get(drawing, variable.name, value)) continue;  // not a variable this host keeps
        const Group& g = variable.value;
        switch (value.type) {
            case RTSTR:
                if (g.kind() != ValueKind::Text) continue;
                value.text = g.text;
                break;
            case RTREAL:
                if (g.kind() != ValueKind::Real) continue;
                value.real = g.real;
                break;
            case RTSHORT:
                if (g.kind() != ValueKind::Int16 && g.kind() != ValueKind::Int32) continue;
                value.integer = g.integer;
                break;
            case RTPOINT:
            case RT3DPOINT:
                if (g.kind() != ValueKind::Point) continue;
                value.point = g.point;
                break;
            default:
                continue;
        }
        // The checked setter: a layer or style the drawing lacks, or a value out of
        // range, leaves the variable at its default. The file keeps its value
        // (see below), so that only the drawing works with another, and says so.
        if (sysvar_set(drawing, variable.name, value) != RTNORM && notes) {
            SysVarValue now;
            sysvar_get(drawing, variable.name, now);
            std::string where = variable.line ? "line " + std::to_string(variable.line) + ": " : "";
            notes->push_back(where + "the header variable $" + variable.name + " is " + shown_value(value) +
                             ", which this host cannot work with; the drawing uses " + shown_value(now) +
                             ", and a save keeps the file's value unless " + variable.name + " is set");
        }
    }
    // A file without these variables, or one whose layer or style is spelt in
    // another case, still names the record as the drawing spells it.
    for (const char* name : {"CLAYER", "TEXTSTYLE"}) {
        SysVarValue value;
        if (sysvar_get(drawing, name, value)) sysvar_set(drawing, name, value);
    }
    if (kept)
        for (const DxfHeaderVariable& variable : dxf_header_of(drawing))
            kept->header_opened["$" + variable.name] = variable.value;
}

std::unique_ptr<Document> open_drawing_document(const std::string& given, std::string& error,
                                                std::vector<std::string>* skipped,
                                                std::vector<std::string>* notes)
{
    std::string file = resolve_drawing_file(drawing_file_path(given));
    DxfReadResult result = dxf_read_file(file);
    if (!result.drawing) {
        error = result.error;
        return nullptr;
    }
    auto document = std::make_unique<Document>();
    document->drawing = std::move(*result.drawing);
    std::vector<std::string> header_notes;
    dxf_header_apply(document->drawing, result.header, result.kept.get(), &header_notes);
    result.notes.insert(result.notes.end(), header_notes.begin(), header_notes.end());
    document->file_kept = std::move(result.kept);
    fs::path path(file);
    document->drawing.prefix = path.parent_path().string() + "/";
    document->drawing.name = path.filename().string();
    document->file_path = file;
    document->read_in_part = result.cut_short;
    if (skipped) *skipped = result.skipped;
    if (notes) *notes = result.notes;
    return document;
}

bool save_drawing_document(Document& document, const std::string& file, std::string& error,
                           std::vector<std::string>* left_out)
{
    std::vector<std::string> not_kept;
    const bool saved = dxf_save(document.drawing, dxf_header_of(document.drawing), file, error,
                                document.file_kept.get(), &not_kept);
    if (left_out) *left_out = not_kept;
    if (!saved) return false;
    document.modified = false;
    // The file now holds the drawing whole.
    if (same_file(file, document.file_path)) document.read_in_part.clear();
    return true;
}

namespace {

// What a file held that the host keeps aside: "2 MTEXT, 3 paper space entities, 1 layout".
std::string kept_summary(const DxfKept* kept)
{
    std::string summary;
    if (!kept) return summary;
    for (const auto& [kind, count] : kept->counts) {
        if (count <= 0) continue;
        std::string name = kind;
        bool lower = !name.empty() && std::islower((unsigned char)name[0]);
        if (count > 1 && lower)
            name = name.back() == 'y' ? name.substr(0, name.size() - 1) + "ies" : name + "s";
        summary += (summary.empty() ? "" : ", ") + std::to_string(count) + " " + name;
    }
    return summary;
}

// The SAVE and SAVEAS message of what the file's version cannot hold, before the outcome.
std::string left_out_message(const std::vector<std::string>& left_out)
{
    std::string message;
    for (const std::string& what : left_out) message += "\nThis save leaves out " + what + ".";
    return message;
}

void open_command(const std::string& argument)
{
    Session& session = Session::get();
    std::string given = unquoted(argument);
    if (given.empty()) {
        session.fail("\nOPEN needs a file name: OPEN path");
        return;
    }
    std::string file = resolve_drawing_file(drawing_file_path(given));
    auto& documents = session.documents();
    for (size_t i = 0; i < documents.size(); ++i) {
        if (!documents[i]->file_path.empty() && documents[i]->file_path == file) {
            session.switch_to(int(i));
            session.print("\n\"" + file + "\" is open already; it is the current drawing now.");
            return;
        }
    }
    std::string error;
    std::vector<std::string> skipped, notes;
    auto document = open_drawing_document(given, error, &skipped, &notes);
    if (!document) {
        std::string still =
            session.has_document() ? "; the current drawing stays " + session.current().drawing.name : "";
        session.fail("\nCannot open \"" + given + "\": " + error + still + ".");
        return;
    }
    std::string name = document->drawing.name;
    std::string kept = kept_summary(document->file_kept.get());
    session.add_document(std::move(document));
    std::string message = "\nOpened \"" + file + "\".";
    if (!kept.empty()) message += " Kept as the file has them for saving, unseen by commands: " + kept + ".";
    if (!skipped.empty()) {
        message += " Left out:";
        for (size_t i = 0; i < skipped.size(); ++i) message += (i ? ", " : " ") + skipped[i];
        message += ".";
    }
    // Every value the reader mended or left out, the first ones in full.
    constexpr size_t kShown = 20;
    for (size_t i = 0; i < notes.size() && i < kShown; ++i) message += "\n  " + notes[i] + ".";
    if (notes.size() > kShown)
        message += "\n  ... and " + std::to_string(notes.size() - kShown) + " more such values.";
    session.print(message);
    // A drawing read in part is open to work on, but the session has failed to
    // read the file whole, and a save over the file will ask first.
    if (const Document& opened = session.current(); !opened.read_in_part.empty())
        session.fail("\n\"" + file + "\" was read only in part: " + opened.read_in_part +
                     ". A SAVE over this file asks first.");
}

// A save over the file a drawing was read from in part would put the drawing
// in place of all the file holds, also what was never read: it goes ahead
// only when the user says so. False (said, and counted as a failure) when not.
bool save_over_part_read(Session& session, Document& document, const std::string& file)
{
    if (document.read_in_part.empty() || !same_file(file, document.file_path)) return true;
    std::string answer;
    try {
        answer =
            session.ask("\n\"" + file + "\" was read only in part (" + document.read_in_part +
                        "). Saving over it replaces what the file holds past that line with this drawing. "
                        "Save over it? [Yes/No] <No>: ");
    } catch (const InputExhausted& exhausted) {
        session.input_ended_while_asking(exhausted.what());
        session.print("\nThe drawing is not saved; \"" + file + "\" is as it was.");
        return false;
    }
    std::string word = unquoted(answer);
    for (char& c : word) c = char(std::toupper((unsigned char)c));
    if (word == "Y" || word == "YES") return true;
    session.fail("\nThe drawing is not saved; \"" + file +
                 "\" is as it was. SAVEAS another file keeps the drawing without touching it.");
    return false;
}

void save_command(const std::string& argument)
{
    Session& session = Session::get();
    if (!session.has_document()) {
        session.fail("\nThere is no drawing to save.");
        return;
    }
    if (!unquoted(argument).empty()) {
        session.fail("\nSAVE writes the drawing to its own file; use SAVEAS path to write it elsewhere.");
        return;
    }
    Document& document = session.current();
    if (document.file_path.empty()) {
        session.fail("\n" + document.drawing.name +
                     " is a new drawing with no file yet: it needs SAVEAS path.");
        return;
    }
    if (!save_over_part_read(session, document, document.file_path)) return;
    std::string error;
    std::vector<std::string> left_out;
    if (!save_drawing_document(document, document.file_path, error, &left_out)) {
        session.fail("\nCannot save: " + error + "; the drawing is not saved.");
        return;
    }
    session.print(left_out_message(left_out) + "\nSaved \"" + document.file_path + "\".");
}

void saveas_command(const std::string& argument)
{
    Session& session = Session::get();
    if (!session.has_document()) {
        session.fail("\nThere is no drawing to save.");
        return;
    }
    std::string given = unquoted(argument);
    if (given.empty()) {
        session.fail("\nSAVEAS needs a file name: SAVEAS path");
        return;
    }
    std::string file = drawing_file_path(given);
    fs::path path(file);
    std::error_code code;
    if (path.filename().empty() || fs::is_directory(path, code)) {
        session.fail("\nCannot save as \"" + given + "\": that is a folder, not a file name.");
        return;
    }
    if (!fs::is_directory(path.parent_path(), code)) {
        session.fail("\nCannot save as \"" + given + "\": the folder " + path.parent_path().string() +
                     " does not exist.");
        return;
    }
    if (fs::exists(path, code) && !file_holds_dxf(file)) {
        session.fail("\nCannot save as \"" + given +
                     "\": that file is no DXF drawing of this host and is not overwritten.");
        return;
    }
    Document& document = session.current();
    if (!save_over_part_read(session, document, file)) return;
    std::string error;
    std::vector<std::string> left_out;
    if (!save_drawing_document(document, file, error, &left_out)) {
        session.fail("\nCannot save as \"" + given + "\": " + error + "; the drawing is not saved.");
        return;
    }
    session.print(left_out_message(left_out));
    document.file_path = file;
    document.read_in_part.clear();  // its file is now one written whole
    document.drawing.prefix = path.parent_path().string() + "/";
    document.drawing.name = path.filename().string();
    session.print("\nSaved as \"" + file + "\".");
}

}  // namespace

// Every session gets these commands.
const bool drawing_file_commands_added = add_session_setup(register_drawing_file_commands);

void register_drawing_file_commands(Session& session)
{
    session.register_script_command(
        "OPEN", open_command, "path: opens a drawing (DXF text) as a new document, which becomes current");
    session.register_script_command("SAVE", save_command, ": writes the current drawing to its file");
    session.register_script_command("SAVEAS", saveas_command,
                                    "path: writes the current drawing under a new name, which it takes");
    register_insert_command(session);
    register_picture_command(session);
}

}  // namespace host
