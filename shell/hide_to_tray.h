// Hiding the help window, with the system's caption animation into the notification area.
#pragma once

#include <windows.h>

// The main window is hidden into the tray, animated when the system animates.
void hideToTray(HWND window);
// Animates from the window to the notification area when animate is non-zero and the
// system's minimise animation is on; then hides the window. ShowWindow's result.
BOOL hideWindow(HWND window, int animate);
// The best estimate of the notification area's screen rectangle.
void findTrayArea(RECT* rect);
