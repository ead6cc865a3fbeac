// The PNG decoder against an independent model of the platform's pixels for every colour type, bit depth,
// palette, tRNS and interlace, and its refusals; the direct PNG writer read back by libpng's own reader.
#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "imageTestSupport.h"
#include "imagefiles/pngDecode.h"
#include "imagefiles/pngEncode.h"

namespace {

uint32_t Be32(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t{b.at(at)} << 24 | uint32_t{b.at(at + 1)} << 16 | uint32_t{b.at(at + 2)} << 8 | b.at(at + 3);
}

// The chunk types of a PNG file in order.
std::vector<std::string> ChunkTypes(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> types;
    for (size_t at = 8; at + 12 <= bytes.size(); at += 12 + Be32(bytes, at))
        types.emplace_back(reinterpret_cast<const char*>(bytes.data() + at + 4), 4);
    return types;
}

struct Decoded {
    bool header = false, rows = false;
    PngFacts facts;
    std::vector<uint32_t> pixels;  // top row first
};
Decoded Decode(const std::vector<uint8_t>& bytes, bool bottomUp = false, uint32_t maxSide = 65535) {
    Decoded out;
    PngDecoder decoder(bytes.data(), bytes.size());
    out.header = decoder.ReadHeader(maxSide);
    if (!out.header) return out;
    out.facts = decoder.Facts();
    const uint32_t width = out.facts.width, height = out.facts.height;
    std::vector<uint32_t> memory(size_t{width} * height, 0xDEADBEEF);
    auto* base = reinterpret_cast<uint8_t*>(memory.data());
    const ptrdiff_t stride = static_cast<ptrdiff_t>(width) * 4;
    out.rows = bottomUp ? decoder.ReadRows(base + stride * (height - 1), -stride) : decoder.ReadRows(base, stride);
    out.pixels.resize(memory.size());
    for (uint32_t y = 0; y < height; ++y)
        std::memcpy(&out.pixels[size_t{y} * width], &memory[size_t{bottomUp ? height - 1 - y : y} * width], stride);
    return out;
}

}  // namespace

TEST(PngDecoder, PremultipliedChannelsRoundToNearest) {
    for (unsigned c = 0; c < 256; ++c)
        for (unsigned a = 0; a < 256; ++a) ASSERT_EQ(PremultipliedChannel(c, a), (c * a + 127) / 255) << c << " " << a;
}

TEST(PngDecoder, EveryKindDecodesToThePlatformsPixels) {
    const uint32_t sizes[][2] = {{1, 1}, {3, 7}, {13, 5}, {7, 1}};
    uint32_t seed = 0;
    for (const TestPng& kind : EveryPngKind()) {
        for (const auto& size : sizes) {
            for (bool interlaced : {false, true}) {
                TestPng p = kind;
                p.width = size[0];
                p.height = size[1];
                p.interlaced = interlaced;
                p.extraChunks = seed % 3 == 0;
                p.seed = ++seed;
                MakeTestPng(p);
                SCOPED_TRACE(DescribeTestPng(p));
                ASSERT_FALSE(p.bytes.empty());
                const Decoded d = Decode(p.bytes, seed % 2 == 0);
                ASSERT_TRUE(d.header && d.rows);
                EXPECT_EQ(d.facts.width, p.width);
                EXPECT_EQ(d.facts.height, p.height);
                EXPECT_EQ(d.facts.interlaced, interlaced);
                EXPECT_EQ(d.facts.transparency, p.transparencyCount >= 0);
                for (uint32_t y = 0; y < p.height; ++y)
                    for (uint32_t x = 0; x < p.width; ++x)
                        ASSERT_EQ(d.pixels[size_t{y} * p.width + x], ExpectedPngPixel(p, x, y)) << x << "," << y;
            }
        }
    }
}

