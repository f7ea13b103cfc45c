#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include "shell/hide_to_tray.h"

namespace {

bool animationOn() {
    ANIMATIONINFO info = {sizeof(info), 0};
    SystemParametersInfoA(SPI_GETANIMATION, sizeof(info), &info, 0);
    return info.iMinAnimate != 0;
}

// This platform reports the minimise animation off (and refuses to switch it on), so the
// animated path is covered by the native tests of the area rules.
TEST(HideToTray, HidesAtOnceWhenTheSystemDoesNotAnimate) {
    if (animationOn()) {
        GTEST_SKIP() << "the system animates here";
    }
    HWND window = CreateWindowExA(0, "STATIC", "hide me", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100,
                                  100, 300, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(IsWindowVisible(window));
    hideToTray(nullptr);  // the tray icon without an owner yet hides nothing
    EXPECT_TRUE(IsWindowVisible(window));
    hideToTray(window);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(IsWindow(window)) << "hidden, never destroyed";
    DestroyWindow(window);
}

// Wine's shell answers the taskbar position query for a bottom taskbar and has no
// notification window inside its "Shell_TrayWnd": the second rule decides.
TEST(FindTrayArea, UsesTheShellsTaskbarPositionWhenNoNotificationWindowExists) {
    HWND taskbar = FindWindowExA(nullptr, nullptr, "Shell_TrayWnd", nullptr);
    if (taskbar != nullptr && FindWindowExA(taskbar, nullptr, "TrayNotifyWnd", nullptr)) {
        GTEST_SKIP() << "a notification window exists here";
    }
    APPBARDATA bar = {};
    bar.cbSize = sizeof(bar);
    if (SHAppBarMessage(ABM_GETTASKBARPOS, &bar) == 0 || bar.uEdge != ABE_BOTTOM) {
        GTEST_SKIP() << "the shell reports no bottom taskbar here";
    }
    const RECT area = findTrayArea();
    EXPECT_EQ(area.left, bar.rc.right - 100);
    EXPECT_EQ(area.top, bar.rc.top);
    EXPECT_EQ(area.right, bar.rc.right - 16);
    EXPECT_EQ(area.bottom, bar.rc.bottom);
}

}  // namespace
