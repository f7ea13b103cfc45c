// Arithmetic of the zoom window, free of the platform: zoom bounds and steps, the view size,
// where the window stands around the cursor, and which rectangle of the screen snapshot is
// stretched onto which rectangle of the window. Integer pixels throughout; divisions truncate.
#pragma once

#include <cstdint>

#include "base/pixel_rect.h"

constexpr int32_t kMinZoom = 1;
constexpr int32_t kMaxZoom = 16;
constexpr int32_t kMinViewSize = 100;

// The colour of every part of the view that shows no snapshot pixel (source beyond the
// snapshot, margins after a right or bottom cut), in the platform's 0x00BBGGRR layout.
constexpr uint32_t kNeutralColour = 0x00808080;

// Virtual-key codes of the zoom window's keys; the numbers are the platform's.
constexpr int32_t kKeyLeft = 37;
constexpr int32_t kKeyUp = 38;
constexpr int32_t kKeyRight = 39;
constexpr int32_t kKeyDown = 40;

struct ViewSize {
    int32_t width;
    int32_t height;
};

struct ViewPoint {
    int32_t x;
    int32_t y;
};

// Source rectangle in snapshot pixels (srcX and srcY may be negative) and the size of the
// target rectangle, which always starts at (0, 0) of the target surface.
struct ViewStretch {
    int32_t srcX;
    int32_t srcY;
    int32_t srcWidth;
    int32_t srcHeight;
    int32_t destWidth;
    int32_t destHeight;
};

// At most four rectangles, held in place so that painting allocates nothing.
struct UncoveredAreas {
    int32_t count;
    PixelRect rects[4];
};

// Not positive gives 2, 16 and above give 16, 1..15 stay.
int32_t clampInitialZoom(int32_t zoom);
int32_t zoomIn(int32_t zoom);
// floor is the lowest zoom this step may reach: 1 for the wheel and scrolling, 2 for the
// keypad minus key.
int32_t zoomOut(int32_t zoom, int32_t floor);

// Each dimension to the screen first, then up to 100, so a screen smaller than 100 pixels
// still gives 100.
ViewSize clampViewSize(int32_t width, int32_t height, int32_t screenWidth, int32_t screenHeight);
// Top-left corner of a viewWidth x viewHeight window centred on the cursor (px, py).
ViewPoint centredOrigin(int32_t px, int32_t py, int32_t viewWidth, int32_t viewHeight);
// A screen position relative to the snapshot, whose pixel (0, 0) is the virtual screen's
// top-left corner (negative when a monitor lies left of or above the primary one).
ViewPoint snapshotPosition(int32_t px, int32_t py, int32_t screenLeft, int32_t screenTop);
// Callers keep zoom in 1..16 and the view at 100 x 100 or more; other values are brought
// into range rather than divided by.
ViewStretch computeViewStretch(int32_t snapX, int32_t snapY, int32_t viewWidth, int32_t viewHeight,
                               int32_t zoom, int32_t screenWidth, int32_t screenHeight);
// False for a stretch that would paint nothing or mirror the picture, which happens only
// when the cursor lies far outside the snapshot (the screen changed since it was taken).
bool stretchIsDrawable(const ViewStretch& stretch);

// The parts of a targetWidth x targetHeight surface that the stretch leaves without a
// snapshot pixel: beyond destWidth x destHeight, and where the source lies outside the
// snapshotWidth x snapshotHeight snapshot. The rectangles err toward the stretched area by
// less than one zoomed pixel, so filling them before the stretch leaves nothing stale
// whatever rounding the stretch uses; an undrawable stretch leaves the whole surface.
UncoveredAreas uncoveredAreas(const ViewStretch& stretch, int32_t targetWidth, int32_t targetHeight,
                              int32_t snapshotWidth, int32_t snapshotHeight);

// Key rows: the size step (2 with Shift, else 20), the digit keys 1..9 of the main keyboard
// (0 for any other key), the arrows (the size unchanged for any other key; far beyond the
// screen rather than wrapped around for sizes near the 32-bit limits).
int32_t keyStep(bool shiftDown);
int32_t zoomForDigitKey(int32_t virtualKey);
ViewSize viewSizeAfterArrow(int32_t virtualKey, int32_t width, int32_t height, int32_t step);
// One zoom step per wheel message whatever the size of delta; none for a delta of 0.
int32_t zoomAfterWheel(int32_t zoom, int32_t delta);
// Scroll codes 0 and 2 zoom out (down to 1), 1 and 3 zoom in; any other code changes nothing.
int32_t zoomAfterScroll(int32_t zoom, int32_t code);
