#include "shell/autostart_rules.h"

#include <cstring>

namespace {

const char kArgument[] = " -bg";
const size_t kArgumentLength = sizeof(kArgument) - 1;

struct TextSpan {
    const char* text;
    size_t length;
};

// The file name inside a quoted-path command of exactly the form "path" -bg; an empty span
// when the text has any other form or the path ends in a separator.
TextSpan commandFileName(const char* text, size_t length) {
    TextSpan none = {text, 0};
    if (length < 2 + kArgumentLength || text[0] != '"') {
        return none;
    }
    const char* closing = static_cast<const char*>(memchr(text + 1, '"', length - 1));
    if (closing == nullptr) {
        return none;
    }
    size_t rest = length - static_cast<size_t>(closing + 1 - text);
    if (rest != kArgumentLength || memcmp(closing + 1, kArgument, kArgumentLength) != 0) {
        return none;
    }
    const char* name = text + 1;
    for (const char* at = text + 1; at < closing; ++at) {
        if (*at == '\\' || *at == '/') {
            name = at + 1;
        }
    }
    TextSpan span = {name, static_cast<size_t>(closing - name)};
    return span;
}

char foldAsciiCase(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// File names compare without regard to ASCII letter case, as the file system does. Other
// letters must match exactly: a name that differs only there is left alone, never rewritten.
bool sameFileName(TextSpan a, TextSpan b) {
    if (a.length == 0 || a.length != b.length) {
        return false;
    }
    for (size_t i = 0; i < a.length; ++i) {
        if (foldAsciiCase(a.text[i]) != foldAsciiCase(b.text[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

size_t buildAutostartCommand(const char* modulePath, size_t modulePathLength, char* text,
                             size_t capacity) {
    if (text == nullptr || capacity == 0) {
        return 0;
    }
    text[0] = '\0';
    if (modulePath == nullptr || modulePathLength == 0 || modulePathLength > capacity - 1 ||
        capacity - 1 - modulePathLength < 2 + kArgumentLength) {
        return 0;
    }
    size_t length = 0;
    text[length++] = '"';
    memcpy(text + length, modulePath, modulePathLength);
    length += modulePathLength;
    text[length++] = '"';
    memcpy(text + length, kArgument, kArgumentLength);
    length += kArgumentLength;
    text[length] = '\0';
    return length;
}

size_t storedTextLength(const char* data, size_t size) {
    if (data == nullptr) {
        return 0;
    }
    const void* zero = memchr(data, '\0', size);
    return zero == nullptr ? size : static_cast<size_t>(static_cast<const char*>(zero) - data);
}

StoredAutostartValue classifyStoredValue(const char* command, const char* data, size_t size) {
    size_t commandLength = command == nullptr ? 0 : strlen(command);
    size_t storedLength = storedTextLength(data, size);
    // Equal texts are equal byte for byte, also for multibyte characters.
    if (commandLength != 0 && storedLength == commandLength &&
        memcmp(command, data, commandLength) == 0) {
        return StoredAutostartValue::Matches;
    }
    TextSpan own = commandFileName(command, commandLength);
    TextSpan stored = commandFileName(data, storedLength);
    return sameFileName(own, stored) ? StoredAutostartValue::Stale : StoredAutostartValue::Foreign;
}
