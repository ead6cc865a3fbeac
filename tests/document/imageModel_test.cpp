#include "document/imageModel.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "support/testSupport_win.h"

namespace {

// Distinct, asymmetric colours: every pixel of the small pictures below differs from its mirror images.
COLORREF Pattern(int x, int y) { return RGB((x * 37 + 5) & 0xFF, (y * 53 + 9) & 0xFF, (x * 11 + y * 29 + 1) & 0xFF); }

// A bottom-up DIB section of the given depth made without the bitmap operations under test.
HBITMAP MakeSection(int width, int height, int bits, void** memory, const RGBQUAD* colours = nullptr, int count = 0) {
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
    header->biSize = sizeof(BITMAPINFOHEADER);
    header->biWidth = width;
    header->biHeight = height;
    header->biPlanes = 1;
    header->biBitCount = static_cast<WORD>(bits);
    header->biCompression = BI_RGB;
    header->biClrUsed = static_cast<DWORD>(count);
    if (colours) std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), colours, count * sizeof(RGBQUAD));
    return CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, memory, nullptr, 0);
}

HBITMAP MakePicture(int width, int height, COLORREF (*colour)(int, int) = Pattern) {
    void* memory = nullptr;
    HBITMAP bitmap = MakeSection(width, height, 32, &memory);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixelAt(bitmap, x, y, colour(x, y));
    return bitmap;
}

// 24 bits per pixel: rows padded to a multiple of 4 bytes, bottom-up.
HBITMAP Make24BitPicture(int width, int height) {
    void* memory = nullptr;
    HBITMAP bitmap = MakeSection(width, height, 24, &memory);
    const size_t stride = (static_cast<size_t>(width) * 3 + 3) / 4 * 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = static_cast<uint8_t*>(memory) + stride * (height - 1 - y) + x * 3;
            const COLORREF c = Pattern(x, y);
            p[0] = GetBValue(c);
            p[1] = GetGValue(c);
            p[2] = GetRValue(c);
        }
    return bitmap;
}

const RGBQUAD kPalette[4] = {{200, 10, 30, 0}, {0, 128, 255, 0}, {77, 250, 1, 0}, {13, 14, 15, 0}};
COLORREF PaletteColour(int index) {
    return RGB(kPalette[index].rgbRed, kPalette[index].rgbGreen, kPalette[index].rgbBlue);
}
int PaletteIndexAt(int x, int y) { return (x + 2 * y) % 4; }

HBITMAP Make8BitPicture(int width, int height) {
    void* memory = nullptr;
    HBITMAP bitmap = MakeSection(width, height, 8, &memory, kPalette, 4);
    const size_t stride = (static_cast<size_t>(width) + 3) / 4 * 4;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            static_cast<uint8_t*>(memory)[stride * (height - 1 - y) + x] = static_cast<uint8_t>(PaletteIndexAt(x, y));
    return bitmap;
}

// Gives every pixel a distinct fourth byte, as a picture decoded with alpha has.
void SetFourthBytes(HBITMAP bitmap) {
    DIBSECTION dib{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof(dib), &dib), static_cast<int>(sizeof(dib)));
    GdiFlush();
    auto* bytes = static_cast<uint8_t*>(dib.dsBm.bmBits);
    const size_t count = static_cast<size_t>(dib.dsBm.bmWidth) * dib.dsBm.bmHeight;
    for (size_t i = 0; i < count; ++i) bytes[i * 4 + 3] = static_cast<uint8_t>(i * 13 + 40);
}

COLORREF Inverted(COLORREF c) { return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)); }

