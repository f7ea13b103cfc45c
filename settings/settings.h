// The settings file beside the program file (or the user's own when the program's folder
// cannot take one): every read and write goes to the file.
#pragma once

#include <cstdint>

#include "base/path_text.h"

// The file every read and write goes to.
struct SettingsFile {
    wchar_t path[kPathCapacity];  // empty: no settings file in this run
    // The file existed at start but could not be read: this run keeps its defaults and
    // leaves the file alone.
    bool unread;
};
SettingsFile& settingsFile();

// Finds (or creates) the settings file and returns the language it stores, or the
// system's when it stores none.
int loadSettings();
int32_t readProfileInt(const char* section, const char* key, int32_t defaultValue,
                       int32_t lowerBound, int32_t upperBound);
void writeProfileInt(const char* section, const char* key, int32_t value);
int32_t readSetting(const char* key, int32_t defaultValue);
void writeSetting(const char* key, int32_t value);
void saveViewSettings(int32_t width, int32_t height, int32_t zoom);
int systemDefaultLanguage();
