// ASCII point import through the host as a user would: the dialog, the file
// dialog answered with a file written by the test, then the POINTs and TEXTs in
// the drawing. Expected values are worked out by hand: text heights are the
// height at 1:1000 x plot scale / 1000 (scale 500: ID 1.0 -> 0.5, level 1.3 ->
// 0.65, code 1.0 -> 0.5); the texts are horizontal (rotation 90 - 90 = 0).
#include "import_xyz.h"

#include <fstream>
#include <string>
#include <vector>

#include "host_fixture.h"

namespace {

class ImportXyzTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        ASSERT_TRUE(load_kestrom());
    }

    std::string write_file(const std::string& name, const std::string& text)
    {
        const std::string path = home() + "/" + name;
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    std::vector<const host::Entity*> live(const std::string& type, const std::string& layer = {})
    {
        std::vector<const host::Entity*> out;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == type && (layer.empty() || e->layer() == layer))
                out.push_back(e);
        }
        return out;
    }

    // The command with the file picked and the dialog lines given before OK.
    std::string import(const std::string& path, const std::string& dialog_lines)
    {
        return run("(b_import_xyz)\npick file_open_btn\n" + path + "\n" + dialog_lines + "ok\n");
    }

    static void expect_text(const host::Entity* text, const std::string& value, double x, double y,
                            double height)
    {
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(text->text(1), value);
        const host::Point3 at = text->point(10);
        EXPECT_DOUBLE_EQ(at.x, x);
        EXPECT_DOUBLE_EQ(at.y, y);
        EXPECT_DOUBLE_EQ(at.z, 0.0) << "texts lie flat";
        EXPECT_NEAR(text->real(40), height, 1e-12);
        EXPECT_NEAR(text->real(41), 1.0, 1e-12);
        EXPECT_NEAR(text->real(50), 0.0, 1e-12);
    }

    static size_t count(const std::string& text, const std::string& part)
    {
        size_t n = 0;
        for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
        return n;
    }
};

// One small file per column order, all texts on, at scale 500 with the POINTs
// at their level.
TEST_F(ImportXyzTest, EachColumnOrderPlacesPointsAndTexts)
{
    struct Case {
        int order;
        const char* file;
        bool has_code;
    } cases[] = {
        {0, "12,1000.5,2000.25,15.3\n7, 3.25 , -4.5 ,10000.001\n", false},
        {1, "12,1000.5,2000.25,15.3,TREE\n7,3.25,-4.5,10000.001,MH 2\n", true},
        {2, "12,2000.25,1000.5,15.3\n7,-4.5,3.25,10000.001\n", false},
        {3, "12,2000.25,1000.5,15.3,TREE\n7,-4.5,3.25,10000.001,MH 2\n", true},
    };
    // Both lines give the points (1000.5, 2000.25, 15.3) and (3.25, -4.5, 0):
    // a level above 10000 stands for none.
    for (const Case& c : cases) {
        SCOPED_TRACE(c.order);
        run("NEW\n");
        const std::string path = write_file("order" + std::to_string(c.order) + ".txt", c.file);
        const std::string out = import(path, "select pop_format " + std::to_string(c.order) +
                                                 "\nset tg_z 1\nset tg_code 1\nset text_plot_scale 500\n");
        EXPECT_NE(out.find("2 points imported."), std::string::npos) << out;
        const auto points = live("POINT", "DATA_PNT");
        ASSERT_EQ(points.size(), 2u);
        const host::Point3 p0 = points[0]->point(10), p1 = points[1]->point(10);
        EXPECT_DOUBLE_EQ(p0.x, 1000.5);
        EXPECT_DOUBLE_EQ(p0.y, 2000.25);
        EXPECT_DOUBLE_EQ(p0.z, 15.3);
        EXPECT_DOUBLE_EQ(p1.x, 3.25);
        EXPECT_DOUBLE_EQ(p1.y, -4.5);
        EXPECT_DOUBLE_EQ(p1.z, 0.0);

        const auto ids = live("TEXT", "DATA_ID"), levels = live("TEXT", "DATA_LEVEL");
        const auto codes = live("TEXT", "DATA_CODE");
        ASSERT_EQ(ids.size(), 2u);
        ASSERT_EQ(levels.size(), 2u);
        expect_text(ids[0], "12", 1000.5, 2000.25, 0.5);
        expect_text(ids[1], "7", 3.25, -4.5, 0.5);
        expect_text(levels[0], "15.300", 1000.5, 2000.25, 0.65);
        expect_text(levels[1], "0.000", 3.25, -4.5, 0.65);
        if (c.has_code) {
            ASSERT_EQ(codes.size(), 2u);
            expect_text(codes[0], "TREE", 1000.5, 2000.25, 0.5);
            expect_text(codes[1], "MH 2", 3.25, -4.5, 0.5);
        } else {
            EXPECT_TRUE(codes.empty());
        }
        // Per point: ID, code, level, in that order after the POINT.
        EXPECT_EQ(live("TEXT").size(), c.has_code ? 6u : 4u);
    }
}

