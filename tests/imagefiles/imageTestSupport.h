// Helpers of the raster core's tests: an in-memory byte sink, asymmetric test pictures, an
// independent PNG decoder (libpng's reader) and a little-endian reader for BMP files.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "imagefiles/txImage.h"
#include "imagefiles/txSink.h"

// Collects written bytes; with a limit it accepts at most that many in total: a write that would go
// past it takes what fits and fails, as a full disk does. Flushes fail when flushFails is set.
class MemorySink final : public TxSink {
public:
    std::vector<uint8_t> bytes;
    size_t limit = SIZE_MAX;
    bool flushFails = false;
    int flushes = 0;

    bool Write(const void* data, size_t size) override;
    bool Flush() override {
        ++flushes;
        return !flushFails;
    }
};

// The raster core's BMP (kTxFormatBmp) or PNG bytes of image, written into memory; a failure fails the
// test that asked.
std::vector<uint8_t> Encoded(const TxImage& image, int32_t format, bool interlace = false);

// A colour that differs in every channel with x and y, so flips, turns and channel swaps show.
TxRgbQuad PatternColour(int x, int y);
// A 24-bit picture of the pattern, rows stored bottom-up as the core does (y counted from the bottom).
void FillPattern(TxImage& image);
// Pseudo-random bytes (a fixed linear congruential sequence).
class TestRandom {
public:
    explicit TestRandom(uint32_t seed) : state_(seed) {}
    uint32_t Next() {
        state_ = state_ * 1103515245u + 12345u;
        return state_ >> 8;
    }
    uint8_t Byte() { return static_cast<uint8_t>(Next()); }

private:
    uint32_t state_;
};

struct DecodedPng {
    bool ok = false;
    std::string error;
    uint32_t width = 0, height = 0;
    int bitDepth = 0, colourType = 0, interlace = 0;
    std::vector<uint8_t> paletteRgb;  // PLTE entries, 3 bytes each
    std::vector<uint8_t> transparency;
    bool hasTransparentColour = false;
    uint16_t transparentGray = 0, transparentRed = 0, transparentGreen = 0, transparentBlue = 0;
    bool hasBackground = false;
    uint16_t backgroundRed = 0, backgroundGreen = 0, backgroundBlue = 0, backgroundGray = 0;
    uint8_t backgroundIndex = 0;
    bool hasPhys = false;
    uint32_t physX = 0, physY = 0;
    int physUnit = -1;
    // Every pixel expanded to red, green, blue, alpha, top row first.
    std::vector<uint8_t> rgba;
    const uint8_t* Pixel(uint32_t x, uint32_t yFromTop) const { return &rgba[(size_t{yFromTop} * width + x) * 4]; }
};
DecodedPng DecodePng(const std::vector<uint8_t>& bytes);

// A PNG file of any colour type and bit depth, written by libpng's writer from pseudo-random samples.
struct TestPng {
    uint32_t width = 1, height = 1;
    int bitDepth = 8;
    int colourType = 2;  // PNG_COLOR_TYPE_*
    bool interlaced = false;
    int paletteSize = 0;         // palette pictures: PLTE entries (0: 2^bitDepth); the indices stay below it
    int transparencyCount = -1;  // palette: tRNS entries (-1 none); grey and RGB: a tRNS colour when >= 0
    bool extraChunks = false;    // gAMA (of 1.0), sBIT, bKGD and tEXt before the image data
    uint32_t seed = 1;

    // Made by MakeTestPng:
    std::vector<uint16_t> samples;  // per pixel, per channel, top row first, at the file's depth
    std::vector<uint8_t> palette;   // RGB entries
    std::vector<uint8_t> alphas;    // the tRNS entries of a palette
    uint16_t key[3] = {};           // the tRNS colour: grey in key[0], or red, green, blue
    std::vector<uint8_t> bytes;     // the file
};
// One of every kind: grey of 1 to 16 bits, RGB, grey with alpha and RGBA of 8 and 16, with and without a
// tRNS colour; palettes of 1 to 8 bits without tRNS, with an alpha for every entry, for half of them, and
// short palettes (fewer entries than the depth holds).
std::vector<TestPng> EveryPngKind();
// Makes the samples and writes the file; a fifth of the pixels take the tRNS colour when there is one.
void MakeTestPng(TestPng& png);
// The file with the data of its first chunk of this type replaced, its checksum made right again; the
// file unchanged when it has no such chunk.
std::vector<uint8_t> WithPngChunk(const std::vector<uint8_t>& bytes, const char* type,
                                  const std::vector<uint8_t>& data);
// A readable description of the kind, for test traces.
std::string DescribeTestPng(const TestPng& png);
// The pixel at (x, y from the top) as the platform's decoder gives it: blue | green << 8 | red << 16 |
// alpha << 24, colours premultiplied by alpha, (c * a + 127) / 255. 16-bit samples keep their high byte,
// grey of fewer bits is scaled to 0..255, a palette entry past the tRNS entries is opaque, the tRNS colour
// (compared at the file's depth) is transparent black.
uint32_t ExpectedPngPixel(const TestPng& png, uint32_t x, uint32_t y);

inline uint32_t Le16(const std::vector<uint8_t>& b, size_t at) { return b.at(at) | b.at(at + 1) << 8; }
inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t{b.at(at + 3)} << 24;
}
