#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "resources/commands.h"
#include "shell/tray_icon.h"
#include "tests/support/e2e.h"
#include "tests/support/tray.h"

namespace {

HICON loadTestIcon() {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(107),
                                         IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR));
}

bool iconAlive(HICON icon) {
    ICONINFO info = {};
    if (!GetIconInfo(icon, &info)) {
        return false;
    }
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

HANDLE duplicateOf(HANDLE handle) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    return copy;
}

bool ended(HANDLE thread) {
    return WaitForSingleObject(thread, 0) == WAIT_OBJECT_0;
}

// A hidden window of this test process to own the icons.
class TrayTest : public ::testing::Test {
  protected:
    void SetUp() override {
        owner_ = CreateWindowExA(0, "STATIC", "tray test", WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override {
        e2e::deleteTrayIcon(owner_, TRAY_ICON_ID);
        DestroyWindow(owner_);
    }
    bool present() const { return e2e::trayIconPresent(owner_, TRAY_ICON_ID); }
    // Drops every WM_COMMAND already posted to the owner and returns the last command id.
    int takePostedCommand() const {
        MSG message;
        int command = 0;
        while (PeekMessageA(&message, owner_, WM_COMMAND, WM_COMMAND, PM_REMOVE)) {
            command = static_cast<int>(message.wParam);
        }
        return command;
    }
    HWND owner_ = nullptr;
};

struct TipCase {
    size_t length;
    size_t expected;
};

class NotifyRecordTip : public ::testing::TestWithParam<TipCase> {};

// The euro sign, 0x80 in Windows-1252, is U+20AC whatever code page the system uses.
TEST_P(NotifyRecordTip, IsWidenedFromWindows1252AndCutTo63Characters) {
    std::string tip(GetParam().length, '\x80');
    NOTIFYICONDATAW record;
    fillNotifyRecord(record, nullptr, TRAY_ICON_ID, nullptr, tip.c_str());
    EXPECT_EQ(std::wstring(record.szTip), std::wstring(GetParam().expected, L'\u20AC'));
}

INSTANTIATE_TEST_SUITE_P(Lengths, NotifyRecordTip,
                         ::testing::Values(TipCase{0, 0}, TipCase{7, 7}, TipCase{62, 62},
                                           TipCase{63, 63}, TipCase{64, 63}, TipCase{1023, 63}));

// What the shell reports to the icon's owner.
LPARAM notifiedMouse = 0;
WPARAM notifiedId = 0;

LRESULT CALLBACK recordNotify(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TRAYNOTIFY) {
        notifiedId = wParam;
        notifiedMouse = lParam;
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The record handed to the shell, read through the shell's answers: the icon is found under
// its owner and id, and a press on it reaches the owner with the id and callback message.
TEST_F(TrayTest, AddShowsTheIconAndRemoveDeletesItAndReleasesTheImage) {
    SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordNotify));
    const std::vector<HWND> before = e2e::trayIconWindows();
    TrayIcon tray;
    HICON icon = loadTestIcon();
    ASSERT_NE(icon, nullptr);
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, icon, "Vistrel", false);
    EXPECT_TRUE(present());
    HWND drawn = nullptr;
    ASSERT_TRUE(e2e::waitUntil(
        [&] {
            for (HWND window : e2e::trayIconWindows()) {
                if (std::find(before.begin(), before.end(), window) == before.end()) {
                    drawn = window;
                }
            }
            return drawn != nullptr;
        },
        5000));
    notifiedMouse = 0;
    ASSERT_TRUE(PostMessageA(drawn, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(8, 8)));
    EXPECT_TRUE(e2e::waitUntil([] { return notifiedMouse == WM_LBUTTONDOWN; }, 5000));
    EXPECT_EQ(notifiedId, static_cast<WPARAM>(TRAY_ICON_ID));
    EXPECT_EQ(tray.refresherThread(), nullptr);
    EXPECT_STREQ(tray.tip(), "Vistrel");
    EXPECT_TRUE(iconAlive(icon));
    tray.remove();
    EXPECT_FALSE(present());
    EXPECT_EQ(tray.icon(), nullptr);
    EXPECT_FALSE(iconAlive(icon));
    tray.remove();  // nothing left to release
    EXPECT_FALSE(present());
}