TEST_F(ImportXyzTest, DefaultsDrawFlatPointsWithIdAndLevelOnly)
{
    const std::string path = write_file("one.txt", "12,1000.5,2000.25,15.3\n");
    import(path, "");
    const auto points = live("POINT", "DATA_PNT");
    ASSERT_EQ(points.size(), 1u);
    EXPECT_DOUBLE_EQ(points[0]->point(10).z, 0.0) << "use Z is off by default";
    ASSERT_EQ(live("TEXT").size(), 2u);
    expect_text(live("TEXT", "DATA_ID").at(0), "12", 1000.5, 2000.25, 1.0);
    expect_text(live("TEXT", "DATA_LEVEL").at(0), "15.300", 1000.5, 2000.25, 1.3);
    // Switching the texts off leaves the POINTs alone.
    import(path, "set tg_noid 0\nset tg_level 0\n");
    EXPECT_EQ(live("POINT").size(), 2u);
    EXPECT_EQ(live("TEXT").size(), 2u);
}

// A file saved by an editor that puts a UTF-8 byte-order mark before the first
// line, with Windows line ends: the first point's name is its number alone.
TEST_F(ImportXyzTest, AByteOrderMarkIsNoPartOfTheFirstName)
{
    const std::string path = write_file("bom.txt",
                                        "\xEF\xBB\xBF"
                                        "101,500.0,600.0,12.5\r\n102,510.0,600.0,12.75\r\n");
    const std::string out = import(path, "");
    EXPECT_NE(out.find("2 points imported."), std::string::npos) << out;
    const auto ids = live("TEXT", "DATA_ID");
    ASSERT_EQ(ids.size(), 2u);
    expect_text(ids[0], "101", 500.0, 600.0, 1.0);
    expect_text(ids[1], "102", 510.0, 600.0, 1.0);
    expect_text(live("TEXT", "DATA_LEVEL").at(1), "12.750", 510.0, 600.0, 1.3);
}

TEST_F(ImportXyzTest, MalformedLinesAreReportedAndSkippedAndNothingDrawnIsLost)
{
    const std::string good = write_file("good.txt", "1,10,20,5\n");
    import(good, "");
    const std::string path =
        write_file("bad.txt", "ID,X,Y,Z\n2,11,21,6\n3,abc,22,7\n\n4,12\n5,13,23,z8\n6,14,24,8.5\r\n" +
                                  std::string(260, '9') + "\n7,15,25\n");
    const std::string out = import(path, "");
    for (const char* line :
         {"Line 1 skipped: X is not a number: \"X\"", "Line 3 skipped: X is not a number: \"abc\"",
          "Line 5 skipped: too few fields (2 of 4)", "Line 6 skipped: Z is not a number: \"z8\"",
          "Line 8 skipped: longer than 249 characters", "Line 9 skipped: too few fields (3 of 4)",
          "2 points imported, 6 lines skipped."})
        EXPECT_NE(out.find(line), std::string::npos) << line << "\n" << out;
    EXPECT_EQ(out.find("Line 4 "), std::string::npos) << "a blank line is no point";
    const auto points = live("POINT", "DATA_PNT");
    ASSERT_EQ(points.size(), 3u) << "the first import's point stays";
    EXPECT_DOUBLE_EQ(points[0]->point(10).x, 10);
    EXPECT_DOUBLE_EQ(points[1]->point(10).x, 11);
    EXPECT_DOUBLE_EQ(points[2]->point(10).x, 14);
    const auto levels = live("TEXT", "DATA_LEVEL");
    ASSERT_EQ(levels.size(), 3u);
    EXPECT_EQ(levels[2]->text(1), "8.500") << "the line end is no part of the last field";
}

// The CODE of a code order is optional: a line that stops after Z is a whole
// point with an empty code, drawn as one whose CODE field is empty; a line
// without an ID is named and left out, in every order.
TEST_F(ImportXyzTest, AMissingCodeIsEmptyAndAMissingIdIsNamed)
{
    for (int order : {1, 3}) {
        SCOPED_TRACE("order " + std::to_string(order));
        drawing().model.clear();
        const std::string coded =
            write_file("coded.txt", "8,16,26,9\n9,17,27,9,LP\n10,18,28,9,\r\n,19,29,9,X\n  ,20,30,9\n");
        const std::string out =
            import(coded, "select pop_format " + std::to_string(order) + "\nset tg_code 1\n");
        EXPECT_NE(out.find("Line 4 skipped: no ID"), std::string::npos) << out;
        EXPECT_NE(out.find("Line 5 skipped: no ID"), std::string::npos) << out;
        EXPECT_NE(out.find("3 points imported, 2 lines skipped."), std::string::npos) << out;
        const auto points = live("POINT", "DATA_PNT");
        ASSERT_EQ(points.size(), 3u);
        const double first = order == 1 ? points[0]->point(10).x : points[0]->point(10).y;
        EXPECT_DOUBLE_EQ(first, 16);
        std::vector<std::string> ids, codes;
        for (const host::Entity* t : live("TEXT", "DATA_ID")) ids.push_back(t->text(1));
        for (const host::Entity* t : live("TEXT", "DATA_CODE")) codes.push_back(t->text(1));
        EXPECT_EQ(ids, (std::vector<std::string>{"8", "9", "10"}));
        EXPECT_EQ(codes, (std::vector<std::string>{"", "LP", ""}));
    }
    // Without a code column the same lines are points as well.
    drawing().model.clear();
    const std::string plain = write_file("plain.txt", "8,16,26,9\n,19,29,9\n");
    const std::string out = import(plain, "");
    EXPECT_NE(out.find("Line 2 skipped: no ID"), std::string::npos) << out;
    EXPECT_EQ(live("POINT", "DATA_PNT").size(), 1u);
}

