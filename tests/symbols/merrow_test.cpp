// The DXF-lot import as a caller reaches it (here the script command
// "MERROW"): the file dialog, the converter Merrow (the stand-in program of
// install/exe_file, a real process, told by Merrow.script what to answer and
// which files to leave), and the drawing of its temporary files; then the
// option dialog's actions ("MERROW_OPT"). The data set is data/site.csv:
// plain points, symbols of the installed list (TR, LP, SH), two
// descriptions, a traverse and a chain, a blank line and two bad records.
#include "outside_readers.h"
#include "symbols_fixture.h"

namespace {

namespace fs = std::filesystem;
using queries::count;

class Merrow : public SymbolsTest {
protected:
    std::string data_file()
    {
        const std::string copy = home() + "/site.csv";
        fs::copy_file(fs::path(ORVIK_SOURCE_DIR) / "tests" / "symbols" / "data" / "site.csv", copy,
                      fs::copy_options::overwrite_existing);
        return copy;
    }
    std::string import() { return run("MERROW\n" + data_file() + "\n"); }
    std::string temp(const std::string& name)
    {
        return home() + "/AppData/Roaming/PelmoraSoftware/OrvikSurvey/temp/" + name;
    }
    std::vector<std::string> texts(const std::string& layer)
    {
        std::vector<std::string> out;
        for (const host::Entity* e : live("TEXT", layer)) out.push_back(e->text(1));
        return out;
    }
    // The "MERROW_DATA" tag: level, code, number, kind.
    struct Tag {
        double level = -1;
        std::string code, kind;
        long number = -1;
    };
    static Tag tag_of(const host::Entity& e)
    {
        Tag tag;
        const host::XDataApp* data = e.xdata_of("MERROW_DATA");
        if (!data) return tag;
        for (const host::Group& g : data->items) {
            if (g.code == 1040) tag.level = g.real;
            if (g.code == 1000) tag.code = g.text;
            if (g.code == 1071) tag.number = g.integer;
            if (g.code == 1003) tag.kind = g.text;
        }
        return tag;
    }
};

TEST_F(Merrow, AHandMadeDataSetIsImportedThroughTheConverter)
{
    const std::string out = import();
    EXPECT_EQ(registry("merrow_inp_file"), data_file());
    EXPECT_EQ(registry("merrow_status"), "done");
    EXPECT_NE(out.find("\nLine 8 of dx3a.tmp: x \"abc\" is not a number; the line is left out."),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("\nLine 9 of dx3a.tmp: y \"\" is not a number; the line is left out."),
              std::string::npos);
    EXPECT_NE(
        out.find(
            "\n7 point(s), 4 symbol(s), 2 description(s) and 5 station(s) imported; 2 line(s) left out."),
        std::string::npos);

    // Plain points, flat, tagged with their level, code, number and kind.
    const auto points = live("POINT", "DATA_POINTS");
    ASSERT_EQ(points.size(), 8u);  // 1, 2, 3 and the five stations
    EXPECT_AT(points[0]->point(10), 1000, 2000);
    EXPECT_EQ(points[0]->point(10).z, 0.0);
    const Tag first = tag_of(*points[0]);
    EXPECT_NEAR(first.level, 12.5, 1e-12);
    EXPECT_EQ(first.code, "P");
    EXPECT_EQ(first.number, 1);
    EXPECT_EQ(first.kind, "DATA_POINTS");

    // Symbols: a tagged point, the block on its own layer, the number, the
    // level when not 0, and the block's label 1.3 m east (bearing 90).
    const auto symbol_points = live("POINT", "DATA_POINTS_SYMBOL");
    ASSERT_EQ(symbol_points.size(), 4u);
    EXPECT_EQ(tag_of(*symbol_points[1]).code, "LP");
    const auto inserts = live("INSERT");
    ASSERT_EQ(inserts.size(), 4u);
    const std::vector<std::string> blocks = {"TREE", "LAMP", "TREE", "SHRUB"};
    const std::vector<std::array<double, 2>> at = {{1005, 2010}, {1015, 2012}, {1025, 2015}, {1030, 2020}};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(inserts[i]->text(2), blocks[i]);
        EXPECT_EQ(inserts[i]->layer(), "SYM_" + blocks[i]);
        EXPECT_AT(inserts[i]->point(10), at[i][0], at[i][1]);
        EXPECT_NEAR(inserts[i]->real(50), 0.0, 1e-12) << "symbol bearing 90: no turn";
        EXPECT_NEAR(inserts[i]->real(41), 1.0, 1e-12);
    }
    EXPECT_EQ(texts("DATA_POINTS_SYM_NUM"), (std::vector<std::string>{"4", "5", "6", "7"}));
    EXPECT_EQ(texts("ARAS-SYMBOL"), (std::vector<std::string>{"13.100", "13.200", "13.000"}));
    EXPECT_EQ(texts("SYM_TREE"), (std::vector<std::string>{"TR", "TR"}));
    const auto lamp_label = live("TEXT", "SYM_LAMP");
    ASSERT_EQ(lamp_label.size(), 1u);
    EXPECT_AT(lamp_label[0]->point(10), 1016.3, 2012);
    EXPECT_NEAR(lamp_label[0]->real(40), 1.3, 1e-12);
    EXPECT_TRUE(live("TEXT", "SYM_SHRUB").empty());

