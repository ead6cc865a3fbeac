#include "document/pictureEffects_win.h"

#include <string>

#include "document/bitmapOps_win.h"
#include "document/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "imagefiles/quantizer.h"
#include "imagefiles/txImage.h"
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

HBITMAP Convolved(HBITMAP source, const int32_t (&kernel)[9], int32_t divisor, int32_t offset) {
    return ThroughRasterCore(source, [&](TxImage& image) { return image.Convolve3x3(kernel, 3, divisor, offset); });
}

}  // namespace

HBITMAP ReduceColours(HBITMAP bitmap, int count) {
    if (count < 2 || count > 256) return nullptr;
    uint32_t bits = 1;
    while ((1 << bits) < count) ++bits;
    if (bits > 1 && bits < 4) bits = 4;
    if (bits > 4 && bits < 8) bits = 8;
    return ThroughRasterCore(bitmap, [&](TxImage& image) {
        // A picture already at that depth or below is widened first, so that it too ends up in the
        // standard palette rather than failing.
        if (image.Bpp() <= bits && !image.RaiseBpp(24)) return false;
        return image.DecreaseBpp(bits, true, nullptr, static_cast<uint32_t>(count));
    });
}

HBITMAP ToGreyscale(HBITMAP bitmap) {
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
            return ApplySepia(ToThirtyTwoBits(source));
        case kEffectDarker:
            return ThroughRasterCore(source, [](TxImage& image) { return image.AdjustLight(-10, 0); });
        case kEffectBrighter:
            return ThroughRasterCore(source, [](TxImage& image) { return image.AdjustLight(10, 0); });
        case kEffectMoreContrast:
            return ThroughRasterCore(source, [](TxImage& image) { return image.AdjustLight(0, 10); });
        case kEffectLessContrast:
            return ThroughRasterCore(source, [](TxImage& image) { return image.AdjustLight(0, -10); });
        case kEffectMoreSaturation:
            return ThroughRasterCore(source, [](TxImage& image) { return image.Saturate(25, 2); });
        case kEffectLessSaturation:
            return ThroughRasterCore(source, [](TxImage& image) { return image.Saturate(-25, 2); });
        case kEffectRedEye:
            return ThroughRasterCore(source, [](TxImage& image) { return image.ReduceRed(0.8f); });
        case kEffectGaussianBlur:
            return ThroughRasterCore(source, [](TxImage& image) { return image.BlurGaussian(2.0f); });
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
    TxImage image;
    HBITMAP picture = model.DetachPicture();
    const bool loaded = picture && image.FromBitmapHandle(picture);
    model.AttachPicture(picture);
    uint32_t count = 0;
    if (loaded) {
        // With 8 colour bits and room for every colour nothing is merged: one leaf per distinct colour.
        CQuantizer quantizer(16777216, 8);
        if (quantizer.AddImagePixels(image.Dib(), image.DibSize())) count = quantizer.LeafCount();
    }
    if (!count) {
        ShowOutOfMemoryMessage();
        return 0;
    }
    CurrentPrompt().ShowMessage(GetActiveWindow(), TextOf(kTextColourCount) + L" " + std::to_wstring(count),
                                TextOf(kTextProgramTitle), MB_OK);
    return count;
}
