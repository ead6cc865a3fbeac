#include "document/pictureEffects_win.h"

#include <algorithm>
#include <functional>
#include <string>

#include "imagefiles/bitmapOps.h"
#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "imagefiles/quantizer.h"
#include "imagefiles/txImage.h"
#include "imagefiles/txPixels.h"
#include "imagefiles/txRowFilters.h"
#include "localisation/localisation_win.h"
#include "win/gdiHandles.h"
#include "win/prompt.h"

namespace {

constexpr int kTextProgramTitle = 19;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The bitmap through one operation of the raster core: loaded (24 bits for true colour), changed,
// turned back into a bitmap.
template <typename Operation>
HBITMAP ThroughRasterCore(HBITMAP source, Operation operation) {
    TxImage image;
    if (!image.FromBitmapHandle(source) || !operation(image)) return nullptr;
    return image.ToBitmapHandle();
}

// A 32-bit picture is convolved or blurred from its own memory into the 24-bit result; any other goes
// through the raster core. Both give the same pixels.
HBITMAP Convolved(HBITMAP source, const int32_t (&kernel)[9], int32_t divisor, int32_t offset) {
    HBITMAP direct = WholePictureCopy(
        source, [&](const auto& rowOf, uint32_t width, uint32_t height, uint8_t* target, size_t stride) {
            return ConvolveThirtyTwoBitRows(rowOf, width, height, kernel, 3, divisor, offset, target, stride);
        });
    if (direct) return direct;
    return ThroughRasterCore(source, [&](TxImage& image) { return image.Convolve3x3(kernel, 3, divisor, offset); });
}

HBITMAP Blurred(HBITMAP source, float radius) {
    HBITMAP direct = WholePictureCopy(
        source, [&](const auto& rowOf, uint32_t width, uint32_t height, uint8_t* target, size_t stride) {
            return BlurThirtyTwoBitRows(rowOf, width, height, radius, target, stride);
        });
    if (direct) return direct;
    return ThroughRasterCore(source, [&](TxImage& image) { return image.BlurGaussian(radius); });
}

// A per-pixel adjustment of a 32-bit picture in one pass: each row of the 24-bit result, as the raster
// core would hold it, is filtered while it is still in the cache. Any other picture goes through the
// raster core. Both give the same pixels.
HBITMAP Filtered(HBITMAP source, const TxRowFilter& filter, const std::function<bool(TxImage&)>& throughCore) {
    const int width = BitmapWidth(source), height = BitmapHeight(source);
    HBITMAP result = nullptr;
    if (width > 0 && height > 0) {
        const auto stride = static_cast<uint32_t>(DibRowBytes(width, 24));
        result = RowByRowCopy(source, 24, nullptr, [&](const uint32_t* from, uint8_t* to, int memoryRow) {
            ConvertPixelRows(ConstPixelRows{from, 0}, width, 1, 24, to, 0);
            filter.Apply(to, static_cast<uint32_t>(width), stride, static_cast<uint32_t>(memoryRow),
                         static_cast<uint32_t>(height));
        });
    }
    return result ? result : ThroughRasterCore(source, throughCore);
}

HBITMAP Lightened(HBITMAP source, int brightness, int contrast) {
    uint8_t table[256];
    MakeLightTable(brightness, contrast, table);
    return Filtered(source, *MakeTableFilter(table),
                    [=](TxImage& image) { return image.AdjustLight(brightness, contrast); });
}

HBITMAP Saturated(HBITMAP source, int amount) {
    return Filtered(source, *MakeSaturationFilter(amount, 2),
                    [=](TxImage& image) { return image.Saturate(amount, 2); });
}

}  // namespace

HBITMAP ReduceColours(HBITMAP bitmap, int count) {
    if (count < 2 || count > 256) return nullptr;
    uint32_t bits = 1;
    while ((1 << bits) < count) ++bits;
    if (bits > 1 && bits < 4) bits = 4;
    if (bits > 4 && bits < 8) bits = 8;
    // A 32-bit picture is reduced straight from its memory, as through the raster core's copy.
    {
        TxImage image;
        if (image.ReduceFromBitmapHandle(bitmap, bits, true, static_cast<uint32_t>(count)))
            return image.ToBitmapHandle();
    }
    return ThroughRasterCore(bitmap, [&](TxImage& image) {
        // A picture already at that depth or below is widened first, so that it too ends up in the
        // standard palette rather than failing.
        if (image.Bpp() <= bits && !image.RaiseBpp(24)) return false;
        return image.DecreaseBpp(bits, true, nullptr, static_cast<uint32_t>(count));
    });
}

HBITMAP ToGreyscale(HBITMAP bitmap) {
    // A 32-bit picture becomes 8-bit grey in one pass, as the raster core would make it.
    RGBQUAD greys[256];
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<BYTE>(i);
        greys[i] = RGBQUAD{v, v, v, 0};
    }
    const int width = BitmapWidth(bitmap);
    HBITMAP grey = RowByRowCopy(bitmap, 8, greys, [width](const uint32_t* from, uint8_t* to, int) {
        for (int x = 0; x < width; ++x) to[x] = GreyOf(RedOf(from[x]), GreenOf(from[x]), BlueOf(from[x]));
    });
    if (grey) return grey;
    return ThroughRasterCore(bitmap, [](TxImage& image) { return image.IsGrayScale() || image.ToGray(); });
}

