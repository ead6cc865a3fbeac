#include "imageTestSupport.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <string>

#include "imagefiles/txImageBmp.h"
#include "imagefiles/txImagePng.h"

bool MemorySink::Write(const void* data, size_t size) {
    const size_t room = limit > bytes.size() ? limit - bytes.size() : 0;
    const size_t taken = std::min(size, room);
    const auto* p = static_cast<const uint8_t*>(data);
    bytes.insert(bytes.end(), p, p + taken);
    return taken == size;
}

TxRgbQuad PatternColour(int x, int y) {
    return TxRgb(static_cast<uint8_t>(20 + 37 * x + 3 * y), static_cast<uint8_t>(200 - 11 * y + x),
                 static_cast<uint8_t>(90 + 23 * x * y + 5 * y));
}

void FillPattern(TxImage& image) {
    for (uint32_t y = 0; y < image.Height(); ++y) {
        for (uint32_t x = 0; x < image.Width(); ++x) {
            image.SetPixelAt(static_cast<int32_t>(x), static_cast<int32_t>(y),
                             PatternColour(static_cast<int>(x), static_cast<int>(y)));
        }
    }
}

namespace {
struct ReadSource {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

void ReadData(png_structp png, png_bytep data, size_t length) {
    auto* source = static_cast<ReadSource*>(png_get_io_ptr(png));
    if (length > source->bytes->size() - source->at) png_error(png, "read past the end");
    std::memcpy(data, source->bytes->data() + source->at, length);
    source->at += length;
}

void Fail(png_structp png, png_const_charp message) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    *text = message;
    png_longjmp(png, 1);
}

// Everything allocated before the error return is armed; the reading code owns nothing.
bool Read(png_structp png, png_infop info, DecodedPng& out, std::vector<png_bytep>& rows) {
    png_read_info(png, info);
    png_uint_32 width, height;
    png_get_IHDR(png, info, &width, &height, &out.bitDepth, &out.colourType, &out.interlace, nullptr, nullptr);
    out.width = width;
    out.height = height;
    png_colorp palette;
    int paletteCount = 0;
    if (png_get_PLTE(png, info, &palette, &paletteCount)) {
        for (int i = 0; i < paletteCount; ++i) {
            out.paletteRgb.push_back(palette[i].red);
            out.paletteRgb.push_back(palette[i].green);
            out.paletteRgb.push_back(palette[i].blue);
        }
    }
    png_bytep alphas;
    int alphaCount = 0;
    png_color_16p colour;
    if (png_get_tRNS(png, info, &alphas, &alphaCount, &colour)) {
        if (out.colourType == PNG_COLOR_TYPE_PALETTE) {
            out.transparency.assign(alphas, alphas + alphaCount);
        } else {
            out.hasTransparentColour = true;
            out.transparentGray = colour->gray;
            out.transparentRed = colour->red;
            out.transparentGreen = colour->green;
            out.transparentBlue = colour->blue;
        }
    }
    png_color_16p background;
    if (png_get_bKGD(png, info, &background)) {
        out.hasBackground = true;
        out.backgroundIndex = background->index;
        out.backgroundRed = background->red;
        out.backgroundGreen = background->green;
        out.backgroundBlue = background->blue;
        out.backgroundGray = background->gray;
    }
    png_uint_32 physX, physY;
    int unit;
    if (png_get_pHYs(png, info, &physX, &physY, &unit)) {
        out.hasPhys = true;
        out.physX = physX;
        out.physY = physY;
        out.physUnit = unit;
    }
    // Expand everything to 8-bit red, green, blue, alpha.
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * 4) return false;
    out.rgba.resize(size_t{width} * height * 4);
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y) rows[y] = out.rgba.data() + size_t{y} * width * 4;
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    return true;
}
}  // namespace

DecodedPng DecodePng(const std::vector<uint8_t>& bytes) {
    DecodedPng out;
    ReadSource source{&bytes, 0};
    std::vector<png_bytep> rows;
    rows.reserve(1);
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &out.error, Fail, nullptr);
    if (!png) return out;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return out;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        out.ok = false;
        return out;
    }
    png_set_read_fn(png, &source, ReadData);
    out.ok = Read(png, info, out, rows);
    png_destroy_read_struct(&png, &info, nullptr);
    return out;
}

namespace {
int ChannelsOf(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            return 1;
    }
}

