// How a failed comparison of two rectangles reads.
#pragma once

#include <ostream>

#include "base/pixel_rect.h"

inline void PrintTo(const PixelRect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}
