// The test fixture every test program shares: a fresh host session with one new
// drawing, the plug-ins at hand, and scripts run through the host as a user
// would type them.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "session/session.h"

class HostFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Load the built plug-ins (ORVIK_PLUGIN_DIR "/Kestrom.so", "/Brenvel.so").
    bool load_kestrom();
    bool load_brenvel();

    // Runs the script (answers, LISP expressions, top-level commands; one a line)
    // and returns the transcript text it produced.
    std::string run(const std::string& script);

    host::Session& session() { return *session_; }
    host::Drawing& drawing() { return session_->current().drawing; }
    // A fresh folder of this test for CADHOST_HOME (set before the session starts,
    // unless CADHOST_HOME was set from outside) and for any file a test writes.
    const std::string& home() const { return home_; }

private:
    std::unique_ptr<host::Session> session_;
    std::string home_;
};
