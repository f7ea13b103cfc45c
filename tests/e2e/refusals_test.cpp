// Windows' refusals that Wine never gives, met by the real program: the fault library
// (tests/support/faults) makes the named calls answer as Windows does when it refuses them.
// Each row: nothing lost, nothing false shown, and the next try works.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "resources/commands.h"
#include "tests/support/clipboard_access.h"
#include "tests/support/e2e.h"
#include "tests/support/gdiplus_files.h"
#include "tests/support/thumbnail_dialog.h"
#include "tests/support/tray.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

struct Refusal {
    const char* name;
    // The fault library's rules; "%INI%" stands for the settings file beside the program.
    const char* rules;
    void (*check)(Program& program);
};

void removeUserSettings() {
    DeleteFileW(e2e::userSettingsPath().c_str());
    RemoveDirectoryW(
        e2e::userSettingsPath().substr(0, e2e::userSettingsPath().rfind(L'\\')).c_str());
}

// A visible dialog or message box of the program other than `except`, or null.
HWND dialogOtherThan(const Program& program, HWND except) {
    for (HWND window : e2e::topLevelWindowsOf(program.processId())) {
        char name[32] = {};
        GetClassNameA(window, name, sizeof(name));
        if (window != except && IsWindowVisible(window) && strcmp(name, "#32770") == 0) {
            return window;
        }
    }
    return nullptr;
}

bool anyDialogOf(const Program& program) {
    return dialogOtherThan(program, nullptr) != nullptr;
}

// The message box that comes up in front of `dialog`.
HWND waitForMessageOver(const Program& program, HWND dialog) {
    HWND box = nullptr;
    e2e::waitUntil([&] { return (box = dialogOtherThan(program, dialog)) != nullptr; }, 10000);
    return box;
}

// The zoom window shows (no foreground on Windows' terms), follows the mouse and a click
// hides it.
void foregroundRefused(Program& program) {
    HWND zoom = e2e::startAndMagnify(program, 960, 540);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::moveCursorTo(700, 400));
    EXPECT_NE(e2e::waitForZoomWindowAt(program, e2e::centredRect(700, 400, 700, 300)), nullptr);
    e2e::clickLeft();
    EXPECT_TRUE(e2e::waitForZoomWindowHidden(program));
}

// Ctrl+F9 stored: refused at start, the poll answers it; in the dialog a refused chord is
// refused with its message and the dialog stays open.
void hotkeyTaken(Program& program) {
    ASSERT_TRUE(e2e::moveCursorTo(800, 500));
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    {
        e2e::HeldKeys keys;
        keys.pressChord(VK_CONTROL, VK_F9);
        EXPECT_NE(e2e::waitForZoomWindowAt(program, e2e::centredRect(800, 500, 700, 300)), nullptr)
            << "the poll took over";
    }
    e2e::sendKeyDown(program.zoomWindow(), VK_ESCAPE);
    ASSERT_TRUE(program.postCommand(CMD_SET_HOTKEY));
    HWND dialog = e2e::waitForDialog(program.processId());
    ASSERT_NE(dialog, nullptr);
    SendMessageA(GetDlgItem(dialog, 1001), HKM_SETHOTKEY, (HOTKEYF_CONTROL << 8) | VK_F8, 0);
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    HWND box = waitForMessageOver(program, dialog);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(e2e::messageBoxText(box),
              L"Another program already uses this key combination. Please choose another one.");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::waitUntilGone(box));
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    e2e::cancelDialog(dialog);
    EXPECT_EQ(program.readSettingText("hk_vkey"), "120");
}

// A stale entry of this program (a copy since deleted) cannot be repointed: it stays as it
// was and shows unchecked, so the toggle tries to write it (refused again) and never deletes.
void runValueRefused(Program& program) {
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    const std::string stale = "\"C:\\Gone\\vistrel.exe\" -bg";
    EXPECT_EQ(e2e::readRunValue("Vistrel").text(), stale);
    e2e::sendToWindow(program.mainWindow(), WM_COMMAND, CMD_AUTOSTART, 0);
    EXPECT_EQ(e2e::readRunValue("Vistrel").text(), stale);
}

// The file beside the program refuses the write: the change lands in the user's own file
// and the file beside stays as it was.
void settingsWriteRefused(Program& program) {
    HWND zoom = e2e::startAndMagnify(program, 960, 540);
    ASSERT_NE(zoom, nullptr);
    EXPECT_TRUE(e2e::sendKeyDown(zoom, '5'));
    EXPECT_EQ(GetPrivateProfileIntW(L"Program", L"zoom", 0, e2e::userSettingsPath().c_str()), 5u);
    EXPECT_EQ(program.readSettingText("zoom"), "");
    EXPECT_EQ(program.readSettingText("lng"), "1");
}