void Collect(png_structp png, png_bytep data, size_t length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

bool WriteArmed(png_structp png, png_infop info, TestPng& p, std::vector<uint8_t>& row) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, &p.bytes, Collect, nullptr);
    png_set_IHDR(png, info, p.width, p.height, p.bitDepth, p.colourType,
                 p.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (p.colourType == PNG_COLOR_TYPE_PALETTE)
        png_set_PLTE(png, info, reinterpret_cast<png_colorp>(p.palette.data()), static_cast<int>(p.palette.size() / 3));
    if (p.transparencyCount >= 0) {
        png_color_16 key{};
        key.gray = key.red = p.key[0];
        key.green = p.key[1];
        key.blue = p.key[2];
        if (p.colourType == PNG_COLOR_TYPE_PALETTE)
            png_set_tRNS(png, info, p.alphas.data(), static_cast<int>(p.alphas.size()), nullptr);
        else
            png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (p.extraChunks) {
        png_set_gAMA_fixed(png, info, PNG_FP_1);
        png_color_8 significant{};
        const png_byte bits =
            static_cast<png_byte>(p.colourType == PNG_COLOR_TYPE_PALETTE ? 8 : std::max(1, p.bitDepth - 1));
        significant.red = significant.green = significant.blue = significant.gray = significant.alpha = bits;
        png_set_sBIT(png, info, &significant);
        if (p.colourType != PNG_COLOR_TYPE_PALETTE) {
            png_color_16 background{};
            background.gray = background.red = background.green = background.blue = 1;
            png_set_bKGD(png, info, &background);
        }
        png_text text{};
        text.compression = PNG_TEXT_COMPRESSION_NONE;
        text.key = const_cast<char*>("Comment");
        text.text = const_cast<char*>("a test picture");
        png_set_text(png, info, &text, 1);
    }
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);
    const int channels = ChannelsOf(p.colourType);
    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t y = 0; y < p.height; ++y) {
            std::fill(row.begin(), row.end(), 0);
            for (uint32_t x = 0; x < p.width; ++x) {
                for (int c = 0; c < channels; ++c) {
                    const uint16_t v = p.samples[(size_t{y} * p.width + x) * channels + c];
                    const size_t bit = (size_t{x} * channels + c) * p.bitDepth;
                    if (p.bitDepth == 16) {
                        row[bit / 8] = static_cast<uint8_t>(v >> 8);
                        row[bit / 8 + 1] = static_cast<uint8_t>(v);
                    } else {
                        row[bit / 8] |= static_cast<uint8_t>(v << (8 - p.bitDepth - bit % 8));
                    }
                }
            }
            png_write_row(png, row.data());
        }
    }
    png_write_end(png, info);
    return true;
}
}  // namespace

std::vector<TestPng> EveryPngKind() {
    std::vector<TestPng> kinds;
    auto add = [&](int type, int depth, int transparency, int paletteSize = 0) {
        TestPng p;
        p.colourType = type;
        p.bitDepth = depth;
        p.transparencyCount = transparency;
        p.paletteSize = paletteSize;
        kinds.push_back(p);
    };
    for (int depth : {1, 2, 4, 8, 16}) add(PNG_COLOR_TYPE_GRAY, depth, -1), add(PNG_COLOR_TYPE_GRAY, depth, 1);
    for (int depth : {8, 16}) {
        for (int type : {PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB_ALPHA}) add(type, depth, -1);
        add(PNG_COLOR_TYPE_RGB, depth, 1);
    }
    for (int depth : {1, 2, 4, 8}) {
        const int entries = 1 << depth;
        add(PNG_COLOR_TYPE_PALETTE, depth, -1);
        add(PNG_COLOR_TYPE_PALETTE, depth, entries);
        add(PNG_COLOR_TYPE_PALETTE, depth, std::max(1, entries / 2));
        add(PNG_COLOR_TYPE_PALETTE, depth, -1, entries / 2 + 1);
        if (depth > 1) add(PNG_COLOR_TYPE_PALETTE, depth, 1, entries / 2 + 1);
    }
    return kinds;
}

void MakeTestPng(TestPng& p) {
    TestRandom random(p.seed * 2654435761u + 17);
    const int channels = ChannelsOf(p.colourType);
    const unsigned levels = 1u << p.bitDepth;
    p.samples.assign(size_t{p.width} * p.height * channels, 0);
    p.palette.clear();
    p.alphas.clear();
    p.bytes.clear();
    unsigned valueCount = levels;
    if (p.colourType == PNG_COLOR_TYPE_PALETTE) {
        valueCount = p.paletteSize > 0 ? static_cast<unsigned>(p.paletteSize) : levels;
        for (unsigned i = 0; i < valueCount * 3; ++i) p.palette.push_back(random.Byte());
        if (p.transparencyCount >= 0) {
            for (int i = 0; i < p.transparencyCount; ++i) p.alphas.push_back(random.Byte());
            // Both ends of the alpha range are among them.
            if (p.transparencyCount > 0) p.alphas[0] = 0;
            if (p.transparencyCount > 1) p.alphas[1] = 255;
        }
    }
    for (uint16_t& v : p.samples) v = static_cast<uint16_t>(random.Next() % valueCount);
    if (p.transparencyCount >= 0 && p.colourType != PNG_COLOR_TYPE_PALETTE) {
        for (int c = 0; c < channels; ++c) p.key[c] = p.samples[c];
        for (size_t pixel = 0; pixel < size_t{p.width} * p.height; ++pixel)
            if (random.Next() % 5 == 0)
                for (int c = 0; c < channels; ++c) p.samples[pixel * channels + c] = p.key[c];
    }
    std::vector<uint8_t> row(size_t{p.width} * channels * 2 + 1);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!png || !info || !WriteArmed(png, info, p, row)) p.bytes.clear();
    png_destroy_write_struct(&png, &info);
}

