// Letter case as file names compare: only A-Z fold to a-z. No other letter ever makes two
// different names count as one, whatever the system's locale.
#pragma once

#include <cstddef>

wchar_t foldAsciiCase(wchar_t c);
// Whether the first length characters of a and b are equal but for ASCII letter case. Two
// empty spans are equal; a null text with a length above 0 equals nothing.
bool equalsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b, size_t length);
// The same for two terminated texts, which must also be of one length. A null text equals
// nothing.
bool equalsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b);
