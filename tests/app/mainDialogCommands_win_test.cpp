// The picture dialog commands on a real main window: the scripted prompt opens each dialog modeless, the
// script works its controls as a user would, and the test checks the picture, the selection and the
// history afterwards.
#include <windows.h>

#include <string>

#include "app/commandIds.h"
#include "app/mainWindowHost_win.h"
#include "program/version.h"
#include "dialogs/pictureDialogs.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);

COLORREF Pixel(int x, int y) { return PixelAt(TheImageModel().Picture(), x, y); }

// Types into an edit of the dialog as the keyboard would: the text, the modified flag and the notification.
void Type(HWND dialog, int edit, const wchar_t* text) {
    SetDlgItemTextW(dialog, edit, text);
    SendDlgItemMessageW(dialog, edit, EM_SETMODIFY, TRUE, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(edit, EN_CHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, edit)));
}
void Click(HWND dialog, int control) { SendDlgItemMessageW(dialog, control, BM_CLICK, 0, 0); }

class DialogCommands : public MainWindowHost {
protected:
    void SetUp() override {
        MainWindowHost::SetUp();
        // A red corner in a white picture shows mirrors and turns.
        StartWithPicture(60, 40);
        SetPixelAt(TheImageModel().Picture(), 0, 0, kRed);
    }
    std::wstring FieldText(HWND dialog, int field) {
        wchar_t text[200] = {};
        GetDlgItemTextW(dialog, field, text, 200);
        return text;
    }
};

TEST_F(DialogCommands, FlipRotateWorksOnThePictureOrOnTheFloatingSelection) {
    prompt_.dialogScripts.push_back([](HWND dialog) { Click(dialog, IDOK); });  // mirror horizontally
    Command(kCmdFlipRotate);
    EXPECT_EQ(Pixel(59, 0), kRed);
    EXPECT_EQ(Pixel(0, 0), kWhite);
    EXPECT_EQ(TheImageModel().UndoCount(), 1);

    prompt_.dialogScripts.push_back([](HWND dialog) {
        Click(dialog, 704);
        Click(dialog, 706);
        Click(dialog, IDOK);
    });
    Command(kCmdFlipRotate);  // a half turn
    EXPECT_EQ(Pixel(0, 39), kRed);
    EXPECT_EQ(TheImageModel().UndoCount(), 2);

    // A floating selection turns by itself; the picture changes when it lands.
    TheToolState().SelectTool(kToolRectSelection);
    TheToolState().PointerDown(true, 0, 30, false);
    TheToolState().PointerMove(true, 10, 40);
    TheToolState().PointerUp(true, 10, 40);
    prompt_.dialogScripts.push_back([](HWND dialog) {
        Click(dialog, 703);
        Click(dialog, IDOK);
    });
    Command(kCmdFlipRotate);
    EXPECT_EQ(Pixel(0, 39), kRed);
    TheToolState().SelectTool(kToolPen);
    EXPECT_EQ(Pixel(0, 39), kWhite);
    EXPECT_EQ(Pixel(0, 30), kRed);

    Command(kCmdFlipRotate);  // cancelled: nothing
    EXPECT_EQ(Pixel(0, 30), kRed);
    EXPECT_EQ(prompt_.dialogsRun.size(), 4u);
}

TEST_F(DialogCommands, StretchSkewChangesThePictureInOneGoOrRefusesASizeItCannotHold) {
    prompt_.dialogScripts.push_back([](HWND dialog) {
        SetDlgItemTextW(dialog, 744, L"50");
        Click(dialog, IDOK);
    });
    Command(kCmdStretchSkew);
    EXPECT_EQ(TheImageModel().Width(), 30);
    EXPECT_EQ(TheImageModel().Height(), 40);
    EXPECT_EQ(TheImageModel().UndoCount(), 1);

    // 500 % of 30000 pixels is beyond the largest picture side: a message and no change at all.
    StartWithPicture(30000, 20);
    prompt_.dialogScripts.push_back([](HWND dialog) {
        SetDlgItemTextW(dialog, 744, L"500");
        SetDlgItemTextW(dialog, 757, L"10");
        Click(dialog, IDOK);
    });
    Command(kCmdStretchSkew);
    EXPECT_EQ(TheImageModel().Width(), 30000);
    EXPECT_EQ(TheImageModel().UndoCount(), 0);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_NE(prompt_.messages[0].text.find(L"150000 x "), std::wstring::npos);
}

TEST_F(DialogCommands, AttributesResizeAskBeforeLosingColoursAndRefuseHugeSizes) {
    const auto resizeTo = [](const wchar_t* width, const wchar_t* height, bool blackAndWhite) {
        return [=](HWND dialog) {
            Type(dialog, 711, width);
            Type(dialog, 712, height);
            if (blackAndWhite) Click(dialog, 729);
            Click(dialog, IDOK);
        };
    };
    prompt_.dialogScripts.push_back(resizeTo(L"100000", L"100000", false));
    Command(kCmdAttributes);
    EXPECT_EQ(TheImageModel().Width(), 60);
    EXPECT_EQ(prompt_.messages.size(), 1u);

    // Black and white on a coloured picture asks first; No keeps the size too.
    prompt_.dialogScripts.push_back(resizeTo(L"80", L"50", true));
    prompt_.messageAnswers.push_back(IDNO);
    Command(kCmdAttributes);
    EXPECT_EQ(prompt_.messages.size(), 2u);
    EXPECT_EQ(TheImageModel().Width(), 60);
    EXPECT_EQ(Pixel(0, 0), kRed);

    prompt_.dialogScripts.push_back(resizeTo(L"80", L"50", true));
    prompt_.messageAnswers.push_back(IDYES);
    Command(kCmdAttributes);
    EXPECT_EQ(TheImageModel().Width(), 80);
    EXPECT_EQ(TheImageModel().Height(), 50);
    EXPECT_TRUE(Pixel(0, 0) == kBlack || Pixel(0, 0) == kWhite);
    EXPECT_NE(TheImageModel().UndoCount(), 0);
}

TEST_F(DialogCommands, AboutNamesTheVersionAndThePngLibrary) {
    std::wstring version, library;
    prompt_.dialogScripts.push_back([&](HWND dialog) {
        version = FieldText(dialog, 793);
        library = FieldText(dialog, 794);
        Click(dialog, IDOK);
    });
    Command(kCmdAbout);
    EXPECT_EQ(version, L"Version " TESSORA_VERSION_TEXT_WIDE);
    EXPECT_EQ(library.rfind(L"libpng 1.", 0), 0u);
}

}  // namespace
