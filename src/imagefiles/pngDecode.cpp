#include "imagefiles/pngDecode.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

struct PngDecoder::Libpng {
    png_structp png = nullptr;
    png_infop info = nullptr;
    bool warned = false;
};

// libpng's callbacks reach the decoder through its io and error pointers. libpng's error return jumps back
// over libpng's own frames only: none of these owns anything.
struct PngDecoderCallbacks {
    static void Read(png_structp png, png_bytep target, size_t length) {
        auto* decoder = static_cast<PngDecoder*>(png_get_io_ptr(png));
        if (length > decoder->size_ - decoder->position_) png_error(png, "Read past the end of the file");
        std::memcpy(target, decoder->data_ + decoder->position_, length);
        decoder->position_ += length;
    }
    static void Remember(PngDecoder* decoder, const char* message) {
        if (decoder->error_[0] == 0)
            std::snprintf(decoder->error_, sizeof(decoder->error_), "%s", message ? message : "libpng error");
    }
    [[noreturn]] static void Error(png_structp png, png_const_charp message) {
        Remember(static_cast<PngDecoder*>(png_get_error_ptr(png)), message);
        png_longjmp(png, 1);
    }
    // A warning means libpng dropped or doubted something the platform's decoder may keep (a chunk whose
    // checksum is wrong, a tRNS out of range): the file is then not decoded here.
    static void Warning(png_structp png, png_const_charp message) {
        auto* decoder = static_cast<PngDecoder*>(png_get_error_ptr(png));
        Remember(decoder, message);
        decoder->png_->warned = true;
    }
};

namespace {

inline uint32_t PackPremultiplied(unsigned red, unsigned green, unsigned blue, unsigned alpha) {
    return uint32_t{PremultipliedChannel(blue, alpha)} | uint32_t{PremultipliedChannel(green, alpha)} << 8 |
           uint32_t{PremultipliedChannel(red, alpha)} << 16 | uint32_t{alpha} << 24;
}

// Blue, green, red, alpha in place: the colours premultiplied. An alpha of 255 keeps the colour.
void PremultiplyRow(uint8_t* pixels, uint32_t width) {
    for (uint32_t x = 0; x < width; ++x, pixels += 4) {
        const unsigned alpha = pixels[3];
        pixels[0] = PremultipliedChannel(pixels[0], alpha);
        pixels[1] = PremultipliedChannel(pixels[1], alpha);
        pixels[2] = PremultipliedChannel(pixels[2], alpha);
    }
}

// Sample values (palette indices or grey levels) to finished pixels; false for a value past the table.
bool MapRow(const uint8_t* values, uint32_t width, const uint32_t* table, unsigned tableSize, uint8_t* target) {
    unsigned largest = 0;
    for (uint32_t x = 0; x < width; ++x) {
        const unsigned value = values[x];
        largest = std::max(largest, value);
        const uint32_t pixel = table[value];
        std::memcpy(target + size_t{x} * 4, &pixel, 4);
    }
    return largest < tableSize;
}

}  // namespace

bool PngReportsAlpha(const PngFacts& facts) {
    if (facts.transparency) return true;
    switch (facts.colourType) {
        case PNG_COLOR_TYPE_GRAY:
            return facts.bitDepth != 1;
        case PNG_COLOR_TYPE_RGB:
            return facts.bitDepth != 8;
        case PNG_COLOR_TYPE_PALETTE:
            return facts.bitDepth == 2;
        default:  // grey with alpha, RGBA
            return true;
    }
}

PngDecoder::PngDecoder(const uint8_t* data, size_t size) : data_(data), size_(size) {}

PngDecoder::~PngDecoder() {
    if (!png_) return;
    png_destroy_read_struct(&png_->png, png_->info ? &png_->info : nullptr, nullptr);
    delete png_;
}

bool PngDecoder::ReadHeader(uint32_t maxSide) {
    if (png_ || !data_) return false;
    png_ = new (std::nothrow) Libpng;
    if (!png_) return false;
    png_->png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, this, PngDecoderCallbacks::Error, PngDecoderCallbacks::Warning);
    if (!png_->png) return false;
    png_->info = png_create_info_struct(png_->png);
    if (!png_->info) return false;
    png_set_user_limits(png_->png, maxSide, maxSide);
    headerRead_ = ReadHeaderArmed() && !png_->warned;
    return headerRead_;
}

