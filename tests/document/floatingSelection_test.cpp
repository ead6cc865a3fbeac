#include "document/floatingSelection.h"

#include <gtest/gtest.h>

#include <vector>

#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/imageModel.h"
#include "support/testSupport_win.h"

namespace {

// Distinct, asymmetric colours, none equal to the erase and key colours below (the transparent test checks).
COLORREF Pattern(int x, int y) { return RGB((x * 37 + 5) & 0xFF, (y * 53 + 9) & 0xFF, (x * 11 + y * 29 + 1) & 0xFF); }

constexpr COLORREF kErase = RGB(200, 100, 51);
constexpr COLORREF kKey = RGB(3, 250, 7);
constexpr COLORREF kOther = RGB(90, 91, 92);

HBITMAP MakePicture(int width, int height, COLORREF (*colour)(int, int) = Pattern) {
    HBITMAP bitmap = CreatePictureBitmap(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixelAt(bitmap, x, y, colour(x, y));
    return bitmap;
}

bool MaskBit(HBITMAP mask, int x, int y) {
    MemoryDc dc;
    ScopedSelect select(dc, mask);
    return GetPixel(dc, x, y) == RGB(255, 255, 255);
}

std::vector<bool> MaskBits(HBITMAP mask) {
    std::vector<bool> bits;
    for (int y = 0; y < BitmapHeight(mask); ++y)
        for (int x = 0; x < BitmapWidth(mask); ++x) bits.push_back(MaskBit(mask, x, y));
    return bits;
}

class SelectionTest : public testing::Test {
protected:
    void SetUp() override {
        pictureHasAlpha = false;
        SelectionHooks hooks;
        hooks.backgroundColour = [this] { return background; };
        hooks.currentTool = [this] { return tool; };
        hooks.transparentSelection = [this] { return transparent; };
        hooks.copyMode = [] { return false; };
        hooks.canvasView = [this] { return view; };
        hooks.invalidateCanvas = [this] { ++invalidations; };
        selection.SetHooks(hooks);
        Load(MakePicture(60, 50));
    }
    void Load(HBITMAP bitmap) {
        ASSERT_TRUE(model.ReplacePicture(bitmap));
        model.ForgetHistory();
    }
    COLORREF At(int x, int y) { return PixelAt(model.Picture(), x, y); }
    std::vector<uint8_t> Bytes() { return PictureBytes(model.Picture()); }
    void Select(int left, int top, int right, int bottom) {
        selection.SetRectangle(POINT{left, top}, POINT{right, bottom});
        selection.SetActive(true);
    }
    // A right triangle with its right angle at the top left of (left, top, left + 20, top + 20).
    void SelectTriangle(int left, int top) {
        tool = kFreeSelectionTool;
        ASSERT_TRUE(selection.MakeOutline({{left, top}, {left + 20, top}, {left, top + 20}}));
        selection.SetActive(true);
    }

    ImageModel model;
    FloatingSelection selection{model};
    COLORREF background = kErase;
    int tool = kRectSelectionTool;
    bool transparent = false;
    CanvasView view;
    int invalidations = 0;
};

}  // namespace

TEST_F(SelectionTest, LiftWithoutMovingCommitsNothing) {
    const std::vector<uint8_t> before = Bytes();
    Select(25, 15, 5, 5);
    EXPECT_EQ(selection.Placement().left, 5);
    EXPECT_EQ(selection.Placement().bottom, 15);
    ASSERT_TRUE(selection.Lift());
    EXPECT_FALSE(selection.Lift());  // already floating
    EXPECT_FALSE(selection.IsEmpty());
    EXPECT_EQ(selection.EraseColour(), kErase);
    EXPECT_EQ(PixelAt(selection.Content(), 0, 0), Pattern(5, 5));
    EXPECT_EQ(Bytes(), before);
    selection.Commit();
    EXPECT_EQ(model.UndoCount(), 0);
    EXPECT_EQ(Bytes(), before);
    EXPECT_FALSE(selection.IsActive());
    EXPECT_TRUE(selection.IsEmpty());
}

TEST_F(SelectionTest, MoveByTenGivesOnePartialStepOverTheUnion) {
    Select(5, 5, 25, 15);
    selection.MoveBy(10, 0);  // lifts first
    EXPECT_EQ(invalidations, 1);
    background = kOther;  // erasing uses the colour captured at lifting
    selection.Commit();
    ASSERT_EQ(model.UndoCount(), 1);
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) {
            COLORREF expected = Pattern(x, y);
            if (y >= 5 && y < 15 && x >= 5 && x < 15) expected = kErase;
            if (y >= 5 && y < 15 && x >= 15 && x < 35) expected = Pattern(x - 10, y);
            ASSERT_EQ(At(x, y), expected) << x << "," << y;
        }
    const std::vector<uint8_t> committed = Bytes();
    // The step covers exactly the union (5, 5, 35, 15): paint just outside it without a step, then undo.
    for (POINT p : {POINT{4, 5}, POINT{35, 14}, POINT{20, 4}, POINT{20, 15}})
        SetPixelAt(model.Picture(), p.x, p.y, kKey);
    ASSERT_TRUE(model.Undo(false));
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool painted = (x == 4 && y == 5) || (x == 35 && y == 14) || (x == 20 && (y == 4 || y == 15));
            ASSERT_EQ(At(x, y), painted ? kKey : Pattern(x, y)) << x << "," << y;
        }
    for (POINT p : {POINT{4, 5}, POINT{35, 14}, POINT{20, 4}, POINT{20, 15}})
        SetPixelAt(model.Picture(), p.x, p.y, Pattern(p.x, p.y));
    ASSERT_TRUE(model.Redo());
    EXPECT_EQ(Bytes(), committed);
}

