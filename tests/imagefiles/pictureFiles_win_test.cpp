// Opening and saving picture files under Wine: every format opens with its size, depth and pixels; saves
// by extension read back; the document's name, title, flags and recent files follow; failed loads and
// saves leave the document and the previous file exactly as they were.
#include "document/pictureFiles_win.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "program/appState.h"
#include "imagefiles/bitmapOps_win.h"
#include "program/documentFlags.h"
#include "document/floatingSelection.h"
#include "document/imageModel.h"
#include "e2e/programWindow.h"
#include "imagefiles/pictureFormats.h"
#include "imagefiles/txSink.h"
#include "localisation/localisation_win.h"
#include "support/testSupport_win.h"
#include "win/gdiHandles.h"
#include "win/gdiplus.h"

namespace fs = std::filesystem;

namespace {

std::wstring UnixToWindows(std::string path) {
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    std::replace(path.begin(), path.end(), '/', '\\');
    return std::wstring(path.begin(), path.end());
}

std::wstring DataPath(const std::string& name) { return UnixToWindows(std::string(TESSORA_TEST_DATA) + "/" + name); }

std::vector<uint8_t> ReadBytes(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(fs::path(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// The pictures of the data files (see data/generate.sh).
COLORREF Pattern(int x, int y) {
    const int i = (x * 3 + y * 5 + x * y) % 8;
    return RGB(i & 4 ? 255 : 0, i & 2 ? 255 : 0, i & 1 ? 255 : 0);
}
COLORREF Many(int x, int y) { return RGB(36 * x, 60 * y, 20 * (x + y)); }
COLORREF BlackWhite(int x, int y) { return (2 * x + 3 * y + x * y) % 3 == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255); }
uint8_t AlphaOf(int x, int y) { return static_cast<uint8_t>((40 * x + 10 * y) % 256); }

// Every pixel of any bitmap as 0x00BBGGRR, top row first, read through GDI in 32 bits.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> raw;  // blue, green, red, fourth byte
    COLORREF At(int x, int y) const {
        const uint32_t p = raw[static_cast<size_t>(y) * width + x];
        return RGB(p >> 16 & 0xFF, p >> 8 & 0xFF, p & 0xFF);
    }
    uint8_t Fourth(int x, int y) const { return static_cast<uint8_t>(raw[static_cast<size_t>(y) * width + x] >> 24); }
};
Pixels ReadPixels(HBITMAP bitmap) {
    Pixels pixels;
    pixels.raw = PixelsAs32Bits(bitmap, pixels.width, pixels.height);
    return pixels;
}

uint32_t Le32(const std::vector<uint8_t>& b, size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | uint32_t{b.at(at + 3)} << 24;
}

int ChannelDistance(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

// A 32-bit picture drawn from a colour function, fourth bytes 0.
HBITMAP MakePicture(int width, int height, COLORREF (*colour)(int, int)) {
    HBITMAP bitmap = CreatePictureBitmap(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) SetPixelAt(bitmap, x, y, colour(x, y));
    return bitmap;
}

COLORREF Gradient(int x, int y) { return RGB(x * 6, y * 8, (x * y) & 0xFF); }
// Smooth enough for JPEG's subsampled colours.
COLORREF Smooth(int x, int y) { return RGB(100 + 5 * x, 80 + 6 * y, 120 + 3 * x + 2 * y); }

std::vector<std::wstring> FolderEntries(const fs::path& folder) {
    std::vector<std::wstring> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().wstring());
    std::sort(names.begin(), names.end());
    return names;
}

std::wstring ProgramUnderTest() { return UnixToWindows(TESSORA_EXE); }

class PictureFiles : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(LoadLanguageArchive(ProgramUnderTest()));
        SetCurrentLanguage(0);
    }

    void SetUp() override {
        DocumentViewHooks hooks;
        hooks.showName = [this](const std::wstring& name) { shownNames.push_back(name); };
        SetDocumentViewHooks(std::move(hooks));
        appSettings.recentFiles = {};
        appSettings.BMPWidth = 30;
        appSettings.BMPHeight = 20;
        TheFloatingSelection().Discard();
        NewPicture(nullptr, nullptr, false);
        shownNames.clear();
        prompt.messages.clear();
    }
    void TearDown() override {
        SetWriteLimitForTests(UINT64_MAX);
        SetDocumentViewHooks({});
        appSettings = AppSettings{};
        pictureHasAlpha = false;
    }

    ImageModel& Model() { return TheImageModel(); }

    // Makes the document a picture of the given colours, modified, with one step in its history.
    void MakeModifiedDocument(COLORREF (*colour)(int, int), int width = 7, int height = 5) {
        InstallDocument(MakePicture(width, height, colour), nullptr, nullptr, false);
        ASSERT_TRUE(Model().SnapshotPicture());
        shownNames.clear();
    }

    void ExpectNoMessages() {
        for (const auto& m : prompt.messages) ADD_FAILURE() << "unexpected message: " << m.text.size();
        EXPECT_TRUE(prompt.messages.empty());
    }

    void ExpectError(const std::wstring& text) {
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].text, text);
        EXPECT_EQ(prompt.messages[0].caption, TextOf(kTextProgramTitle));
        EXPECT_TRUE(prompt.messages[0].style & MB_ICONERROR);
        prompt.messages.clear();
    }

    ScriptedPrompt prompt;
    TempFolder folder;
    std::vector<std::wstring> shownNames;
};

}  // namespace

// ---- opening ------------------------------------------------------------------------------------------

