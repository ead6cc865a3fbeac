#include "imagefiles/txImagePng.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstring>
#include <new>
#include <vector>

#include "imagefiles/txPixels.h"
#include "imagefiles/txSink.h"

namespace {
// Everything the write needs, worked out and allocated before libpng's error return is armed: the
// error return jumps back over the writing code, which therefore owns nothing.
struct Plan {
    uint32_t width = 0;
    uint32_t height = 0;
    int channels = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = PNG_INTERLACE_NONE;
    bool withAlpha = false;
    // A palette picture with a transparent entry other than 0 is written with that entry and entry 0
    // exchanged, so the single transparency entry is index 0.
    int swapIndex = 0;
    png_color_16 background{};
    png_color_16 transparentColour{};
    bool hasTransparentColour = false;
    std::vector<png_color> palette;
    std::vector<png_byte> transparency;
    std::vector<uint8_t> row;
};

void WriteData(png_structp png, png_bytep data, size_t length) {
    auto* sink = static_cast<TxSink*>(png_get_io_ptr(png));
    if (!sink->Write(data, length)) png_error(png, "Write Error");
}

void FlushData(png_structp png) {
    auto* sink = static_cast<TxSink*>(png_get_io_ptr(png));
    if (!sink->Flush()) png_error(png, "Flush Error");
}

bool Fail(const char** error, const char* text) {
    if (error) *error = text;
    return false;
}

uint8_t Swapped(uint8_t index, int swapIndex) {
    if (swapIndex == 0) return index;
    return index == 0 ? static_cast<uint8_t>(swapIndex) : index == swapIndex ? 0 : index;
}

void PlanLayout(const TxImageView& image, bool interlace, Plan& plan) {
    plan.width = image.width;
    plan.height = image.height;
    const bool hasPalette = image.bitCount <= 8;
    const bool grey = hasPalette && image.IsGrayScale();
    plan.channels = hasPalette ? 1 : 3;
    plan.bitDepth = static_cast<int>(image.bitCount) / plan.channels;
    plan.colourType = hasPalette ? (grey ? PNG_COLOR_TYPE_GRAY : PNG_COLOR_TYPE_PALETTE) : PNG_COLOR_TYPE_RGB;
    plan.withAlpha = image.alpha != nullptr;
    if (plan.withAlpha) {
        // Grey pictures become grey with alpha; any other picture, palette ones included, RGBA.
        plan.colourType = grey ? PNG_COLOR_TYPE_GRAY_ALPHA : PNG_COLOR_TYPE_RGB_ALPHA;
        plan.channels = grey ? 2 : 4;
        plan.bitDepth = 8;
    }
    plan.interlace = interlace ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE;

    const int32_t transparent = image.transparentIndex;
    const uint32_t searched = image.SearchedColours();
    TxRgbQuad transparentColour = image.transparentColour;
    if (hasPalette && transparent >= 0) transparentColour = image.PaletteEntry(static_cast<uint32_t>(transparent));
    plan.background.index = 0;
    plan.background.red = plan.background.green = plan.background.blue = 255;
    plan.background.gray = 0;
    if (transparent >= 0) {
        plan.background.red = transparentColour.red;
        plan.background.green = transparentColour.green;
        plan.background.blue = transparentColour.blue;
    }

    if (plan.colourType == PNG_COLOR_TYPE_PALETTE) {
        if (transparent > 0 && static_cast<uint32_t>(transparent) < searched) plan.swapIndex = transparent;
        plan.palette.resize(searched);
        for (uint32_t i = 0; i < searched; ++i) {
            const TxRgbQuad entry = image.PaletteEntry(Swapped(static_cast<uint8_t>(i), plan.swapIndex));
            plan.palette[i] = png_color{entry.red, entry.green, entry.blue};
        }
        if (image.paletteHasAlpha) {
            plan.transparency.resize(searched);
            for (uint32_t i = 0; i < searched; ++i) {
                plan.transparency[i] = image.PaletteEntry(Swapped(static_cast<uint8_t>(i), plan.swapIndex)).alpha;
            }
        }
        if (transparent >= 0 && static_cast<uint32_t>(transparent) < searched) {
            if (plan.transparency.empty()) plan.transparency.resize(1);
            plan.transparency[0] = 0;
        }
    } else if (plan.colourType == PNG_COLOR_TYPE_GRAY && transparent >= 0) {
        plan.hasTransparentColour = true;
        plan.transparentColour.gray =
            static_cast<png_uint_16>(std::min<int32_t>(transparent, (1 << plan.bitDepth) - 1));
    } else if (plan.colourType == PNG_COLOR_TYPE_RGB && transparent >= 0) {
        plan.hasTransparentColour = true;
        plan.transparentColour.red = transparentColour.red;
        plan.transparentColour.green = transparentColour.green;
        plan.transparentColour.blue = transparentColour.blue;
    }

    const size_t packed = (size_t{plan.width} * plan.channels * plan.bitDepth + 7) / 8;
    plan.row.resize(std::max<size_t>(packed, image.stride));
}

void FillRow(const TxImageView& image, const Plan& plan, uint32_t y, uint8_t* out) {
    const uint8_t* source = image.Row(y);
    const uint32_t width = plan.width, bits = image.bitCount;
    if (!plan.withAlpha) {
        if (plan.colourType == PNG_COLOR_TYPE_RGB) {
            for (uint32_t x = 0; x < width; ++x, source += 3, out += 3) {
                out[0] = source[2];
                out[1] = source[1];
                out[2] = source[0];
            }
            return;
        }
        std::memcpy(out, source, image.stride);
        if (plan.swapIndex) {
            for (uint32_t x = 0; x < width; ++x)
                StoreIndex(out, x, bits, Swapped(LoadIndex(source, x, bits), plan.swapIndex));
        }
        return;
    }

    const uint8_t* alpha = image.alpha + size_t{y} * width;
    if (plan.colourType == PNG_COLOR_TYPE_GRAY_ALPHA) {
        for (uint32_t x = 0; x < width; ++x, out += 2) {
            out[0] = image.PaletteEntry(LoadIndex(source, x, bits)).blue;
            out[1] = alpha[x];
        }
        return;
    }
    // RGBA; a 24-bit picture's transparent colour is written fully transparent.
    const bool keyed = bits == 24 && image.transparentIndex >= 0;
    const TxRgbQuad key = image.transparentColour;
    for (uint32_t x = 0; x < width; ++x, out += 4) {
        TxRgbQuad colour;
        if (bits == 24) {
            colour = TxRgbQuad{source[3 * x], source[3 * x + 1], source[3 * x + 2], 0};
        } else {
            colour = image.PaletteEntry(LoadIndex(source, x, bits));
        }
        out[0] = colour.red;
        out[1] = colour.green;
        out[2] = colour.blue;
        const bool isKey = keyed && colour.blue == key.blue && colour.green == key.green && colour.red == key.red;
        out[3] = isKey ? 0 : alpha[x];
    }
}
}  // namespace

