// The window base of the program's window classes: one window-procedure trampoline binds each object
// to its HWND and hands every message to the class's message map, a table of one named handler per
// message. Unhandled messages go to the default procedure.
#pragma once
#include <windows.h>

#include <span>

class CMessageTarget;

// One line of a message map: the message and the handler that takes it.
struct MessageEntry {
    using Handler = LRESULT (*)(CMessageTarget& target, WPARAM wParam, LPARAM lParam);
    UINT message;
    Handler handler;
};

namespace message_map_detail {
template <typename Member>
struct MemberClass;
template <typename Class>
struct MemberClass<LRESULT (Class::*)(WPARAM, LPARAM)> {
    using Type = Class;
};
}  // namespace message_map_detail

// Adapts a handler member `LRESULT C::OnXxx(WPARAM, LPARAM)` to a map entry:
//   {WM_PAINT, Handle<&CCanvasWindow::OnPaint>},
template <auto Member>
LRESULT Handle(CMessageTarget& target, WPARAM wParam, LPARAM lParam) {
    using Class = typename message_map_detail::MemberClass<decltype(Member)>::Type;
    return (static_cast<Class&>(target).*Member)(wParam, lParam);
}

// What window and dialog objects share: the HWND they are bound to and the message map.
class CMessageTarget {
public:
    CMessageTarget() = default;
    CMessageTarget(const CMessageTarget&) = delete;
    CMessageTarget& operator=(const CMessageTarget&) = delete;
    virtual ~CMessageTarget() = default;

    // The bound window; null before creation and after the window is destroyed.
    HWND Hwnd() const { return hwnd_; }

protected:
    // The class's message map. A derived class returns a static table:
    //   std::span<const MessageEntry> CMyWindow::MessageMap() const {
    //       static constexpr MessageEntry kMap[] = {{WM_PAINT, Handle<&CMyWindow::OnPaint>}, ...};
    //       return kMap;
    //   }
    virtual std::span<const MessageEntry> MessageMap() const { return {}; }

    // Called once after the last message (WM_NCDESTROY) has been handled and the object unbound,
    // when no message of this object is being handled any more; the object may delete itself here.
    virtual void OnFinalMessage(HWND /*window*/) {}

    // Looks the message up in the map; false when the map has no line for it.
    bool DispatchToMap(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);

    // Bookkeeping around one message, shared by the window and dialog trampolines: a message that
    // destroys the window may arrive nested inside another message of the same object, so the object
    // is only told its final message once the outermost message has returned.
    void EnterMessage() { ++messageDepth_; }
    // Returns after calling OnFinalMessage when this was the outermost message of a destroyed window.
    void LeaveMessage(HWND window);
    void MarkDestroyed() {
        hwnd_ = nullptr;
        finalMessagePending_ = true;
    }

    HWND hwnd_ = nullptr;

private:
    int messageDepth_ = 0;
    bool finalMessagePending_ = false;
};

// Where and how Create makes the window.
struct WindowCreation {
    const wchar_t* className = nullptr;
    const wchar_t* title = L"";
    DWORD style = WS_OVERLAPPEDWINDOW;
    DWORD exStyle = 0;
    HWND parent = nullptr;
    HMENU menuOrId = nullptr;  // a child window's control id, cast to HMENU
    int x = CW_USEDEFAULT;
    int y = CW_USEDEFAULT;
    int width = CW_USEDEFAULT;
    int height = CW_USEDEFAULT;
};

class CWindowBase : public CMessageTarget {
public:
    CWindowBase() = default;
    // Unbinds first, so the window never reaches a half-destroyed object, then destroys a window it
    // created (a subclassed window only gets its own procedure back).
    ~CWindowBase() override;

    // Registers a window class whose procedure is the trampoline. The caller fills what the class needs
    // (lpszClassName at least; style, cursor, background ...); cbSize, lpfnWndProc and a missing
    // hInstance are filled in. Registering the same class again is a success; a class of that name
    // registered with another procedure is a failure, since its windows would never reach an object.
    static bool RegisterWindowClass(WNDCLASSEXW windowClass);
    // The common case: redraw on resize, arrow cursor, the window colour as background.
    static bool RegisterWindowClass(const wchar_t* className);

    // Creates the window with this object bound to it from WM_NCCREATE on. Null on failure (also when
    // the object is already bound); when creation fails after WM_NCCREATE, OnFinalMessage has run.
    HWND Create(const WindowCreation& creation);

    // Binds the object to an existing window (a control), routing its messages through the map first;
    // unhandled messages go to the window's own procedure. False when the object or window is taken.
    bool Subclass(HWND window);

    // The object bound to a window of ours, or null (no window, another procedure, or unbound).
    static CWindowBase* FromHandle(HWND window);

    // The window procedure of every window class registered here.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Handles what the map does not: DefWindowProcW, or the subclassed window's own procedure.
    // A frame or MDI window overrides it (DefFrameProcW, DefMDIChildProcW).
    virtual LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                         DWORD_PTR object);
    LRESULT Route(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void Unbind();

    bool subclassed_ = false;  // bound by Subclass: the control's own procedure is the default
    bool ownsWindow_ = false;  // created by Create: destroyed with the object
};

// The window's own WS_VISIBLE style: whether it is shown within its parent, also while the parent itself
// is still hidden (when IsWindowVisible says no). False for a null window.
inline bool HasVisibleStyle(HWND window) { return window && (GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }
