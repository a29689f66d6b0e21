// The symbol legend as a caller reaches it (here the script command
// "LEGEND"): its dialog, the location, direction and block picks, and the
// rows drawn from the installed symbol list. The installed list names, in
// order: TREE, SHRUB, HEDGE, EPOLE, TPOLE, LAMP, MH, HYDRANT, BM, FENCE.
#include "symbols_fixture.h"

namespace {

namespace fs = std::filesystem;

class Legend : public SymbolsTest {
protected:
    // Symbols placed through the picker: blocks of the drawing as a user has them.
    void place(const std::string& symbol, double x, double y)
    {
        tarnic_script("symbol=" + symbol + "\ncommand=INSERT\n");
        run("(b_tarnic)\n" + std::to_string(x) + "," + std::to_string(y) + "\n\n");
    }
    std::string legend(const std::string& actions) { return run("LEGEND\n" + actions); }
    std::vector<const host::Entity*> legend_entities(const std::string& type) { return live(type, "LEGEND"); }
};

TEST_F(Legend, TheSymbolsOfTheImportGetOneRowEach)
{
    // The import places TREE twice, LAMP and SHRUB.
    fs::copy_file(fs::path(ORVIK_SOURCE_DIR) / "tests" / "symbols" / "data" / "site.csv",
                  home() + "/site.csv");
    run("MERROW\n" + home() + "/site.csv\n");
    ASSERT_EQ(live("INSERT").size(), 4u);
    const std::string out =
        legend("pick pickpnt_btn\n1100,2000\npick selobj_btn\nW\n990,1990\n1040,2080\n\nok\n");
    EXPECT_NE(out.find("\nLegend of 3 symbol(s)."), std::string::npos) << out;
    EXPECT_EQ(legend_values().selection, "4 block select.");

    // Rows in the list's order, distance B (5) apart downwards; the block at
    // the row point, its label a text height to the right, the description
    // distance A (10) to the right.
    const auto inserts = legend_entities("INSERT");
    ASSERT_EQ(inserts.size(), 3u);
    const std::vector<std::string> order = {"TREE", "SHRUB", "LAMP"};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(inserts[i]->text(2), order[i]);
        EXPECT_AT(inserts[i]->point(10), 1100, 1995 - 5.0 * static_cast<double>(i));
        EXPECT_NEAR(inserts[i]->real(50), kPi / 2, 1e-9) << "the legend rotation as it is";
        EXPECT_NEAR(inserts[i]->real(41), 1.0, 1e-12);
    }
    const auto texts = legend_entities("TEXT");
    std::vector<std::string> words;
    for (const host::Entity* t : texts) words.push_back(t->text(1));
    EXPECT_EQ(words, (std::vector<std::string>{"PETUNJUK", "TR", "Tree", "Shrub", "LP", "Lamp post"}));
    EXPECT_AT(texts[0]->point(10), 1100, 2000);
    EXPECT_AT(texts[1]->point(10), 1101.3, 1995);
    EXPECT_AT(texts[2]->point(10), 1110, 1995);
    EXPECT_AT(texts[3]->point(10), 1110, 1990);  // a symbol without a label: the description only
    EXPECT_AT(texts[5]->point(10), 1110, 1985);
    for (const host::Entity* t : texts) {
        EXPECT_NEAR(t->real(40), 1.3, 1e-12);
        EXPECT_NEAR(t->real(50), 0.0, 1e-12);
    }

    // The picture of the legend, to be looked at.
    const std::string picture = std::string(ORVIK_BINARY_DIR) + "/symbol-legend.png";
    run("PICTURE " + picture + " 1095,1980 1125,2003\n");
    EXPECT_GT(fs::file_size(picture), 1000u);
}

