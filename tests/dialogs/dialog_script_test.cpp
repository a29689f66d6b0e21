// Dialogs answered from a script through the host's dialog functions: the
// callbacks a test registers see what a user's actions would send them, and the
// dialog ends with the status its buttons, its file's actions or Esc give.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "adsdlg.h"
#include "dialogs/dcl_runtime.h"
#include "host_fixture.h"
#include "session/session.h"

namespace {

namespace fs = std::filesystem;

// What a callback was told.
struct Call {
    std::string key, value;
    int reason;
    bool operator==(const Call&) const = default;
};
std::vector<Call> g_calls;

void record(ads_callback_packet* packet)
{
    g_calls.push_back({packet->tile, packet->value, packet->reason});
}

// Ends the dialog with status 7 after reading back an edit box.
std::string g_read_back;
void go_button(ads_callback_packet* packet)
{
    record(packet);
    char value[TILE_STR_LIMIT + 1];
    ads_get_tile(packet->dialog, "t_height", value, sizeof value);
    g_read_back = value;
    ads_done_dialog(packet->dialog, 7);
}

// Disables the button "btn_go" and sets the edit box, as callbacks that keep
// tiles in step do.
void toggle_rule(ads_callback_packet* packet)
{
    record(packet);
    const bool on = std::string(packet->value) == "1";
    ads_mode_tile(packet->dialog, "btn_go", on ? MODE_DISABLE : MODE_ENABLE);
    ads_set_tile(packet->dialog, "t_height", on ? "9.5" : "1");
}

void terminate(ads_callback_packet* packet)
{
    ads_term_dialog();
}

// Asks for a file, as a "browse" button does, and ends the dialog with status 4.
std::string g_file;
void browse(ads_callback_packet* packet)
{
    resbuf* result = acutNewRb(RTSTR);
    if (acedGetFileD("Open ASCII Data", "", "txt", 0, result) == RTNORM && result->restype == RTSTR)
        g_file = result->resval.rstring;
    acutRelRb(result);
    ads_done_dialog(packet->dialog, 4);
}

const char* kTestDialog = R"dcl(
test_dlg : dialog {
    label = "Test dialog";
    : edit_box { key = "t_height"; label = "Height"; value = "2.5"; }
    : toggle { key = "tg_flag"; label = "Flag"; }
    : radio_row { key = "radio_ip";
        : radio_button { key = "rb_a"; label = "A"; value = "1"; }
        : radio_button { key = "rb_b"; label = "B"; }
    }
    : popup_list { key = "pop_layer"; list = "0\nROAD\nLOT"; }
    : list_box { key = "lb_items"; }
    : text { key = "t_msg"; label = "Message"; }
    : button { key = "p_pick"; label = "Pick"; action = "(done_dialog 3)"; }
    : button { key = "btn_off"; label = "Off"; is_enabled = false; }
    : button { key = "btn_go"; label = "Go"; }
    : button { key = "btn_end"; label = "End"; }
    : button { key = "btn_lisp"; label = "Lisp"; action = "(princ)"; }
    ok_cancel;
}
)dcl";

class DialogScript : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        g_calls.clear();
        g_read_back.clear();
        folder_ = fs::path(home()) / "install";
        fs::create_directories(folder_ / "dcl");
        write_file("dcl/test.dcl", kTestDialog);
    }

    void write_file(const std::string& name, const std::string& text)
    {
        std::ofstream(folder_ / name) << text;
    }

    // Loads test_dlg, binds the recording callback to the tiles the test names and
    // returns the handle.
    ads_hdlg open(std::initializer_list<const char*> recorded = {"t_height", "tg_flag", "rb_a", "rb_b",
                                                                 "pop_layer", "lb_items"})
    {
        int id = -1;
        EXPECT_EQ(ads_load_dialog((folder_ / "dcl/test.dcl").c_str(), &id), RTNORM);
        ads_hdlg dialog = nullptr;
        EXPECT_EQ(ads_new_dialog("test_dlg", id, nullptr, &dialog), RTNORM);
        for (const char* key : recorded) EXPECT_EQ(ads_action_tile(dialog, key, record), RTNORM);
        return dialog;
    }

    // Starts the dialog answered by the script; the status it ended with.
    int run_dialog(ads_hdlg dialog, const std::string& script)
    {
        session().set_input(host::script_input(script));
        int status = -99;
        EXPECT_EQ(ads_start_dialog(dialog, &status), RTNORM);
        return status;
    }

    std::string transcript() { return session().transcript().text(); }

    fs::path folder_;
};

