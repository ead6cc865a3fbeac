// The main window's edit commands, driven through WM_COMMAND on a real main window with the real
// clipboard: undo and redo, copy, cut, paste of DIBs, bitmaps and metafiles (also damaged ones),
// deleting, selecting all and cropping, and the same keys acting on the text box while it is edited.
#include <windows.h>
// clang-format off: the common controls header needs windows.h first
#include <commctrl.h>
// clang-format on

#include <cstring>
#include <string>
#include <vector>

#include "app/commandIds.h"
#include "app/documentConnections.h"
#include "localisation/localisation_win.h"
#include "mainWindowHost_win.h"
#include "painting/colourState.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);

constexpr auto Pattern = DistinctPattern;

// A packed DIB with a 40-byte header and no colour table, bottom-up, 24 or 32 bits per pixel.
std::vector<uint8_t> PackedDib(int width, int height, int bits, COLORREF (*colour)(int, int)) {
    const size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    std::vector<uint8_t> bytes(sizeof(BITMAPINFOHEADER) + stride * height);
    BITMAPINFOHEADER header{};
    header.biSize = sizeof(header);
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = static_cast<WORD>(bits);
    header.biCompression = BI_RGB;
    header.biSizeImage = static_cast<DWORD>(stride * height);
    std::memcpy(bytes.data(), &header, sizeof(header));
    for (int y = 0; y < height; ++y) {
        uint8_t* row = bytes.data() + sizeof(header) + stride * (height - 1 - y);
        for (int x = 0; x < width; ++x) {
            const COLORREF c = colour(x, y);
            uint8_t* pixel = row + x * (bits / 8);
            pixel[0] = GetBValue(c);
            pixel[1] = GetGValue(c);
            pixel[2] = GetRValue(c);
        }
    }
    return bytes;
}

HGLOBAL ToGlobal(const std::vector<uint8_t>& bytes) {
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!memory) return nullptr;
    std::memcpy(GlobalLock(memory), bytes.data(), bytes.size());
    GlobalUnlock(memory);
    return memory;
}

// Empties the clipboard and offers the formats given (the clipboard owns the handles afterwards).
void PutOnClipboard(std::initializer_list<std::pair<UINT, HANDLE>> items) {
    ASSERT_TRUE(OpenClipboard(TestOwnerWindow()));
    EmptyClipboard();
    for (const auto& [format, handle] : items) EXPECT_TRUE(SetClipboardData(format, handle)) << format;
    CloseClipboard();
}

HGLOBAL Text(const std::wstring& text) {
    std::vector<uint8_t> bytes((text.size() + 1) * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    return ToGlobal(bytes);
}

// The bytes of a clipboard format, empty when it is not offered.
std::vector<uint8_t> ClipboardBytes(UINT format) {
    std::vector<uint8_t> bytes;
    if (!OpenClipboard(TestOwnerWindow())) return bytes;
    if (HGLOBAL memory = static_cast<HGLOBAL>(GetClipboardData(format))) {
        const SIZE_T size = GlobalSize(memory);
        if (const auto* data = static_cast<const uint8_t*>(GlobalLock(memory))) {
            bytes.assign(data, data + size);
            GlobalUnlock(memory);
        }
    }
    CloseClipboard();
    return bytes;
}

std::wstring ClipboardText() {
    const std::vector<uint8_t> bytes = ClipboardBytes(CF_UNICODETEXT);
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), bytes.data(), text.size() * sizeof(wchar_t));
    return text.c_str();
}

// A 32-bit packed DIB read back: its header and pixels in picture coordinates.
struct DibView {
    const std::vector<uint8_t>& bytes;
    BITMAPINFOHEADER Header() const {
        BITMAPINFOHEADER header{};
        std::memcpy(&header, bytes.data(), sizeof(header));
        return header;
    }
    COLORREF Pixel(int x, int y) const {
        const BITMAPINFOHEADER header = Header();
        const size_t row = header.biHeight > 0 ? header.biHeight - 1 - y : y;
        const uint8_t* p = bytes.data() + header.biSize + (row * header.biWidth + x) * 4;
        return RGB(p[2], p[1], p[0]);
    }
};