TEST_F(SelectionTest, UndoAfterCommitRestoresThePictureBitForBit) {
    const std::vector<uint8_t> before = Bytes();
    Select(30, 20, 52, 41);
    ASSERT_TRUE(selection.InvertContent());
    selection.DragHandle(10, 0, 0);  // dragOrigin starts at (-1, -1): moves by (1, 1)
    selection.DragHandle(8, 10, 4);  // and stretches
    selection.Commit();
    ASSERT_EQ(model.UndoCount(), 1);
    EXPECT_NE(Bytes(), before);
    ASSERT_TRUE(model.Undo(false));
    EXPECT_EQ(Bytes(), before);
}

TEST_F(SelectionTest, UndoWhileFloatingDiscardsWithoutCommitting) {
    ASSERT_TRUE(model.SnapshotArea(RECT{0, 0, 10, 10}));
    SetPixelAt(model.Picture(), 3, 3, kKey);
    Select(2, 2, 12, 12);
    selection.MoveBy(5, 5);
    ASSERT_FALSE(selection.IsEmpty());
    ASSERT_TRUE(model.Undo(false));
    EXPECT_FALSE(selection.IsActive());
    EXPECT_TRUE(selection.IsEmpty());
    EXPECT_TRUE(IsRectEmpty(&selection.Placement()));
    EXPECT_EQ(model.UndoCount(), 0);
    EXPECT_EQ(model.RedoCount(), 1);
    EXPECT_EQ(At(3, 3), Pattern(3, 3));
    EXPECT_EQ(At(8, 8), Pattern(8, 8));
}

TEST_F(SelectionTest, TheProcessWideSelectionIsDiscardedByTheDocumentsUndo) {
    FloatingSelection& shared = TheFloatingSelection();
    ASSERT_TRUE(TheImageModel().ReplacePicture(MakePicture(20, 20)));
    shared.SetRectangle(POINT{1, 1}, POINT{5, 5});
    shared.SetActive(true);
    ASSERT_TRUE(shared.Lift());
    ASSERT_TRUE(TheImageModel().Undo(false));
    EXPECT_TRUE(shared.IsEmpty());
    EXPECT_FALSE(shared.IsActive());
}

