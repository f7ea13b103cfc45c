// PixelRect and the platform's RECT carry the same four edges, right and bottom exclusive.
#pragma once

#include <windows.h>

#include "base/pixel_rect.h"

inline PixelRect toPixelRect(const RECT& rect) {
    return PixelRect{rect.left, rect.top, rect.right, rect.bottom};
}

inline RECT toRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}
