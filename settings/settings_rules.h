// Text rules of the settings file, kept free of the platform so they can be tested anywhere.
#pragma once

#include <cstddef>
#include <cstdint>

// The settings path: the module path cut at its last '.' (anywhere in the path, folders
// included) and extended by ".ini". True, with out filled (NUL-terminated), when the result
// fits in outSize characters; otherwise false with out empty, so no file with a truncated,
// foreign name is ever created or written.
bool deriveSettingsPath(const wchar_t* modulePath, wchar_t* out, size_t outSize);

// The per-user settings path, for a program folder the user cannot write: userFolder, then
// "\Vistrel\", then the module's file name cut at its last '.' and extended by ".ini". False,
// with out empty, for a missing argument or a result that would not fit in outSize characters.
bool deriveUserSettingsPath(const wchar_t* modulePath, const wchar_t* userFolder, wchar_t* out,
                            size_t outSize);

// atoi-style reading of a stored value: optional leading blanks, an optional sign, then
// decimal digits; 0 when the text does not begin with a number. Values beyond the 32-bit
// signed range are clamped to INT32_MIN / INT32_MAX instead of wrapping.
int32_t parseSettingValue(const char* text);

// 0 (German) for the German language ids of Germany, Switzerland, Austria and Luxembourg;
// 1 (English) for every other id.
int languageFromLangId(unsigned langId);
