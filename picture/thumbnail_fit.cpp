#include "picture/thumbnail_fit.h"

#include <cwchar>

#include "base/ascii_case.h"

namespace {

const wchar_t kJpgExtension[] = L".jpg";
constexpr size_t kJpgExtensionLength = sizeof(kJpgExtension) / sizeof(kJpgExtension[0]) - 1;
const wchar_t kHexDigits[] = L"0123456789abcdef";

// Whether the length characters of path end in ".jpg", in any ASCII letter case; the same as
// the text from its last '.' being ".jpg", as "jpg" holds no dot.
bool endsInJpg(const wchar_t* path, size_t length) {
    return length >= kJpgExtensionLength &&
           equalsIgnoringAsciiCase(path + length - kJpgExtensionLength, kJpgExtension,
                                   kJpgExtensionLength);
}

}  // namespace

PixelRect fitThumbnail(int32_t width, int32_t height) {
    PixelRect rect = {0, 0, kThumbnailWidth, kThumbnailHeight};
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

int ensureJpgExtension(wchar_t* path, size_t capacity) {
    if (path == nullptr) {
        return 0;
    }
    const size_t length = wcsnlen(path, capacity);
    if (length == capacity) {
        return 0;  // not terminated inside the buffer
    }
    if (endsInJpg(path, length)) {
        return 1;
    }
    if (capacity - length <= kJpgExtensionLength) {
        return 0;
    }
    wmemcpy(path + length, kJpgExtension, kJpgExtensionLength + 1);
    return 1;
}

int temporarySaveName(const wchar_t* path, unsigned attempt, wchar_t* out, size_t capacity) {
    if (out == nullptr || capacity == 0) {
        return 0;
    }
    out[0] = L'\0';
    if (path == nullptr || attempt >= kTemporaryNameCount) {
        return 0;
    }
    const size_t length = wcsnlen(path, capacity);
    if (length == capacity || !endsInJpg(path, length)) {
        return 0;
    }
    wmemcpy(out, path, length + 1);
    // The dot stays, so the name never loses its last character to the folder.
    wchar_t* suffix = out + length - (kJpgExtensionLength - 1);
    suffix[0] = L'~';
    suffix[1] = kHexDigits[attempt / 16];
    suffix[2] = kHexDigits[attempt % 16];
    return 1;
}

bool watermarkFits(uint32_t width, uint32_t height) {
    return width <= kWatermarkSideLimit && height <= kWatermarkSideLimit;
}

SaveFailure saveFailureOf(uint32_t systemError) {
    // The Win32 values, fixed by the platform; the Win32 side checks them against windows.h.
    switch (systemError) {
        case 32:  // ERROR_SHARING_VIOLATION
        case 33:  // ERROR_LOCK_VIOLATION
            return SaveFailure::kHeld;
        case 112:   // ERROR_DISK_FULL
        case 39:    // ERROR_HANDLE_DISK_FULL
        case 1295:  // ERROR_DISK_QUOTA_EXCEEDED
            return SaveFailure::kDiskFull;
        case 5:   // ERROR_ACCESS_DENIED
        case 19:  // ERROR_WRITE_PROTECT
            return SaveFailure::kAccessDenied;
        default:
            return SaveFailure::kOther;
    }
}

namespace {

// Appends text, as much of it as fits before the last `reserve` characters; out stays terminated.
void appendBounded(wchar_t* out, size_t capacity, size_t reserve, const wchar_t* text) {
    if (text == nullptr) {
        return;
    }
    size_t length = wcsnlen(out, capacity);
    for (; *text != L'\0' && length + 1 + reserve < capacity; ++text, ++length) {
        out[length] = *text;
    }
    out[length] = L'\0';
}

}  // namespace

void composeSaveFailure(wchar_t* out, size_t capacity, const wchar_t* heading, const wchar_t* path,
                        const wchar_t* reason) {
    if (out == nullptr || capacity == 0) {
        return;
    }
    out[0] = L'\0';
    const size_t reasonLength = reason != nullptr ? wcslen(reason) : 0;
    // The two line breaks before the reason and the reason itself keep their room.
    const size_t tail = reasonLength + 2;
    appendBounded(out, capacity, tail, heading);
    appendBounded(out, capacity, tail, L"\n");
    appendBounded(out, capacity, tail, path);
    appendBounded(out, capacity, 0, L"\n\n");
    appendBounded(out, capacity, 0, reason);
}
