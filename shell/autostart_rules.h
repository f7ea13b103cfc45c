// The autostart command text and the rules for judging what a Run key value holds.
// Portable: the registry and the module path are read by shell/autostart.cpp.
#pragma once

#include <cstddef>

#include "base/path_text.h"

// Quote, path of at most 259 characters, quote, blank, -bg, terminator.
constexpr size_t kAutostartCommandCapacity = kPathCapacity + 6;
// The most characters the check reads from the registry. A longer value cannot be judged:
// it is not shown as the entry, and never written over or deleted.
constexpr size_t kStoredValueCapacity = 1024;

// Writes the command text for the program file at modulePath (modulePathLength characters)
// into text: a double quote, the path, a double quote, a blank and -bg. Returns its length,
// or 0 (text empty) when the path is empty or the text would not fit into capacity
// characters.
size_t buildAutostartCommand(const wchar_t* modulePath, size_t modulePathLength, wchar_t* text,
                             size_t capacity);

// The length of the text held in count characters: up to the first zero, or all of them
// when none is there. Never looks beyond count characters.
size_t storedTextLength(const wchar_t* data, size_t count);

enum class StoredAutostartValue {
    Matches,  // the value is the command text itself
    Stale,    // this program's entry naming another path: rewrite it
    Foreign,  // anything else: leave it alone
};

// Judges the count characters a registry query returned against the command text. It
// matches only when equal character for character; a stale entry is a quoted path whose
// file name is the command's file name (ASCII letter case aside), followed by exactly " -bg".
StoredAutostartValue classifyStoredValue(const wchar_t* command, const wchar_t* data, size_t count);
