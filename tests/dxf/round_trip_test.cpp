// Drawings of other programs opened and saved again lose nothing: ezdxf
// writes a drawing with what a client's plan holds (rotated texts and
// inserts, mirrored entities, UTF-8 texts, block attributes, MTEXT,
// dimensions, ellipses, splines, a paper-space layout, a dimension style,
// header values and a georeference), the host opens and saves it, and ezdxf
// finds every entity, attribute, layout and header value of the input in the
// output with the same values.
#include <gtest/gtest.h>

#include <filesystem>

#include "ads.h"
#include "dxf_support.h"
#include "host_fixture.h"

using namespace dxftest;

namespace {

const char* const kWriteScript = R"(
import sys, ezdxf
doc = ezdxf.new(sys.argv[2], setup=True)
doc.header["$INSUNITS"] = 6
doc.header["$PDMODE"] = 35
doc.header["$PDSIZE"] = 0.5
doc.header["$LUPREC"] = 3
doc.layers.add("Grenzen", color=3)
style = doc.dimstyles.new("Survey")
style.dxf.dimtxt = 1.8
style.dxf.dimasz = 1.2
msp = doc.modelspace()
msp.add_text("Grüße 45° Ω", dxfattribs={"insert": (10, 20), "height": 2.5, "rotation": 30, "layer": "Grenzen"})
msp.add_line((0, 0), (100, 50))
title = doc.blocks.new("TITLE")
title.add_line((0, 0), (10, 0))
title.add_attdef("LOT", (0, 1), dxfattribs={"height": 1.0})
title.add_attdef("OWNER", (0, 3), dxfattribs={"height": 1.0})
ref = msp.add_blockref("TITLE", (50, 60), dxfattribs={"rotation": 45, "xscale": 2, "yscale": 2})
ref.add_attrib("LOT", "Lot 7", (50, 62), dxfattribs={"height": 1.0, "rotation": 45})
ref.add_attrib("OWNER", "Jürgen Ødegård", (50, 66), dxfattribs={"height": 1.0, "rotation": 45})
msp.add_circle((-180, 60), 5, dxfattribs={"extrusion": (0, 0, -1)})
msp.add_text("Mirrored", dxfattribs={"insert": (-170, 90), "rotation": 15, "extrusion": (0, 0, -1)})
msp.add_lwpolyline([(-200, 0), (-160, 0), (-160, 40)], dxfattribs={"extrusion": (0, 0, -1)})
msp.add_mtext("Notes:\\PBoundary ±0.02 m, Ширина 12 m", dxfattribs={"insert": (0, -20), "char_height": 1.5})
dim = msp.add_linear_dim(base=(0, -5), p1=(0, 0), p2=(100, 0), dimstyle="Survey")
dim.render()
msp.add_ellipse((30, 30), major_axis=(10, 0), ratio=0.5)
msp.add_spline([(0, 0), (10, 5), (20, -5), (30, 0)])
sheet = doc.layouts.new("Sheet 1")
sheet.add_text("Title block", dxfattribs={"insert": (5, 5), "height": 3.5})
sheet.add_line((0, 0), (420, 0))
msp.new_geodata()
doc.saveas(sys.argv[1])
)";

// Compares what ezdxf reads in the input and the output; prints one line per
// difference and exits 1 when there are any.
const char* const kCompareScript = R"(
import sys, math, ezdxf
from ezdxf.math import Vec3
before = ezdxf.readfile(sys.argv[1])
after = ezdxf.readfile(sys.argv[2])
problems = []
def same(a, b):
    if isinstance(a, float) or isinstance(b, float):
        try: return math.isclose(float(a), float(b), rel_tol=1e-9, abs_tol=1e-9)
        except Exception: return False
    if isinstance(a, (tuple, list, Vec3)) and isinstance(b, (tuple, list, Vec3)):
        return len(a) == len(b) and all(same(x, y) for x, y in zip(a, b))
    return a == b
skip = {"handle", "owner"}
for name in before.header.varnames():
    value = before.header[name]
    if name in ("$HANDSEED",): continue
    if name not in after.header: problems.append("header %s missing" % name)
    elif not same(value, after.header[name]): problems.append("header %s: %r, now %r" % (name, value, after.header[name]))
def compare_entities(where, a, b):
    a, b = list(a), list(b)
    if [e.dxftype() for e in a] != [e.dxftype() for e in b]:
        problems.append("%s: %s, now %s" % (where, [e.dxftype() for e in a], [e.dxftype() for e in b]))
        return
    for i, (x, y) in enumerate(zip(a, b)):
        for key, value in x.dxf.all_existing_dxf_attribs().items():
            if key in skip: continue
            if not y.dxf.hasattr(key) or not same(value, y.dxf.get(key)):
                problems.append("%s #%d %s.%s: %r, now %r" % (where, i, x.dxftype(), key, value, y.dxf.get(key)))
        if x.dxftype() == "INSERT":
            compare_entities(where + " attributes of #%d" % i, x.attribs, y.attribs)
        if x.dxftype() == "MTEXT" and x.text != y.text:
            problems.append("%s #%d MTEXT: %r, now %r" % (where, i, x.text, y.text))
