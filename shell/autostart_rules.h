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

// Judges the count characters a registry query returned under the program's own value name
// against the command text. It matches only when equal character for character. Any other
// command of the form "<full path of a .exe file>" -bg is this program's entry for another
// file (the program moved, or a copy saved or renamed under another file name): the value
// name, not the file name, says whose it is. Stale: it is rewritten. A full path starts with a
// drive ("C:\") or a share ("\\server\share\"), has no empty part and no character a file name
// cannot hold, and ends in ".exe" (ASCII letter case aside) after a name. Anything else is another
// program's; without a command text (the program's path could not be had) nothing is this
// program's.
StoredAutostartValue classifyStoredValue(const wchar_t* command, const wchar_t* data, size_t count);

// The path that this program's entry for another file names (one classifyStoredValue judges
// Stale), with a terminator, to ask whether that file is still there. Returns its length; 0
// with out empty for a value of any other form, or a path that does not fit into capacity
// characters.
size_t storedEntryPath(const wchar_t* data, size_t count, wchar_t* out, size_t capacity);

// The same for the Run key's default (unnamed) value, which no program owns: there a stale
// entry must also name the command's file name (ASCII letter case aside), as older versions
// of this program left it before the program was moved. A renamed copy's entry there cannot
// be told from another program's and is left alone.
StoredAutostartValue classifyDefaultValue(const wchar_t* command, const wchar_t* data,
                                          size_t count);

// Task Manager and Settings > Apps > Startup switch a Run entry off without touching it: they
// keep a binary value of the same name under the StartupApproved\Run key, 12 bytes, the first
// 02 or 06 when enabled, 03 or 07 when disabled, then the time of the change. Only that shape
// with bit 0 of the first byte set disables the entry; no value, a value of another type or
// size, is read as enabled (Microsoft documents none of it: be lenient).
constexpr size_t kStartupApprovalSize = 12;
bool startupApprovalDisables(bool binary, const unsigned char* data, size_t size);
