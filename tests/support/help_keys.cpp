#include "tests/support/help_keys.h"

#include "tests/support/e2e.h"

namespace e2e {

namespace {

bool allDown(const std::vector<WORD>& keys) {
    for (WORD key : keys) {
        if ((GetAsyncKeyState(key) & 0x8000) == 0) {
            return false;
        }
    }
    return true;
}

bool noneDown(const std::vector<WORD>& keys) {
    for (WORD key : keys) {
        if ((GetAsyncKeyState(key) & 0x8000) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool pressHeldKeys(HWND window, const std::vector<WORD>& keys, const std::function<bool()>& effect,
                   DWORD timeoutMs) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        for (WORD key : keys) {
            keyDown(key);
        }
        waitUntil([&] { return allDown(keys); }, 2000);
        if (IsWindow(window)) {
            PostMessageA(window, WM_KEYDOWN, keys.empty() ? 'Q' : keys.back(), 0);
        }
        bool done = waitUntil(effect, timeoutMs);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            keyUp(*key);
        }
        waitUntil([&] { return noneDown(keys); }, 2000);
        if (done) {
            return true;
        }
    }
    return false;
}

HWND focusOfThreadOf(HWND window) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (thread == 0 || !GetGUIThreadInfo(thread, &info)) {
        return nullptr;
    }
    return info.hwndFocus;
}

}  // namespace e2e
