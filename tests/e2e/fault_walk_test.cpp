// The walk of scripts/faults: one fixed tour of the program with the function named in
// VISTREL_SWEEP_FUNCTION refused on every call (set but empty: the library loaded, refusing
// nothing; not set: the program as it is). Then
// nothing of the user's may be lost or damaged and a normal start must work. Disabled in the
// test command; scripts/faults runs it once per function.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/gdiplus_files.h"
#include "tests/support/thumbnail_dialog.h"
#include "tests/support/tray.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

const char kOtherRunValue[] = "VistrelSweepOther";
const char kOtherCommand[] = "\"C:\\Tools\\other.exe\" /tray";
const char kOldPicture[] = "old picture, not a JPEG";

// Closes whatever dialog or message box of the process shows, as a user would with Esc.
void closeDialogs(const Program& program) {
    for (HWND window : e2e::topLevelWindowsOf(program.processId())) {
        char name[32] = {};
        GetClassNameA(window, name, sizeof(name));
        if (IsWindowVisible(window) && strcmp(name, "#32770") == 0) {
            e2e::cancelDialog(window);
        }
    }
}

// Ends the program through its command; the state the walk found when it did not end.
std::string endProgram(Program& program) {
    DWORD code = 0;
    for (int attempt = 0; attempt < 3 && program.running(); ++attempt) {
        closeDialogs(program);
        program.postCommand(CMD_EXIT);
        program.waitForExit(5000, nullptr);
    }
    if (!program.waitForExit(1000, &code)) {
        program.kill();
        return "hang: still running 15 s after Exit";
    }
    return code >= 0xC0000000u ? "crash: exit code " + std::to_string(code) : std::string();
}

struct Walk {
    std::vector<std::string> seen;  // what the user would have noticed, for the row's note
    std::string fault;              // empty: nothing the sweep counts as a failure
};

void note(Walk* walk, bool happened, const char* what) {
    if (!happened) {
        walk->seen.push_back(what);
    }
}

// Starts the program, with the fault library unless rules is null.
bool start(Program& program, const char* rules) {
    return rules == nullptr ? program.start() : program.startWithFaults(rules);
}

void tour(Program& program, const char* rules, const std::string& picture, Walk* walk) {
    const bool started = start(program, rules);
    if (!started) {
        walk->fault = "could not start the program with the fault library";
        return;
    }
    if (program.waitForMainWindow(10000) == nullptr || !program.running()) {
        note(walk, false, "no main window (the program ended at start)");
        return;
    }
    e2e::moveCursorTo(960, 540);
    program.postCommand(CMD_MAGNIFY);
    HWND zoom = e2e::waitForZoomWindowShown(program, 5000);
    note(walk, zoom != nullptr, "no zoom window");
    if (zoom != nullptr) {
        e2e::moveCursorTo(900, 500);
        // A press again while it shows: a new snapshot without the window in it.
        e2e::sendToWindow(program.mainWindow(), WM_COMMAND, CMD_MAGNIFY, 0);
        for (WPARAM key : {WPARAM{'4'}, WPARAM{VK_RIGHT}, WPARAM{VK_UP}, WPARAM{'P'}, WPARAM{'C'},
                           WPARAM{'B'}}) {
            e2e::sendKeyDown(zoom, key);
        }
        note(walk, e2e::exportThumbnail(program, zoom, picture), "no save dialog");
        closeDialogs(program);
    }
    // The hotkey dialog, an entry it refuses (a key without a modifier), then Cancel.
    program.postCommand(CMD_SET_HOTKEY);
    HWND dialog = e2e::waitForDialog(program.processId(), 5000);
    note(walk, dialog != nullptr, "no hotkey dialog");
    if (dialog != nullptr) {
        SendMessageA(GetDlgItem(dialog, 1001), HKM_SETHOTKEY, VK_F5, 0);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        HWND box = nullptr;
        e2e::waitUntil(
            [&] {
                box = e2e::waitForDialog(program.processId(), 0);
                return box != dialog || !IsWindow(dialog);
            },
            3000);
        note(walk, box != dialog && box != nullptr, "no message for a refused entry");
        e2e::cancelDialog(box);
        e2e::waitUntilGone(box, 3000);
    }
    closeDialogs(program);
    e2e::waitUntilGone(dialog, 5000);
    // The tray menu, closed with Esc; the help page, closed to the tray.
    program.postTrayNotify(WM_RBUTTONDOWN);
    HWND menu = nullptr;
    note(
        walk,
        e2e::waitUntil([&] { return (menu = e2e::visiblePopupMenuOf(program.processId())); }, 3000),
        "no tray menu");
    if (menu != nullptr) {
        e2e::tapKey(VK_ESCAPE);
        if (!e2e::waitUntil([&] { return !e2e::visiblePopupMenuOf(program.processId()); }, 3000)) {
            PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
        }
    }
    program.postCommand(CMD_HELP);
    note(walk, e2e::waitUntil([&] { return IsWindowVisible(program.mainWindow()) != 0; }, 3000),
         "no help window");
    e2e::sendToWindow(program.mainWindow(), WM_CLOSE, 0, 0);
    for (int toggle = 0; toggle < 2; ++toggle) {
        e2e::sendToWindow(program.mainWindow(), WM_COMMAND, CMD_AUTOSTART, 0);
    }
    e2e::sendKeyDown(program.zoomWindow(), VK_ESCAPE);
    Program second(program.folder());
    DWORD code = 0;
    if (start(second, rules) && second.waitForExit(15000, &code)) {
        note(walk, code == EXIT_CODE_SECOND_START, "the second start ended otherwise");
        note(walk, e2e::waitForZoomWindowShown(program, 5000) != nullptr,
             "no zoom window on a second start");
    } else {
        walk->fault = "the second start did not end";
    }
}

