#include "win/window.h"

#include <commctrl.h>

namespace {
// The id under which a subclassed control knows our procedure, and the window property that leads from
// a subclassed control to its object (the subclass reference data cannot be read back by name).
constexpr UINT_PTR kSubclassId = 0x7E55;
constexpr wchar_t kObjectProperty[] = L"Tessora.WindowObject";
}  // namespace

bool CMessageTarget::DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    for (const MessageEntry& entry : MessageMap()) {
        if (entry.message == message) {
            result = entry.handler(*this, wParam, lParam);
            return true;
        }
    }
    return false;
}

void CMessageTarget::LeaveMessage(HWND window) {
    if (--messageDepth_ == 0 && finalMessagePending_) {
        finalMessagePending_ = false;
        OnFinalMessage(window);  // may delete this: nothing touches the object afterwards
    }
}

CWindowBase::~CWindowBase() {
    HWND window = hwnd_;
    if (!window) return;
    const bool destroy = ownsWindow_;
    Unbind();
    if (destroy) DestroyWindow(window);
}

bool CWindowBase::RegisterWindowClass(WNDCLASSEXW windowClass) {
    if (!windowClass.lpszClassName) return false;
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    if (!windowClass.hInstance) windowClass.hInstance = GetModuleHandleW(nullptr);
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (GetClassInfoExW(windowClass.hInstance, windowClass.lpszClassName, &existing)) {
        return existing.lpfnWndProc == WindowProc;
    }
    return RegisterClassExW(&windowClass) != 0;
}

bool CWindowBase::RegisterWindowClass(const wchar_t* className) {
    WNDCLASSEXW windowClass{};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className;
    return RegisterWindowClass(windowClass);
}

HWND CWindowBase::Create(const WindowCreation& creation) {
    if (hwnd_ || !creation.className) return nullptr;
    ownsWindow_ = true;
    HWND window = CreateWindowExW(creation.exStyle, creation.className, creation.title, creation.style, creation.x,
                                  creation.y, creation.width, creation.height, creation.parent, creation.menuOrId,
                                  GetModuleHandleW(nullptr), this);
    // A failed creation may have ended in OnFinalMessage, which may have deleted this object.
    if (!window) return nullptr;
    if (hwnd_ != window) {
        // A class without our procedure: the window would never reach the object.
        ownsWindow_ = false;
        DestroyWindow(window);
        return nullptr;
    }
    return window;
}

bool CWindowBase::Subclass(HWND window) {
    if (hwnd_ || !window || !IsWindow(window) || FromHandle(window)) return false;
    if (!SetPropW(window, kObjectProperty, this)) return false;
    if (!SetWindowSubclass(window, SubclassProc, kSubclassId, reinterpret_cast<DWORD_PTR>(this))) {
        RemovePropW(window, kObjectProperty);
        return false;
    }
    hwnd_ = window;
    subclassed_ = true;
    ownsWindow_ = false;
    return true;
}

CWindowBase* CWindowBase::FromHandle(HWND window) {
    if (!window || !IsWindow(window)) return nullptr;
    if (reinterpret_cast<WNDPROC>(GetClassLongPtrW(window, GCLP_WNDPROC)) == WindowProc) {
        return reinterpret_cast<CWindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    }
    return static_cast<CWindowBase*>(GetPropW(window, kObjectProperty));
}

LRESULT CALLBACK CWindowBase::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<CWindowBase*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self && message == WM_NCCREATE) {
        // Bound before anything else reaches the object, so WM_NCCREATE and WM_CREATE already do.
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        self = static_cast<CWindowBase*>(create->lpCreateParams);
        if (self) {
            if (self->hwnd_) return FALSE;  // already bound to another window: refuse this one
            self->hwnd_ = window;
            SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    return self->Route(window, message, wParam, lParam);
}

LRESULT CALLBACK CWindowBase::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                           DWORD_PTR object) {
    auto* self = reinterpret_cast<CWindowBase*>(object);
    if (!self || self->hwnd_ != window) return DefSubclassProc(window, message, wParam, lParam);
    return self->Route(window, message, wParam, lParam);
}

LRESULT CWindowBase::Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    EnterMessage();
    LRESULT result = 0;
    if (!DispatchToMap(message, wParam, lParam, result)) result = DefaultProcedure(message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        Unbind();
        MarkDestroyed();
    }
    LeaveMessage(window);  // may end in OnFinalMessage
    return result;
}

LRESULT CWindowBase::DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) {
    if (subclassed_) return DefSubclassProc(hwnd_, message, wParam, lParam);
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void CWindowBase::Unbind() {
    if (!hwnd_) return;
    if (subclassed_) {
        RemoveWindowSubclass(hwnd_, SubclassProc, kSubclassId);
        RemovePropW(hwnd_, kObjectProperty);
    } else if (GetWindowLongPtrW(hwnd_, GWLP_USERDATA) == reinterpret_cast<LONG_PTR>(this)) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    }
    hwnd_ = nullptr;
    subclassed_ = false;
    ownsWindow_ = false;
}