    // Numbers above and right of each point, codes below, levels centred.
    const auto numbers = live("TEXT", "DATA_POINTS_NUM");
    ASSERT_EQ(numbers.size(), 8u);
    EXPECT_EQ(numbers[1]->text(1), "2");
    EXPECT_AT(numbers[1]->point(10), 1010.5, 2000.5);
    EXPECT_EQ(tag_of(*numbers[1]).kind, "DATA_POINTS_NUM");
    const auto codes = live("TEXT", "DATA_CODES");
    ASSERT_EQ(codes.size(), 8u);
    EXPECT_EQ(codes[1]->text(1), "STR");
    EXPECT_AT(codes[1]->point(10), 1010.5, 1998.5);
    EXPECT_EQ(texts("ARAS-P"), (std::vector<std::string>{"12.500"}));
    EXPECT_EQ(texts("ARAS-STR"), (std::vector<std::string>{"12.750"}));
    EXPECT_AT(live("TEXT", "ARAS-P")[0]->point(11), 1000, 2000);
    EXPECT_EQ(live("TEXT", "ARAS-P")[0]->integer(72), 4);
    EXPECT_EQ(texts("DATA_DESC"), (std::vector<std::string>{"Kerb corner", "Lamp by gate"}));

    // Stations: their chainage tag and distance along them.
    EXPECT_EQ(texts("ARAS-TRV"), (std::vector<std::string>{"14.000", "14.500", "15.000"}));
    EXPECT_EQ(texts("ARAS-CH"), (std::vector<std::string>{"14.100", "14.300"}));
    const std::vector<double> distances = {0, 30, 70, 0, 20};
    for (size_t i = 0; i < 5; ++i) {
        const host::XDataApp* trav = points[3 + i]->xdata_of("MERROW_TRAV");
        ASSERT_NE(trav, nullptr);
        ASSERT_EQ(trav->items.size(), 2u);
        EXPECT_EQ(trav->items[0].code, 1040);
        EXPECT_NEAR(trav->items[0].real, distances[i], 1e-9);
        EXPECT_EQ(trav->items[1].text, std::string(i < 3 ? "TRV" : "CH") + ",1000.000,1.000,90.000000");
        EXPECT_NE(points[3 + i]->xdata_of("MERROW_DATA"), nullptr) << "the first tag stays";
    }

    const std::string picture = std::string(ORVIK_BINARY_DIR) + "/merrow-import.png";
    run("PICTURE " + picture + " 995,1995 1040,2075\n");
    EXPECT_GT(fs::file_size(picture), 1000u);

