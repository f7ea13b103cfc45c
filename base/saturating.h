// Narrowing that saturates instead of wrapping, for rules whose inputs come from the platform
// and may lie anywhere in the 32-bit range: work in 64 bits, then bring the result back.
// Static: each file gets a copy of its own, which the compiler treats as one of its own
// helpers; a single shared copy made the program larger.
#pragma once

#include <cstdint>

// low below low, high above high, the value itself between; callers keep low <= high.
static inline int32_t clampToRange(int64_t value, int32_t low, int32_t high) {
    if (value < low) {
        return low;
    }
    if (value > high) {
        return high;
    }
    return static_cast<int32_t>(value);
}

// INT32_MIN below the range, INT32_MAX above it, the value itself inside.
static inline int32_t clampToInt32(int64_t value) {
    return clampToRange(value, INT32_MIN, INT32_MAX);
}
