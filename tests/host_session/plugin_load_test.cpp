// The built plug-ins loaded through dlopen as the host loads them: their functions
// appear in every drawing and go with it.
#include <gtest/gtest.h>

#include <filesystem>

#include "host_fixture.h"

namespace {

class PluginLoadTest : public HostFixture {
protected:
    void SetUp() override
    {
        HostFixture::SetUp();
        if (!std::filesystem::exists(ORVIK_PLUGIN_DIR "/Brenvel.so") ||
            !std::filesystem::exists(ORVIK_PLUGIN_DIR "/Kestrom.so"))
            GTEST_SKIP() << "the plug-ins are not built";
    }
};

TEST_F(PluginLoadTest, BothPluginsDefineTheirFunctionsInEveryDrawing)
{
    ASSERT_TRUE(load_kestrom());
    ASSERT_TRUE(load_brenvel());
    EXPECT_EQ(session().current().functions.size(), 52u + 3u);
    EXPECT_TRUE(session().current().functions.count("b_selbgd"));
    std::string out = run("NEW\n(c_strat \"12.5,7,A\" 2 \",\")\n");
    EXPECT_EQ(session().current().functions.size(), 55u);
    EXPECT_NE(out.find("\n\"7\""), std::string::npos) << out;
    run("CLOSE\n");
    EXPECT_EQ(session().current().functions.size(), 55u);
    // Unloading takes every function away.
    session().unload_plugins();
    EXPECT_TRUE(session().current().functions.empty());
    out = run("(c_strat \"a\" 1 \",\")\n");
    EXPECT_NE(out.find("no function definition: C_STRAT"), std::string::npos) << out;
}

TEST_F(PluginLoadTest, LoadLinesResolveBareNamesInThePluginFolder)
{
    std::string out = run("LOAD brenvel\nLOAD Brenvel\n(c_upoint 1 2)\n");
    EXPECT_NE(out.find("Loaded " ORVIK_PLUGIN_DIR "/Brenvel.so."), std::string::npos) << out;
    EXPECT_NE(out.find("Brenvel is already loaded."), std::string::npos) << out;
    EXPECT_EQ(session().current().functions.size(), 3u);
}

}  // namespace