std::wstring ProgramUnderTest() {
    std::string path = TESSORA_EXE;
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    return std::wstring(path.begin(), path.end());
}

class EditCommands : public MainWindowHost {
protected:
    static void SetUpTestSuite() {
        // The texts of the messages, and the selection reading the palette and the tools, as in the program.
        ASSERT_TRUE(LoadLanguageArchive(ProgramUnderTest()));
        SetCurrentLanguage(0);
        ConnectDocument();
    }
    void SetUp() override {
        MainWindowHost::SetUp();
        TheColourState().SetForeground(kBlack);
        TheColourState().SetBackground(kWhite);
        TheToolState().SetTransparentSelection(0);
    }
    void TearDown() override {
        PutOnClipboard({});
        MainWindowHost::TearDown();
    }
    static ImageModel& Model() { return TheImageModel(); }
    static FloatingSelection& Selection() { return TheFloatingSelection(); }
    static COLORREF Pixel(int x, int y) { return PixelAt(Model().Picture(), x, y); }
    static void PaintPattern() {
        for (int y = 0; y < Model().Height(); ++y)
            for (int x = 0; x < Model().Width(); ++x) SetPixelAt(Model().Picture(), x, y, Pattern(x, y));
    }
    // A rectangle marked on the picture, not lifted, with the tool given current.
    static void Mark(int tool, const RECT& rect) {
        TheToolState().SelectTool(tool);
        Selection().SetRectangle(POINT{rect.left, rect.top}, POINT{rect.right, rect.bottom});
        Selection().SetActive(true);
    }
    static bool Selected() { return Selection().IsActive(); }
    bool ToolButtonChecked(int command) {
        return SendMessageW(main_.ToolBox().Toolbar(), TB_ISBUTTONCHECKED, command, 0) != 0;
    }
};

// ---- undo and redo ------------------------------------------------------------------------------------

TEST_F(EditCommands, UndoAndRedoTakeBackAndRestoreAStrokeAndAnEffect) {
    ToolState& tools = TheToolState();
    tools.PointerDown(true, 10, 20, false);
    tools.PointerMove(true, 60, 20);
    tools.PointerUp(true, 60, 20);
    ASSERT_EQ(Pixel(30, 20), kBlack);
    Command(kCmdInvertColours);
    ASSERT_EQ(Pixel(30, 20), kWhite);
    ASSERT_EQ(Pixel(100, 100), kBlack);
    ASSERT_EQ(Model().UndoCount(), 2);

    Command(kCmdUndo);
    EXPECT_EQ(Pixel(30, 20), kBlack);
    EXPECT_EQ(Pixel(100, 100), kWhite);
    Command(kCmdUndo);
    EXPECT_EQ(Pixel(30, 20), kWhite);
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_EQ(Model().RedoCount(), 2);
    // Nothing left to undo: nothing happens.
    Command(kCmdUndo);
    EXPECT_EQ(Model().RedoCount(), 2);

    Command(kCmdRedo);
    EXPECT_EQ(Pixel(30, 20), kBlack);
    EXPECT_EQ(Pixel(100, 100), kWhite);
    Command(kCmdRedo);
    EXPECT_EQ(Pixel(30, 20), kWhite);
    EXPECT_EQ(Pixel(100, 100), kBlack);
    EXPECT_EQ(Model().RedoCount(), 0);
}