TEST_F(Legend, RowsFollowTheRotationAndTheSettings)
{
    place("MH", 0, 0);
    for (int i = 0; i < 10; ++i) {
        ads_point at = {5.0 + i, 5, 0};
        ASSERT_TRUE(test_make(acutBuildList(RTDXF0, "INSERT", 8, "SYM_MH", 2, "MH", 10, at, 0)));
    }
    place("TPOLE", 10, 0);
    ASSERT_EQ(live("INSERT").size(), 12u);
    // Rotation 300: rows run along the bearing 30; plot scale 500.
    const std::string out = legend(
        "set scale_t 500\nset pickrot_t 300\nset header_t Legend of symbols\n"
        "pick pickpnt_btn\n100,100\npick selobj_btn\nALL\n\nok\n");
    const auto inserts = legend_entities("INSERT");
    ASSERT_EQ(inserts.size(), 2u) << "the manhole selected eleven times gives one row" << out;
    const host::Point3 row1 = along(100, 100, 30, 2.5);
    const host::Point3 row2 = along(100, 100, 30, 5.0);
    EXPECT_EQ(inserts[0]->text(2), "TPOLE") << "the list's order: TPOLE before MH";
    EXPECT_AT(inserts[0]->point(10), row1.x, row1.y);
    EXPECT_AT(inserts[1]->point(10), row2.x, row2.y);
    EXPECT_NEAR(inserts[0]->real(41), 0.5, 1e-12);
    EXPECT_NEAR(inserts[0]->real(50), 300 * kPi / 180, 1e-9);
    const auto texts = legend_entities("TEXT");
    ASSERT_EQ(texts.size(), 5u);
    EXPECT_EQ(texts[0]->text(1), "Legend of symbols");
    const host::Point3 description = along(row2.x, row2.y, 300, 5.0);
    EXPECT_EQ(texts[4]->text(1), "Manhole");
    EXPECT_AT(texts[4]->point(10), description.x, description.y);
    EXPECT_NEAR(texts[4]->real(40), 0.65, 1e-12);

    // Rotation -30: the blocks go in at 330.
    place("MH", 50, 50);
    legend("set pickrot_t -30\npick pickpnt_btn\n200,200\npick selobj_btn\nL\n\nok\n");
    const auto more = legend_entities("INSERT");
    ASSERT_EQ(more.size(), 3u);
    EXPECT_NEAR(more[2]->real(50), 330 * kPi / 180, 1e-9);
}

TEST_F(Legend, OkWaitsForALocationAndASelection)
{
    place("BM", 0, 0);
    // A location too long for its text is refused, and OK stays disabled.
    std::string out = legend("pick pickpnt_btn\n1e30,0\npick selobj_btn\nALL\n\nok\ncancel\n");
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(), "\nCoordinate to long...abort!!");
    EXPECT_NE(out.find("disabled"), std::string::npos) << out;
    EXPECT_EQ(legend_values().location, "0.000,0.000");
    EXPECT_TRUE(legend_entities("TEXT").empty());
    // A location and no selection (a selection lasts one run).
    out = legend("ok\npick pickpnt_btn\n10,10\nok\ncancel\n");
    EXPECT_EQ(queries::count(out, "disabled"), 2u) << out;
    EXPECT_TRUE(legend_entities("TEXT").empty());
    // A size of 0 is refused by its tile, which keeps the height it had: OK
    // draws the legend with it.
    out = legend("pick selobj_btn\nALL\n\nset txth_t 0\nshow\nok\ncancel\n");
    EXPECT_NE(out.find("error: text, value \"The value must be more than 0.\""), std::string::npos) << out;
    const auto texts = legend_entities("TEXT");
    ASSERT_FALSE(texts.empty()) << out;
    for (const auto* text : texts) EXPECT_GT(text->real(40), 0) << out;
}

// The symbol list's count is checked against its size before it is read:
// a list whose header is only the count (records from byte 4), or one cut
// short, draws nothing and says why.
TEST_F(Legend, ASymbolListOfAnotherLayoutIsRefused)
{
    place("TREE", 0, 0);
    const std::string folder = home() + "/install";
    fs::create_directories(folder + "/data");
    fs::copy(install() + "/dcl", folder + "/dcl", fs::copy_options::recursive);
    ASSERT_TRUE(
        host::platform::registry_write_text(host::platform::kProductKey, "Installation folder", folder));
    app_folders = app_folder_rec{};
    const std::string installed = read_text(install() + "/data/Symboldata.bin");
    ASSERT_EQ(installed.size(), 8u + 10u * 1668u);
    const std::string records = installed.substr(8);
    struct Case {
        std::string name;
        std::string bytes;
        std::string problem;
    } cases[] = {
        {"count first", installed.substr(4, 4) + records,
         "counts 2002874980 symbols, which take 3340795466648 bytes, but holds 16684"},
        {"cut short", installed.substr(0, 8 + 3 * 1668 + 100),
         "counts 10 symbols, which take 16688 bytes, but holds 5112"},
        {"no header", "abc", "holds 3 bytes, fewer than its header of 8"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        write_text(folder + "/data/Symboldata.bin", c.bytes);
        const std::string out = legend("pick pickpnt_btn\n10,10\npick selobj_btn\nALL\n\nok\n");
        EXPECT_NE(out.find("\nThe symbol list " + folder + "\\data\\Symboldata.bin " + c.problem +
                           "; the legend is not drawn."),
                  std::string::npos)
            << out;
        EXPECT_TRUE(legend_entities("TEXT").empty());
    }
    fs::remove(folder + "/data/Symboldata.bin");
    const std::string out = legend("pick pickpnt_btn\n10,10\npick selobj_btn\nALL\n\nok\n");
    EXPECT_NE(out.find("Symboldata.bin cannot be opened; the legend is not drawn."), std::string::npos)
        << out;
}

}  // namespace
