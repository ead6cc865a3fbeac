// Work over the rows of a large picture shared between the processor's cores: the rows are cut into
// one range a thread, the calling thread working on the first. Each row must depend only on what no
// other row's work writes; the result is then the same as from one thread.
#pragma once
#include <cstdint>
#include <functional>

// Calls work(first, end) for ranges that together cover rows 0..rows-1 exactly once, on up to as many
// threads as there are cores (one when the picture is small or a thread cannot be started), and
// returns when all are done.
void ForRowRanges(uint32_t rows, uint64_t pixelsPerRow, const std::function<void(uint32_t first, uint32_t end)>& work);

// How many threads ForRowRanges would use for such a picture.
unsigned RowRangeThreadCount(uint32_t rows, uint64_t pixelsPerRow);

// At most this many threads from now on (0: as many as there are cores).
void LimitRowRangeThreads(unsigned threads);
