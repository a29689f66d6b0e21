// The dialog conventions, through the host's dialogs answered from a script: a
// test dialog file in an installation folder of the test's own.
#include "dialog_conventions.h"

#include "../platform/platform_test_env.h"
#include "drawing_queries.h"

namespace {

const char* kTestDialog = R"(
conventions_dlg : dialog {
    label = "Conventions";
    : edit_box { key = "t_height"; label = "Height"; }
    : edit_box { key = "t_count"; label = "Count"; }
    : edit_box { key = "t_layer"; label = "Layer"; }
    : edit_box { key = "t_level"; label = "Level"; }
    : toggle { key = "tg_label"; label = "Label"; }
    : radio_row {
        : radio_button { key = "rb_left"; label = "Left"; }
        : radio_button { key = "rb_right"; label = "Right"; }
    }
    : popup_list { key = "pop_unit"; }
    : button { key = "pick_btn"; label = "Pick <"; }
    : button { key = "help_btn"; label = "Help"; }
    : text { key = "text_author"; }
    : button { key = "accept"; label = "OK"; is_default = true; }
    : button { key = "cancel"; label = "Cancel"; is_cancel = true; }
}
)";

class DialogConventionsTest : public PlatformTest {
protected:
    void SetUp() override
    {
        PlatformTest::SetUp();
        install = home + "/install";
        write_file(install + "/dcl/Conventions.dcl", kTestDialog);
        host::platform::registry_write_text(host::platform::kProductKey, "Installation folder", install);
    }

    // The command's variables and its table of tiles.
    double height = 10;
    int count = 3;
    std::string layer = "0";
    std::string level = "12.500";  // a number the command keeps as a text
    int label = 0;
    int side = 0;  // 0 left, 1 right
    int unit = 0;
    const std::vector<std::string> units{"METER", "LINK", "FEET"};
    std::vector<std::string> shown_height;  // the tile's text after each height callback

    dialog_def conventions()
    {
        return dialog_def{"Conventions.dcl",
                          "conventions_dlg",
                          {tile_real("t_height", height, 2) +
                               [this](ads_callback_packet* p) {
                                   char text[64];
                                   ads_get_tile(p->dialog, "t_height", text, sizeof text);
                                   shown_height.push_back(text);
                               },
                           tile_integer("t_count", count), tile_layer("t_layer", layer, 12),
                           tile_number_text("t_level", level, 3), tile_toggle("tg_label", label),
                           tile_choice("rb_left", side, 0), tile_choice("rb_right", side, 1),
                           tile_popup("pop_unit", unit, units), tile_button("pick_btn", 2),
                           tile_help("help_btn", "/utiliti_menu.htm"), tile_button("accept", DLGOK),
                           tile_button("cancel", DLGCANCEL)},
                          {}};
    }

    std::string install;
};

TEST_F(DialogConventionsTest, AWrongNumberIsReplacedByTheLastGoodOne)
{
    answers(
        "set t_height 12a\nset t_height 5\nset t_height 7.25x\nset t_count 4.\nset t_count -\npick accept\n");
    dialog_def def = conventions();
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_EQ(shown_height, (std::vector<std::string>{"10.00", "5.00", "5.00"}));
    EXPECT_DOUBLE_EQ(height, 5);
    EXPECT_EQ(count, 4);

    answers("set t_level 7.5\nset t_level 8,2\npick accept\n");
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_EQ(level, "7.500");  // reformatted; "8,2" is no number
}

// A number far beyond any drawing's size is stored and shown back without overrunning the writer.
TEST_F(DialogConventionsTest, AHugeNumberIsStoredAndShownBack)
{
    answers("set t_height 1" + std::string(70, '0') + "\npick accept\n");
    dialog_def def = conventions();
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_DOUBLE_EQ(height, 1e70);
    ASSERT_FALSE(shown_height.empty());
    EXPECT_EQ(shown_height.back().rfind("1000000000", 0), 0u) << shown_height.back();
}

TEST_F(DialogConventionsTest, TogglesChoicesListsAndLayerNamesReachTheVariables)
{
    answers("set t_layer BAD*NAME\nset tg_label 1\nset rb_right 1\nselect pop_unit 2\npick accept\n");
    dialog_def def = conventions();
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_EQ(layer, "0");  // refused, with an alert
    EXPECT_FALSE(alerts().empty());
    EXPECT_EQ(label, 1);
    EXPECT_EQ(side, 1);
    EXPECT_EQ(unit, 2);

    answers("set t_layer BGD_LABEL\nset t_layer LABEL_TOO_LONG\nset rb_left 1\npick accept\n");
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_EQ(layer, "BGD_LABEL");  // the 14-character name is longer than the 12 allowed
    EXPECT_EQ(side, 0);
}