TEST_F(PictureFiles, BmpFilesOfEveryDepthOpenAtTheirOwnDepth) {
    struct Case {
        const char* name;
        int depth;
        COLORREF (*colour)(int, int);
    };
    const Case cases[] = {{"bits1.bmp", 1, BlackWhite}, {"bits4.bmp", 4, Pattern},   {"bits8.bmp", 8, Many},
                          {"rle8.bmp", 8, Many},        {"bits16.bmp", 16, Pattern}, {"bits24.bmp", 24, Many},
                          {"bits32.bmp", 32, Many},     {"topdown24.bmp", 24, Many}, {"topdown32.bmp", 32, Many}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeModifiedDocument(Gradient);
        pictureHasAlpha = true;
        const std::wstring path = DataPath(c.name);
        HBITMAP loaded = LoadPictureFile(path, true);
        ASSERT_NE(loaded, nullptr);
        ExpectNoMessages();
        EXPECT_EQ(loaded, Model().Picture());
        EXPECT_EQ(Model().BitsPerPixel(), c.depth);
        ASSERT_EQ(Model().Width(), 7);
        ASSERT_EQ(Model().Height(), 5);
        const Pixels pixels = ReadPixels(Model().Picture());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) EXPECT_EQ(pixels.At(x, y), c.colour(x, y)) << x << "," << y;
        EXPECT_FALSE(pictureHasAlpha);
        EXPECT_TRUE(pictureUnmodified);
        EXPECT_EQ(Model().UndoCount(), 0);
        EXPECT_TRUE(documentHasFile);
        EXPECT_EQ(documentPath, path);
        EXPECT_EQ(fileSize, ReadBytes(path).size());
        EXPECT_NE(fileWriteTime.wYear, 0);
        ASSERT_FALSE(shownNames.empty());
        EXPECT_EQ(shownNames.back(), std::wstring(c.name, c.name + std::strlen(c.name)));
        EXPECT_EQ(appSettings.recentFiles[0], path);
    }
}

TEST_F(PictureFiles, PlatformFormatsOpenAsThirtyTwoBitPictures) {
    struct Case {
        const char* name;
        COLORREF (*colour)(int, int);
        int tolerance;
    };
    const Case cases[] = {{"rgb.png", Many, 0},
                          {"photo.jpg", Many, 24},
                          {"pattern.gif", Pattern, 0},
                          {"many.tif", Many, 0},
                          {"pattern.ico", Pattern, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pictureHasAlpha = true;
        ASSERT_NE(LoadPictureFile(DataPath(c.name), true), nullptr);
        ExpectNoMessages();
        EXPECT_EQ(Model().BitsPerPixel(), 32);
        ASSERT_EQ(Model().Width(), 7);
        ASSERT_EQ(Model().Height(), 5);
        EXPECT_FALSE(pictureHasAlpha);
        const Pixels pixels = ReadPixels(Model().Picture());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                EXPECT_LE(ChannelDistance(pixels.At(x, y), c.colour(x, y)), c.tolerance) << x << "," << y;
                EXPECT_EQ(pixels.Fourth(x, y), 255);  // opaque
            }
    }
}

TEST_F(PictureFiles, ThirtyTwoBitPngKeepsItsAlphaPremultiplied) {
    ASSERT_NE(LoadPictureFile(DataPath("rgba.png"), true), nullptr);
    EXPECT_TRUE(pictureHasAlpha);
    EXPECT_EQ(Model().BitsPerPixel(), 32);
    const Pixels pixels = ReadPixels(Model().Picture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            const uint8_t alpha = AlphaOf(x, y);
            EXPECT_EQ(pixels.Fourth(x, y), alpha);
            const COLORREF straight = Pattern(x, y);
            const COLORREF premultiplied = RGB(GetRValue(straight) * alpha / 255, GetGValue(straight) * alpha / 255,
                                               GetBValue(straight) * alpha / 255);
            EXPECT_LE(ChannelDistance(pixels.At(x, y), premultiplied), 1) << x << "," << y;
        }
    // A 24-bit PNG clears the flag again.
    ASSERT_NE(LoadPictureFile(DataPath("rgb.png"), true), nullptr);
    EXPECT_FALSE(pictureHasAlpha);
}

namespace {

// An EMF of the pattern, its frame set so that the reference device shows it 7 x 5 pixels.
void WriteEmf(const std::wstring& path) {
    HDC screen = GetDC(nullptr);
    const double perPixelX = GetDeviceCaps(screen, HORZSIZE) * 100.0 / GetDeviceCaps(screen, HORZRES);
    const double perPixelY = GetDeviceCaps(screen, VERTSIZE) * 100.0 / GetDeviceCaps(screen, VERTRES);
    const RECT frame{0, 0, static_cast<LONG>(7 * perPixelX + 0.5), static_cast<LONG>(5 * perPixelY + 0.5)};
    HDC dc = CreateEnhMetaFileW(screen, path.c_str(), &frame, nullptr);
    ReleaseDC(nullptr, screen);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            HBRUSH brush = CreateSolidBrush(Many(x, y));
            const RECT pixel{x, y, x + 1, y + 1};
            FillRect(dc, &pixel, brush);
            DeleteObject(brush);
        }
    DeleteEnhMetaFile(CloseEnhMetaFile(dc));
}

// A Windows metafile of the pattern in a 7 x 5 window; with a placeable header in front when asked.
void WriteWmf(const std::wstring& path, bool placeable) {
    HDC dc = CreateMetaFileW(nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);
    SetWindowExtEx(dc, 7, 5, nullptr);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            HBRUSH brush = CreateSolidBrush(Pattern(x, y));
            const RECT pixel{x, y, x + 1, y + 1};
            FillRect(dc, &pixel, brush);
            DeleteObject(brush);
        }
    HMETAFILE metafile = CloseMetaFile(dc);
    std::vector<uint8_t> records(GetMetaFileBitsEx(metafile, 0, nullptr));
    GetMetaFileBitsEx(metafile, static_cast<UINT>(records.size()), records.data());
    DeleteMetaFile(metafile);
    std::vector<uint8_t> bytes;
    if (placeable) {
        HDC screen = GetDC(nullptr);
        const WORD inch = static_cast<WORD>(GetDeviceCaps(screen, LOGPIXELSX));
        ReleaseDC(nullptr, screen);
        const WORD header[10] = {0xCDD7, 0x9AC6, 0, 0, 0, 7, 5, inch, 0, 0};
        WORD checksum = 0;
        for (WORD w : header) checksum ^= w;
        bytes.resize(22);
        std::memcpy(bytes.data(), header, sizeof(header));
        std::memcpy(bytes.data() + 20, &checksum, 2);
    }
    bytes.insert(bytes.end(), records.begin(), records.end());
    WriteBytes(path, bytes);
}

}  // namespace

