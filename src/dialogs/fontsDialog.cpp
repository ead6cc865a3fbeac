#include "dialogs/fontsDialog.h"

#include <climits>
#include <cwchar>
#include <iterator>
#include <string>

#include "localisation/localisation_win.h"
#include "painting/fontState.h"
#include "painting/toolGeometry.h"
#include "painting/toolState.h"
#include "program/appMessages.h"
#include "win/gdiHandles.h"
#include "win/textCompare.h"

namespace {

// The sizes the size list offers, in points.
constexpr int kOfferedSizes[] = {8, 9, 10, 11, 12, 14, 16, 18, 20, 22, 24, 26, 28, 36, 48, 72};
// A size entry or typed size longer than this is not read.
constexpr int kLongestSizeText = 7;
// Typed face names longer than this are not looked up; list names this long or longer are not drawn.
constexpr int kLongestTypedFace = 32;
constexpr int kFaceTextIndent = 24;

constexpr int kStyleImageSize = 16;
constexpr COLORREF kStyleImageMask = RGB(255, 0, 255);

// The text ids of the style buttons' tooltips, in button order from kCmdFontBold.
constexpr int kStyleTooltipTexts[] = {935, 936, 937, 938};
static_assert(kCmdFontVertical - kCmdFontBold + 1 == std::size(kStyleTooltipTexts));

// Where the window was last, in screen coordinates; kept across re-creations for the whole process.
POINT lastPosition{};

int CALLBACK AddFamily(const LOGFONTW* font, const TEXTMETRICW*, DWORD, LPARAM combo) {
    const wchar_t* name = font->lfFaceName;
    // '@' names are the vertical variants of families that are listed anyway.
    if (name[0] == L'@') return 1;
    const HWND list = reinterpret_cast<HWND>(combo);
    if (SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name)) == CB_ERR) {
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    }
    return 1;
}

// The entry's text, or nothing when the entry is longer than longest characters.
bool EntryText(HWND combo, LRESULT index, int longest, std::wstring& text) {
    if (index == CB_ERR) return false;
    const LRESULT length = SendMessageW(combo, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR || length > longest) return false;
    text.assign(static_cast<size_t>(length) + 1, L'\0');
    SendMessageW(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    return true;
}

// The typed text, or nothing when it is longer than longest characters.
bool TypedText(HWND combo, int longest, std::wstring& text) {
    const int length = GetWindowTextLengthW(combo);
    if (length > longest) return false;
    text.assign(static_cast<size_t>(length) + 1, L'\0');
    GetWindowTextW(combo, text.data(), length + 1);
    text.resize(wcslen(text.c_str()));
    return true;
}

// The number the text starts with (after blanks, with an optional sign); 0 when it starts with none.
int LeadingInteger(const std::wstring& text) {
    const long value = std::wcstol(text.c_str(), nullptr, 10);
    return value > INT_MAX ? INT_MAX : value < INT_MIN ? INT_MIN : static_cast<int>(value);
}

void CheckStyle(HWND bar, int command, bool checked) {
    SendMessageW(bar, TB_CHECKBUTTON, command, MAKELPARAM(checked ? TRUE : FALSE, 0));
}

}  // namespace

HWND CFontsDialog::CreateIfNeeded(HWND owner) {
    if (Hwnd() && IsWindow(Hwnd())) return Hwnd();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return CreateModeless(owner, kFontsDialogTemplate);
}

std::span<const MessageEntry> CFontsDialog::MessageMap() const {
    static constexpr MessageEntry kMap[] = {
        {WM_INITDIALOG, Handle<&CFontsDialog::OnInitDialog>},
        {WM_DESTROY, Handle<&CFontsDialog::OnDestroy>},
        {WM_COMMAND, Handle<&CFontsDialog::OnCommand>},
        {WM_NOTIFY, Handle<&CFontsDialog::OnNotify>},
        {WM_DRAWITEM, Handle<&CFontsDialog::OnDrawItem>},
        {WM_MEASUREITEM, Handle<&CFontsDialog::OnMeasureItem>},
        {WM_MOVE, Handle<&CFontsDialog::OnMove>},
        {WM_CLOSE, Handle<&CFontsDialog::OnClose>},
        {kFontsWindowRefresh, Handle<&CFontsDialog::OnRefresh>},
        {MSG_TOOL_CHANGED, Handle<&CFontsDialog::OnToolChanged>},
    };
    return kMap;
}

