// b_xsection through the host with the stand-in cross-section program Dunmar
// of install/exe_file, a real process the host starts and waits for. The
// program's script (dunmar_script.txt in the home) says what it answers; its
// "{x+N}" and "{y+N}" are the starting point it read from dunmar.tmp, shifted.
#include <cmath>

#include "outside_readers.h"
#include "xsec_fixture.h"

namespace {

constexpr double kTol = 1e-9;

class XsecDrawing : public XsecTest {
protected:
    // The drawing is saved in a folder of its own, so that DWGPREFIX names it.
    void save_drawing()
    {
        std::filesystem::create_directories(path("site"));
        run("SAVEAS " + path("site/road.dxf") + "\n");
    }
    std::string draw(const std::string& start = "100,200") { return run("(b_xsection)\n" + start + "\n"); }
    std::string status()
    {
        return host::platform::registry_read_text(host::platform::kProductKey, "xsec_status").value_or("");
    }
};

// Every record kind: texts centred and left-aligned (in either case), a line,
// a block insert, records that are skipped with their reasons, and offset
// lines; everything at z 0 and placed from the starting point the program
// read. In a default drawing and in one set to survey angles, which do not
// turn the texts.
TEST_F(XsecDrawing, DrawsWhatTheProgramReturned)
{
    const std::string block = std::string(ORVIK_INSTALL_TREE) + "/drawing/Pile_Arrow.dwg";
    dunmar_script(
        "5 TEXT,{x+10},{y-5},2.5,90,CH 0+025,XSEC_TEXT,C\n"
        "5 text,{x},{y},1.0,0,12.345,XSEC_LEVEL,l\n"
        "5 TEXT,{x},{y},1.0,45,kerb, left,XSEC_TEXT,c\n"
        "5 TEXT,{x},{y},1.0,90,no justification,XSEC_TEXT,R\n"
        "5 LINE,{x-20},{y},{x+20},{y},0,XSEC_DATUM\n"
        "5 INSERT,{x},{y+3},0," +
        block +
        ",0,XSEC_MARK\n"
        "5 LINE,{x},abc,{x},{y},0,XSEC_DATUM\n"
        "5 TEXT,{x},{y},0,90,flat,XSEC_TEXT,C\n"
        "5 ARC,1,2,3\n"
        "5 LINE,1,2\n"
        "6 LINE\n6 {x-20},{y+1}\n6 {x},{y+2.5}\n6 {x+20},{y+1.5}\n"
        "6 line\n6 {x-5},{y+10}\n6 {x+5},{y+10}\n6 LINE\n");
    for (const auto& d : kXsecDrawings) {
        SCOPED_TRACE(d.name);
        run("NEW\n" + std::string(d.setup));
        save_drawing();
        const std::string out = draw("100,200");
        EXPECT_NE(out.find("\nProgram Cross Section ver cpp 1.0"), std::string::npos) << out;
        EXPECT_EQ(read(temp("dunmar.tmp")), path("site/") + "\n100.000,200.000\n");
        EXPECT_EQ(host::platform::registry_read_text(host::platform::kProductKey, "version").value_or(""),
                  "V2");
        EXPECT_EQ(status(), "done");

        const auto texts = live("TEXT");
        ASSERT_EQ(texts.size(), 3u) << out;
        // Centred: alignment point and insertion point at the record's point.
        EXPECT_EQ(texts[0]->text(1), "CH 0+025");
        EXPECT_EQ(texts[0]->layer(), "XSEC_TEXT");
        EXPECT_EQ(texts[0]->integer(72), 1);
        EXPECT_NEAR(texts[0]->point(11).x, 110, kTol);
        EXPECT_NEAR(texts[0]->point(11).y, 195, kTol);
        EXPECT_NEAR(texts[0]->real(40), 2.5, kTol);
        EXPECT_NEAR(texts[0]->real(41), 1.0, kTol);
        EXPECT_NEAR(texts[0]->real(50), 0.0, kTol);  // the angle 90 is a horizontal baseline
        // Left-aligned ("l"): the angle 0 reads upwards.
        EXPECT_EQ(texts[1]->text(1), "12.345");
        EXPECT_EQ(texts[1]->layer(), "XSEC_LEVEL");
        EXPECT_EQ(texts[1]->integer(72), 0);
        EXPECT_NEAR(texts[1]->point(10).x, 100, kTol);
        EXPECT_NEAR(texts[1]->point(10).y, 200, kTol);
        EXPECT_NEAR(texts[1]->real(50), M_PI / 2, kTol);
        // A text holding a comma keeps it; the layer and justification are the last two fields.
        EXPECT_EQ(texts[2]->text(1), "kerb, left");
        EXPECT_NEAR(texts[2]->real(50), M_PI / 4, kTol);

        const auto lines = live("LINE");
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0]->layer(), "XSEC_DATUM");
        EXPECT_NEAR(lines[0]->point(10).x, 80, kTol);
        EXPECT_NEAR(lines[0]->point(11).x, 120, kTol);
        EXPECT_NEAR(lines[0]->point(11).y, 200, kTol);
        EXPECT_NEAR(lines[0]->point(11).z, 0, kTol);

