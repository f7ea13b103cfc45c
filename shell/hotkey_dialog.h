// The modal dialog in which the user picks the Ctrl+key hotkey.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// The one hotkey dialog of the process; window is null while none is open.
struct HotkeyDialog {
    HWND window;
    HotkeySetting* hotkey;  // the setting an accepted entry replaces
};

extern HotkeyDialog hotkeyDialog;

// Runs the dialog and returns 0 when it has closed; only focuses it when it is already open.
int showHotkeyDialog(HINSTANCE instance, HWND owner, HotkeySetting& hotkey);
INT_PTR CALLBACK hotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