TEST_F(SelectionTest, TransparentModeKeysOnTheBackgroundColourAtDrawingTime) {
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_TRUE(Pattern(x, y) != kKey && Pattern(x, y) != kErase);
    SetPixelAt(model.Picture(), 7, 6, kKey);
    SetPixelAt(model.Picture(), 8, 6, kErase);
    Select(5, 5, 15, 10);
    ASSERT_TRUE(selection.Lift());  // erase colour kErase
    background = kKey;
    transparent = true;
    selection.MoveBy(20, 0);
    selection.Commit();
    EXPECT_EQ(At(27, 6), Pattern(27, 6));  // the key pixel let the picture show through
    EXPECT_EQ(At(28, 6), kErase);          // the colour captured at lifting is no key
    EXPECT_EQ(At(29, 6), Pattern(9, 6));
    EXPECT_EQ(At(7, 6), kErase);  // the source is erased all the same
}

TEST_F(SelectionTest, QuarterTurnOfThirtyByTenKeepsTheTopLeft) {
    Select(5, 7, 35, 17);
    ASSERT_TRUE(selection.RotateContent(1));
    EXPECT_EQ(selection.Placement().left, 5);
    EXPECT_EQ(selection.Placement().top, 7);
    EXPECT_EQ(selection.Placement().right, 15);
    EXPECT_EQ(selection.Placement().bottom, 37);
    EXPECT_TRUE(selection.IsChanged());
    ASSERT_EQ(BitmapWidth(selection.Content()), 10);
    ASSERT_EQ(BitmapHeight(selection.Content()), 30);
    // Clockwise: (x, y) of the 30 x 10 content goes to (9 - y, x).
    EXPECT_EQ(PixelAt(selection.Content(), 9, 0), Pattern(5, 7));
    EXPECT_EQ(PixelAt(selection.Content(), 0, 29), Pattern(34, 16));
    ASSERT_TRUE(selection.RotateContent(3));  // and back
    EXPECT_EQ(selection.Placement().right, 35);
    EXPECT_EQ(PixelAt(selection.Content(), 0, 0), Pattern(5, 7));
    ASSERT_TRUE(selection.RotateContent(1));
    selection.Commit();
    EXPECT_EQ(At(14, 7), Pattern(5, 7));
    EXPECT_EQ(At(20, 8), kErase);  // source outside the turned placement
    EXPECT_EQ(At(5, 36), Pattern(34, 16));
}

TEST_F(SelectionTest, QuarterTurnOfAStretchedSelectionTurnsWhatIsSeen) {
    Select(5, 7, 35, 17);
    ASSERT_TRUE(selection.Lift());
    selection.SetDragOrigin(POINT{35, 17});
    selection.DragHandle(8, 65, 27);  // shown twice as large: 60 x 20
    EXPECT_EQ(selection.DragOrigin().x, 65);
    ASSERT_TRUE(selection.RotateContent(1));
    EXPECT_EQ(selection.Placement().right, 25);
    EXPECT_EQ(selection.Placement().bottom, 67);
    // The content turns at its own size and stays stretched to the turned placement.
    EXPECT_EQ(BitmapWidth(selection.Content()), 10);
    selection.Commit();
    EXPECT_EQ(At(5, 7), Pattern(5, 16));
    EXPECT_EQ(At(24, 7), Pattern(5, 7));
}

TEST_F(SelectionTest, HalfTurnAndMirrorsMoveEveryPixel) {
    Select(10, 10, 13, 12);  // 3 x 2
    ASSERT_TRUE(selection.RotateContent(2));
    EXPECT_EQ(PixelAt(selection.Content(), 0, 0), Pattern(12, 11));
    EXPECT_EQ(PixelAt(selection.Content(), 2, 1), Pattern(10, 10));
    ASSERT_TRUE(selection.MirrorContentHorizontal());
    EXPECT_EQ(PixelAt(selection.Content(), 0, 0), Pattern(10, 11));
    ASSERT_TRUE(selection.MirrorContentVertical());
    EXPECT_EQ(PixelAt(selection.Content(), 0, 0), Pattern(10, 10));
    EXPECT_EQ(PixelAt(selection.Content(), 2, 0), Pattern(12, 10));
    EXPECT_FALSE(selection.RotateContent(4));
}

