// The main window shown maximised: gradient, help text and its keys.
#pragma once

#include <windows.h>

void paintHelpWindow(HDC dc, HWND window);
// WM_KEYDOWN of the main window: whatever key is reported, the held keys decide.
void handleHelpWindowKey(HWND window);
