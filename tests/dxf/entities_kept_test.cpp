// Entities and objects of other programs' drawings come back from OPEN and SAVE
// group by group: associative hatches with their links to their boundaries,
// multiple inserts, the layer and line-type scale of a block's BLOCK and
// ENDBLK; a HATCH whose counts say more than it holds is written with what it
// holds and named; and a damaged file (sections and tables without their heads
// or ends, entities outside their blocks, a lost block record, the root
// dictionary out of place) keeps its paper-space block, viewports and objects.
// ezdxf writes the drawings, the cadhost program opens and saves them, and the
// project's comparison helper (dxf_groups.py) compares the files.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ads.h"
#include "dxf_support.h"
#include "host_fixture.h"

using namespace dxftest;

namespace {

const std::string kProgram = std::string(ORVIK_BINARY_DIR) + "/bin/cadhost";
const std::string kHelper = std::string(ORVIK_SOURCE_DIR) + "/tests/dxf/dxf_groups.py";

std::string quoted(const std::string& text)
{
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class EntitiesKept : public HostFixture {
protected:
    // OPEN and SAVEAS through the program, as a user's script does; what it printed.
    std::string open_and_save(const std::string& input, const std::string& output)
    {
        const std::string script = home() + "/open_save.scr";
        write_file(script, "OPEN " + input + "\nSAVEAS " + output + "\n");
        std::string printed;
        EXPECT_EQ(run_tool(kProgram + " --home " + quoted(home()) + " --script " + quoted(script), printed),
                  0)
            << printed;
        return printed;
    }

    // The helper's differences between the files, one a line, but those that
    // begin as one of the expected ones.
    std::string differences(const std::string& before, const std::string& after,
                            const std::vector<std::string>& expected = {})
    {
        std::string output;
        const int status = run_tool(
            "/usr/bin/python3 " + quoted(kHelper) + " " + quoted(before) + " " + quoted(after), output);
        EXPECT_NE(status, 2) << output;
        std::istringstream lines(output);
        std::string line, kept;
        while (std::getline(lines, line)) {
            bool skipped = false;
            for (const std::string& start : expected) skipped = skipped || line.rfind(start, 0) == 0;
            if (!skipped) kept += line + "\n";
        }
        return kept;
    }

    std::string ezdxf(const char* script, const std::vector<std::string>& args)
    {
        std::string output;
        EXPECT_EQ(outside::run_ezdxf_script(script, args, output), 0) << output;
        return output;
    }
};

// Writes the drawing of associative hatches, multiple inserts and a block
// whose BLOCK and ENDBLK have a layer and line-type scale of their own
// (argv: file, version, angle base, angle direction).
const char* const kKindsScript = R"(
import sys, ezdxf
path, version = sys.argv[1], sys.argv[2]
doc = ezdxf.new(version)
doc.header["$ANGBASE"] = float(sys.argv[3])
doc.header["$ANGDIR"] = int(sys.argv[4])
doc.layers.add("BLK", color=2)
doc.layers.add("HATCHES", color=3)
msp = doc.modelspace()
square = msp.add_lwpolyline([(0, 0), (10, 0), (10, 10), (0, 10)], close=True)
island = msp.add_circle((5, 5), 2)
hatch = msp.add_hatch(color=1, dxfattribs={"layer": "HATCHES"})
outer = hatch.paths.add_polyline_path([(0, 0), (10, 0), (10, 10), (0, 10)], is_closed=True)
inner = hatch.paths.add_edge_path()
inner.add_arc((5, 5), 2, 0, 360)
hatch.associate(outer, [square])
hatch.associate(inner, [island])
cell = doc.blocks.new("CELL", dxfattribs={"layer": "BLK"})
cell.add_line((0, 0), (1, 1))
frame = cell.add_lwpolyline([(0, 0), (1, 0), (1, 1)], close=True)
filled = cell.add_hatch(color=5)
filled.associate(filled.paths.add_polyline_path([(0, 0), (1, 0), (1, 1)], is_closed=True), [frame])
grid = msp.add_blockref("CELL", (20, 20), dxfattribs={"rotation": 30})
grid.grid(size=(3, 4), spacing=(2, 2))
msp.add_blockref("CELL", (40, 40))
msp.add_blockref("CELL", (50, 50))
msp.add_blockref("CELL", (60, 60)).grid(size=(2, 2), spacing=(1, 1))
doc.saveas(path)
# What ezdxf cannot say: the BLOCK's line-type scale, the ENDBLK's layer, and a
# multiple insert of one row and column, as other programs write them.
text = open(path).read()
text = text.replace("100\nAcDbEntity\n  8\nBLK\n100\nAcDbBlockBegin\n",
                    "100\nAcDbEntity\n  8\nBLK\n 48\n2.5\n100\nAcDbBlockBegin\n", 1)
begin = text.index("AcDbBlockBegin\n  2\nCELL\n")
end = text.index("100\nAcDbEntity\n  8\n0\n100\nAcDbBlockEnd", begin)
text = text[:end] + "100\nAcDbEntity\n  8\nBLK\n 48\n2.5\n100\nAcDbBlockEnd" + \
       text[end + len("100\nAcDbEntity\n  8\n0\n100\nAcDbBlockEnd"):]
last = text.rindex("AcDbBlockReference\n  2\nCELL\n 10\n50.0")
text = text[:last] + "AcDbMInsertBlock" + text[last + len("AcDbBlockReference"):]
# ... and one of two rows and columns that its file calls a plain reference.
last = text.rindex("AcDbMInsertBlock\n  2\nCELL\n 10\n60.0")
text = text[:last] + "AcDbBlockReference" + text[last + len("AcDbMInsertBlock"):]
assert " 48\n2.5\n100\nAcDbBlockBegin" in text and " 48\n2.5\n100\nAcDbBlockEnd" in text
open(path, "w").write(text)
)";

// What ezdxf reads of the saved file: each hatch's association and its
// boundary objects' types, and each insert's subclass count.
const char* const kKindsRead = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
for layout in (doc.modelspace(), doc.blocks.get("CELL")):
    for hatch in layout.query("HATCH"):
        links = [[doc.entitydb[h].dxftype() for h in path.source_boundary_objects] for path in hatch.paths]
        print("HATCH", hatch.dxf.associative, links)
for insert in doc.modelspace().query("INSERT"):
    print("INSERT", insert.dxf.column_count, insert.dxf.row_count, insert.mcount)
print("audit", [e.message for e in doc.audit().errors])
)";

