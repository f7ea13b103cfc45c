#include "settings/settings_rules.h"

#include <cstring>

int deriveSettingsPath(const char* modulePath, char* out, size_t outSize) {
    static const char kExtension[] = ".ini";
    if (out == nullptr || outSize == 0) {
        return 0;
    }
    out[0] = '\0';
    if (modulePath == nullptr) {
        return 0;
    }
    size_t length = strlen(modulePath);
    const char* dot = strrchr(modulePath, '.');
    if (dot != nullptr) {
        length = static_cast<size_t>(dot - modulePath);
    }
    if (length + sizeof(kExtension) > outSize) {
        return 0;
    }
    memcpy(out, modulePath, length);
    memcpy(out + length, kExtension, sizeof(kExtension));
    return 1;
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

int32_t applySettingBounds(int32_t value, int32_t lowerBound, int32_t upperBound) {
    if (lowerBound == -1 || upperBound == -1) {
        return value;
    }
    if (value > upperBound) {
        value = upperBound;
    }
    if (value < lowerBound) {
        value = lowerBound;
    }
    return value;
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
