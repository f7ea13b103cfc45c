// Where the notification area probably is, from what the shell and the desktop report.
// Portable: the Win32 side gathers the values, these rules pick the rectangle.
#pragma once

#include <cstdint>

#include "base/pixel_rect.h"

// The taskbar edges as the shell reports them.
enum : uint32_t { kEdgeLeft = 0, kEdgeTop = 1, kEdgeRight = 2, kEdgeBottom = 3 };

struct TrayAreaFacts {
    // "TrayNotifyWnd" inside "Shell_TrayWnd": both windows exist.
    bool hasNotifyWindow;
    PixelRect notifyWindowRect;
    // The shell answered the taskbar position query.
    bool hasTaskbarPosition;
    uint32_t taskbarEdge;
    PixelRect taskbarPositionRect;
    // A "Shell_TrayWnd" window exists.
    bool hasTaskbarWindow;
    PixelRect taskbarWindowRect;
    PixelRect workArea;
};

// The first rule that applies wins: the notification window itself; a strip near the end of
// the taskbar the shell reports (an edge outside 0-3 gives the empty rectangle); the last
// 150 x 30 of the taskbar window; the bottom-right 150 x 30 of the work area. Differences
// that would leave the 32-bit range saturate instead of wrapping.
PixelRect chooseTrayArea(const TrayAreaFacts& facts);