TEST_F(EntitiesKept, HatchLinksMultipleInsertsAndBlockEntitiesComeBackGroupByGroup)
{
    struct Case {
        const char* version;
        const char* angle_base;
        const char* angle_direction;
    };
    // A default drawing, and one set to survey angles (north, clockwise).
    for (const Case& c : {Case{"R2000", "0", "0"}, Case{"R2018", "90", "1"}}) {
        SCOPED_TRACE(c.version);
        const std::string input = home() + "/kinds_" + c.version + ".dxf";
        const std::string output = home() + "/kinds_" + c.version + "_saved.dxf";
        ezdxf(kKindsScript, {input, c.version, c.angle_base, c.angle_direction});
        open_and_save(input, output);
        EXPECT_EQ(differences(input, output), "");
        EXPECT_EQ(ezdxf(kKindsRead, {output}),
                  "HATCH 1 [['LWPOLYLINE'], ['CIRCLE']]\n"
                  "HATCH 1 [['LWPOLYLINE']]\n"
                  "INSERT 4 3 12\n"
                  "INSERT 1 1 1\n"
                  "INSERT 1 1 1\n"
                  "INSERT 2 2 4\n"
                  "audit []\n");
        // A second round gives the same file.
        const std::string again = home() + "/kinds_again.dxf";
        open_and_save(output, again);
        EXPECT_EQ(file_text(again), file_text(output));
    }
}

// A file before AC1015 is saved as AC1015 with the model and paper space blocks
// of its own, which keep their handles and extended data, and the paper space
// entities (the format wants 67 on the paper space block).
TEST_F(EntitiesKept, TheLayoutBlocksOfAnOldFileKeepTheirHandlesAndData)
{
    const char* write = R"(
import sys, ezdxf
doc = ezdxf.new("R12")
doc.blocks.new("MARK").add_circle((0, 0), 1)
doc.modelspace().add_blockref("MARK", (5, 5))
doc.layout("Layout1").add_text("Sheet", dxfattribs={"insert": (1, 1)})
doc.saveas(sys.argv[1])
)";
    const std::string input = home() + "/old.dxf", output = home() + "/old_saved.dxf";
    ezdxf(write, {input});
    open_and_save(input, output);
    EXPECT_EQ(differences(input, output,
                          {"BLOCKS '*PAPER_SPACE' BLOCK: group 67 '1' added",
                           "BLOCKS '*PAPER_SPACE' ENDBLK: group 67 '1' added"}),
              "");
}