class ImageModelTest : public testing::Test {
protected:
    void SetUp() override {
        pictureUnmodified = true;
        pictureHasAlpha = false;
    }
    // Makes bitmap the document with an empty history, as opening a file does.
    void Load(HBITMAP bitmap) {
        ASSERT_TRUE(model.ReplacePicture(bitmap));
        model.ForgetHistory();
        pictureUnmodified = true;
    }
    // The colour of a picture pixel through the drawing DC, whatever the picture's depth.
    COLORREF At(int x, int y) { return GetPixel(model.DrawingDc(), x, y); }
    void ExpectPicture(int width, int height, COLORREF (*expected)(int, int)) {
        ASSERT_EQ(model.Width(), width);
        ASSERT_EQ(model.Height(), height);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) ASSERT_EQ(At(x, y), expected(x, y)) << "at " << x << ", " << y;
    }
    void FillDrawingDc(COLORREF colour) {
        BrushHandle brush{CreateSolidBrush(colour)};
        RECT all{0, 0, model.Width(), model.Height()};
        FillRect(model.DrawingDc(), &all, brush.Get());
        GdiFlush();
    }

    ImageModel model;
};

TEST_F(ImageModelTest, StartsWithOneWhitePixelAndNoHistory) {
    EXPECT_EQ(model.Width(), 1);
    EXPECT_EQ(model.Height(), 1);
    EXPECT_EQ(model.BitsPerPixel(), 32);
    EXPECT_EQ(PixelAt(model.Picture(), 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), model.Picture());
    EXPECT_EQ(model.RingIndex(), 0);
    EXPECT_FALSE(model.Undo(false));
    EXPECT_FALSE(model.Redo());
    EXPECT_TRUE(model.IsUnmodified());
}

TEST_F(ImageModelTest, ClampPointAllowsOnePixelBeyondTheLastColumnAndRow) {
    ASSERT_TRUE(model.ResizeCanvas(100, 50, 0, 0));
    POINT p{-5, 9999};
    model.ClampPoint(p);
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 50);
    POINT q{100, -1};
    model.ClampPoint(q);
    EXPECT_EQ(q.x, 100);
    EXPECT_EQ(q.y, 0);
}

TEST_F(ImageModelTest, DetachAndAttachMoveThePictureOutOfTheDcAndBack) {
    Load(MakePicture(5, 3));
    HBITMAP picture = model.Picture();
    EXPECT_EQ(model.DetachPicture(), picture);
    EXPECT_NE(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), picture);
    model.AttachPicture(picture);
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), picture);

    BitmapHandle copy{model.DuplicatePicture()};
    ASSERT_TRUE(copy);
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), picture);
    SetPixelAt(copy.Get(), 0, 0, RGB(1, 2, 3));
    EXPECT_EQ(PixelAt(picture, 0, 0), Pattern(0, 0));
    EXPECT_EQ(PixelAt(copy.Get(), 4, 2), Pattern(4, 2));
}

TEST_F(ImageModelTest, ReplacePictureMovesTheOldBitmapIntoTheHistoryWithoutCopying) {
    Load(MakePicture(5, 3));
    HBITMAP old = model.Picture();
    HBITMAP replacement = MakePicture(4, 6);
    ASSERT_TRUE(model.ReplacePicture(replacement));
    EXPECT_EQ(model.Picture(), replacement);
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), replacement);
    EXPECT_EQ(model.UndoCount(), 1);
    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(model.Picture(), old);
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), old);
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(model.Picture(), replacement);
}

TEST_F(ImageModelTest, MissingBitmapShowsOutOfMemoryAndChangesNothing) {
    Load(MakePicture(5, 3));
    ASSERT_TRUE(model.SnapshotPicture());
    const std::vector<uint8_t> before = PictureBytes(model.Picture());
    HBITMAP picture = model.Picture();
    const int ringIndex = model.RingIndex();
    pictureUnmodified = true;

    ScriptedPrompt prompt;
    EXPECT_FALSE(model.ReplacePicture(nullptr));
    ASSERT_EQ(prompt.messages.size(), 1u);
    EXPECT_FALSE(prompt.messages[0].text.empty());
    EXPECT_EQ(prompt.messages[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));
    EXPECT_EQ(model.Picture(), picture);
    EXPECT_EQ(PictureBytes(model.Picture()), before);
    EXPECT_EQ(model.RingIndex(), ringIndex);
    EXPECT_EQ(model.UndoCount(), 1);
    EXPECT_TRUE(pictureUnmodified);
}

