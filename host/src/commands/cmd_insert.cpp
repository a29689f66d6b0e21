// The host command "Insert" for acedCommand: a block drawing file, an insertion
// point, then the scale and rotation answers.
//
// The block is named after the file (no folder, no extension). When the BLOCK
// table has it already, the file is not read again. Otherwise the file (DXF
// text; a ".dwg" name resolves to the DXF beside it) is read and its model
// space becomes the block's entities, its $INSBASE the block's base point.
//
// The answers after the point are numbers; an empty answer takes the default:
//   none                 X = 1, Y = X, rotation 0
//   X                    Y = X, rotation 0
//   X, Y                 rotation 0
//   X, Y, rotation
//   X, Y, Z, rotation    the form of three scale factors
// so the callers' "1", "1", "1", "0" insert at scale 1 and rotation 0 and no
// answer is left over for the command line. The rotation is read in the
// drawing's angle units (AUNITS, ANGBASE, ANGDIR).
//
// The reference goes on CLAYER and INSNAME is set to the block's name. A file
// that cannot be read, or answers that are not what the prompts take, end the
// command with a message and RTERROR, and nothing is made.
#include <cmath>
#include <filesystem>
#include <map>

#include "ads.h"
#include "dxf/dxf_commands.h"
#include "db/entities.h"
#include "session/input.h"
#include "db/sysvars.h"

