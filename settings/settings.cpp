#include "settings/settings.h"

#include <cstdio>

#include "app/app_state.h"
#include "settings/settings_rules.h"
#include "magnifier/magnifier_window.h"

namespace {

const char kSection[] = "Program";

// The profile functions' text of a key; 0 characters when the key is missing or empty.
DWORD readProfileText(const char* section, const char* key, char (&buffer)[1024]) {
    buffer[0] = '\0';
    if (appState.settingsPath[0] == '\0') {
        return 0;
    }
    return GetPrivateProfileStringA(section, key, "", buffer, sizeof(buffer),
                                    appState.settingsPath);
}

void ensureSettingsFile() {
    HANDLE file = CreateFileA(appState.settingsPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        return;
    }
    file = CreateFileA(appState.settingsPath, GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        SetFileAttributesA(appState.settingsPath, FILE_ATTRIBUTE_HIDDEN);
    }
}

}  // namespace

int systemDefaultLanguage() {
    return languageFromLangId(GetSystemDefaultLangID());
}

void loadSettings() {
    char modulePath[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, modulePath, MAX_PATH);
    // A path the call had to cut, or one whose settings name would not fit, gets no
    // settings file: the program runs on its defaults rather than touch a foreign file.
    if (length == 0 || length >= MAX_PATH ||
        !deriveSettingsPath(modulePath, appState.settingsPath, sizeof(appState.settingsPath))) {
        appState.settingsPath[0] = '\0';
    } else {
        ensureSettingsFile();
    }

    char text[1024];
    if (readProfileText(kSection, "lng", text) != 0) {
        appState.language = parseSettingValue(text);
        return;
    }
    // German is not stored, so it follows the system until the user picks a language.
    appState.language = systemDefaultLanguage();
    if (appState.language == 1) {
        writeSetting("lng", 1);
    }
}

int32_t readProfileInt(const char* section, const char* key, int32_t defaultValue,
                       int32_t lowerBound, int32_t upperBound) {
    char text[1024];
    int32_t value = defaultValue;
    if (readProfileText(section, key, text) != 0) {
        value = parseSettingValue(text);
    }
    return applySettingBounds(value, lowerBound, upperBound);
}

void writeProfileInt(const char* section, const char* key, int32_t value) {
    if (appState.settingsPath[0] == '\0') {
        return;
    }
    char text[1024];
    snprintf(text, sizeof(text), "%d", static_cast<int>(value));
    WritePrivateProfileStringA(section, key, text, appState.settingsPath);
}

int32_t readSetting(const char* key, int32_t defaultValue) {
    return readProfileInt(kSection, key, defaultValue, -1, -1);
}

void writeSetting(const char* key, int32_t value) {
    writeProfileInt(kSection, key, value);
}

void saveViewSettings() {
    writeSetting("cx", magnifier.viewWidth);
    writeSetting("cy", magnifier.viewHeight);
    writeSetting("zoom", magnifier.zoom);
}