TEST_F(DialogConventionsTest, APickStatusShowsTheDialogAgainWithTheNewValues)
{
    std::vector<std::string> heights_at_open;
    answers("pick pick_btn\nset t_height 3\npick pick_btn\npick accept\n");
    dialog_def def = conventions();
    def.on_open = [&](ads_hdlg dialog) {
        char text[64];
        ads_get_tile(dialog, "t_height", text, sizeof text);
        heights_at_open.push_back(text);
    };
    int picks = 0;
    EXPECT_EQ(dialog_run(def,
                         [&](int status) {
                             EXPECT_EQ(status, 2);
                             height += 100;  // what the pick found
                             return ++picks < 5;
                         }),
              DLGOK);
    EXPECT_EQ(picks, 2);
    EXPECT_EQ(heights_at_open, (std::vector<std::string>{"10.00", "110.00", "103.00"}));
}

// A size and decimals keep the one rule; a dialog without an error tile says
// why on the command line, each refusal on a line of its own.
TEST_F(DialogConventionsTest, ASizeAndDecimalsRefusedOnTheCommandLineWithoutAnErrorTile)
{
    int decimals = 3;
    dialog_def def{"Conventions.dcl",
                   "conventions_dlg",
                   {tile_size("t_height", height, 2), tile_decimals("t_count", decimals),
                    tile_button("accept", DLGOK), tile_button("cancel", DLGCANCEL)},
                   {}};
    answers(
        "set t_height 0\nset t_height -0.0\nset t_height x1\nset t_count 11\nset t_count 1.5\n"
        "set t_height 2.5\nset t_count 0\npick accept\n");
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_DOUBLE_EQ(height, 2.5);
    EXPECT_EQ(decimals, 0);
    const std::string said = transcript();
    const std::string size = "\nThe value must be more than 0.\n";
    const std::string range = "\nThe decimals must be 0 to 10.\n";
    EXPECT_EQ(queries::count(said, size), 2u) << said;
    EXPECT_EQ(queries::count(said, "\n\"x1\" is no number. The value must be more than 0.\n"), 1u) << said;
    EXPECT_EQ(queries::count(said, range), 2u) << said;
}

TEST_F(DialogConventionsTest, CancelLeavesTheDialogAtOnce)
{
    answers("set tg_label 1\npick cancel\n");
    dialog_def def = conventions();
    int picks = 0;
    EXPECT_EQ(dialog_run(def, [&](int) { return ++picks > 0; }), DLGCANCEL);
    EXPECT_EQ(picks, 0);
}

TEST_F(DialogConventionsTest, TheAuthorTileAndHelpShowTheMakersPage)
{
    std::string author;
    answers("pick help_btn\npick accept\n");
    dialog_def def = conventions();
    def.on_open = [&](ads_hdlg dialog) {
        char text[64];
        ads_get_tile(dialog, "text_author", text, sizeof text);
        author = text;
    };
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_EQ(author, home_page_url());
    ASSERT_FALSE(host::platform::opened_addresses().empty());
    EXPECT_EQ(host::platform::opened_addresses().back(), home_page_url());
}

// An installation folder named the Windows way (a drive letter, "\\", another
// case than on disk) finds the dialog file through the platform's path mapping.
TEST_F(DialogConventionsTest, AWindowsInstallationFolderFindsTheFile)
{
    write_file(home + "/drive_c/Program Files/OrvikSurvey/dcl/Conventions.dcl", kTestDialog);
    host::platform::registry_write_text(host::platform::kProductKey, "Installation folder",
                                        "C:\\PROGRAM FILES\\OrvikSurvey");
    answers("set t_count 7\npick accept\n");
    dialog_def def = conventions();
    EXPECT_EQ(dialog_run(def), DLGOK);
    EXPECT_EQ(count, 7);
    EXPECT_EQ(transcript().find("Error Loading"), std::string::npos) << transcript();
}

TEST_F(DialogConventionsTest, AMissingFileIsReportedWithItsFullPathAndChangesNothing)
{
    const size_t entities = session().current().drawing.model.size();
    dialog_def def = conventions();
    def.file = "Missing_Dlg.dcl";
    EXPECT_EQ(dialog_run(def), dialog_not_shown);
    EXPECT_NE(transcript().find("\n Error Loading " + install + "/dcl/Missing_Dlg.dcl"), std::string::npos);
    EXPECT_DOUBLE_EQ(height, 10);
    EXPECT_EQ(session().current().drawing.model.size(), entities);
}

}  // namespace
