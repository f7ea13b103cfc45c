// The autostart command text and the rules for judging what the Run key's value holds.
// Portable: the registry and the module path are read by shell/autostart.cpp.
#pragma once

#include <cstddef>

// The module path as GetModuleFileNameA is given room for it, terminator included.
constexpr size_t kModulePathCapacity = 260;
// Quote, path of at most 259 characters, quote, blank, -bg, terminator.
constexpr size_t kAutostartCommandCapacity = kModulePathCapacity + 6;
// The most bytes the check accepts from the registry; a longer value counts as absent.
constexpr size_t kStoredValueCapacity = 1024;

// Writes the command text for the program file at modulePath (modulePathLength characters)
// into text: a double quote, the path, a double quote, a blank and -bg. Returns its length,
// or 0 (text empty) when the path is empty or the text would not fit into capacity bytes.
size_t buildAutostartCommand(const char* modulePath, size_t modulePathLength, char* text,
                             size_t capacity);

// The length of the text held in size bytes: up to the first zero byte, or all of them when
// none is there. Never looks beyond size bytes.
size_t storedTextLength(const char* data, size_t size);

enum class StoredAutostartValue {
    Matches,  // the value is the command text itself
    Stale,    // this program's entry naming another path: rewrite it
    Foreign,  // anything else: leave it alone
};

// Judges the size bytes a registry query returned against the command text. A stale entry
// is a quoted path whose file name is the command's file name (letter case aside),
// followed by exactly " -bg".
StoredAutostartValue classifyStoredValue(const char* command, const char* data, size_t size);