TEST_F(SelectionTest, ScaleAndShearByNothingChangesNothing) {
    Select(5, 5, 15, 15);
    EXPECT_TRUE(selection.ScaleAndShearContent(100, 100, 0, 0));
    EXPECT_TRUE(selection.IsEmpty());  // not even lifted
    EXPECT_FALSE(selection.IsChanged());
    ASSERT_TRUE(selection.Lift());
    HBITMAP content = selection.Content();
    EXPECT_TRUE(selection.ScaleAndShearContent(100, 100, 0, 0));
    EXPECT_EQ(selection.Content(), content);
    EXPECT_FALSE(selection.IsChanged());
    EXPECT_EQ(selection.Mask(), nullptr);
    selection.Commit();
    EXPECT_EQ(model.UndoCount(), 0);
}

TEST_F(SelectionTest, StretchingTakesTheMaskAlong) {
    // One colour per row: the stretched pixels are known whatever resampling the platform uses.
    const auto rowColour = [](int y) { return RGB(10 * y, 255 - 9 * y, 77); };
    for (int y = 3; y < 8; ++y)
        for (int x = 2; x < 12; ++x) SetPixelAt(model.Picture(), x, y, rowColour(y));
    Select(2, 3, 12, 8);  // 10 x 5
    ASSERT_TRUE(selection.ScaleAndShearContent(200, 100, 0, 0));
    EXPECT_EQ(selection.Placement().right, 22);
    EXPECT_EQ(selection.Placement().bottom, 8);
    ASSERT_NE(selection.Mask(), nullptr);
    EXPECT_EQ(BitmapWidth(selection.Mask()), 20);
    EXPECT_EQ(BitmapHeight(selection.Mask()), 5);
    EXPECT_TRUE(selection.IsChanged());
    selection.Commit();
    EXPECT_EQ(model.UndoCount(), 1);
    for (int y = 3; y < 8; ++y)
        for (int x = 2; x < 22; ++x) ASSERT_EQ(At(x, y), rowColour(y)) << x << "," << y;
    EXPECT_EQ(At(1, 3), Pattern(1, 3));
    EXPECT_EQ(At(22, 7), Pattern(22, 7));
    EXPECT_EQ(At(21, 8), Pattern(21, 8));
    // Percentages below 1 and right angles are refused without touching the selection.
    Select(2, 3, 12, 8);
    EXPECT_FALSE(selection.ScaleAndShearContent(0, 100, 0, 0));
    EXPECT_FALSE(selection.ScaleAndShearContent(100, 100, 90, 0));
    EXPECT_TRUE(selection.IsEmpty());
}

TEST_F(SelectionTest, ShearedCornersStayTransparent) {
    Select(0, 0, 10, 10);
    ASSERT_TRUE(selection.ScaleAndShearContent(100, 100, 30, 0));  // d = 5: 15 x 10
    EXPECT_EQ(selection.Placement().right, 15);
    selection.MoveBy(20, 10);
    selection.Commit();
    // Row 0 starts at x = 5, row 9 at x = 0; the corners keep the picture.
    EXPECT_EQ(At(20, 10), Pattern(20, 10));
    EXPECT_EQ(At(25, 10), Pattern(0, 0));
    EXPECT_EQ(At(20, 19), Pattern(0, 9));
    EXPECT_EQ(At(34, 19), Pattern(34, 19));
    EXPECT_EQ(At(0, 0), kErase);
    // A shear too small to move a row duplicates the content.
    Select(0, 30, 5, 31);
    EXPECT_TRUE(selection.ScaleAndShearContent(100, 100, 10, 0));
    EXPECT_EQ(selection.Placement().right, 5);
}

TEST_F(SelectionTest, ScaleHalfShrinksThreeByThreeByNothing) {
    Select(4, 4, 7, 7);
    selection.ScaleHalf(true);
    EXPECT_FALSE(selection.IsEmpty());
    EXPECT_TRUE(EqualRect(&selection.Placement(), &selection.SourceRect()));
    selection.ScaleHalf(false);
    const RECT grown{3, 3, 8, 8};
    EXPECT_TRUE(EqualRect(&selection.Placement(), &grown));
    selection.SetActive(false);
    selection.ScaleHalf(false);  // only while active
    EXPECT_TRUE(EqualRect(&selection.Placement(), &grown));
}

