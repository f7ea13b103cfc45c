#include "shell/hide_to_tray.h"
#include <shellapi.h>

#include "base/win/pixel_rect_win.h"
#include "shell/tray_area.h"

namespace {

bool minimiseAnimationOn() {
    ANIMATIONINFO info = {};
    info.cbSize = sizeof(info);
    if (!SystemParametersInfoA(SPI_GETANIMATION, sizeof(info), &info, 0)) {
        return false;
    }
    return info.iMinAnimate != 0;
}

TrayAreaFacts gatherTrayAreaFacts() {
    TrayAreaFacts facts = {};
    RECT rect = {};
    HWND taskbar = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
    if (taskbar != nullptr) {
        facts.hasTaskbarWindow = true;
        GetWindowRect(taskbar, &rect);
        facts.taskbarWindowRect = toPixelRect(rect);
        HWND notify = FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr);
        if (notify != nullptr) {
            facts.hasNotifyWindow = true;
            rect = RECT{};
            GetWindowRect(notify, &rect);
            facts.notifyWindowRect = toPixelRect(rect);
        }
    }
    // The structure's own size: the shell of a 64-bit system refuses the 32-bit layout's 36.
    APPBARDATA bar = {};
    bar.cbSize = sizeof(bar);
    if (SHAppBarMessage(ABM_GETTASKBARPOS, &bar) != 0) {
        facts.hasTaskbarPosition = true;
        facts.taskbarEdge = bar.uEdge;
        facts.taskbarPositionRect = toPixelRect(bar.rc);
    }
    rect = RECT{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &rect, 0);
    facts.workArea = toPixelRect(rect);
    return facts;
}

}  // namespace

RECT findTrayArea() {
    return toRect(chooseTrayArea(gatherTrayAreaFacts()));
}

void hideToTray(HWND window) {
    if (minimiseAnimationOn()) {
        RECT from = {};
        GetWindowRect(window, &from);
        const RECT to = findTrayArea();
        DrawAnimatedRects(window, IDANI_CAPTION, &from, &to);
    }
    ShowWindow(window, SW_HIDE);
}
