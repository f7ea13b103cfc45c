// The program's own values that the main window, the help window and the commands share.
#pragma once

#include <windows.h>

#include "settings/settings.h"

struct AppState {
    int language;  // 0 German, any other value English
    HotkeySetting hotkey;
    HINSTANCE moduleInstance;
    HWND mainWindow;
    char windowTitle[100];
    char className[100];
    UINT wakeMessage;
};
