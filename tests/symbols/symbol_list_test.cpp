// The installed symbol list and block drawings, the list's dump, and the
// symbol-text routines (run from script commands as a caller would), with
// which a symbol's block drawing gets the label b_tarnic writes.
#include "outside_readers.h"
#include "symbols_fixture.h"

namespace {

namespace fs = std::filesystem;

class SymbolList : public SymbolsTest {};

TEST_F(SymbolList, TheInstalledListNamesItsBlockDrawings)
{
    std::vector<std::string> records;
    std::string problem;
    ASSERT_EQ(symbol_list_read(install() + "/data/Symboldata.bin", records, problem), 1) << problem;
    ASSERT_EQ(records.size(), 10u);
    EXPECT_EQ(symbol_record_text(records[0], 560, 10), "TREE");
    EXPECT_EQ(symbol_record_text(records[0], 570, 255), "Tree");
    EXPECT_EQ(symbol_record_text(records[9], 825, 51), "SYMBOL3");
    EXPECT_EQ(symbol_record_int(records[9], 876), 5000);

    // Each block drawing, read by ezdxf: its first entity on the symbol's
    // layer, and the label as the list's code says.
    std::string names;
    for (const std::string& r : records) names += symbol_record_text(r, 560, 10) + " ";
    const std::string script = R"(
import sys, ezdxf
folder = sys.argv[1]
for name in sys.argv[2].split():
    doc = ezdxf.readfile(folder + "/" + name + ".dwg")
    first = list(doc.modelspace())[0]
    label = first.get_xdata("TARNIC")[0][1] if first.has_xdata("TARNIC") else "-"
    print(name, first.dxf.layer, label)
)";
    std::string output;
    ASSERT_EQ(outside::run_ezdxf_script(script, {install() + "/drawing/symbol", names}, output), 0) << output;
    EXPECT_EQ(
        output,
        "TREE SYM_TREE TR\nSHRUB SYM_SHRUB -\nHEDGE SYM_HEDGE -\nEPOLE SYM_EPOLE EP\nTPOLE SYM_TPOLE TP\n"
        "LAMP SYM_LAMP LP\nMH SYM_MH MH\nHYDRANT SYM_HYDRANT FH\nBM SYM_BM BM\nFENCE SYM_FENCE -\n");
}

TEST_F(SymbolList, TheDumpWritesEveryField)
{
    const std::string out = run("SYMDUMP " + install() + "\\data\\Symboldata.bin\n");
    EXPECT_NE(out.find("\n[10]\nTREE drawing\\symbol\\TREE.dwg\nSHRUB drawing\\symbol\\SHRUB.dwg"),
              std::string::npos)
        << out;
    const std::string text = read_text(home() + "/drive_c/Program Files/OrvikSurvey/Data/Symboldata.txt");
    EXPECT_EQ(queries::count(text, "DATADATADATADATA\n"), 10u);
    const std::string fence = text.substr(text.rfind("DATADATADATADATA\n"));
    EXPECT_EQ(
        fence,
        "DATADATADATADATA\ndrawing\\symbol\\FENCE.dwg\nBoundaries\nFN\nFENCE\nFence\nSYMBOL3\n5000\n300\n"
        "FENCE_LN\n\n0\nV2\n\n");
    // A file that is no symbol list is said, and nothing is written over.
    write_text(home() + "/bad.bin", "not a list");
    const std::string bad = run("SYMDUMP " + home() + "/bad.bin\n");
    EXPECT_NE(bad.find("counts 1768693857 symbols"), std::string::npos) << bad;
    EXPECT_EQ(read_text(home() + "/drive_c/Program Files/OrvikSurvey/Data/Symboldata.txt"), text);
}

// A symbol drawing made by a user: a circle with its label attached by the
// symbol-text routine, saved, and placed through the picker with its label.
TEST_F(SymbolList, ALabelAttachedToABlockDrawingIsWrittenBesideTheSymbol)
{
    ads_point centre = {0, 0, 0}, start = {50, 0, 0}, end = {60, 0, 0};
    ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "CIRCLE", 8, "POSTS", 10, centre, 40, 0.5, 0)));
    std::string out = run("SYMTEXT_ADD\n0.5,0\nGate post\n");
    EXPECT_NE(out.find("\nAdd xdata sucessful."), std::string::npos) << out;
    out = run("SYMTEXT_SHOW\n0.5,0\n");
    EXPECT_NE(out.find("\nShow xdata\nSelect Object :"), std::string::npos) << out;
    EXPECT_NE(out.find("\nXdata :Gate post"), std::string::npos) << out;
    run("SAVEAS " + home() + "/POST.dwg\nNEW\n");

    tarnic_script("answer=SYMBOL1," + home() + "/POST.dwg\n");
    run("(b_tarnic)\n10,10\n10,20\n\n");
    const auto labels = live("TEXT", "POSTS");
    ASSERT_EQ(labels.size(), 1u);
    EXPECT_EQ(labels[0]->text(1), "Gate post");
    EXPECT_AT(labels[0]->point(10), 10, 11.3);

    // An object without a label.
    ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "LINE", 8, "0", 10, start, 11, end, 0)));
    run("SYMTEXT_SHOW\n55,0\n");
    EXPECT_EQ(session().transcript().alerts.back(), "No Xdata");
}

}  // namespace
