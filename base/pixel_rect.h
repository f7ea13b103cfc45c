// A rectangle of whole pixels, free of the platform: the parts of the zoom window's view
// without a snapshot pixel, where the view lands in the thumbnail, where the notification
// area probably is. Right and bottom are exclusive.
#pragma once

#include <cstdint>

struct PixelRect {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

inline bool operator==(const PixelRect& a, const PixelRect& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

inline bool operator!=(const PixelRect& a, const PixelRect& b) {
    return !(a == b);
}
