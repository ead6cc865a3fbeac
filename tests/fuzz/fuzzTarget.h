// One entry point per parser of outside input. Built with libFuzzer (the fuzz build), each target file
// is a fuzzer of its own; in the native test build every target links into one replay program that runs
// the seed corpus and every input that once failed, under the address and UB sanitizers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

using FuzzFunction = void (*)(const uint8_t* data, size_t size);
// Replay build only: makes the target known under its folder name.
bool RegisterFuzzTarget(const char* name, FuzzFunction function);

#ifdef TESSORA_FUZZ_ENTRY
#define TESSORA_FUZZ_TARGET(name)                                             \
    static void FuzzTarget_##name(const uint8_t* data, size_t size);          \
    extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) { \
        FuzzTarget_##name(data, size);                                        \
        return 0;                                                             \
    }                                                                         \
    static void FuzzTarget_##name(const uint8_t* data, size_t size)
#else
#define TESSORA_FUZZ_TARGET(name)                                                                              \
    static void FuzzTarget_##name(const uint8_t* data, size_t size);                                           \
    [[maybe_unused]] static const bool kFuzzTargetKnown_##name = RegisterFuzzTarget(#name, FuzzTarget_##name); \
    static void FuzzTarget_##name(const uint8_t* data, size_t size)
#endif

// Reads the fuzzer's bytes as values, the way a structured input is taken apart: each call takes what
// it needs from the front, and an exhausted input gives zeros.
class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    uint32_t Take32() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value |= static_cast<uint32_t>(TakeByte()) << (8 * i);
        return value;
    }
    uint8_t TakeByte() {
        if (size_ == 0) return 0;
        --size_;
        return *data_++;
    }
    const uint8_t* Rest() const { return data_; }
    size_t RestSize() const { return size_; }

private:
    const uint8_t* data_;
    size_t size_;
};

// A property every input must keep; a broken one is a finding like a crash.
#define FUZZ_CHECK(condition)                                                                        \
    do {                                                                                             \
        if (!(condition)) {                                                                          \
            std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
            std::abort();                                                                            \
        }                                                                                            \
    } while (0)
