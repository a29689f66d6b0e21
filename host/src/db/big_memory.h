// Memory for large blocks: the chunks of the entity store and the list of
// model space. From 2 MB on it is aligned to be backed by huge pages where the
// system allows, so that filling a large drawing costs few page faults.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <new>

namespace host {

inline constexpr size_t kHugePage = size_t(2) << 20;

// nullptr when there is no memory; released with std::free.
void* big_memory(size_t bytes);

struct FreeMemory {
    void operator()(void* memory) const { std::free(memory); }
};

template <class T>
struct BigAllocator {
    using value_type = T;
    BigAllocator() = default;
    template <class U>
    BigAllocator(const BigAllocator<U>&)
    {
    }
    T* allocate(size_t n)
    {
        void* memory = big_memory(n * sizeof(T));
        if (!memory) throw std::bad_alloc();
        return static_cast<T*>(memory);
    }
    void deallocate(T* items, size_t) { std::free(items); }
    template <class U>
    bool operator==(const BigAllocator<U>&) const
    {
        return true;
    }
};

}  // namespace host
