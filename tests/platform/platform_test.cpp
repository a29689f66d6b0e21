// The host's Windows stand-in: the registry file, the path boundary, the
// special folders, the shell and the sibling stand-ins.
#include <sys/stat.h>

#include <cstdlib>
#include <cstring>
#include <thread>

#include "platform_test_env.h"
#include "winplat.h"

namespace {

using host::platform::kProductKey;
using host::platform::native_path;
using host::platform::registry_read_text;
using host::platform::registry_write_text;

const char* kSubkey = "SOFTWARE\\Pelmora Software\\orvik_survey";

HKEY open_product_key()
{
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSubkey, 0, nullptr, REG_OPTION_NON_VOLATILE,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}

std::string shell_output(const std::string& command)
{
    std::string out;
    if (FILE* pipe = ::popen(command.c_str(), "r")) {
        char buffer[512];
        while (size_t n = std::fread(buffer, 1, sizeof buffer, pipe)) out.append(buffer, n);
        ::pclose(pipe);
    }
    return out;
}

std::string registry_tool()
{
    return std::string(ORVIK_INSTALL_TREE) + "/exe_file/cadhost_registry.py";
}

using RegistryTest = PlatformTest;

TEST_F(RegistryTest, FirstRunSetsUpTheFolderValuesAndTheInstallationFollowsTheProgram)
{
    // The session's start has set up the new home's registry.
    EXPECT_NE(
        read_file(home + "/registry.txt").find("\tInstallation folder\tREG_SZ\t" ORVIK_INSTALL_TREE "\n"),
        std::string::npos);
    EXPECT_EQ(registry_read_text(kProductKey, "Installation folder"), std::string(ORVIK_INSTALL_TREE));
    EXPECT_TRUE(registry_read_text(kProductKey, "Temporary folder"));
    EXPECT_EQ(registry_read_text(kProductKey, "Database"), std::string(ORVIK_INSTALL_TREE) + "/data");
    EXPECT_TRUE(std::filesystem::exists(home + "/registry.txt"));

    // A program of another checkout sharing the home uses its own install tree,
    // and the default database follows it.
    registry_write_text(kProductKey, "Temporary folder", "c:\\temp");
    platform_first_run_setup("/elsewhere");
    EXPECT_EQ(registry_read_text(kProductKey, "Installation folder"), std::string("/elsewhere"));
    EXPECT_EQ(registry_read_text(kProductKey, "Database"), std::string("/elsewhere/data"));
    EXPECT_EQ(registry_read_text(kProductKey, "Temporary folder"), std::string("c:\\temp"));

    // A database a user chose stays.
    registry_write_text(kProductKey, "Database", "c:\\survey\\db");
    platform_first_run_setup(ORVIK_INSTALL_TREE);
    EXPECT_EQ(registry_read_text(kProductKey, "Database"), std::string("c:\\survey\\db"));
    EXPECT_EQ(registry_read_text(kProductKey, "Installation folder"), std::string(ORVIK_INSTALL_TREE));
}

TEST_F(RegistryTest, ValueNamesMatchWithoutRegardToCase)
{
    HKEY key = open_product_key();
    const char* text = "server";
    ASSERT_EQ(RegSetValueExA(key, "database", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6),
              ERROR_SUCCESS);
    char buffer[64];
    DWORD size = sizeof buffer, type = 0;
    ASSERT_EQ(RegQueryValueExA(key, "DATABASE", nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size),
              ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "server");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    // One value, not two: the name keeps the spelling it was first written with.
    EXPECT_EQ(registry_read_text(kProductKey, "Database"), std::string("server"));
    RegCloseKey(key);
}

// Texts read back are always terminated, so the size they need is one more than
// their length, whether they were written with the terminator or without.
TEST_F(RegistryTest, QueriesGiveTerminatedTextsOrFailWithTheWindowsError)
{
    HKEY key = open_product_key();
    const char* text = "abcdef";
    ASSERT_EQ(RegSetValueExA(key, "bare", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 6), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "full", 0, REG_SZ, reinterpret_cast<const BYTE*>(text), 7), ERROR_SUCCESS);
    DWORD number = 17;
    ASSERT_EQ(RegSetValueExA(key, "count", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4),
              ERROR_SUCCESS);

