// A picture for the painting tests: a white 32-bit DIB section (fourth byte 0) selected into its own
// memory DC, read straight from its bottom-up memory.
#pragma once
#include <windows.h>

#include <cstdint>
#include <set>
#include <utility>
#include <vector>

#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "win/gdiHandles.h"

class TestPicture {
public:
    TestPicture(int width, int height, COLORREF colour = RGB(255, 255, 255))
        : width_(width),
          height_(height),
          bitmap_(CreateFilledBitmap(width, height, colour)),
          select_(dc_, bitmap_.Get()) {}

    HDC Dc() const { return dc_; }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    int Width() const { return width_; }
    int Height() const { return height_; }
    explicit operator bool() const { return bitmap_ && dc_ && select_; }

    // The four bytes of (x, y) as blue | green << 8 | red << 16 | fourth << 24.
    uint32_t Raw(int x, int y) const { return Bits()[static_cast<size_t>(height_ - 1 - y) * width_ + x]; }
    COLORREF Colour(int x, int y) const {
        const uint32_t p = Raw(x, y);
        return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    }
    uint8_t Alpha(int x, int y) const { return static_cast<uint8_t>(Raw(x, y) >> 24); }

    // Every pixel, top row first.
    std::vector<uint32_t> All() const {
        const uint32_t* bits = Bits();
        std::vector<uint32_t> pixels;
        for (int y = 0; y < height_; ++y) {
            const uint32_t* row = bits + static_cast<size_t>(height_ - 1 - y) * width_;
            pixels.insert(pixels.end(), row, row + width_);
        }
        return pixels;
    }
    // The positions whose bytes differ from an earlier All().
    std::set<std::pair<int, int>> ChangedSince(const std::vector<uint32_t>& before) const {
        std::set<std::pair<int, int>> changed;
        const std::vector<uint32_t> now = All();
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const size_t i = static_cast<size_t>(y) * width_ + x;
                if (now[i] != before[i]) changed.emplace(x, y);
            }
        return changed;
    }

private:
    // Bottom-up rows without padding: picture row y is memory row height - 1 - y.
    const uint32_t* Bits() const {
        GdiFlush();
        DIBSECTION dib{};
        GetObjectW(bitmap_.Get(), sizeof(dib), &dib);
        return static_cast<const uint32_t*>(dib.dsBm.bmBits);
    }

    int width_;
    int height_;
    BitmapHandle bitmap_;
    MemoryDc dc_;
    ScopedSelect select_;
};

// pictureHasAlpha set for the lifetime: the primitives take their GDI+ path.
class AlphaPicture {
public:
    AlphaPicture() { pictureHasAlpha = true; }
    AlphaPicture(const AlphaPicture&) = delete;
    AlphaPicture& operator=(const AlphaPicture&) = delete;
    ~AlphaPicture() { pictureHasAlpha = false; }
};
