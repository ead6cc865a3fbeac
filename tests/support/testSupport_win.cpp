#include "support/testSupport_win.h"

#include <atomic>
#include <stdexcept>

#include "win/dialog.h"

ScriptedPrompt::ScriptedPrompt() : previous_(&CurrentPrompt()) { SetPrompt(this); }
ScriptedPrompt::~ScriptedPrompt() { SetPrompt(nullptr); }

int ScriptedPrompt::ShowMessage(HWND owner, const std::wstring& text, const std::wstring& caption, UINT style) {
    messages.push_back({owner, text, caption, style});
    if (messageAnswers.empty()) return IDCANCEL;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

bool ScriptedPrompt::AnswerFile(OPENFILENAMEW& request) {
    ++fileDialogs;
    if (fileAnswers.empty()) return false;
    const std::wstring answer = fileAnswers.front();
    fileAnswers.pop_front();
    if (answer.empty() || !request.lpstrFile || answer.size() + 1 > request.nMaxFile) return false;
    answer.copy(request.lpstrFile, answer.size());
    request.lpstrFile[answer.size()] = L'\0';
    return true;
}

bool ScriptedPrompt::ChooseOpenFile(OPENFILENAMEW& request) { return AnswerFile(request); }
bool ScriptedPrompt::ChooseSaveFile(OPENFILENAMEW& request) { return AnswerFile(request); }

bool ScriptedPrompt::ChooseColour(CHOOSECOLORW& request) {
    ++colourDialogs;
    if (colourAnswers.empty()) return false;
    request.rgbResult = colourAnswers.front();
    colourAnswers.pop_front();
    return true;
}

bool ScriptedPrompt::ChoosePrinter(PRINTDLGW&) {
    ++printerDialogs;
    return false;
}

bool ScriptedPrompt::ChoosePageSetup(PAGESETUPDLGW&) {
    ++printerDialogs;
    return false;
}

INT_PTR ScriptedPrompt::RunDialog(CDialogBase& dialog, HWND owner, int templateId) {
    dialogsRun.push_back(templateId);
    const HWND window = dialog.CreateModeless(owner, templateId);
    if (!window) return -1;
    if (!dialogScripts.empty()) {
        const auto script = std::move(dialogScripts.front());
        dialogScripts.pop_front();
        script(window);
    }
    if (dialog.Hwnd()) SendMessageW(window, WM_COMMAND, IDCANCEL, 0);
    if (dialog.Hwnd()) DestroyWindow(window);
    return dialog.Result();
}

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    const auto base = std::filesystem::temp_directory_path();
    for (;;) {
        path_ = base / (L"tessora-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++));
        if (std::filesystem::create_directory(path_)) break;
    }
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {
// The header reported back for a top-down section may show a positive height (Wine does), so the row
// order is probed: the first pixel of memory row 0 is changed for a moment and looked up at picture
// (0, 0) through a DC. A bitmap that another DC holds cannot be probed; its header decides then.
bool RowsAreTopDown(HBITMAP bitmap, const DIBSECTION& dib) {
    if (dib.dsBm.bmHeight == 1) return true;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = dc ? SelectObject(dc, bitmap) : nullptr;
    if (!previous) {
        if (dc) DeleteDC(dc);
        return dib.dsBmih.biHeight < 0;
    }
    GdiFlush();
    auto* first = static_cast<uint8_t*>(dib.dsBm.bmBits);
    const COLORREF before = GetPixel(dc, 0, 0);
    const uint8_t saved[3] = {first[0], first[1], first[2]};
    first[0] ^= 0xFF, first[1] ^= 0xFF, first[2] ^= 0xFF;
    const COLORREF after = GetPixel(dc, 0, 0);
    first[0] = saved[0], first[1] = saved[1], first[2] = saved[2];
    SelectObject(dc, previous);
    DeleteDC(dc);
    // Only when memory row 0 is picture row 0 does picture (0, 0) change with it.
    return before != after;
}

uint8_t* PixelPointer(HBITMAP bitmap, int x, int y) {
    DIBSECTION dib{};
    if (GetObjectW(bitmap, sizeof(dib), &dib) != sizeof(dib) || dib.dsBm.bmBitsPixel != 32 || !dib.dsBm.bmBits)
        throw std::runtime_error("not a 32-bit DIB section");
    const int width = dib.dsBm.bmWidth;
    const int height = dib.dsBm.bmHeight;
    if (x < 0 || y < 0 || x >= width || y >= height) throw std::out_of_range("pixel outside the bitmap");
    const bool topDown = RowsAreTopDown(bitmap, dib);
    const int row = topDown ? y : height - 1 - y;
    GdiFlush();
    return static_cast<uint8_t*>(dib.dsBm.bmBits) + static_cast<size_t>(row) * dib.dsBm.bmWidthBytes +
           static_cast<size_t>(x) * 4;
}
}  // namespace

COLORREF PixelAt(HBITMAP bitmap, int x, int y) {
    const uint8_t* p = PixelPointer(bitmap, x, y);
    return RGB(p[2], p[1], p[0]);
}

void SetPixelAt(HBITMAP bitmap, int x, int y, COLORREF colour) {
    uint8_t* p = PixelPointer(bitmap, x, y);
    p[0] = GetBValue(colour);
    p[1] = GetGValue(colour);
    p[2] = GetRValue(colour);
}

uint8_t FourthByteAt(HBITMAP bitmap, int x, int y) { return PixelPointer(bitmap, x, y)[3]; }

std::vector<uint8_t> PictureBytes(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof(bm), &bm);
    std::vector<uint8_t> bytes;
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x) {
            const uint8_t* p = PixelPointer(bitmap, x, y);
            bytes.insert(bytes.end(), p, p + 4);
        }
    return bytes;
}

std::vector<uint32_t> PixelsAs32Bits(HBITMAP bitmap, int& width, int& height) {
    width = height = 0;
    BITMAP bm{};
    if (!bitmap || !GetObjectW(bitmap, sizeof(bm), &bm)) return {};
    width = bm.bmWidth;
    height = bm.bmHeight;
    std::vector<uint32_t> pixels(static_cast<size_t>(bm.bmWidth) * bm.bmHeight);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = bm.bmWidth;
    info.bmiHeader.biHeight = -bm.bmHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, bm.bmHeight, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    return pixels;
}

std::wstring WinePathOf(const std::string& hostPath) {
    const std::string path = !hostPath.empty() && hostPath[0] == '/' ? "Z:" + hostPath : hostPath;
    return std::wstring(path.begin(), path.end());
}
