// Narrowing that saturates instead of wrapping, for rules whose inputs come from the platform
// and may lie anywhere in the 32-bit range: work in 64 bits, then bring the result back.
#pragma once

#include <cstdint>

// INT32_MIN below the range, INT32_MAX above it, the value itself inside.
int32_t clampToInt32(int64_t value);
// low below low, high above high, the value itself between; callers keep low <= high.
int32_t clampToRange(int64_t value, int32_t low, int32_t high);