LRESULT CFontsDialog::OnInitDialog(WPARAM, LPARAM) {
    FillFaceList();
    FillSizeList();
    SetUpStyleBar();
    ShowFontState();
    SetToolReceiver(ToolReceiver::FontsWindow, Hwnd());
    if (lastPosition.x != 0 || lastPosition.y != 0) {
        SetWindowPos(Hwnd(), nullptr, lastPosition.x, lastPosition.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(Hwnd(), kFontsWindowRefresh, 0, 0);
    }
    // The template is hidden: the window shows only when the font state asks for it, and never takes the
    // keyboard from the text box.
    ShowWindow(Hwnd(), TheFontState().fontsWindowShown ? SW_SHOWNOACTIVATE : SW_HIDE);
    return FALSE;  // the focus stays where it was
}

LRESULT CFontsDialog::OnDestroy(WPARAM, LPARAM) {
    ForgetToolReceiver(Hwnd());
    // The tool bar does not own its image list: take it away before the list goes.
    SendDlgItemMessageW(Hwnd(), kFontStyleBar, TB_SETIMAGELIST, 0, 0);
    if (styleImages_) ImageList_Destroy(styleImages_);
    styleImages_ = nullptr;
    return 0;
}

void CFontsDialog::FillFaceList() {
    const HWND faces = GetDlgItem(Hwnd(), kFontFaceList);
    MemoryDc dc;
    if (dc) EnumFontFamiliesW(dc, nullptr, AddFamily, reinterpret_cast<LPARAM>(faces));
    // The owner-drawn list asks for its item height while it is created, before this object is bound to
    // the window, so the height is set here: for the selection field (-1) and for the items (0).
    const int itemHeight = GetSystemMetrics(SM_CYVSCROLL);
    SendMessageW(faces, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), itemHeight);
    SendMessageW(faces, CB_SETITEMHEIGHT, 0, itemHeight);
}

void CFontsDialog::FillSizeList() {
    const HWND sizes = GetDlgItem(Hwnd(), kFontSizeList);
    for (const int size : kOfferedSizes) {
        SendMessageW(sizes, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(std::to_wstring(size).c_str()));
    }
}

void CFontsDialog::SetUpStyleBar() {
    const HWND bar = GetDlgItem(Hwnd(), kFontStyleBar);
    SendMessageW(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageW(bar, TB_SETBITMAPSIZE, 0, MAKELPARAM(kStyleImageSize, kStyleImageSize));
    styleImages_ = ImageList_LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kFontStyleBitmap), kStyleImageSize,
                                        0, kStyleImageMask, IMAGE_BITMAP, LR_CREATEDIBSECTION);
    SendMessageW(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(styleImages_));
    TBBUTTON buttons[std::size(kStyleTooltipTexts)] = {};
    for (int i = 0; i < static_cast<int>(std::size(buttons)); ++i) {
        buttons[i].iBitmap = i;
        buttons[i].idCommand = kCmdFontBold + i;
        // Vertical text is shown but not offered.
        buttons[i].fsState = kCmdFontBold + i == kCmdFontVertical ? 0 : TBSTATE_ENABLED;
        buttons[i].fsStyle = TBSTYLE_CHECK;
        buttons[i].iString = -1;
    }
    SendMessageW(bar, TB_ADDBUTTONSW, std::size(buttons), reinterpret_cast<LPARAM>(buttons));
}

void CFontsDialog::ShowFontState() {
    const FontState& font = TheFontState();
    showingState_ = true;  // the controls' own notifications are not user changes

    const HWND faces = GetDlgItem(Hwnd(), kFontFaceList);
    const LRESULT face = SendMessageW(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(font.fontFace.c_str()));
    SendMessageW(faces, CB_SETCURSEL, face == CB_ERR ? static_cast<WPARAM>(-1) : face, 0);
    SetWindowTextW(faces, font.fontFace.c_str());

    const HWND sizes = GetDlgItem(Hwnd(), kFontSizeList);
    const std::wstring size = std::to_wstring(font.fontPointSize);
    const LRESULT entry =
        SendMessageW(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(size.c_str()));
    SendMessageW(sizes, CB_SETCURSEL, entry == CB_ERR ? static_cast<WPARAM>(-1) : entry, 0);
    if (entry == CB_ERR) SetWindowTextW(sizes, size.c_str());

    const HWND bar = GetDlgItem(Hwnd(), kFontStyleBar);
    CheckStyle(bar, kCmdFontBold, font.fontBold);
    CheckStyle(bar, kCmdFontItalic, font.fontItalic);
    CheckStyle(bar, kCmdFontUnderline, font.fontUnderline);
    showingState_ = false;
}

LRESULT CFontsDialog::OnCommand(WPARAM wParam, LPARAM) {
    const int id = LOWORD(wParam);
    const WORD code = HIWORD(wParam);
    switch (id) {
        case kFontFaceList:
            FaceChanged(code);
            break;
        case kFontSizeList:
            SizeChanged(code);
            break;
        case kCmdFontBold:
        case kCmdFontItalic:
        case kCmdFontUnderline:
            StyleClicked(id);
            break;
        case IDCANCEL:  // Escape as well
            TheFontState().fontsWindowShown = false;
            ShowWindow(Hwnd(), SW_HIDE);
            break;
        default:
            break;  // Enter in a list (IDOK) must not end the window
    }
    return 0;
}

