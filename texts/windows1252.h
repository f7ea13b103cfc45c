// The embedded texts are Windows-1252 bytes. Shown through the system's own code page they
// come out garbled wherever that is not 1252, so they are widened to UTF-16 by this fixed
// table instead. Pure logic.
#pragma once

#include <cstddef>
#include <cstdint>

// One byte is one character and one UTF-16 code unit. The five bytes 1252 leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the control characters of the same number, as
// Windows converts them.
char16_t utf16OfWindows1252(uint8_t byte);

// Widens length bytes, zero bytes included, into as many code units: a text keeps its offset.
template <typename Unit>
void widenWindows1252(const char* text, size_t length, Unit* wide) {
    for (size_t i = 0; i < length; i++) {
        wide[i] = static_cast<Unit>(utf16OfWindows1252(static_cast<uint8_t>(text[i])));
    }
}