TEST(PngDecoder, RefusesWhatLibpngRejectsOrDoubts) {
    TestPng p;
    p.colourType = PNG_COLOR_TYPE_PALETTE;
    p.bitDepth = 2;
    p.width = 9;
    p.height = 4;
    MakeTestPng(p);
    ASSERT_TRUE(Decode(p.bytes).rows);

    // Cut inside the image data, or before it.
    for (size_t length : {p.bytes.size() - 20, size_t{40}, size_t{8}, size_t{0}}) {
        const std::vector<uint8_t> cut(p.bytes.begin(), p.bytes.begin() + static_cast<ptrdiff_t>(length));
        const Decoded d = Decode(cut);
        EXPECT_FALSE(d.header && d.rows) << length;
    }
    // A wrong checksum, on a critical chunk and on an ancillary one (libpng would drop the latter).
    std::vector<uint8_t> bad = p.bytes;
    bad[29] ^= 1;  // the IHDR checksum
    EXPECT_FALSE(Decode(bad).header);
    TestPng keyed;
    keyed.colourType = PNG_COLOR_TYPE_RGB;
    keyed.transparencyCount = 1;
    keyed.width = keyed.height = 4;
    MakeTestPng(keyed);
    ASSERT_TRUE(Decode(keyed.bytes).rows);
    bad = keyed.bytes;
    const auto types = ChunkTypes(bad);
    size_t at = 8;
    for (const std::string& type : types) {
        if (type == "tRNS") break;
        at += 12 + Be32(bad, at);
    }
    bad[at + 8 + Be32(bad, at)] ^= 1;  // the tRNS checksum
    EXPECT_FALSE(Decode(bad).header);

    // A palette index past the palette: the palette cut to 3 of its 4 entries.
    const std::vector<uint8_t> three(p.palette.begin(), p.palette.begin() + 9);
    const Decoded shortPalette = Decode(WithPngChunk(p.bytes, "PLTE", three));
    EXPECT_TRUE(shortPalette.header);
    EXPECT_FALSE(shortPalette.rows);
    // A tRNS grey level the depth cannot hold: libpng warns and keeps it, the platform keeps it too.
    TestPng grey;
    grey.colourType = PNG_COLOR_TYPE_GRAY;
    grey.bitDepth = 1;
    grey.transparencyCount = 1;
    grey.width = grey.height = 3;
    MakeTestPng(grey);
    EXPECT_FALSE(Decode(WithPngChunk(grey.bytes, "tRNS", {0, 5})).header);
    // A side beyond the limit.
    EXPECT_FALSE(Decode(p.bytes, false, 8).header);
    EXPECT_TRUE(Decode(p.bytes, false, 9).rows);
}

// ---- the direct writer ---------------------------------------------------------------------------------

namespace {

struct Picture {
    uint32_t width, height;
    unsigned bytesPerPixel;
    std::vector<uint8_t> memory;  // bottom-up, rows padded to 4 bytes
    size_t Stride() const { return (size_t{width} * bytesPerPixel + 3) & ~size_t{3}; }
    uint8_t* Pixel(uint32_t x, uint32_t yFromTop) {
        return &memory[(height - 1 - yFromTop) * Stride() + size_t{x} * bytesPerPixel];
    }
    PngPixelRows Rows(PngPixelLayout layout) {
        PngPixelRows rows;
        rows.top = memory.data() + (height - 1) * Stride();
        rows.stride = -static_cast<ptrdiff_t>(Stride());
        rows.width = width;
        rows.height = height;
        rows.layout = layout;
        return rows;
    }
};

// Pseudo-random pixels; with alpha they are valid premultiplied ones (no colour above its alpha) but for
// a few that are not, as a picture may hold.
Picture RandomPicture(uint32_t width, uint32_t height, unsigned bytesPerPixel, bool alpha, uint32_t seed) {
    Picture picture{width, height, bytesPerPixel, {}};
    picture.memory.assign(picture.Stride() * height, 0);
    uint64_t state = seed;
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x) {
            uint8_t* p = picture.Pixel(x, y);
            // splitmix64: no period a compressor could find.
            uint64_t z = (state += 0x9E3779B97F4A7C15ull);
            z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
            z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
            z ^= z >> 31;
            for (unsigned c = 0; c < bytesPerPixel; ++c) p[c] = static_cast<uint8_t>(z >> (8 * c));
            if (alpha && x % 5 != 4)
                for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(p[3] ? p[c] % (p[3] + 1) : 0);
        }
    return picture;
}

std::vector<uint8_t> Encode(const PngPixelRows& rows, PngCompression compression) {
    MemorySink sink;
    EXPECT_TRUE(EncodePngRows(rows, compression, sink));
    return sink.bytes;
}

}  // namespace

TEST(PngRowWriter, RowsReadBackAsStraightColoursWithTheCoresChunks) {
    const PngCompression compressions[] = {PngCompression::standard, PngCompression::quick, PngCompression::runs};
    for (const uint32_t width : {1u, 3u, 13u, 70u}) {
        for (const uint32_t height : {1u, 2u, 9u}) {
            struct Layout {
                PngPixelLayout layout;
                unsigned bytes;
                bool alpha;
            };
            for (const Layout& l : {Layout{PngPixelLayout::bgr24, 3, false}, Layout{PngPixelLayout::bgrx32, 4, false},
                                    Layout{PngPixelLayout::premultipliedBgra32, 4, true}}) {
                Picture picture = RandomPicture(width, height, l.bytes, l.alpha, width * 31 + height);
                const PngCompression compression = compressions[(width + height) % 3];
                SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " layout " +
                             std::to_string(static_cast<int>(l.layout)));
                const std::vector<uint8_t> bytes = Encode(picture.Rows(l.layout), compression);
                std::vector<std::string> types = ChunkTypes(bytes);
                types.erase(std::unique(types.begin(), types.end()), types.end());
                EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "bKGD", "pHYs", "IDAT", "IEND"}));
                const DecodedPng png = DecodePng(bytes);
                ASSERT_TRUE(png.ok) << png.error;
                EXPECT_EQ(png.width, width);
                EXPECT_EQ(png.height, height);
                EXPECT_EQ(png.bitDepth, 8);
                EXPECT_EQ(png.colourType, l.alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB);
                EXPECT_EQ(png.interlace, PNG_INTERLACE_NONE);
                // White background, 96 dots per inch: what the raster core's writer gives such a picture.
                EXPECT_TRUE(png.hasBackground && png.backgroundRed == 255 && png.backgroundGreen == 255 &&
                            png.backgroundBlue == 255);
                EXPECT_TRUE(png.hasPhys && png.physX == 3780 && png.physY == 3780 &&
                            png.physUnit == PNG_RESOLUTION_METER);
                for (uint32_t y = 0; y < height; ++y)
                    for (uint32_t x = 0; x < width; ++x) {
                        const uint8_t* source = picture.Pixel(x, y);
                        const unsigned a = l.alpha ? source[3] : 255;
                        const uint8_t* read = png.Pixel(x, y);
                        for (int c = 0; c < 3; ++c) {
                            const unsigned straight = !l.alpha ? source[2 - c]
                                                      : a      ? std::min(255u, source[2 - c] * 255u / a)
                                                               : 0;
                            ASSERT_EQ(read[c], straight) << x << "," << y << " channel " << c;
                        }
                        ASSERT_EQ(read[3], a) << x << "," << y;
                    }
            }
        }
    }
}