TEST_F(DialogScript, CallbacksSeeKeyValueAndReason)
{
    ads_hdlg dialog = open();
    ads_action_tile(dialog, "btn_go", go_button);
    const int status = run_dialog(dialog,
                                  "set t_height 5.25\n"
                                  "pick tg_flag\n"
                                  "pick rb_b\n"
                                  "set rb_a 1\n"
                                  "select pop_layer 2\n"
                                  "pick btn_go\n");
    EXPECT_EQ(status, 7);
    const std::vector<Call> expected = {
        {"t_height", "5.25", CBR_LOST_FOCUS},
        {"tg_flag", "1", CBR_SELECT},
        {"rb_b", "1", CBR_SELECT},
        {"rb_a", "1", CBR_SELECT},
        {"pop_layer", "2", CBR_SELECT},
        {"btn_go", "btn_go", CBR_SELECT},
    };
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(g_read_back, "5.25");
}

TEST_F(DialogScript, StatusesFromButtonsActionsAndEsc)
{
    struct Case {
        const char* script;
        int status;
    };
    const Case cases[] = {
        {"pick p_pick\n", 3},           // the file's own (done_dialog 3)
        {"ok\n", DLGOK},                // "accept" with no callback
        {"pick accept\n", DLGOK},       //
        {"pick cancel\n", DLGCANCEL},   // is_cancel with no callback
        {"cancel\n", DLGCANCEL},        // Esc
        {"^C\n", DLGCANCEL},            //
        {"pick btn_end\nok\n", DLGOK},  // a button that does nothing leaves the dialog open
        {"show\nbogus words\npick nothere\ncancel\n", DLGCANCEL},
        {"pick btn_lisp\npick p_pick\n", 3},  // an action the host cannot evaluate does nothing
    };
    for (const Case& c : cases) {
        g_calls.clear();
        EXPECT_EQ(run_dialog(open(), c.script), c.status) << c.script;
        EXPECT_TRUE(host::open_dialog_name().empty());
    }
    for (const char* message : {"Button \"btn_end\" has no action.", "has no tile \"nothere\"",
                                "A dialog is open: answer with set KEY VALUE",
                                "The dialog cannot evaluate the action \"(princ)\" of tile \"btn_lisp\"."})
        EXPECT_NE(transcript().find(message), std::string::npos) << message;
}

TEST_F(DialogScript, TermDialogFromACallbackEndsAllDone)
{
    ads_hdlg dialog = open();
    ads_action_tile(dialog, "btn_end", terminate);
    EXPECT_EQ(run_dialog(dialog, "pick btn_end\n"), DLGALLDONE);
}

TEST_F(DialogScript, CallbackAsksForAFileFromTheSameInput)
{
    ads_hdlg dialog = open();
    ads_action_tile(dialog, "btn_end", browse);
    g_file.clear();
    EXPECT_EQ(run_dialog(dialog, "set t_height 3\npick btn_end\n/data/points.txt\n"), 4);
    EXPECT_EQ(g_file, "/data/points.txt");
    EXPECT_EQ(g_calls, (std::vector<Call>{{"t_height", "3", CBR_LOST_FOCUS}}));
}

TEST_F(DialogScript, DisabledTilesRefuseActions)
{
    ads_hdlg dialog = open();
    ads_action_tile(dialog, "tg_flag", toggle_rule);
    ads_action_tile(dialog, "btn_go", go_button);
    ads_mode_tile(dialog, "radio_ip", MODE_DISABLE);  // a disabled row disables its buttons
    const int status = run_dialog(dialog,
                                  "pick btn_off\n"
                                  "pick rb_b\n"
                                  "pick tg_flag\n"  // disables btn_go and sets t_height to 9.5
                                  "pick btn_go\n"
                                  "pick tg_flag\n"  // enables it again and sets t_height to 1
                                  "pick btn_go\n");
    EXPECT_EQ(status, 7);
    EXPECT_NE(transcript().find("Tile \"btn_off\" is disabled; the action is refused."), std::string::npos);
    EXPECT_NE(transcript().find("Tile \"rb_b\" is disabled"), std::string::npos);
    EXPECT_NE(transcript().find("Tile \"btn_go\" is disabled"), std::string::npos);
    const std::vector<Call> expected = {
        {"tg_flag", "1", CBR_SELECT}, {"tg_flag", "0", CBR_SELECT}, {"btn_go", "btn_go", CBR_SELECT}};
    EXPECT_EQ(g_calls, expected);
    EXPECT_EQ(g_read_back, "1");
}