TEST_F(PictureFiles, MetafilesArePlayedOntoWhite) {
    const std::wstring emf = folder.File(L"drawing.emf");
    WriteEmf(emf);
    ASSERT_NE(LoadPictureFile(emf, true), nullptr);
    ExpectNoMessages();
    ASSERT_EQ(Model().Width(), 7);
    ASSERT_EQ(Model().Height(), 5);
    Pixels pixels = ReadPixels(Model().Picture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(pixels.At(x, y), Many(x, y)) << "emf " << x << "," << y;

    for (bool placeable : {false, true}) {
        const std::wstring wmf = folder.File(placeable ? L"placeable.wmf" : L"plain.wmf");
        WriteWmf(wmf, placeable);
        ASSERT_NE(LoadPictureFile(wmf, true), nullptr);
        ExpectNoMessages();
        ASSERT_EQ(Model().Width(), 7);
        ASSERT_EQ(Model().Height(), 5);
        pixels = ReadPixels(Model().Picture());
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) EXPECT_EQ(pixels.At(x, y), Pattern(x, y)) << placeable << " " << x << "," << y;
    }
}

TEST_F(PictureFiles, AnEmptyFileOpensAsAWhitePictureCarryingItsName) {
    const std::wstring path = folder.File(L"x.png");
    WriteBytes(path, {});
    MakeModifiedDocument(Gradient);
    ASSERT_NE(LoadPictureFile(path, true), nullptr);
    ExpectNoMessages();
    EXPECT_EQ(Model().Width(), 30);
    EXPECT_EQ(Model().Height(), 20);
    EXPECT_EQ(ReadPixels(Model().Picture()).At(29, 19), RGB(255, 255, 255));
    ASSERT_FALSE(shownNames.empty());
    EXPECT_EQ(shownNames.back(), L"x.png");
    EXPECT_TRUE(documentHasFile);
    EXPECT_EQ(documentPath, path);
    EXPECT_EQ(fileSize, 0u);
    EXPECT_EQ(Model().UndoCount(), 0);
    // Pasting from an empty file gives nothing.
    EXPECT_EQ(LoadPictureFile(path, false), nullptr);
    ExpectError(TextOf(kTextLoadFailed) + L"\r\n\r\n" + path);
}

TEST_F(PictureFiles, TruncatedCorruptAndMissingFilesLeaveTheDocumentAsItWas) {
    const std::wstring emf = folder.File(L"drawing.emf");
    WriteEmf(emf);
    const std::wstring wmf = folder.File(L"drawing.wmf");
    WriteWmf(wmf, true);
    std::vector<std::wstring> sources;
    for (const char* name :
         {"bits1.bmp", "bits4.bmp", "bits8.bmp", "rle8.bmp", "bits16.bmp", "bits24.bmp", "bits32.bmp", "topdown24.bmp",
          "rgb.png", "rgba.png", "photo.jpg", "pattern.gif", "many.tif", "pattern.ico"})
        sources.push_back(DataPath(name));
    sources.push_back(emf);
    sources.push_back(wmf);

    MakeModifiedDocument(Gradient, 9, 4);
    HBITMAP before = Model().Picture();
    const std::wstring pathBefore = documentPath;
    auto expectUnchanged = [&](const std::wstring& path) {
        EXPECT_EQ(LoadPictureFile(path, true), nullptr);
        ExpectError(TextOf(kTextLoadFailed) + L"\r\n\r\n" + path);
        EXPECT_EQ(Model().Picture(), before);
        EXPECT_EQ(Model().UndoCount(), 1);  // the history is the user's work: not given up for a bad file
        EXPECT_FALSE(pictureUnmodified);
        EXPECT_EQ(documentPath, pathBefore);
        EXPECT_TRUE(shownNames.empty());
        EXPECT_EQ(appSettings.recentFiles[0], L"");
    };
    int index = 0;
    for (const std::wstring& source : sources) {
        SCOPED_TRACE(fs::path(source).filename().string());
        const std::vector<uint8_t> whole = ReadBytes(source);
        ASSERT_GT(whole.size(), 16u);
        const std::wstring extension = fs::path(source).extension().wstring();
        // Cut to a half, to just past the signature and to all but its closing bytes (where those carry data).
        for (size_t length : {whole.size() / 2, size_t{12}, whole.size() - 3}) {
            if (length == whole.size() - 3 && extension == L".gif") continue;  // only its trailer is gone
            const std::wstring path = folder.File(L"cut" + std::to_wstring(index++) + extension);
            WriteBytes(path, std::vector<uint8_t>(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length)));
            expectUnchanged(path);
        }
        // The header overwritten after the signature.
        std::vector<uint8_t> corrupt = whole;
        std::fill(corrupt.begin() + 4, corrupt.begin() + 16, uint8_t{0xFF});
        const std::wstring path = folder.File(L"corrupt" + std::to_wstring(index++) + extension);
        WriteBytes(path, corrupt);
        expectUnchanged(path);
    }
    expectUnchanged(DataPath("bitfields41.bmp"));  // a header that ends inside its bit-field masks
    expectUnchanged(folder.File(L"missing.png"));
    expectUnchanged(folder.Path().wstring());            // a folder
    expectUnchanged(folder.File(L"*.png"));              // a pattern names no file
    expectUnchanged(std::wstring(600, L'a') + L".png");  // too long for a document path
    const std::wstring text = folder.File(L"notes.png");
    WriteBytes(text, {'h', 'e', 'l', 'l', 'o'});
    expectUnchanged(text);

    // Headers that claim more pixels than a picture may have, on otherwise whole files: refused before any
    // decoder tries to make room for them.
    auto put16 = [](std::vector<uint8_t>& b, size_t at, uint16_t v, bool big) {
        b[at + (big ? 1 : 0)] = static_cast<uint8_t>(v);
        b[at + (big ? 0 : 1)] = static_cast<uint8_t>(v >> 8);
    };
    std::vector<uint8_t> huge = ReadBytes(DataPath("bits24.bmp"));
    for (size_t at : {18, 22}) huge[at] = 0xFF, huge[at + 1] = 0xFF, huge[at + 2] = 0, huge[at + 3] = 0;
    const std::wstring hugeBmp = folder.File(L"huge.bmp");
    WriteBytes(hugeBmp, huge);
    expectUnchanged(hugeBmp);
    huge = ReadBytes(DataPath("rgb.png"));  // IHDR: 20000 x 20000, and its checksum made right again
    for (size_t at : {16, 20}) huge[at] = 0, huge[at + 1] = 0, put16(huge, at + 2, 20000, true);
    const uLong crc = crc32(0, huge.data() + 12, 17);
    for (int i = 0; i < 4; ++i) huge[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    const std::wstring hugePng = folder.File(L"huge.png");
    WriteBytes(hugePng, huge);
    expectUnchanged(hugePng);
    huge = ReadBytes(DataPath("pattern.gif"));  // the logical screen
    put16(huge, 6, 65535, false), put16(huge, 8, 65535, false);
    const std::wstring hugeGif = folder.File(L"huge.gif");
    WriteBytes(hugeGif, huge);
    expectUnchanged(hugeGif);
    huge = ReadBytes(DataPath("photo.jpg"));  // the frame header
    const uint8_t startOfFrame[] = {0xFF, 0xC0};
    const auto frame = std::search(huge.begin(), huge.end(), std::begin(startOfFrame), std::end(startOfFrame));
    ASSERT_NE(frame, huge.end());
    const size_t sof = static_cast<size_t>(frame - huge.begin());
    put16(huge, sof + 5, 65535, true), put16(huge, sof + 7, 65535, true);
    const std::wstring hugeJpeg = folder.File(L"huge.jpg");
    WriteBytes(hugeJpeg, huge);
    expectUnchanged(hugeJpeg);
    // A TIFF directory of two entries: width and length of 65535 each.
    std::vector<uint8_t> tiff = {'I', 'I', 42, 0, 8, 0, 0, 0, 2, 0};
    for (uint16_t tag : {256, 257})
        tiff.insert(tiff.end(),
                    {static_cast<uint8_t>(tag), static_cast<uint8_t>(tag >> 8), 3, 0, 1, 0, 0, 0, 0xFF, 0xFF, 0, 0});
    tiff.insert(tiff.end(), {0, 0, 0, 0});
    const std::wstring hugeTiff = folder.File(L"huge.tif");
    WriteBytes(hugeTiff, tiff);
    expectUnchanged(hugeTiff);

    // One byte under each picture extension, and a folder named like a picture.
    for (const wchar_t* extension : {L".bmp", L".png", L".jpg", L".gif", L".tif", L".ico", L".emf", L".wmf"}) {
        const std::wstring one = folder.File(std::wstring(L"one") + extension);
        WriteBytes(one, {'B'});
        expectUnchanged(one);
    }
    const std::wstring album = folder.File(L"album.png");
    ASSERT_TRUE(CreateDirectoryW(album.c_str(), nullptr));
    expectUnchanged(album);
}

