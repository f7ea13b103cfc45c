// The pixel colour as the clipboard carries it: six uppercase hex digits, red, green, blue.
#pragma once

#include <cstdint>
#include <memory>

#include "base/text_buffer.h"

// colour is laid out as a COLORREF: red in the lowest byte, then green, then blue; the top
// byte is ignored. Null when no buffer could be had.
std::unique_ptr<TextBuffer> formatColour(uint32_t colour);
