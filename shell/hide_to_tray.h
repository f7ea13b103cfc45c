// Hiding the help window, with the system's caption animation into the notification area.
#pragma once

#include <windows.h>

void hideToTray();
BOOL hideWindow(HWND window, int animate);
