// Files before AC1015 are saved as AC1015: their dimensions keep their
// anonymous blocks and their named styles, and only what that version truly
// cannot hold is named as left out.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "dxf_support.h"
#include "host_fixture.h"

using namespace dxftest;

namespace {

// An R12 drawing with a dimension of every kind, each rendered into its
// anonymous block, under named dimension styles.
const char* const kWriteScript = R"(
import sys, ezdxf
doc = ezdxf.new("R12", setup=True)
msp = doc.modelspace()
doc.dimstyles.new("SURVEY", dxfattribs={"dimtxt": 2.5, "dimasz": 1.5, "dimexe": 0.75})
msp.add_linear_dim(base=(0, 5), p1=(0, 0), p2=(10, 0), dimstyle="SURVEY").render()
msp.add_linear_dim(base=(15, 5), p1=(12, 0), p2=(20, 3), angle=30, dimstyle="SURVEY").render()
msp.add_aligned_dim(p1=(0, 0), p2=(10, 10), distance=2, dimstyle="EZDXF").render()
msp.add_radius_dim(center=(20, 0), radius=5, angle=45, dimstyle="EZ_RADIUS").render()
msp.add_diameter_dim(center=(40, 0), radius=5, angle=45).render()
msp.add_angular_dim_2l(base=(60, 10), line1=((50, 0), (60, 0)), line2=((50, 0), (58, 6))).render()
msp.add_angular_dim_3p(base=(80, 10), center=(70, 0), p1=(80, 0), p2=(76, 8)).render()
msp.add_ordinate_x_dim(feature_location=(90, 3), offset=(2, 5), origin=(85, 0)).render()
doc.saveas(sys.argv[1])
)";

// Every dimension as ezdxf sees it: its block, style, kind, measurement and
// definition points; then every dimension style with the values set above,
// and for a file of AC1015 what ezdxf's audit finds and mends.
const char* const kReadScript = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
out = open(sys.argv[2], "w")
for d in doc.modelspace().query("DIMENSION"):
    points = " ".join("%.6f,%.6f" % (p.x, p.y) for p in (d.dxf.get(k) for k in
        ("defpoint", "defpoint2", "defpoint3", "defpoint4", "defpoint5", "text_midpoint")) if p is not None)
    block = doc.blocks.get(d.dxf.geometry)
    measured = d.get_measurement()
    measured = measured if isinstance(measured, (int, float)) else measured.x
    out.write("%s %s %d %.6f %d %s\n" % (d.dxf.geometry, d.dxf.dimstyle, d.dimtype, measured,
                                          len(block) if block is not None else -1, points))
for s in sorted(doc.dimstyles, key=lambda s: s.dxf.name):
    out.write("style %s %.3f %.3f %.3f\n" % (s.dxf.name, s.dxf.dimtxt, s.dxf.dimasz, s.dxf.dimexe))
if doc.dxfversion >= "AC1015":  # ezdxf mends some things of R12 files itself
    auditor = doc.audit()
    out.write("audit %d %d\n" % (len(auditor.errors), len(auditor.fixes)))
)";

class OldVersion : public HostFixture {
protected:
    std::string path(const std::string& name) const { return home() + "/" + name; }

    std::string ezdxf_view(const std::string& file)
    {
        std::string output, view = file + ".view";
        EXPECT_EQ(outside::run_ezdxf_script(kReadScript, {file, view}, output), 0) << output;
        return file_text(view);
    }
};

TEST_F(OldVersion, DimensionsKeepTheirBlocksAndStyles)
{
    const std::string source = path("dims_r12.dxf"), saved = path("dims_saved.dxf");
    std::string output;
    ASSERT_EQ(outside::run_ezdxf_script(kWriteScript, {source}, output), 0) << output;
    std::filesystem::copy_file(source, saved);
    run("OPEN " + saved);
    const std::string transcript = run("SAVE");
    EXPECT_EQ(transcript.find("DIMENSION"), std::string::npos) << transcript;
    EXPECT_EQ(transcript.find("DIMSTYLE"), std::string::npos) << transcript;
    EXPECT_NE(file_text(saved).find("\nAC1015\n"), std::string::npos);

    // ezdxf sees the same dimensions, blocks and styles in both files.
    const std::string before = ezdxf_view(source), after = ezdxf_view(saved);
    EXPECT_NE(before.find("style SURVEY 2.500 1.500 0.750\n"), std::string::npos) << before;
    EXPECT_EQ(std::count(before.begin(), before.end(), '*'), 8) << before;
    EXPECT_EQ(after, before + "audit 0 0\n");

    // Group by group nothing of the dimensions or their styles is changed.
    const std::string compare = "/usr/bin/python3 " ORVIK_SOURCE_DIR "/tests/dxf/dxf_groups.py ";
    ASSERT_NE(run_tool(compare + "'" + source + "' '" + saved + "'", output), 2) << output;
    for (const char* word : {"DIMENSION", "DIMSTYLE", "'*D"})
        EXPECT_EQ(output.find(word), std::string::npos) << word << "\n" << output;
}

}  // namespace
