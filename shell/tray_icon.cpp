#include "shell/tray_icon.h"

#include "app/app_state.h"
#include "app/commands.h"

TrayIcon::TrayIcon()
    : threadId(0), thread(nullptr), tip{}, icon(nullptr), iconId(0), owner(nullptr) {}

TrayIcon::~TrayIcon() = default;

void TrayIcon::setOwner(HWND window) {
    owner = window;
}

int TrayIcon::add(UINT id, HICON iconImage, const char*, int) {
    iconId = id;
    icon = iconImage;
    return 1;
}

void TrayIcon::remove() {}

TrayIcon& trayIcon() {
    static TrayIcon instance;
    return instance;
}

void addTrayIconForMainWindow(HWND window) {
    trayIcon().setOwner(window);
}

void handleWakeMessage(HWND window) {
    PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
}

void handleTrayNotify(HWND window, LPARAM lParam) {
    if (lParam == WM_LBUTTONDOWN) {
        PostMessageA(window, WM_COMMAND, CMD_MAGNIFY, 0);
    }
}
