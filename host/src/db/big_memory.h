// Memory for large blocks: the chunks of the entity store and the list of
// model space. From 2 MB on it is aligned to be backed by huge pages where the
// system allows, so that filling a large drawing costs few page faults.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>
#include <utility>

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

// Memory of at least `bytes` that can grow in place or move without its
// items being copied: from 2 MB on it is mapped on its own and grows by
// remapping (the pages move, the system clears only the new ones), so that
// a list of millions of items grown one at a time costs its pages once.
// Below that it is an ordinary allocation. nullptr when there is no memory
// (what was there stays as it was).
void* grow_memory(void* memory, size_t old_bytes, size_t bytes);
void release_grown(void* memory, size_t bytes);

// A list of plain items (numbers, ids) in grow_memory.
template <class T>
class GrowingArray {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    GrowingArray() = default;
    GrowingArray(const GrowingArray& other) { assign(other.begin(), other.end()); }
    GrowingArray(GrowingArray&& other) noexcept { swap(other); }
    GrowingArray& operator=(GrowingArray other) noexcept
    {
        swap(other);
        return *this;
    }
    ~GrowingArray() { release_grown(items_, capacity_ * sizeof(T)); }

    void swap(GrowingArray& other) noexcept
    {
        std::swap(items_, other.items_);
        std::swap(size_, other.size_);
        std::swap(capacity_, other.capacity_);
    }

    const T* begin() const { return items_; }
    const T* end() const { return items_ + size_; }
    const T* data() const { return items_; }
    size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](size_t i) const { return items_[i]; }
    const T& front() const { return items_[0]; }
    const T& back() const { return items_[size_ - 1]; }

    void push_back(T item)
    {
        if (size_ == capacity_) reserve(std::max<size_t>({16, capacity_ * 2, size_ + 1}));
        items_[size_++] = item;
    }
    void reserve(size_t n)
    {
        if (n <= capacity_) return;
        void* grown = grow_memory(items_, capacity_ * sizeof(T), n * sizeof(T));
        if (!grown) throw std::bad_alloc();
        items_ = static_cast<T*>(grown);
        capacity_ = n;
    }
    void assign(const T* from, const T* to)
    {
        const size_t n = size_t(to - from);
        size_ = 0;
        reserve(n);
        if (n) std::memmove(items_, from, n * sizeof(T));  // from may lie in the list itself
        size_ = n;
    }

private:
    T* items_ = nullptr;
    size_t size_ = 0;
    size_t capacity_ = 0;
};

}  // namespace host