TEST_F(TrayTest, AnotherIconReleasesTheOldOneOnceAndTheSameIconIsKept) {
    TrayIcon tray;
    tray.setOwner(owner_);
    HICON first = loadTestIcon();
    HICON second = loadTestIcon();
    tray.add(TRAY_ICON_ID, first, std::string(2000, 'a').c_str(), 0);  // a tip beyond any field
    tray.add(TRAY_ICON_ID, first, nullptr, 0);
    EXPECT_TRUE(iconAlive(first));
    tray.add(TRAY_ICON_ID, second, "c", 0);
    EXPECT_FALSE(iconAlive(first));
    EXPECT_TRUE(iconAlive(second));
    EXPECT_TRUE(present());
}

TEST_F(TrayTest, RefresherPutsADeletedIconBackAndKeepsItsImageAlive) {
    TrayIcon tray(50);
    HICON icon = loadTestIcon();
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, icon, "Vistrel", 1);
    ASSERT_NE(tray.refresherThread(), nullptr);
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(e2e::deleteTrayIcon(owner_, TRAY_ICON_ID));
        EXPECT_TRUE(e2e::waitUntil([&] { return present(); }, 5000)) << round;
        // Handed to the shell on every pass, the image must still be the program's.
        EXPECT_TRUE(iconAlive(icon)) << round;
    }
}

// Rows: the refresher's pause. A pause far beyond the stop's bound ends only if remove wakes
// the thread; passes every 20 ms race the remove. Once remove has returned the thread is
// gone, so an icon absent then stays absent.
class RefresherStop : public TrayTest, public ::testing::WithParamInterface<DWORD> {};

TEST_P(RefresherStop, RemoveWakesAndEndsTheRefresherAndNothingBringsTheIconBack) {
    TrayIcon tray(GetParam());
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, loadTestIcon(), "Vistrel", 1);
    ASSERT_NE(tray.refresherThread(), nullptr);
    HANDLE thread = duplicateOf(tray.refresherThread());
    ASSERT_NE(thread, nullptr);
    EXPECT_FALSE(ended(thread));

    tray.remove();
    EXPECT_TRUE(ended(thread));  // returns only once the thread is gone
    EXPECT_EQ(tray.refresherThread(), nullptr);
    EXPECT_FALSE(present());
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);  // it returned by itself rather than being terminated
    CloseHandle(thread);
}

INSTANTIATE_TEST_SUITE_P(Pauses, RefresherStop, ::testing::Values(DWORD{3600000}, DWORD{20}));

TEST_F(TrayTest, AddWithARefresherReplacesTheRunningOne) {
    TrayIcon tray;
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, loadTestIcon(), "Vistrel", 1);
    HANDLE first = duplicateOf(tray.refresherThread());
    tray.add(TRAY_ICON_ID, loadTestIcon(), "Vistrel", 1);
    EXPECT_TRUE(ended(first));
    ASSERT_NE(tray.refresherThread(), nullptr);
    HANDLE second = duplicateOf(tray.refresherThread());
    EXPECT_FALSE(ended(second));
    // Without a new refresher asked for, the running one goes on with the new values.
    tray.add(TRAY_ICON_ID, tray.icon(), "Other", 0);
    EXPECT_TRUE(ended(second));
    EXPECT_NE(tray.refresherThread(), nullptr);
    CloseHandle(first);
    CloseHandle(second);
}

TEST_F(TrayTest, DestructionDeletesTheIconAndEndsTheRefresher) {
    HANDLE thread = nullptr;
    HICON icon = loadTestIcon();
    {
        TrayIcon tray;
        tray.setOwner(owner_);
        tray.add(TRAY_ICON_ID, icon, "Vistrel", 1);
        thread = duplicateOf(tray.refresherThread());
        ASSERT_TRUE(present());
    }
    EXPECT_TRUE(ended(thread));
    EXPECT_FALSE(present());
    EXPECT_FALSE(iconAlive(icon));
    CloseHandle(thread);
}

