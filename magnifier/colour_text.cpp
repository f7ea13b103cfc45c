#include "magnifier/colour_text.h"

#include <cstdio>

ColourText formatColour(uint32_t colour) {
    ColourText text = {};
    snprintf(text.digits, sizeof(text.digits), "%02X%02X%02X", static_cast<unsigned>(colour & 0xFF),
             static_cast<unsigned>((colour >> 8) & 0xFF),
             static_cast<unsigned>((colour >> 16) & 0xFF));
    return text;
}
