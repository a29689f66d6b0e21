#include "db/big_memory.h"

#include <sys/mman.h>

namespace host {

void* big_memory(size_t bytes)
{
    if (bytes < kHugePage) return std::malloc(bytes);
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory) ::madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}

}  // namespace host