TEST_F(PictureFiles, APictureTheDocumentCannotTakeLeavesItsPictureNameAndFlags) {
    // The document is a saved file, changed since.
    MakeModifiedDocument(Gradient, 9, 4);
    const std::wstring saved = folder.File(L"saved.bmp");
    ASSERT_TRUE(Model().SaveToFile(saved));
    ASSERT_TRUE(Model().SnapshotPicture());
    const std::wstring pathBefore = documentPath;
    HBITMAP before = Model().Picture();
    const int undoBefore = Model().UndoCount();
    shownNames.clear();
    prompt.messages.clear();
    // GDI selects a bitmap into one DC at a time: held by another, it cannot go into the document's.
    MemoryDc holder;
    SetBeforeInstallHookForTests([&](HBITMAP loaded) { ASSERT_NE(SelectObject(holder, loaded), nullptr); });
    const std::wstring opened = DataPath("rgba.png");
    EXPECT_EQ(LoadPictureFile(opened, true), nullptr);
    SetBeforeInstallHookForTests({});

    ASSERT_FALSE(prompt.messages.empty());
    EXPECT_EQ(prompt.messages.back().text, TextOf(kTextLoadFailed) + L"\r\n\r\n" + opened);
    EXPECT_EQ(Model().Picture(), before);
    EXPECT_EQ(Model().UndoCount(), undoBefore);
    EXPECT_FALSE(pictureUnmodified);
    EXPECT_FALSE(pictureHasAlpha);
    EXPECT_EQ(documentPath, pathBefore);
    EXPECT_TRUE(shownNames.empty());
    EXPECT_EQ(appSettings.recentFiles[0], pathBefore);
}

TEST_F(PictureFiles, APasteFromAFileLeavesTheDocumentAlone) {
    MakeModifiedDocument(Gradient);
    HBITMAP before = Model().Picture();
    const std::wstring pathBefore = documentPath;
    HBITMAP pasted = LoadPictureFile(DataPath("rgba.png"), false);
    ASSERT_NE(pasted, nullptr);
    ExpectNoMessages();
    EXPECT_NE(pasted, before);
    EXPECT_EQ(Model().Picture(), before);
    EXPECT_EQ(Model().UndoCount(), 1);
    EXPECT_FALSE(pictureUnmodified);
    EXPECT_FALSE(pictureHasAlpha);  // describes the document, whose fourth bytes are no alpha
    EXPECT_EQ(documentPath, pathBefore);
    EXPECT_FALSE(documentHasFile);
    EXPECT_TRUE(shownNames.empty());
    EXPECT_EQ(appSettings.recentFiles[0], L"");
    EXPECT_EQ(BitmapWidth(pasted), 7);
    EXPECT_EQ(ReadPixels(pasted).Fourth(1, 0), AlphaOf(1, 0));
    DeleteObject(pasted);
}

