#include "win/window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/testSupport_win.h"

namespace {

constexpr wchar_t kProbeClass[] = L"TessoraTest_Probe";
constexpr UINT kAdd = WM_APP + 10;          // returns wParam + lParam
constexpr UINT kDestroySelf = WM_APP + 11;  // destroys the window from inside a handler
constexpr UINT kAskDefault = WM_APP + 12;   // unmapped: answered by the default procedure

class CProbeWindow : public CWindowBase {
public:
    std::vector<UINT> seen;
    HWND hwndAtCreate = nullptr;
    LRESULT addResultDuringCreate = 0;
    bool failCreate = false;
    bool createChild = false;
    CProbeWindow* child = nullptr;
    HWND childNotified = nullptr;
    int finalMessages = 0;
    int finalMessagesSeenInsideHandler = -1;
    HWND finalWindow = nullptr;

protected:
    std::span<const MessageEntry> MessageMap() const override {
        static constexpr MessageEntry kMap[] = {
            {WM_CREATE, Handle<&CProbeWindow::OnCreate>},
            {WM_PARENTNOTIFY, Handle<&CProbeWindow::OnParentNotify>},
            {kAdd, Handle<&CProbeWindow::OnAdd>},
            {kDestroySelf, Handle<&CProbeWindow::OnDestroySelf>},
            {WM_NCDESTROY, Handle<&CProbeWindow::OnNcDestroy>},
        };
        return kMap;
    }

    LRESULT DefaultProcedure(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == kAskDefault) return 77;
        return CWindowBase::DefaultProcedure(message, wParam, lParam);
    }

    void OnFinalMessage(HWND window) override {
        ++finalMessages;
        finalWindow = window;
    }

private:
    LRESULT OnCreate(WPARAM, LPARAM) {
        seen.push_back(WM_CREATE);
        hwndAtCreate = Hwnd();
        // A message sent while the window is still being created reaches the object.
        addResultDuringCreate = SendMessageW(Hwnd(), kAdd, 20, 22);
        if (createChild && child) {
            child->Create({.className = kProbeClass,
                           .title = L"Child",
                           .style = WS_CHILD,
                           .parent = Hwnd(),
                           .menuOrId = reinterpret_cast<HMENU>(5),
                           .x = 0,
                           .y = 0,
                           .width = 10,
                           .height = 10});
        }
        return failCreate ? -1 : 0;
    }
    LRESULT OnParentNotify(WPARAM wParam, LPARAM lParam) {
        if (LOWORD(wParam) == WM_CREATE) childNotified = reinterpret_cast<HWND>(lParam);
        return 0;
    }
    LRESULT OnAdd(WPARAM wParam, LPARAM lParam) {
        seen.push_back(kAdd);
        return static_cast<LRESULT>(wParam) + lParam;
    }
    LRESULT OnDestroySelf(WPARAM, LPARAM) {
        DestroyWindow(Hwnd());
        // The window is gone, but this handler has not returned: the final message must wait.
        finalMessagesSeenInsideHandler = finalMessages;
        return 1;
    }
    LRESULT OnNcDestroy(WPARAM wParam, LPARAM lParam) {
        seen.push_back(WM_NCDESTROY);
        return DefaultProcedure(WM_NCDESTROY, wParam, lParam);
    }
};

// Deletes itself once its window is gone; counts its destructions.
class CSelfDeletingWindow : public CWindowBase {
public:
    explicit CSelfDeletingWindow(int& deletions) : deletions_(deletions) {}
    ~CSelfDeletingWindow() override { ++deletions_; }

protected:
    void OnFinalMessage(HWND) override { delete this; }

private:
    int& deletions_;
};

class WindowBase : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(CWindowBase::RegisterWindowClass(kProbeClass)); }

    static HWND CreateProbe(CProbeWindow& window, const wchar_t* title = L"Probe window") {
        return window.Create({.className = kProbeClass,
                              .title = title,
                              .style = WS_OVERLAPPEDWINDOW,
                              .x = 10,
                              .y = 10,
                              .width = 200,
                              .height = 100});
    }
};

TEST_F(WindowBase, CreateBindsBeforeWmCreateAndTheMapAnswersMessages) {
    CProbeWindow probe;
    HWND window = CreateProbe(probe);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(probe.Hwnd(), window);
    EXPECT_EQ(probe.hwndAtCreate, window);
    EXPECT_EQ(CWindowBase::FromHandle(window), &probe);
    EXPECT_EQ(SendMessageW(window, kAdd, 3, 4), 7);
    ASSERT_GE(probe.seen.size(), 2u);
    EXPECT_EQ(probe.seen[0], static_cast<UINT>(WM_CREATE));
    DestroyWindow(window);
}

TEST_F(WindowBase, UnmappedMessagesReachTheDefaultProcedure) {
    CProbeWindow probe;
    HWND window = CreateProbe(probe, L"Title via DefWindowProc");
    ASSERT_NE(window, nullptr);
    wchar_t text[64] = {};
    EXPECT_EQ(SendMessageW(window, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text)), 23);
    EXPECT_STREQ(text, L"Title via DefWindowProc");
    EXPECT_EQ(SendMessageW(window, kAskDefault, 0, 0), 77);  // the overridden default procedure
    DestroyWindow(window);
}

