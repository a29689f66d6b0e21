#include "dxf_support.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "dxf/dxf.h"
#include "dxf/dxf_layout.h"

using host::Entity;
using host::Group;
using host::Point3;

namespace dxftest {

namespace {

Entity make(const std::string& type, std::vector<Group> groups, std::vector<host::XDataApp> xdata = {})
{
    Entity e;
    e.type = type;
    e.groups = std::move(groups);
    e.xdata = std::move(xdata);
    return e;
}

Group T(int code, const std::string& v)
{
    return Group::of_text(code, v);
}
Group R(int code, double v)
{
    return Group::of_real(code, v);
}
Group I(int code, long v)
{
    return Group::of_int(code, v);
}
Group P(int code, double x, double y, double z = 0)
{
    return Group::of_point(code, {x, y, z});
}

void add_polyline(host::Drawing& d, long owner, std::vector<Group> header,
                  const std::vector<std::vector<Group>>& vertices)
{
    long id = d.add_entity(make("POLYLINE", std::move(header)), owner).id;
    std::string layer = d.get(id)->layer();
    for (const auto& v : vertices) {
        Entity vertex = make("VERTEX", v);
        vertex.parent = id;
        d.add_entity(vertex, owner);
    }
    Entity seqend = make("SEQEND", {T(8, layer)});
    seqend.parent = id;
    d.add_entity(seqend, owner);
}

}  // namespace

host::Drawing every_kind_drawing()
{
    host::Drawing d;
    for (const char* app : {"LABEL_BGD", "KOLVA", "RADLISTING", "TARNIC", "TCURVE"})
        d.add_record("APPID", make("APPID", {T(2, app), I(70, 0)}));
    // The settings layer: one application in the single-text form, one in the list form.
    d.add_record("LAYER", make("LAYER", {T(2, "Orvik_survey_temp"), I(70, 0), I(62, 7), T(6, "CONTINUOUS")},
                               {{"LABEL_BGD", {T(1000, "Bgd")}},
                                {"KOLVA",
                                 {T(1002, "{"), T(1000, "INDEX=3"), T(1000, "SCALE=1000.000"),
                                  T(1000, "LAYER=Traverse"), T(1002, "}")}}}));
    d.add_record("LAYER", make("LAYER", {T(2, "TIN"), I(70, 0), I(62, 3), T(6, "DASHED")}));
    d.add_record("LAYER", make("LAYER", {T(2, "Hidden"), I(70, 5), I(62, -2), T(6, "CONTINUOUS")}));
    d.add_record("LTYPE", make("LTYPE", {T(2, "DASHED"), I(70, 0), T(3, "Dashed __ __"), I(72, 65), I(73, 2),
                                         R(40, 0.75), R(49, 0.5), I(74, 0), R(49, -0.25), I(74, 0)}));
    d.add_record("STYLE", make("STYLE", {T(2, "Fixed"), I(70, 0), R(40, 2.0), R(41, 0.8), R(50, 0.0),
                                         I(71, 0), R(42, 2.0), T(3, "txt"), T(4, "")}));

    d.add_entity(make("LINE", {T(8, "0"), P(10, 1.25, -2.5, 0), P(11, 1000.125, 2000.0625, 0)}));
    d.add_entity(make("POINT", {I(67, 0), T(8, "TIN"), P(10, 10, 20, 35.125)},
                      {{"RADLISTING",
                        {R(1040, 12.5), I(1070, -7), P(1010, 1, 2, 3), T(1000, "Lot 7"), I(1071, 123456789),
                         R(1041, 0.1), T(1003, "TIN")}}}));
    d.add_entity(make("CIRCLE", {T(8, "TIN"), P(10, 5, 5, 0), R(40, 2.5), I(62, 1)}));
    d.add_entity(make("ARC", {T(8, "0"), P(10, 5, 5, 0), R(40, 3), R(50, 10 * M_PI / 180), R(51, 100 * M_PI / 180)}));
    d.add_entity(make("TEXT",
                      {I(67, 0), T(8, "0"), T(1, "N 45%%d30'"), P(10, 1, 1, 0), R(40, 2.5), R(41, 1),
                       R(50, 0.3), T(7, "Standard")},
                      {{"TCURVE", {I(1071, 42), T(1000, "two\nlines ^J^ and a tab\t")}}}));
    d.add_entity(make("TEXT", {T(8, "0"), T(1, "Lot 12"), P(10, 0, 0, 0), R(40, 2), R(41, 0.8), I(72, 4),
                               P(11, 30, 40, 0), T(7, "Fixed"), R(50, 1.5), I(73, 0)}));
    d.add_entity(
        make("3DFACE", {T(8, "TIN"), P(10, 0, 0, 1), P(11, 10, 0, 2), P(12, 0, 10, 3), P(13, 0, 10, 3)}));
    d.add_entity(make("SOLID", {T(8, "TIN"), P(10, 20, 0), P(11, 24, 0), P(12, 20, 3), P(13, 24, 3)}));
    d.add_entity(
        make("TRACE", {T(8, "0"), P(10, 30, 0), P(11, 31, 0), P(12, 30, 8), P(13, 31, 8), R(39, 0.5)}));
    d.add_entity(make("LWPOLYLINE",
                      {I(67, 0),
                       T(100, "AcDbEntity"),
                       T(100, "AcDbPolyline"),
                       T(8, "0"),
                       I(90, 3),
                       I(70, 129),
                       R(43, 0.5),
                       R(38, 12.5),
                       R(39, 0),
                       P(10, 0, 0),
                       R(40, 0),
                       R(41, 0),
                       R(42, 0),
                       P(10, 10, 0),
                       R(40, 0.2),
                       R(41, 0.4),
                       R(42, 1),
                       P(10, 10, 10),
                       R(40, 0),
                       R(41, 0),
                       R(42, -0.25)},
                      {{"TCURVE", {T(1000, "R=150"), R(1040, 150)}}}));
    add_polyline(d, 0, {T(8, "TIN"), I(66, 1), I(70, 8)},
                 {{T(8, "TIN"), P(10, 0, 0, 1), I(70, 32)},
                  {T(8, "TIN"), P(10, 5, 5, 2), I(70, 32)},
                  {T(8, "TIN"), P(10, 9, 1, 3), I(70, 32)}});
    add_polyline(d, 0, {T(8, "0"), I(66, 1), I(70, 1)},
                 {{T(8, "0"), P(10, 0, -5), R(42, 0.5)},
                  {T(8, "0"), P(10, 5, -5), R(42, 0)},
                  {T(8, "0"), P(10, 5, -10)}});

    long block = d.add_record("BLOCK", make("BLOCK", {T(2, "SYMBOL1"), I(70, 0), P(10, 1, 1, 0)},
                                            {{"TARNIC", {T(1000, "block record")}}}))
                     .id;
    d.add_entity(make("LINE", {T(8, "0"), P(10, 0, 0), P(11, 2, 2)}, {{"TARNIC", {T(1000, "Tree")}}}), block);
    d.add_entity(make("CIRCLE", {T(8, "TIN"), P(10, 1, 1), R(40, 1)}), block);
    add_polyline(d, block, {T(8, "0"), I(66, 1), I(70, 0)},
                 {{T(8, "0"), P(10, 0, 0)}, {T(8, "0"), P(10, 1, 0)}});
    d.add_entity(
        make("INSERT", {T(8, "TIN"), T(2, "SYMBOL1"), P(10, 50, 60, 0), R(41, 0.5), R(42, 0.5), R(50, 0.7)}));

    d.add_entity(make(
        "HATCH", {I(67, 0), T(100, "AcDbEntity"), T(100, "AcDbHatch"), T(8, "0"), I(62, 1), P(10, 0, 0, 0),
                  P(210, 0, 0, 1), T(2, "SOLID"), I(70, 1), I(71, 0), I(91, 2),
                  // an edge path: a triangle of line edges
                  I(92, 1), I(93, 3), I(72, 1), P(10, 0, 0), P(11, 4, 0), I(72, 1), P(10, 4, 0), P(11, 4, 4),
                  I(72, 1), P(10, 4, 4), P(11, 0, 0), I(97, 0),
                  // a polyline path with a bulge
                  I(92, 2), I(72, 1), I(73, 1), I(93, 3), P(10, 10, 0), R(42, 0), P(10, 14, 0), R(42, 0.5),
                  P(10, 14, 4), R(42, 0), I(97, 0), I(75, 0), I(76, 1), I(98, 1), P(10, 1, 1)}));
    // A hatch list as the road cutting strips give it: colour, line type and pattern
    // groups among the first groups, one polyline path of a chord and two arcs.
    d.add_entity(make("HATCH", {I(67, 0),      T(8, "Cutting"), I(62, 256),     T(6, "bylayer"),
                                R(41, 1.0),    R(47, 0.001),    P(10, 0, 0, 0), P(210, 0, 0, 1),
                                T(2, "SOLID"), I(70, 1),        I(71, 0),       I(91, 1),
                                I(92, 3),      I(72, 1),        I(73, 1),       I(93, 3),
                                P(10, 20, 0),  R(42, 0),        P(10, 30, 0),   R(42, 0.3),
                                P(10, 25, 8),  R(42, 0.2),      I(97, 1),       Group::of_name(330, 4242),
                                I(75, 0),      I(76, 1),        I(98, 1),       P(10, 25, 2)}));
    d.add_record("LAYER", make("LAYER", {T(2, "Cutting"), I(70, 0), I(62, 4), T(6, "CONTINUOUS")}));
    return d;
}

namespace {

std::string describe(const std::vector<Group>& groups)
{
    std::ostringstream out;
    for (const Group& g : groups) {
        out << g.code << "=";
        switch (g.kind()) {
            case host::ValueKind::Text:
                out << g.text;
                break;
            case host::ValueKind::Real:
                out << g.real;
                break;
            case host::ValueKind::Point:
                out << g.point.x << "," << g.point.y << "," << g.point.z;
                break;
            default:
                out << g.integer;
                break;
        }
        out << " ";
    }
    return out.str();
}

// Equal groups, where angles that the file keeps in degrees may differ in
// their last bits after the trip from radians and back.
bool same_groups(const std::string& type, const std::vector<Group>& a, const std::vector<Group>& b)
{
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (host::dxf::is_degree_angle(type, a[i].code) && b[i].code == a[i].code) {
            if (std::fabs(a[i].real - b[i].real) > 1e-13 * std::max(1.0, std::fabs(a[i].real))) return false;
        } else if (!(a[i] == b[i])) {
            return false;
        }
    }
    return true;
}

void expect_same_list(const host::Drawing& written, std::span<const long> a, const host::Drawing& read,
                      std::span<const long> b, const std::string& where)
{
    std::vector<const Entity*> left, right;
    for (long id : a)
        if (const Entity* e = written.get(id); e && !e->erased) left.push_back(e);
    for (long id : b)
        if (const Entity* e = read.get(id); e && !e->erased) right.push_back(e);
    ASSERT_EQ(left.size(), right.size()) << where;
    for (size_t i = 0; i < left.size(); ++i) {
        EXPECT_EQ(left[i]->type, right[i]->type) << where << " #" << i;
        auto normal = host::dxf_normal_groups(*left[i], written);
        EXPECT_TRUE(same_groups(left[i]->type, normal, right[i]->groups))
            << where << " #" << i << " " << left[i]->type << "\n written: " << describe(normal)
            << "\n read:    " << describe(right[i]->groups);
        EXPECT_EQ(left[i]->xdata, right[i]->xdata) << where << " #" << i << " " << left[i]->type;
        bool member = left[i]->type == "VERTEX" || left[i]->type == "SEQEND";
        EXPECT_EQ(member, right[i]->parent != 0) << where << " #" << i;
        if (member && right[i]->parent) {
            EXPECT_EQ(read.get(right[i]->parent)->type, "POLYLINE");
        }
    }
}

}  // namespace

