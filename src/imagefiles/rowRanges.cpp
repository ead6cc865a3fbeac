#include "imagefiles/rowRanges.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace {
// Below this many pixels starting a thread costs about what it saves.
constexpr uint64_t kMinPixelsPerThread = uint64_t{1} << 18;
constexpr unsigned kMaxThreads = 8;
std::atomic<unsigned> threadLimit{0};
}  // namespace

void LimitRowRangeThreads(unsigned threads) { threadLimit = threads; }

unsigned RowRangeThreadCount(uint32_t rows, uint64_t pixelsPerRow) {
    if (rows == 0) return 1;
    const uint64_t pixels = uint64_t{rows} * std::max<uint64_t>(pixelsPerRow, 1);
    const unsigned limit = threadLimit;
    const unsigned threads = std::clamp(limit ? limit : std::thread::hardware_concurrency(), 1u, kMaxThreads);
    return static_cast<unsigned>(
        std::min<uint64_t>({threads, rows, std::max<uint64_t>(pixels / kMinPixelsPerThread, 1)}));
}

void ForRowRanges(uint32_t rows, uint64_t pixelsPerRow, const std::function<void(uint32_t first, uint32_t end)>& work) {
    if (rows == 0) return;
    const unsigned threads = RowRangeThreadCount(rows, pixelsPerRow);
    if (threads <= 1) {
        work(0, rows);
        return;
    }
    std::vector<std::thread> helpers;
    const uint32_t step = rows / threads, extra = rows % threads;
    auto bounds = [&](unsigned i) { return i * step + std::min<uint32_t>(i, extra); };
    const uint32_t mine = bounds(1);
    for (unsigned i = 1; i < threads; ++i) {
        const uint32_t first = bounds(i), end = bounds(i + 1);
        try {
            helpers.emplace_back(work, first, end);
        } catch (const std::system_error&) {
            // No thread to be had: the rest is done here.
            work(first, rows);
            break;
        }
    }
    work(0, mine);
    for (std::thread& helper : helpers) helper.join();
}