        const auto inserts = live("INSERT");
        ASSERT_EQ(inserts.size(), 1u) << out;
        EXPECT_EQ(inserts[0]->layer(), "XSEC_MARK");
        EXPECT_NEAR(inserts[0]->point(10).x, 100, kTol);
        EXPECT_NEAR(inserts[0]->point(10).y, 203, kTol);
        EXPECT_NEAR(inserts[0]->real(50), M_PI / 2, kTol);
        EXPECT_NEAR(inserts[0]->real(41, 1), 1.0, kTol);

        const auto polylines = live("LWPOLYLINE", "OFFSET_LINE");
        ASSERT_EQ(polylines.size(), 2u) << out;
        const auto first = vertices(*polylines[0]);
        ASSERT_EQ(first.size(), 3u);
        EXPECT_NEAR(first[0].x, 80, kTol);
        EXPECT_NEAR(first[1].y, 202.5, kTol);
        EXPECT_NEAR(first[2].x, 120, kTol);
        EXPECT_EQ(polylines[0]->integer(70), 0);
        EXPECT_EQ(vertices(*polylines[1]).size(), 2u);

        // Every record left out is named with its line and reason.
        for (const char* said :
             {"\ndunmar5.tmp line 4 skipped: the justification \"R\" is neither C nor L.",
              "\ndunmar5.tmp line 7 skipped: y1 is not a number: \"abc\".",
              "\ndunmar5.tmp line 8 skipped: the text height must be more than 0.",
              "\ndunmar5.tmp line 9 skipped: \"ARC\" is no TEXT, LINE or INSERT record.",
              "\ndunmar5.tmp line 10 skipped: a LINE record has 7 fields, this one 3.",
              "\ndunmar6.tmp line 8 skipped: the LINE here is followed by 0 vertices; a polyline needs 2.",
              "\n3 texts, 1 lines and 1 blocks drawn.", "\n2 polylines drawn on OFFSET_LINE."})
            EXPECT_NE(out.find(said), std::string::npos) << said << "\n" << out;
    }
}

