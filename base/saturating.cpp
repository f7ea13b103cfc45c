#include "base/saturating.h"

int32_t clampToInt32(int64_t value) {
    return clampToRange(value, INT32_MIN, INT32_MAX);
}

int32_t clampToRange(int64_t value, int32_t low, int32_t high) {
    if (value < low) {
        return low;
    }
    if (value > high) {
        return high;
    }
    return static_cast<int32_t>(value);
}