bool WritePng(const TxImageView& image, TxSink& sink, bool interlace, const char** error) {
    if (!image.IsValid()) return Fail(error, "null image!!!");
    Plan plan;
    try {
        PlanLayout(image, interlace, plan);
    } catch (const std::bad_alloc&) {
        return Fail(error, "Error saving PNG file");
    }

    // The version text must be that of the libpng we are linked with: libpng refuses to create its
    // write structure for a caller built against a different major version.
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return Fail(error, "Failed to create PNG structure");
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return Fail(error, "Failed to initialize PNG info structure");
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return Fail(error, "Error saving PNG file");
    }

    png_set_write_fn(png, &sink, WriteData, FlushData);
    // The picture's own size limit applies, not libpng's default of a million pixels a side.
    png_set_user_limits(png, PNG_UINT_31_MAX, PNG_UINT_31_MAX);
    png_set_bKGD(png, info, &plan.background);
    png_set_pHYs(png, info, static_cast<png_uint_32>(std::max(image.xPelsPerMeter, 0)),
                 static_cast<png_uint_32>(std::max(image.yPelsPerMeter, 0)), PNG_RESOLUTION_METER);
    png_set_IHDR(png, info, plan.width, plan.height, plan.bitDepth, plan.colourType, plan.interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!plan.palette.empty()) png_set_PLTE(png, info, plan.palette.data(), static_cast<int>(plan.palette.size()));
    if (!plan.transparency.empty()) {
        png_set_tRNS(png, info, plan.transparency.data(), static_cast<int>(plan.transparency.size()), nullptr);
    } else if (plan.hasTransparentColour) {
        png_set_tRNS(png, info, nullptr, 0, &plan.transparentColour);
    }
    png_write_info(png, info);
    const int passes = png_set_interlace_handling(png);

    // Top row of the picture (the last stored row) first.
    uint8_t* row = plan.row.data();
    for (int pass = 0; pass < passes; ++pass) {
        for (uint32_t y = plan.height; y-- > 0;) {
            FillRow(image, plan, y, row);
            png_write_row(png, row);
        }
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    // libpng does not flush at the end: bytes a sink still holds must reach it before this counts.
    return sink.Flush() || Fail(error, "Error saving PNG file");
}

const char* PngLibraryVersion() { return png_get_libpng_ver(nullptr); }
