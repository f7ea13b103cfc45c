// The notification-area icon of the process, its refresher thread and its mouse events.
#pragma once

#include <windows.h>

class TrayIcon {
  public:
    TrayIcon();
    virtual void unused() {}
    virtual ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    void setOwner(HWND window);
    int add(UINT id, HICON iconImage, const char* tipText, int startRefresher);
    void remove();

    DWORD threadId;
    HANDLE thread;
    char tip[1024];
    HICON icon;
    UINT iconId;
    HWND owner;
};

// The process's one TrayIcon, constructed on the first call of the main window procedure.
TrayIcon& trayIcon();

// WM_CREATE: load icon 107 and add it for the main window with a running refresher.
void addTrayIconForMainWindow(HWND window);
// The wake message of a second start: re-add the icon and magnify.
void handleWakeMessage(HWND window);
// WM_TRAYNOTIFY: lParam carries the mouse message.
void handleTrayNotify(HWND window, LPARAM lParam);
