// The autostart value under the Run key of the registry.
#pragma once

#include <windows.h>

int checkAutostartEntry(const char* valueName, int machineWide);
int setAutostartEntry(HMODULE module, const char* valueName, int machineWide);
int removeAutostartEntry(const char* valueName, int machineWide);
// The value name: string resource 128, which the string table leaves out (the default value).
void loadAutostartValueName(char (&name)[100]);
// CMD_AUTOSTART: flip the flag and write or delete the value.
void toggleAutostart();