TEST_F(SelectionTest, HitHandleWorksInCanvasWindowCoordinates) {
    Select(10, 10, 30, 20);
    // At 100 % the frame is (13, 13, 33, 23) grown by 3.
    EXPECT_EQ(selection.HitHandle(10, 10), 1);
    EXPECT_EQ(selection.HitHandle(23, 18), 10);
    EXPECT_EQ(selection.HitHandle(20, 10), 9);
    EXPECT_EQ(selection.HitHandle(36, 26), 0);
    EXPECT_EQ(selection.HitHandle(35, 25), 8);
    view = CanvasView{2000, 5, 0};  // (18, 23, 58, 43) grown by 3
    EXPECT_EQ(selection.HitHandle(15, 20), 1);
    EXPECT_EQ(selection.HitHandle(60, 45), 8);
    selection.SetActive(false);
    EXPECT_EQ(selection.HitHandle(38, 33), 0);
}

TEST_F(SelectionTest, TwoPointOutlineGivesNoSelection) {
    tool = kFreeSelectionTool;
    EXPECT_FALSE(selection.MakeOutline({{1, 1}, {20, 30}}));
    EXPECT_FALSE(selection.MakeOutline({{4, 1}, {4, 30}, {4, 9}}));
    EXPECT_EQ(selection.Mask(), nullptr);
    EXPECT_TRUE(IsRectEmpty(&selection.Placement()));
    EXPECT_FALSE(selection.Lift());
}

TEST_F(SelectionTest, FreeFormSelectionMovesAndErasesOnlyItsShape) {
    SelectTriangle(2, 4);
    const RECT bounds{2, 4, 22, 24};
    EXPECT_TRUE(EqualRect(&selection.Placement(), &bounds));
    EXPECT_TRUE(EqualRect(&selection.SourceRect(), &bounds));
    ASSERT_TRUE(MaskBit(selection.Mask(), 3, 3));
    ASSERT_FALSE(MaskBit(selection.Mask(), 17, 17));
    ASSERT_TRUE(selection.Lift());
    EXPECT_EQ(PixelAt(selection.Content(), 17, 17), kErase);  // outside the shape: background
    EXPECT_EQ(PixelAt(selection.Content(), 3, 3), Pattern(5, 7));
    selection.MoveBy(30, 0);
    selection.Commit();
    EXPECT_EQ(At(5, 7), kErase);
    EXPECT_EQ(At(19, 21), Pattern(19, 21));  // outside the shape at the source: kept
    EXPECT_EQ(At(35, 7), Pattern(5, 7));
    EXPECT_EQ(At(49, 21), Pattern(49, 21));  // outside the shape at the destination: kept
}

TEST_F(SelectionTest, FreeFormInTransparentModeCombinesMaskAndKey) {
    SetPixelAt(model.Picture(), 4, 5, kKey);
    SelectTriangle(2, 4);
    ASSERT_TRUE(selection.Lift());
    background = kKey;
    transparent = true;
    selection.MoveBy(30, 0);
    selection.Commit();
    EXPECT_EQ(At(34, 5), Pattern(34, 5));  // keyed out
    EXPECT_EQ(At(35, 7), Pattern(5, 7));   // inside the shape
    EXPECT_EQ(At(49, 21), Pattern(49, 21));
}

TEST_F(SelectionTest, MirroredFreeFormSelectionErasesItsLiftedShape) {
    SelectTriangle(2, 4);
    const std::vector<bool> lifted = MaskBits(selection.Mask());
    ASSERT_TRUE(selection.MirrorContentHorizontal());
    const std::vector<bool> mirrored = MaskBits(selection.Mask());
    ASSERT_EQ(mirrored.size(), 400u);
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(mirrored[y * 20 + x], lifted[y * 20 + 19 - x]) << x << "," << y;
    selection.Commit();
    ASSERT_EQ(model.UndoCount(), 1);
    // (3, 10) of the box lies in the lifted shape only: erased, not left behind.
    EXPECT_EQ(At(5, 14), kErase);
    // (16, 10) lies in the mirrored shape only: the mirrored content, whose (16, 10) came from (3, 10).
    EXPECT_EQ(At(18, 14), Pattern(5, 14));
    // (10, 18) lies in neither.
    EXPECT_EQ(At(12, 22), Pattern(12, 22));
}

