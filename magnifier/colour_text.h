// The pixel colour as the clipboard carries it: six uppercase hex digits, red, green, blue.
#pragma once

#include <cstdint>

struct ColourText {
    char digits[7];  // NUL-terminated
};

// colour is laid out as a COLORREF: red in the lowest byte, then green, then blue; the top
// byte is ignored.
ColourText formatColour(uint32_t colour);