HBITMAP EffectResult(int kind, HBITMAP source) {
    if (!source) return nullptr;
    switch (kind) {
        case kEffectBoxBlur:
            return BoxBlur(source, 3);
        case kEffectTwoColours:
            return ReduceColours(source, 2);
        case kEffectGrey:
            return ToGreyscale(source);
        case kEffectSixteenColours:
            return ReduceColours(source, 16);
        case kEffect256Colours:
            return ReduceColours(source, 256);
        case kEffectSixteenBits:
            return ToBitDepth(source, 16);
        case kEffectSepia:
            // Toned in a 32-bit copy: a source of another depth is toned too.
            if (HBITMAP toned = SepiaCopy(source)) return toned;
            return ApplySepia(ToThirtyTwoBits(source));
        case kEffectDarker:
            return Lightened(source, -10, 0);
        case kEffectBrighter:
            return Lightened(source, 10, 0);
        case kEffectMoreContrast:
            return Lightened(source, 0, 10);
        case kEffectLessContrast:
            return Lightened(source, 0, -10);
        case kEffectMoreSaturation:
            return Saturated(source, 25);
        case kEffectLessSaturation:
            return Saturated(source, -25);
        case kEffectRedEye: {
            const auto filter = MakeRedEyeFilter(static_cast<uint32_t>(std::max(BitmapWidth(source), 0)),
                                                 static_cast<uint32_t>(std::max(BitmapHeight(source), 0)));
            return Filtered(source, *filter, [](TxImage& image) { return image.ReduceRed(0.8f); });
        }
        case kEffectGaussianBlur:
            return Blurred(source, 2.0f);
        case kEffectEmboss:
            return Convolved(source, {0, 0, -1, 0, 0, 0, 1, 0, 0}, -1, 127);
        case kEffectSharpen:
            return Convolved(source, {-1, -1, -1, -1, 15, -1, -1, -1, -1}, 7, 0);
        case kEffectEdges:
            return Convolved(source, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, -1, 255);
        case kEffectTwentyFourBits:
            return ToBitDepth(source, 24);
        case kEffectThirtyTwoBits:
            return ToBitDepth(source, 32);
        default:
            return nullptr;
    }
}

bool ApplyEffect(int kind) {
    if (kind < 0 || kind >= kEffectKindCount) return false;
    if (!ConfirmDropAlpha()) return false;
    ImageModel& model = TheImageModel();
    FloatingSelection& selection = TheFloatingSelection();
    const bool onSelection = selection.IsActive();

    if (kind == kEffectInvert) {
        const bool inverted = onSelection ? selection.InvertContent() : model.InvertPicture();
        RefreshPictureSizeField();
        return inverted;
    }

    bool applied;
    if (onSelection) {
        // The selection's own content is the source, so transforms made since lifting stay; a selection
        // only marked is lifted first, so that moving the result later leaves no original pixels behind.
        selection.Lift();
        HBITMAP source = selection.Content();
        // Nothing to work on: an empty rectangle, or a lift that ran out of memory and has said so.
        if (!source) return false;
        HBITMAP result = EffectResult(kind, source);
        applied = result != nullptr;
        if (result)
            selection.ReplaceContent(result);
        else
            ShowOutOfMemoryMessage();
    } else {
        HBITMAP picture = model.DetachPicture();
        HBITMAP result = EffectResult(kind, picture);
        model.AttachPicture(picture);
        // A missing result shows the out-of-memory message and leaves the picture as it is.
        applied = model.ReplacePicture(result);
    }
    RefreshPictureSizeField();
    return applied;
}

bool ConfirmDropAlpha() {
    if (!pictureHasAlpha) return true;
    const std::wstring question = TextOf(kTextDropAlphaQuestion) + L"\r\n\r\n" + TextOf(kTextDropAlphaDetail);
    const int answer = CurrentPrompt().ShowMessage(GetActiveWindow(), question, TextOf(kTextProgramTitle),
                                                   MB_YESNOCANCEL | MB_ICONQUESTION | MB_TOPMOST);
    if (answer != IDYES) return false;
    ImageModel& model = TheImageModel();
    HBITMAP picture = model.DetachPicture();
    HBITMAP flattened = FlattenAlpha(picture, kWhite);
    model.AttachPicture(picture);
    if (flattened) model.ReplacePicture(flattened);
    pictureHasAlpha = false;
    return true;
}

uint32_t ReportColourCount() {
    ImageModel& model = TheImageModel();
    HBITMAP picture = model.DetachPicture();
    // The distinct colours, as the octree of 8 colour bits with room for every colour counts its leaves.
    const uint32_t count = picture ? CountBitmapColours(picture) : 0;
    model.AttachPicture(picture);
    if (!count) {
        ShowOutOfMemoryMessage();
        return 0;
    }
    CurrentPrompt().ShowMessage(GetActiveWindow(), TextOf(kTextColourCount) + L" " + std::to_wstring(count),
                                TextOf(kTextProgramTitle), MB_OK);
    return count;
}