// What model space's associative hatch and its boundaries name of each other
// in a saved file: each boundary's reactors and the hatch's links, by type.
const char* const kLinksRead = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
kind = lambda h: doc.entitydb[h].dxftype() if h in doc.entitydb else "missing"
for e in doc.modelspace().query("LWPOLYLINE CIRCLE HATCH"):
    if e.dxftype() == "HATCH": print("HATCH", [[kind(h) for h in p.source_boundary_objects] for p in e.paths])
    else: print(e.dxftype(), [kind(h) for h in e.get_reactors()])
print("audit", [e.message for e in doc.audit().errors])
)";

// An erased boundary takes its link out of the hatch, an erased hatch its
// reactor out of its boundaries; what is still there keeps its links.
TEST_F(EntitiesKept, LinksBetweenHatchesAndBoundariesNameOnlyWhatIsStillThere)
{
    struct Case {
        const char* erased;
        const char* read;
    };
    const Case cases[] = {
        {"", "LWPOLYLINE ['HATCH']\nCIRCLE ['HATCH']\nHATCH [['LWPOLYLINE'], ['CIRCLE']]\naudit []\n"},
        {"CIRCLE", "LWPOLYLINE ['HATCH']\nHATCH [['LWPOLYLINE'], []]\naudit []\n"},
        {"HATCH", "LWPOLYLINE []\nCIRCLE []\naudit []\n"}};
    const std::string input = home() + "/erased.dxf";
    ezdxf(kKindsScript, {input, "R2018", "0", "0"});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.erased);
        const std::string output = home() + "/erased_" + c.erased + ".dxf";
        run("OPEN " + input);
        if (*c.erased) {
            ads_name entity;
            int status = acdbEntNext(nullptr, entity);
            while (status == RTNORM && session().current().drawing.get(entity[0])->type != c.erased)
                status = acdbEntNext(entity, entity);
            ASSERT_EQ(status, RTNORM);
            ASSERT_EQ(acdbEntDel(entity), RTNORM);
        }
        run("SAVEAS " + output);
        EXPECT_EQ(ezdxf(kLinksRead, {output}), c.read);
    }
}

// A HATCH that declares more paths, vertices or edges than it holds
// (argv: file, which count is made wrong).
const char* const kCountsScript = R"(
import sys, ezdxf
path, wrong = sys.argv[1], sys.argv[2]
doc = ezdxf.new("R2010")
hatch = doc.modelspace().add_hatch(color=2)
hatch.paths.add_polyline_path([(0, 0), (8, 0), (8, 6), (0, 6)], is_closed=True)
edges = hatch.paths.add_edge_path()
edges.add_line((2, 2), (4, 2))
edges.add_line((4, 2), (4, 4))
edges.add_line((4, 4), (2, 2))
doc.saveas(path)
text = open(path).read()
replaced = {"paths": (" 91\n2\n", " 91\n3\n"),
            "vertices": (" 93\n4\n", " 93\n5\n"),
            "edges": (" 93\n3\n", " 93\n7\n")}[wrong]
assert replaced[0] in text
open(path, "w").write(text.replace(replaced[0], replaced[1], 1))
)";

const char* const kCountsRead = R"(
import sys, ezdxf
hatch = ezdxf.readfile(sys.argv[1]).modelspace().query("HATCH")[0]
print(len(hatch.paths))
for path in hatch.paths:
    if hasattr(path, "vertices"): print("polyline", [tuple(round(x, 6) for x in v[:2]) for v in path.vertices])
    else: print("edges", [(tuple(e.start), tuple(e.end)) for e in path.edges])
)";

TEST_F(EntitiesKept, AHatchIsSavedWithTheCountsItHoldsAndOpenNamesIt)
{
    struct Case {
        const char* wrong;
        const char* said;
    };
    const Case cases[] = {{"paths", "3 boundary paths declared, 2 held"},
                          {"vertices", "5 vertices of path 1 declared, 4 held"},
                          {"edges", "7 edges of path 2 declared, 3 held"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.wrong);
        const std::string input = home() + "/counts_" + c.wrong + ".dxf";
        const std::string output = home() + "/counts_" + c.wrong + "_saved.dxf";
        ezdxf(kCountsScript, {input, c.wrong});
        const std::string printed = open_and_save(input, output);
        EXPECT_NE(printed.find("the HATCH (handle "), std::string::npos) << printed;
        EXPECT_NE(printed.find(c.said), std::string::npos) << printed;
        EXPECT_EQ(ezdxf(kCountsRead, {output}),
                  "2\n"
                  "polyline [(0.0, 0.0), (8.0, 0.0), (8.0, 6.0), (0.0, 6.0)]\n"
                  "edges [((2.0, 2.0), (4.0, 2.0)), ((4.0, 2.0), (4.0, 4.0)), ((4.0, 4.0), (2.0, 2.0))]\n");
        const std::string text = file_text(output);
        EXPECT_NE(text.find("\n91\n2\n92\n"), std::string::npos);
    }
}

