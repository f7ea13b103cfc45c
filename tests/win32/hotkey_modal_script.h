// Drives a modal loop of this thread from inside: a thread timer runs one step per tick
// while DialogBoxParamA or MessageBoxA has control. A step returns true when it is done and
// false to be tried again on the next tick. When a step stays undone too long the script
// gives up, closes what is open and reports it, so a broken dialog cannot hang the tests.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/support/e2e.h"

namespace modal {

using Step = std::function<bool()>;

class Script {
  public:
    explicit Script(std::vector<Step> steps) : steps_(std::move(steps)) {}
    ~Script() { stop(); }
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;

    void start() {
        current() = this;
        timer_ = SetTimer(nullptr, 0, 30, &Script::tick);
    }
    void stop() {
        if (timer_ != 0) {
            KillTimer(nullptr, timer_);
            timer_ = 0;
        }
        if (current() == this) {
            current() = nullptr;
        }
    }
    bool finished() const { return next_ == steps_.size(); }
    bool gaveUp() const { return gaveUp_; }

  private:
    static Script*& current() {
        static Script* script = nullptr;
        return script;
    }
    static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
        Script* script = current();
        if (script != nullptr) {
            script->runStep();
        }
    }
    void runStep() {
        if (finished()) {
            return;
        }
        if (running_) {
            // A step is stuck in a modal loop it opened: close the windows so it returns.
            if (++tries_ > kPatience) {
                gaveUp_ = true;
                closeEverything();
            }
            return;
        }
        running_ = true;  // a step may open a modal loop of its own that ticks again
        bool done = steps_[next_]();
        running_ = false;
        if (done) {
            ++next_;
            tries_ = 0;
        } else if (++tries_ > kPatience || gaveUp_) {
            gaveUp_ = true;
            next_ = steps_.size();
            closeEverything();
        }
    }
    static BOOL CALLBACK closeOne(HWND window, LPARAM) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        char name[64] = {};
        GetClassNameA(window, name, sizeof(name));
        if (process == GetCurrentProcessId() && lstrcmpA(name, "#32770") == 0) {
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
        return TRUE;
    }
    static void closeEverything() { EnumWindows(closeOne, 0); }

    static const int kPatience = 300;  // ticks of 30 ms

    std::vector<Step> steps_;
    size_t next_ = 0;
    int tries_ = 0;
    bool running_ = false;
    bool gaveUp_ = false;
    UINT_PTR timer_ = 0;
};

inline BOOL CALLBACK collectDialog(HWND window, LPARAM context) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    if (process == GetCurrentProcessId() && lstrcmpA(name, "#32770") == 0 &&
        IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    }
    return TRUE;
}

// The visible top-level dialog windows (#32770) of this process.
inline std::vector<HWND> dialogsOfThisProcess() {
    std::vector<HWND> found;
    EnumWindows(collectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

// The visible dialog of this process with the given caption, or null.
inline HWND dialogTitled(const char* caption) {
    for (HWND window : dialogsOfThisProcess()) {
        if (e2e::windowText(window) == caption) {
            return window;
        }
    }
    return nullptr;
}

}  // namespace modal
