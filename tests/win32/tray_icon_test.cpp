#include <gtest/gtest.h>

#include <cstring>
#include <string>

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

TEST(NotifyRecord, CarriesOwnerIdCallbackAndIconInTheFirstLayout) {
    NOTIFYICONDATAW record;
    memset(&record, 0x5a, sizeof(record));
    HWND owner = reinterpret_cast<HWND>(0x1234);
    HICON icon = reinterpret_cast<HICON>(0x5678);
    fillNotifyRecord(record, owner, TRAY_ICON_ID, icon, nullptr);
    EXPECT_EQ(record.cbSize, sizeof(void*) == 4 ? 152u : 168u);
    EXPECT_EQ(record.hWnd, owner);
    EXPECT_EQ(record.uID, 109u);
    EXPECT_EQ(record.uFlags, 7u);
    EXPECT_EQ(record.uCallbackMessage, 32868u);
    EXPECT_EQ(record.hIcon, icon);
    EXPECT_STREQ(record.szTip, L"");
}

TEST_F(TrayTest, AddShowsTheIconAndRemoveDeletesItAndReleasesTheImage) {
    TrayIcon tray;
    HICON icon = loadTestIcon();
    ASSERT_NE(icon, nullptr);
    tray.setOwner(owner_);
    EXPECT_EQ(tray.add(TRAY_ICON_ID, icon, "Vistrel", 0), 1);
    EXPECT_TRUE(present());
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

TEST_F(TrayTest, TheTipFieldKeepsAtMost1023Characters) {
    TrayIcon tray;
    tray.setOwner(owner_);
    std::string tip(2000, 't');
    tray.add(TRAY_ICON_ID, loadTestIcon(), tip.c_str(), 0);
    EXPECT_EQ(strlen(tray.tip()), 1023u);
    tray.add(TRAY_ICON_ID, tray.icon(), nullptr, 0);
    EXPECT_STREQ(tray.tip(), "");
}

TEST_F(TrayTest, AnotherIconReleasesTheOldOneOnceAndTheSameIconIsKept) {
    TrayIcon tray;
    tray.setOwner(owner_);
    HICON first = loadTestIcon();
    HICON second = loadTestIcon();
    tray.add(TRAY_ICON_ID, first, "a", 0);
    tray.add(TRAY_ICON_ID, first, "b", 0);
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

TEST_F(TrayTest, RemoveEndsARunningRefresherPromptly) {
    TrayIcon tray;  // the working interval: a pass is due only in 5 s
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, loadTestIcon(), "Vistrel", 1);
    ASSERT_NE(tray.refresherThread(), nullptr);
    HANDLE thread = duplicateOf(tray.refresherThread());
    ASSERT_NE(thread, nullptr);
    e2e::pumpFor(100);
    EXPECT_FALSE(ended(thread));

    DWORD start = GetTickCount();
    tray.remove();
    DWORD took = GetTickCount() - start;
    EXPECT_TRUE(ended(thread));  // returns only once the thread is gone
    EXPECT_LT(took, 2500u);      // woken, not left to sleep out its pause
    EXPECT_EQ(tray.refresherThread(), nullptr);
    EXPECT_FALSE(present());
    DWORD code = 0;
    GetExitCodeThread(thread, &code);
    EXPECT_EQ(code, 0u);  // it returned by itself rather than being terminated
    CloseHandle(thread);
}

TEST_F(TrayTest, AStoppedRefresherDoesNotBringTheIconBack) {
    TrayIcon tray(20);
    tray.setOwner(owner_);
    tray.add(TRAY_ICON_ID, loadTestIcon(), "Vistrel", 1);
    e2e::pumpFor(100);
    tray.remove();
    e2e::pumpFor(200);
    EXPECT_FALSE(present());
}

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

TEST_F(TrayTest, WakeMessageReAddsTheIconForTheWindowAndMagnifies) {
    TrayIcon tray;
    takePostedCommand();
    handleWakeMessage(tray, GetModuleHandleA(nullptr), owner_, "Vistrel");
    EXPECT_EQ(takePostedCommand(), CMD_MAGNIFY);
    EXPECT_EQ(tray.owner(), owner_);
    EXPECT_EQ(tray.iconId(), 109u);
    EXPECT_STREQ(tray.tip(), "Vistrel");
    EXPECT_NE(tray.refresherThread(), nullptr);
    EXPECT_NE(tray.icon(), nullptr);
    EXPECT_TRUE(present());
    HICON first = tray.icon();

    handleWakeMessage(tray, GetModuleHandleA(nullptr), owner_, "Vistrel");
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