TEST_F(EditCommands, UndoAfterAnEnlargingPasteDropsTheSelectionAndGivesBackTheSize) {
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(250, 40, 24, Pattern))}});
    Command(kCmdPaste);
    ASSERT_EQ(Model().Width(), 250);
    ASSERT_TRUE(Selected());
    // The first undo takes the pasted pixels away, the enlargement goes at the latest with the second.
    Command(kCmdUndo);
    EXPECT_FALSE(Selected());
    EXPECT_EQ(Pixel(5, 5), kWhite);
    Command(kCmdUndo);
    EXPECT_EQ(Model().Width(), 200);
    EXPECT_EQ(Model().Height(), 150);
    EXPECT_EQ(Pixel(5, 5), kWhite);
}

// ---- copy and cut -----------------------------------------------------------------------------------

TEST_F(EditCommands, CopyPutsTheMarkedPixelsOnTheClipboardAsA32BitDib) {
    PaintPattern();
    // Odd sizes away from the corner: an offset, a row order or a channel mix-up shows.
    const RECT area{5, 7, 12, 11};
    Mark(kToolRectSelection, area);
    PutOnClipboard({{CF_UNICODETEXT, Text(L"old")}});
    Command(kCmdCopy);

    const std::vector<uint8_t> bytes = ClipboardBytes(CF_DIB);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER) + 7 * 4 * 4);
    const DibView dib{bytes};
    EXPECT_EQ(dib.Header().biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(dib.Header().biWidth, 7);
    EXPECT_EQ(dib.Header().biHeight, 4);
    EXPECT_EQ(dib.Header().biBitCount, 32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(dib.Pixel(x, y), Pattern(x + 5, y + 7)) << x << "," << y;
    // The clipboard was emptied first: the old text is gone.
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_UNICODETEXT));
    // Copying changes neither the picture nor the selection.
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_TRUE(Selected());
    EXPECT_EQ(Pixel(5, 7), Pattern(5, 7));
}

TEST_F(EditCommands, CopyOfAPastedSelectionGivesBackThePastedPixels) {
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(9, 6, 24, Pattern))}});
    Command(kCmdPaste);
    ASSERT_TRUE(Selected());
    PutOnClipboard({});
    Command(kCmdCopy);
    const std::vector<uint8_t> bytes = ClipboardBytes(CF_DIB);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER) + 9 * 6 * 4);
    const DibView dib{bytes};
    ASSERT_EQ(dib.Header().biWidth, 9);
    ASSERT_EQ(dib.Header().biHeight, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 9; ++x) EXPECT_EQ(dib.Pixel(x, y), Pattern(x, y)) << x << "," << y;
}

TEST_F(EditCommands, CopyWithoutASelectionLeavesTheClipboardAlone) {
    PutOnClipboard({{CF_UNICODETEXT, Text(L"keep me")}});
    Command(kCmdCopy);
    EXPECT_EQ(ClipboardText(), L"keep me");
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_DIB));
}

TEST_F(EditCommands, CutCopiesThenErasesWithTheBackgroundColour) {
    PaintPattern();
    TheColourState().SetBackground(kBlue);
    Mark(kToolRectSelection, RECT{20, 30, 33, 37});
    Command(kCmdCut);

    const std::vector<uint8_t> bytes = ClipboardBytes(CF_DIB);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER) + 13 * 7 * 4);
    const DibView dib{bytes};
    ASSERT_EQ(dib.Header().biWidth, 13);
    ASSERT_EQ(dib.Header().biHeight, 7);
    EXPECT_EQ(dib.Pixel(0, 0), Pattern(20, 30));
    EXPECT_EQ(dib.Pixel(12, 6), Pattern(32, 36));

    for (int y = 30; y < 37; ++y)
        for (int x = 20; x < 33; ++x) EXPECT_EQ(Pixel(x, y), kBlue) << x << "," << y;
    EXPECT_EQ(Pixel(19, 30), Pattern(19, 30));
    EXPECT_EQ(Pixel(33, 36), Pattern(33, 36));
    EXPECT_FALSE(Selected());
    EXPECT_EQ(Model().UndoCount(), 1);
    Command(kCmdUndo);
    EXPECT_EQ(Pixel(25, 33), Pattern(25, 33));
}

// ---- paste ------------------------------------------------------------------------------------------