TEST_F(SelectionTest, InvertContentInvertsTheCommittedPixels) {
    Select(40, 30, 45, 33);
    ASSERT_TRUE(selection.InvertContent());
    selection.Commit();
    EXPECT_EQ(model.UndoCount(), 1);
    const COLORREF p = Pattern(42, 31);
    EXPECT_EQ(At(42, 31), RGB(255 - GetRValue(p), 255 - GetGValue(p), 255 - GetBValue(p)));
    EXPECT_EQ(At(45, 31), Pattern(45, 31));
}

TEST_F(SelectionTest, DeleteSelectedErasesWithTheBackgroundColour) {
    Select(1, 1, 4, 3);
    background = kOther;
    selection.DeleteSelected();
    EXPECT_EQ(model.UndoCount(), 1);
    EXPECT_EQ(At(1, 1), kOther);
    EXPECT_EQ(At(3, 2), kOther);
    EXPECT_EQ(At(4, 2), Pattern(4, 2));
    EXPECT_EQ(At(3, 3), Pattern(3, 3));
    EXPECT_FALSE(selection.IsActive());
    EXPECT_TRUE(selection.IsEmpty());
    // The free-form selection erases its shape only.
    SelectTriangle(30, 20);
    selection.DeleteSelected();
    EXPECT_EQ(model.UndoCount(), 2);
    EXPECT_EQ(At(33, 23), kOther);
    EXPECT_EQ(At(47, 37), Pattern(47, 37));
    // Not active: nothing.
    selection.DeleteSelected();
    EXPECT_EQ(model.UndoCount(), 2);
}

TEST_F(SelectionTest, PlacedBitmapIsCommittedWithoutErasing) {
    selection.PlaceBitmap(MakePicture(4, 3, [](int x, int y) { return RGB(x, y, 99); }), 10, 5, nullptr);
    selection.SetActive(true);
    EXPECT_TRUE(selection.IsChanged());
    BitmapHandle copy(selection.ContentFromPicture());
    ASSERT_TRUE(copy);
    EXPECT_EQ(PixelAt(copy.Get(), 3, 2), RGB(3, 2, 99));
    selection.Commit();
    EXPECT_EQ(model.UndoCount(), 1);
    EXPECT_EQ(At(10, 5), RGB(0, 0, 99));
    EXPECT_EQ(At(13, 7), RGB(3, 2, 99));
    EXPECT_EQ(At(14, 7), Pattern(14, 7));
}

TEST_F(SelectionTest, ContentFromPictureIsWhatTheLiftedSelectionShows) {
    const auto inverted = [](COLORREF c) { return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c)); };
    Select(5, 5, 9, 8);
    selection.MoveBy(20, 0);
    ASSERT_TRUE(selection.InvertContent());
    BitmapHandle copy(selection.ContentFromPicture());
    ASSERT_TRUE(copy);
    EXPECT_EQ(PixelAt(copy.Get(), 0, 0), inverted(Pattern(5, 5)));
    // Stretched to a placement twice as large.
    selection.SetDragOrigin(POINT{0, 0});
    selection.DragHandle(8, 4, 3);
    copy.Reset(selection.ContentFromPicture());
    ASSERT_EQ(BitmapWidth(copy.Get()), 8);
    EXPECT_EQ(PixelAt(copy.Get(), 7, 5), inverted(Pattern(8, 7)));
}

TEST_F(SelectionTest, FreeFormSelectionShrunkByItsHandleKeepsItsColours) {
    // Columns of two colours whose bitwise mix is neither: a shrink drops whole columns, never mixes them.
    constexpr COLORREF kA = RGB(200, 40, 90), kB = RGB(60, 220, 30);
    Load(MakePicture(60, 50, [](int x, int) { return x % 2 ? kB : kA; }));
    SelectTriangle(10, 10);
    ASSERT_TRUE(selection.Lift());
    selection.SetDragOrigin(POINT{30, 30});
    selection.DragHandle(8, 20, 20);  // 20 x 20 drawn as 10 x 10
    selection.Commit();
    for (POINT p : {POINT{11, 11}, POINT{12, 13}, POINT{14, 11}, POINT{11, 16}})
        EXPECT_TRUE(At(p.x, p.y) == kA || At(p.x, p.y) == kB) << p.x << "," << p.y;
}

