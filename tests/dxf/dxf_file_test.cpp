// The DXF writer and reader: a drawing of every kind saved and read back, the
// same file read by ezdxf and ogrinfo, files of other programs, broken files.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "ads.h"
#include "dxf/dxf.h"
#include "dxf/dxf_commands.h"
#include "dxf/dxf_kept.h"
#include "dxf_support.h"
#include "db/entities.h"
#include "host_fixture.h"
#include "db/sysvars.h"

namespace fs = std::filesystem;
using namespace dxftest;

namespace {

class DxfFile : public HostFixture {
protected:
    std::string path(const std::string& name) const { return home() + "/" + name; }
};

TEST_F(DxfFile, EveryKindComesBackUnchanged)
{
    host::Document& document = session().current();
    document.drawing = every_kind_drawing();
    host::Drawing& d = document.drawing;
    ASSERT_TRUE(host::set_sysvar_string(d, "CLAYER", "TIN"));
    ASSERT_TRUE(host::set_sysvar_string(d, "TEXTSTYLE", "Fixed"));
    ASSERT_TRUE(host::set_sysvar_short(d, "LUPREC", 3));
    ASSERT_TRUE(host::set_sysvar_real(d, "ANGBASE", M_PI / 2));
    ASSERT_TRUE(host::set_sysvar_short(d, "ANGDIR", 1));

    std::string file = path("every_kind.dxf");
    std::string error;
    ASSERT_TRUE(host::save_drawing_document(document, file, error)) << error;
    auto opened = host::open_drawing_document(file, error);
    ASSERT_TRUE(opened) << error;
    expect_same_drawing(d, opened->drawing);

    const host::Drawing& back = opened->drawing;
    EXPECT_EQ(host::sysvar_string(back, "CLAYER"), "TIN");
    EXPECT_EQ(host::sysvar_string(back, "TEXTSTYLE"), "Fixed");
    EXPECT_EQ(host::sysvar_short(back, "LUPREC"), 3);
    EXPECT_DOUBLE_EQ(host::sysvar_real(back, "ANGBASE"), M_PI / 2);
    EXPECT_EQ(host::sysvar_short(back, "ANGDIR"), 1);
    EXPECT_EQ(back.name, "every_kind.dxf");
    EXPECT_EQ(back.prefix, home() + "/");

    // The reals come back bit for bit, and writing what was read gives the same file.
    std::string again = path("again.dxf");
    ASSERT_TRUE(host::save_drawing_document(*opened, again, error)) << error;
    EXPECT_EQ(file_text(file), file_text(again));
}

// Entities made as plug-ins make them (acdbEntMake's rules: layers made on
// demand, justified texts placed, chains and block definitions in steps).
TEST_F(DxfFile, EntitiesMadeThroughTheEntityRulesComeBack)
{
    using host::Group;
    host::Drawing& d = drawing();
    auto make = [&](const std::string& type, std::vector<Group> groups,
                    const std::vector<host::XDataApp>& xdata = {}) {
        ASSERT_EQ(host::entity_make(d, type, std::move(groups), xdata), RTNORM) << type;
    };
    make("APPID", {Group::of_text(2, "PILE_AUTO_DAT")});
    make("LINE",
         {Group::of_text(8, "DATA_PNT"), Group::of_point(10, {1, 2, 0}), Group::of_point(11, {3, 4, 0})});
    make("TEXT",
         {Group::of_int(67, 0), Group::of_text(8, "DATA_ID"), Group::of_text(1, "12"),
          Group::of_point(10, {0, 0, 0}), Group::of_real(40, 1.5), Group::of_real(41, 0.9),
          Group::of_real(50, 1.2), Group::of_int(72, 2), Group::of_point(11, {100.5, 200.25, 0}),
          Group::of_text(7, "Standard")},
         {{"PILE_AUTO_DAT", {Group::of_int(1070, 3), Group::of_text(1000, "P12")}}});
    make("POLYLINE", {Group::of_text(8, "3D"), Group::of_int(66, 1), Group::of_int(70, 8)});
    for (double z : {1.0, 2.0, 3.5})
        make("VERTEX", {Group::of_text(8, "3D"), Group::of_point(10, {z, -z, z}), Group::of_int(70, 32)});
    make("SEQEND", {Group::of_text(8, "3D")});
    make("BLOCK", {Group::of_text(2, "TREE"), Group::of_int(70, 0), Group::of_point(10, {0, 0, 0})});
    make("CIRCLE", {Group::of_text(8, "0"), Group::of_point(10, {0, 0, 0}), Group::of_real(40, 1)});
    make("ENDBLK", {});
    make("INSERT", {Group::of_text(8, "TREES"), Group::of_text(2, "TREE"), Group::of_point(10, {7, 8, 0}),
                    Group::of_real(41, 0.5), Group::of_real(42, 0.5), Group::of_real(50, 0)});
    ASSERT_NE(d.find_record("BLOCK", "TREE"), 0);

    std::string file = path("made.dxf");
    std::string error;
    ASSERT_TRUE(host::save_drawing_document(session().current(), file, error)) << error;
    auto opened = host::open_drawing_document(file, error);
    ASSERT_TRUE(opened) << error;
    expect_same_drawing(d, opened->drawing);
    // The justified text keeps the insertion point the rules placed.
    const host::Entity& text = *opened->drawing.get(opened->drawing.model[1]);
    EXPECT_EQ(text.point(10), d.get(d.model[1])->point(10));
    EXPECT_EQ(text.point(11), (host::Point3{100.5, 200.25, 0}));
    expect_ezdxf_reads(file, {});
    EXPECT_EQ(expect_ogrinfo_reads(file), 4);
}

TEST_F(DxfFile, OutsideReadersReadTheFileClean)
{
    host::Document& document = session().current();
    document.drawing = every_kind_drawing();
    std::string file = path("outside.dxf");
    std::string error;
    ASSERT_TRUE(host::save_drawing_document(document, file, error)) << error;

    std::string texts;
    expect_ezdxf_reads(file, {"Orvik_survey_temp:LABEL_BGD", "Orvik_survey_temp:KOLVA"}, &texts);
    EXPECT_NE(texts.find("Orvik_survey_temp LABEL_BGD Bgd"), std::string::npos) << texts;
    EXPECT_NE(texts.find("Orvik_survey_temp KOLVA LAYER=Traverse"), std::string::npos) << texts;

    // LINE, POINT, CIRCLE, ARC, two TEXTs, 3DFACE, SOLID, TRACE, LWPOLYLINE, two
    // POLYLINEs, two HATCHes, and the INSERT, whose three block entities make one
    // feature.
    EXPECT_EQ(expect_ogrinfo_reads(file), 15);
}

// The failures a check adds, caught and joined, instead of failing the test.
template <class Check>
std::string failures_of(Check check)
{
    ::testing::TestPartResultArray results;
    {
        ::testing::ScopedFakeTestPartResultReporter catcher(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
        check();
    }
    std::string all;
    for (int i = 0; i < results.size(); ++i)
        all += results.GetTestPartResult(i).message() + std::string("\n");
    return all;
}

// The outside readers are real checks: a broken file, or a layer without the
// data asked for, fails them.
TEST_F(DxfFile, OutsideReadersRefuseABrokenFile)
{
    host::Document& document = session().current();
    document.drawing = every_kind_drawing();
    const std::string good = path("good.dxf");
    std::string error;
    ASSERT_TRUE(host::save_drawing_document(document, good, error)) << error;
    const std::string text = file_text(good);
    EXPECT_EQ(failures_of([&] { expect_ezdxf_reads(good, {"Orvik_survey_temp:KOLVA"}); }), "");

    // A block definition without its end: ezdxf drops the block's content and
    // only logs it.
    const std::string no_endblk = path("no_endblk.dxf");
    std::string broken = text;
    size_t at = broken.find("\nENDBLK\n");
    ASSERT_NE(at, std::string::npos);
    broken.replace(at, 8, "\nENDBLX\n");
    write_file(no_endblk, broken);
    EXPECT_NE(failures_of([&] { expect_ezdxf_reads(no_endblk, {}); }).find("Missing required ENDBLK"),
              std::string::npos);
    EXPECT_NE(
        failures_of([&] { expect_ezdxf_reads(good, {"TIN:LABEL_BGD"}); }).find("no LABEL_BGD data on TIN"),
        std::string::npos);

    // The file cut inside an entity.
    const std::string cut = path("cut.dxf");
    write_file(cut, text.substr(0, text.find("\nAcDbLine\n") + 11) + "10\n");
    EXPECT_NE(failures_of([&] { expect_ogrinfo_reads(cut); }).find("ERROR"), std::string::npos);
    EXPECT_NE(failures_of([&] { expect_ezdxf_reads(cut, {}); }).find("ezdxf on"), std::string::npos);
}

// A file ezdxf writes in a later version: what the host keeps comes in.
TEST_F(DxfFile, AFileOfEzdxfOpens)
{
    std::string python = ezdxf_python();
    ASSERT_FALSE(python.empty()) << "python3-ezdxf is needed (.ci/install-deps installs it)";
    std::string file = path("ezdxf.dxf");
    std::string script =
        "import sys, ezdxf\n"
        "doc = ezdxf.new(\"R2013\")\n"
        "doc.appids.new(\"KOLVA\")\n"
        "layer = doc.layers.add(\"Survey\", color=3)\n"
        "layer.set_xdata(\"KOLVA\", [(1000, \"SCALE=500\")])\n"
        "msp = doc.modelspace()\n"
        "msp.add_line((0, 0), (10, 5), dxfattribs={\"layer\": \"Survey\"})\n"
        "msp.add_lwpolyline([(0, 0, 0, 0, 0.5), (10, 0, 0, 0, 0), (10, 10, 0, 0, 0)], format=\"xyseb\", "
        "close=True)\n"
        "msp.add_text(\"Lot 9\", dxfattribs={\"height\": 2.5, \"insert\": (1, 2)})\n"
        "msp.add_mtext(\"not kept\")\n"
        "doc.blocks.new(\"ARROW\").add_line((0, 0), (1, 0))\n"
        "msp.add_blockref(\"ARROW\", (5, 5))\n"
        "doc.saveas(sys.argv[1])\n";
    std::string output;
    ASSERT_EQ(run_tool(python + " -c '" + script + "' '" + file + "'", output), 0) << output;

    std::string transcript = run("OPEN " + file);
    EXPECT_NE(transcript.find("Kept as the file has them for saving, unseen by commands: 1 MTEXT, 1 layout."),
              std::string::npos)
        << transcript;
    ASSERT_EQ(session().documents().size(), 2u);
    const host::Drawing& d = drawing();
    ASSERT_EQ(d.model.size(), 4u);
    const host::Entity& line = *d.get(d.model[0]);
    EXPECT_EQ(line.layer(), "Survey");
    EXPECT_EQ(line.point(11), (host::Point3{10, 5, 0}));
    const host::Entity& polyline = *d.get(d.model[1]);
    EXPECT_EQ(polyline.type, "LWPOLYLINE");
    EXPECT_EQ(polyline.integer(90), 3);
    EXPECT_EQ(polyline.integer(70) & 1, 1);
    EXPECT_EQ(polyline.real(42), 0.5);
    EXPECT_EQ(d.get(d.model[2])->text(1), "Lot 9");
    EXPECT_EQ(d.get(d.model[3])->text(2), "ARROW");
    long survey = d.find_record("LAYER", "Survey");
    ASSERT_NE(survey, 0);
    EXPECT_EQ(d.get(survey)->integer(62), 3);
    const host::XDataApp* settings = d.get(survey)->xdata_of("KOLVA");
    ASSERT_NE(settings, nullptr);
    ASSERT_EQ(settings->items.size(), 1u);
    EXPECT_EQ(settings->items[0].text, "SCALE=500");
    EXPECT_EQ(d.block_entities.at(d.find_record("BLOCK", "ARROW")).size(), 1u);
}

// The block drawings the product installs, and a picture of every kind.
TEST_F(DxfFile, InstalledBlockDrawingsReadClean)
{
    for (const char* name : {"Grid_Arrow", "Pile_Arrow"}) {
        std::string installed = std::string(ORVIK_INSTALL_TREE) + "/drawing/" + name + ".dwg";
        auto read = host::dxf_read_file(installed);
        ASSERT_TRUE(read.drawing) << name << ": " << read.error;
        EXPECT_TRUE(read.skipped.empty());
        // The outside readers go by the extension.
        std::string copy = path(std::string(name) + ".dxf");
        fs::copy_file(installed, copy);
        expect_ezdxf_reads(copy, {});
        EXPECT_EQ(expect_ogrinfo_reads(copy), 3) << name;
    }
    session().current().drawing = every_kind_drawing();
    std::string picture = path("every_kind.png");
    std::string transcript = run("PICTURE " + picture + " -5,-15 60,65");
    if (host::picture_supported()) {
        EXPECT_NE(transcript.find("Picture written"), std::string::npos) << transcript;
    }
}

// A file as another program writes it: an older version without handles or
// subclasses in places, entities the host does not keep, reactors, attributes,
// paper space, a layer the table lacks and a reference to a missing block.
TEST_F(DxfFile, FilesOfOtherProgramsKeepWhatTheHostKnows)
{
    std::string text =
        "999\nfrom another program\n"
        "0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n9\n$CLAYER\n8\nWALLS\n9\n$LUPREC\n70\n2\n9\n$"
        "EXTMIN\n10\n0.0\n"
        "20\n0.0\n30\n0.0\n0\nENDSEC\n"
        "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1\n0\nLAYER\n2\nWALLS\n70\n0\n62\n3\n6\nCONTINUOUS\n"
        "0\nENDTAB\n0\nTABLE\n2\nVIEW\n70\n0\n0\nENDTAB\n0\nENDSEC\n"
        "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\nDOOR\n70\n2\n10\n1.0\n20\n2.0\n30\n0.0\n3\nDOOR\n"
        "0\nATTDEF\n8\n0\n10\n0\n20\n0\n30\n0\n40\n1\n1\n\n3\nNo\n2\nNO\n70\n0\n"
        "0\nLINE\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n0\n31\n0\n0\nENDBLK\n8\n0\n0\nENDSEC\n"
        "0\nSECTION\n2\nENTITIES\n"
        "0\nLINE\n5\n1F\n330\n1A\n100\nAcDbEntity\n8\nWALLS\n100\nAcDbLine\n10\n0.0\n20\n0.0\n30\n0.0\n11\n5."
        "0\n"
        "21\n0.0\n31\n0.0\n"
        "0\nMTEXT\n8\n0\n10\n1\n20\n1\n30\n0\n40\n2\n1\nhello\n"
        "0\nINSERT\n8\n0\n66\n1\n2\nDOOR\n10\n3\n20\n3\n30\n0\n"
        "0\nATTRIB\n8\n0\n10\n3\n20\n3\n30\n0\n40\n1\n1\nA\n2\nNO\n70\n0\n0\nSEQEND\n8\n0\n"
        "0\nCIRCLE\n5\n2A\n102\n{ACAD_REACTORS\n330\n99\n102\n}\n8\nNOLAYER\n10\n2\n20\n2\n30\n0\n40\n1\n"
        "0\nLINE\n67\n1\n8\n0\n10\n0\n20\n0\n30\n0\n11\n1\n21\n1\n31\n0\n"
        "0\nINSERT\n8\n0\n2\nMISSING\n10\n0\n20\n0\n30\n0\n"
        // a chain without its SEQEND, ended by the next entity
        "0\nPOLYLINE\n8\n0\n66\n1\n10\n0\n20\n0\n30\n0\n0\nVERTEX\n8\n0\n10\n1\n20\n1\n30\n0\n"
        "0\nVERTEX\n8\n0\n10\n2\n20\n1\n30\n0\n0\nPOINT\n8\n0\n10\n9\n20\n9\n30\n0\n"
        "0\nENDSEC\n0\nSECTION\n2\nOBJECTS\n0\nDICTIONARY\n5\nC\n0\nENDSEC\n0\nEOF\n";
    std::string file = path("other.dxf");
    write_file(file, text);
    std::string error;
    std::vector<std::string> skipped;
    auto opened = host::open_drawing_document(file, error, &skipped);
    ASSERT_TRUE(opened) << error;
    const host::Drawing& d = opened->drawing;
    ASSERT_EQ(d.model.size(), 8u);
    std::string types;
    for (long id : d.model) types += d.get(id)->type + " ";
    EXPECT_EQ(types, "LINE INSERT CIRCLE POLYLINE VERTEX VERTEX SEQEND POINT ");
    EXPECT_EQ(d.get(d.model[6])->parent, d.model[3]);
    const host::Entity& line = *d.get(d.model[0]);
    EXPECT_EQ(line.type, "LINE");
    EXPECT_EQ(line.layer(), "WALLS");
    EXPECT_EQ(line.point(11), (host::Point3{5, 0, 0}));
    const host::Entity& insert = *d.get(d.model[1]);
    EXPECT_EQ(insert.type, "INSERT");
    EXPECT_EQ(insert.find(66), nullptr) << "no attributes follow in the host";
    const host::Entity& circle = *d.get(d.model[2]);
    EXPECT_EQ(circle.type, "CIRCLE");
    for (const host::Group& g : circle.groups) EXPECT_NE(g.code, 330) << "reactors are the file's structure";
    EXPECT_NE(d.find_record("LAYER", "NOLAYER"), 0) << "a layer an entity names is made";

    long door = d.find_record("BLOCK", "DOOR");
    ASSERT_NE(door, 0);
    EXPECT_EQ(d.get(door)->point(10), (host::Point3{1, 2, 0}));
    EXPECT_EQ(d.get(door)->integer(70), 2);
    ASSERT_EQ(d.block_entities.at(door).size(), 1u);
    EXPECT_EQ(d.get(d.block_entities.at(door)[0])->type, "LINE");

    EXPECT_EQ(host::sysvar_string(d, "CLAYER"), "WALLS");
    EXPECT_EQ(host::sysvar_short(d, "LUPREC"), 2);
    // What the host does not model is kept aside for saving; only the INSERT
    // of a missing block is left out.
    std::string all;
    for (const auto& s : skipped) all += s + ";";
    EXPECT_EQ(all, "1 INSERT of a block the file lacks;");
    ASSERT_TRUE(opened->file_kept);
    const std::map<std::string, long> kept = {{"ATTDEF", 1}, {"ATTRIB", 1}, {"MTEXT", 1}, {"paper space entity", 1}};
    EXPECT_EQ(opened->file_kept->counts, kept);

    // Saved again (as AC1015), another program reads it clean, with what was kept.
    const std::string saved = path("other_saved.dxf");
    ASSERT_TRUE(host::save_drawing_document(*opened, saved, error)) << error;
    expect_ezdxf_reads(saved, {});
    const std::string written = file_text(saved);
    for (const char* kept_text : {"\nMTEXT\n", "\nATTDEF\n", "\nATTRIB\n", "\nhello\n"})
        EXPECT_NE(written.find(kept_text), std::string::npos) << kept_text;
}

// A drawing opened from a file and walked as a labelling command walks it:
// acdbEntNext from the start, a TEXT made at every POINT met. The walk sees
// every entity once, in order, the new texts last.
TEST_F(DxfFile, AWalkThatMakesEntitiesSeesEachOnce)
{
    host::Drawing d;
    for (int i = 0; i < 300; ++i) {
        host::Entity e;
        e.type = i % 3 == 0 ? "POINT" : "LINE";
        e.groups = {host::Group::of_text(8, "0"), host::Group::of_point(10, {double(i), 0, 0})};
        if (e.type == "LINE") e.groups.push_back(host::Group::of_point(11, {double(i), 1, 0}));
        d.add_entity(e);
    }
    const std::string file = path("walk.dxf");
    std::string error;
    ASSERT_TRUE(host::dxf_save(d, {}, file, error)) << error;
    run("OPEN " + file);
    ASSERT_EQ(drawing().model.size(), 300u);

    std::vector<double> seen;  // x of each entity met; texts as -x
    ads_name entity;
    for (int status = acdbEntNext(nullptr, entity); status == RTNORM; status = acdbEntNext(entity, entity)) {
        resbuf* list = acdbEntGet(entity);
        ASSERT_NE(list, nullptr);
        std::string type;
        ads_point at = {0, 0, 0};
        for (const resbuf* node = list; node; node = node->rbnext) {
            if (node->restype == 0) type = node->resval.rstring;
            if (node->restype == 10) ads_point_set(node->resval.rpoint, at);
        }
        acutRelRb(list);
        seen.push_back(type == "TEXT" ? -at[0] : at[0]);
        if (type != "POINT") continue;
        resbuf* text = acutBuildList(RTDXF0, "TEXT", 8, "LABELS", 1, "P", 10, at, 40, 1.0, 0);
        EXPECT_EQ(acdbEntMake(text), RTNORM);
        acutRelRb(text);
    }
    std::vector<double> expected;
    for (int i = 0; i < 300; ++i) expected.push_back(i);
    for (int i = 0; i < 300; i += 3) expected.push_back(-i);
    EXPECT_EQ(seen, expected);
}

// OPEN of a file that cannot be read says why and leaves the session as it was.
TEST_F(DxfFile, OpenOfAnUnreadableFileChangesNothing)
{
    struct Case {
        const char* name;
        const char* content;  // nullptr: no such file
        const char* reason;
    };
    const Case cases[] = {
        {"missing.dxf", nullptr, "no such file"},
        {"notes.dxf", "hello world\nthis is no drawing\n", "it is not a DXF file"},
        {"empty.dxf", "", "it is not a DXF file"},
        {"binary.dxf", "AutoCAD Binary DXF\r\n\x1a", "binary DXF"},
        {"truncated.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\n", "the file ends after a group code"},
        {"badnumber.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n10\nabc\n0\nENDSEC\n0\nEOF\n",
         "line 10: \"abc\" is no number"},
        {"badcode.dxf", "0\nSECTION\n2\nENTITIES\nLINE\n0\n", "a group code was expected"},
        {"plan.dwg", "AC1015\x01\x02binary drawing", "it is not a DXF file"},
    };
    host::Entity keep;
    keep.type = "LINE";
    keep.groups = {host::Group::of_text(8, "0"), host::Group::of_point(10, {}),
                   host::Group::of_point(11, {1, 1, 0})};
    drawing().add_entity(keep);
    host::Document* before = &session().current();
    for (const Case& c : cases) {
        std::string file = path(c.name);
        if (c.content) write_file(file, c.content);
        std::string transcript = run("OPEN " + file);
        EXPECT_NE(transcript.find("Cannot open \"" + file + "\": "), std::string::npos)
            << c.name << transcript;
        EXPECT_NE(transcript.find(c.reason), std::string::npos) << c.name << transcript;
        EXPECT_EQ(session().documents().size(), 1u) << c.name;
        EXPECT_EQ(&session().current(), before) << c.name;
        EXPECT_EQ(drawing().model.size(), 1u) << c.name;
        if (c.content) {
            EXPECT_EQ(file_text(file), std::string(c.content)) << c.name << " was changed on disk";
        }
    }
}

}  // namespace
