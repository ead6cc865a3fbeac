#include "win/dialog.h"

#include <cwchar>

namespace {
// Messages whose dialog-procedure return value is the result itself; every other handled message
// passes its result through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
    switch (message) {
        case WM_INITDIALOG:
        case WM_CTLCOLORMSGBOX:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORLISTBOX:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORDLG:
        case WM_CTLCOLORSCROLLBAR:
        case WM_CTLCOLORSTATIC:
        case WM_COMPAREITEM:
        case WM_VKEYTOITEM:
        case WM_CHARTOITEM:
        case WM_QUERYDRAGICON:
            return true;
        default:
            return false;
    }
}
}  // namespace

CDialogBase::~CDialogBase() {
    HWND window = hwnd_;
    if (!window) return;
    const bool modal = modal_;
    Unbind();
    if (modal) {
        EndDialog(window, IDCANCEL);
    } else {
        DestroyWindow(window);
    }
}

INT_PTR CDialogBase::DoModal(HWND owner, int templateId, HINSTANCE instance) {
    if (hwnd_) return -1;
    modal_ = true;
    result_ = 0;
    // Nothing touches the object after the dialog returns: OnFinalMessage may have deleted it.
    return DialogBoxParamW(instance ? instance : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                           DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CDialogBase::DoModal(HWND owner, const DLGTEMPLATE* dialogTemplate) {
    if (hwnd_ || !dialogTemplate) return -1;
    modal_ = true;
    result_ = 0;
    return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND CDialogBase::CreateModeless(HWND owner, int templateId, HINSTANCE instance) {
    if (hwnd_) return nullptr;
    modal_ = false;
    result_ = 0;
    return CreateDialogParamW(instance ? instance : GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId), owner,
                              DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND CDialogBase::CreateModeless(HWND owner, const DLGTEMPLATE* dialogTemplate) {
    if (hwnd_ || !dialogTemplate) return nullptr;
    modal_ = false;
    result_ = 0;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), dialogTemplate, owner, DialogProc,
                                      reinterpret_cast<LPARAM>(this));
}

void CDialogBase::Close(INT_PTR result) {
    if (!hwnd_) return;
    result_ = result;
    if (modal_) {
        EndDialog(hwnd_, result);
    } else {
        DestroyWindow(hwnd_);
    }
}

bool CDialogBase::TranslateDialogMessage(MSG& message) { return hwnd_ && !modal_ && IsDialogMessageW(hwnd_, &message); }

LRESULT CDialogBase::StandardCommand(WPARAM wParam, LPARAM) {
    switch (LOWORD(wParam)) {
        case IDOK:
            if (ReadControls()) Close(IDOK);
            break;
        case IDCANCEL:
            Close(IDCANCEL);
            break;
        default:
            break;
    }
    return 0;
}

bool CDialogBase::HandleByDefault(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (message) {
        case WM_INITDIALOG:
            FillControls();
            result = TRUE;  // the dialog manager focuses the first control
            return true;
        case WM_COMMAND:
            if (LOWORD(wParam) != IDOK && LOWORD(wParam) != IDCANCEL) return false;
            result = StandardCommand(wParam, lParam);
            return true;
        default:
            return false;
    }
}

INT_PTR CALLBACK CDialogBase::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CDialogBase*>(GetWindowLongPtrW(window, DWLP_USER));
    if (!self && message == WM_INITDIALOG) {
        // Messages before WM_INITDIALOG (WM_SETFONT ...) get the dialog manager's handling.
        self = reinterpret_cast<CDialogBase*>(lParam);
        if (!self || self->hwnd_) return FALSE;
        self->hwnd_ = window;
        SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
    }
    if (!self) return FALSE;

    self->EnterMessage();
    LRESULT result = 0;
    const bool handled =
        self->DispatchToMap(message, wParam, lParam, result) || self->HandleByDefault(message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        self->Unbind();
        self->MarkDestroyed();
    }
    self->LeaveMessage(window);  // may end in OnFinalMessage, which may delete the object
    if (!handled) return FALSE;
    if (ReturnsResultDirectly(message)) return result;
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
}

void CDialogBase::Unbind() {
    if (!hwnd_) return;
    if (GetWindowLongPtrW(hwnd_, DWLP_USER) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    }
    hwnd_ = nullptr;
    modal_ = false;
}

// ---- in-memory templates --------------------------------------------------------------------------

DialogTemplate::DialogTemplate(const wchar_t* title, DWORD style, short x, short y, short width, short height,
                               const wchar_t* fontName, WORD pointSize) {
    style |= DS_SETFONT;
    words_ = {LOWORD(style),
              HIWORD(style),
              0,
              0,
              0,  // style, extended style, control count
              static_cast<WORD>(x),
              static_cast<WORD>(y),
              static_cast<WORD>(width),
              static_cast<WORD>(height),
              0,   // no menu
              0};  // the standard dialog class
    AddString(title);
    words_.push_back(pointSize);
    AddString(fontName);
}

DialogTemplate& DialogTemplate::Add(Control control, WORD id, const wchar_t* text, DWORD style, short x, short y,
                                    short width, short height, DWORD exStyle) {
    AddItemHeader(style, exStyle, x, y, width, height, id);
    words_.push_back(0xFFFF);
    words_.push_back(static_cast<WORD>(control));
    AddString(text);
    words_.push_back(0);  // no creation data
    return *this;
}

DialogTemplate& DialogTemplate::Add(const wchar_t* className, WORD id, const wchar_t* text, DWORD style, short x,
                                    short y, short width, short height, DWORD exStyle) {
    AddItemHeader(style, exStyle, x, y, width, height, id);
    AddString(className);
    AddString(text);
    words_.push_back(0);
    return *this;
}

void DialogTemplate::AddItemHeader(DWORD style, DWORD exStyle, short x, short y, short width, short height, WORD id) {
    AlignToDword();  // every control starts on a DWORD boundary
    style |= WS_CHILD | WS_VISIBLE;
    words_.insert(words_.end(), {LOWORD(style), HIWORD(style), LOWORD(exStyle), HIWORD(exStyle), static_cast<WORD>(x),
                                 static_cast<WORD>(y), static_cast<WORD>(width), static_cast<WORD>(height), id});
    ++count_;
    words_[4] = static_cast<WORD>(count_);
}

void DialogTemplate::AddString(const wchar_t* text) {
    if (text) {
        for (const wchar_t* p = text; *p; ++p) words_.push_back(static_cast<WORD>(*p));
    }
    words_.push_back(0);
}

void DialogTemplate::AlignToDword() {
    if (words_.size() % 2 != 0) words_.push_back(0);
}
