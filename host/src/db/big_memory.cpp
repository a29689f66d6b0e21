#include "db/big_memory.h"

#include <sys/mman.h>

#include <condition_variable>
#include <mutex>
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
// drawing filling quickly (an import), about a third of the work. So huge-page
// chunks, the size an entity store fills one after another, are touched ahead
// by a helper thread, started by the first chunk asked for and kept a few
// chunks ahead of what is taken. It lasts as long as the process, so that no
// drawing made or freed while the process ends finds it gone.
class ReadyChunks {
public:
    // A chunk touched ahead; nullptr when none is ready yet.
    void* take()
    {
        std::lock_guard lock(mutex_);
        if (!helper_.joinable()) helper_ = std::thread([this] { fill(); });
        void* chunk = nullptr;
        if (!ready_.empty()) {
            chunk = ready_.back();
            ready_.pop_back();
        }
        wanted_.notify_one();
        return chunk;
    }

private:
    static constexpr size_t kAhead = 4;

    void fill()
    {
        std::unique_lock lock(mutex_);
        for (;;) {
            wanted_.wait(lock, [this] { return ready_.size() < kAhead; });
            lock.unlock();
            char* chunk = static_cast<char*>(huge_page_memory(kHugePage));
            if (chunk)
                for (size_t at = 0; at < kHugePage; at += 4096) chunk[at] = 0;
            lock.lock();
            if (!chunk) return;  // no memory to spare: chunks are then made as asked
            ready_.push_back(chunk);
        }
    }

    std::mutex mutex_;
    std::condition_variable wanted_;
    std::vector<void*> ready_;
    std::thread helper_;
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

}  // namespace host