bool PngDecoder::ReadHeaderArmed() {
    png_structp png = png_->png;
    png_infop info = png_->info;
    if (setjmp(png_jmpbuf(png))) return false;
    // Strict: a benign error is an error, a broken checksum on any chunk too; the platform's decoder
    // then reads the file as it did before.
    png_set_benign_errors(png, 0);
    png_set_crc_action(png, PNG_CRC_ERROR_QUIT, PNG_CRC_ERROR_QUIT);
    png_set_read_fn(png, this, PngDecoderCallbacks::Read);
    png_read_info(png, info);

    facts_.width = png_get_image_width(png, info);
    facts_.height = png_get_image_height(png, info);
    facts_.bitDepth = png_get_bit_depth(png, info);
    facts_.colourType = png_get_color_type(png, info);
    facts_.interlaced = png_get_interlace_type(png, info) != PNG_INTERLACE_NONE;
    facts_.transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
    if (facts_.width == 0 || facts_.height == 0) png_error(png, "Empty picture");
    return PrepareTable();
}

bool PngDecoder::PrepareTable() {
    png_structp png = png_->png;
    png_infop info = png_->info;
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    png_color_16p key = nullptr;
    if (facts_.transparency) png_get_tRNS(png, info, &alphas, &alphaCount, &key);

    if (facts_.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_colorp palette = nullptr;
        int count = 0;
        if (!png_get_PLTE(png, info, &palette, &count) || count <= 0 || count > 256) return false;
        for (int i = 0; i < count; ++i) {
            const unsigned alpha = i < alphaCount && alphas ? alphas[i] : 255;
            table_[i] = PackPremultiplied(palette[i].red, palette[i].green, palette[i].blue, alpha);
        }
        tableSize_ = static_cast<unsigned>(count);
        indexed_ = true;
    } else if (facts_.colourType == PNG_COLOR_TYPE_GRAY && facts_.bitDepth <= 8) {
        // As the platform makes a palette of them: level i of n is i * 255 / (n - 1), the tRNS level
        // (compared as stored) transparent black.
        const unsigned levels = 1u << facts_.bitDepth;
        for (unsigned i = 0; i < levels; ++i) {
            const unsigned grey = i * 255 / (levels - 1);
            const bool clear = facts_.transparency && key && key->gray == i;
            table_[i] = clear ? 0 : PackPremultiplied(grey, grey, grey, 255);
        }
        tableSize_ = levels;
        indexed_ = true;
    }
    return true;
}

bool PngDecoder::ReadRows(uint8_t* top, ptrdiff_t stride) {
    if (!headerRead_ || rowsRead_ || !top) return false;
    rowsRead_ = true;
    // Sample values of an indexed picture: one row, or the whole picture when interlaced (each pass adds
    // pixels to every row).
    std::unique_ptr<uint8_t[]> values;
    if (indexed_) {
        const size_t count = facts_.interlaced ? size_t{facts_.width} * facts_.height : facts_.width;
        values.reset(new (std::nothrow) uint8_t[count]);
        if (!values) return false;
    }
    return ReadRowsArmed(top, stride, values.get()) && !png_->warned;
}

bool PngDecoder::ReadRowsArmed(uint8_t* top, ptrdiff_t stride, uint8_t* values) {
    png_structp png = png_->png;
    png_infop info = png_->info;
    if (setjmp(png_jmpbuf(png))) return false;

    const uint32_t width = facts_.width, height = facts_.height;
    bool alpha = false;
    if (indexed_) {
        png_set_packing(png);  // one byte per sample value, unscaled
    } else {
        if (facts_.bitDepth == 16) png_set_strip_16(png);  // the high byte
        // Grey of 16 bits and RGB with a tRNS colour: compared before the depth is cut.
        if (facts_.transparency) png_set_tRNS_to_alpha(png);
        if (facts_.colourType == PNG_COLOR_TYPE_GRAY || facts_.colourType == PNG_COLOR_TYPE_GRAY_ALPHA)
            png_set_gray_to_rgb(png);
        png_set_bgr(png);
        alpha = facts_.transparency || (facts_.colourType & PNG_COLOR_MASK_ALPHA) != 0;
        if (!alpha) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    }
    const int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != size_t{width} * (indexed_ ? 1 : 4)) png_error(png, "Unexpected row size");

    auto row = [&](uint32_t y) { return top + static_cast<ptrdiff_t>(y) * stride; };
    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t y = 0; y < height; ++y) {
            if (indexed_ && !facts_.interlaced) {
                png_read_row(png, values, nullptr);
                if (!MapRow(values, width, table_, tableSize_, row(y)))
                    png_error(png, "Palette index past the palette");
            } else if (indexed_) {
                png_read_row(png, values + size_t{y} * width, nullptr);
            } else {
                png_read_row(png, row(y), nullptr);
                if (alpha && !facts_.interlaced) PremultiplyRow(row(y), width);
            }
        }
    }
    if (facts_.interlaced) {
        for (uint32_t y = 0; y < height; ++y) {
            if (indexed_) {
                if (!MapRow(values + size_t{y} * width, width, table_, tableSize_, row(y)))
                    png_error(png, "Palette index past the palette");
            } else if (alpha) {
                PremultiplyRow(row(y), width);
            }
        }
    }
    return true;
}
