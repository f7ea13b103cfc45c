// The autostart value under the Run key of the registry.
#pragma once

#include <windows.h>

#include "shell/autostart_rules.h"

// The command text for the file of module: quote, full path, quote, blank, -bg. Returns its
// length, or 0 with the text empty when the path cannot be had whole.
int autostartCommand(HMODULE module, char (&text)[kAutostartCommandCapacity]);
// 1 when the value exists and could be read whole, else 0. Rewrites a stale entry of this
// program with the current command text; any other value is left as it is.
int checkAutostartEntry(const char* valueName, int machineWide);
int setAutostartEntry(HMODULE module, const char* valueName, int machineWide);
int removeAutostartEntry(const char* valueName, int machineWide);
// The value name: string resource 128, which the string table leaves out (the default value).
void loadAutostartValueName(char (&name)[100]);
// CMD_AUTOSTART: flip the flag and write or delete the value.
void toggleAutostart();