void CFontsDialog::FaceChanged(WORD code) {
    if (showingState_ || (code != CBN_SELCHANGE && code != CBN_EDITCHANGE)) return;
    const HWND faces = GetDlgItem(Hwnd(), kFontFaceList);
    std::wstring face;
    if (code == CBN_SELCHANGE) {
        if (!EntryText(faces, SendMessageW(faces, CB_GETCURSEL, 0, 0), kLongestTypedFace - 1, face)) return;
    } else {
        // A typed name counts only once it names a listed family; it is stored as the list spells it.
        std::wstring typed;
        if (!TypedText(faces, kLongestTypedFace, typed)) return;
        const LRESULT entry =
            SendMessageW(faces, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(typed.c_str()));
        if (!EntryText(faces, entry, kLongestTypedFace, face)) return;
    }
    if (face.size() > kLongestFontFace) face.resize(kLongestFontFace);
    FontState& font = TheFontState();
    if (EqualIgnoringCase(face, font.fontFace)) return;
    font.fontFace = face;
    TheToolState().NotifyToolChanged();
}

void CFontsDialog::SizeChanged(WORD code) {
    if (showingState_ || (code != CBN_SELCHANGE && code != CBN_EDITCHANGE)) return;
    const HWND sizes = GetDlgItem(Hwnd(), kFontSizeList);
    std::wstring text;
    if (code == CBN_SELCHANGE) {
        if (!EntryText(sizes, SendMessageW(sizes, CB_GETCURSEL, 0, 0), kLongestSizeText, text) || text.empty()) return;
    } else if (!TypedText(sizes, kLongestSizeText, text)) {
        return;
    }
    const int size = LeadingInteger(text);
    if (size <= 0) return;
    TheFontState().fontPointSize = size;
    TheToolState().NotifyToolChanged();
}

void CFontsDialog::StyleClicked(int command) {
    const LRESULT state = SendDlgItemMessageW(Hwnd(), kFontStyleBar, TB_GETSTATE, command, 0);
    if (state == -1) return;
    const bool checked = (state & TBSTATE_CHECKED) != 0;
    FontState& font = TheFontState();
    switch (command) {
        case kCmdFontBold:
            font.fontBold = checked;
            break;
        case kCmdFontItalic:
            font.fontItalic = checked;
            break;
        default:
            font.fontUnderline = checked;
            break;
    }
    TheToolState().NotifyToolChanged();
}

LRESULT CFontsDialog::OnNotify(WPARAM, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (header->code != TTN_GETDISPINFOW) return 0;
    const UINT_PTR command = header->idFrom;
    if (command < kCmdFontBold || command > kCmdFontVertical) return 0;
    // The tooltip reads the text after this returns: it lives in the member until the next request.
    tooltipText_ = TextOf(kStyleTooltipTexts[command - kCmdFontBold]);
    auto* info = reinterpret_cast<NMTTDISPINFOW*>(lParam);
    info->lpszText = tooltipText_.data();
    info->hinst = nullptr;
    return 0;
}

LRESULT CFontsDialog::OnDrawItem(WPARAM, LPARAM lParam) {
    const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
    if (item->CtlID != kFontFaceList) return FALSE;
    const bool selected = (item->itemState & ODS_SELECTED) != 0;
    FillRect(item->hDC, &item->rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    std::wstring name;
    if (item->itemID != static_cast<UINT>(-1) && EntryText(item->hwndItem, item->itemID, kLongestTypedFace - 1, name)) {
        const int oldMode = SetBkMode(item->hDC, TRANSPARENT);
        const COLORREF oldColour =
            SetTextColor(item->hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        RECT textRect = item->rcItem;
        textRect.left += kFaceTextIndent;
        DrawTextW(item->hDC, name.c_str(), static_cast<int>(name.size()), &textRect,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SetTextColor(item->hDC, oldColour);
        SetBkMode(item->hDC, oldMode);
    }
    if (item->itemState & ODS_FOCUS) DrawFocusRect(item->hDC, &item->rcItem);
    return TRUE;
}

LRESULT CFontsDialog::OnMeasureItem(WPARAM, LPARAM lParam) {
    auto* item = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (item->CtlID != kFontFaceList) return FALSE;
    item->itemHeight = GetSystemMetrics(SM_CYVSCROLL);
    RECT client{};
    GetClientRect(GetDlgItem(Hwnd(), kFontFaceList), &client);
    item->itemWidth = client.right;
    return TRUE;
}

LRESULT CFontsDialog::OnMove(WPARAM, LPARAM) {
    RECT frame;
    if (GetWindowRect(Hwnd(), &frame)) lastPosition = {frame.left, frame.top};
    return 0;
}

LRESULT CFontsDialog::OnClose(WPARAM, LPARAM) {
    // The user closed it: the next text box opens without it.
    TheFontState().fontsWindowShown = false;
    ShowWindow(Hwnd(), SW_HIDE);
    return 0;
}

LRESULT CFontsDialog::OnRefresh(WPARAM, LPARAM) {
    ShowFontState();
    return 0;
}

LRESULT CFontsDialog::OnToolChanged(WPARAM wParam, LPARAM) {
    if (static_cast<int>(wParam) != kToolText) ShowWindow(Hwnd(), SW_HIDE);
    return 0;
}

CFontsDialog& TheFontsDialog() {
    static CFontsDialog dialog;
    return dialog;
}
