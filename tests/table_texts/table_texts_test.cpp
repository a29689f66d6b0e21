// The tables the commands write (the short-leg table and the engineering table
// of the traverse plot, the short-leg table of the bearing-distance labels and
// the lot area table) are texts made through the host's TEXT command. Each
// row must read horizontally in every drawing: a default one (angles from the
// east, counter-clockwise), one set to survey angles (ANGBASE 90 degrees,
// clockwise) and one in grads from an odd base. The drawing is saved and read
// back with ezdxf, which gives the rows as they lie: every text at rotation 0,
// the texts of a row on one line, the rows one under another.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "db/entities.h"
#include "host_fixture.h"
#include "outside_readers.h"
#include "platform/win_platform.h"
#include "points.h"
#include "test_entities.h"

namespace {

namespace fs = std::filesystem;

struct angle_setup {
    const char* name;
    const char* setvars;  // LISP lines that set the drawing's angles
};
void PrintTo(const angle_setup& setup, std::ostream* out)
{
    *out << setup.name;
}

const angle_setup setups[] = {
    {"default", ""},
    {"survey", "(setvar \"ANGBASE\" 1.5707963267948966)\n(setvar \"ANGDIR\" 1)\n"},
    {"grads", "(setvar \"AUNITS\" 2)\n(setvar \"ANGBASE\" 0.5)\n(setvar \"ANGDIR\" 1)\n"},
};

// The right-justified TEXTs of a layer as ezdxf reads them from the saved
// file, one row a line ("text | text | ..." from left to right, rows from top
// to bottom). A text that is not horizontal, texts of one row that do not
// share their line, or rows that are not one under another fail the script.
std::vector<std::string> table_rows(const std::string& file, const std::string& layer)
{
    const std::string python = outside::ezdxf_python();
    EXPECT_FALSE(python.empty()) << "python3-ezdxf is needed (.ci/install-deps installs it)";
    const std::string script = R"py(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
rows = {}
for t in doc.modelspace().query("TEXT"):
    if t.dxf.layer != sys.argv[2] or t.dxf.halign != 2:
        continue
    turn = t.dxf.rotation % 360.0
    assert min(turn, 360.0 - turn) < 1e-9, (t.dxf.text, t.dxf.rotation)
    x, y = t.dxf.align_point.x, t.dxf.align_point.y
    assert abs(t.dxf.insert.y - y) < 1e-9, (t.dxf.text, "not on its line")
    rows.setdefault(round(y, 6), []).append((x, t.dxf.text, t.dxf.height))
ys = sorted(rows, reverse=True)
for upper, lower in zip(ys, ys[1:]):
    height = max(h for _, _, h in rows[upper])
    assert upper - lower >= 2 * height - 1e-9, ("rows overlap", upper, lower)
for y in ys:
    print(" | ".join(text for _, text, _ in sorted(rows[y])))
)py";
    const std::string script_file = file + ".rows.py";
    std::ofstream(script_file) << script;
    std::string output;
    EXPECT_EQ(outside::run_tool(python + " '" + script_file + "' '" + file + "' '" + layer + "'", output), 0)
        << output;
    std::vector<std::string> rows;
    size_t start = 0;
    for (size_t end; (end = output.find('\n', start)) != std::string::npos; start = end + 1)
        rows.push_back(output.substr(start, end - start));
    return rows;
}

class TableTexts : public HostFixture, public ::testing::WithParamInterface<angle_setup> {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        // The lot area table needs a writable configuration folder beside the
        // dialogs: an installation folder of this test.
        install = home() + "/install";
        fs::create_directories(install + "/cfg");
        fs::copy(std::string(ORVIK_INSTALL_TREE) + "/dcl", install + "/dcl", fs::copy_options::recursive);
        host::platform::registry_write_text(host::platform::kProductKey, "Installation folder", install);
        drawing().prefix = home() + "/";
        drawing().name = std::string("tables-") + GetParam().name + ".dwg";
        ASSERT_TRUE(load_kestrom());
        run(GetParam().setvars);
        fs::copy_file(std::string(ORVIK_SOURCE_DIR) + "/samples/lot.trv", home() + "/lot.trv");
    }

    std::string saved()
    {
        const std::string file = home() + "/tables.dxf";
        run("SAVEAS " + file + "\n");
        return file;
    }

    std::string install;
};

