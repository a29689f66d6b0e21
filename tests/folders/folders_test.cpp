// The product's folders and registry routines, the start-and-wait of sibling
// programs through real child processes, and the path helpers.
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "../platform/platform_test_env.h"
#include "folders_registry.h"

namespace {

using host::platform::kProductKey;
using host::platform::registry_read_text;
using host::platform::registry_write_text;

const char* kSubkey = ORVIK_REGISTRY_SUBKEY;

std::string sibling(const std::string& name)
{
    return std::string(ORVIK_INSTALL_TREE) + "\\exe_file\\" + name + ".exe";
}

using FoldersTest = PlatformTest;

TEST_F(FoldersTest, LoadReadsTheFoldersAndMakesTheTemporaryFolder)
{
    // The value must be there, but where it points does not matter.
    registry_write_text(kProductKey, "Temporary folder", "q:\\nowhere");
    app_folder_rec folders;
    EXPECT_EQ(app_install_folder(folders), ORVIK_INSTALL_TREE);
    EXPECT_EQ(folders.loaded, 1);
    EXPECT_EQ(app_database_folder(folders), std::string(ORVIK_INSTALL_TREE) + "/data");
    const std::string expected_temp = home + "/AppData/Roaming\\PelmoraSoftware\\OrvikSurvey\\temp";
    EXPECT_EQ(app_temp_folder(folders), expected_temp);
    EXPECT_TRUE(file_exists(expected_temp.c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(home + "/AppData/Roaming/PelmoraSoftware/OrvikSurvey/temp"));
    EXPECT_TRUE(alerts().empty());
}

TEST_F(FoldersTest, AMissingValueIsAlertedAndTheNextCallTriesAgain)
{
    for (const char* name : {"Installation folder", "Temporary folder", "Database"}) {
        SCOPED_TRACE(name);
        session().transcript().alerts.clear();
        app_folder_rec folders;
        std::string kept;
        ASSERT_EQ(reg_read_string(kSubkey, name, kept), 1);
        ASSERT_EQ(reg_delete_value(kSubkey, name), 1);

        app_install_folder(folders);
        EXPECT_EQ(folders.loaded, 0);
        ASSERT_EQ(alerts().size(), 1u);
        EXPECT_EQ(alerts()[0], std::string("Fail read registry [ ") + name + " ]");
        app_database_folder(folders);  // still not loaded: tries again, alerts again
        EXPECT_EQ(alerts().size(), 2u);

        ASSERT_EQ(reg_write_string(kSubkey, name, kept.c_str()), 1);
        EXPECT_EQ(app_database_folder(folders), std::string(ORVIK_INSTALL_TREE) + "/data");
        EXPECT_EQ(folders.loaded, 1);
        EXPECT_EQ(alerts().size(), 2u);
    }
}

TEST_F(FoldersTest, RegistryReadsFailCleanly)
{
    ASSERT_EQ(reg_write_string(kSubkey, "version", "V2"), 1);
    char buffer[16];
    DWORD size = sizeof buffer;
    ASSERT_EQ(reg_read_string(kSubkey, "VERSION", buffer, &size), 1);
    EXPECT_STREQ(buffer, "V2");
    EXPECT_EQ(size, 3u);

    size = 2;  // "V2" needs 3 bytes with its terminator
    EXPECT_EQ(reg_read_string(kSubkey, "version", buffer, &size), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
    size = sizeof buffer;
    EXPECT_EQ(reg_read_string(kSubkey, "version", nullptr, &size), 0);
    EXPECT_EQ(reg_read_string(kSubkey, "no such value", buffer, &size), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(reg_read_string("Pelmora Software\\no such key", "version", buffer, &size), 0);

    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Pelmora Software\\orvik_survey", 0, KEY_ALL_ACCESS, &key);
    DWORD number = 5;
    RegSetValueExA(key, "count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    RegCloseKey(key);
    size = sizeof buffer;
    EXPECT_EQ(reg_read_string(kSubkey, "count", buffer, &size), 0);  // not a text

    EXPECT_EQ(reg_delete_value(kSubkey, "version"), 1);
    EXPECT_EQ(reg_delete_value(kSubkey, "version"), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

using StartAndWaitTest = PlatformTest;

// The sibling is a real process (a script of install/exe_file). It first
// rewrites its handshake value as "OPEN", which still means running, and only
// later gives its answer; so the wait must still be going when "OPEN" is read.
TEST_F(StartAndWaitTest, WaitsThroughOpenInAnyCaseUntilTheSiblingAnswers)
{
    run_and_wait_set_limit(30000);
    ASSERT_EQ(run_and_wait_registry(sibling("ScriptedSibling").c_str(), "0.05:kolva=OPEN 0.3:kolva=done",
                                    kSubkey, "kolva"),
              1);
    EXPECT_EQ(registry_read_text(kProductKey, "kolva"), std::string("done"));
}

TEST_F(StartAndWaitTest, ASiblingThatNeverAnswersEndsTheWaitAtTheLimit)
{
    const size_t entities = session().current().drawing.model.size();
    run_and_wait_set_limit(5);
    // Still running (a real second) when the five pump seconds have passed.
    EXPECT_EQ(run_and_wait_registry(sibling("SilentSibling").c_str(), "1", kSubkey, "xsec_status"), 0);
    EXPECT_NE(
        transcript().find("\nSilentSibling.exe gave no answer within 5 seconds; the command stops here."),
        std::string::npos);
    EXPECT_EQ(registry_read_text(kProductKey, "xsec_status"), std::string("open"));
    EXPECT_EQ(session().current().drawing.model.size(), entities);
}

// A sibling that ends, or crashes, without answering ends the wait at once
// instead of holding the host until the limit.
TEST_F(StartAndWaitTest, ASiblingThatEndsWithoutAnsweringEndsTheWaitAtOnce)
{
    const std::string crashing = home + "/drive_c/progs/Crashing.exe";
    write_program(home + "/drive_c/progs/Crashing", "kill -SEGV $$\n");
    run_and_wait_set_limit(100000);  // 200 real seconds at this pump's pace
    struct Case {
        std::string program;
        std::string name;
    } cases[] = {{sibling("SilentSibling"), "SilentSibling.exe"},
                 {"c:\\progs\\Crashing.exe", "Crashing.exe"}};
    for (const Case& c : cases) {
        session().transcript().clear();
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(run_and_wait_registry(c.program.c_str(), "", kSubkey, "kolva"), 0) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20)) << c.name;
        EXPECT_EQ(transcript(), "\n" + c.name + " ended without giving an answer; the command stops here.");
        EXPECT_EQ(registry_read_text(kProductKey, "kolva"), std::string("open"));
    }
    // The caller that goes on is told how the wait ended, without the stop.
    session().transcript().clear();
    EXPECT_EQ(run_and_wait_sibling(sibling("SilentSibling").c_str(), "", kSubkey, "kolva"),
              sibling_wait::ended);
    EXPECT_EQ(transcript(), "\nSilentSibling.exe ended without giving an answer.");
    session().transcript().clear();
    run_and_wait_set_limit(3);
    EXPECT_EQ(run_and_wait_sibling(sibling("SilentSibling").c_str(), "1", kSubkey, "kolva"),
              sibling_wait::timed_out);
    EXPECT_EQ(transcript(), "\nSilentSibling.exe gave no answer within 3 seconds and may still be running.");
}

// An answer written just before the sibling ends is still an answer.
TEST_F(StartAndWaitTest, AnAnswerGivenJustBeforeEndingCounts)
{
    run_and_wait_set_limit(100000);
    EXPECT_EQ(run_and_wait_sibling(sibling("ScriptedSibling").c_str(), "kolva=close", kSubkey, "kolva"),
              sibling_wait::answered);
    register_sibling_standin("Tarnic", [] { reg_write_string(ORVIK_REGISTRY_SUBKEY, "tarnic", "CANCEL"); });
    EXPECT_EQ(run_and_wait_sibling(sibling("Tarnic").c_str(), "abcdef", kSubkey, "tarnic"),
              sibling_wait::answered);
    // A stand-in that gives no answer has ended once the pump ran it.
    register_sibling_standin("Tarnic", [] {});
    EXPECT_EQ(run_and_wait_sibling(sibling("Tarnic").c_str(), "abcdef", kSubkey, "tarnic"),
              sibling_wait::ended);
}

TEST_F(StartAndWaitTest, AProgramThatCannotStartIsReportedAtOnce)
{
    EXPECT_EQ(run_and_wait_registry("c:\\Program Files\\OrvikSurvey\\exe_file\\Merrow.exe", "", kSubkey,
                                    "merrow_status"),
              0);
    EXPECT_NE(transcript().find("\nCannot start c:\\Program Files\\OrvikSurvey\\exe_file\\Merrow.exe."),
              std::string::npos);
}

TEST_F(StartAndWaitTest, AStandInAnswersFromTheHostThread)
{
    register_sibling_standin("Tarnic", [] {
        reg_write_string(ORVIK_REGISTRY_SUBKEY, "tarnicClayer", "YES");
        reg_write_string(ORVIK_REGISTRY_SUBKEY, "tarnic", "INSERT,c:\\blocks\\tree.dwg");
    });
    ASSERT_EQ(run_and_wait_registry(sibling("Tarnic").c_str(), "abcdef", kSubkey, "tarnic"), 1);
    EXPECT_EQ(registry_read_text(kProductKey, "tarnic"), std::string("INSERT,c:\\blocks\\tree.dwg"));
    EXPECT_EQ(registry_read_text(kProductKey, "tarnicClayer"), std::string("YES"));
}

// With no person at a terminal the editor stand-in leaves the file alone and
// answers "close".
TEST_F(StartAndWaitTest, TheEditorStandInAnswersWithoutATerminal)
{
    run_and_wait_set_limit(30000);
    answers("");  // a script, not a terminal
    write_file(home + "/drive_c/trav/a.trv", "KOLVA4\nP,1,100.000,200.000\n");
    ASSERT_EQ(reg_write_string(kSubkey, "kolva_file", "c:\\trav\\a.trv"), 1);
    ASSERT_EQ(run_and_wait_registry(sibling("KolvaEditor").c_str(), "abcdef", kSubkey, "kolva"), 1);
    EXPECT_EQ(registry_read_text(kProductKey, "kolva"), std::string("close"));
    EXPECT_EQ(read_file(home + "/drive_c/trav/a.trv"), "KOLVA4\nP,1,100.000,200.000\n");
}

// With a person at a terminal the editor stand-in opens the file in $EDITOR
// (here a sed that rewrites the format word), then answers "close". The
// terminal is a pseudo-terminal made by Python's pty module.
TEST_F(StartAndWaitTest, TheEditorStandInEditsTheFileAtATerminal)
{
    write_file(home + "/drive_c/trav/a.trv", "KOLVA4\nP,1,100.000,200.000\n");
    ASSERT_EQ(reg_write_string(kSubkey, "kolva_file", "C:\\TRAV\\a.trv"), 1);
    ASSERT_EQ(reg_write_string(kSubkey, "kolva", "open"), 1);
    const std::string command =
        "EDITOR='sed -i s/KOLVA4/KOLVA3/' CADHOST_HOME='" + home +
        "' timeout 60 python3 -c 'import pty, sys; sys.exit(pty.spawn(sys.argv[1:]))' '" +
        ORVIK_INSTALL_TREE + "/exe_file/KolvaEditor' abcdef </dev/null >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(read_file(home + "/drive_c/trav/a.trv"), "KOLVA3\nP,1,100.000,200.000\n");
    EXPECT_EQ(registry_read_text(kProductKey, "kolva"), std::string("close"));
}

using PathHelperTest = PlatformTest;

TEST_F(PathHelperTest, FileNamesAndExtensions)
{
    struct Case {
        std::string path;
        int found;
        std::string name;  // what out holds after path_file_name (it starts as "unchanged")
    } names[] = {
        {"C:/data/a.dwg", 1, "a.dwg"},
        {"C:\\data\\a.dwg", 1, "a.dwg"},
        {"C:\\data/x\\a.dwg", 1, "x\\a.dwg"},  // a "/" anywhere makes "/" the separator
        {"a.dwg", 0, "unchanged"},
        {"c:\\data\\", 1, ""},
    };
    for (const Case& c : names) {
        std::string out = "unchanged";
        EXPECT_EQ(path_file_name(c.path, out), c.found) << c.path;
        EXPECT_EQ(out, c.name) << c.path;
    }

    struct Extension {
        std::string name;
        int strip;
        std::string stripped;
        int cut;
        std::string cut_text;
    } extensions[] = {
        {"a.b.dwg", 1, "a.b", 1, "a.b"},
        {"plain", 0, "unchanged", 0, "unchanged"},
        {".trv", 1, "", 0, "unchanged"},
        {"x.", 1, "x", 1, "x"},
    };
    for (const Extension& e : extensions) {
        std::string stripped = "unchanged", cut = "unchanged";
        EXPECT_EQ(path_strip_extension(e.name, stripped), e.strip) << e.name;
        EXPECT_EQ(stripped, e.stripped) << e.name;
        EXPECT_EQ(path_cut_extension(e.name, cut), e.cut) << e.name;
        EXPECT_EQ(cut, e.cut_text) << e.name;
    }

    std::string out = "unchanged";
    EXPECT_EQ(path_replace_extension("c:\\job.2024\\plan", "trv", out), 0);
    EXPECT_EQ(out, "unchanged");
    EXPECT_EQ(path_replace_extension("c:\\job.2024\\plan.dwg", "trv", out), 1);
    EXPECT_EQ(out, "c:\\job.2024\\plan.trv");
    EXPECT_EQ(path_replace_extension("/home/u/plan.old.dwg", "bak", out), 1);
    EXPECT_EQ(out, "/home/u/plan.old.bak");
}

TEST_F(PathHelperTest, FoldersAlongAPathAreMade)
{
    dir_create_path("c:\\one\\two/three");
    EXPECT_TRUE(std::filesystem::is_directory(home + "/drive_c/one/two/three"));
    EXPECT_TRUE(file_exists("C:\\ONE\\two"));
    EXPECT_FALSE(file_exists("c:\\one\\four"));
    EXPECT_EQ(appdata_folder(), home + "/AppData/Roaming");
}

TEST_F(PathHelperTest, TheHomePageIsOpenedWhateverThePage)
{
    char url[29];
    home_page_url(url);
    EXPECT_LE(std::strlen(url), 28u);
    EXPECT_EQ(std::string(url), home_page_url());
    EXPECT_EQ(home_page_open("/survey_menu.htm#_Grid"), 1);
    EXPECT_EQ(home_page_open("/input_menu.htm"), 1);
    auto& opened = host::platform::opened_addresses();
    ASSERT_GE(opened.size(), 2u);
    EXPECT_EQ(opened[opened.size() - 2], url);
    EXPECT_EQ(opened.back(), url);
}

}  // namespace
