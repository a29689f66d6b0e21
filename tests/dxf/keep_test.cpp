// OPEN then SAVE gives back every group of the file: drawings of every kind
// that once lost something (layer links, block-record units and previews, table
// heads with their extension dictionaries and extended data, thumbnails,
// ACDSDATA, a shape file's nameless style, header values the host cannot work
// with, texts and layer names of several code pages) are written by ezdxf
// (tests/dxf/dxf_kinds.py), opened and saved by the host, and compared group by
// group with the file they came from by tests/dxf/dxf_groups.py, which allows
// only the bookkeeping the README lists.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ads.h"
#include "dxf_support.h"
#include "host_fixture.h"

using namespace dxftest;

namespace {

const std::string kTests = ORVIK_SOURCE_DIR "/tests/dxf/";

// Runs a python tool of tests/dxf with the system python (which has ezdxf).
int run_python(const std::string& tool, const std::vector<std::string>& args, std::string& output)
{
    std::string python = ezdxf_python();
    if (python.empty()) {
        output = "python3-ezdxf is needed (.ci/install-deps installs it)";
        return -1;
    }
    std::string command = python + " '" + kTests + tool + "'";
    for (const std::string& arg : args) command += " '" + arg + "'";
    return run_tool(command, output);
}

std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

class KeepEverything : public HostFixture {
protected:
    // Writes the drawings of every kind in the versions; their paths.
    std::vector<std::string> write_kinds(const std::vector<std::string>& versions)
    {
        std::string out;
        std::vector<std::string> args = {home() + "/source"};
        args.insert(args.end(), versions.begin(), versions.end());
        EXPECT_EQ(run_python("dxf_kinds.py", args, out), 0) << out;
        return lines_of(out);
    }

    // The drawing of the kind in R2018; "" when it is not written.
    std::string kind_in_2018(const std::string& kind)
    {
        for (const std::string& path : write_kinds({"R2018"}))
            if (path.find(kind) != std::string::npos) return path;
        return "";
    }

    // A copy of the file, opened and saved over itself; the transcript.
    std::string open_and_save(const std::string& source, const std::string& copy,
                              const std::string& between = "")
    {
        std::filesystem::copy_file(source, copy, std::filesystem::copy_options::overwrite_existing);
        std::string transcript = run("OPEN " + copy + "\n" + between + "SAVE\nCLOSE");
        EXPECT_NE(transcript.find("Saved \"" + copy + "\""), std::string::npos) << transcript;
        return transcript;
    }

    // The differences the comparison helper finds beyond bookkeeping.
    std::vector<std::string> differences(const std::string& source, const std::string& saved)
    {
        std::string out;
        int status = run_python("dxf_groups.py", {source, saved}, out);
        EXPECT_TRUE(status == 0 || status == 1) << out;
        return lines_of(out);
    }
};

// Every kind, in the first version with subclass markers (texts in the code
// page) and the latest (UTF-8; tools/dxf_keep_report.py covers the others): nothing differs beyond
// bookkeeping, and a second save gives the same bytes as the first.
TEST_F(KeepEverything, EveryGroupComesBackInEveryKindAndVersion)
{
    const auto sources = write_kinds({"R2000", "R2018"});
    ASSERT_EQ(sources.size(), 26u);
    std::filesystem::create_directories(home() + "/saved");
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        const std::string name = std::filesystem::path(source).filename().string();
        const std::string saved = home() + "/saved/" + name;
        std::string transcript = open_and_save(source, saved);
        EXPECT_EQ(transcript.find("Left out"), std::string::npos) << transcript;
        EXPECT_EQ(transcript.find("leaves out"), std::string::npos) << transcript;
        EXPECT_EQ(differences(source, saved), std::vector<std::string>{});

        const std::string again = home() + "/saved/again_" + name;
        open_and_save(saved, again);
        EXPECT_TRUE(file_text(saved) == file_text(again)) << "a second save of " << saved << " differs";
    }
}

// A file before AC1015 is saved as AC1015 with its viewport, dimension style,
// line types ByBlock and ByLayer and its layout blocks' handles and extended
// data: they get the subclass markers AC1015 needs, nothing is left out, and
// only the paper-space mark of the paper-space block is added.
TEST_F(KeepEverything, FilesBeforeAc1015KeepTheirTableRecords)
{
    const auto sources = write_kinds({"R12"});
    ASSERT_EQ(sources.size(), 13u);
    std::filesystem::create_directories(home() + "/saved");
    for (const std::string& source : sources) {
        SCOPED_TRACE(source);
        const std::string saved = home() + "/saved/" + std::filesystem::path(source).filename().string();
        std::string transcript = open_and_save(source, saved);
        EXPECT_EQ(transcript.find("leaves out"), std::string::npos) << transcript;
        EXPECT_EQ(differences(source, saved),
                  (std::vector<std::string>{"BLOCKS '*PAPER_SPACE' BLOCK: group 67 '1' added",
                                            "BLOCKS '*PAPER_SPACE' ENDBLK: group 67 '1' added"}));
    }
    expect_ezdxf_reads(home() + "/saved/layer_links_R12.dxf", {});
}