TEST_F(EditCommands, PasteOfAWideDibIntoATallPictureEnlargesItToHoldBoth) {
    StartWithPicture(200, 300);
    SetPixelAt(Model().Picture(), 150, 250, kRed);
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(300, 200, 24, Pattern))}});
    Command(kCmdPaste);

    EXPECT_EQ(Model().Width(), 300);
    EXPECT_EQ(Model().Height(), 300);
    // The old picture at the top-left, white margins beside it.
    EXPECT_EQ(Pixel(150, 250), kRed);
    EXPECT_EQ(Pixel(250, 250), kWhite);
    EXPECT_EQ(Pixel(299, 299), kWhite);
    EXPECT_EQ(Model().UndoCount(), 1);

    EXPECT_EQ(TheToolState().CurrentTool(), kToolRectSelection);
    EXPECT_TRUE(ToolButtonChecked(kFirstToolCommand + 1));
    EXPECT_TRUE(Selected());
    EXPECT_TRUE(Selection().IsChanged());
    const RECT& placement = Selection().Placement();
    EXPECT_EQ(placement.left, 0);
    EXPECT_EQ(placement.top, 0);
    EXPECT_EQ(placement.right, 300);
    EXPECT_EQ(placement.bottom, 200);
    EXPECT_EQ(PixelAt(Selection().Content(), 0, 0), Pattern(0, 0));
    EXPECT_EQ(PixelAt(Selection().Content(), 299, 199), Pattern(299, 199));

    // Floating until another tool is chosen; then it is drawn into the picture as one step.
    EXPECT_EQ(Pixel(250, 100), kWhite);
    TheToolState().SelectTool(kToolPen);
    EXPECT_FALSE(Selected());
    EXPECT_EQ(Pixel(250, 100), Pattern(250, 100));
    EXPECT_EQ(Pixel(0, 199), Pattern(0, 199));
    EXPECT_EQ(Pixel(150, 250), kRed);
    EXPECT_EQ(Model().UndoCount(), 2);
}

TEST_F(EditCommands, PasteOfASmallerPictureKeepsThePictureSize) {
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(31, 17, 32, Pattern))}});
    Command(kCmdPaste);
    EXPECT_EQ(Model().Width(), 200);
    EXPECT_EQ(Model().Height(), 150);
    EXPECT_EQ(Model().UndoCount(), 0);
    ASSERT_TRUE(Selected());
    EXPECT_EQ(Selection().Placement().right, 31);
    EXPECT_EQ(Selection().Placement().bottom, 17);
    EXPECT_EQ(PixelAt(Selection().Content(), 30, 16), Pattern(30, 16));
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(EditCommands, PasteOfABitmapTakesACopyOfIt) {
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 12, 8);
    ReleaseDC(nullptr, screen);
    ASSERT_TRUE(bitmap);
    {
        MemoryDc dc;
        ScopedSelect select(dc, bitmap);
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 12; ++x) SetPixelV(dc, x, y, x < 6 ? kRed : kBlue);
    }
    PutOnClipboard({{CF_BITMAP, bitmap}});
    Command(kCmdPaste);
    ASSERT_TRUE(Selected());
    EXPECT_EQ(Selection().Placement().right, 12);
    EXPECT_EQ(Selection().Placement().bottom, 8);
    EXPECT_EQ(PixelAt(Selection().Content(), 0, 7), kRed);
    EXPECT_EQ(PixelAt(Selection().Content(), 11, 0), kBlue);
    // The clipboard still owns a working bitmap: a second paste gives the same picture.
    Command(kCmdPaste);
    ASSERT_TRUE(Selected());
    EXPECT_EQ(PixelAt(Selection().Content(), 11, 0), kBlue);
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
}

