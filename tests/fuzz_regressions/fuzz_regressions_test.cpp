// Every input the fuzz targets keep (their seed corpus and each input that once
// failed) goes through its round-trip check again: what a reader reads,
// written and read again, comes back the same.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "host_fixture.h"
#include "round_trips.h"

namespace {

namespace fs = std::filesystem;

struct Target {
    const char* name;  // the folder under corpus/ and regressions/
    std::string (*check)(std::string_view);
};

const Target kTargets[] = {
    {"dxf", fuzzcheck::dxf_round_trip},           {"trav", fuzzcheck::trav_file_round_trip},
    {"xyz", fuzzcheck::xyz_round_trip},           {"dcl", fuzzcheck::dcl_round_trip},
    {"settings", fuzzcheck::settings_round_trip}, {"lisp", fuzzcheck::lisp_round_trip},
};

std::string file_text(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

class FuzzRegressions : public HostFixture, public ::testing::WithParamInterface<Target> {};

TEST_P(FuzzRegressions, KeptInputsComeBackTheSame)
{
    const Target& target = GetParam();
    int inputs = 0;
    for (const char* kept : {"corpus", "regressions"}) {
        fs::path folder = fs::path(ORVIK_FUZZ_DIR) / kept / target.name;
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder)) {
            if (!entry.is_regular_file()) continue;
            ++inputs;
            SCOPED_TRACE(entry.path().string());
            EXPECT_EQ(target.check(file_text(entry.path())), "");
        }
    }
    // The seed corpus is in the repository: an empty one means it was not found.
    EXPECT_GT(inputs, 0) << "no inputs for " << target.name << " under " << ORVIK_FUZZ_DIR;
}

INSTANTIATE_TEST_SUITE_P(Readers, FuzzRegressions, ::testing::ValuesIn(kTargets),
                         [](const ::testing::TestParamInfo<Target>& info) {
                             return std::string(info.param.name);
                         });

// An input a reader refuses is no failure of its check.
class RefusedInputs : public HostFixture {};

TEST_F(RefusedInputs, AreNoFailures)
{
    for (const Target& target : kTargets) {
        SCOPED_TRACE(target.name);
        EXPECT_EQ(target.check(""), "");
        EXPECT_EQ(target.check(std::string("\0\xff\x01", 3)), "");
    }
}

}  // namespace
