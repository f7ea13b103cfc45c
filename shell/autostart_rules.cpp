#include "shell/autostart_rules.h"

#include <cwchar>

#include "base/ascii_case.h"

namespace {

const wchar_t kArgument[] = L" -bg";
const size_t kArgumentLength = sizeof(kArgument) / sizeof(kArgument[0]) - 1;

struct TextSpan {
    const wchar_t* text;
    size_t length;
};

// The file name inside a quoted-path command of exactly the form "path" -bg; an empty span
// when the text has any other form or the path ends in a separator.
TextSpan commandFileName(const wchar_t* text, size_t length) {
    TextSpan none = {text, 0};
    if (length < 2 + kArgumentLength || text[0] != L'"') {
        return none;
    }
    const wchar_t* closing = wmemchr(text + 1, L'"', length - 1);
    if (closing == nullptr) {
        return none;
    }
    size_t rest = length - static_cast<size_t>(closing + 1 - text);
    if (rest != kArgumentLength || wmemcmp(closing + 1, kArgument, kArgumentLength) != 0) {
        return none;
    }
    const wchar_t* name = text + 1;
    for (const wchar_t* at = text + 1; at < closing; ++at) {
        if (*at == L'\\' || *at == L'/') {
            name = at + 1;
        }
    }
    TextSpan span = {name, static_cast<size_t>(closing - name)};
    return span;
}

// File names compare without regard to ASCII letter case, as the file system does. Other
// letters must match exactly: a name that differs only there is left alone, never rewritten.
bool sameFileName(TextSpan a, TextSpan b) {
    return a.length != 0 && a.length == b.length &&
           equalsIgnoringAsciiCase(a.text, b.text, a.length);
}

}  // namespace

size_t buildAutostartCommand(const wchar_t* modulePath, size_t modulePathLength, wchar_t* text,
                             size_t capacity) {
    if (text == nullptr || capacity == 0) {
        return 0;
    }
    text[0] = L'\0';
    if (modulePath == nullptr || modulePathLength == 0 || modulePathLength > capacity - 1 ||
        capacity - 1 - modulePathLength < 2 + kArgumentLength) {
        return 0;
    }
    size_t length = 0;
    text[length++] = L'"';
    wmemcpy(text + length, modulePath, modulePathLength);
    length += modulePathLength;
    text[length++] = L'"';
    wmemcpy(text + length, kArgument, kArgumentLength);
    length += kArgumentLength;
    text[length] = L'\0';
    return length;
}

size_t storedTextLength(const wchar_t* data, size_t count) {
    if (data == nullptr) {
        return 0;
    }
    const wchar_t* zero = wmemchr(data, L'\0', count);
    return zero == nullptr ? count : static_cast<size_t>(zero - data);
}

StoredAutostartValue classifyStoredValue(const wchar_t* command, const wchar_t* data,
                                         size_t count) {
    size_t commandLength = command == nullptr ? 0 : wcslen(command);
    size_t storedLength = storedTextLength(data, count);
    if (commandLength != 0 && storedLength == commandLength &&
        wmemcmp(command, data, commandLength) == 0) {
        return StoredAutostartValue::Matches;
    }
    TextSpan own = commandFileName(command, commandLength);
    TextSpan stored = commandFileName(data, storedLength);
    return sameFileName(own, stored) ? StoredAutostartValue::Stale : StoredAutostartValue::Foreign;
}