TEST_F(ImportXyzTest, MissingFileIsAlertedAndDrawsNothing)
{
    const std::string missing = home() + "/no_such_file.txt";
    std::string out = import(missing, "");
    ASSERT_FALSE(session().transcript().alerts.empty()) << out;
    EXPECT_EQ(session().transcript().alerts.back(), "\nError Opening file\n" + missing);
    // OK without a file chosen.
    out = run("(b_import_xyz)\nok\n");
    EXPECT_EQ(session().transcript().alerts.back(), "\nError Opening file\n(no file chosen)");
    EXPECT_TRUE(live("POINT").empty());
    EXPECT_TRUE(live("TEXT").empty());
}

TEST_F(ImportXyzTest, OptionsStayInTheDrawingAndReturnToDefaultsInAnother)
{
    const std::string path = write_file("p.txt", "1,10,20,5\n");
    import(path, "set text_plot_scale 500\nset tg_noid 0\nset tg_z 1\n");
    // Same drawing: the dialog shows what was chosen, but an empty file name
    // and the first column order.
    std::string out = run("(b_import_xyz)\nshow\ncancel\n");
    EXPECT_NE(out.find("text_plot_scale: edit_box, label \"Plot scale 1: \", value \"500.0000\""),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("tg_noid: toggle, label \"Point number (ID)\", value \"0\""), std::string::npos);
    EXPECT_NE(out.find("text_file_open: edit_box, label \"File :\", value \"\""), std::string::npos);
    EXPECT_EQ(count(out, ", CODE\n"), 2u) << "four orders listed once";

    run("NEW\n");
    out = run("(b_import_xyz)\nshow\npick file_open_btn\n" + path + "\nok\n");
    EXPECT_NE(out.find("value \"1000.0000\""), std::string::npos) << out;
    EXPECT_NE(out.find("tg_noid: toggle, label \"Point number (ID)\", value \"1\""), std::string::npos);
    ASSERT_EQ(live("POINT").size(), 1u);
    EXPECT_DOUBLE_EQ(live("POINT")[0]->point(10).z, 0.0);
    expect_text(live("TEXT", "DATA_ID").at(0), "1", 10, 20, 1.0);

    // Back in the first drawing the options are the defaults again.
    run("(b_import_xyz)\nset tg_level 0\nok\n");
    run("SWITCH 1\n");
    out = run("(b_import_xyz)\nshow\ncancel\n");
    EXPECT_NE(out.find("tg_level: toggle, label \"Level\", value \"1\""), std::string::npos) << out;
}

TEST_F(ImportXyzTest, DialogKeepsTypedValuesOverTheFilePickAndRefusesBadNumbers)
{
    const std::string path = write_file("p.txt", "1,10,20,5,CODE1\n");
    const std::string out =
        run("(b_import_xyz)\nset text_noid 2.5\nset text_level abc\nselect pop_format 1\npick tg_code\n"
            "pick file_open_btn\n" +
            path + "\nshow\nok\n");
    EXPECT_NE(out.find("text_noid: edit_box, label \"Height :\", value \"2.5000\", enabled"),
              std::string::npos)
        << out;
    EXPECT_NE(out.find("text_level: edit_box, label \"Height :\", value \"1.3000\""), std::string::npos);
    EXPECT_NE(out.find("text_code: edit_box, label \"Height :\", value \"1.0000\", enabled"),
              std::string::npos);
    EXPECT_NE(out.find("value \"" + path + "\""), std::string::npos);
    expect_text(live("TEXT", "DATA_ID").at(0), "1", 10, 20, 2.5);
    expect_text(live("TEXT", "DATA_CODE").at(0), "CODE1", 10, 20, 1.0);
    expect_text(live("TEXT", "DATA_LEVEL").at(0), "5.000", 10, 20, 1.3);
}

TEST_F(ImportXyzTest, CancelDrawsNothing)
{
    const std::string path = write_file("p.txt", "1,10,20,5\n");
    const std::string out = run("(b_import_xyz)\npick file_open_btn\n" + path + "\ncancel\n");
    EXPECT_EQ(out.find("points imported"), std::string::npos) << out;
    EXPECT_TRUE(live("POINT").empty());
}

}  // namespace