// The taskbar does not answer at first, as at logon: the icon comes once it does.
void taskbarLate(Program& program) {
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_TRUE(e2e::waitUntil(
        [&] { return e2e::trayIconPresent(program.mainWindow(), TRAY_ICON_ID); }, 30000));
}

// The snapshot's bitmap refused: no zoom window without a picture; the next press works.
void snapshotRefused(Program& program) {
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    EXPECT_EQ(e2e::magnifyNow(program), nullptr);
    EXPECT_FALSE(anyDialogOf(program));
    HWND zoom = e2e::magnifyNow(program);
    ASSERT_NE(zoom, nullptr);
    EXPECT_TRUE(e2e::sendKeyDown(zoom, VK_ESCAPE));
}

// P, C and B cannot reach the clipboard: it keeps what it had, and no message claims a copy.
void clipboardRefused(Program& program) {
    ASSERT_TRUE(e2e::placeClipboardText("kept"));
    HWND zoom = e2e::startAndMagnify(program, 960, 540);
    ASSERT_NE(zoom, nullptr);
    for (WPARAM key : {WPARAM{'P'}, WPARAM{'C'}, WPARAM{'B'}}) {
        EXPECT_TRUE(e2e::sendKeyDown(zoom, key));
    }
    EXPECT_EQ(e2e::clipboardText().text, "kept");
    EXPECT_FALSE(anyDialogOf(program));
    EXPECT_TRUE(IsWindowVisible(zoom));
}

// The finished picture cannot replace the old one: the old file stays, no temporary file is
// left, and the user is told.
void replaceRefused(Program& program) {
    const std::string folder = e2e::makeSubfolder(program.folder(), "pictures");
    const std::string path = folder + "\\shot.jpg";
    const char old[] = "old picture";
    ASSERT_TRUE(e2e::writeFileBytes(path, old, sizeof(old)));
    HWND zoom = e2e::startAndMagnify(program, 960, 540);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::postKeyDown(zoom, 'T'));
    HWND dialog = e2e::waitForDialog(program.processId());
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(e2e::chooseSavePath(dialog, path));
    ASSERT_TRUE(e2e::waitUntilGone(dialog));
    HWND box = waitForMessageOver(program, nullptr);
    ASSERT_NE(box, nullptr) << "the user is told";
    EXPECT_NE(e2e::messageBoxText(box).find(e2e::widen(path)), std::wstring::npos);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(e2e::waitUntilGone(box));
    EXPECT_EQ(e2e::readFileBytes(path), std::vector<uint8_t>(old, old + sizeof(old)));
    EXPECT_EQ(e2e::folderEntries(folder), std::vector<std::string>{"shot.jpg"});
}

class Refused : public ::testing::TestWithParam<Refusal> {};

TEST_P(Refused, NothingIsLostNothingFalseShownAndTheNextTryWorks) {
    const Refusal& row = GetParam();
    e2e::RunValueGuard runValue("Vistrel");
    e2e::writeRunText("\"C:\\Gone\\vistrel.exe\" -bg", "Vistrel");
    removeUserSettings();
    Program program;
    program.writeSetting("lng", "1");
    program.storeHotkey("1", "120", "2");  // Ctrl+F9
    std::string rules = row.rules;
    const size_t ini = rules.find("%INI%");
    if (ini != std::string::npos) {
        rules.replace(ini, 5, program.iniPath());
    }
    ASSERT_TRUE(program.startWithFaults(rules)) << "the fault library loads";
    row.check(program);
    DWORD code = 1;
    EXPECT_TRUE(program.exitByCommand(&code));
    EXPECT_EQ(code, 0u);
    removeUserSettings();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Refused,
    ::testing::Values(Refusal{"Foreground", "SetForegroundWindow", foregroundRefused},
                      Refusal{"HotkeyTaken", "RegisterHotKey", hotkeyTaken},
                      Refusal{"RunValueWrite", "RegSetValueExW@2=Vistrel", runValueRefused},
                      Refusal{"SettingsWrite", "WritePrivateProfileStringW@4=%INI%",
                              settingsWriteRefused},
                      Refusal{"TaskbarAtLogon", "Shell_NotifyIconW#1-3", taskbarLate},
                      Refusal{"SnapshotBitmap", "CreateCompatibleBitmap#1", snapshotRefused},
                      Refusal{"Clipboard", "OpenClipboard", clipboardRefused},
                      Refusal{"FinalReplace", "MoveFileExW", replaceRefused}),
    [](const ::testing::TestParamInfo<Refusal>& param) { return param.param.name; });

}  // namespace
