// The screen where the zoom window stood, for a new snapshot taken without a compositor: there
// the windows beneath repaint the area themselves once the zoom window has gone, each in its
// own time (under Wine, when their process reads the X server's expose event).
#pragma once

#include <windows.h>

#include "base/win/handle_guards.h"

// A copy of one rectangle of the screen in a DIB of the program's own.
struct AreaPicture {
    UniqueBitmap bitmap;
    const void* bits = nullptr;  // null: no copy
};

class VacatedArea {
  public:
    // Copies what the screen shows in area now, before the window leaves it.
    explicit VacatedArea(const RECT& area);
    // Returns once the area shows something else and has stopped changing, or after boundMs
    // (an area whose new content looks the same, or a copy that fails).
    void waitForRepaint(DWORD boundMs) const;

  private:
    RECT area_;
    AreaPicture shown_;
};
