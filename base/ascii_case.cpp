#include "base/ascii_case.h"

wchar_t foldAsciiCase(wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool equalsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b, size_t length) {
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

bool equalsIgnoringAsciiCase(const wchar_t* a, const wchar_t* b) {
    if (a == nullptr || b == nullptr) {
        return false;
    }
    for (; *a != L'\0' && *b != L'\0'; ++a, ++b) {
        if (foldAsciiCase(*a) != foldAsciiCase(*b)) {
            return false;
        }
    }
    return *a == *b;
}
