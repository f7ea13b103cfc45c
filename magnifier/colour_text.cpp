#include "magnifier/colour_text.h"

#include <new>

std::unique_ptr<TextBuffer> formatColour(uint32_t colour) {
    std::unique_ptr<TextBuffer> text(new (std::nothrow) TextBuffer);
    if (text) {
        text->format("%02X%02X%02X", static_cast<unsigned>(colour & 0xFF),
                     static_cast<unsigned>((colour >> 8) & 0xFF),
                     static_cast<unsigned>((colour >> 16) & 0xFF));
    }
    return text;
}
