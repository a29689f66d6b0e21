#include "host_fixture.h"

#include <cstdlib>
#include <filesystem>

#ifndef ORVIK_PLUGIN_DIR
#define ORVIK_PLUGIN_DIR "."
#endif
#ifndef ORVIK_INSTALL_TREE
#define ORVIK_INSTALL_TREE "."
#endif
#ifndef ORVIK_BINARY_DIR
#define ORVIK_BINARY_DIR "."
#endif

namespace fs = std::filesystem;

void HostFixture::SetUp()
{
    const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    for (char& c : name)
        if (c == '/') c = '_';
    fs::path folder = fs::path(ORVIK_BINARY_DIR) / "test-home" / name;
    std::error_code error;
    fs::remove_all(folder, error);
    fs::create_directories(folder, error);
    home_ = folder.string();
    static const bool home_from_outside = std::getenv("CADHOST_HOME") != nullptr;
    if (!home_from_outside) setenv("CADHOST_HOME", home_.c_str(), 1);

    session_ = std::make_unique<host::Session>();
    session_->install_folder = ORVIK_INSTALL_TREE;
    session_->plugin_folder = ORVIK_PLUGIN_DIR;
    session_->transcript().echo_to_stdout = false;
    session_->new_document();
}

void HostFixture::TearDown()
{
    session_.reset();
}

bool HostFixture::load_kestrom()
{
    return session_->load_plugin(ORVIK_PLUGIN_DIR "/Kestrom.so");
}

bool HostFixture::load_brenvel()
{
    return session_->load_plugin(ORVIK_PLUGIN_DIR "/Brenvel.so");
}

std::string HostFixture::run(const std::string& script)
{
    size_t before = session_->transcript().text().size();
    session_->set_input(host::script_input(script));
    session_->run();
    const std::string& text = session_->transcript().text();
    return before < text.size() ? text.substr(before) : std::string();
}
