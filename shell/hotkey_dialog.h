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

// The id of the main window's registered hotkey (WM_HOTKEY's wParam).
const WPARAM kHotkeyId = 1;

// Registers the hotkey in force on the window where the rules allow it, in place of any earlier
// registration, and notes in hotkey.registered whether the system took it (another program
// may hold the chord).
void registerHotkey(HWND window, HotkeySetting& hotkey);
void unregisterHotkey(HWND window, HotkeySetting& hotkey);

// Runs the dialog and returns 0 when it has closed; only focuses it when it is already open.
// An accepted entry is registered anew on the owner.
int showHotkeyDialog(HINSTANCE instance, HWND owner, HotkeySetting& hotkey);
INT_PTR CALLBACK hotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