// The lot of samples/lot.trv: 1 (1000, 2000), 2 (1100, 2000), 3 (1100, 1900),
// 4 (1000, 1900.030); with a short distance of 150 every leg is a table row.
TEST_P(TableTexts, TraversePlotShortLegTable)
{
    run("(b_trav)\nO\nlot.trv\nS\npick tg_PlotTable\nset t_MaxShortDist 150\npick p_Table\n1200,2100\n"
        "pick yes\nX\n");
    const std::vector<std::string> expected = {"1 | 90%%d00'00\" | 100.000", "2 | 180%%d00'00\" | 100.000",
                                               "3 | 270%%d01'02\" | 100.000", "4 | 0%%d00'00\" | 99.970"};
    EXPECT_EQ(table_rows(saved(), "table"), expected);
}

TEST_P(TableTexts, TraversePlotEngineeringTable)
{
    run("(b_trav)\nO\nlot.trv\nS\npick tg_PlotBgd\npick tg_PlotTable\npick tg_PlotCoord\npick tg_EngStyle\n"
        "pick p_Table\n1200,2100\npick yes\nX\n");
    const std::vector<std::string> expected = {"1 | 2000.000 | 1000.000",
                                               "1 | 2 | 90%%d00'00\" | 100.000 | 2000.000 | 1100.000",
                                               "2 | 3 | 180%%d00'00\" | 100.000 | 1900.000 | 1100.000",
                                               "3 | 4 | 270%%d01'02\" | 100.000 | 1900.030 | 1000.000",
                                               "4 | 1 | 0%%d00'00\" | 99.970 | 2000.000 | 1000.000"};
    EXPECT_EQ(table_rows(saved(), "table"), expected);
}

TEST_P(TableTexts, LabelShortLegTable)
{
    ASSERT_TRUE(test_make_lwpolyline("0", 0, std::vector<point3d_rec>{{0, 0, 0}, {8.5, 0, 0}, {8.5, -6, 0}}));
    run("(b_selbgd \"Auto\")\npick table_tg\npick p_pickxy\n500,400\nok\nALL\n\n");
    const std::vector<std::string> expected = {"1 | 90%%d00'00\" | 8.500", "2 | 180%%d00'00\" | 6.000"};
    EXPECT_EQ(table_rows(saved(), "table"), expected);
}

// Two lots of 10 x 10 side by side (LINEs on "LOT"), labelled with the table on.
TEST_P(TableTexts, LotAreaTable)
{
    const double lines[][4] = {
        {0, 0, 20, 0}, {20, 0, 20, 10}, {20, 10, 0, 10}, {0, 10, 0, 0}, {10, 0, 10, 10}};
    for (const auto& l : lines)
        ASSERT_EQ(
            host::entity_make(drawing(), "LINE",
                              {host::Group::of_text(8, "LOT"), host::Group::of_point(10, {l[0], l[1], 0}),
                               host::Group::of_point(11, {l[2], l[3], 0})},
                              {}),
            RTNORM);
    run("(b_find_area)\npick table_tg\nset t_x 100\nset t_y 50\nok\n5,5\n\n15,5\n\nX\n");
    const std::vector<std::string> expected = {"1 | 100.0m%%178", "2 | 100.0m%%178"};
    EXPECT_EQ(table_rows(saved(), "Area"), expected);
}

INSTANTIATE_TEST_SUITE_P(Drawings, TableTexts, ::testing::ValuesIn(setups),
                         [](const ::testing::TestParamInfo<angle_setup>& info) { return info.param.name; });

}  // namespace
