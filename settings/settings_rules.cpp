#include "settings/settings_rules.h"

#include <cwchar>

bool deriveSettingsPath(const wchar_t* modulePath, wchar_t* out, size_t outSize) {
    static const wchar_t kExtension[] = L".ini";
    const size_t extensionSize = sizeof(kExtension) / sizeof(kExtension[0]);
    if (out == nullptr || outSize == 0) {
        return false;
    }
    out[0] = L'\0';
    if (modulePath == nullptr) {
        return false;
    }
    size_t length = wcslen(modulePath);
    const wchar_t* dot = wcsrchr(modulePath, L'.');
    if (dot != nullptr) {
        length = static_cast<size_t>(dot - modulePath);
    }
    if (length + extensionSize > outSize) {
        return false;
    }
    wmemcpy(out, modulePath, length);
    wmemcpy(out + length, kExtension, extensionSize);
    return true;
}

bool deriveUserSettingsPath(const wchar_t* modulePath, const wchar_t* userFolder, wchar_t* out,
                            size_t outSize) {
    static const wchar_t kFolder[] = L"\\Vistrel\\";
    static const wchar_t kExtension[] = L".ini";
    if (out == nullptr || outSize == 0) {
        return false;
    }
    out[0] = L'\0';
    if (modulePath == nullptr || userFolder == nullptr) {
        return false;
    }
    const wchar_t* name = modulePath;
    for (const wchar_t* p = modulePath; *p != L'\0'; ++p) {
        if (*p == L'\\' || *p == L'/') {
            name = p + 1;
        }
    }
    const wchar_t* dot = wcsrchr(name, L'.');
    const size_t nameLength = dot != nullptr ? static_cast<size_t>(dot - name) : wcslen(name);
    const size_t folderLength = wcslen(userFolder);
    const size_t middleLength = wcslen(kFolder);
    const size_t extensionSize = sizeof(kExtension) / sizeof(kExtension[0]);
    if (folderLength + middleLength + nameLength + extensionSize > outSize) {
        return false;
    }
    wchar_t* end = wmemcpy(out, userFolder, folderLength) + folderLength;
    end = wmemcpy(end, kFolder, middleLength) + middleLength;
    end = wmemcpy(end, name, nameLength) + nameLength;
    wmemcpy(end, kExtension, extensionSize);
    return true;
}

int32_t parseSettingValue(const char* text) {
    if (text == nullptr) {
        return 0;
    }
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\v' || *p == '\f') {
        ++p;
    }
    bool negative = false;
    if (*p == '+' || *p == '-') {
        negative = (*p == '-');
        ++p;
    }
    int64_t magnitude = 0;
    const int64_t limit = negative ? -static_cast<int64_t>(INT32_MIN) : INT32_MAX;
    while (*p >= '0' && *p <= '9') {
        if (magnitude < limit) {
            magnitude = magnitude * 10 + (*p - '0');
            if (magnitude > limit) {
                magnitude = limit;
            }
        }
        ++p;
    }
    return static_cast<int32_t>(negative ? -magnitude : magnitude);
}

int languageFromLangId(unsigned langId) {
    switch (langId) {
        case 1031:
        case 2055:
        case 3079:
        case 4103:
            return 0;
        default:
            return 1;
    }
}