TEST_F(ImageModelTest, StepsMarkThePictureModifiedButUndoAndRedoDoNot) {
    Load(MakePicture(5, 3));
    ASSERT_TRUE(model.SnapshotArea(RECT{1, 1, 3, 2}));
    EXPECT_FALSE(model.IsUnmodified());
    pictureUnmodified = true;
    ASSERT_TRUE(model.Undo(false));
    EXPECT_TRUE(model.IsUnmodified());
    ASSERT_TRUE(model.Redo());
    EXPECT_TRUE(model.IsUnmodified());
    pictureUnmodified = false;
    ASSERT_TRUE(model.Undo(false));
    EXPECT_FALSE(model.IsUnmodified());
}

COLORREF StepColour(int step) { return RGB(step & 0xFF, 255 - (step & 0xFF), (step * 7) & 0xFF); }

TEST_F(ImageModelTest, AfterTwoHundredStepsExactly127CanBeUndoneAndRedone) {
    Load(MakePicture(5, 3));
    SetPixelAt(model.Picture(), 0, 0, StepColour(0));
    for (int step = 1; step <= 200; ++step) {
        // Whole and partial steps mixed, as tools and transforms mix them.
        ASSERT_TRUE(step % 10 == 0 ? model.SnapshotPicture() : model.SnapshotArea(RECT{0, 0, 1, 1}));
        SetPixelAt(model.Picture(), 0, 0, StepColour(step));
    }
    EXPECT_EQ(model.UndoCount(), 127);
    for (int i = 1; i <= 127; ++i) {
        ASSERT_TRUE(model.Undo(false)) << i;
        ASSERT_EQ(PixelAt(model.Picture(), 0, 0), StepColour(200 - i)) << i;
    }
    EXPECT_FALSE(model.Undo(false));
    EXPECT_EQ(PixelAt(model.Picture(), 0, 0), StepColour(73));
    for (int i = 1; i <= 127; ++i) {
        ASSERT_TRUE(model.Redo()) << i;
        ASSERT_EQ(PixelAt(model.Picture(), 0, 0), StepColour(73 + i)) << i;
    }
    EXPECT_FALSE(model.Redo());
    EXPECT_EQ(PixelAt(model.Picture(), 0, 0), StepColour(200));
}

TEST_F(ImageModelTest, NewStepAfterUndoLeavesNothingToRedo) {
    Load(MakePicture(5, 3));
    ASSERT_TRUE(model.SnapshotArea(RECT{0, 0, 2, 2}));
    SetPixelAt(model.Picture(), 1, 1, RGB(1, 1, 1));
    ASSERT_TRUE(model.Undo(false));
    ASSERT_TRUE(model.SnapshotArea(RECT{2, 0, 4, 2}));
    SetPixelAt(model.Picture(), 3, 1, RGB(2, 2, 2));
    EXPECT_FALSE(model.Redo());
    EXPECT_EQ(PixelAt(model.Picture(), 1, 1), Pattern(1, 1));
    EXPECT_EQ(PixelAt(model.Picture(), 3, 1), RGB(2, 2, 2));
}

TEST_F(ImageModelTest, PartialStepBeyondAnEdgeRestoresThePixelsAtTheClippedPositionUnshifted) {
    struct Case {
        RECT area;
        RECT restored;
    };
    for (const Case& c : {Case{{-3, -2, 4, 3}, {0, 0, 4, 3}}, Case{{6, 5, 20, 30}, {6, 5, 9, 7}}}) {
        Load(MakePicture(9, 7));
        ASSERT_TRUE(model.SnapshotArea(c.area));
        FillDrawingDc(RGB(0, 0, 0));
        ASSERT_TRUE(model.Undo(false));
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 9; ++x) {
                const POINT p{x, y};
                ASSERT_EQ(PixelAt(model.Picture(), x, y), PtInRect(&c.restored, p) ? Pattern(x, y) : RGB(0, 0, 0))
                    << x << "," << y;
            }
    }
}

