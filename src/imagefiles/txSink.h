// Byte sinks of the writers. A writer hands its file's bytes to a TxSink in order and flushes it once at
// the end, so the same writer fills a file on disk (TxFileSink, or the file layer's sink of a temporary
// file) or a buffer in memory (the tests' sink).
#pragma once
#include <cstddef>
#include <cstdio>

class TxSink {
public:
    virtual ~TxSink() = default;
    // Takes all `bytes` bytes; false when it cannot (the sink is then unusable and the file not whole).
    virtual bool Write(const void* data, size_t bytes) = 0;
    // Passes on what is buffered; false when that fails.
    virtual bool Flush() = 0;
};

// A sink over a buffered standard file stream that stays open for its owner, who closes it (and must
// check that close: bytes still buffered are written by it).
class TxFileSink final : public TxSink {
public:
    explicit TxFileSink(std::FILE* stream) : stream_(stream) {}
    TxFileSink(const TxFileSink&) = delete;
    TxFileSink& operator=(const TxFileSink&) = delete;

    bool Write(const void* data, size_t bytes) override;
    bool Flush() override;

private:
    std::FILE* stream_;
};
