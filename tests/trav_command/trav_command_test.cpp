// The traverse command driven through the host as a user types it: open a
// traverse file and list it, enter a new traverse from a picked point and
// close it, save it and read the file back, leave without saving, and edit
// it in the external editor (a stand-in sibling).
#include "trav_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "folders_registry.h"
#include "host_fixture.h"
#include "platform/siblings.h"
#include "trav_command_support.h"
#include "trav_engine.h"
#include "trav_file.h"
#include "trav_settings.h"

namespace {

// The square: 1 (1000, 2000), 2 (1100, 2000), 3 (1100, 1900), 4 (1000, 1900),
// back to 1 by bearing 0 / 100 m; every leg is exact, so it closes without
// misclosure and its area is 100 x 100.
const char* const square_legs =
    "90\n100\n\n"   // 1 -> 2
    "180\n100\n\n"  // 2 -> 3
    "-90\n100\n\n"  // 3 -> 4, reverse bearing 270
    "0\n100\n1\n";  // 4 -> 1

TEST_F(TravCommand, OpenedLoopIsComputedListedAndItsAreaPrinted)
{
    std::filesystem::copy_file(std::string(ORVIK_SOURCE_DIR) + "/tests/traverse/data/loop.trv",
                               path("loop.trv"));
    const std::string shown = run("(b_trav)\nO\n" + path("loop.trv") + "\nP\nP\nP\nA\nX\n");
    // Figures from tests/traverse/data/worked_expected.txt (loop_d0_noadj):
    // station 2 (5085.921436, 3084.422478), 3 (5155.548601, 3014.375472),
    // 4 (5062.423518, 2923.665832); diflat -0.006174, difdip 0.010899,
    // ratio 35751, length 447.843, area 12335.512834.
    for (const char* line : {
             "\n[1--1]Tikai 1: 35751   dist=447.843  diflat= -0.006  difdip= 0.011",
             "\nRoute 0 =>[6]1,2,3,4,1,-1,",
             "\n1,2,45.3015,120.456,84.422,85.921,3084.422478,5085.921436,3084.422478,5085.921436",
             "\n2,3,135.1020,98.765,-70.047,69.627,3014.375472,5155.548601,",
             "\n3,4,225.4510,130.002,-90.710,-93.125,2923.665832,5062.423518,",
             "\nstn=1,5000.000,3000.000,FIXED",
             "\nstn=2,5085.921,3084.422,CAL",
             "\nstn=3,5155.549,3014.375,CAL",
             "\nstn=4,5062.424,2923.666,CAL",
             "\nLoop 0 Area=12335.513",
         })
        EXPECT_NE(shown.find(line), std::string::npos) << line;
    // An opened traverse has no "<N>ame" entry, and leaving erases the texts
    // without asking.
    EXPECT_NE(shown.find("<K> <T>rav ra<D> <P>rop <R>edraw <E>dit <S>ave to Dwg e<X>it\nTRAV <1> "),
              std::string::npos);
    EXPECT_EQ(shown.find("Save Travers"), std::string::npos);
    EXPECT_TRUE(work_texts().empty());
}

TEST_F(TravCommand, AFileThatCannotBeReadIsNamedAndNothingIsDrawn)
{
    const std::string shown = run("(b_trav)\nO\n" + path("missing.trv") + "\n");
    EXPECT_NE(shown.find("\nCannot read " + path("missing.trv")), std::string::npos);
    EXPECT_EQ(shown.find("TRAV <"), std::string::npos);
    EXPECT_TRUE(work_texts().empty());
}

TEST_F(TravCommand, NewSquareIsClosedSavedAndAppendedToAtOnce)
{
    const std::string shown = start_new(std::string(square_legs) + "P\nC\nS\n1\nP\nP\nN\n" +
                                        path("square.trv") + "\nD\n\n45\n10\n\nX\n");
    EXPECT_NE(shown.find("\n[1--1]Tikai 1: 2147483647   dist=400.000  diflat= 0.000  difdip= "),
              std::string::npos);
    EXPECT_NE(shown.find("\nRoute 0 =>[6]1,2,3,4,1,-1,"), std::string::npos);
    EXPECT_NE(shown.find("\nstn=3,1100.000,1900.000,CAL"), std::string::npos);
    EXPECT_NE(shown.find("\nstn=4,1000.000,1900.000,CAL"), std::string::npos);
    // The radiation entered after saving went to the file at once.
    EXPECT_EQ(read_text(path("square.trv")),
              "KOLVA4\n"
              "P,1,1,1000.0000000000,2000.0000000000,0.000,METER,\n"
              "T,1,2,90.0000,100.000,0.000,METER,\n"
              "T,2,3,180.0000,100.000,0.000,METER,\n"
              "T,3,4,270.0000,100.000,0.000,METER,\n"
              "T,4,1,0.0000,100.000,0.000,METER,\n"
              "C,1,1,0.0000,0.000,0.000,METER,\n"
              "R,1,5,45.0000,10.000,0.000,METER,\n");

    // Read back: the radiation lands 10 m out at 45 degrees from station 1:
    // 10 sin 45 = 7.071068.
    trav_lists back;
    trav_settings().file_name = path("square.trv");
    ASSERT_EQ(read_trav_file(back.observations, back.radiations, back.routes, back.stations, false),
              trav_read_ok);
    trav_solve(back.observations, back.radiations, back.stations, back.routes);
    point3d_rec five;
    ASSERT_TRUE(trav_find_station(5, five, back.stations));
    EXPECT_NEAR(five.x, 1007.071068, 1e-6);
    EXPECT_NEAR(five.y, 2007.071068, 1e-6);
    EXPECT_TRUE(work_texts().empty());
}

TEST_F(TravCommand, NegativeBearingsAreEnteredAsTheirReverse)
{
    struct bearing_case {
        const char* typed;
        const char* stored;
    };
    const bearing_case cases[] = {{"-45.3000", "225.3000"}, {"-270", "90.0000"}, {"-180", "0.0000"}};
    int n = 0;
    for (const bearing_case& c : cases) {
        const std::string file = path("b" + std::to_string(++n) + ".trv");
        start_new(std::string(c.typed) + "\n25\n\nN\n" + file + "\nX\n");
        EXPECT_NE(read_text(file).find(std::string("\nT,1,2,") + c.stored + ",25.000,"), std::string::npos)
            << c.typed;
    }
}

TEST_F(TravCommand, LeavingANewTraverseAsksAboutSaving)
{
    struct exit_case {
        const char* answer;
        std::vector<std::string> texts_left;
    };
    const exit_case cases[] = {
        {"pick no", {}},
        {"pick cancel", {"1@1000.000,2000.000", "2@1100.000,2000.000"}},
    };
    for (const exit_case& c : cases) {
        // Each case starts with an empty work layer.
        for (long id : drawing().model)
            if (host::Entity* e = drawing().get(id); e && e->layer() == "Orvik_survey_temp") e->erased = true;
        const std::string shown = start_new(std::string("90\n100\n\nX\n") + c.answer + "\n");
        EXPECT_NE(shown.find("Dialog yes_no_dlg>"), std::string::npos);
        EXPECT_EQ(work_texts(), c.texts_left) << c.answer;
        // Nothing is written for a traverse that was not saved.
        EXPECT_FALSE(std::filesystem::exists(path("site.trv"))) << c.answer;
    }
}

TEST_F(TravCommand, NewTraverseIsDrawnAsVectorsAndNumbers)
{
    start_new("90\n100\n\n180\n50\n\nD\n\n0\n20\n\nX\npick cancel\n");
    // 1 (1000, 2000) -> 2 (1100, 2000) -> 3 (1100, 1950); radiation 4 from 3,
    // the current traverse station, at bearing 0 / 20 m: (1100, 1970).
    EXPECT_EQ(work_texts(), (std::vector<std::string>{"1@1000.000,2000.000", "2@1100.000,2000.000",
                                                      "3@1100.000,1950.000", "4@1100.000,1970.000"}));
    const std::vector<host::GrVector>& vectors = session().current().temp_vectors;
    ASSERT_EQ(vectors.size(), 3u);
    EXPECT_EQ(vectors[0].colour, 2);
    EXPECT_NEAR(vectors[1].to.y, 1950.0, 1e-6);
    EXPECT_EQ(vectors[2].colour, 5);
    EXPECT_NEAR(vectors[2].to.y, 1970.0, 1e-6);
}

TEST_F(TravCommand, SettingsDialogChangesTextsAndPromptsOnlyOnOk)
{
    struct settings_case {
        const char* dialog;
        const char* leg;  // the answers of the next leg
        double height;    // of the new station's number
        bool asks_level;
    };
    const settings_case cases[] = {
        {"set t_txth 5\nset t_travlightcolor 3\npick tg_promplevel\nok\n", "90\n10\n\n12.5\n", 5.0, true},
        {"set t_txth 5\npick tg_promplevel\ncancel\n", "90\n10\n\n", 2.0, false},
        // A text height that is no number keeps the last good one.
        {"set t_txth abc\nok\n", "90\n10\n\n", 2.0, false},
    };
    for (const settings_case& c : cases) {
        for (long id : drawing().model)
            if (host::Entity* e = drawing().get(id); e && e->layer() == "Orvik_survey_temp") e->erased = true;
        const std::string shown = start_new(std::string("P\nS\n") + c.dialog + c.leg + "X\npick cancel\n");
        EXPECT_NE(shown.find("Dialog trav_setting_dlg>"), std::string::npos);
        EXPECT_EQ(shown.find("Level<") != std::string::npos, c.asks_level) << c.dialog;
        double height = 0;
        for (long id : drawing().model) {
            const host::Entity* e = drawing().get(id);
            if (e && !e->erased && e->type == "TEXT" && e->text(1) == "2") height = e->real(40);
        }
        EXPECT_DOUBLE_EQ(height, c.height) << c.dialog;
        // Back to the defaults for the next case.
        run("(b_trav)\n1000,2000\nM\n1\nP\nS\nset t_txth 2\nset t_travlightcolor 2\nset tg_promplevel "
            "0\nok\nX\npick no\n");
    }
}

// A traverse without a file is edited through a scratch copy; a real traverse
// file of the drawing's name is neither overwritten nor deleted.
TEST_F(TravCommand, EditorRoundTripKeepsARealFileOfTheDrawingsName)
{
    const std::string real = "KOLVA4\nP,9,9,1.0000000000,2.0000000000,0.000,METER,\n";
    write_text(path("site.trv"), real);
    std::string edited_path;
    register_sibling_standin("KolvaEditor", [&] {
        std::string file;
        reg_read_string(ORVIK_REGISTRY_SUBKEY, "kolva_file", file);
        edited_path = file;
        std::ofstream(file, std::ios::app) << "T,2,3,180.0000,50.000,0.000,METER,\n";
        reg_write_string(ORVIK_REGISTRY_SUBKEY, "kolva", "close");
    });
    const std::string shown = start_new("90\n100\n\nE\nP\nP\nX\npick no\n");
    EXPECT_EQ(edited_path, path("site-1.trv"));
    EXPECT_NE(shown.find("\nWaiting..for editor close."), std::string::npos);
    // The editor's leg was read back: 3 = 2 + (0, -50).
    EXPECT_NE(shown.find("\nstn=3,1100.000,1950.000,CAL"), std::string::npos);
    EXPECT_EQ(read_text(path("site.trv")), real);
    EXPECT_FALSE(std::filesystem::exists(path("site-1.trv")));
}

}  // namespace