// The reader takes each line whole: a last line without a line end keeps its
// last character (the justification "C", the vertex's last digit), with LF
// and with CR LF line ends. A LINE followed by one vertex, and vertices before
// the first LINE, make no polyline and are said.
TEST_F(XsecDrawing, LastLinesWithoutALineEndAndShortPolylinesAreReadRight)
{
    for (const char* ends : {"", "crlf\n"}) {
        SCOPED_TRACE(ends[0] ? "CR LF" : "LF");
        run("NEW\n");
        save_drawing();
        dunmar_script(std::string(ends) +
                      "bare 5\nbare 6\n"
                      "5 TEXT,1,2,1.5,90,LAST,XSEC_TEXT,C\n"
                      "6 5,5\n6 LINE\n6 9,9\n6 LINE\n6 1,2\n6 3,4\n6 LINE\n6 10,20\n6 30,47\n");
        const std::string out = draw();
        const auto texts = live("TEXT");
        ASSERT_EQ(texts.size(), 1u) << out;
        EXPECT_EQ(texts[0]->text(1), "LAST");
        EXPECT_EQ(texts[0]->integer(72), 1);
        const auto polylines = live("LWPOLYLINE", "OFFSET_LINE");
        ASSERT_EQ(polylines.size(), 2u) << out;
        const auto last = vertices(*polylines[1]);
        ASSERT_EQ(last.size(), 2u);
        EXPECT_NEAR(last[1].x, 30, kTol);
        EXPECT_NEAR(last[1].y, 47, kTol);
        EXPECT_NE(
            out.find("\ndunmar6.tmp line 1 skipped: a vertex before the first LINE belongs to no polyline."),
            std::string::npos)
            << out;
        EXPECT_NE(
            out.find(
                "\ndunmar6.tmp line 2 skipped: the LINE here is followed by 1 vertex; a polyline needs 2."),
            std::string::npos)
            << out;
    }
}

