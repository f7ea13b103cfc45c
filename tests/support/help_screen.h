// Screen read-back for the end-to-end tests: a copy of part of the screen, as the user sees it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace e2e {

class ScreenPicture {
  public:
    // Copies the screen rectangle (screen coordinates); empty when the copy failed.
    explicit ScreenPicture(const RECT& area);
    bool empty() const { return pixels_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    // Pixel at (x, y) relative to the area's top-left corner; CLR_INVALID outside.
    COLORREF at(int x, int y) const;
    bool operator==(const ScreenPicture& other) const { return pixels_ == other.pixels_; }
    bool operator!=(const ScreenPicture& other) const { return !(*this == other); }

  private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top-down rows
};

// The window's client area in screen coordinates.
RECT clientAreaOnScreen(HWND window);

// Wine's own system tray window covers the top-left corner of the screen; pixel checks
// keep out of it.
bool insideWineTrayCorner(int screenX, int screenY);

}  // namespace e2e
