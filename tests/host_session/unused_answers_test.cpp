#include <gtest/gtest.h>

#include "host_fixture.h"

// Answers a host command does not take are reported instead of vanishing.
TEST_F(HostFixture, AnswersACommandLeavesUnusedAreReported)
{
    const std::string shown = run("(command \"Layer\" \"on\" \"0\" \"\" \"stray\")\n");
    EXPECT_NE(shown.find("Answers left unused by Layer: \"stray\""), std::string::npos) << shown;
    const std::string clean = run("(command \"Layer\" \"on\" \"0\" \"\")\n");
    EXPECT_EQ(clean.find("left unused"), std::string::npos) << clean;
}
