#include "win/dibPool.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr int kWidth = 700, kHeight = 500;  // 1.3 MiB at 32 bits: worth keeping

TEST(DibPool, AGivenBackSectionServesOnlyTheSameSizeDepthAndRowOrder) {
    EmptyDibPool();
    void* bits = nullptr;
    HBITMAP bottomUp = TakeDibSection(kWidth, kHeight, 32, &bits);
    ASSERT_NE(bottomUp, nullptr);
    static_cast<uint32_t*>(bits)[0] = 0x00123456;
    GiveBackBitmap(bottomUp);
    EXPECT_EQ(PooledSections(), 1);

    void* other = nullptr;
    HBITMAP topDown = TakeDibSection(kWidth, -kHeight, 32, &other);
    HBITMAP deeper = TakeDibSection(kWidth, kHeight, 24, nullptr);
    EXPECT_NE(topDown, bottomUp);
    EXPECT_NE(deeper, bottomUp);
    void* again = nullptr;
    EXPECT_EQ(TakeDibSection(kWidth, kHeight, 32, &again), bottomUp);
    EXPECT_EQ(again, bits);
    EXPECT_EQ(static_cast<uint32_t*>(again)[0], 0x00123456u) << "a pooled section keeps its pixels";

    // The pool finds the row order itself: a top-down section comes back only as a top-down one.
    GiveBackBitmap(topDown);
    HBITMAP fresh = TakeDibSection(kWidth, kHeight, 32, nullptr);
    EXPECT_NE(fresh, topDown);
    EXPECT_EQ(TakeDibSection(kWidth, -kHeight, 32, nullptr), topDown);
    DeleteObject(fresh);
    DeleteObject(topDown);
    DeleteObject(deeper);
    DeleteObject(bottomUp);
    EmptyDibPool();
}

TEST(DibPool, KeepsAtMostThreeSectionsOfTheNewestPictureSizeAndNoSmallOnes) {
    EmptyDibPool();
    GiveBackBitmap(TakeDibSection(kWidth, kHeight, 32, nullptr));
    GiveBackBitmap(TakeDibSection(kWidth, kHeight, 24, nullptr));
    EXPECT_EQ(PooledSections(), 2);
    // A quarter turn has the same pixels: it stays beside the others.
    GiveBackBitmap(TakeDibSection(kHeight, kWidth, 32, nullptr));
    EXPECT_EQ(PooledSections(), 3);
    HBITMAP fourth = TakeDibSection(kWidth, kHeight, 16, nullptr);
    GiveBackBitmap(fourth);
    EXPECT_EQ(PooledSections(), 3);
    // A picture of another size replaces them all.
    HBITMAP larger = TakeDibSection(kWidth + 1, kHeight, 32, nullptr);
    GiveBackBitmap(larger);
    EXPECT_EQ(PooledSections(), 1);
    EXPECT_EQ(PooledBytes(), size_t{kWidth + 1} * kHeight * 4);
    // Too small to keep: deleted at once.
    HBITMAP small = TakeDibSection(16, 16, 32, nullptr);
    GiveBackBitmap(small);
    EXPECT_EQ(PooledSections(), 1);
    BITMAP record{};
    EXPECT_EQ(GetObjectW(small, sizeof(record), &record), 0);
    EmptyDibPool();
    EXPECT_EQ(PooledSections(), 0);
}

}  // namespace

TEST(DibPool, ASpareSectionForALargePictureIsReadyInThePool) {
    EmptyDibPool();
    PrepareSpareSection(2048, 1100, 32);  // 8.6 MiB
    FinishSpareSection();
    EXPECT_EQ(PooledSections(), 1);
    PrepareSpareSection(2048, 1100, 32);  // one is there: nothing more is made
    FinishSpareSection();
    EXPECT_EQ(PooledSections(), 1);
    void* bits = nullptr;
    HBITMAP spare = TakeDibSection(2048, 1100, 32, &bits);
    ASSERT_NE(spare, nullptr);
    EXPECT_EQ(PooledSections(), 0);
    DeleteObject(spare);
    PrepareSpareSection(kWidth, kHeight, 32);  // small: not worth a spare
    FinishSpareSection();
    EXPECT_EQ(PooledSections(), 0);
}
