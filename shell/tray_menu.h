// The popup menu of the tray icon's right button.
#pragma once

#include <windows.h>

// Loads menu 134 and prepares its popup for showing: the appended entry uiString(6), the
// autostart entry's text uiString(7) and its check mark from autostartFlag. Returns the loaded
// menu, which the caller destroys, and sets popup to the menu to show (null on failure).
HMENU buildTrayMenu(HINSTANCE instance, int autostartFlag, HMENU* popup);

// Shows the menu at the cursor and sends the chosen command to window.
void showTrayMenu(HWND window, HINSTANCE instance, int autostartFlag);
