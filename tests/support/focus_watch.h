// A plain top-level window of the test's own in the foreground, standing for the application
// the user works in: it counts how often it loses activation and logs the keys it receives.
#pragma once

#include <windows.h>

#include <vector>

#include "tests/support/tray.h"

namespace e2e {

class FocusWatch {
  public:
    // Shows the window and waits until it is the foreground window (valid() then).
    FocusWatch();
    ~FocusWatch();
    FocusWatch(const FocusWatch&) = delete;
    FocusWatch& operator=(const FocusWatch&) = delete;

    bool valid() const { return window_ != nullptr && GetForegroundWindow() == window_; }
    int deactivations() const { return deactivations_; }
    bool receivedKey(WPARAM virtualKey) const;

  private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    // The first icon of a Wine session brings up Wine's tray window, which takes the
    // foreground: added before the window, so that never counts against a start watched.
    OwnTrayIcon firstIcon_;
    HWND window_ = nullptr;
    int deactivations_ = 0;
    std::vector<WPARAM> keys_;
};

}  // namespace e2e
