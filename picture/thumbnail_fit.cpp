#include "picture/thumbnail_fit.h"

#include <cstring>

namespace {

const char kJpgExtension[] = ".jpg";
constexpr size_t kJpgExtensionLength = sizeof(kJpgExtension) - 1;

char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool equalsIgnoringAsciiCase(const char* a, const char* b) {
    for (; *a != '\0' && *b != '\0'; ++a, ++b) {
        if (asciiLower(*a) != asciiLower(*b)) {
            return false;
        }
    }
    return *a == *b;
}

}  // namespace

ThumbnailRect fitThumbnail(int32_t width, int32_t height) {
    ThumbnailRect rect = {0, 0, kThumbnailWidth, kThumbnailHeight};
    if (width < 0) {
        width = 0;
    }
    if (height < 0) {
        height = 0;
    }
    const float a = static_cast<float>(width * static_cast<double>(kThumbnailWidthFactor));
    const double b = height * static_cast<double>(kThumbnailHeightFactor);
    // n stays within the thumbnail: the comparison bounds each quotient by 250 or 200.
    if (a < b) {
        const int32_t n = static_cast<int32_t>(width / b);
        rect.left = (kThumbnailWidth - n) / 2;
        rect.right = rect.left + n;
    } else if (b < a) {
        const int32_t n = static_cast<int32_t>(height / static_cast<double>(a));
        rect.top = (kThumbnailHeight - n) / 2;
        rect.bottom = rect.top + n;
    }
    return rect;
}

int ensureJpgExtension(char* path, size_t capacity) {
    if (path == nullptr) {
        return 0;
    }
    const size_t length = strnlen(path, capacity);
    if (length == capacity) {
        return 0;  // not terminated inside the buffer
    }
    const char* dot = strrchr(path, '.');
    if (dot != nullptr && equalsIgnoringAsciiCase(dot, kJpgExtension)) {
        return 1;
    }
    if (capacity - length <= kJpgExtensionLength) {
        return 0;
    }
    memcpy(path + length, kJpgExtension, kJpgExtensionLength + 1);
    return 1;
}
