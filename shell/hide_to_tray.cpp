#include "shell/hide_to_tray.h"

#include "shell/tray_icon.h"

void hideToTray() {
    hideWindow(trayIcon().owner, 1);
}

BOOL hideWindow(HWND window, int) {
    return ShowWindow(window, SW_HIDE);
}