TEST_F(ImageModelTest, UndoThenRedoIsBitExactForWholeAndPartialSteps) {
    // Real alpha values in the fourth byte must survive the round trip too.
    HBITMAP picture = MakePicture(9, 7);
    SetFourthBytes(picture);
    Load(picture);
    const std::vector<uint8_t> original = PictureBytes(model.Picture());

    ASSERT_TRUE(model.SnapshotPicture());
    FillDrawingDc(RGB(10, 20, 30));
    const std::vector<uint8_t> afterWhole = PictureBytes(model.Picture());

    ASSERT_TRUE(model.SnapshotArea(RECT{2, 1, 7, 6}));
    for (int y = 1; y < 6; ++y)
        for (int x = 2; x < 7; ++x) SetPixelAt(model.Picture(), x, y, Pattern(y, x));
    const std::vector<uint8_t> afterPartial = PictureBytes(model.Picture());

    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(PictureBytes(model.Picture()), afterWhole);
    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(PictureBytes(model.Picture()), original);
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(PictureBytes(model.Picture()), afterWhole);
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(PictureBytes(model.Picture()), afterPartial);
    EXPECT_FALSE(model.Redo());
}

TEST_F(ImageModelTest, AreaOutsideThePictureRecordsTheWholePicture) {
    Load(MakePicture(9, 7));
    ASSERT_TRUE(model.SnapshotArea(RECT{20, 20, 30, 30}));
    EXPECT_EQ(model.UndoCount(), 1);
    FillDrawingDc(RGB(0, 0, 0));
    ASSERT_TRUE(model.Undo(false));
    ExpectPicture(9, 7, Pattern);
}

TEST_F(ImageModelTest, ForgetHistoryKeepsTheCurrentSlot) {
    Load(MakePicture(5, 3));
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(model.SnapshotArea(RECT{0, 0, 2, 2}));
    ASSERT_TRUE(model.Undo(false));
    const int ringIndex = model.RingIndex();
    model.ForgetHistory();
    EXPECT_EQ(model.RingIndex(), ringIndex);
    EXPECT_FALSE(model.Undo(false));
    EXPECT_FALSE(model.Redo());
    ASSERT_TRUE(model.SnapshotArea(RECT{0, 0, 2, 2}));
    EXPECT_EQ(model.RingIndex(), ringIndex + 1);
    EXPECT_EQ(model.UndoCount(), 1);
}

TEST_F(ImageModelTest, UndoAndRedoDiscardTheFloatingSelectionOnlyWhenTheyStep) {
    Load(MakePicture(5, 3));
    int discarded = 0;
    model.SetSelectionDiscarder([&discarded] { ++discarded; });
    EXPECT_FALSE(model.Undo(false));
    EXPECT_EQ(discarded, 0);
    ASSERT_TRUE(model.SnapshotPicture());
    EXPECT_EQ(discarded, 0);
    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(discarded, 1);
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(discarded, 2);
    EXPECT_FALSE(model.Redo());
    EXPECT_EQ(discarded, 2);
}

// A visible window that counts the background erasures its repaint asks for.
LRESULT CALLBACK CountingWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeCountingWindow() {
    static const bool registered = [] {
        WNDCLASSW wc{};
        wc.lpfnWndProc = CountingWindowProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"TessoraModelTestView";
        return RegisterClassW(&wc) != 0;
    }();
    EXPECT_TRUE(registered);
    HWND window = CreateWindowExW(0, L"TessoraModelTestView", L"", WS_POPUP | WS_VISIBLE, 10, 10, 40, 30, nullptr,
                                  nullptr, GetModuleHandleW(nullptr), nullptr);
    UpdateWindow(window);
    ValidateRect(window, nullptr);
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return window;
}

