// A known picture on the screen and the means to read the screen back. The picture is a
// topmost window of the test's own whose every pixel's colour encodes its coordinates, so a
// read-back pixel tells exactly which screen pixel it shows.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace e2e {

// Red = x & 0xFF, green = y & 0xFF, blue = (x >> 8) | (y >> 8) << 4: unique up to 4096 x 4096.
COLORREF patternColour(int x, int y);
POINT patternPoint(COLORREF colour);

// Wine's system tray window covers the top-left 166 x 45 pixels of the screen; checks keep
// out of this corner, a few pixels larger.
extern const RECT kTrayCorner;
bool inTrayCorner(int x, int y);

// The pattern over the whole screen (or over area), painted by a thread of its own so that
// it repaints while the test waits on something else. Never takes the activation.
class ScreenPattern {
  public:
    ScreenPattern();
    explicit ScreenPattern(const RECT& area);
    // One solid colour instead of the pattern: a patch of new content on the screen.
    ScreenPattern(const RECT& area, COLORREF solid);
    ~ScreenPattern();
    ScreenPattern(const ScreenPattern&) = delete;
    ScreenPattern& operator=(const ScreenPattern&) = delete;

    // True once the window is shown and its pixels read back from the screen as expected.
    bool waitUntilVisible(DWORD timeoutMs = 5000) const;
    HWND window() const { return window_; }
    const RECT& area() const { return area_; }
    // Paint everything again (after a window of the program has gone away, say).
    void repaint() const;

  private:
    static DWORD WINAPI threadMain(void* self);
    COLORREF colourAt(int x, int y) const;
    RECT area_;
    COLORREF solid_ = CLR_INVALID;
    HANDLE thread_ = nullptr;
    HANDLE ready_ = nullptr;
    HWND window_ = nullptr;
};

// A pixel as DIB memory and GDI+ hold it (0xAARRGGBB) in the platform's colour layout
// (0x00BBGGRR); the alpha is dropped.
COLORREF colourRefOf(uint32_t argb);

// The tests' one picture type: pixels row by row from the top, each 0xAARRGGBB as DIB memory
// and GDI+ hold it; at() gives a pixel in the platform's colour layout.
struct PixelGrid {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;

    PixelGrid() = default;
    PixelGrid(int w, int h, uint32_t fill) : width(w), height(h), pixels(size_t(w) * h, fill) {}
    uint32_t argb(int x, int y) const { return pixels[size_t(y) * width + x]; }
    void set(int x, int y, uint32_t value) { pixels[size_t(y) * width + x] = value; }
    COLORREF at(int x, int y) const;  // CLR_INVALID outside
    bool empty() const { return pixels.empty(); }
    bool operator==(const PixelGrid& other) const {
        return width == other.width && height == other.height && pixels == other.pixels;
    }
    bool operator!=(const PixelGrid& other) const { return !(*this == other); }
};

// The header of a 32-bit top-down DIB, and a DIB section made from it; bits receives its
// memory (0x00RRGGBB per pixel), which the caller deletes with the bitmap.
BITMAPINFO dibInfo(int width, int height);
HBITMAP createDib(int width, int height, void** bits);
// The pixels of width x height in a DIB section's memory (alpha 0xFF).
PixelGrid gridFromDibBits(const void* bits, int width, int height);
// A 32-bit top-down DIB section with the picture's pixels; the caller deletes it.
HBITMAP makeBitmap(const PixelGrid& picture);
// Empty when the copy failed.
PixelGrid captureScreen(const RECT& area);
// The whole content of a bitmap (alpha 0xFF), also of one selected into a device context
// (for one the program placed on the clipboard, or a test's drawing surface, say).
PixelGrid gridFromBitmap(HBITMAP bitmap);
COLORREF screenPixel(int x, int y);
bool waitForScreenPixel(int x, int y, COLORREF expected, DWORD timeoutMs);
// The client area of a window in screen coordinates.
RECT clientRectOnScreen(HWND window);

// What the magnifier's view must show: the source rectangle of the snapshot (whose pixel
// (0, 0) is the screen's (originX, originY)) stretched onto destWidth x destHeight from the
// view's (0, 0); the rest of the view, and every pixel whose source lies outside the snapshot,
// in neutral.
struct ExpectedView {
    int srcX, srcY, srcWidth, srcHeight;
    int destWidth, destHeight;
    int snapshotWidth, snapshotHeight;
    COLORREF neutral;
    int originX = 0, originY = 0;
};

// The source pixel of a view pixel with nearest-neighbour sampling; exact when the stretch
// factor is a whole number. False when the view pixel lies outside the destination.
bool viewSource(const ExpectedView& view, int viewX, int viewY, POINT* source);

// Compares a picture of the view with the pattern: picture pixel (0, 0) is view pixel
// (offsetX, offsetY). Pixels whose source lies in the tray corner are skipped. Returns the
// number of mismatches and describes the first few in *report.
int compareViewWithPattern(const PixelGrid& picture, int offsetX, int offsetY,
                           const ExpectedView& view, std::string* report);

}  // namespace e2e
