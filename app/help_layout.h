// Drawing rules of the help page, free of the platform so they can be tested anywhere.
#pragma once

#include <cstdint>

// Red share b of pixel row `row` in a client area `height` rows high: row / height * 200,
// worked out in double precision (quotient first) and truncated, so row 23 of 40 gives 114.
// A height of 0 or less gives 0; a row outside the area counts as the nearest row inside.
int32_t helpGradientShare(int32_t row, int32_t height);

// The row's colour as a COLORREF (0x00BBGGRR): red b, green 0, blue 200 - b.
uint32_t helpGradientColour(int32_t row, int32_t height);

// The font's height field for a client `width` pixels wide: -floor(3 * width / 128), the
// negative character height. 0 for a width of 0 or less.
int32_t helpFontHeight(int32_t width);

// How far the white text lies left of and above its black shadow: -floor(3 * width / 1280),
// 0 or negative. 0 for a width of 0 or less.
int32_t helpShadowOffset(int32_t width);