// True when the window had a pending repaint with erase; the repaint is carried out.
bool RepaintedWithErase(HWND window) {
    if (!GetUpdateRect(window, nullptr, FALSE)) return false;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    UpdateWindow(window);
    return GetWindowLongPtrW(window, GWLP_USERDATA) == 1;
}

TEST_F(ImageModelTest, NotifyViewsRemeasuresAndRepaintsTheWindowsThatExist) {
    HWND canvas = MakeCountingWindow();
    HWND thumbnail = MakeCountingWindow();
    int remeasured = 0;
    model.SetCanvasView(canvas, [&remeasured] { ++remeasured; });
    model.SetThumbnailView(thumbnail);

    model.NotifyViews();
    EXPECT_EQ(remeasured, 1);
    EXPECT_TRUE(RepaintedWithErase(canvas));
    EXPECT_TRUE(RepaintedWithErase(thumbnail));

    // A recorded step repaints too.
    ASSERT_TRUE(model.SnapshotPicture());
    EXPECT_EQ(remeasured, 2);
    EXPECT_TRUE(RepaintedWithErase(canvas));
    EXPECT_TRUE(RepaintedWithErase(thumbnail));

    DestroyWindow(canvas);
    model.NotifyViews();
    EXPECT_EQ(remeasured, 2);
    EXPECT_TRUE(RepaintedWithErase(thumbnail));
    DestroyWindow(thumbnail);
    model.NotifyViews();
}

TEST_F(ImageModelTest, ScaleAndShearRecordsOneStepPerStage) {
    HWND canvas = MakeCountingWindow();
    int remeasured = 0;
    model.SetCanvasView(canvas, [&remeasured] { ++remeasured; });

    Load(MakePicture(20, 14));
    remeasured = 0;
    ASSERT_TRUE(model.ScaleAndShear(100, 100, 0, 0));
    EXPECT_EQ(model.UndoCount(), 0);
    EXPECT_GE(remeasured, 1);
    ExpectPicture(20, 14, Pattern);

    // tan 10 degrees = 0.1763: a 14 high picture gains 2 columns.
    ASSERT_TRUE(model.ScaleAndShear(100, 100, 10, 0));
    EXPECT_EQ(model.UndoCount(), 1);
    EXPECT_EQ(model.Width(), 22);
    EXPECT_EQ(model.Height(), 14);

    Load(MakePicture(20, 14));
    // 10 x 7, then 11 x 7 (7 x 0.1763 gives 1 column), then 11 x 8.
    ASSERT_TRUE(model.ScaleAndShear(50, 50, 10, 10));
    EXPECT_EQ(model.UndoCount(), 3);
    EXPECT_EQ(model.Width(), 11);
    EXPECT_EQ(model.Height(), 8);
    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(model.Width(), 11);
    EXPECT_EQ(model.Height(), 7);
    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(model.Width(), 10);
    EXPECT_EQ(model.Height(), 7);
    ASSERT_TRUE(model.Undo(false));
    ExpectPicture(20, 14, Pattern);
    DestroyWindow(canvas);
}

TEST_F(ImageModelTest, ScaleToZeroKeepsThatExtent) {
    Load(MakePicture(20, 14));
    // 1 % of 20 is 0: the width stays, the height is halved; the size differed, so one step.
    ASSERT_TRUE(model.ScaleAndShear(1, 50, 0, 0));
    EXPECT_EQ(model.UndoCount(), 1);
    EXPECT_EQ(model.Width(), 20);
    EXPECT_EQ(model.Height(), 7);
}

TEST_F(ImageModelTest, ResizeCanvasToNothingGivesOnePixel) {
    Load(MakePicture(9, 7));
    ASSERT_TRUE(model.ResizeCanvas(0, 0, 0, 0));
    EXPECT_EQ(model.Width(), 1);
    EXPECT_EQ(model.Height(), 1);
    EXPECT_EQ(At(0, 0), Pattern(0, 0));
    EXPECT_EQ(model.UndoCount(), 1);
    ASSERT_TRUE(model.ResizeCanvas(-4, -9, 0, 0));
    EXPECT_EQ(model.Width(), 1);
    EXPECT_EQ(model.Height(), 1);
}

