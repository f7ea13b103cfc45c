// The program's autostart entry: a value of the current user's Run key in the registry.
#pragma once

#include <windows.h>

#include "shell/autostart_rules.h"

constexpr size_t kAutostartValueNameCapacity = 100;

// The command text for the file of module: quote, full path, quote, blank, -bg. Returns its
// length, or 0 with the text empty when the path cannot be had whole.
int autostartCommand(HMODULE module, wchar_t (&text)[kAutostartCommandCapacity]);
// True when the value holds this program's entry and Windows will start it: one that names
// another file is rewritten with the current command text first (false when that fails), and
// one switched off in Task Manager (its startup approval value) gives false. A missing value,
// one too large to read whole and any other program's value give false, and the latter are
// left as they are.
bool checkAutostartEntry(const wchar_t* valueName);
// Writes the command text, unless the value holds another program's entry or a value too
// large to judge, then marks an approval value of that name that disables it enabled. True
// when both took.
bool setAutostartEntry(HMODULE module, const wchar_t* valueName);
// Deletes the value when it holds this program's entry; its approval value stays as it is.
// True when no entry of this program is left there (deleted, or none was there); false when
// it could not be deleted.
bool removeAutostartEntry(const wchar_t* valueName);
// The value name: string resource 128. Returns its length; 0 (name empty) when it is missing,
// and the program then has no autostart entry at all rather than use the default value.
int loadAutostartValueName(wchar_t (&name)[kAutostartValueNameCapacity]);
// At start-up: moves an entry of this program from the Run key's default value, where older
// versions kept it, to the program's own value, and returns the check mark for it.
int startupAutostartFlag();
// CMD_AUTOSTART: write or delete the entry; flag follows only what the registry took.
void toggleAutostart(int& flag);