    // The tags as an outside reader finds them in the saved drawing.
    const std::string saved = home() + "/lot.dxf";
    run("SAVEAS " + saved + "\n");
    const std::string script = R"(
import sys, ezdxf
doc = ezdxf.readfile(sys.argv[1])
for p in doc.modelspace().query("POINT"):
    if p.dxf.layer == "DATA_POINTS" and p.has_xdata("MERROW_TRAV"):
        trav = p.get_xdata("MERROW_TRAV")
        print("station", ";".join("%d=%s" % (t.code, t.value) for t in trav))
    elif p.dxf.layer == "DATA_POINTS_SYMBOL":
        print("symbol", ";".join("%d=%s" % (t.code, t.value) for t in p.get_xdata("MERROW_DATA")))
)";
    std::string read;
    ASSERT_EQ(outside::run_ezdxf_script(script, {saved}, read), 0) << read;
    EXPECT_EQ(read,
              "symbol 1040=13.1;1000=TR;1071=4;1003=DATA_POINTS_SYMBOL\n"
              "symbol 1040=13.2;1000=LP;1071=5;1003=DATA_POINTS_SYMBOL\n"
              "symbol 1040=0.0;1000=TR;1071=6;1003=DATA_POINTS_SYMBOL\n"
              "symbol 1040=13.0;1000=SH;1071=7;1003=DATA_POINTS_SYMBOL\n"
              "station 1040=0.0;1000=TRV,1000.000,1.000,90.000000\n"
              "station 1040=30.0;1000=TRV,1000.000,1.000,90.000000\n"
              "station 1040=70.0;1000=TRV,1000.000,1.000,90.000000\n"
              "station 1040=0.0;1000=CH,1000.000,1.000,90.000000\n"
              "station 1040=20.0;1000=CH,1000.000,1.000,90.000000\n");

    // The view: the points' window, a twentieth of its larger side wider.
    resbuf centre{};
    ASSERT_EQ(acedGetVar("VIEWCTR", &centre), RTNORM);
    EXPECT_NEAR(centre.resval.rpoint[0], 1015.0, 1e-9);
    EXPECT_NEAR(centre.resval.rpoint[1], 2035.0, 1e-9);
}

// The converter's answer is checked, and what an earlier run left is never
// taken for this run's output.
TEST_F(Merrow, OnlyWhatThisRunOfTheConverterWroteIsImported)
{
    import();
    const size_t after_first = entity_count();
    ASSERT_TRUE(fs::exists(temp("dx3a.tmp")));

    merrow_script("status=error: the data file is locked\n");
    std::string out = import();
    EXPECT_NE(out.find("\nMerrow answered \"error: the data file is locked\"; nothing is imported."),
              std::string::npos)
        << out;
    EXPECT_EQ(entity_count(), after_first);

    // This run writes no point file: the one of the first run is not read.
    merrow_script("skip=dx3a.tmp\n");
    out = import();
    EXPECT_FALSE(fs::exists(temp("dx3a.tmp")));
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(),
              "\nError Opening file\n" + app_temp_folder() + "\\dx3a.tmp");
    EXPECT_EQ(live("POINT", "DATA_POINTS_SYMBOL").size(), 4u) << "no symbol point twice";
    EXPECT_EQ(live("POINT", "DATA_POINTS").size(), 8u + 5u) << "the stations a second time, nothing else";
    EXPECT_NE(out.find("\n0 point(s), 0 symbol(s), 2 description(s) and 5 station(s) imported"),
              std::string::npos)
        << out;
}

TEST_F(Merrow, AConverterThatGivesNoAnswerImportsNothing)
{
    merrow_script("silent=0\n");
    std::string out = import();
    EXPECT_NE(
        out.find(
            "\nMerrow.exe ended without giving an answer; the command stops here.\nNothing is imported."),
        std::string::npos)
        << out;
    EXPECT_EQ(entity_count(), 0u);

    merrow_script("silent=8\n");
    session().pump_second_ms = 1;
    run_and_wait_set_limit(600);
    out = import();
    EXPECT_NE(out.find("\nMerrow.exe gave no answer within 600 seconds; the command stops here."),
              std::string::npos)
        << out;
    EXPECT_EQ(entity_count(), 0u);
}

TEST_F(Merrow, BadParametersAndMissingFilesAreSaid)
{
    struct Case {
        std::string script;
        std::string message;
    } cases[] = {
        {"parameters=1000,1,1,x,1,90,1.3,90\n",
         "\nLine 1 of parameter.cfg: parameter 4 \"x\" is not a number; the line is left out."},
        {"parameters=1000,1,1,1\n",
         "\nLine 1 of parameter.cfg: fewer than 8 parameters; the line is left out."},
        {"parameters=0,1,1,1,1,90,1.3,90\n", "parameter 1 (a scale or a size) is not above 0"},
        {"skip=parameter.cfg\n", "\nWithout its parameters nothing is imported."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.script);
        merrow_script(c.script);
        const std::string out = import();
        EXPECT_NE(out.find(c.message), std::string::npos) << out;
        EXPECT_NE(out.find("\nWithout its parameters nothing is imported."), std::string::npos);
        EXPECT_EQ(entity_count(), 0u);
    }
    // A data file that is not there: the converter says so, and nothing is read.
    merrow_script("");
    const std::string out = run("MERROW\n" + home() + "/nothing.csv\n");
    EXPECT_NE(out.find("\nMerrow answered \"error: cannot read " + home() + "/nothing.csv"),
              std::string::npos)
        << out;
    // A name longer than the converter can read from the registry.
    const std::string long_name = home() + "/" + std::string(260, 'a') + ".csv";
    EXPECT_NE(
        run("MERROW\n" + long_name + "\n").find("the converter takes at most 254. Nothing is imported."),
        std::string::npos);
    EXPECT_EQ(entity_count(), 0u);
}