// The links that once broke lead where they led, as ezdxf follows them: the
// layer's plot style and material, the line type's shape style, the layer
// table's layer states, the block's units and preview; and the file passes
// ezdxf's audit.
TEST_F(KeepEverything, LinksStillLeadToTheirObjects)
{
    const auto sources = write_kinds({"R2018"});
    const char* check = R"(
import sys, ezdxf
folder = sys.argv[1]
doc = ezdxf.readfile(folder + "/layer_links_R2018.dxf")
walls = doc.layers.get("Walls")
print("plot style", doc.entitydb[walls.dxf.plotstyle_handle].dxftype())
print("material", doc.entitydb[walls.dxf.material_handle].dxf.name)
print("visual style", doc.entitydb[walls.dxf.unknown1].dxftype())
doc = ezdxf.readfile(folder + "/block_records_R2018.dxf")
record = doc.blocks.get("TREE").block_record
print("units", record.dxf.units, record.dxf.explode, record.dxf.scale)
doc = ezdxf.readfile(folder + "/shape_style_R2018.dxf")
fence = [tag.value for tag in doc.linetypes.get("FENCE").pattern_tags.tags if tag.code == 340][0]
print("shape style", doc.entitydb[fence].dxf.font)
doc = ezdxf.readfile(folder + "/table_heads_R2018.dxf")
states = doc.layers.head.get_extension_dict()["ACAD_LAYERSTATES"]
print("layer states", list(states.keys()))
for name in ("layer_links", "block_records", "shape_style", "table_heads", "sections"):
    errors = ezdxf.readfile(folder + "/" + name + "_R2018.dxf").audit().errors
    print(name, "audit", [e.message for e in errors])
)";
    std::filesystem::create_directories(home() + "/saved");
    for (const std::string& source : sources)
        open_and_save(source, home() + "/saved/" + std::filesystem::path(source).filename().string());
    std::string out;
    ASSERT_EQ(outside::run_ezdxf_script(check, {home() + "/saved"}, out), 0) << out;
    EXPECT_EQ(out,
              "plot style ACDBPLACEHOLDER\n"
              "material Global\n"
              "visual style XRECORD\n"
              "units 4 0 1\n"
              "shape style ltypeshp.shx\n"
              "layer states ['Survey state']\n"
              "layer_links audit []\n"
              "block_records audit []\n"
              "shape_style audit []\n"
              "table_heads audit []\n"
              "sections audit []\n");
}

// A layer of the file that a command stores its settings on, as the settings
// store does (its record read, extended data appended, the record modified),
// keeps its plot-style, material and visual-style links: the save differs
// from the file by the settings alone.
TEST_F(KeepEverything, SettingsStoredOnALayerLeaveItsLinks)
{
    const std::string source = kind_in_2018("layer_links");
    ASSERT_FALSE(source.empty());
    const std::string saved = home() + "/layer_settings.dxf";
    std::filesystem::copy_file(source, saved);
    run("OPEN " + saved);
    ASSERT_EQ(acdbRegApp("LABEL_BGD"), RTNORM);
    ads_name layer;
    ASSERT_EQ(acdbTblObjName("LAYER", "Walls", layer), RTNORM);
    resbuf* list = acdbEntGet(layer);
    ASSERT_NE(list, nullptr);
    resbuf* tail = list;
    while (tail->rbnext) tail = tail->rbnext;
    tail->rbnext = acutBuildList(-3, 1001, "LABEL_BGD", 1000, "Bgd", 0);
    EXPECT_EQ(acdbEntMod(list), RTNORM);
    acutRelRb(list);
    std::string transcript = run("SAVE");
    ASSERT_NE(transcript.find("Saved"), std::string::npos) << transcript;
    auto found = differences(source, saved);
    ASSERT_EQ(found.size(), 2u) << ::testing::PrintToString(found);
    EXPECT_NE(found[0].find("TABLES APPID 'LABEL_BGD'"), std::string::npos) << found[0];
    EXPECT_EQ(found[1], "TABLES LAYER 'Walls' (handle 8A): 1001 LABEL_BGD added");
}

// A header value the host cannot work with is named at OPEN and written back
// as the file had it; one the user sets to another value than the drawing
// used is written as set, and only it.
TEST_F(KeepEverything, HeaderValuesAreKeptUnlessSet)
{
    const std::string source = kind_in_2018("header_values");
    ASSERT_FALSE(source.empty());
    const std::string saved = home() + "/header_saved.dxf";
    std::string transcript = open_and_save(source, saved);
    for (const char* note :
         {"the header variable $LUPREC is 10, which this host cannot work with; the drawing "
          "uses 4, and a save keeps the file's value unless LUPREC is set.",
          "the header variable $SPLINETYPE is 2, which this host cannot work with; the "
          "drawing uses 6, and a save keeps the file's value unless SPLINETYPE is set.",
          "the header variable $AUNITS is 9"})
        EXPECT_NE(transcript.find(note), std::string::npos) << note << "\n" << transcript;
    EXPECT_EQ(differences(source, saved), std::vector<std::string>{});

    const std::string set = home() + "/header_set.dxf";
    open_and_save(source, set, "(setvar \"LUPREC\" 3)\n(setvar \"SPLINETYPE\" 5)\n");
    EXPECT_EQ(differences(source, set),
              (std::vector<std::string>{"HEADER $LUPREC: group 70 '10' is now 70 '3'",
                                        "HEADER $SPLINETYPE: group 70 '2' is now 70 '5'"}));
}

}  // namespace
