// The Extras menu's picture commands on a real main window: each records one step that undoes it, the
// generated pictures make the picture 32 bits deep first and lie the right way up.
#include <windows.h>

#include "app/commandIds.h"
#include "app/mainWindowHost_win.h"
#include "program/documentFlags.h"
#include "localisation/localisation_win.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kWidth = 60;
constexpr int kHeight = 40;
// The random pictures draw rooms and shapes about a hundred pixels across.
constexpr int kRandomWidth = 240;
constexpr int kRandomHeight = 180;

// Over every second pixel of every second row.
int PixelsOtherThanWhite() {
    int count = 0;
    for (int y = 0; y < TheImageModel().Height(); y += 2)
        for (int x = 0; x < TheImageModel().Width(); x += 2)
            count += PixelAt(TheImageModel().Picture(), x, y) != kWhite;
    return count;
}

class ExtrasCommands : public MainWindowHost {
protected:
    void SetUp() override {
        MainWindowHost::SetUp();
        StartWithPicture(kWidth, kHeight);
    }
};

}  // namespace

TEST_F(ExtrasCommands, RandomPicturesRecordOneStepThatUndoesThem) {
    for (unsigned id : {kCmdRoomsPicture, kCmdRandomShapesPicture, kCmdLandscapePicture, kCmdRandomCirclesPicture}) {
        StartWithPicture(kRandomWidth, kRandomHeight);
        pictureHasAlpha = true;
        Command(id);
        EXPECT_FALSE(pictureHasAlpha) << id;
        EXPECT_EQ(TheImageModel().UndoCount(), 1) << id;
        EXPECT_GT(PixelsOtherThanWhite(), 0) << id;
        EXPECT_TRUE(TheImageModel().Undo(true));
        EXPECT_EQ(PixelsOtherThanWhite(), 0) << id;
    }
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(ExtrasCommands, GeneratedPicturesMakeTheDepth32BitsThenRecordOneStep) {
    for (unsigned id : {kCmdMountainsPicture, kCmdCityPicture, kCmdStoneHillsPicture}) {
        ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(kWidth, kHeight, kWhite, 24)));
        TheImageModel().ForgetHistory();
        Command(id);
        EXPECT_EQ(TheImageModel().BitsPerPixel(), 32) << id;
        EXPECT_EQ(TheImageModel().UndoCount(), 1) << id;                // the conversion and the picture
        EXPECT_GT(PixelsOtherThanWhite(), kWidth * kHeight / 8) << id;  // of the quarter counted
        EXPECT_TRUE(TheImageModel().Undo(true));  // back to the white 24-bit picture in one step
        EXPECT_EQ(TheImageModel().BitsPerPixel(), 24) << id;
        EXPECT_EQ(TheImageModel().UndoCount(), 0) << id;
    }
    // A 32-bit picture takes one step, and a picture with alpha loses it.
    pictureHasAlpha = true;
    StartWithPicture(kWidth, kHeight);
    Command(kCmdStoneHillsPicture);
    EXPECT_EQ(TheImageModel().UndoCount(), 1);
    EXPECT_FALSE(pictureHasAlpha);
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_TRUE(IsWindowEnabled(Window()));  // the progress window gave its owner back
}

TEST_F(ExtrasCommands, MountainsStandOnTheBottomUnderTheSky) {
    // Whatever the time value, the bottom rows are grey rock and the top row is blue sky: the rows are
    // generated from the bottom of the picture.
    Command(kCmdMountainsPicture);
    const COLORREF top = PixelAt(TheImageModel().Picture(), 0, 0);
    const COLORREF bottom = PixelAt(TheImageModel().Picture(), 0, kHeight - 1);
    EXPECT_GT(GetBValue(top), GetRValue(top) + 50);
    EXPECT_LT(GetBValue(bottom), GetRValue(bottom) + 20);
    EXPECT_LT(GetBValue(bottom), GetBValue(top));
}

TEST_F(ExtrasCommands, MoreAiSaysSoAndLeavesThePictureAlone) {
    Command(kCmdMoreAi);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, TextOf(4100));
    EXPECT_EQ(prompt_.messages[0].style & MB_ICONINFORMATION, UINT{MB_ICONINFORMATION});
    EXPECT_EQ(TheImageModel().UndoCount(), 0);
    EXPECT_EQ(PixelsOtherThanWhite(), 0);
}
