// ASCII letter case: only A-Z fold to a-z. No other letter ever makes two different names
// count as one, whatever the system's locale or the volume's own case table.
#pragma once

#include <cstddef>

inline wchar_t foldAsciiCase(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

// Whether the first length characters of a and b are equal but for ASCII letter case. Two
// empty spans are equal; a null text with a length above 0 equals nothing.
inline bool equalsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b, size_t length) {
    if (length == 0) {
        return true;
    }
    if (a == nullptr || b == nullptr) {
        return false;
    }
    for (size_t i = 0; i < length; ++i) {
        if (foldAsciiCase(a[i]) != foldAsciiCase(b[i])) {
            return false;
        }
    }
    return true;
}