HENHMETAFILE RedAndBlueMetafile() {
    HDC dc = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
    if (!dc) return nullptr;
    HBRUSH red = CreateSolidBrush(kRed);
    HBRUSH blue = CreateSolidBrush(kBlue);
    const RECT whole{0, 0, 60, 40};
    const RECT inner{30, 10, 50, 30};
    FillRect(dc, &whole, red);
    FillRect(dc, &inner, blue);
    DeleteObject(red);
    DeleteObject(blue);
    return CloseEnhMetaFile(dc);
}

TEST_F(EditCommands, PasteOfAnEnhancedMetafilePlaysItIntoAPictureOfItsBounds) {
    HENHMETAFILE metafile = RedAndBlueMetafile();
    ASSERT_TRUE(metafile);
    ENHMETAHEADER header{};
    ASSERT_TRUE(GetEnhMetaFileHeader(metafile, sizeof(header), &header));
    const int width = header.rclBounds.right - header.rclBounds.left + 1;  // the bounds are inclusive
    const int height = header.rclBounds.bottom - header.rclBounds.top + 1;
    // A DIB beside it comes second: the metafile is taken.
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(7, 5, 24, Pattern))}, {CF_ENHMETAFILE, metafile}});
    Command(kCmdPaste);

    ASSERT_TRUE(Selected());
    EXPECT_EQ(TheToolState().CurrentTool(), kToolRectSelection);
    EXPECT_EQ(Selection().Placement().right, width);
    EXPECT_EQ(Selection().Placement().bottom, height);
    EXPECT_GE(width, 55);
    EXPECT_GE(height, 35);
    EXPECT_EQ(PixelAt(Selection().Content(), 10, 20), kRed);
    EXPECT_EQ(PixelAt(Selection().Content(), 40, 20), kBlue);
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(EditCommands, PasteWithOnlyTextOnTheClipboardSaysSoAndChangesNothing) {
    PutOnClipboard({{CF_UNICODETEXT, Text(L"no picture")}});
    Command(kCmdPaste);
    ASSERT_EQ(prompt_.messages.size(), 1u);
    EXPECT_EQ(prompt_.messages[0].text, TextOf(940));
    EXPECT_FALSE(prompt_.messages[0].text.empty());
    EXPECT_EQ(prompt_.messages[0].caption, L"Tessora");
    EXPECT_EQ(prompt_.messages[0].style & MB_ICONMASK, static_cast<UINT>(MB_ICONINFORMATION));
    EXPECT_EQ(prompt_.messages[0].owner, Window());
    EXPECT_FALSE(Selected());
    EXPECT_EQ(TheToolState().CurrentTool(), kToolPen);
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_EQ(ClipboardText(), L"no picture");
}

