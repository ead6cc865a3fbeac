#include "extras/generatePicture_win.h"

#include <cstdio>
#include <ctime>
#include <optional>

#include "extras/proceduralPictures.h"
#include "extras/progressWindow_win.h"
#include "painting/drawPrimitives_win.h"
#include "win/gdiHandles.h"
#include "win/prompt.h"

std::wstring GeneratePicture(HBITMAP picture, int kind) {
    int width = 0;
    int height = 0;
    const std::optional<PixelRows> topFirst = PictureRows(picture, width, height);
    if (!topFirst) {
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
    // The rows run from the bottom, as they lie in the memory of a bottom-up picture.
    const PixelRows fromBottom{topFirst->Row(height - 1), -topFirst->rowStep};
    GenerateProceduralRows(fromBottom, width, height, kind, t, [&](int percent) {
        progress.SetPosition(percent);
        return !progress.Cancelled();
    });
    progress.Hide();
    return {};
}
