// A libFuzzer target around one round-trip check (FUZZ_CHECK names it): an
// input whose check finds a difference aborts, so that libFuzzer keeps it.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "round_trips.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string problem = fuzzcheck::FUZZ_CHECK(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!problem.empty()) {
        std::fprintf(stderr, "round trip failed: %s\n", problem.c_str());
        std::abort();
    }
    return 0;
}