TEST_F(TrayTest, RestoreAddsTheIconBackOnlyWhileOneIsHeld) {
    TrayIcon tray;
    tray.restore();  // nothing added yet
    EXPECT_FALSE(present());
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, loadTestIcon(), "Vistrel", 0);
    ASSERT_TRUE(e2e::deleteTrayIcon(owner_, TRAY_ICON_ID));
    tray.restore();
    EXPECT_TRUE(present());
    tray.restore();  // already there: stays
    EXPECT_TRUE(present());
    tray.remove();
    tray.restore();
    EXPECT_FALSE(present());
}

class TrayNotify : public TrayTest, public ::testing::WithParamInterface<LPARAM> {};

TEST_P(TrayNotify, OnlyTheLeftButtonPressMagnifies) {
    takePostedCommand();
    handleTrayNotify(owner_, GetParam(), GetModuleHandleA(nullptr));
    EXPECT_EQ(takePostedCommand(), GetParam() == WM_LBUTTONDOWN ? CMD_MAGNIFY : 0);
}

// 516 opens the menu's own modal loop; the end-to-end tests drive it.
INSTANTIATE_TEST_SUITE_P(MouseMessages, TrayNotify,
                         ::testing::Values(WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_LBUTTONUP,
                                           WM_LBUTTONDBLCLK, WM_RBUTTONUP, WM_RBUTTONDBLCLK,
                                           WM_MBUTTONDOWN, 0, -1, 0x10000 | WM_LBUTTONDOWN));

TEST_F(TrayTest, WakeMessageMagnifiesFirstAndThenTheIconIsAddedAgainForTheWindow) {
    TrayIcon tray;
    takePostedCommand();
    handleWakeMessage(owner_);
    MSG posted[2] = {};
    for (MSG& message : posted) {
        ASSERT_TRUE(PeekMessageA(&message, owner_, WM_COMMAND, WM_TRAY_ICON_AGAIN, PM_REMOVE));
    }
    EXPECT_EQ(posted[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(posted[0].wParam, static_cast<WPARAM>(CMD_MAGNIFY));
    EXPECT_EQ(posted[1].message, static_cast<UINT>(WM_TRAY_ICON_AGAIN));
    EXPECT_FALSE(present());

    addTrayIconAgain(tray, GetModuleHandleA(nullptr), owner_, "Vistrel");
    EXPECT_EQ(tray.owner(), owner_);
    EXPECT_EQ(tray.iconId(), 109u);
    EXPECT_STREQ(tray.tip(), "Vistrel");
    EXPECT_NE(tray.refresherThread(), nullptr);
    EXPECT_NE(tray.icon(), nullptr);
    EXPECT_TRUE(present());
    HICON first = tray.icon();

    addTrayIconAgain(tray, GetModuleHandleA(nullptr), owner_, "Vistrel");
    EXPECT_FALSE(iconAlive(first));  // released on remove, a fresh one loaded
    EXPECT_TRUE(iconAlive(tray.icon()));
    EXPECT_TRUE(present());
    tray.remove();
    EXPECT_FALSE(present());
}

TEST_F(TrayTest, TaskbarCreatedPutsTheIconBack) {
    TrayIcon tray;
    EXPECT_FALSE(handleTaskbarCreated(tray, WM_TIMER));
    EXPECT_FALSE(handleTaskbarCreated(tray, 0));
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, loadTestIcon(), "Vistrel", 0);
    ASSERT_TRUE(e2e::deleteTrayIcon(owner_, TRAY_ICON_ID));
    EXPECT_TRUE(handleTaskbarCreated(tray, RegisterWindowMessageA("TaskbarCreated")));
    EXPECT_TRUE(present());
    tray.remove();
}

}  // namespace
