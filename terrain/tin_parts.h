// Work over the millions of nodes and triangles of a large TIN, split in
// parts that run at once.
#pragma once

#include <cstddef>
#include <thread>
#include <vector>

constexpr std::size_t kTinParts = 4;

// Runs work(part, begin, end) over [0, n) in kTinParts parts at once for a
// large n, or as one part 0 for a small one.
template <class Work>
void tin_in_parts(std::size_t n, Work work)
{
    constexpr std::size_t kLargeList = 50000;
    if (n < kLargeList) {
        work(std::size_t{0}, std::size_t{0}, n);
        return;
    }
    std::vector<std::jthread> parts;
    for (std::size_t k = 1; k < kTinParts; ++k)
        parts.emplace_back([&, k] { work(k, n * k / kTinParts, n * (k + 1) / kTinParts); });
    work(std::size_t{0}, std::size_t{0}, n / kTinParts);
}