TEST_F(EditCommands, DamagedDibOnTheClipboardIsRefusedAndLosesNothing) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    auto withHeader = [](std::vector<uint8_t> bytes, void (*change)(BITMAPINFOHEADER&)) {
        BITMAPINFOHEADER header;
        std::memcpy(&header, bytes.data(), sizeof(header));
        change(header);
        std::memcpy(bytes.data(), &header, sizeof(header));
        return bytes;
    };
    const std::vector<uint8_t> good = PackedDib(10, 8, 32, Pattern);
    std::vector<uint8_t> truncated = good;
    truncated.resize(sizeof(BITMAPINFOHEADER) + 10 * 4 * 3);  // 3 of 8 rows
    std::vector<uint8_t> headerOnly(good.begin(), good.begin() + 20);
    const Case cases[] = {
        {"rows missing", truncated},
        {"header cut", headerOnly},
        {"taller than the block", withHeader(good, [](BITMAPINFOHEADER& h) { h.biHeight = 64; })},
        {"zero width", withHeader(good, [](BITMAPINFOHEADER& h) { h.biWidth = 0; })},
        {"zero height", withHeader(good, [](BITMAPINFOHEADER& h) { h.biHeight = 0; })},
        {"negative width", withHeader(good, [](BITMAPINFOHEADER& h) { h.biWidth = -10; })},
        {"huge", withHeader(good, [](BITMAPINFOHEADER& h) { h.biWidth = h.biHeight = 0x7FFFFFFF; })},
        {"huge top-down", withHeader(good, [](BITMAPINFOHEADER& h) { h.biHeight = -0x7FFFFFFF; })},
        {"header size zero", withHeader(good, [](BITMAPINFOHEADER& h) { h.biSize = 0; })},
        {"header size past the block", withHeader(good, [](BITMAPINFOHEADER& h) { h.biSize = 100000; })},
        {"colour table past the block", withHeader(good,
                                                   [](BITMAPINFOHEADER& h) {
                                                       h.biBitCount = 8;
                                                       h.biClrUsed = 256;
                                                       h.biHeight = 30;
                                                   })},
        {"no depth", withHeader(good, [](BITMAPINFOHEADER& h) { h.biBitCount = 0; })},
    };
    StartWithPicture(23, 17);
    PaintPattern();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Mark(kToolPen, RECT{3, 4, 13, 9});
        const std::vector<uint8_t> before = PictureBytes(Model().Picture());
        prompt_.messages.clear();
        PutOnClipboard({{CF_DIB, ToGlobal(c.bytes)}});
        Command(kCmdPaste);

        ASSERT_EQ(prompt_.messages.size(), 1u);
        EXPECT_EQ(prompt_.messages[0].text, TextOf(940));
        EXPECT_EQ(PictureBytes(Model().Picture()), before);
        EXPECT_EQ(Model().UndoCount(), 0);
        // The selection that was there is still there, and the clipboard still holds its data.
        EXPECT_TRUE(Selected());
        EXPECT_EQ(Selection().Placement().right, 13);
        EXPECT_TRUE(Selection().IsEmpty());
        EXPECT_EQ(TheToolState().CurrentTool(), kToolPen);
        EXPECT_EQ(ClipboardBytes(CF_DIB), c.bytes);
        Selection().Discard();
    }
}

// ---- delete, select all, crop -------------------------------------------------------------------------

TEST_F(EditCommands, DeleteErasesTheSelectionOnlyWithASelectionTool) {
    PaintPattern();
    TheColourState().SetBackground(kRed);
    for (int tool : {kToolPen, kToolFill, kToolLine}) {
        SCOPED_TRACE(tool);
        Mark(tool, RECT{40, 50, 47, 61});
        Command(kCmdClearSelection);
        EXPECT_EQ(Pixel(43, 55), Pattern(43, 55));
        EXPECT_EQ(Model().UndoCount(), 0);
        EXPECT_TRUE(Selected());
        Selection().Discard();
    }
    Mark(kToolRectSelection, RECT{40, 50, 47, 61});
    Command(kCmdClearSelection);
    for (int y = 50; y < 61; ++y)
        for (int x = 40; x < 47; ++x) EXPECT_EQ(Pixel(x, y), kRed) << x << "," << y;
    EXPECT_EQ(Pixel(47, 55), Pattern(47, 55));
    EXPECT_EQ(Pixel(43, 61), Pattern(43, 61));
    EXPECT_FALSE(Selected());
    EXPECT_EQ(Model().UndoCount(), 1);
    // Nothing selected any more: a second delete does nothing.
    Command(kCmdClearSelection);
    EXPECT_EQ(Model().UndoCount(), 1);
}

TEST_F(EditCommands, DeleteOfAPastedSelectionDropsItWithoutTouchingThePicture) {
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(20, 10, 24, Pattern))}});
    Command(kCmdPaste);
    ASSERT_TRUE(Selected());
    const std::vector<uint8_t> before = PictureBytes(Model().Picture());
    Command(kCmdClearSelection);
    EXPECT_FALSE(Selected());
    EXPECT_EQ(PictureBytes(Model().Picture()), before);
}

