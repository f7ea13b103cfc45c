// The two-monitor session of the end-to-end tests (scripts/wine-test --monitors): a 1920 x 1080
// primary monitor and a 1280 x 1024 one left of it, so the virtual screen starts at x -1280.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/screen_pattern.h"

namespace e2e {

extern const RECT kPrimaryMonitor;
extern const RECT kLeftMonitor;

RECT virtualScreenRect();
// The empty text when the session shows exactly those two monitors; otherwise what it shows,
// as the reason for skipping.
std::string monitorLayoutMismatch();

// A view stretch whose snapshot is the whole virtual screen; src is in snapshot pixels.
ExpectedView virtualScreenView(int srcX, int srcY, int srcWidth, int srcHeight, int destWidth,
                               int destHeight);

}  // namespace e2e
