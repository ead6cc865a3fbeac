#include "imagefiles/blockPool.h"

#include <cstdlib>
#include <mutex>
#include <new>
#include <vector>

namespace {

constexpr size_t kMaxBlocks = 4;
constexpr size_t kMinPooledBytes = size_t{1} << 20;
// Each block starts with its capacity; the caller's memory follows, aligned for any type.
constexpr size_t kPrefix = 64;

void FreeBlock(void* block);

struct Pool {
    std::mutex lock;
    std::vector<void*> blocks;  // the caller's addresses, oldest first
    ~Pool() {
        for (void* block : blocks) FreeBlock(block);
    }
};

Pool& ThePool() {
    static Pool pool;
    return pool;
}

size_t& CapacityOf(void* block) { return *reinterpret_cast<size_t*>(static_cast<unsigned char*>(block) - kPrefix); }

void FreeBlock(void* block) { std::free(static_cast<unsigned char*>(block) - kPrefix); }

}  // namespace

void* TakeBlock(size_t bytes) {
    if (bytes > SIZE_MAX - kPrefix) return nullptr;
    if (bytes >= kMinPooledBytes) {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        // The smallest kept block that holds the request and wastes at most half of itself.
        auto best = pool.blocks.end();
        for (auto it = pool.blocks.begin(); it != pool.blocks.end(); ++it) {
            const size_t capacity = CapacityOf(*it);
            if (capacity < bytes || capacity / 2 > bytes) continue;
            if (best == pool.blocks.end() || capacity < CapacityOf(*best)) best = it;
        }
        if (best != pool.blocks.end()) {
            void* block = *best;
            pool.blocks.erase(best);
            return block;
        }
    }
    auto* memory = static_cast<unsigned char*>(std::malloc(bytes + kPrefix));
    if (!memory) return nullptr;
    *reinterpret_cast<size_t*>(memory) = bytes;
    return memory + kPrefix;
}

void GiveBackBlock(void* block) {
    if (!block) return;
    if (CapacityOf(block) < kMinPooledBytes) {
        FreeBlock(block);
        return;
    }
    void* dropped = nullptr;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        if (pool.blocks.size() == kMaxBlocks) {
            dropped = pool.blocks.front();
            pool.blocks.erase(pool.blocks.begin());
        }
        pool.blocks.push_back(block);
    }
    if (dropped) FreeBlock(dropped);
}

void EmptyBlockPool() {
    std::vector<void*> blocks;
    {
        Pool& pool = ThePool();
        std::lock_guard<std::mutex> guard(pool.lock);
        blocks.swap(pool.blocks);
    }
    for (void* block : blocks) FreeBlock(block);
}

size_t PooledBlockBytes() {
    Pool& pool = ThePool();
    std::lock_guard<std::mutex> guard(pool.lock);
    size_t bytes = 0;
    for (void* block : pool.blocks) bytes += CapacityOf(block);
    return bytes;
}