TEST_F(ImageModelTest, ResizeCanvasStartsTheNewPictureAtTheOffsetAndFillsWhite) {
    Load(MakePicture(9, 7));
    ASSERT_TRUE(model.ResizeCanvas(6, 10, 2, -1));
    ExpectPicture(6, 10, [](int x, int y) { return y >= 1 && y <= 7 ? Pattern(x + 2, y - 1) : RGB(255, 255, 255); });
    EXPECT_EQ(model.UndoCount(), 1);

    Load(MakePicture(9, 7));
    ASSERT_TRUE(model.ResizeCanvas(12, 5, -3, 1));
    ExpectPicture(12, 5, [](int x, int y) { return x >= 3 ? Pattern(x - 3, y + 1) : RGB(255, 255, 255); });

    Load(MakePicture(9, 7));
    ASSERT_TRUE(model.ResizeCanvas(4, 4, 2000000000, -2000000000));
    ExpectPicture(4, 4, [](int, int) { return RGB(255, 255, 255); });
}

TEST_F(ImageModelTest, RotateQuartersTurnsAnAsymmetricPicture) {
    constexpr int w = 7, h = 5;
    Load(MakePicture(w, h));
    ASSERT_TRUE(model.RotateQuarters(1));
    EXPECT_EQ(model.UndoCount(), 1);
    // Clockwise: source (x, y) lands at (h - 1 - y, x).
    ExpectPicture(h, w, [](int x, int y) { return Pattern(y, h - 1 - x); });
    ASSERT_TRUE(model.Undo(false));
    ExpectPicture(w, h, Pattern);

    ASSERT_TRUE(model.RotateQuarters(3));
    // Counter-clockwise: source (x, y) lands at (y, w - 1 - x).
    ExpectPicture(h, w, [](int x, int y) { return Pattern(w - 1 - y, x); });
    ASSERT_TRUE(model.Undo(false));

    ASSERT_TRUE(model.RotateQuarters(2));
    ExpectPicture(w, h, [](int x, int y) { return Pattern(w - 1 - x, h - 1 - y); });
    EXPECT_EQ(model.UndoCount(), 1);

    EXPECT_FALSE(model.RotateQuarters(0));
    EXPECT_FALSE(model.RotateQuarters(4));
    EXPECT_EQ(model.UndoCount(), 1);
}

