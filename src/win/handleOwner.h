// One owner for the system's resources: GDI objects (gdiHandles.h), global memory, kernel handles
// (files, mappings, events), registry keys, COM interfaces and the open clipboard. Each kind says what its empty value
// is and how it is given back; the owner gives it back exactly once, on every path.
#pragma once
#include <windows.h>

#include <utility>

template <typename Kind>
class Owned {
public:
    using Handle = typename Kind::Handle;

    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    Owned(Owned&& other) noexcept : handle_(other.Release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    ~Owned() { Reset(); }

    Handle Get() const { return handle_; }
    explicit operator bool() const { return Kind::Valid(handle_); }
    Handle operator->() const { return handle_; }
    // For functions that hand out a new resource through a pointer; whatever was held is given back first.
    Handle* Out() {
        Reset();
        return &handle_;
    }
    Handle Release() { return std::exchange(handle_, Kind::Empty()); }
    // Gives back what is held, unless it is what comes instead.
    void Reset(Handle handle = Kind::Empty()) {
        if (Kind::Valid(handle_) && handle_ != handle) Kind::GiveBack(handle_);
        handle_ = handle;
    }

private:
    Handle handle_ = Kind::Empty();
};

struct GlobalMemoryKind {
    using Handle = HGLOBAL;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static void GiveBack(Handle handle) { GlobalFree(handle); }
};

// Kernel handles, whose failure value is INVALID_HANDLE_VALUE for files and null for most others.
struct KernelHandleKind {
    using Handle = HANDLE;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
    static void GiveBack(Handle handle) { CloseHandle(handle); }
};

struct RegistryKeyKind {
    using Handle = HKEY;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static void GiveBack(Handle handle) { RegCloseKey(handle); }
};

template <typename Interface>
struct ComKind {
    using Handle = Interface*;
    static Handle Empty() { return nullptr; }
    static bool Valid(Handle handle) { return handle != nullptr; }
    static void GiveBack(Handle handle) { handle->Release(); }
};

// The clipboard is the process's while OpenClipboard succeeded: the handle is whether it did.
struct OpenClipboardKind {
    using Handle = bool;
    static Handle Empty() { return false; }
    static bool Valid(Handle open) { return open; }
    static void GiveBack(Handle) { CloseClipboard(); }
};

using GlobalMemory = Owned<GlobalMemoryKind>;
using KernelHandle = Owned<KernelHandleKind>;
using RegistryKeyHandle = Owned<RegistryKeyKind>;
template <typename Interface>
using ComObject = Owned<ComKind<Interface>>;
using OpenClipboardScope = Owned<OpenClipboardKind>;

// Opens the clipboard for owner's window; false (and nothing to close) when another program has it.
inline OpenClipboardScope OpenClipboardFor(HWND owner) { return OpenClipboardScope(OpenClipboard(owner) != FALSE); }
