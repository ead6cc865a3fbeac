// The start-up wiring of the document: a moved selection erases its source with the palette's background
// colour, through the primitive that keeps pixels opaque in pictures with alpha.
#include <gtest/gtest.h>

#include "app/documentConnections.h"
#include "imagefiles/bitmapOps_win.h"
#include "win/gdiHandles.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "painting/toolState.h"
#include "painting/colourState.h"
#include "support/testSupport_win.h"

namespace {

struct ProcessDocument : testing::Test {
    void SetUp() override {
        ConnectDocument();
        ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(40, 30, RGB(0, 0, 255))));
        TheImageModel().ForgetHistory();
    }
    void TearDown() override {
        TheFloatingSelection().Discard();
        pictureHasAlpha = false;
        TheColourState().SetBackground(RGB(255, 255, 255));
    }
    // Lifts (5, 5)-(15, 10) and moves it 20 to the right, then writes it into the picture.
    void MoveSelection() {
        FloatingSelection& selection = TheFloatingSelection();
        selection.SetRectangle(POINT{5, 5}, POINT{15, 10});
        selection.SetActive(true);
        selection.MoveBy(20, 0);
        selection.Commit();
    }
};

TEST_F(ProcessDocument, MovedSelectionLeavesThePalettesBackgroundColour) {
    TheColourState().SetBackground(RGB(200, 30, 40));
    MoveSelection();
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 7, 7), RGB(200, 30, 40));
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 27, 7), RGB(0, 0, 255));
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
}

TEST_F(ProcessDocument, TransparentSelectionFollowsTheToolSetting) {
    // A blue selection with one green pixel moved onto yellow: with the setting on, its background-blue
    // pixels are left out and the yellow shows through.
    ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(40, 30, RGB(255, 255, 0))));
    for (int y = 5; y < 10; ++y)
        for (int x = 5; x < 15; ++x) SetPixelAt(TheImageModel().Picture(), x, y, RGB(0, 0, 255));
    SetPixelAt(TheImageModel().Picture(), 6, 6, RGB(0, 255, 0));
    TheColourState().SetBackground(RGB(0, 0, 255));
    for (int transparent : {0, 1}) {
        TheToolState().SetTransparentSelection(transparent);
        FloatingSelection& selection = TheFloatingSelection();
        selection.SetRectangle(POINT{5, 5}, POINT{15, 10});
        selection.SetActive(true);
        selection.MoveBy(20, 0);
        BitmapHandle copy(TheImageModel().DuplicatePicture());
        ASSERT_TRUE(copy);
        {
            MemoryDc dc;
            ScopedSelect select(dc, copy.Get());
            selection.DrawSelection(dc);
        }
        selection.Discard();
        EXPECT_EQ(PixelAt(copy.Get(), 26, 6), RGB(0, 255, 0));
        EXPECT_EQ(PixelAt(copy.Get(), 27, 7), transparent ? RGB(255, 255, 0) : RGB(0, 0, 255));
    }
    TheToolState().SetTransparentSelection(0);
}

TEST_F(ProcessDocument, ErasedSourceStaysOpaqueInPicturesWithAlpha) {
    pictureHasAlpha = true;
    MoveSelection();
    EXPECT_EQ(PixelAt(TheImageModel().Picture(), 7, 7), RGB(255, 255, 255));
    EXPECT_EQ(FourthByteAt(TheImageModel().Picture(), 7, 7), 255);
}

}  // namespace
