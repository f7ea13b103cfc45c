#include "app/help_layout.h"

int32_t helpGradientShare(int32_t row, int32_t height) {
    if (height <= 0) {
        return 0;
    }
    if (row < 0) {
        row = 0;
    }
    if (row >= height) {
        row = height - 1;
    }
    // The order of the double operations decides rows such as 23 of 40 (114.99999... -> 114).
    double quotient = static_cast<double>(row) / static_cast<double>(height);
    return static_cast<int32_t>(quotient * 200.0);
}

uint32_t helpGradientColour(int32_t row, int32_t height) {
    uint32_t share = static_cast<uint32_t>(helpGradientShare(row, height));
    return share + (200u - share) * 65536u;
}

namespace {

// -floor(3 * width / divisor) in 64 bits, so very wide clients cannot overflow.
int32_t negativeThreeParts(int32_t width, int64_t divisor) {
    if (width <= 0) {
        return 0;
    }
    return static_cast<int32_t>(-(3 * static_cast<int64_t>(width) / divisor));
}

}  // namespace

int32_t helpFontHeight(int32_t width) {
    return negativeThreeParts(width, 128);
}

int32_t helpShadowOffset(int32_t width) {
    return negativeThreeParts(width, 1280);
}
