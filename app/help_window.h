// The main window shown maximised: gradient, help text and its keys.
#pragma once

#include <windows.h>

void paintHelpWindow(HDC dc, HWND window);
// WM_KEYDOWN of the main window: whatever key is reported, the held keys decide. E and D
// switch language (0 German, 1 English) and store it.
void handleHelpWindowKey(HWND window, int& language);
