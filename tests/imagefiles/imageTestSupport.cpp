#include "imageTestSupport.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>

size_t MemoryFile::WriteBlock(const void* buffer, size_t size, size_t count) {
    const size_t wanted = size * count;
    const size_t room = limit > bytes.size() ? limit - bytes.size() : 0;
    const size_t taken = std::min(wanted, room);
    const auto* p = static_cast<const uint8_t*>(buffer);
    bytes.insert(bytes.end(), p, p + taken);
    return size ? taken / size : 0;
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