TEST_F(ImageModelTest, RotateQuartersMatchesTheDeviceContextTurn) {
    for (bool clockwise : {true, false}) {
        Load(MakePicture(13, 6));
        BitmapHandle reference{TurnQuarter(model.DrawingDc(), 13, 6, clockwise, false)};
        ASSERT_TRUE(reference);
        ASSERT_TRUE(model.RotateQuarters(clockwise ? 1 : 3));
        ASSERT_EQ(model.Width(), 6);
        ASSERT_EQ(model.Height(), 13);
        for (int y = 0; y < 13; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(PixelAt(model.Picture(), x, y), PixelAt(reference.Get(), x, y)) << x << "," << y;
    }
}

TEST_F(ImageModelTest, RotatingAPictureOfAnotherDepthGoesThroughTheDeviceContext) {
    Load(Make24BitPicture(7, 5));
    ASSERT_TRUE(model.RotateQuarters(1));
    ExpectPicture(5, 7, [](int x, int y) { return Pattern(y, 5 - 1 - x); });
}

TEST_F(ImageModelTest, MirrorsFlipLeftRightAndTopBottom) {
    Load(MakePicture(7, 5));
    ASSERT_TRUE(model.MirrorHorizontal());
    ExpectPicture(7, 5, [](int x, int y) { return Pattern(6 - x, y); });
    ASSERT_TRUE(model.Undo(false));
    ASSERT_TRUE(model.MirrorVertical());
    ExpectPicture(7, 5, [](int x, int y) { return Pattern(x, 4 - y); });
    EXPECT_EQ(model.UndoCount(), 1);
    ASSERT_TRUE(model.Undo(false));
    ExpectPicture(7, 5, Pattern);
}

TEST_F(ImageModelTest, MirrorsKeepTheDepthOfA24BitPictureWithPaddedRows) {
    Load(Make24BitPicture(7, 5));
    ASSERT_TRUE(model.MirrorHorizontal());
    EXPECT_EQ(model.BitsPerPixel(), 24);
    ExpectPicture(7, 5, [](int x, int y) { return Pattern(6 - x, y); });
    ASSERT_TRUE(model.MirrorVertical());
    ExpectPicture(7, 5, [](int x, int y) { return Pattern(6 - x, 4 - y); });
}

TEST_F(ImageModelTest, InvertPictureInvertsEveryColourAndKeepsTheFourthByte) {
    HBITMAP picture = MakePicture(7, 5);
    SetFourthBytes(picture);
    std::vector<uint8_t> fourth;
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) fourth.push_back(FourthByteAt(picture, x, y));
    Load(picture);
    ASSERT_TRUE(model.InvertPicture());
    EXPECT_EQ(model.UndoCount(), 1);
    ExpectPicture(7, 5, [](int x, int y) { return Inverted(Pattern(x, y)); });
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) ASSERT_EQ(FourthByteAt(model.Picture(), x, y), fourth[y * 7 + x]);
    ASSERT_TRUE(model.Undo(false));
    ExpectPicture(7, 5, Pattern);
}

TEST_F(ImageModelTest, InvertingAPalettePictureInvertsItsColoursNotItsIndices) {
    Load(Make8BitPicture(7, 5));
    ASSERT_TRUE(model.InvertPicture());
    EXPECT_EQ(model.UndoCount(), 1);
    ExpectPicture(7, 5, [](int x, int y) { return Inverted(PaletteColour(PaletteIndexAt(x, y))); });
    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(model.BitsPerPixel(), 8);
    ExpectPicture(7, 5, [](int x, int y) { return PaletteColour(PaletteIndexAt(x, y)); });
}

TEST_F(ImageModelTest, EnsureThirtyTwoBitsConvertsOtherDepthsAndAlwaysDropsAlpha) {
    Load(Make24BitPicture(7, 5));
    pictureHasAlpha = true;
    ASSERT_TRUE(model.EnsureThirtyTwoBits());
    EXPECT_FALSE(pictureHasAlpha);
    EXPECT_EQ(model.BitsPerPixel(), 32);
    EXPECT_EQ(model.UndoCount(), 1);
    ExpectPicture(7, 5, Pattern);

    pictureHasAlpha = true;
    ASSERT_TRUE(model.EnsureThirtyTwoBits());
    EXPECT_FALSE(pictureHasAlpha);
    EXPECT_EQ(model.UndoCount(), 1);
}

COLORREF Checker(int x, int y) { return (x + y * 3) % 2 ? RGB(255, 255, 255) : RGB(0, 0, 0); }

TEST_F(ImageModelTest, BlackAndWhiteTestAndConversion) {
    Load(MakePicture(7, 5, Checker));
    EXPECT_TRUE(model.HasOnlyBlackAndWhite());
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), model.Picture());

    Load(MakePicture(7, 5));
    EXPECT_FALSE(model.HasOnlyBlackAndWhite());
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), model.Picture());
    ASSERT_TRUE(model.MakeBlackAndWhite());
    EXPECT_EQ(model.UndoCount(), 1);
    EXPECT_EQ(GetCurrentObject(model.DrawingDc(), OBJ_BITMAP), model.Picture());
    EXPECT_TRUE(model.HasOnlyBlackAndWhite());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const COLORREF c = At(x, y);
            EXPECT_TRUE(c == RGB(0, 0, 0) || c == RGB(255, 255, 255)) << x << "," << y;
        }
}

}  // namespace