std::string DescribeTestPng(const TestPng& p) {
    static const char* const kTypes[] = {"grey", "?", "RGB", "palette", "grey+alpha", "?", "RGBA"};
    std::string text = std::string(kTypes[p.colourType]) + " " + std::to_string(p.bitDepth) + "-bit " +
                       std::to_string(p.width) + "x" + std::to_string(p.height);
    if (p.colourType == PNG_COLOR_TYPE_PALETTE) text += " of " + std::to_string(p.palette.size() / 3);
    if (p.transparencyCount >= 0) text += " tRNS " + std::to_string(p.transparencyCount);
    if (p.interlaced) text += " interlaced";
    if (p.extraChunks) text += " gAMA/sBIT/bKGD/tEXt";
    return text + " seed " + std::to_string(p.seed);
}

uint32_t ExpectedPngPixel(const TestPng& p, uint32_t x, uint32_t y) {
    const int channels = ChannelsOf(p.colourType);
    const uint16_t* v = &p.samples[(size_t{y} * p.width + x) * channels];
    const unsigned top = (1u << p.bitDepth) - 1;
    auto eight = [&](unsigned s) { return p.bitDepth == 16 ? s >> 8 : s * 255 / top; };
    bool keyed = p.transparencyCount >= 0 && p.colourType != PNG_COLOR_TYPE_PALETTE;
    for (int c = 0; keyed && c < channels; ++c) keyed = v[c] == p.key[c];
    unsigned r, g, b, a = 255;
    switch (p.colourType) {
        case PNG_COLOR_TYPE_PALETTE:
            r = p.palette[v[0] * 3], g = p.palette[v[0] * 3 + 1], b = p.palette[v[0] * 3 + 2];
            if (v[0] < p.alphas.size()) a = p.alphas[v[0]];
            break;
        case PNG_COLOR_TYPE_RGB:
        case PNG_COLOR_TYPE_RGB_ALPHA:
            r = eight(v[0]), g = eight(v[1]), b = eight(v[2]);
            if (p.colourType == PNG_COLOR_TYPE_RGB_ALPHA) a = eight(v[3]);
            break;
        default:
            r = g = b = eight(v[0]);
            if (p.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) a = eight(v[1]);
            break;
    }
    if (keyed) a = 0;
    auto times = [&](unsigned c) { return (c * a + 127) / 255; };
    return times(b) | times(g) << 8 | times(r) << 16 | a << 24;
}

std::vector<uint8_t> WithPngChunk(const std::vector<uint8_t>& bytes, const char* type,
                                  const std::vector<uint8_t>& data) {
    auto be32 = [&](size_t at) {
        return uint32_t{bytes[at]} << 24 | uint32_t{bytes[at + 1]} << 16 | uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
    };
    for (size_t at = 8; at + 12 <= bytes.size(); at += 12 + be32(at)) {
        if (std::memcmp(bytes.data() + at + 4, type, 4) != 0) continue;
        std::vector<uint8_t> out(bytes.begin(), bytes.begin() + static_cast<ptrdiff_t>(at));
        const auto size = static_cast<uint32_t>(data.size());
        for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(size >> (8 * i)));
        out.insert(out.end(), type, type + 4);
        out.insert(out.end(), data.begin(), data.end());
        uLong crc = crc32(0, reinterpret_cast<const Bytef*>(type), 4);
        crc = crc32(crc, data.data(), static_cast<uInt>(data.size()));
        for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(crc >> (8 * i)));
        out.insert(out.end(), bytes.begin() + static_cast<ptrdiff_t>(at + 12 + be32(at)), bytes.end());
        return out;
    }
    return bytes;
}

std::vector<uint8_t> Encoded(const TxImage& image, int32_t format, bool interlace) {
    MemorySink sink;
    const char* error = "";
    const bool ok =
        format == kTxFormatBmp ? WriteBmp(image.View(), sink, &error) : WritePng(image.View(), sink, interlace, &error);
    EXPECT_TRUE(ok) << error;
    return sink.bytes;
}
