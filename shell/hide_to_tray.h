// Hiding the help window, with the system's caption animation into the notification area.
#pragma once

#include <windows.h>

// Hides the window, animated from it into the notification area when the system's minimise
// animation is on.
void hideToTray(HWND window);
// The best estimate of the notification area's screen rectangle.
RECT findTrayArea();
