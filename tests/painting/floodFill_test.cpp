#include "painting/floodFill.h"

#include <gtest/gtest.h>

#include <deque>
#include <vector>

#include "painting/programRandom.h"

namespace {

constexpr uint32_t kFill = PackPixel(200, 100, 50, 255);

struct Block {
    int width, height;
    std::vector<uint32_t> pixels;
    Block(int w, int h, uint32_t value = 0) : width(w), height(h), pixels(static_cast<size_t>(w) * h, value) {}
    uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    PixelRows Rows() { return PixelRows{pixels.data(), width}; }
    // Picture row y is memory row height - 1 - y.
    PixelRows BottomUpRows() { return PixelRows{pixels.data() + static_cast<size_t>(height - 1) * width, -width}; }
};

// The plain reference: a breadth-first walk over the 4-neighbours, one pixel at a time.
void ReferenceFill(Block& block, int x, int y, uint32_t fill) {
    if (x < 0 || y < 0 || x >= block.width || y >= block.height) return;
    const uint32_t seed = block.At(x, y);
    if (seed == fill) return;
    std::deque<std::pair<int, int>> queue{{x, y}};
    block.At(x, y) = fill;
    while (!queue.empty()) {
        const auto [px, py] = queue.front();
        queue.pop_front();
        const int next[4][2] = {{px + 1, py}, {px - 1, py}, {px, py + 1}, {px, py - 1}};
        for (const auto& n : next) {
            if (n[0] < 0 || n[1] < 0 || n[0] >= block.width || n[1] >= block.height) continue;
            if (block.At(n[0], n[1]) != seed) continue;
            block.At(n[0], n[1]) = fill;
            queue.emplace_back(n[0], n[1]);
        }
    }
}

// Noise of a few values, so that regions of every shape (holes, bays, diagonal contacts) occur.
Block Noise(int width, int height, uint32_t seed, int values) {
    Block block(width, height);
    ProgramSrand(seed);
    for (uint32_t& p : block.pixels) p = PackPixel(0, 0, static_cast<uint8_t>(ProgramRand() % values));
    return block;
}

}  // namespace

TEST(FloodFill, GivesTheSame4ConnectedRegionAsThePlainWalk) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        const int width = 1 + static_cast<int>(seed * 7 % 23);
        const int height = 1 + static_cast<int>(seed * 5 % 19);
        Block fast = Noise(width, height, seed, 2 + static_cast<int>(seed % 3));
        Block plain = fast;
        const int x = static_cast<int>(seed * 3) % width;
        const int y = static_cast<int>(seed * 11) % height;
        ASSERT_TRUE(FloodFillPixels(fast.Rows(), width, height, x, y, kFill));
        ReferenceFill(plain, x, y, kFill);
        ASSERT_EQ(fast.pixels, plain.pixels) << "seed " << seed << ", " << width << " x " << height;
    }
}

TEST(FloodFill, MatchesAllFourBytesExactly) {
    Block block(4, 1, PackPixel(10, 20, 30, 0));
    block.At(2, 0) = PackPixel(10, 20, 30, 1);  // differs only in the fourth byte: a border
    FloodFillPixels(block.Rows(), 4, 1, 0, 0, kFill);
    EXPECT_EQ(block.At(0, 0), kFill);
    EXPECT_EQ(block.At(1, 0), kFill);
    EXPECT_EQ(block.At(2, 0), PackPixel(10, 20, 30, 1));
    EXPECT_EQ(block.At(3, 0), PackPixel(10, 20, 30, 0));

    // Comparing the colour bytes only, the fourth byte is no border; a fill value of the seed's colour
    // with another fourth byte changes nothing.
    block.At(0, 0) = block.At(1, 0) = PackPixel(10, 20, 30, 0);
    FloodFillPixels(block.Rows(), 4, 1, 0, 0, PackPixel(10, 20, 30, 255), kCompareColourBytes);
    EXPECT_EQ(block.At(2, 0), PackPixel(10, 20, 30, 1));
    FloodFillPixels(block.Rows(), 4, 1, 0, 0, kFill, kCompareColourBytes);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(block.At(x, 0), kFill) << x;
}

TEST(FloodFill, SeedOutsideOrAlreadyFilledChangesNothing) {
    Block block = Noise(9, 7, 3, 2);
    const std::vector<uint32_t> before = block.pixels;
    for (auto [x, y] : {std::pair{-1, 0}, std::pair{0, -1}, std::pair{9, 0}, std::pair{0, 7}}) {
        EXPECT_TRUE(FloodFillPixels(block.Rows(), 9, 7, x, y, kFill));
    }
    EXPECT_EQ(block.pixels, before);
    FloodFillPixels(block.Rows(), 9, 7, 4, 4, block.At(4, 4));
    EXPECT_EQ(block.pixels, before);
}

TEST(FloodFill, TopRowOfABottomUpPictureFillsTheTopRegion) {
    // A line across picture row 2 splits the picture; the seed lies in picture row 0.
    Block block(6, 5, PackPixel(255, 255, 255));
    const PixelRows rows = block.BottomUpRows();
    for (int x = 0; x < 6; ++x) rows.Row(2)[x] = PackPixel(0, 0, 0);
    FloodFillPixels(rows, 6, 5, 3, 0, kFill);
    for (int y = 0; y < 5; ++y) {
        for (int x = 0; x < 6; ++x) {
            const uint32_t expected = y < 2 ? kFill : (y == 2 ? PackPixel(0, 0, 0) : PackPixel(255, 255, 255));
            EXPECT_EQ(rows.Row(y)[x], expected) << x << ", " << y;
        }
    }
    // In memory the filled rows are the last two.
    EXPECT_EQ(block.pixels.back(), kFill);
    EXPECT_EQ(block.pixels.front(), PackPixel(255, 255, 255));
}

TEST(FloodFill, WindingCorridorAndLargeUniformPicture) {
    // A serpentine corridor one pixel wide: a recursive fill would go as deep as the corridor is long.
    const int width = 301, height = 301;
    Block maze(width, height, PackPixel(0, 0, 0));
    for (int y = 0; y < height; y += 2) {
        for (int x = 0; x < width; ++x) maze.At(x, y) = PackPixel(255, 255, 255);
        if (y + 1 < height) maze.At((y / 2) % 2 == 0 ? width - 1 : 0, y + 1) = PackPixel(255, 255, 255);
    }
    Block plain = maze;
    ASSERT_TRUE(FloodFillPixels(maze.Rows(), width, height, 0, 0, kFill));
    ReferenceFill(plain, 0, 0, kFill);
    EXPECT_EQ(maze.pixels, plain.pixels);
    EXPECT_EQ(maze.At(width - 1, height - 1), kFill);  // the far end of the corridor

    Block uniform(1500, 1000, PackPixel(1, 2, 3));
    ASSERT_TRUE(FloodFillPixels(uniform.BottomUpRows(), 1500, 1000, 700, 999, kFill));
    for (uint32_t p : uniform.pixels) ASSERT_EQ(p, kFill);
}
