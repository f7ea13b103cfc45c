// Key presses on the help window for the end-to-end tests. The program looks at the held
// keys (GetAsyncKeyState) when a key-down arrives, so the keys are held through SendInput
// and a key-down is posted to the window while they are down.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

namespace e2e {

// Holds the keys, posts WM_KEYDOWN to the window and waits for the effect; releases the
// keys in any case. A focus change in the X server can drop SendInput keys before the
// program looks, so the press is repeated (at most three times) while the effect is missing.
bool pressHeldKeys(HWND window, const std::vector<WORD>& keys, const std::function<bool()>& effect,
                   DWORD timeoutMs = 3000);

// The window that has the keyboard focus in the thread of the given window, or null.
HWND focusOfThreadOf(HWND window);

}  // namespace e2e
