#include "extras/generatePicture_win.h"

#include <cstdio>
#include <ctime>
#include <optional>

#include "extras/proceduralPictures.h"
#include "extras/progressWindow_win.h"
#include "win/gdiHandles.h"
#include "win/prompt.h"

namespace {

// The rows of a 32-bit DIB section with the bottom picture row first, or none for any other bitmap. The
// header the platform reports back may show a positive height for top-down rows, so the row order is
// probed: the first pixel of memory row 0 is changed for a moment and looked up at picture (0, 0).
std::optional<PixelRows> RowsFromTheBottom(HBITMAP picture, const DIBSECTION& section) {
    if (!section.dsBm.bmBits || section.dsBm.bmBitsPixel != 32 || section.dsBm.bmWidth <= 0 ||
        section.dsBm.bmHeight <= 0) {
        return std::nullopt;
    }
    GdiFlush();
    auto* bits = static_cast<uint32_t*>(section.dsBm.bmBits);
    const int height = section.dsBm.bmHeight;
    const ptrdiff_t stride = section.dsBm.bmWidthBytes / 4;
    bool topDown = section.dsBmih.biHeight < 0;
    if (height > 1) {
        const MemoryDc dc;
        const ScopedSelect select(dc, picture);
        if (dc && select) {
            const uint32_t saved = bits[0];
            const COLORREF before = GetPixel(dc, 0, 0);
            bits[0] = saved ^ 0x00FFFFFFu;
            const COLORREF after = GetPixel(dc, 0, 0);
            bits[0] = saved;
            if (before != CLR_INVALID && after != CLR_INVALID) topDown = before != after;
        }
    }
    if (topDown) return PixelRows{bits + stride * (height - 1), -stride};
    return PixelRows{bits, stride};
}

}  // namespace

std::wstring GeneratePicture(HBITMAP picture, int kind) {
    DIBSECTION section{};
    const bool isSection = picture && GetObjectW(picture, sizeof(section), &section) == sizeof(section);
    const std::optional<PixelRows> rows = isSection ? RowsFromTheBottom(picture, section) : std::nullopt;
    if (!rows) {
        BITMAP bitmap{};
        if (picture) GetObjectW(picture, sizeof(bitmap), &bitmap);
        wchar_t text[64];
        std::swprintf(text, std::size(text), L"Kein 32 Bit BMP:\n%d, %d x %d", static_cast<int>(bitmap.bmBitsPixel),
                      static_cast<int>(bitmap.bmWidth), static_cast<int>(bitmap.bmHeight));
        return text;
    }
    CProgressWnd progress;
    progress.Show(PromptOwner());
    const uint32_t seed = ProceduralSeed(static_cast<double>(std::time(nullptr)));
    const float t = KindTime(kind, ProceduralTimeValue(seed));
    GenerateProceduralRows(*rows, section.dsBm.bmWidth, section.dsBm.bmHeight, kind, t, [&](int percent) {
        progress.SetPosition(percent);
        return !progress.Cancelled();
    });
    progress.Hide();
    return {};
}