TEST_F(PictureFiles, ANewPictureHasNoFile) {
    LoadPictureFile(DataPath("bits24.bmp"), true);
    shownNames.clear();
    ASSERT_NE(NewPicture(nullptr, nullptr, false), nullptr);
    EXPECT_EQ(documentPath, TextOf(kTextUntitledPicture));
    EXPECT_EQ(documentPath, L"Unbenannt");
    EXPECT_FALSE(documentHasFile);
    EXPECT_EQ(fileSize, 0u);
    EXPECT_EQ(fileWriteTime.wYear, 0);
    ASSERT_EQ(shownNames.size(), 1u);
    EXPECT_EQ(shownNames[0], L"Unbenannt");
    EXPECT_EQ(Model().Width(), 30);
    EXPECT_EQ(Model().BitsPerPixel(), 32);
    EXPECT_TRUE(pictureUnmodified);
    EXPECT_GT(resolutionX, 0.0f);
    // A stored size that is no picture size gives the default one.
    appSettings.BMPWidth = 0;
    ASSERT_NE(NewPicture(nullptr, nullptr, false), nullptr);
    EXPECT_EQ(Model().Width(), 800);
    EXPECT_EQ(Model().Height(), 600);
}

// ---- saving -------------------------------------------------------------------------------------------

TEST_F(PictureFiles, BmpSavesGoThroughTheProgramsWriterAtTheirOwnDepth) {
    MakeModifiedDocument(Many);
    SetPixelAt(Model().Picture(), 2, 3, RGB(1, 2, 3));
    const std::wstring path = folder.File(L"a.BMP");
    ASSERT_TRUE(Model().SaveToFile(path));
    ExpectNoMessages();
    const std::vector<uint8_t> bytes = ReadBytes(path);
    ASSERT_EQ(bytes.size(), 54u + 7 * 5 * 4);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[10], 54);  // the bits right after the headers: no table for 32 bits
    EXPECT_EQ(bytes[28], 32);
    EXPECT_EQ(Le32(bytes, 46), 0u);
    EXPECT_TRUE(pictureUnmodified);
    EXPECT_TRUE(documentHasFile);
    EXPECT_EQ(documentPath, path);
    EXPECT_EQ(fileSize, bytes.size());
    ASSERT_FALSE(shownNames.empty());
    EXPECT_EQ(shownNames.back(), L"a.BMP");
    EXPECT_EQ(appSettings.recentFiles[0], path);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::wstring>{L"a.BMP"});

    ASSERT_NE(LoadPictureFile(path, true), nullptr);
    const Pixels pixels = ReadPixels(Model().Picture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            EXPECT_EQ(pixels.At(x, y), x == 2 && y == 3 ? RGB(1, 2, 3) : Many(x, y)) << x << "," << y;

    // Pictures of lower depths keep their depth, colour table and pixels.
    for (const char* name : {"bits1.bmp", "bits4.bmp", "bits8.bmp", "bits16.bmp", "bits24.bmp"}) {
        SCOPED_TRACE(name);
        ASSERT_NE(LoadPictureFile(DataPath(name), true), nullptr);
        const int depth = Model().BitsPerPixel();
        const Pixels original = ReadPixels(Model().Picture());
        const std::wstring copy = folder.File(L"copy.bmp");
        ASSERT_TRUE(Model().SaveToFile(copy));
        const std::vector<uint8_t> written = ReadBytes(copy);
        BmpFileLayout layout;
        ASSERT_TRUE(MeasureBmpFile(7, 5, 1, static_cast<uint32_t>(depth), layout));
        ASSERT_EQ(written.size(), layout.fileSize);
        EXPECT_EQ(Le32(written, 10), layout.bitsOffset);
        EXPECT_EQ(Le32(written, 46), layout.tableEntries);
        ASSERT_NE(LoadPictureFile(copy, true), nullptr);
        EXPECT_EQ(Model().BitsPerPixel(), depth);
        EXPECT_EQ(ReadPixels(Model().Picture()).raw, original.raw);
    }
}

TEST_F(PictureFiles, PngSavesWithAndWithoutAlpha) {
    // Without alpha: colour only, the fourth bytes not written.
    MakeModifiedDocument(Many);
    const std::wstring plain = folder.File(L"plain.png");
    ASSERT_TRUE(Model().SaveToFile(plain));
    ExpectNoMessages();
    std::vector<uint8_t> bytes = ReadBytes(plain);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes[1], 'P');
    EXPECT_EQ(bytes[25], 2);  // colour type: RGB
    ASSERT_NE(LoadPictureFile(plain, true), nullptr);
    EXPECT_FALSE(pictureHasAlpha);
    Pixels pixels = ReadPixels(Model().Picture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(pixels.At(x, y), Many(x, y));

    // A palette picture is written with its palette.
    ASSERT_NE(LoadPictureFile(DataPath("bits4.bmp"), true), nullptr);
    const std::wstring indexed = folder.File(L"indexed.png");
    ASSERT_TRUE(Model().SaveToFile(indexed));
    bytes = ReadBytes(indexed);
    ASSERT_GT(bytes.size(), 26u);
    EXPECT_EQ(bytes[25], 3);  // colour type: palette
    ASSERT_NE(LoadPictureFile(indexed, true), nullptr);
    pixels = ReadPixels(Model().Picture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(pixels.At(x, y), Pattern(x, y));

    // With alpha: the PNG writer with alpha, alpha kept.
    ASSERT_NE(LoadPictureFile(DataPath("rgba.png"), true), nullptr);
    ASSERT_TRUE(pictureHasAlpha);
    const Pixels original = ReadPixels(Model().Picture());
    const std::wstring withAlpha = folder.File(L"alpha.png");
    ASSERT_TRUE(Model().SaveToFile(withAlpha));
    ExpectNoMessages();
    EXPECT_TRUE(pictureHasAlpha);
    bytes = ReadBytes(withAlpha);
    EXPECT_EQ(bytes[25], 6);  // colour type: RGB with alpha
    ASSERT_NE(LoadPictureFile(withAlpha, true), nullptr);
    EXPECT_TRUE(pictureHasAlpha);
    pixels = ReadPixels(Model().Picture());
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) {
            EXPECT_EQ(pixels.Fourth(x, y), original.Fourth(x, y));
            EXPECT_LE(ChannelDistance(pixels.At(x, y), original.At(x, y)), 1) << x << "," << y;
        }
}

