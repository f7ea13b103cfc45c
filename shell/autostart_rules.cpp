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

// The path inside a command of exactly the form "path" -bg; an empty span for any other form.
TextSpan commandPath(const wchar_t* text, size_t length) {
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
    TextSpan path = {text + 1, static_cast<size_t>(closing - text - 1)};
    return path;
}

// The part after the last separator; empty when the path ends in one.
TextSpan fileNameOf(TextSpan path) {
    const wchar_t* name = path.text;
    for (const wchar_t* at = path.text; at < path.text + path.length; ++at) {
        if (*at == L'\\') {
            name = at + 1;
        }
    }
    TextSpan span = {name, static_cast<size_t>(path.text + path.length - name)};
    return span;
}

bool isAsciiLetter(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z');
}

// Control characters and these never stand in a file or folder name; ':' only after a drive.
bool isNameCharacter(wchar_t c) {
    return c >= 0x20 && wcschr(L"<>:\"/|?*", c) == nullptr;
}

// "X:\" then parts, or "\\server\share\" then parts; no part empty, the last one "<name>.exe".
bool isFullExePath(TextSpan path) {
    const wchar_t* p = path.text;
    size_t at = 0;
    size_t rootParts = 0;  // the server and share of a network path
    if (path.length >= 3 && isAsciiLetter(p[0]) && p[1] == L':' && p[2] == L'\\') {
        at = 3;
    } else if (path.length >= 2 && p[0] == L'\\' && p[1] == L'\\') {
        at = 2;
        rootParts = 2;
    } else {
        return false;
    }
    size_t parts = 0;
    size_t partLength = 0;
    for (; at < path.length; ++at) {
        if (p[at] == L'\\') {
            if (partLength == 0) {
                return false;
            }
            ++parts;
            partLength = 0;
        } else if (!isNameCharacter(p[at])) {
            return false;
        } else {
            ++partLength;
        }
    }
    const size_t extension = 4;
    return parts >= rootParts && partLength > extension &&
           equalsIgnoringAsciiCase(p + path.length - extension, L".exe", extension);
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
    if (commandLength == 0) {
        return StoredAutostartValue::Foreign;
    }
    if (storedLength == commandLength && wmemcmp(command, data, commandLength) == 0) {
        return StoredAutostartValue::Matches;
    }
    return isFullExePath(commandPath(data, storedLength)) ? StoredAutostartValue::Stale
                                                          : StoredAutostartValue::Foreign;
}

size_t storedEntryPath(const wchar_t* data, size_t count, wchar_t* out, size_t capacity) {
    if (out == nullptr || capacity == 0) {
        return 0;
    }
    out[0] = L'\0';
    const TextSpan path = commandPath(data, storedTextLength(data, count));
    if (!isFullExePath(path) || path.length >= capacity) {
        return 0;
    }
    wmemcpy(out, path.text, path.length);
    out[path.length] = L'\0';
    return path.length;
}

StoredAutostartValue classifyDefaultValue(const wchar_t* command, const wchar_t* data,
                                          size_t count) {
    StoredAutostartValue judged = classifyStoredValue(command, data, count);
    if (judged != StoredAutostartValue::Stale) {
        return judged;
    }
    TextSpan own = fileNameOf(commandPath(command, wcslen(command)));
    TextSpan stored = fileNameOf(commandPath(data, storedTextLength(data, count)));
    return sameFileName(own, stored) ? StoredAutostartValue::Stale : StoredAutostartValue::Foreign;
}

bool startupApprovalDisables(bool binary, const unsigned char* data, size_t size) {
    return binary && data != nullptr && size == kStartupApprovalSize && (data[0] & 1U) != 0;
}
