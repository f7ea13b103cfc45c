// The settings file beside the program file: every read and write goes to the file.
#pragma once

#include <cstdint>

void loadSettings();
int32_t readProfileInt(const char* section, const char* key, int32_t defaultValue,
                       int32_t lowerBound, int32_t upperBound);
void writeProfileInt(const char* section, const char* key, int32_t value);
int32_t readSetting(const char* key, int32_t defaultValue);
void writeSetting(const char* key, int32_t value);
void saveViewSettings();
int systemDefaultLanguage();