// The chainage tag is a comma list of the plot scale, the chainage height and
// the text bearing: one too long for its extended-data text is refused.
TEST_F(Merrow, AStationTagTooLongIsRefused)
{
    merrow_script("parameters=1000,1,1,1,1e250,90,1.3,90\n");
    const std::string out = import();
    EXPECT_EQ(count(out, "characters; the stations of"), 2u) << out;
    const auto points = live("POINT", "DATA_POINTS");
    ASSERT_EQ(points.size(), 8u);
    for (const host::Entity* p : points) EXPECT_EQ(p->xdata_of("MERROW_TRAV"), nullptr);
}

TEST_F(Merrow, TheOptionDialogMovesAndChangesTheImportByItsTags)
{
    import();
    session().transcript().alerts.clear();
    auto act = [&](const std::string& radio) {
        return run("MERROW_OPT\npick " + radio + "\npick sel_obj_btn\nALL\n\npick proced_btn\nok\n");
    };
    std::string out = act("text_to_layer_rb");
    EXPECT_NE(out.find("\niactive :1"), std::string::npos) << out;
    EXPECT_EQ(session().transcript().alerts.back(), "Modified :\n8");
    EXPECT_EQ(live("TEXT", "ZT-STR").size(), 1u);
    EXPECT_EQ(live("TEXT", "ZT-TRV").size(), 3u);
    EXPECT_TRUE(live("TEXT", "DATA_CODES").empty());

    act("point_to_layer_rb");
    EXPECT_EQ(session().transcript().alerts.back(), "Modified :\n8");
    EXPECT_EQ(live("POINT", "ZP-P").size(), 1u);
    EXPECT_EQ(live("POINT", "ZP-CH").size(), 2u);

    act("point_to_moss_rb");
    EXPECT_EQ(session().transcript().alerts.back(), "Modified :\n12");
    const auto p_points = live("POINT", "P-P");
    ASSERT_EQ(p_points.size(), 1u);
    EXPECT_NEAR(p_points[0]->point(10).z, 12.5, 1e-12);
    EXPECT_EQ(live("POINT", "P-TR").size(), 2u);
    EXPECT_NEAR(live("POINT", "P-LP")[0]->point(10).z, 13.2, 1e-12);
    EXPECT_EQ(live("POINT", "DATA_POINTS").size(), 7u) << "other codes to their kind word";

    out = act("create_ch_rb");
    EXPECT_NE(out.find("\niactive :5"), std::string::npos);
    EXPECT_EQ(texts("CHAINAGE-TRV"), (std::vector<std::string>{"CH 14.000", "CH 14.500", "CH 15.000"}));
    EXPECT_EQ(texts("CHAINAGE-CH"), (std::vector<std::string>{"CH 14.100", "CH 14.300"}));
    EXPECT_NEAR(live("TEXT", "CHAINAGE-CH")[0]->real(40), 1.0, 1e-12);

    act("turn_back_rb");
    EXPECT_EQ(live("POINT", "DATA_POINTS").size(), 8u);
    EXPECT_EQ(live("POINT", "DATA_POINTS_SYMBOL").size(), 4u);
    EXPECT_EQ(live("TEXT", "DATA_CODES").size(), 8u);
    for (const host::Entity* p : live("POINT")) EXPECT_EQ(p->point(10).z, 0.0);

    // The disabled tiles refuse, and the buttons without an action do nothing.
    out = run("MERROW_OPT\npick create_level_rb\npick proced_btn\ncancel\n");
    EXPECT_NE(out.find("disabled"), std::string::npos) << out;
}

}  // namespace