// An AC1032 drawing with a paper-space layout (viewport and text), materials,
// visual styles and a scale list (argv: file).
const char* const kSheetScript = R"(
import sys, ezdxf
doc = ezdxf.new("R2018", setup=True)
msp = doc.modelspace()
msp.add_line((0, 0), (100, 100))
msp.add_circle((50, 50), 10)
sheet = doc.layouts.new("Sheet A")
sheet.add_viewport(center=(100, 80), size=(150, 100), view_center_point=(50, 50), view_height=120)
sheet.add_text("Sheet title", dxfattribs={"insert": (10, 10), "height": 3.5})
doc.saveas(sys.argv[1])
# A scale list as other programs write one, in the root dictionary.
text = open(sys.argv[1]).read()
objects = text.index("  2\nOBJECTS\n")
root_end = text.index("  0\n", objects + len("  2\nOBJECTS\n  0\n"))
text = text[:root_end] + "  3\nACAD_SCALELIST\n350\nA00\n" + text[root_end:]
scales = "  0\nDICTIONARY\n  5\nA00\n330\nA\n100\nAcDbDictionary\n281\n1\n  3\nA0\n350\nA01\n  3\nA1\n350\nA02\n"
for handle, name, drawing in (("A01", "1:1", "1.0"), ("A02", "1:100", "100.0")):
    scales += ("  0\nSCALE\n  5\n%s\n102\n{ACAD_REACTORS\n330\nA00\n102\n}\n330\nA00\n100\nAcDbScale\n"
               " 70\n0\n300\n%s\n140\n1.0\n141\n%s\n290\n0\n" % (handle, name, drawing))
end = text.index("  0\nENDSEC\n", objects)
text = text[:end] + scales + text[end:]
seed = text.index("$HANDSEED\n  5\n") + len("$HANDSEED\n  5\n")
text = text[:seed] + "B00" + text[text.index("\n", seed):]
open(sys.argv[1], "w").write(text)
)";

// Damages the file as broken files of other programs are (argv: file, damaged
// file, damages): "record" drops the model space's block record, "text" puts
// the paper-space block's text outside its block, "root" moves the root
// dictionary behind others, "heads" drops the ENTITIES section's ENDSEC and the
// OBJECTS section's head, "block" drops the model space's block too.
const char* const kDamageScript = R"(
import sys
lines = open(sys.argv[1]).read().split("\n")
pairs = [(lines[i].strip(), lines[i + 1]) for i in range(0, len(lines) - 1, 2)]
damages = sys.argv[3].split(",")
def find(code, value, start=0):
    return next(i for i in range(start, len(pairs)) if pairs[i] == (code, value))
def end_of(i):
    return next(j for j in range(i + 1, len(pairs)) if pairs[j][0] == "0")
def start_of(i):
    return next(j for j in range(i, -1, -1) if pairs[j][0] == "0")
def cut(i):
    taken = pairs[i:end_of(i)]
    del pairs[i:end_of(i)]
    return taken
if "text" in damages:
    text = cut(find("0", "TEXT", find("2", "*Paper_Space0", find("2", "BLOCKS"))))
    at = find("0", "BLOCK", find("2", "BLOCKS"))
    pairs[at:at] = text
if "root" in damages:
    root = cut(find("2", "OBJECTS") + 1)
    at = find("0", "LAYOUT", find("2", "OBJECTS"))
    pairs[at:at] = root
if "heads" in damages:
    del pairs[find("0", "ENDSEC", find("2", "ENTITIES"))]
    at = find("2", "OBJECTS")
    del pairs[at - 1:at + 1]
if "record" in damages:
    cut(start_of(find("2", "*Model_Space")))
if "block" in damages:
    at = start_of(find("2", "*Model_Space", find("2", "BLOCKS")))
    del pairs[at:end_of(end_of(at))]
open(sys.argv[2], "w").write("".join("%s\n%s\n" % pair for pair in pairs))
)";

