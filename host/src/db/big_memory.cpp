#include "db/big_memory.h"

#include <sys/mman.h>

#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>

namespace host {

namespace {

void* huge_page_memory(size_t rounded)
{
    void* memory = std::aligned_alloc(kHugePage, rounded);
    if (memory) ::madvise(memory, rounded, MADV_HUGEPAGE);
    return memory;
}

// Fresh memory costs its first touch, when the system clears it: for a large
// drawing filling quickly (an import, the faces of a TIN), about a third of
// the work. So huge-page chunks, the size an entity store fills one after
// another, are touched ahead by helper threads, started by the first chunk
// asked for and kept a few chunks ahead of what is taken. A store filling
// with small entities takes a chunk faster than one thread clears it, hence
// two. They last as long as the process, so that no drawing made or freed
// while the process ends finds them gone.
class ReadyChunks {
public:
    // A chunk touched ahead; nullptr when none is ready yet.
    void* take()
    {
        std::lock_guard lock(mutex_);
        if (!helpers_[0].joinable())
            for (std::thread& helper : helpers_) helper = std::thread([this] { fill(); });
        void* chunk = nullptr;
        if (!ready_.empty()) {
            chunk = ready_.back();
            ready_.pop_back();
        }
        wanted_.notify_one();
        return chunk;
    }

private:
    static constexpr size_t kAhead = 5;  // chunks ready or being made, as many as before

    void fill()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wanted_.wait(lock, [this] { return ready_.size() + making_ < kAhead; });
            ++making_;
            lock.unlock();
            char* chunk = static_cast<char*>(huge_page_memory(kHugePage));
            if (chunk)
                for (size_t at = 0; at < kHugePage; at += 4096) chunk[at] = 0;
            lock.lock();
            --making_;
            if (!chunk) return;  // no memory to spare: chunks are then made as asked
            ready_.push_back(chunk);
        }
    }

    std::mutex mutex_;
    std::condition_variable wanted_;
    std::vector<void*> ready_;
    size_t making_ = 0;
    std::thread helpers_[2];
};

}  // namespace

void* big_memory(size_t bytes)
{
    if (bytes < kHugePage) return std::malloc(bytes);
    const size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
    if (rounded == kHugePage) {
        static ReadyChunks& ready = *new ReadyChunks;
        if (void* chunk = ready.take()) return chunk;
    }
    return huge_page_memory(rounded);
}

namespace {

// Mapped memory is taken in whole huge pages.
size_t mapped_size(size_t bytes)
{
    return (bytes + kHugePage - 1) / kHugePage * kHugePage;
}

// The first half of the pages a list grew by (a list that doubles fills
// about that much of them before it grows again) are faulted in by a thread
// of their own while the list fills the first of them, as the system clears
// fresh pages slowly beside appending to them. Faulting in changes no memory,
// so that it does no harm when the list has moved or gone meanwhile.
void fault_in_ahead(void* from, size_t bytes)
{
    bytes = bytes / 2 / 4096 * 4096;  // whole pages within what it grew by
    if (bytes == 0) return;
#ifdef MADV_POPULATE_WRITE
    try {
        std::thread([from, bytes] { ::madvise(from, bytes, MADV_POPULATE_WRITE); }).detach();
    } catch (const std::system_error&) {
        // No thread to spare: the pages are faulted in as they are filled.
    }
#else
    (void)from;
    (void)bytes;
#endif
}

}  // namespace

void* grow_memory(void* memory, size_t old_bytes, size_t bytes)
{
    if (bytes < kHugePage) return std::realloc(memory, bytes);
    const size_t size = mapped_size(bytes);
    if (old_bytes >= kHugePage) {
        const size_t old_size = mapped_size(old_bytes);
        if (size == old_size) return memory;
        void* moved = ::mremap(memory, old_size, size, MREMAP_MAYMOVE);
        if (moved == MAP_FAILED) return nullptr;
        fault_in_ahead(static_cast<char*>(moved) + old_size, size - old_size);
        return moved;
    }
    void* mapped = ::mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapped == MAP_FAILED) return nullptr;
    ::madvise(mapped, size, MADV_HUGEPAGE);
    if (old_bytes) std::memcpy(mapped, memory, old_bytes);
    std::free(memory);
    fault_in_ahead(static_cast<char*>(mapped) + old_bytes / 4096 * 4096, size - old_bytes / 4096 * 4096);
    return mapped;
}

void release_grown(void* memory, size_t bytes)
{
    if (bytes >= kHugePage)
        ::munmap(memory, mapped_size(bytes));
    else
        std::free(memory);
}

}  // namespace host
