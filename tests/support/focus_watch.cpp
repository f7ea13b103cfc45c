#include "tests/support/focus_watch.h"

#include <algorithm>

#include "tests/support/e2e.h"

namespace e2e {

FocusWatch::FocusWatch() {
    registerTestClass("VistrelFocusWatch", windowProc);
    window_ =
        CreateWindowExA(0, "VistrelFocusWatch", "focus watch", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                        1500, 800, 300, 200, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetForegroundWindow(window_);
    waitUntil([&] { return valid(); }, 3000);
    pumpFor(300);
    deactivations_ = 0;
}

FocusWatch::~FocusWatch() {
    DestroyWindow(window_);
}

bool FocusWatch::receivedKey(WPARAM virtualKey) const {
    return std::find(keys_.begin(), keys_.end(), virtualKey) != keys_.end();
}

LRESULT CALLBACK FocusWatch::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<FocusWatch*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self != nullptr && message == WM_ACTIVATE && LOWORD(wParam) == WA_INACTIVE) {
        ++self->deactivations_;
    }
    if (self != nullptr && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) {
        self->keys_.push_back(wParam);
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace e2e
