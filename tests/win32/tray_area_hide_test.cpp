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

class HideToTray : public ::testing::Test {
  protected:
    void SetUp() override {
        window_ = CreateWindowExA(0, "STATIC", "hide me", WS_OVERLAPPEDWINDOW, 100, 100, 300, 200,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(window_, nullptr);
        ShowWindow(window_, SW_SHOWNORMAL);
        ASSERT_TRUE(IsWindowVisible(window_));
    }
    void TearDown() override { DestroyWindow(window_); }
    HWND window_ = nullptr;
};

// This platform reports the minimise animation off (and refuses to switch it on), so the
// animated path is covered by the native tests of the area rules.
TEST_F(HideToTray, HidesAtOnceWhenTheSystemDoesNotAnimate) {
    if (animationOn()) {
        GTEST_SKIP() << "the system animates here";
    }
    EXPECT_NE(hideWindow(window_, 1), 0) << "it was visible";
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(IsWindow(window_)) << "hidden, never destroyed";
    EXPECT_EQ(hideWindow(window_, 1), 0) << "already hidden";
}

TEST_F(HideToTray, WithoutAnimationRequestedHidesAlike) {
    EXPECT_NE(hideWindow(window_, 0), 0);
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(IsWindow(window_));
}

// No window (the tray icon without an owner yet) hides nothing.
TEST_F(HideToTray, HidesTheWindowItIsGivenAndNoOther) {
    hideToTray(nullptr);
    EXPECT_TRUE(IsWindowVisible(window_));
    hideToTray(window_);
    EXPECT_FALSE(IsWindowVisible(window_));
    EXPECT_TRUE(IsWindow(window_));
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
    RECT area = {-1, -1, -1, -1};
    findTrayArea(&area);
    EXPECT_EQ(area.left, bar.rc.right - 100);
    EXPECT_EQ(area.top, bar.rc.top);
    EXPECT_EQ(area.right, bar.rc.right - 16);
    EXPECT_EQ(area.bottom, bar.rc.bottom);
}

}  // namespace