TEST(PngRowWriter, TopDownRowsAndEveryCompressionGiveTheSamePicture) {
    Picture picture = RandomPicture(37, 23, 4, true, 5);
    const std::vector<uint8_t> reference =
        DecodePng(Encode(picture.Rows(PngPixelLayout::premultipliedBgra32), PngCompression::standard)).rgba;
    // The same memory walked top-down as a top-down section would be: the picture upside down.
    PngPixelRows topDown = picture.Rows(PngPixelLayout::premultipliedBgra32);
    topDown.top = picture.memory.data();
    topDown.stride = -topDown.stride;
    const DecodedPng flipped = DecodePng(Encode(topDown, PngCompression::runs));
    ASSERT_TRUE(flipped.ok);
    for (uint32_t y = 0; y < 23; ++y)
        EXPECT_EQ(std::memcmp(&flipped.rgba[size_t{y} * 37 * 4], &reference[size_t{22 - y} * 37 * 4], 37 * 4), 0) << y;
    for (PngCompression compression : {PngCompression::quick, PngCompression::runs})
        EXPECT_EQ(DecodePng(Encode(picture.Rows(PngPixelLayout::premultipliedBgra32), compression)).rgba, reference);
}

TEST(PngRowWriter, TheCompressionFollowsThePicture) {
    // Small pictures: the standard compression without a trial.
    Picture small = RandomPicture(100, 100, 4, false, 1);
    EXPECT_EQ(ChoosePngCompression(small.Rows(PngPixelLayout::bgrx32)), PngCompression::standard);
    // Noise has no repeats: a faster compression, and no larger file than the standard one.
    Picture noise = RandomPicture(800, 500, 4, false, 2);
    const PngPixelRows noiseRows = noise.Rows(PngPixelLayout::bgrx32);
    const PngCompression chosen = ChoosePngCompression(noiseRows);
    EXPECT_NE(chosen, PngCompression::standard);
    EXPECT_LE(Encode(noiseRows, chosen).size(), Encode(noiseRows, PngCompression::standard).size());
    // A drawing of a few shapes and a repeated pattern of text-like marks: the standard compression
    // finds its repeats.
    Picture drawing{800, 500, 4, {}};
    drawing.memory.assign(drawing.Stride() * drawing.height, 255);
    TestRandom random(3);
    std::vector<uint8_t> mark(24 * 16);
    for (uint8_t& m : mark) m = random.Next() % 3 == 0 ? 0 : 255;
    for (uint32_t y = 0; y < drawing.height; ++y)
        for (uint32_t x = 0; x < drawing.width; ++x) {
            uint8_t* p = drawing.Pixel(x, y);
            if (x > 100 && x < 300 && y > 50 && y < 350) p[0] = 200, p[1] = 40, p[2] = 30;
            if (y % 40 < 16) p[0] = p[1] = p[2] = mark[(y % 40) * 24 + x % 24];
        }
    const PngPixelRows drawingRows = drawing.Rows(PngPixelLayout::bgrx32);
    EXPECT_EQ(ChoosePngCompression(drawingRows), PngCompression::standard);
}

TEST(PngRowWriter, AFailingSinkFailsTheWrite) {
    Picture picture = RandomPicture(64, 64, 4, false, 4);
    MemorySink sink;
    sink.limit = 100;
    EXPECT_FALSE(EncodePngRows(picture.Rows(PngPixelLayout::bgrx32), sink));
    // A sink that took every byte but fails its flush fails the write too.
    MemorySink unflushed;
    unflushed.flushFails = true;
    EXPECT_FALSE(EncodePngRows(picture.Rows(PngPixelLayout::bgrx32), unflushed));
    EXPECT_FALSE(unflushed.bytes.empty());
    PngPixelRows none = picture.Rows(PngPixelLayout::bgrx32);
    none.height = 0;
    MemorySink empty;
    EXPECT_FALSE(EncodePngRows(none, empty));
}
