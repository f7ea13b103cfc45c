// Driving and observing the program's zoom window from outside: cursor, activation, keys and
// buttons, and the view read back from the screen.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/e2e.h"
#include "tests/support/screen_pattern.h"

namespace e2e {

// The program's fixed neutral colour for view areas without a snapshot pixel.
extern const COLORREF kNeutral;

// Sets the cursor and waits until the system reports it there (Wine may report the previous
// position for a while after an input event).
bool moveCursorTo(int x, int y);

RECT centredRect(int cursorX, int cursorY, int width, int height);
bool sameRect(const RECT& a, const RECT& b);
std::string describeRect(const RECT& rect);

// The visible zoom window of the program, once it stands at rect; null when the time is up.
HWND waitForZoomWindowAt(const Program& program, const RECT& rect, DWORD timeoutMs = 5000);
bool waitForZoomWindowHidden(const Program& program, DWORD timeoutMs = 5000);
// The visible zoom window of the program wherever it stands; null when the time is up.
HWND waitForZoomWindowShown(const Program& program, DWORD timeoutMs = 5000);
// Puts the cursor at (x, y), starts the program unless it runs, sends the magnify command and
// returns the zoom window once it stands width x height centred on the cursor; null when a
// step fails or the time is up.
HWND startAndMagnify(Program& program, int x, int y, int width = 700, int height = 300);
// Activates as the magnify command does, handled before the call returns: the zoom window
// when it is visible then, else null.
HWND magnifyNow(const Program& program);
// Waits until the window is the foreground window and the focus change has settled: Wine
// resets keys held through SendInput when the X focus moves, so press them afterwards.
bool waitForKeyboardFocus(HWND window, DWORD timeoutMs = 3000);

// A view stretch whose snapshot is the whole primary screen.
ExpectedView screenView(int srcX, int srcY, int srcWidth, int srcHeight, int destWidth,
                        int destHeight);

// Waits until the on-screen part of the window's client area (whose top-left is the view's
// (0, 0)) shows the view; *report describes the last mismatches otherwise.
bool waitForView(HWND zoomWindow, const ExpectedView& view, DWORD timeoutMs, std::string* report);

// The parts of a view that lie off the screen while the window is centred on a cursor near an
// edge: the window is moved to place and its whole client area compared before the follow
// timer brings it back (tried again when the timer wins).
bool viewMatchesWhenMovedTo(HWND zoomWindow, POINT place, const ExpectedView& view,
                            std::string* report);

// Keys straight to a window: sent (handled before the call returns) or posted (for keys
// that open a modal loop in the program).
bool sendKeyDown(HWND window, WPARAM key);
bool postKeyDown(HWND window, WPARAM key);
bool sendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Mouse buttons and wheel through SendInput, at the cursor's position.
void clickLeft();
void clickRight();

// Releases the listed keys when it goes out of scope, so a failing test leaves none held.
class HeldKeys {
  public:
    HeldKeys() = default;
    ~HeldKeys();
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;
    // Presses the key and waits until the system reports it down.
    void press(WORD virtualKey);
    // The modifier (none for 0), a moment for the program to see it alone, then the key.
    void pressChord(WORD modifier, WORD virtualKey);
    void releaseAll();

  private:
    WORD keys_[8] = {};
    int count_ = 0;
};

}  // namespace e2e
