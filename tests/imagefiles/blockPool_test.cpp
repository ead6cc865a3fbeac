#include "imagefiles/blockPool.h"

#include <gtest/gtest.h>

#include <cstring>

#include "imagefiles/txImage.h"

namespace {

constexpr size_t kMiB = size_t{1} << 20;

TEST(BlockPool, ReleasedLargeBlocksServeTheNextRequestOfAboutTheirSize) {
    EmptyBlockPool();
    void* large = TakeBlock(3 * kMiB);
    ASSERT_NE(large, nullptr);
    GiveBackBlock(large);
    EXPECT_EQ(PooledBlockBytes(), 3 * kMiB);
    void* again = TakeBlock(3 * kMiB - 100);
    EXPECT_EQ(again, large);
    EXPECT_EQ(PooledBlockBytes(), 0u);
    GiveBackBlock(again);
    // A block more than twice the request stays for a request of its size; one too small never serves.
    void* small = TakeBlock(kMiB);
    void* larger = TakeBlock(4 * kMiB);
    EXPECT_NE(small, large);
    EXPECT_NE(larger, large);
    GiveBackBlock(small);
    GiveBackBlock(larger);
    // Small blocks go back to the system; at most four blocks stay.
    GiveBackBlock(TakeBlock(1000));
    for (int i = 0; i < 6; ++i) GiveBackBlock(TakeBlock(5 * kMiB + static_cast<size_t>(i)));
    EXPECT_LE(PooledBlockBytes(), 4 * (5 * kMiB + 5));
    EXPECT_GT(PooledBlockBytes(), 3 * 5 * kMiB);
    EmptyBlockPool();
    EXPECT_EQ(PooledBlockBytes(), 0u);
}

// Recycled memory held other pixels: no picture may show them, not even in its row padding.
TEST(BlockPool, RecycledMemoryNeverShowsInAPictureOrItsRowPadding) {
    EmptyBlockPool();
    constexpr uint32_t kWidth = 1001, kHeight = 401;  // 24-bit rows of 3003 bytes padded to 3004
    for (int i = 0; i < 4; ++i) {
        void* dirty = TakeBlock(size_t{3004} * kHeight + 1040);
        std::memset(dirty, 0xAB, size_t{3004} * kHeight + 1040);
        GiveBackBlock(dirty);
    }
    TxImage image;
    ASSERT_NE(image.Create(kWidth, kHeight, 24, kTxFormatNone), nullptr);
    const uint8_t* bits = image.Bits();
    const size_t size = image.Header().sizeImage;
    size_t nonZero = 0;
    for (size_t i = 0; i < size; ++i) nonZero += bits[i] != 0;
    EXPECT_EQ(nonZero, 0u);

    for (uint32_t y = 0; y < kHeight; ++y)
        for (uint32_t x = 0; x < kWidth; ++x)
            image.SetPixelAt(static_cast<int32_t>(x), static_cast<int32_t>(y), TxRgb(uint8_t(x), uint8_t(y), 7));
    const int32_t sharpen[9] = {-1, -1, -1, -1, 15, -1, -1, -1, -1};
    ASSERT_TRUE(image.Convolve3x3(sharpen, 3, 7, 0));
    ASSERT_TRUE(image.BlurGaussian(2.0f));
    for (uint32_t y = 0; y < kHeight; ++y) EXPECT_EQ(image.Row(y)[kWidth * 3], 0) << "padding of row " << y;
    EmptyBlockPool();
}

}  // namespace
