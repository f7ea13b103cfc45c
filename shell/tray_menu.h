// The popup menu of the tray icon's right button.
#pragma once

#include <windows.h>

#include "base/win/handle_guards.h"

// Loads menu 134 and prepares its popup for showing: the appended entry UiText::CloseMenu,
// the autostart entry's text UiText::StartWithWindows and its check mark as the registry has
// it now (autostartOn). Returns the owner of the loaded menu and sets popup to the menu to
// show (null on failure).
UniqueMenu buildTrayMenu(HINSTANCE instance, HMENU* popup);

// Shows the menu at the cursor and sends the chosen command to window.
void showTrayMenu(HWND window, HINSTANCE instance);