TEST_F(EditCommands, SelectAllChoosesTheRectangleSelectionOverTheWholePicture) {
    StartWithPicture(83, 47);
    PaintPattern();
    ASSERT_FALSE(ToolButtonChecked(kFirstToolCommand + 1));
    Command(kCmdSelectAll);
    EXPECT_TRUE(ToolButtonChecked(kFirstToolCommand + 1));
    EXPECT_FALSE(ToolButtonChecked(kFirstToolCommand + kToolPen - 1));
    EXPECT_EQ(TheToolState().CurrentTool(), kToolRectSelection);
    ASSERT_TRUE(Selected());
    const RECT& placement = Selection().Placement();
    EXPECT_EQ(placement.left, 0);
    EXPECT_EQ(placement.top, 0);
    EXPECT_EQ(placement.right, 83);
    EXPECT_EQ(placement.bottom, 47);
    EXPECT_EQ(Model().UndoCount(), 0);

    // What is selected is the whole picture, as copying shows.
    Command(kCmdCopy);
    const std::vector<uint8_t> bytes = ClipboardBytes(CF_DIB);
    ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER) + 83 * 47 * 4);
    const DibView dib{bytes};
    EXPECT_EQ(dib.Header().biWidth, 83);
    EXPECT_EQ(dib.Header().biHeight, 47);
    EXPECT_EQ(dib.Pixel(0, 0), Pattern(0, 0));
    EXPECT_EQ(dib.Pixel(82, 46), Pattern(82, 46));
}

TEST_F(EditCommands, CropMakesTheSelectionThePictureAsOneStep) {
    PaintPattern();
    Mark(kToolRectSelection, RECT{11, 3, 26, 12});
    Command(kCmdCropSelection);
    EXPECT_EQ(Model().Width(), 15);
    EXPECT_EQ(Model().Height(), 9);
    EXPECT_EQ(Pixel(0, 0), Pattern(11, 3));
    EXPECT_EQ(Pixel(14, 8), Pattern(25, 11));
    EXPECT_FALSE(Selected());
    EXPECT_EQ(Model().UndoCount(), 1);
    Command(kCmdUndo);
    EXPECT_EQ(Model().Width(), 200);
    EXPECT_EQ(Pixel(150, 100), Pattern(150, 100));
}

TEST_F(EditCommands, CropWithoutASelectionDoesNothing) {
    Command(kCmdCropSelection);
    EXPECT_EQ(Model().Width(), 200);
    EXPECT_EQ(Model().Height(), 150);
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_TRUE(prompt_.messages.empty());
}

TEST_F(EditCommands, CropOfAPastedSelectionKeepsThePastedPixels) {
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(21, 13, 24, Pattern))}});
    Command(kCmdPaste);
    Command(kCmdCropSelection);
    EXPECT_EQ(Model().Width(), 21);
    EXPECT_EQ(Model().Height(), 13);
    EXPECT_EQ(Pixel(20, 12), Pattern(20, 12));
    EXPECT_EQ(Pixel(0, 0), Pattern(0, 0));
}

// ---- while the text box is edited ----------------------------------------------------------------------