TEST_F(SelectionTest, ArrowKeysNudgeWithAcceleration) {
    NudgeStepper stepper;
    Select(10, 10, 20, 20);
    const LPARAM repeat = LPARAM{1} << 30;
    EXPECT_TRUE(NudgeSelection(selection, stepper, VK_RIGHT, 0));
    EXPECT_FALSE(selection.IsEmpty());
    EXPECT_EQ(selection.Placement().left, 11);
    for (int i = 0; i < 4; ++i) NudgeSelection(selection, stepper, VK_RIGHT, repeat);  // 1 + 1 + 2 + 2
    EXPECT_EQ(selection.Placement().left, 17);
    EXPECT_TRUE(NudgeSelection(selection, stepper, VK_UP, 0));
    EXPECT_EQ(selection.Placement().top, 9);
    NudgeSelection(selection, stepper, VK_LEFT, 0);
    NudgeSelection(selection, stepper, VK_DOWN, 0);
    EXPECT_EQ(selection.Placement().left, 16);
    EXPECT_EQ(selection.Placement().top, 10);
    EXPECT_FALSE(NudgeSelection(selection, stepper, VK_ESCAPE, 0));
    EXPECT_EQ(invalidations, 8);
}

TEST(HandleFrame, DrawsHandlesAndOutlineWithinTheClip) {
    BitmapHandle bitmap(CreateFilledBitmap(40, 30, RGB(255, 255, 255), 32));
    MemoryDc dc;
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
    ASSERT_NE(highlight, RGB(255, 255, 255));
    const RECT frame{5, 5, 35, 25};
    {
        ScopedSelect select(dc, bitmap.Get());
        const RECT away{100, 100, 110, 110};
        DrawHandleFrame(dc, frame, true, &away);
        GdiFlush();
        EXPECT_EQ(PixelAt(bitmap.Get(), 5, 5), RGB(255, 255, 255));
        const RECT corner{0, 0, 6, 6};
        DrawHandleFrame(dc, frame, false, &corner);
        GdiFlush();
        EXPECT_EQ(PixelAt(bitmap.Get(), 7, 7), highlight);
        EXPECT_EQ(PixelAt(bitmap.Get(), 32, 22), RGB(255, 255, 255));  // handle 8 is outside the clip
        DrawHandleFrame(dc, frame, true, nullptr);
        GdiFlush();
    }
    EXPECT_EQ(PixelAt(bitmap.Get(), 34, 24), highlight);
    EXPECT_EQ(PixelAt(bitmap.Get(), 18, 5), highlight);            // handle 2
    EXPECT_EQ(PixelAt(bitmap.Get(), 20, 15), RGB(255, 255, 255));  // inside stays
    EXPECT_EQ(PixelAt(bitmap.Get(), 12, 5), RGB(255, 255, 255));   // frame edge outside the outline
    int outline = 0;
    for (int x = 8; x < 18; ++x) outline += PixelAt(bitmap.Get(), x, 6) == highlight;
    EXPECT_GT(outline, 0);
    EXPECT_EQ(HandleRect(2, frame).left, 18);
    EXPECT_EQ(FindHandle(5, 5, frame), 1);
    EXPECT_EQ(FindHandle(20, 15, frame), 10);
    EXPECT_EQ(FindHandle(12, 5, frame), 9);
}

TEST(HandleFrame, CursorsForTheEightHandlesOnly) {
    ASSERT_TRUE(SetHandleCursor(3));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENESW));
    EXPECT_FALSE(SetHandleCursor(10));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENESW));
    ASSERT_TRUE(SetHandleCursor(7));
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_SIZENS));
    EXPECT_FALSE(SetHandleCursor(0));
}