// A program that cancels, ends without answering or never answers within the
// wait: said, and the drawing is unchanged, also when results of an earlier
// run are still in the temporary folder.
TEST_F(XsecDrawing, AProgramThatCancelsOrGivesNoAnswerLeavesTheDrawingUnchanged)
{
    save_drawing();
    ASSERT_TRUE(test_make_point("SURVEY", 1, 1, 1));
    const struct {
        const char* name;
        const char* script;
        const char* said;
    } cases[] = {
        {"cancel", "answer cancel\n5 LINE,0,0,1,1,0,L\n",
         "\nThe cross-section program was cancelled; nothing was drawn."},
        {"cancel in capitals", "answer CANCEL\n",
         "\nThe cross-section program was cancelled; nothing was drawn."},
        {"ends without answering", "answer none\n5 LINE,0,0,1,1,0,L\n",
         "\nDunmar.exe ended without giving an answer.\nNothing was drawn."},
        {"no answer within the wait", "sleep 8\n5 LINE,0,0,1,1,0,L\n",
         "\nDunmar.exe gave no answer within 600 seconds and may still be running.\nNothing was drawn."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        // What an earlier run left behind is not drawn.
        write(temp("dunmar5.tmp"), "LINE,0,0,5,5,0,STALE\n");
        write(temp("dunmar6.tmp"), "LINE\n0,0\n5,5\n");
        dunmar_script(c.script);
        // The wait gives up after 0.6 real seconds, long before the program answers.
        session().pump_second_ms = std::string(c.name) == "no answer within the wait" ? 1 : 25;
        const size_t before = entity_count();
        const std::string out = draw();
        EXPECT_NE(out.find(c.said), std::string::npos) << out;
        EXPECT_EQ(entity_count(), before);
        host::platform::wait_children();
    }
}

// No starting point ends at once with nothing written; result files that the
// program did not write are alerted, and what was drawn before stays.
TEST_F(XsecDrawing, NoStartingPointOrAMissingResultFileIsSaid)
{
    save_drawing();
    for (const char* answer : {"", "^C", "left\n"}) {
        const std::string out = draw(answer);
        EXPECT_NE(out.find("\nNo starting point; nothing was drawn."), std::string::npos) << out;
    }
    EXPECT_FALSE(std::filesystem::exists(temp("dunmar.tmp")));

    dunmar_script("nofile 5\n");
    draw();
    ASSERT_FALSE(session().transcript().alerts.empty());
    EXPECT_EQ(session().transcript().alerts.back(),
              "Error Reading file\n" + home() +
                  "/AppData/Roaming\\PelmoraSoftware\\OrvikSurvey\\temp\\dunmar5.tmp");
    EXPECT_EQ(entity_count(), 0u);

    dunmar_script("nofile 6\n5 LINE,0,0,1,1,0,XSEC_DATUM\n");
    draw();
    EXPECT_EQ(session().transcript().alerts.back(),
              "Error Reading file\n" + home() +
                  "/AppData/Roaming\\PelmoraSoftware\\OrvikSurvey\\temp\\dunmar6.tmp");
    EXPECT_EQ(live("LINE").size(), 1u);
}

// From survey points to a drawn cross-section: b_ptpxsection writes the point
// file in the drawing's folder and b_xsection has the program draw it. Each
// ground line runs through the starting point + (offset, level - datum), the
// datum a whole metre below the lowest level; the next section lies below.
TEST_F(XsecDrawing, APointFileOfTheSurveyIsDrawnAsCrossSections)
{
    save_drawing();
    const std::string file = path("site/road.dunmar");
    run("(b_ptpxsection)\nset t_file " + file +
        "\npick tg_pick_pnt\nok\n"
        "0,0,12.4\n-5,0\n-6,0,12.9\n4,0,11.75\n8,0,11.2\n\n"
        "0,25,12.0\n-5,25\n-3,25,12.6\n5,25,10.3\n\nX\n");
    ASSERT_EQ(read(file),
              "1,0.000,0.000,12.400,P\n2,0.000,-6.000,12.900,P\n3,0.000,4.000,11.750,P\n"
              "4,0.000,8.000,11.200,P\n1,25.000,0.000,12.000,P\n2,25.000,-3.000,12.600,P\n"
              "3,25.000,5.000,10.300,P\n");
    std::filesystem::remove(path("dunmar_script.txt"));  // the program takes the newest point file
    const std::string out = draw("500,800");
    const auto ground = live("LWPOLYLINE", "OFFSET_LINE");
    ASSERT_EQ(ground.size(), 2u) << out;
    // Section 1: levels 11.2 to 12.9, datum 10; its top at y 800, so its
    // datum at 800 - (12.9 - 10) = 797.1.
    const std::vector<std::pair<double, double>> first = {{-6, 12.9}, {0, 12.4}, {4, 11.75}, {8, 11.2}};
    const auto v1 = vertices(*ground[0]);
    ASSERT_EQ(v1.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_NEAR(v1[i].x, 500 + first[i].first, 1e-3);
        EXPECT_NEAR(v1[i].y, 797.1 + first[i].second - 10, 1e-3);
    }
    // Section 2: levels 10.3 to 12.6, datum 9; its top is 8.5 + 10 below the
    // first datum: 778.6, its datum 778.6 - 3.6 = 775.
    const std::vector<std::pair<double, double>> second = {{-3, 12.6}, {0, 12.0}, {5, 10.3}};
    const auto v2 = vertices(*ground[1]);
    ASSERT_EQ(v2.size(), second.size());
    for (size_t i = 0; i < second.size(); ++i) {
        EXPECT_NEAR(v2[i].x, 500 + second[i].first, 1e-3);
        EXPECT_NEAR(v2[i].y, 775 + second[i].second - 9, 1e-3);
    }
    bool chainage_shown = false;
    for (const host::Entity* t : live("TEXT", "XSEC_TEXT"))
        if (t->text(1) == "CH 25.000") {
            chainage_shown = true;
            EXPECT_NEAR(t->point(11).y, 775 - 8.5, 1e-3);
        }
    EXPECT_TRUE(chainage_shown) << out;

    // ezdxf reads the saved drawing with the sections in it.
    run("SAVE\n");
    outside::expect_ezdxf_reads(path("site/road.dxf"), {});
    run("PICTURE " + path("site/road.png") + "\n");
    EXPECT_TRUE(std::filesystem::exists(path("site/road.png")));
}

}  // namespace
