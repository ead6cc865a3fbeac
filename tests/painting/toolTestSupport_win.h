// The tool tests work on the real document and tool state: a fresh white picture, the starting tool
// settings at 100 % zoom, black on white, Shift up, and the pointer input the canvas passes on.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/statusText.h"
#include "painting/toolState.h"
#include "painting/colourState.h"
#include "win/gdiHandles.h"

inline constexpr COLORREF kBlack = RGB(0, 0, 0);
inline constexpr COLORREF kWhite = RGB(255, 255, 255);
inline constexpr COLORREF kRed = RGB(255, 0, 0);
inline constexpr COLORREF kBlue = RGB(0, 0, 255);
inline constexpr COLORREF kGreen = RGB(0, 128, 0);

// The colour of a picture pixel, top row first, read from the DIB section's memory.
inline COLORREF PictureColour(HBITMAP bitmap, int x, int y) {
    GdiFlush();
    DIBSECTION dib{};
    GetObjectW(bitmap, sizeof(dib), &dib);
    const int width = dib.dsBm.bmWidth;
    const int height = dib.dsBm.bmHeight;
    const auto* bits = static_cast<const uint32_t*>(dib.dsBm.bmBits);
    const uint32_t p = bits[static_cast<size_t>(height - 1 - y) * width + x];
    return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
}

// Every pixel of a 32-bit picture, top row first, fourth byte dropped.
inline std::vector<COLORREF> PictureColours(HBITMAP bitmap) {
    std::vector<COLORREF> colours;
    const int width = BitmapWidth(bitmap);
    const int height = BitmapHeight(bitmap);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) colours.push_back(PictureColour(bitmap, x, y));
    return colours;
}

class ToolTest : public ::testing::Test {
protected:
    static constexpr int kWidth = 60;
    static constexpr int kHeight = 40;

    void SetUp() override {
        OverrideShiftKey(false);
        pictureHasAlpha = false;
        ToolState& state = Tools();
        state.SelectTool(kToolPen);
        state.SetLineWidth(1);
        state.SetPenWidth(1);
        state.SetBrushWidth(4);
        state.SetShapeStyle(kShapeOutline);
        state.SetBrushStyle(kBrushRound);
        state.SetAirBrushSize(5);
        state.SetRubberSize(4);
        state.SetZoomValue(1000);
        TheColourState().SetForeground(kBlack);
        TheColourState().SetBackground(kWhite);
        NewPicture(kWidth, kHeight, kWhite);
    }

    void TearDown() override {
        Tools().FinishStroke(true);
        OverrideShiftKey(std::nullopt);
        SetStatusTextSink(nullptr);
    }

    static ToolState& Tools() { return TheToolState(); }
    static ImageModel& Document() { return TheImageModel(); }

    static void NewPicture(int width, int height, COLORREF colour) {
        ASSERT_TRUE(Document().ReplacePicture(CreateFilledBitmap(width, height, colour)));
        Document().ForgetHistory();
    }

    static COLORREF Pixel(int x, int y) { return PictureColour(Document().Picture(), x, y); }
    static std::vector<COLORREF> Pixels() { return PictureColours(Document().Picture()); }
    static void SetPixelColour(int x, int y, COLORREF colour) {
        SetPixel(Document().DrawingDc(), x, y, colour);
        GdiFlush();
    }

    // The positions of the picture that now differ from an earlier Pixels().
    static std::set<std::pair<int, int>> ChangedSince(const std::vector<COLORREF>& before) {
        std::set<std::pair<int, int>> changed;
        const std::vector<COLORREF> now = Pixels();
        const int width = Document().Width();
        for (size_t i = 0; i < now.size(); ++i)
            if (now[i] != before[i]) changed.emplace(static_cast<int>(i % width), static_cast<int>(i / width));
        return changed;
    }

    // Press at the first point, move through the others, release at the last.
    static void Drag(bool isLeft, std::initializer_list<POINT> points) {
        const POINT* p = points.begin();
        Tools().PointerDown(isLeft, p->x, p->y, false);
        for (const POINT* q = p + 1; q < points.end(); ++q) Tools().PointerMove(isLeft, q->x, q->y);
        const POINT last = *(points.end() - 1);
        Tools().PointerUp(isLeft, last.x, last.y);
    }
    static void Click(bool isLeft, int x, int y) { Drag(isLeft, {POINT{x, y}}); }

    // What the canvas shows during a drag: a copy of the picture with the tool's preview drawn on it.
    static std::vector<COLORREF> Preview() {
        BitmapHandle copy(Document().DuplicatePicture());
        EXPECT_TRUE(copy);
        if (!copy) return {};
        {
            MemoryDc dc;
            ScopedSelect select(dc, copy.Get());
            Tools().DrawOnPicture(dc);
        }
        return PictureColours(copy.Get());
    }

    static const StrokeState& Stroke() { return Tools().Stroke(); }
};
