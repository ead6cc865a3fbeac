// Colour counting of GDI bitmaps: a 32-bit section straight from its memory, anything else through the
// raster core's copy of it.
#include <windows.h>

#include "imagefiles/quantizer.h"
#include "imagefiles/txImage.h"
#include "win/dibPool.h"

uint32_t CountBitmapColours(HBITMAP bitmap) {
    if (!bitmap) return 0;
    DIBSECTION section{};
    if (GetObjectW(bitmap, sizeof(section), &section) == sizeof(section) && section.dsBm.bmBits &&
        section.dsBmih.biBitCount == 32 && section.dsBm.bmWidth > 0 && section.dsBm.bmHeight > 0) {
        const bool standard = SectionHasPlainLayout(section);
        // Blue, green and red of each pixel, as the raster core's copy holds them; the row order does
        // not matter for counting.
        if (standard) {
            ColourPresence presence;
            if (!presence.Ready()) return 0;
            GdiFlush();  // changes GDI has batched reach the memory first
            const auto* bits = static_cast<const uint8_t*>(section.dsBm.bmBits);
            const auto stride = static_cast<size_t>(section.dsBm.bmWidthBytes);
            const auto width = static_cast<uint32_t>(section.dsBm.bmWidth);
            for (int y = 0; y < section.dsBm.bmHeight; ++y) presence.AddFourByteRow(bits + stride * y, width);
            return presence.Count();
        }
    }
    TxImage image;
    if (!image.FromBitmapHandle(bitmap)) return 0;
    return CountDibColours(image.Dib(), image.DibSize());
}