TEST_F(PictureFiles, PlatformFormatsReadBack) {
    struct Case {
        const wchar_t* name;
        const char* signature;
        COLORREF (*colour)(int, int);
        int tolerance;
    };
    const Case cases[] = {{L"a.jpg", "\xFF\xD8\xFF", Smooth, 12},
                          {L"a.gif", "GIF8", Pattern, 0},
                          {L"a.tif", "II*", Pattern, 0},
                          {L"a.TIFF", "II*", Many, 0},
                          {L"a.dib", "BM", Pattern, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::wstring(c.name).size());
        MakeModifiedDocument(c.colour);
        pictureHasAlpha = true;
        const std::wstring path = folder.File(c.name);
        ASSERT_TRUE(Model().SaveToFile(path));
        ExpectNoMessages();
        EXPECT_FALSE(pictureHasAlpha);
        EXPECT_TRUE(pictureUnmodified);
        EXPECT_EQ(documentPath, path);
        const std::vector<uint8_t> bytes = ReadBytes(path);
        ASSERT_GE(bytes.size(), std::strlen(c.signature));
        EXPECT_EQ(std::memcmp(bytes.data(), c.signature, std::strlen(c.signature)), 0);
        ASSERT_NE(LoadPictureFile(path, true), nullptr);
        const Pixels pixels = ReadPixels(Model().Picture());
        ASSERT_EQ(pixels.width, 7);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                EXPECT_LE(ChannelDistance(pixels.At(x, y), c.colour(x, y)), c.tolerance) << x << "," << y;
    }
}

TEST_F(PictureFiles, GifOfManyColoursIsWrittenAsAnIndexedPicture) {
    // More than 256 colours: reduced to the standard palette with error diffusion, and the written file
    // decodes (GDI+ handed a true-colour picture would write a broken 24-byte file and report success).
    MakeModifiedDocument(Gradient, 41, 31);
    const std::wstring path = folder.File(L"many.gif");
    ASSERT_TRUE(Model().SaveToFile(path));
    ExpectNoMessages();
    EXPECT_GT(ReadBytes(path).size(), 100u);
    ASSERT_NE(LoadPictureFile(path, true), nullptr);
    ASSERT_EQ(Model().Width(), 41);
    ASSERT_EQ(Model().Height(), 31);
    const Pixels pixels = ReadPixels(Model().Picture());
    long total = 0;
    for (int y = 0; y < 31; ++y)
        for (int x = 0; x < 41; ++x) total += ChannelDistance(pixels.At(x, y), Gradient(x, y));
    EXPECT_LT(total / (41 * 31), 40);

    // Every encoded result is confirmed by decoding it once.
    HBITMAP picture = MakePicture(5, 3, Gradient);
    GdiplusSession session;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(EncodeWithPlatformTo(picture, *FormatEntryOf(L"x.gif"), bytes));
    EXPECT_EQ(std::memcmp(bytes.data(), "GIF8", 4), 0);
    EXPECT_FALSE(EncodeWithPlatformTo(nullptr, *FormatEntryOf(L"x.gif"), bytes));
    EXPECT_TRUE(bytes.empty());
    DeleteObject(picture);
}

TEST_F(PictureFiles, UnknownExtensionFailsAndLeavesThePictureModified) {
    MakeModifiedDocument(Many);
    const std::wstring path = folder.File(L"a.xyz");
    EXPECT_FALSE(Model().SaveToFile(path));
    ExpectError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + path);
    EXPECT_FALSE(pictureUnmodified);
    EXPECT_FALSE(documentHasFile);
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
    EXPECT_FALSE(Model().SaveToFile(folder.File(L"noextension")));
    ExpectError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + folder.File(L"noextension"));
}

TEST_F(PictureFiles, CopyingTheSelectionToAFileLeavesTheDocumentAlone) {
    MakeModifiedDocument(Many);
    const std::wstring document = folder.File(L"doc.bmp");
    ASSERT_TRUE(Model().SaveToFile(document));
    SetPixelAt(Model().Picture(), 0, 0, RGB(9, 9, 9));
    ASSERT_TRUE(Model().SnapshotPicture());
    shownNames.clear();

    FloatingSelection& selection = TheFloatingSelection();
    selection.SetRectangle(POINT{1, 1}, POINT{5, 4});
    selection.SetActive(true);
    HBITMAP content = selection.ContentFromPicture();
    ASSERT_NE(content, nullptr);
    const std::wstring part = folder.File(L"part.png");
    ASSERT_TRUE(WritePictureFile(content, part, false));
    ExpectNoMessages();
    DeleteObject(content);
    selection.Discard();

    const std::vector<uint8_t> bytes = ReadBytes(part);
    ASSERT_GT(bytes.size(), 8u);
    EXPECT_EQ(std::memcmp(bytes.data(), "\x89PNG", 4), 0);
    EXPECT_EQ(documentPath, document);
    EXPECT_FALSE(pictureUnmodified);  // the document itself is as unsaved as before
    EXPECT_TRUE(shownNames.empty());
    EXPECT_EQ(appSettings.recentFiles[0], document);
    HBITMAP read = LoadPictureFile(part, false);
    ASSERT_NE(read, nullptr);
    const Pixels pixels = ReadPixels(read);
    ASSERT_EQ(pixels.width, 4);
    ASSERT_EQ(pixels.height, 3);
    EXPECT_EQ(pixels.At(0, 0), Many(1, 1));
    EXPECT_EQ(pixels.At(3, 2), Many(4, 3));
    DeleteObject(read);
}

