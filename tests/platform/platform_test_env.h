// The shared host fixture with a registry and application data of each test's
// own, also when the test run names one CADHOST_HOME for all tests: a fresh
// host home under the build folder, a fast message pump, and the product's
// folder record, wait limit and sibling stand-ins back to their first state.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "folders_registry.h"
#include "host_fixture.h"
#include "session/session.h"
#include "platform/siblings.h"
#include "platform/win_platform.h"

class PlatformTest : public HostFixture {
protected:
    void SetUp() override
    {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        home = std::string(ORVIK_BINARY_DIR) + "/test-home-platform/" + info->test_suite_name() + "." +
               info->name() + "." + std::to_string(::getpid());
        std::filesystem::remove_all(home);
        std::filesystem::create_directories(home);
        ::setenv("CADHOST_HOME", home.c_str(), 1);
        HostFixture::SetUp();
        session().pump_second_ms = 2;
        app_folders = app_folder_rec{};
        run_and_wait_set_limit(600);
        clear_sibling_standins();
    }

    void TearDown() override
    {
        host::platform::wait_children();
        clear_sibling_standins();
        HostFixture::TearDown();
        std::filesystem::remove_all(home);
    }

    // The answers that the session's prompts and dialogs read.
    void answers(const std::string& script) { session().set_input(host::script_input(script)); }
    std::string transcript() { return session().transcript().text(); }
    const std::vector<std::string>& alerts() { return session().transcript().alerts; }

    static std::string read_file(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }
    static void write_file(const std::string& path, const std::string& text)
    {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << text;
    }
    // A program of this machine (a shell script) that the shell can start.
    static void write_program(const std::string& path, const std::string& script)
    {
        write_file(path, "#!/bin/sh\n" + script);
        std::filesystem::permissions(path, std::filesystem::perms::owner_all |
                                               std::filesystem::perms::group_read |
                                               std::filesystem::perms::group_exec);
    }

    std::string home;
};