namespace host {

namespace {

namespace fs = std::filesystem;

constexpr double kPi = 3.14159265358979323846;

std::string block_name_of(const std::string& file)
{
    std::string path = file;
    for (char& c : path)
        if (c == '\\') c = '/';
    return fs::path(path).stem().string();
}

// An angle answer in the drawing's units, as radians counter-clockwise from east.
double rotation_radians(const Drawing& drawing, double answer)
{
    double radians = answer * kPi / 180.0;
    switch (sysvar_short(drawing, "AUNITS", 0)) {
        case 2:
            radians = answer * kPi / 200.0;
            break;  // grads
        case 3:
            radians = answer;
            break;  // radians
        default:
            break;  // degrees in their several notations
    }
    if (sysvar_short(drawing, "ANGDIR", 0) == 1) radians = -radians;
    double turned = sysvar_real(drawing, "ANGBASE", 0.0) + radians;
    turned = std::fmod(turned, 2 * kPi);
    if (turned < 0) turned += 2 * kPi;
    return turned;
}

// Copies the table record `name` of the source table into the drawing when it lacks it.
void copy_record(Drawing& drawing, const Drawing& source, const std::string& table, const std::string& name)
{
    if (name.empty() || drawing.find_record(table, name)) return;
    long id = source.find_record(table, name);
    const Entity* record = id ? source.get(id) : nullptr;
    Entity copy;
    copy.type = table;
    if (record) {
        copy.groups = record->groups;
        copy.xdata = record->xdata;
    } else {
        copy.groups = {Group::of_text(2, name)};
    }
    drawing.add_record(table, copy);
}

long define_block(Drawing& drawing, const std::string& name, const Drawing& source, const Point3& base,
                  std::span<const long> members, int depth);

// The records and nested blocks that the entities need.
void copy_needs(Drawing& drawing, const Drawing& source, std::span<const long> members, int depth)
{
    for (long id : members) {
        const Entity* e = source.get(id);
        if (!e || e->erased) continue;
        copy_record(drawing, source, "LAYER", e->layer());
        long layer = source.find_record("LAYER", e->layer());
        if (layer) copy_record(drawing, source, "LTYPE", source.get(layer)->text(6));
        if (e->find(6)) copy_record(drawing, source, "LTYPE", e->text(6));
        if (e->type == "TEXT" && e->find(7)) copy_record(drawing, source, "STYLE", e->text(7));
        for (const XDataApp& app : e->xdata) copy_record(drawing, source, "APPID", app.app);
        if (e->type == "INSERT" && !drawing.find_record("BLOCK", e->text(2)) && depth < 16) {
            long nested = source.find_record("BLOCK", e->text(2));
            if (!nested) continue;
            auto found = source.block_entities.find(nested);
            std::vector<long> nested_members =
                found == source.block_entities.end() ? std::vector<long>{} : found->second;
            define_block(drawing, source.get(nested)->text(2), source, source.get(nested)->point(10),
                         nested_members, depth + 1);
        }
    }
}

long define_block(Drawing& drawing, const std::string& name, const Drawing& source, const Point3& base,
                  std::span<const long> members, int depth)
{
    copy_needs(drawing, source, members, depth);
    Entity record;
    record.type = "BLOCK";
    record.groups = {Group::of_text(2, name), Group::of_int(70, 0), Group::of_point(10, base)};
    long block = drawing.add_record("BLOCK", record).id;
    long polyline = 0;
    for (long id : members) {
        const Entity* e = source.get(id);
        if (!e) continue;
        bool member = e->type == "VERTEX" || e->type == "SEQEND";
        if (member && !polyline) continue;
        if (!member && e->erased) continue;
        Entity copy;
        copy.type = e->type;
        copy.groups = e->groups;
        copy.xdata = e->xdata;
        copy.parent = member ? polyline : 0;
        long made = drawing.add_entity(copy, block).id;
        if (e->type == "POLYLINE") polyline = made;
        if (e->type == "SEQEND") polyline = 0;
    }
    return block;
}

// The answer as a number; nullopt for an empty answer (the default).
bool read_number(const std::string& answer, std::optional<double>& value)
{
    if (answer.empty()) {
        value.reset();
        return true;
    }
    value = parse_real_text(answer);
    return value.has_value();
}

}  // namespace

long define_block_from_drawing(Drawing& drawing, const std::string& name, const Drawing& source,
                               const Point3& base)
{
    return define_block(drawing, name, source, base, source.model, 0);
}

int insert_command(CommandArgs& args)
{
    Session& session = Session::get();
    CommandArgs answers;
    answers.swap(args);  // every answer of the call is the command's
    if (!session.has_document()) {
        session.print("\nInsert: there is no drawing.");
        return RTERROR;
    }
    Document& document = session.current();
    Drawing& drawing = document.drawing;
    if (answers.empty() || answers[0].empty()) {
        session.print("\nInsert: a block drawing file is needed.");
        return RTERROR;
    }
    const std::string& file = answers[0];
    std::string name = block_name_of(file);
    if (name.empty()) {
        session.print("\nInsert: \"" + file + "\" names no file.");
        return RTERROR;
    }

    Point3 point;
    if (answers.size() < 2 || !parse_point_text(answers[1], point)) {
        session.print("\nInsert: an insertion point \"x,y\" is needed" +
                      (answers.size() < 2 ? std::string() : ", not \"" + answers[1] + "\"") +
                      ". Nothing was inserted.");
        return RTERROR;
    }
    std::vector<std::optional<double>> numbers;
    for (size_t i = 2; i < answers.size() && numbers.size() < 4; ++i) {
        std::optional<double> value;
        if (!read_number(answers[i], value)) {
            session.print("\nInsert: \"" + answers[i] + "\" is no number. Nothing was inserted.");
            return RTERROR;
        }
        numbers.push_back(value);
    }
    if (answers.size() > 6) {
        session.print("\nInsert: too many answers after the rotation. Nothing was inserted.");
        return RTERROR;
    }
    auto number = [&](size_t i, double absent) {
        return i < numbers.size() && numbers[i] ? *numbers[i] : absent;
    };
    double x = number(0, 1.0);
    double y = number(1, x);
    double z = numbers.size() == 4 ? number(2, x) : x;
    double rotation = number(numbers.size() == 4 ? 3 : 2, 0.0);
    if (x == 0 || y == 0 || z == 0) {
        session.print("\nInsert: a scale factor of 0 is not allowed. Nothing was inserted.");
        return RTERROR;
    }

    long block = drawing.find_record("BLOCK", name);
    if (!block) {
        std::string path = resolve_drawing_file(drawing_file_path(file));
        if (fs::path(path).extension().empty() && !fs::exists(path))
            path = resolve_drawing_file(path + ".dwg");
        DxfReadResult source = dxf_read_file(path);
        if (!source.drawing) {
            session.print("\nInsert: cannot read the block drawing \"" + file + "\": " + source.error +
                          ". Nothing was inserted.");
            return RTERROR;
        }
        Point3 base;
        for (const auto& variable : source.header)
            if (variable.name == "INSBASE" && variable.value.kind() == ValueKind::Point)
                base = variable.value.point;
        block = define_block_from_drawing(drawing, name, *source.drawing, base);
    }

    std::string layer = sysvar_string(drawing, "CLAYER", "0");
    Entity insert;
    insert.type = "INSERT";
    insert.groups = {Group::of_text(8, layer),
                     Group::of_text(2, drawing.get(block)->text(2, name)),
                     Group::of_point(10, point),
                     Group::of_real(41, x),
                     Group::of_real(42, y),
                     Group::of_real(43, z),
                     Group::of_real(50, rotation_radians(drawing, rotation))};
    drawing.add_entity(insert, 0);
    set_sysvar_string(drawing, "INSNAME", drawing.get(block)->text(2, name));
    document.modified = true;
    return RTNORM;
}

void register_insert_command(Session& session)
{
    session.register_command("Insert", insert_command);
}

}  // namespace host