names = lambda doc: [layout.name for layout in doc.layouts]
if names(before) != names(after): problems.append("layouts %s, now %s" % (names(before), names(after)))
for layout in before.layouts:
    if layout.name in names(after):
        compare_entities("layout " + layout.name, layout, after.layouts.get(layout.name))
for block in before.blocks:
    if block.name.upper().startswith(("*MODEL", "*PAPER")): continue
    if block.name not in after.blocks: problems.append("block %s missing" % block.name)
    else: compare_entities("block " + block.name, block, after.blocks.get(block.name))
for style in before.dimstyles:
    if not after.dimstyles.has_entry(style.dxf.name): problems.append("dimension style %s missing" % style.dxf.name)
    elif not same(style.dxf.dimtxt, after.dimstyles.get(style.dxf.name).dxf.dimtxt): problems.append("dimtxt of " + style.dxf.name)
if after.modelspace().get_geodata() is None: problems.append("the georeference is missing")
auditor = after.audit()
for error in auditor.errors: problems.append("audit: " + error.message)
print("\n".join(problems))
sys.exit(1 if problems else 0)
)";

class RoundTrip : public HostFixture {};

// Kept entities stay where they were among the drawing's, out of reach of the
// entity functions; an erased INSERT takes its attributes with it, and what a
// command makes gets handles of its own.
TEST_F(RoundTrip, KeptEntitiesStayInPlaceAndOutOfReach)
{
    const char* write = R"(
import sys, ezdxf
doc = ezdxf.new("R2010")
msp = doc.modelspace()
msp.add_line((0, 0), (1, 0))
msp.add_mtext("kept note", dxfattribs={"insert": (5, 5)})
msp.add_line((0, 1), (1, 1))
doc.blocks.new("B").add_attdef("TAG", (0, 0))
msp.add_blockref("B", (3, 3)).add_attrib("TAG", "value", (3, 3))
msp.add_circle((9, 9), 1)
doc.saveas(sys.argv[1])
)";
    const char* read = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
msp = doc.modelspace()
print(" ".join(e.dxftype() for e in msp))
print(len(doc.entitydb.query("ATTRIB")), len(doc.audit().errors))
)";
    const std::string input = home() + "/kept.dxf", output = home() + "/kept_saved.dxf";
    std::string out;
    ASSERT_EQ(outside::run_ezdxf_script(write, {input}, out), 0) << out;
    run("OPEN " + input);
    std::vector<std::string> seen;
    ads_name entity;
    for (int status = acdbEntNext(nullptr, entity); status == RTNORM; status = acdbEntNext(entity, entity))
        seen.push_back(host::Session::get().current().drawing.get(entity[0])->type);
    EXPECT_EQ(seen, (std::vector<std::string>{"LINE", "LINE", "INSERT", "CIRCLE"}));
    ads_name all;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, all), RTNORM);
    long length = 0;
    acedSSLength(all, &length);
    EXPECT_EQ(length, 4);
    ads_name first, insert;
    acedSSName(all, 0, first);
    acedSSName(all, 2, insert);
    acedSSFree(all);
    ASSERT_EQ(acdbEntDel(first), RTNORM);
    ASSERT_EQ(acdbEntDel(insert), RTNORM);
    run("(command \"Text\" \"l\" \"20,20\" \"2\" \"0\" \"new\")\nSAVEAS " + output);
    ASSERT_EQ(outside::run_ezdxf_script(read, {output}, out), 0) << out;
    EXPECT_EQ(out, "MTEXT LINE CIRCLE TEXT\n0 0\n");

    // Saving what was read again gives the same file.
    const std::string again = home() + "/kept_again.dxf";
    run("CLOSE\nOPEN " + output + "\nSAVEAS " + again);
    EXPECT_EQ(file_text(output), file_text(again));
}

TEST_F(RoundTrip, OpenAndSaveLoseNothingEzdxfFinds)
{
    for (const char* version : {"R2010", "R2018"}) {
        SCOPED_TRACE(version);
        const std::string input = home() + "/client_" + version + ".dxf";
        const std::string output = home() + "/saved_" + version + ".dxf";
        std::string out;
        ASSERT_EQ(outside::run_ezdxf_script(kWriteScript, {input, version}, out), 0) << out;
        // The client's file is opened and saved over itself (a copy of it, to compare with).
        std::filesystem::copy_file(input, output, std::filesystem::copy_options::overwrite_existing);
        std::string transcript = run("OPEN " + output + "\nSAVE");
        EXPECT_NE(transcript.find("Saved \"" + output + "\""), std::string::npos) << transcript;
        EXPECT_EQ(transcript.find("leaves out"), std::string::npos) << transcript;
        EXPECT_EQ(outside::run_ezdxf_script(kCompareScript, {input, output}, out), 0) << out;
        // What the host models is there for the commands, the rest is not.
        EXPECT_NE(
            transcript.find("Kept as the file has them for saving, unseen by commands: 2 ATTDEF, 2 ATTRIB, "
                            "1 DIMENSION, 1 ELLIPSE, 2 MTEXT, 1 SPLINE, 12 dimension styles, 2 layouts, "
                            "2 paper space entities."),
            std::string::npos)
            << transcript;
        run("CLOSE");
    }
}

}  // namespace
