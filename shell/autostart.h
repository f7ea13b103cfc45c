// The program's autostart entry: a value of the current user's Run key in the registry.
#pragma once

#include <windows.h>

#include "shell/autostart_rules.h"

constexpr size_t kAutostartValueNameCapacity = 100;

// The command text for the file of module: quote, full path, quote, blank, -bg. Returns its
// length, or 0 with the text empty when the path cannot be had whole.
int autostartCommand(HMODULE module, wchar_t (&text)[kAutostartCommandCapacity]);
// True when the value holds this program's entry and Windows will start it: one that names
// this file in other letter case or a file that is gone is rewritten with the current command
// text first (false when that fails), and one switched off in Task Manager (its startup
// approval value) gives false. One that names another copy that is still there is that copy's:
// false, and left as it is, as are a missing value, one too large to read whole and any other
// program's.
bool checkAutostartEntry(const wchar_t* valueName);
// Writes the command text (over another copy's entry too: the user chose this one), unless
// the value holds another program's value or one too large to judge, then marks an approval
// value of that name that disables it enabled. True when both took.
bool setAutostartEntry(HMODULE module, const wchar_t* valueName);
// Deletes the value when it holds this program's entry; its approval value stays as it is.
// True when no entry of this program is left there (deleted, or none was there); false when
// it could not be deleted.
bool removeAutostartEntry(const wchar_t* valueName);
// The value name: string resource 128. Returns its length; 0 (name empty) when it is missing,
// and the program then has no autostart entry at all rather than use the default value.
int loadAutostartValueName(wchar_t (&name)[kAutostartValueNameCapacity]);
// At start-up: moves an entry of this program from the Run key's default value, where older
// versions kept it, to the program's own value, and checks that (checkAutostartEntry).
void checkAutostartAtStart();
// The check mark of "Start with Windows": the program's own value holds the current command
// text and Task Manager lets it start. Read from the registry on every call, nothing written.
bool autostartOn();
// CMD_AUTOSTART: deletes the entry when autostartOn, else writes it.
void toggleAutostart();