TEST_F(DialogScript, ListsAreFilledAndChosen)
{
    ads_hdlg dialog = open();
    ASSERT_EQ(ads_start_list(dialog, "lb_items", LIST_NEW, 0), RTNORM);
    for (const char* item : {"alpha", "beta", "gamma"}) ads_add_list(item);
    ads_end_list();
    ads_start_list(dialog, "lb_items", LIST_APPEND, 0);
    ads_add_list("delta");
    ads_end_list();
    ads_start_list(dialog, "lb_items", LIST_CHANGE, 1);
    ads_add_list("BETA");
    ads_end_list();
    EXPECT_EQ(ads_start_list(dialog, "lb_items", LIST_CHANGE, 9), RTERROR);
    EXPECT_EQ(ads_start_list(dialog, "t_height", LIST_NEW, 0), RTERROR);  // not a list
    EXPECT_EQ(ads_add_list("stray"), RTERROR);                            // no list open

    const int status = run_dialog(dialog, "select lb_items 4\nselect lb_items 3\nshow\nok\n");
    EXPECT_EQ(status, DLGOK);
    EXPECT_NE(transcript().find("the index must be 0 to 3"), std::string::npos);
    EXPECT_EQ(g_calls, (std::vector<Call>{{"lb_items", "3", CBR_SELECT}}));
    // "show" lists the items as the callbacks left them.
    const std::string shown = transcript();
    for (const char* line : {"0: alpha", "1: BETA", "2: gamma", "3: delta"})
        EXPECT_NE(shown.find(line), std::string::npos) << line;
}

TEST_F(DialogScript, ShowListsEveryTile)
{
    ads_hdlg dialog = open();
    ads_set_tile(dialog, "t_msg", "Hello");
    run_dialog(dialog, "show\ncancel\n");
    const std::string shown = transcript();
    for (const char* line :
         {"Dialog test_dlg \"Test dialog\"", "t_height: edit_box, label \"Height\", value \"2.5\", enabled",
          "radio_ip: radio_row, value \"rb_a\", enabled", "rb_b: radio_button, label \"B\", value \"0\"",
          "btn_off: button, label \"Off\", disabled", "t_msg: text, label \"Message\", value \"Hello\""})
        EXPECT_NE(shown.find(line), std::string::npos) << line << "\n" << shown;
}

