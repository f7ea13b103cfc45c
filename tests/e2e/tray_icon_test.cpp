#include <gtest/gtest.h>

#include <algorithm>

#include "resources/commands.h"
#include "shell/tray_icon.h"
#include "tests/support/e2e.h"
#include "tests/support/zoom_view.h"
#include "tests/support/tray.h"

namespace {

using e2e::Program;

bool iconOf(HWND main) {
    return e2e::trayIconPresent(main, TRAY_ICON_ID);
}

// Long enough for the refresher's next pass on a loaded machine; a bound, not a measure.
const DWORD kRefresherPassBoundMs = kTrayRefreshPeriodMs + 10000;

// Waits for the refresher's next pass: the icon, deleted now, is back after it.
bool awaitRefresherPass(HWND main) {
    e2e::deleteTrayIcon(main, TRAY_ICON_ID);
    return e2e::waitUntil([&] { return iconOf(main); }, kRefresherPassBoundMs, 5);
}

class TrayIconOfProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(program_.start());
        main_ = program_.waitForMainWindow();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(e2e::waitUntil([&] { return iconOf(main_); }, 5000));
    }
    Program program_;
    HWND main_ = nullptr;
};

TEST_F(TrayIconOfProgram, ExistsFromTheStartAndIsGoneAfterTheEnd) {
    e2e::OwnTrayIcon probe;
    ASSERT_TRUE(probe.present());
    EXPECT_FALSE(e2e::trayIconPresent(main_, TRAY_ICON_ID + 1));
    DWORD code = 1;
    ASSERT_TRUE(program_.exitByCommand(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(probe.present());  // the shell is still there to ask
    EXPECT_FALSE(iconOf(main_));
}

TEST_F(TrayIconOfProgram, ComesBackAfterTheShellLostIt) {
    for (int round = 0; round < 2; ++round) {
        ASSERT_TRUE(e2e::deleteTrayIcon(main_, TRAY_ICON_ID));
        ASSERT_FALSE(iconOf(main_));
        EXPECT_TRUE(e2e::waitUntil([&] { return iconOf(main_); }, kRefresherPassBoundMs)) << round;
    }
    EXPECT_TRUE(program_.running());
}

TEST_F(TrayIconOfProgram, TaskbarCreatedBringsItBackBeforeTheNextRefresh) {
    ASSERT_TRUE(awaitRefresherPass(main_));
    // The next pass is a whole period away: an icon back as soon as the broadcast has been
    // handled was put back by its handling.
    ASSERT_TRUE(e2e::deleteTrayIcon(main_, TRAY_ICON_ID));
    ASSERT_TRUE(PostMessageA(main_, RegisterWindowMessageA("TaskbarCreated"), 0, 0));
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_TRUE(iconOf(main_));
}

// The left button's press is shown in zoom_activation_test.cpp; release and the rest are not.
TEST_F(TrayIconOfProgram, OtherMouseMessagesDoNothing) {
    for (LPARAM mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_RBUTTONUP,
                         WM_RBUTTONDBLCLK, WM_MBUTTONDOWN, WM_MBUTTONUP}) {
        ASSERT_TRUE(program_.postTrayNotify(mouse));
    }
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_FALSE(e2e::hasVisibleWindow(program_.processId()));
    EXPECT_TRUE(iconOf(main_));
}

bool contains(const std::vector<HWND>& windows, HWND window) {
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

TEST_F(TrayIconOfProgram, SecondStartMakesTheFirstReAddItsIconAndLeavesNoneOfItsOwn) {
    std::vector<HWND> before = e2e::trayIconWindows();
    ASSERT_EQ(before.size(), 1u);

    Program second;
    ASSERT_TRUE(second.start(" -bg"));
    DWORD code = 0;
    ASSERT_TRUE(second.waitForExit(20000, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXIT_CODE_SECOND_START));

    // The zoom window first; then one icon, the first instance's, drawn anew: it was deleted
    // and added again.
    EXPECT_NE(e2e::waitForZoomWindowShown(program_, 5000), nullptr);
    std::vector<HWND> after;
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            after = e2e::trayIconWindows();
            return after.size() == 1 && !contains(after, before[0]);
        },
        5000))
        << after.size() << " icons";
    EXPECT_TRUE(iconOf(main_));
    EXPECT_TRUE(program_.running());
}

}  // namespace
