// The attributes dialog driven as a user types sizes, picks units and clicks its buttons: the size it
// answers in pixels, the colour choice, what it shows of the file and the resolution line.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "dialogs/pictureDialogs.h"
#include "imagefiles/bitmapOps_win.h"
#include "document/imageModel.h"
#include "document/pictureFiles_win.h"
#include "localisation/localisation_win.h"
#include "support/testSupport_win.h"

namespace {

constexpr int kEnglish = 1;

class AttributesDialogTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageArchive(WinePathOf(TESSORA_LANGUAGE_ARCHIVE)));
        SetCurrentLanguage(kEnglish);
    }
    void SetUp() override {
        savedX_ = resolutionX;
        savedY_ = resolutionY;
        resolutionX = resolutionY = 96.0f;
        ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(301, 203, RGB(200, 10, 10))));
        SetDocumentFile(nullptr, nullptr, false);
    }
    void TearDown() override {
        resolutionX = savedX_;
        resolutionY = savedY_;
        SetDocumentFile(nullptr, nullptr, false);
    }

    HWND Open() { return window_ = dialog_.CreateModeless(TestOwnerWindow(), kAttributesTemplate); }
    // As the keyboard types: the text, the modified flag and the edit's notification.
    void Type(int edit, const wchar_t* text) {
        SetDlgItemTextW(window_, edit, text);
        SendDlgItemMessageW(window_, edit, EM_SETMODIFY, TRUE, 0);
        SendMessageW(window_, WM_COMMAND, MAKEWPARAM(edit, EN_CHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(window_, edit)));
    }
    void Click(int button) { SendDlgItemMessageW(window_, button, BM_CLICK, 0, 0); }
    bool Checked(int button) { return IsDlgButtonChecked(window_, button) == BST_CHECKED; }
    // The control's text, or the dialog's title for 0.
    std::wstring Text(int control) {
        wchar_t text[200] = {};
        GetWindowTextW(control ? GetDlgItem(window_, control) : window_, text, 200);
        return text;
    }

    CAttributesDialog dialog_;
    HWND window_ = nullptr;
    float savedX_ = 0, savedY_ = 0;
};

TEST_F(AttributesDialogTest, OpensOnThePictureInPixelsWithTheLanguageTexts) {
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Text(0), TextOf(960));
    EXPECT_EQ(Text(kAttributesWidthLabel), TextOf(961));
    EXPECT_EQ(Text(kAttributesWidthEdit), L"301");
    EXPECT_EQ(Text(kAttributesHeightEdit), L"203");
    EXPECT_TRUE(Checked(kAttributesPixels));
    EXPECT_TRUE(Checked(kAttributesColours));
    // A new picture has no file: date and size stay "not available".
    EXPECT_EQ(Text(kAttributesFileDate), TextOf(966));
    EXPECT_EQ(Text(kAttributesFileSize), TextOf(967));
    EXPECT_FALSE(TextOf(966).empty());
    // The English resolution label is "ppcm": 96 dpi shows as 38 per centimetre.
    EXPECT_EQ(Text(kAttributesResolution), L"38 x 38, " + TextOf(939));
}

TEST_F(AttributesDialogTest, ShowsTheFilesDateAndSize) {
    documentHasFile = true;
    fileWriteTime = SYSTEMTIME{2024, 3, 0, 7, 14, 5, 9, 0};
    fileSize = 123456;
    ASSERT_NE(Open(), nullptr);
    EXPECT_EQ(Text(kAttributesFileSize), L"123456 " + TextOf(928));
    EXPECT_NE(Text(kAttributesFileDate), TextOf(966));
    EXPECT_NE(Text(kAttributesFileDate).find(L' '), std::wstring::npos);  // the date, a blank, the time
}

TEST_F(AttributesDialogTest, UnitsChangeTheDisplayAndTypedSizesAreReadInTheCheckedUnit) {
    ASSERT_NE(Open(), nullptr);
    Click(kAttributesInches);
    EXPECT_EQ(Text(kAttributesWidthEdit), L"3.135");  // 301 / 96; read back it would be 300 pixels
    Click(kAttributesCentimetres);
    EXPECT_EQ(Text(kAttributesWidthEdit), L"7.964");
    Click(kAttributesPixels);
    EXPECT_EQ(Text(kAttributesWidthEdit), L"301");

    Click(kAttributesInches);
    Type(kAttributesWidthEdit, L"2,5");  // the comma ends the number: 2 inches
    Click(kAttributesCentimetres);
    Type(kAttributesHeightEdit, L"0");
    EXPECT_EQ(SendDlgItemMessageW(window_, kAttributesHeightEdit, EM_GETMODIFY, 0, 0), FALSE);
    Click(kAttributesBlackAndWhite);
    Click(IDOK);
    EXPECT_EQ(dialog_.Result(), IDOK);
    EXPECT_EQ(dialog_.Values().width, 192);
    EXPECT_EQ(dialog_.Values().height, 1);
    EXPECT_TRUE(dialog_.Values().blackAndWhite);
}

TEST_F(AttributesDialogTest, StandardReturnsToThePictureAndCancelKeepsTheRecord) {
    ASSERT_TRUE(TheImageModel().ReplacePicture(CreateFilledBitmap(301, 203, RGB(255, 255, 255))));
    ASSERT_NE(Open(), nullptr);
    EXPECT_TRUE(Checked(kAttributesBlackAndWhite));  // a white picture has only black and white
    Click(kAttributesInches);
    Type(kAttributesWidthEdit, L"1");
    Click(kAttributesStandardButton);
    EXPECT_TRUE(Checked(kAttributesPixels));
    EXPECT_EQ(Text(kAttributesWidthEdit), L"301");
    Click(IDOK);
    EXPECT_EQ(dialog_.Values().width, 301);
    EXPECT_FALSE(dialog_.Values().blackAndWhite);  // Standard checks colours

    ASSERT_NE(Open(), nullptr);
    Type(kAttributesHeightEdit, L"50");
    Click(kAttributesBlackAndWhite);
    Click(IDCANCEL);
    EXPECT_EQ(dialog_.Hwnd(), nullptr);
    EXPECT_EQ(dialog_.Result(), 0);
    EXPECT_EQ(dialog_.Values().height, 203);
    EXPECT_FALSE(dialog_.Values().blackAndWhite);

    ASSERT_NE(Open(), nullptr);
    SendMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(dialog_.Hwnd(), nullptr);
    EXPECT_EQ(dialog_.Result(), 0);
}

}  // namespace