TEST_F(PictureFiles, AFailedSaveLeavesThePreviousFileByteForByte) {
    const std::vector<uint8_t> previous = ReadBytes(DataPath("bits24.bmp"));
    struct Case {
        const wchar_t* name;
        bool alpha;
    };
    for (const Case& c : {Case{L"old.bmp", false}, Case{L"old.png", true}, Case{L"old.png", false},
                          Case{L"old.jpg", false}, Case{L"old.gif", false}}) {
        SCOPED_TRACE(std::wstring(c.name).size());
        if (c.alpha) {
            ASSERT_NE(LoadPictureFile(DataPath("rgba.png"), true), nullptr);
            ASSERT_TRUE(Model().SnapshotPicture());
        } else {
            MakeModifiedDocument(Gradient, 40, 30);
        }
        const std::wstring path = folder.File(c.name);
        WriteBytes(path, previous);
        // The disk fills up after 100 bytes.
        SetWriteLimitForTests(100);
        EXPECT_FALSE(Model().SaveToFile(path));
        SetWriteLimitForTests(UINT64_MAX);
        ASSERT_EQ(prompt.messages.size(), 1u);
        EXPECT_EQ(prompt.messages[0].text.rfind(TextOf(kTextSaveFailed), 0), 0u);
        prompt.messages.clear();
        EXPECT_EQ(ReadBytes(path), previous);
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::wstring>{c.name});
        EXPECT_FALSE(pictureUnmodified);
        fs::remove(path);
    }

    // A read-only file is not replaced.
    MakeModifiedDocument(Gradient);
    const std::wstring locked = folder.File(L"locked.bmp");
    WriteBytes(locked, previous);
    ASSERT_TRUE(SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(Model().SaveToFile(locked));
    ExpectError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + locked + L"\r\n\r\n");
    EXPECT_EQ(ReadBytes(locked), previous);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::wstring>{L"locked.bmp"});
    SetFileAttributesW(locked.c_str(), FILE_ATTRIBUTE_NORMAL);

    // A folder that is not there.
    const std::wstring gone = folder.File(L"gone\\x.png");
    EXPECT_FALSE(Model().SaveToFile(gone));
    ExpectError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + gone);
    EXPECT_FALSE(pictureUnmodified);
}

TEST_F(PictureFiles, AFailedWriteOfTheRasterCoreKeepsThePreviousFile) {
    // A palette picture's PNG comes from the raster core's writer through the save's sink: a disk that
    // fills up at any point of it fails the write and leaves the previous file, and no temporary one.
    ASSERT_NE(LoadPictureFile(DataPath("bits4.bmp"), true), nullptr);
    const std::wstring whole = folder.File(L"whole.png");
    ASSERT_TRUE(WritePlainPng(whole, Model().Picture()));
    const std::vector<uint8_t> written = ReadBytes(whole);
    ASSERT_GT(written.size(), 26u);
    ASSERT_EQ(written[25], 3);  // colour type: palette, so the raster core wrote it
    fs::remove(fs::path(whole));
    const std::vector<uint8_t> previous = ReadBytes(DataPath("bits24.bmp"));
    const std::wstring path = folder.File(L"old.png");
    for (uint64_t limit : {uint64_t{0}, uint64_t{40}, uint64_t{written.size() - 1}}) {
        SCOPED_TRACE(limit);
        WriteBytes(path, previous);
        SetWriteLimitForTests(limit);
        EXPECT_FALSE(WritePlainPng(path, Model().Picture()));
        SetWriteLimitForTests(UINT64_MAX);
        EXPECT_EQ(ReadBytes(path), previous);
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::wstring>{L"old.png"});
    }
}

namespace {

// The calls of a save, counted by kind; from the chosen call of the chosen kind on, every call of that
// kind fails as the system's would (a full disk for the writes).
class FailingSaveCalls final : public SaveFileCalls {
public:
    enum Kind { create, write, flush, close, replace, kinds };
    FailingSaveCalls(Kind kind, int from) : failKind_(kind), failFrom_(from) { SetSaveFileCalls(this); }
    ~FailingSaveCalls() override { SetSaveFileCalls(nullptr); }
    int calls[kinds] = {};

    HANDLE CreateNew(const std::wstring& path) override {
        return Fails(create, ERROR_ACCESS_DENIED) ? INVALID_HANDLE_VALUE : SaveFileCalls::CreateNew(path);
    }
    bool Write(HANDLE file, const void* data, DWORD bytes, DWORD& written) override {
        return !Fails(write, ERROR_DISK_FULL) && SaveFileCalls::Write(file, data, bytes, written);
    }
    bool Flush(HANDLE file) override { return !Fails(flush, ERROR_WRITE_FAULT) && SaveFileCalls::Flush(file); }
    bool Close(HANDLE file) override {
        const bool closed = SaveFileCalls::Close(file);  // the handle goes either way
        return !Fails(close, ERROR_WRITE_FAULT) && closed;
    }
    bool Replace(const std::wstring& from, const std::wstring& to) override {
        return !Fails(replace, ERROR_SHARING_VIOLATION) && SaveFileCalls::Replace(from, to);
    }

private:
    bool Fails(Kind kind, DWORD error) {
        ++calls[kind];
        if (kind != failKind_ || calls[kind] < failFrom_) return false;
        SetLastError(error);
        return true;
    }
    Kind failKind_;
    int failFrom_;
};

}  // namespace

TEST_F(PictureFiles, EveryStepOfASaveThatFailsLeavesThePreviousFileAndNoTemporaryOne) {
    const std::vector<uint8_t> previous = ReadBytes(DataPath("bits24.bmp"));
    for (const wchar_t* name : {L"old.bmp", L"alpha.png", L"old.png", L"old.jpg", L"old.gif"}) {
        const bool alpha = std::wstring(name) == L"alpha.png";
        // A BMP large enough for the writers' buffer to be written out more than once.
        const bool bmp = std::wstring(name) == L"old.bmp";
        MakeModifiedDocument(Gradient, bmp ? 300 : 40, bmp ? 220 : 30);
        pictureHasAlpha = alpha;
        const std::wstring path = folder.File(name);
        // A save without failures tells how many writes it makes.
        int writes = 0;
        {
            FailingSaveCalls counting(FailingSaveCalls::kinds, 0);
            ASSERT_TRUE(Model().SaveToFile(path));
            writes = counting.calls[FailingSaveCalls::write];
        }
        ASSERT_GE(writes, 1);
        std::vector<std::pair<FailingSaveCalls::Kind, int>> steps = {{FailingSaveCalls::create, 1},
                                                                     {FailingSaveCalls::flush, 1},
                                                                     {FailingSaveCalls::close, 1},
                                                                     {FailingSaveCalls::replace, 1}};
        for (int n = 1; n <= writes; ++n) steps.emplace_back(FailingSaveCalls::write, n);
        for (const auto& [kind, from] : steps) {
            SCOPED_TRACE(testing::Message() << std::wstring(name).size() << " kind " << kind << " from " << from);
            ASSERT_TRUE(Model().SnapshotPicture());  // modified again
            WriteBytes(path, previous);
            {
                FailingSaveCalls failing(kind, from);
                EXPECT_FALSE(Model().SaveToFile(path));
            }
            ASSERT_EQ(prompt.messages.size(), 1u);
            EXPECT_EQ(prompt.messages[0].text.rfind(TextOf(kTextSaveFailed), 0), 0u);
            prompt.messages.clear();
            EXPECT_EQ(ReadBytes(path), previous);
            EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::wstring>{name});
            EXPECT_FALSE(pictureUnmodified);
            EXPECT_EQ(pictureHasAlpha, alpha);
        }
        fs::remove(path);
    }
}