// A plain edit control registered as the text tool's edit window, shown, with the text tool current.
class TextBoxEditing : public EditCommands {
protected:
    void SetUp() override {
        EditCommands::SetUp();
        // A stroke to undo and one to redo, so the picture's history could answer if it were asked.
        ToolState& tools = TheToolState();
        for (int y : {20, 40}) {
            tools.PointerDown(true, 10, y, false);
            tools.PointerMove(true, 60, y);
            tools.PointerUp(true, 60, y);
        }
        Command(kCmdUndo);
        ASSERT_EQ(Model().UndoCount(), 1);
        ASSERT_EQ(Model().RedoCount(), 1);

        tools.SelectTool(kToolText);
        edit_ = CreateWindowExW(0, L"EDIT", L"Hello world", WS_POPUP | WS_VISIBLE | ES_AUTOHSCROLL, 0, 0, 200, 24,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
        ASSERT_TRUE(edit_);
        SetToolReceiver(ToolReceiver::TextEditor, edit_);
        ASSERT_EQ(TextModeEditWindow(), edit_);
    }
    void TearDown() override {
        SetToolReceiver(ToolReceiver::TextEditor, nullptr);
        if (edit_) DestroyWindow(edit_);
        EditCommands::TearDown();
    }
    std::wstring EditText() const {
        wchar_t text[128] = {};
        GetWindowTextW(edit_, text, 128);
        return text;
    }
    void Select(int start, int end) { SendMessageW(edit_, EM_SETSEL, start, end); }
    std::pair<DWORD, DWORD> TextSelection() const {
        DWORD start = 0, end = 0;
        SendMessageW(edit_, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        return {start, end};
    }
    void ExpectPictureUntouched() {
        EXPECT_EQ(Model().UndoCount(), 1);
        EXPECT_EQ(Model().RedoCount(), 1);
        EXPECT_EQ(Pixel(30, 20), kBlack);
        EXPECT_EQ(Pixel(30, 40), kWhite);
        EXPECT_FALSE(TheFloatingSelection().IsActive());
    }
    HWND edit_ = nullptr;
};

TEST_F(TextBoxEditing, CopyCutPasteAndDeleteWorkOnTheText) {
    Select(0, 5);
    Command(kCmdCopy);
    EXPECT_EQ(ClipboardText(), L"Hello");
    EXPECT_EQ(EditText(), L"Hello world");

    Select(5, 11);
    Command(kCmdCut);
    EXPECT_EQ(ClipboardText(), L" world");
    EXPECT_EQ(EditText(), L"Hello");

    Select(0, 0);
    Command(kCmdPaste);
    EXPECT_EQ(EditText(), L" worldHello");

    Select(0, 1);
    Command(kCmdClearSelection);
    EXPECT_EQ(EditText(), L"worldHello");
    EXPECT_EQ(ClipboardText(), L" world");
    ExpectPictureUntouched();
}

TEST_F(TextBoxEditing, PasteOfAPictureIsLeftToTheEditWindow) {
    PutOnClipboard({{CF_DIB, ToGlobal(PackedDib(8, 8, 24, Pattern))}});
    Command(kCmdPaste);
    EXPECT_EQ(EditText(), L"Hello world");
    EXPECT_TRUE(prompt_.messages.empty());
    EXPECT_EQ(TheToolState().CurrentTool(), kToolText);
    ExpectPictureUntouched();
}

TEST_F(TextBoxEditing, SelectAllSelectsTheWholeText) {
    Select(2, 3);
    Command(kCmdSelectAll);
    EXPECT_EQ(TextSelection(), std::make_pair(DWORD{0}, DWORD{11}));
    EXPECT_EQ(TheToolState().CurrentTool(), kToolText);
    ExpectPictureUntouched();
}

TEST_F(TextBoxEditing, UndoIsPostedToTheEditWindowAndRedoDoesNothing) {
    Select(0, 6);
    Command(kCmdClearSelection);
    ASSERT_EQ(EditText(), L"world");

    Command(kCmdRedo);
    EXPECT_EQ(EditText(), L"world");
    ExpectPictureUntouched();

    Command(kCmdUndo);
    // Posted, not sent: the edit window undoes when its messages are next handled.
    EXPECT_EQ(EditText(), L"world");
    MSG message;
    while (PeekMessageW(&message, edit_, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    EXPECT_EQ(EditText(), L"Hello world");
    ExpectPictureUntouched();
}

TEST_F(TextBoxEditing, AHiddenTextBoxLeavesTheCommandsToThePicture) {
    ShowWindow(edit_, SW_HIDE);
    Command(kCmdUndo);
    EXPECT_EQ(Model().UndoCount(), 0);
    EXPECT_EQ(Pixel(30, 20), kWhite);
    Command(kCmdSelectAll);
    EXPECT_EQ(TheToolState().CurrentTool(), kToolRectSelection);
    EXPECT_EQ(EditText(), L"Hello world");
}

}  // namespace