const char* const kSheetRead = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
print([layout.name for layout in doc.layouts])
print([e.dxftype() for e in doc.layouts.get("Sheet A")])
print(len(doc.objects.query("SCALE")), len(doc.objects.query("MATERIAL")), len(doc.objects.query("VISUALSTYLE")))
print("audit", [e.message for e in doc.audit().errors])
)";

TEST_F(EntitiesKept, ADamagedFileKeepsItsPaperSpaceBlockAndObjects)
{
    const std::string whole = home() + "/sheet.dxf", damaged = home() + "/sheet_damaged.dxf";
    const std::string output = home() + "/sheet_saved.dxf";
    ezdxf(kSheetScript, {whole});
    ezdxf(kDamageScript, {whole, damaged, "text,root,heads,record"});
    const std::string printed = open_and_save(damaged, output);
    for (const char* said : {"entities outside any block are read into the block \"*Paper_Space0\"",
                             "a section ends without its ENDSEC",
                             "objects outside any section are read as those of the OBJECTS section",
                             "the root dictionary (handle A) is not the first object",
                             "the file lacks the block record (handle 17) of the block \"*Model_Space\""})
        EXPECT_NE(printed.find(said), std::string::npos) << said << "\n" << printed;
    EXPECT_EQ(printed.find("leaves out"), std::string::npos) << printed;
    // What the damage took is back as the whole file had it, but for what
    // the lost model space record held beside its name, handle and layout.
    EXPECT_EQ(differences(whole, output, {"TABLES BLOCK_RECORD '*Model_Space' (handle 17): group "}), "");
    EXPECT_EQ(ezdxf(kSheetRead, {output}),
              "['Model', 'Layout1', 'Sheet A']\n"
              "['VIEWPORT', 'TEXT']\n"
              "2 3 25\n"
              "audit []\n");
    const std::string again = home() + "/sheet_again.dxf";
    open_and_save(output, again);
    EXPECT_EQ(file_text(again), file_text(output));
}

// Without the model space's block and record the file's layouts cannot be
// written back: the save names each kind of object and the layout block it
// leaves out.
TEST_F(EntitiesKept, WhatADamagedFileCannotKeepIsNamed)
{
    const std::string whole = home() + "/sheet.dxf", damaged = home() + "/sheet_no_model.dxf";
    ezdxf(kSheetScript, {whole});
    ezdxf(kDamageScript, {whole, damaged, "record,block"});
    const std::string printed = open_and_save(damaged, home() + "/sheet_no_model_saved.dxf");
    EXPECT_NE(printed.find("3 MATERIAL"), std::string::npos) << printed;
    EXPECT_NE(printed.find("2 SCALE"), std::string::npos) << printed;
    EXPECT_NE(printed.find("25 VISUALSTYLE"), std::string::npos) << printed;
    EXPECT_NE(printed.find("the layout block *Paper_Space0 with its 2 entities"), std::string::npos)
        << printed;
}

// A layout block whose owner names no record, in a file that has the record of
// its name (as some programs write), keeps that one record: a second record of
// the name would make a file that other programs refuse.
const char* const kLostOwnerScript = R"(
import sys, ezdxf
doc = ezdxf.new("R2010")
doc.modelspace().add_line((0, 0), (1, 1))
doc.saveas(sys.argv[1])
text = open(sys.argv[1]).read()
record = doc.block_records.get("*Paper_Space").dxf.handle
begin = text.index("AcDbBlockBegin\n  2\n*Paper_Space\n")
owner = text.rindex("330\n" + record + "\n", 0, begin)
text = text[:owner] + "330\nFFFF0\n" + text[owner + len("330\n" + record + "\n"):]
open(sys.argv[1], "w").write(text)
)";

TEST_F(EntitiesKept, ALayoutBlockWhoseOwnerIsLostKeepsTheRecordOfItsName)
{
    const std::string input = home() + "/lost_owner.dxf", output = home() + "/lost_owner_saved.dxf";
    ezdxf(kLostOwnerScript, {input});
    open_and_save(input, output);
    EXPECT_EQ(
        ezdxf("import sys, ezdxf\n"
              "doc = ezdxf.readfile(sys.argv[1])\n"
              "print([r.dxf.name for r in doc.block_records if r.dxf.name.lower() == '*paper_space'])\n",
              {output}),
        "['*Paper_Space']\n");
    EXPECT_EQ(differences(input, output), "");
}

}  // namespace
