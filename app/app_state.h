// Process-wide values that several parts of the program read or write.
#pragma once

#include <windows.h>

#include "base/text_buffer.h"
#include "base/path_text.h"

struct AppState {
    int language;          // 0 German, any other value English
    int hotkeyUseFlag;     // the 50 ms poll is active
    int hotkeyVirtualKey;  // 0..255, 0 = none
    int hotkeyModifiers;   // as the hotkey control reports them: 1 Shift, 2 Ctrl, 4 Alt, 8 ext.
    int autostartFlag;
    HINSTANCE moduleInstance;
    HWND mainWindow;
    char windowTitle[100];
    char className[100];
    UINT wakeMessage;
    HICON trayIconImage;
    wchar_t settingsPath[kPathCapacity];  // empty: no settings file in this run
    // The file existed at start but could not be read: this run keeps its defaults and
    // leaves the file alone.
    bool settingsFileUnread;
};

extern AppState appState;
// Names the single-instance mutex and the wake message; the tray icon's tip.
extern TextBuffer instanceName;
