// Small move-only owners for GDI and user32 acquisitions. Declare the owned object before
// the guard that selects it, so the selection is undone before the object is deleted.
#pragma once

#include <windows.h>

#include <utility>

template <typename Handle, typename Traits>
class UniqueHandle {
  public:
    UniqueHandle() = default;
    explicit UniqueHandle(Handle handle) : handle_(handle) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            reset(other.release());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    Handle release() { return std::exchange(handle_, nullptr); }
    void reset(Handle handle = nullptr) {
        if (handle_ != nullptr) {
            Traits::close(handle_);
        }
        handle_ = handle;
    }

  private:
    Handle handle_ = nullptr;
};

struct DeleteDcTraits {
    static void close(HDC dc) { DeleteDC(dc); }
};
struct DestroyIconTraits {
    static void close(HICON icon) { DestroyIcon(icon); }
};
struct CloseHandleTraits {
    static void close(HANDLE handle) { CloseHandle(handle); }
};

struct RegistryKeyTraits {
    static void close(HKEY key) { RegCloseKey(key); }
};
struct MenuTraits {
    static void close(HMENU menu) { DestroyMenu(menu); }
};
struct ModuleTraits {
    static void close(HMODULE module) { FreeLibrary(module); }
};

struct GlobalFreeTraits {
    static void close(HGLOBAL block) { GlobalFree(block); }
};

struct BitmapTraits {
    static void close(HBITMAP bitmap) { DeleteObject(bitmap); }
};
struct FontTraits {
    static void close(HFONT font) { DeleteObject(font); }
};

using UniqueHdc = UniqueHandle<HDC, DeleteDcTraits>;  // CreateCompatibleDC
using UniqueBitmap = UniqueHandle<HBITMAP, BitmapTraits>;
using UniqueFont = UniqueHandle<HFONT, FontTraits>;
using UniqueIcon = UniqueHandle<HICON, DestroyIconTraits>;
// Threads and events; a file's INVALID_HANDLE_VALUE must become null before it is owned.
using UniqueKernelHandle = UniqueHandle<HANDLE, CloseHandleTraits>;
using UniqueRegistryKey = UniqueHandle<HKEY, RegistryKeyTraits>;
using UniqueMenu = UniqueHandle<HMENU, MenuTraits>;
using UniqueModule = UniqueHandle<HMODULE, ModuleTraits>;
using UniqueGlobal = UniqueHandle<HGLOBAL, GlobalFreeTraits>;  // GlobalAlloc

// GetDC / ReleaseDC for a window, or for the whole screen with a null window.
class WindowDc {
  public:
    explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
    ~WindowDc() {
        if (dc_ != nullptr) {
            ReleaseDC(window_, dc_);
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a device context and selects the previous one back on scope exit.
class SelectGuard {
  public:
    SelectGuard(HDC dc, HGDIOBJ object) : dc_(dc), previous_(nullptr) {
        if (dc_ != nullptr && object != nullptr) {
            previous_ = SelectObject(dc_, object);
        }
    }
    ~SelectGuard() {
        if (previous_ != nullptr && previous_ != HGDI_ERROR) {
            SelectObject(dc_, previous_);
        }
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// SaveDC / RestoreDC.
class SavedDcState {
  public:
    explicit SavedDcState(HDC dc) : dc_(dc), state_(dc != nullptr ? SaveDC(dc) : 0) {}
    ~SavedDcState() {
        if (state_ != 0) {
            RestoreDC(dc_, state_);
        }
    }
    SavedDcState(const SavedDcState&) = delete;
    SavedDcState& operator=(const SavedDcState&) = delete;

  private:
    HDC dc_;
    int state_;
};

// BeginPaint / EndPaint.
class PaintScope {
  public:
    explicit PaintScope(HWND window) : window_(window) { dc_ = BeginPaint(window_, &paint_); }
    ~PaintScope() { EndPaint(window_, &paint_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    HDC dc() const { return dc_; }

  private:
    HWND window_;
    PAINTSTRUCT paint_{};
    HDC dc_;
};

// OpenClipboard / CloseClipboard; opened() tells whether the clipboard is ours. Clipboard
// managers hold the clipboard for a moment after every change, so opening is tried again for
// about kClipboardPatienceMs (and at most kClipboardAttempts times) before giving up.
class ClipboardScope {
  public:
    static constexpr DWORD kClipboardPatienceMs = 100;
    static constexpr DWORD kClipboardPauseMs = 10;
    static constexpr int kClipboardAttempts = 12;

    explicit ClipboardScope(HWND owner) : open_(openPatiently(owner)) {}
    ~ClipboardScope() {
        if (open_) {
            CloseClipboard();
        }
    }
    ClipboardScope(const ClipboardScope&) = delete;
    ClipboardScope& operator=(const ClipboardScope&) = delete;
    bool opened() const { return open_; }

  private:
    static bool openPatiently(HWND owner) {
        const DWORD start = GetTickCount();
        for (int attempt = 1;; ++attempt) {
            if (OpenClipboard(owner)) {
                return true;
            }
            if (attempt >= kClipboardAttempts || GetTickCount() - start >= kClipboardPatienceMs) {
                return false;
            }
            Sleep(kClipboardPauseMs);
        }
    }

    bool open_;
};
