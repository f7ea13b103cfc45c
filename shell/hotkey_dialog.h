// The modal dialog in which the user picks the Ctrl+key hotkey.
#pragma once

#include <windows.h>

#include "settings/settings.h"

// The id of the main window's registered hotkey (WM_HOTKEY's wParam).
const WPARAM kHotkeyId = 1;

// Registers the hotkey in force on the window where the rules allow it, in place of any earlier
// registration, and notes in hotkey.registered whether the system took it (another program
// may hold the chord).
void registerHotkey(HWND window, HotkeySetting& hotkey);
void unregisterHotkey(HWND window, HotkeySetting& hotkey);

// Runs the dialog on hotkey and returns 0 when it has closed; only focuses it when it is
// already open. An accepted entry replaces hotkey and is registered anew on the owner; a Ctrl
// chord another program has registered is refused with a message and the dialog stays open.
int showHotkeyDialog(HINSTANCE instance, HWND owner, HotkeySetting& hotkey);
// The window of the dialog while one is open, else null.
HWND openHotkeyDialog();
// Takes the HotkeySetting it works on as WM_INITDIALOG's lParam.
INT_PTR CALLBACK hotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
