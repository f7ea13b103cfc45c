// Start-up, the single-instance rule and the hidden main window with its command table.
#pragma once

#include <windows.h>

void registerMainClass(HINSTANCE instance);
int createMainWindow(HINSTANCE instance);
BOOL CALLBACK wakeEnumCallback(HWND window, LPARAM context);
LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The main routine; returns the process exit code.
int runVistrel(HINSTANCE instance);