    struct Case {
        const char* name;
        DWORD size;
        LONG result;
        DWORD size_after;
        const char* text;  // nullptr: not checked
    } cases[] = {
        {"bare", 7, ERROR_SUCCESS, 7, "abcdef"},           {"full", 7, ERROR_SUCCESS, 7, "abcdef"},
        {"bare", 6, ERROR_MORE_DATA, 7, nullptr},          {"BARE", 100, ERROR_SUCCESS, 7, "abcdef"},
        {"none", 100, ERROR_FILE_NOT_FOUND, 100, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(c.size));
        char buffer[100];
        std::memset(buffer, 'x', sizeof buffer);
        DWORD size = c.size;
        EXPECT_EQ(RegQueryValueExA(key, c.name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size),
                  c.result);
        EXPECT_EQ(size, c.size_after);
        if (c.text) {
            EXPECT_STREQ(buffer, c.text);
        }
    }
    DWORD type = 0, size = 4, read = 0;
    ASSERT_EQ(RegQueryValueExA(key, "count", nullptr, &type, reinterpret_cast<BYTE*>(&read), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(read, 17u);

    EXPECT_EQ(RegDeleteValueA(key, "Bare"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "bare"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);

    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Nobody", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x7777)), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, LastErrorBelongsToEachThread)
{
    SetLastError(ERROR_MORE_DATA);
    DWORD other = 1;
    std::thread([&] { other = GetLastError(); }).join();
    EXPECT_EQ(other, 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MORE_DATA));
}

// Another process (a sibling's script) reads what the host wrote and the host
// reads its answer, texts with tabs, line ends and "%" included.
TEST_F(RegistryTest, IsSharedWithOtherProcesses)
{
    const std::string awkward = "c:\\a b\\%20\tx\ny";
    ASSERT_TRUE(registry_write_text(kProductKey, "kolva_file", awkward));
    EXPECT_EQ(shell_output(registry_tool() + " get KOLVA_FILE"), awkward + "\n");

    shell_output(registry_tool() + " set kolva 'close 100%'");
    EXPECT_EQ(registry_read_text(kProductKey, "Kolva"), std::string("close 100%"));
    // The other values are untouched by the other process's rewrite.
    EXPECT_EQ(registry_read_text(kProductKey, "kolva_file"), awkward);
    EXPECT_EQ(registry_read_text(kProductKey, "Installation folder"), std::string(ORVIK_INSTALL_TREE));
}

using PathTest = PlatformTest;

TEST_F(PathTest, WindowsPathsBecomePathsOfThisMachine)
{
    std::filesystem::create_directories(home + "/drive_c/Survey");
    struct Case {
        std::string given, expected;
    } cases[] = {
        {"c:\\data\\x.txt", home + "/drive_c/data/x.txt"},
        {"D:\\a\\\\b\\", home + "/drive_d/a/b/"},
        {"C:", home + "/drive_c"},
        {"c:/mixed\\seps//f", home + "/drive_c/mixed/seps/f"},
        {"C:\\SURVEY\\new.trv",
         home + "/drive_c/Survey/new.trv"},  // an existing folder, matched without case
        {"/tmp", "/tmp"},
        {"/tmp\\\\x\\y.dcl", "/tmp/x/y.dcl"},
        {"rel\\x.cfg", "rel/x.cfg"},
        // ".." at a drive's root stays at the root, as on Windows: no path of a
        // drive leaves the drive's folder.
        {"c:\\..\\..\\file.dxf", home + "/drive_c/file.dxf"},
        {"c:\\Survey\\..\\..\\..\\x", home + "/drive_c/x"},
        {"C:\\a\\.\\b\\..\\f", home + "/drive_c/a/f"},
        {"d:..\\..", home + "/drive_d"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(native_path(c.given), c.expected) << c.given;
        char out[512];
        EXPECT_STREQ(win_native_path(c.given.c_str(), out, sizeof out), c.expected.c_str());
        // The sibling programs' copy of the mapping gives the same path.
        EXPECT_EQ(shell_output(registry_tool() + " path '" + c.given + "'"), c.expected + "\n") << c.given;
    }
    char small[8];
    win_native_path("c:\\data\\x.txt", small, sizeof small);
    EXPECT_EQ(std::strlen(small), 7u);  // cut to the buffer, still terminated
}

// A drawing saved to a Windows path that climbs above its drive lands in the
// drive's folder, not beside the home.
TEST_F(PathTest, ASaveAboveADrivesRootStaysInTheDrive)
{
    const std::string outside = std::filesystem::path(home).parent_path().string() + "/escape.dxf";
    std::filesystem::remove(outside);
    const std::string out = run("SAVEAS c:\\..\\..\\escape.dxf\n");
    EXPECT_NE(out.find("Saved as \"" + home + "/drive_c/escape.dxf\"."), std::string::npos) << out;
    EXPECT_TRUE(std::filesystem::exists(home + "/drive_c/escape.dxf"));
    EXPECT_FALSE(std::filesystem::exists(outside));
}

TEST_F(PathTest, FileCallsTakeWindowsPaths)
{
    EXPECT_TRUE(CreateDirectoryA("c:\\work", nullptr));
    EXPECT_FALSE(CreateDirectoryA("c:\\work", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("c:\\no\\such\\parent", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    std::FILE* out = win_fopen("C:\\work\\\\a.trv", "wt");
    ASSERT_NE(out, nullptr);
    std::fputs("KOLVA4\n", out);
    std::fclose(out);
    EXPECT_EQ(read_file(home + "/drive_c/work/a.trv"), "KOLVA4\n");

    struct _stat status;
    ASSERT_EQ(_stat("c:/work/a.trv", &status), 0);
    EXPECT_EQ(status.st_size, 7);
    EXPECT_TRUE(S_ISREG(status.st_mode));
    ASSERT_EQ(_stat("c:\\work", &status), 0);
    EXPECT_TRUE(S_ISDIR(status.st_mode));

    EXPECT_EQ(win_remove("c:\\work\\a.trv"), 0);
    EXPECT_NE(_stat("c:\\work\\a.trv", &status), 0);
    EXPECT_EQ(win_fopen("c:\\work\\missing.txt", "r"), nullptr);
}

TEST_F(PathTest, SpecialFoldersLieUnderTheHome)
{
    char path[MAX_PATH];
    ASSERT_EQ(SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
    EXPECT_EQ(std::string(path), home + "/AppData/Roaming");
    EXPECT_TRUE(std::filesystem::is_directory(path));

    char folder[MAX_PATH];
    UINT length = GetWindowsDirectoryA(folder, sizeof folder);
    EXPECT_EQ(std::string(folder), home + "/drive_c/Windows");
    EXPECT_EQ(length, std::strlen(folder));
    GetSystemDirectoryA(folder, sizeof folder);
    EXPECT_EQ(std::string(folder), home + "/drive_c/Windows/System32");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    char tiny[4];
    EXPECT_EQ(GetSystemDirectoryA(tiny, sizeof tiny), std::string(folder).size() + 1);  // the size needed
}

using ShellTest = PlatformTest;

TEST_F(ShellTest, WebAddressesAreRecordedAndPrintedNotOpened)
{
    HINSTANCE result =
        ShellExecuteA(nullptr, "open", "http://www.pelmora.com.my", nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_GT(reinterpret_cast<std::intptr_t>(result), 32);
    ASSERT_FALSE(host::platform::opened_addresses().empty());
    EXPECT_EQ(host::platform::opened_addresses().back(), "http://www.pelmora.com.my");
    EXPECT_NE(transcript().find("\nOpening http://www.pelmora.com.my"), std::string::npos);
}

TEST_F(ShellTest, WhatCannotBeStartedGivesAnErrorCode)
{
    write_file(home + "/exe_file/Plain.exe", "not a program");
    write_file(home + "/exe_file/Plain", "not a program either");
    for (const std::string& file :
         {std::string("c:\\nowhere\\Tarnic.exe"), home + "/exe_file/Plain.exe", std::string("")}) {
        HINSTANCE result = ShellExecuteA(nullptr, "open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
        EXPECT_LE(reinterpret_cast<std::intptr_t>(result), 32) << file;
    }
    HINSTANCE result =
        ShellExecuteA(nullptr, "print", "http://www.pelmora.com.my", nullptr, nullptr, SW_SHOWNORMAL);
    EXPECT_LE(reinterpret_cast<std::intptr_t>(result), 32);
}

// "X.exe" starts the program X beside it, with the parameters split as a
// Windows command line and with the host home in its environment.
TEST_F(ShellTest, AnExeStartsTheProgramBesideIt)
{
    const std::string folder = home + "/install/exe_file";
    write_program(folder + "/Echo",
                  "for a in \"$@\"; do echo \"[$a]\"; done > \"$CADHOST_HOME/echo.txt\"\n"
                  "echo \"home=$CADHOST_HOME\" >> \"$CADHOST_HOME/echo.txt\"\n");
    std::string windows_name = folder + "\\Echo.EXE";
    HINSTANCE result = ShellExecuteA(nullptr, "open", windows_name.c_str(), "abcdef \"two words\" x\\\"y",
                                     nullptr, SW_SHOWNORMAL);
    ASSERT_GT(reinterpret_cast<std::intptr_t>(result), 32);
    host::platform::wait_children();
    EXPECT_EQ(read_file(home + "/echo.txt"), "[abcdef]\n[two words]\n[x\"y]\nhome=" + home + "\n");
    EXPECT_EQ(host::platform::running_children(), 0);
}

TEST_F(ShellTest, AStandInRunsAtTheNextTurnOfThePump)
{
    int runs = 0;
    register_sibling_standin("Tarnic.exe", [&] { ++runs; });
    HINSTANCE result = ShellExecuteA(nullptr, "open", "c:\\Program Files\\x\\exe_file\\TARNIC.exe", "abcdef",
                                     nullptr, SW_SHOWNORMAL);
    EXPECT_GT(reinterpret_cast<std::intptr_t>(result), 32);
    EXPECT_EQ(runs, 0);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(runs, 1);
    PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);
    EXPECT_EQ(runs, 1);  // once per start
    ASSERT_FALSE(host::platform::shell_history().empty());
    EXPECT_EQ(host::platform::shell_history().back().parameters, "abcdef");
}

}  // namespace