TEST_F(PictureFiles, AFailedAlphaPngSaveIsReportedAndKeepsTheAlpha) {
    // Black pixels, each transparent or opaque at random: the PNG with alpha carries the noise, while the
    // platform's opaque encoding is all black and far smaller, so a full disk stops only the first.
    constexpr int kSide = 128;
    HBITMAP picture = CreatePictureBitmap(kSide, kSide, 32);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(picture, sizeof(section), &section), static_cast<int>(sizeof(section)));
    uint32_t state = 7;
    auto* pixels = static_cast<uint32_t*>(section.dsBm.bmBits);
    for (int i = 0; i < kSide * kSide; ++i) {
        state = state * 1103515245u + 12345u;
        pixels[i] = state & 0x10000 ? 0xFF000000u : 0;
    }
    InstallDocument(picture, nullptr, nullptr, false);
    ASSERT_TRUE(Model().SnapshotPicture());
    pictureHasAlpha = true;
    constexpr uint64_t kDiskSpace = 1500;
    const std::wstring ours = folder.File(L"ours.png"), platform = folder.File(L"platform.png");
    ASSERT_TRUE(WriteAlphaPng(ours, Model().Picture()));
    {
        GdiplusSession session;
        ASSERT_TRUE(EncodeWithPlatform(Model().Picture(), platform));
    }
    ASSERT_GT(fs::file_size(fs::path(ours)), kDiskSpace);
    ASSERT_LT(fs::file_size(fs::path(platform)), kDiskSpace);

    const std::wstring path = folder.File(L"picture.png");
    const std::vector<uint8_t> previous = ReadBytes(DataPath("rgb.png"));
    WriteBytes(path, previous);
    const std::wstring pathBefore = documentPath;
    SetWriteLimitForTests(kDiskSpace);
    EXPECT_FALSE(Model().SaveToFile(path));
    SetWriteLimitForTests(UINT64_MAX);
    ExpectError(TextOf(kTextSaveFailed) + L"\r\n\r\n" + path);
    EXPECT_EQ(ReadBytes(path), previous);
    EXPECT_TRUE(pictureHasAlpha);
    EXPECT_FALSE(pictureUnmodified);
    EXPECT_EQ(documentPath, pathBefore);
}

TEST_F(PictureFiles, TheTemporaryFileOfASaveIsBesideTheTargetAndNoLongerNamed) {
    // A save next to the path length limit must be able to create its temporary file too.
    for (const std::wstring name : {L"a.png", L"picture.bmp", L"a picture with a long name.jpeg"}) {
        SCOPED_TRACE(name.size());
        const std::wstring path = folder.File(name);
        WriteBytes(path, {1, 2, 3});
        std::vector<std::wstring> during;
        ASSERT_TRUE(WriteFileReplacing(path, [&](TxSink& sink) {
            during = FolderEntries(folder.Path());
            return sink.Write("new", 3);
        }));
        ASSERT_EQ(during.size(), 2u);
        const std::wstring temporary = during[0] == name ? during[1] : during[0];
        EXPECT_LE(temporary.size(), name.size());
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::wstring>{name});
        EXPECT_EQ(ReadBytes(path), (std::vector<uint8_t>{'n', 'e', 'w'}));
        fs::remove(fs::path(path));
    }
}

TEST_F(PictureFiles, ASaveReplacesAnExistingFile) {
    const std::wstring path = folder.File(L"over.bmp");
    WriteBytes(path, std::vector<uint8_t>(5000, 0xAB));
    MakeModifiedDocument(Many);
    ASSERT_TRUE(Model().SaveToFile(path));
    EXPECT_EQ(ReadBytes(path).size(), 54u + 140);
    EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::wstring>{L"over.bmp"});
}

// ---- the program itself -------------------------------------------------------------------------------

TEST(PictureFilesProgram, APictureNamedOnTheCommandLineOpensAndNamesTheWindow) {
    // A copy beside this test, where the program may keep its settings file (portable mode).
    wchar_t self[MAX_PATH * 4];
    const DWORD length = GetModuleFileNameW(nullptr, self, static_cast<DWORD>(std::size(self)));
    const fs::path run =
        fs::path(std::wstring(self, length)).parent_path() / (L"files-run-" + std::to_wstring(GetCurrentProcessId()));
    fs::create_directories(run);
    const fs::path exe = run / L"Tessora_portable.exe";
    ASSERT_TRUE(CopyFileW(ProgramUnderTest().c_str(), exe.wstring().c_str(), FALSE));
    WritePrivateProfileStringW(L"Tessora", L"lng", L"0", (run / L"Tessora.ini").wstring().c_str());
    const fs::path picture = run / L"bits24.bmp";
    ASSERT_TRUE(CopyFileW(DataPath("bits24.bmp").c_str(), picture.wstring().c_str(), FALSE));

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring commandLine = L"\"" + exe.wstring() + L"\" \"" + picture.wstring() + L"\"";
    ASSERT_TRUE(CreateProcessW(exe.wstring().c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               run.wstring().c_str(), &startup, &process));
    std::wstring title;
    HWND window = e2e::WaitForMainWindow(process);
    ASSERT_NE(window, nullptr);
    // The title is set before the window is shown; give the loop a moment to become idle.
    WaitForInputIdle(process.hProcess, 5000);
    wchar_t text[256] = {};
    GetWindowTextW(window, text, 256);
    title = text;
    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForSingleObject(process.hProcess, 60000), WAIT_OBJECT_0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    std::error_code ignored;
    fs::remove_all(run, ignored);
    EXPECT_EQ(title, L"bits24.bmp - Tessora");
}