// The hotkey and language as the walk stored them, in the file at path.
bool keepsUserSettings(const std::wstring& path) {
    std::wstring kept;
    for (const wchar_t* key : {L"use_hk", L"hk_vkey", L"hk_key", L"lng"}) {
        wchar_t text[16] = {};
        GetPrivateProfileStringW(L"Program", key, L"", text, 16, path.c_str());
        kept += text;
    }
    return kept == L"112021";
}

TEST(FaultSweep, DISABLED_Walk) {
    DeleteFileW(e2e::userSettingsPath().c_str());
    const char* rules = getenv("VISTREL_SWEEP_FUNCTION");
    e2e::RunValueGuard own("Vistrel");
    e2e::RunValueGuard other(kOtherRunValue);
    ASSERT_TRUE(e2e::writeRunText(kOtherCommand, kOtherRunValue));
    // An entry of a copy since deleted, which the start repoints.
    ASSERT_TRUE(e2e::writeRunText("\"C:\\Gone\\vistrel.exe\" -bg", "Vistrel"));
    Program program;
    program.storeHotkey("1", "120", "2");
    program.writeSetting("lng", "1");
    ASSERT_TRUE(
        e2e::writePngFile(program.folder() + "\\water.png", e2e::PixelGrid(40, 40, 0x80C02020u)));
    const std::string picture = program.folder() + "\\pictures\\view.jpg";
    CreateDirectoryW(e2e::widen(program.folder() + "\\pictures").c_str(), nullptr);
    ASSERT_TRUE(e2e::writeFileBytes(picture, kOldPicture, sizeof(kOldPicture)));

    Walk walk;
    tour(program, rules, picture, &walk);
    const std::string ending = endProgram(program);
    if (walk.fault.empty()) {
        walk.fault = ending;
    }

    // The user's things: the hotkey and language as set, a view in range, the old picture
    // or a complete new one and nothing else beside it, another program's Run value.
    if (!keepsUserSettings(e2e::widen(program.iniPath())) ||
        (GetFileAttributesW(e2e::userSettingsPath().c_str()) != INVALID_FILE_ATTRIBUTES &&
         !keepsUserSettings(e2e::userSettingsPath()))) {
        walk.fault += " settings lost";
    }
    DeleteFileW(e2e::userSettingsPath().c_str());
    const int zoomSetting = program.readSetting("zoom", 2);
    if (zoomSetting < 1 || zoomSetting > 16 || program.readSetting("cx", 700) < 100) {
        walk.fault += " stored view out of range";
    }
    const std::vector<uint8_t> bytes = e2e::readFileBytes(picture);
    e2e::PixelGrid decoded;
    if (bytes != std::vector<uint8_t>(kOldPicture, kOldPicture + sizeof(kOldPicture)) &&
        !(e2e::decodePictureFile(picture, &decoded) && decoded.width == 250)) {
        walk.fault += " the picture at the save target damaged";
    }
    if (e2e::folderEntries(program.folder() + "\\pictures").size() != 1) {
        walk.fault += " a file left beside the picture";
    }
    if (e2e::readRunValue(kOtherRunValue).text() != kOtherCommand) {
        walk.fault += " another program's Run value changed";
    }

    // A normal start right after works.
    DWORD code = 1;
    if (!program.start() || program.waitForMainWindow() == nullptr ||
        e2e::magnifyNow(program) == nullptr || !program.exitByCommand(&code) || code != 0) {
        walk.fault += " the next normal run failed";
    }

    std::string seen;
    for (const std::string& what : walk.seen) {
        seen += (seen.empty() ? "" : ", ") + what;
    }
    printf("SWEEP-NOTE %s\n", seen.empty() ? "walk complete" : seen.c_str());
    printf("SWEEP-FAULT %s\n", walk.fault.c_str());
    EXPECT_EQ(walk.fault, "");
}

}  // namespace
