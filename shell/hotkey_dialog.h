// The modal dialog in which the user picks the Ctrl+key hotkey.
#pragma once

#include <windows.h>

int showHotkeyDialog(HWND owner);
INT_PTR CALLBACK hotkeyDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