void expect_same_drawing(const host::Drawing& written, const host::Drawing& read)
{
    expect_same_list(written, written.model.ids(), read, read.model.ids(), "model space");
    for (const char* table : {"LAYER", "LTYPE", "STYLE", "APPID", "BLOCK"}) {
        auto w = written.tables.find(table);
        auto r = read.tables.find(table);
        size_t wn = w == written.tables.end() ? 0 : w->second.size();
        size_t rn = r == read.tables.end() ? 0 : r->second.size();
        EXPECT_EQ(wn, rn) << table << " records";
        if (w == written.tables.end()) continue;
        for (long id : w->second) {
            const Entity& record = *written.get(id);
            long found = read.find_record(table, record.text(2));
            ASSERT_NE(found, 0) << table << " " << record.text(2) << " is missing";
            const Entity& back = *read.get(found);
            EXPECT_TRUE(same_groups(table, host::dxf_normal_groups(record, written), back.groups))
                << table << " " << record.text(2);
            EXPECT_EQ(record.xdata, back.xdata) << table << " " << record.text(2);
            if (std::string(table) == "BLOCK") {
                auto members = written.block_entities.find(id);
                auto back_members = read.block_entities.find(found);
                expect_same_list(
                    written, members == written.block_entities.end() ? std::vector<long>{} : members->second,
                    read,
                    back_members == read.block_entities.end() ? std::vector<long>{} : back_members->second,
                    "block " + record.text(2));
            }
        }
    }
}

std::string file_text(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

void write_file(const std::string& path, const std::string& text)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
}

}  // namespace dxftest