TEST_F(WindowBase, DestroyWindowUnbindsAndTellsTheFinalMessageOnce) {
    CProbeWindow probe;
    HWND window = CreateProbe(probe);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(probe.Hwnd(), nullptr);
    EXPECT_EQ(CWindowBase::FromHandle(window), nullptr);
    EXPECT_EQ(probe.finalMessages, 1);
    EXPECT_EQ(probe.finalWindow, window);
    EXPECT_EQ(probe.seen.back(), static_cast<UINT>(WM_NCDESTROY));

    // The object can make a new window afterwards.
    HWND second = CreateProbe(probe);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(probe.Hwnd(), second);
    DestroyWindow(second);
    EXPECT_EQ(probe.finalMessages, 2);
}

TEST_F(WindowBase, MessagesSentDuringCreationReachTheObject) {
    CProbeWindow parent;
    CProbeWindow child;
    parent.createChild = true;
    parent.child = &child;
    HWND window = CreateProbe(parent);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(parent.addResultDuringCreate, 42);
    // A second object created inside the first one's WM_CREATE is bound to its own window.
    ASSERT_NE(child.Hwnd(), nullptr);
    EXPECT_EQ(GetParent(child.Hwnd()), window);
    EXPECT_EQ(child.hwndAtCreate, child.Hwnd());
    EXPECT_EQ(parent.childNotified, child.Hwnd());
    EXPECT_EQ(CWindowBase::FromHandle(child.Hwnd()), &child);
    EXPECT_EQ(CWindowBase::FromHandle(window), &parent);
    // Destroying the parent destroys and unbinds the child too.
    DestroyWindow(window);
    EXPECT_EQ(child.Hwnd(), nullptr);
    EXPECT_EQ(child.finalMessages, 1);
}

TEST_F(WindowBase, FailedCreationUnbindsAndReportsFailure) {
    CProbeWindow probe;
    probe.failCreate = true;
    EXPECT_EQ(CreateProbe(probe), nullptr);
    EXPECT_EQ(probe.Hwnd(), nullptr);
    EXPECT_EQ(probe.finalMessages, 1);
    ASSERT_FALSE(probe.seen.empty());
    EXPECT_EQ(probe.seen.back(), static_cast<UINT>(WM_NCDESTROY));
}

TEST_F(WindowBase, DestroyingItselfInsideAHandlerDefersTheFinalMessage) {
    CProbeWindow probe;
    HWND window = CreateProbe(probe);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(SendMessageW(window, kDestroySelf, 0, 0), 1);
    EXPECT_EQ(probe.finalMessagesSeenInsideHandler, 0);
    EXPECT_EQ(probe.finalMessages, 1);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(probe.Hwnd(), nullptr);

    int deletions = 0;
    auto* selfDeleting = new CSelfDeletingWindow(deletions);
    HWND other = selfDeleting->Create({.className = kProbeClass, .style = WS_POPUP});
    ASSERT_NE(other, nullptr);
    DestroyWindow(other);
    EXPECT_EQ(deletions, 1);
}

TEST_F(WindowBase, ObjectGoingOutOfScopeDestroysItsWindow) {
    HWND window = nullptr;
    {
        CProbeWindow probe;
        window = CreateProbe(probe);
        ASSERT_NE(window, nullptr);
    }
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(WindowBase, ClassRegistrationIsIdempotentAndRefusesForeignClasses) {
    EXPECT_TRUE(CWindowBase::RegisterWindowClass(kProbeClass));
    EXPECT_FALSE(CWindowBase::RegisterWindowClass(static_cast<const wchar_t*>(nullptr)));
    // Registered by the test main with another procedure: its windows would never reach an object.
    EXPECT_FALSE(CWindowBase::RegisterWindowClass(L"TessoraTestOwner"));
    CProbeWindow probe;
    EXPECT_EQ(probe.Create({.className = L"TessoraTestOwner", .style = WS_POPUP}), nullptr);
    EXPECT_EQ(probe.Hwnd(), nullptr);
    EXPECT_EQ(CWindowBase::FromHandle(TestOwnerWindow()), nullptr);
}

TEST_F(WindowBase, CreateRefusesAnObjectThatIsAlreadyBound) {
    CProbeWindow probe;
    HWND window = CreateProbe(probe);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(CreateProbe(probe), nullptr);
    EXPECT_EQ(probe.Hwnd(), window);
    DestroyWindow(window);
}

TEST_F(WindowBase, SubclassedControlKeepsItsOwnBehaviourForUnmappedMessages) {
    HWND edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD, 0, 0, 100, 20, TestOwnerWindow(), nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(edit, nullptr);
    {
        CProbeWindow probe;
        ASSERT_TRUE(probe.Subclass(edit));
        EXPECT_FALSE(CProbeWindow().Subclass(edit));  // one object per window
        EXPECT_EQ(CWindowBase::FromHandle(edit), &probe);
        EXPECT_EQ(SendMessageW(edit, kAdd, 1, 2), 3);
        SetWindowTextW(edit, L"typed");  // the edit control's own handling
        wchar_t text[16] = {};
        GetWindowTextW(edit, text, 16);
        EXPECT_STREQ(text, L"typed");
    }
    // The object is gone: the control lives on with its own procedure only.
    ASSERT_TRUE(IsWindow(edit));
    EXPECT_EQ(CWindowBase::FromHandle(edit), nullptr);
    EXPECT_EQ(SendMessageW(edit, kAdd, 1, 2), 0);
    EXPECT_EQ(GetWindowTextLengthW(edit), 5);

    CProbeWindow probe;
    ASSERT_TRUE(probe.Subclass(edit));
    DestroyWindow(edit);
    EXPECT_EQ(probe.Hwnd(), nullptr);
    EXPECT_EQ(probe.finalMessages, 1);
}

}  // namespace
