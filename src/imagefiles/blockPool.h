// Large working memory of the raster core, recycled: the few most recently released blocks of a
// megabyte or more are kept for the next block of about their size. Memory the process touched before
// costs a fraction of fresh memory, so a filter run twice on a large picture pays for its memory once.
#pragma once
#include <cstddef>
#include <cstdint>

// A block of at least bytes, its contents undefined; nullptr when none can be had. Blocks from here go
// back through GiveBackBlock, never through free.
void* TakeBlock(size_t bytes);
// Takes back a block from TakeBlock (nullptr is ignored): large ones are kept, the oldest leaving when
// the pool is full.
void GiveBackBlock(void* block);
// Frees every kept block; the bytes kept now.
void EmptyBlockPool();
size_t PooledBlockBytes();

// Owns one block for a scope.
class PooledBlock {
public:
    explicit PooledBlock(size_t bytes) : block_(static_cast<uint8_t*>(TakeBlock(bytes))) {}
    PooledBlock(const PooledBlock&) = delete;
    PooledBlock& operator=(const PooledBlock&) = delete;
    ~PooledBlock() { GiveBackBlock(block_); }
    uint8_t* Get() const { return block_; }
    template <typename T>
    T* As() const {
        return reinterpret_cast<T*>(block_);
    }
    explicit operator bool() const { return block_ != nullptr; }

private:
    uint8_t* block_;
};