// Answers typed by a person: the host lists the dialog before it asks.
class TypedLines : public host::Input {
public:
    explicit TypedLines(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    std::optional<std::string> next_line() override
    {
        if (next_ >= lines_.size()) return std::nullopt;
        return lines_[next_++];
    }
    bool interactive() const override { return true; }

private:
    std::vector<std::string> lines_;
    size_t next_ = 0;
};

TEST_F(DialogScript, TerminalShowsTheDialogBeforeAsking)
{
    ads_hdlg dialog = open();
    ads_mode_tile(dialog, "tg_flag", MODE_DISABLE);
    session().set_input(std::make_unique<TypedLines>(std::vector<std::string>{"ok"}));
    int status = -99;
    ASSERT_EQ(ads_start_dialog(dialog, &status), RTNORM);
    EXPECT_EQ(status, DLGOK);
    const std::string shown = transcript();
    const size_t listing = shown.find("Dialog test_dlg \"Test dialog\"");
    const size_t prompt = shown.find("Dialog test_dlg> ");
    ASSERT_NE(listing, std::string::npos) << shown;
    ASSERT_NE(prompt, std::string::npos) << shown;
    EXPECT_LT(listing, prompt);
    EXPECT_NE(shown.find("tg_flag: toggle, label \"Flag\", value \"0\", disabled"), std::string::npos)
        << shown;
    EXPECT_NE(shown.find("accept: button, label \"OK\", enabled"), std::string::npos) << shown;
}

// A dialog opened from the top level of a script takes the lines it needs; the
// command line has the rest.
TEST_F(DialogScript, ScriptLinesGoToTheOpenDialogThenBackToTheCommandLine)
{
    int status = -99;
    session().register_script_command("TESTDLG",
                                      [&](const std::string&) { ads_start_dialog(open(), &status); });
    const std::string shown =
        run("TESTDLG\n"
            "set t_height 4\n"
            "; a comment between the actions\n"
            "pick p_pick\n"
            "(command \"Donut\" \"0\" \"2\" \"1,1\" \"\")\n");
    EXPECT_EQ(status, 3);
    EXPECT_EQ(g_calls, (std::vector<Call>{{"t_height", "4", CBR_LOST_FOCUS}}));
    const host::Entity* donut = drawing().get(drawing().last_main());
    ASSERT_NE(donut, nullptr) << shown;
    EXPECT_EQ(donut->type, "LWPOLYLINE");
    EXPECT_NE(shown.find("Dialog test_dlg> set t_height 4"), std::string::npos) << shown;
}

TEST_F(DialogScript, InputRunningOutEndsTheDialog)
{
    ads_hdlg dialog = open();
    session().set_input(host::script_input("set t_height 5\n"));
    int status = -99;
    EXPECT_THROW(ads_start_dialog(dialog, &status), host::InputExhausted);
    EXPECT_TRUE(host::open_dialog_name().empty());
    EXPECT_EQ(ads_set_tile(dialog, "t_height", "1"), RTERROR);  // the handle is gone
    EXPECT_EQ(g_calls, (std::vector<Call>{{"t_height", "5", CBR_LOST_FOCUS}}));
}

TEST_F(DialogScript, FilesThatDoNotLoad)
{
    int id = 5;
    EXPECT_EQ(ads_load_dialog((folder_ / "dcl/missing.dcl").c_str(), &id), RTERROR);
    EXPECT_LT(id, 0);

    write_file("dcl/broken.dcl", "broken_dlg : dialog {\n  : button { key = \"a\" }\n}\n");
    EXPECT_EQ(ads_load_dialog((folder_ / "dcl/broken.dcl").c_str(), &id), RTERROR);
    EXPECT_NE(transcript().find("broken.dcl, line 2: ';' expected"), std::string::npos) << transcript();

    // Separators as the product writes them: "\", doubled, mixed.
    std::string windows = folder_.string() + "\\\\dcl\\test.dcl";
    ASSERT_EQ(ads_load_dialog(windows.c_str(), &id), RTNORM);
    ads_hdlg dialog = reinterpret_cast<ads_hdlg>(1);
    EXPECT_EQ(ads_new_dialog("no_such_dlg", id, nullptr, &dialog), RTERROR);
    EXPECT_EQ(dialog, nullptr);
    EXPECT_EQ(ads_new_dialog("test_dlg", id, nullptr, &dialog), RTNORM);
    EXPECT_NE(dialog, nullptr);
    // Loading the unchanged file again (as the product does at every use) gives
    // the same id; a changed file is read afresh.
    int again = -1;
    ASSERT_EQ(ads_load_dialog((folder_ / "dcl/test.dcl").c_str(), &again), RTNORM);
    EXPECT_EQ(again, id);
    write_file("dcl/test.dcl", std::string(kTestDialog) + "\nother_dlg : dialog { ok_only; }\n");
    ASSERT_EQ(ads_load_dialog((folder_ / "dcl/test.dcl").c_str(), &again), RTNORM);
    EXPECT_NE(again, id);
    EXPECT_EQ(ads_new_dialog("other_dlg", again, nullptr, &dialog), RTNORM);
    EXPECT_EQ(ads_unload_dialog(id), RTNORM);
    EXPECT_EQ(ads_new_dialog("test_dlg", id, nullptr, &dialog), RTERROR);
}

TEST_F(DialogScript, TilesSetAndReadBack)
{
    ads_hdlg dialog = open();
    char value[64];
    ads_get_tile(dialog, "t_msg", value, sizeof value);  // a text shows its label until set
    EXPECT_STREQ(value, "Message");
    struct Case {
        const char* key;
        const char* set;
        const char* read;
    };
    const Case cases[] = {
        {"t_height", "12.5", "12.5"}, {"tg_flag", "1", "1"},          {"pop_layer", "1", "1"},
        {"rb_b", "1", "1"},           {"p_pick", "Picked", "Picked"},  // a button's label
    };
    for (const Case& c : cases) {
        ASSERT_EQ(ads_set_tile(dialog, c.key, c.set), RTNORM) << c.key;
        ASSERT_EQ(ads_get_tile(dialog, c.key, value, sizeof value), RTNORM) << c.key;
        EXPECT_STREQ(value, c.read) << c.key;
    }
    // Choosing rb_b turned rb_a off and moved the cluster.
    ads_get_tile(dialog, "rb_a", value, sizeof value);
    EXPECT_STREQ(value, "0");
    ads_get_tile(dialog, "radio_ip", value, sizeof value);
    EXPECT_STREQ(value, "rb_b");
    // A short buffer gets what fits, ended.
    ads_set_tile(dialog, "t_height", "123456789");
    ads_get_tile(dialog, "t_height", value, 4);
    EXPECT_STREQ(value, "123");
    EXPECT_EQ(ads_set_tile(dialog, "nothere", "1"), RTERROR);
    EXPECT_EQ(ads_mode_tile(dialog, "t_height", 9), RTERROR);
    EXPECT_EQ(run_dialog(dialog, "cancel\n"), DLGCANCEL);
}

// The installed yes/no dialog, its buttons bound as its caller binds them:
// an empty value does nothing, each button ends with its own status.
void yes_no_button(ads_callback_packet* packet)
{
    if (!packet->value || !*packet->value) return;
    const std::string key = packet->tile;
    ads_done_dialog(packet->dialog, key == "yes" ? 1 : key == "no" ? 2 : 3);
}

TEST_F(DialogScript, InstalledYesNoDialog)
{
    const std::string path = std::string(ORVIK_INSTALL_TREE) + "/dcl/YesNoCancel.dcl";
    const std::pair<const char*, int> cases[] = {{"pick yes\n", 1}, {"pick no\n", 2}, {"pick cancel\n", 3}};
    for (const auto& [script, status] : cases) {
        int id = -1;
        ASSERT_EQ(ads_load_dialog(path.c_str(), &id), RTNORM);
        ads_hdlg dialog = nullptr;
        ASSERT_EQ(ads_new_dialog("yes_no_dlg", id, nullptr, &dialog), RTNORM);
        ASSERT_EQ(ads_set_tile(dialog, "msg", "Overwrite the file?"), RTNORM);
        ASSERT_EQ(ads_set_tile(dialog, "main", "Save"), RTNORM);
        for (const char* key : {"yes", "no", "cancel"}) ads_action_tile(dialog, key, yes_no_button);
        EXPECT_EQ(run_dialog(dialog, script), status) << script;
    }
}

TEST_F(DialogScript, InstalledPolylineConfirmEndsByItsOwnAction)
{
    const std::string path = std::string(ORVIK_INSTALL_TREE) + "\\dcl\\PolylineConfirm.dcl";
    int id = -1;
    ASSERT_EQ(ads_load_dialog(path.c_str(), &id), RTNORM);
    ads_hdlg dialog = nullptr;
    ASSERT_EQ(ads_new_dialog("PolylineConfirm_dlg", id, nullptr, &dialog), RTNORM);
    ads_set_tile(dialog, "rb_CoordSpline", "1");
    ads_action_tile(dialog, "rb_CoordFrame", record);
    ads_action_tile(dialog, "tg_neverAsk", record);
    EXPECT_EQ(run_dialog(dialog, "pick rb_CoordFrame\npick tg_neverAsk\npick exit\n"), DLGOK);
    EXPECT_EQ(g_calls,
              (std::vector<Call>{{"rb_CoordFrame", "1", CBR_SELECT}, {"tg_neverAsk", "1", CBR_SELECT}}));
}

// A dialog file a user nested too deep is refused by name and line, and the
// refusal is a failure of the session; the host goes on.
TEST_F(DialogScript, ADialogFileNestedTooDeepIsRefusedWithItsLine)
{
    std::string text = "deep_dlg : dialog {\n";
    for (int i = 0; i < 100000; ++i) text += ": row {\n";
    for (int i = 0; i < 100000; ++i) text += "}\n";
    write_file("dcl/deep.dcl", text + "}\n");
    int id = -1;
    const std::string path = (folder_ / "dcl/deep.dcl").string();
    EXPECT_EQ(ads_load_dialog(path.c_str(), &id), RTERROR);
    EXPECT_NE(
        transcript().find("Error in dialog file " + path + ", line 257: tiles nested deeper than 256 levels"),
        std::string::npos)
        << transcript();
    EXPECT_EQ(session().failures(), 1);
    EXPECT_EQ(ads_load_dialog((folder_ / "dcl/test.dcl").c_str(), &id), RTNORM);
}

}  // namespace
