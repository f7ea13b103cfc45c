#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/help_keys.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

std::vector<HWND> visibleWindowsTitled(const Program& program, const char* caption) {
    std::vector<HWND> found;
    for (HWND window : e2e::topLevelWindowsOf(program.processId())) {
        if (IsWindowVisible(window) && e2e::windowText(window) == caption) {
            found.push_back(window);
        }
    }
    return found;
}

class HotkeyDialog : public ::testing::Test {
  protected:
    void startProgram(const char* environment = "") {
        ASSERT_TRUE(environment[0] == '\0' ? program_.start()
                                           : program_.startWithEnvironment(environment));
        main_ = program_.waitForMainWindow();
        ASSERT_NE(main_, nullptr);
    }
    // Asks for the dialog as the tray menu does, and waits for it.
    void openDialog() {
        ASSERT_TRUE(program_.postCommand(CMD_SET_HOTKEY));
        openDialogWaitOnly();
    }
    void openDialogWaitOnly() {
        ASSERT_TRUE(e2e::waitUntil(
            [&] { return visibleWindowsTitled(program_, "HotKey ;)").size() == 1; }, 10000));
        dialog_ = visibleWindowsTitled(program_, "HotKey ;)")[0];
        control_ = GetDlgItem(dialog_, 1001);
        ASSERT_NE(control_, nullptr);
    }
    LRESULT shownHotkey() { return SendMessageA(control_, HKM_GETHOTKEY, 0, 0); }
    void enter(WPARAM packed) { SendMessageA(control_, HKM_SETHOTKEY, packed, 0); }
    void pressOk() {
        PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog_, IDOK)));
    }
    // Gone, and the command that showed it handled to its end (the hotkey registered anew).
    bool dialogClosed() {
        return e2e::waitUntil([&] { return !IsWindow(dialog_); }, 10000) &&
               program_.handledAllPosted();
    }
    std::vector<std::string> storedHotkey() {
        return {program_.readSettingText("use_hk"), program_.readSettingText("hk_vkey"),
                program_.readSettingText("hk_key")};
    }

    Program program_;
    HWND main_ = nullptr;
    HWND dialog_ = nullptr;
    HWND control_ = nullptr;
};

TEST_F(HotkeyDialog, ShowsTheStoredHotkeyAndCancelStoresNothing) {
    program_.storeHotkey("1", "116", "1");
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_NO_FATAL_FAILURE(openDialog());
    EXPECT_EQ(shownHotkey(), 0x0174);
    EXPECT_EQ(GetWindow(dialog_, GW_OWNER), main_);
    EXPECT_EQ(e2e::focusOfThreadOf(dialog_), control_) << "typing goes to the hotkey control";
    PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(dialogClosed());
    EXPECT_EQ(storedHotkey(), (std::vector<std::string>{"1", "116", "1"}));
}

// Types a combination into the focused control: modifiers down, the key tapped, modifiers up.
void typeCombination(const std::vector<WORD>& modifiers, WORD key) {
    for (WORD modifier : modifiers) {
        e2e::keyDown(modifier);
    }
    e2e::pumpFor(50);
    e2e::tapKey(key);
    e2e::pumpFor(50);
    for (auto modifier = modifiers.rbegin(); modifier != modifiers.rend(); ++modifier) {
        e2e::keyUp(*modifier);
    }
}

// Holds the modifier and the key as the user would; true when the zoom window came up at
// the cursor meanwhile. Where it must not, the keys stay down over a few of the poll's 50 ms
// ticks (input) and the check follows the marker, behind whatever a tick or the system posted.
bool zoomWindowComesUpWith(const Program& program, WORD modifier, WORD key, bool expected) {
    e2e::HeldKeys keys;
    keys.press(modifier);
    e2e::pumpFor(50);
    keys.press(key);
    const RECT at = e2e::centredRect(800, 500, 700, 300);
    bool shown = false;
    if (expected) {
        shown = e2e::waitForZoomWindowAt(program, at, 5000) != nullptr;
    } else {
        e2e::pumpFor(200);
        shown = !program.handledAllPosted() || IsWindowVisible(program.zoomWindow());
    }
    keys.releaseAll();
    e2e::pumpFor(100);
    return shown;
}

TEST_F(HotkeyDialog, EmptyEntrySwitchesTheHotkeyOff) {
    program_.storeHotkey("1", "116", "1");
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_NO_FATAL_FAILURE(openDialog());
    enter(0);
    pressOk();
    ASSERT_TRUE(dialogClosed());
    EXPECT_EQ(storedHotkey(), (std::vector<std::string>{"0", "0", "0"}));
    EXPECT_TRUE(IsWindowEnabled(main_));
}

// Whether this test process may register Ctrl + the key: not while the program holds it.
bool ctrlChordIsFree(UINT key) {
    bool free = RegisterHotKey(nullptr, 2, MOD_CONTROL, key) != 0;
    UnregisterHotKey(nullptr, 2);
    return free;
}

// The system holds the Ctrl chord in force from the start, and after a change only the new one.
TEST_F(HotkeyDialog, ACtrlChordIsRegisteredInPlaceOfTheOldOneAndFreedWhenSwitchedOff) {
    program_.storeHotkey("1", "90", "2");  // Ctrl+Z
    ASSERT_NO_FATAL_FAILURE(startProgram());
    EXPECT_FALSE(ctrlChordIsFree('Z'));
    for (WPARAM entered : {WPARAM{(HOTKEYF_CONTROL << 8) | 'X'}, WPARAM{0}}) {
        ASSERT_NO_FATAL_FAILURE(openDialog());
        enter(entered);
        pressOk();
        ASSERT_TRUE(dialogClosed());
        EXPECT_TRUE(ctrlChordIsFree('Z'));
        EXPECT_EQ(ctrlChordIsFree('X'), entered == 0);
    }
}

TEST_F(HotkeyDialog, ShiftF5TypedIsStoredAsKey116WithShift) {
    program_.storeHotkey("0", "0", "0");
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_NO_FATAL_FAILURE(openDialog());
    EXPECT_EQ(shownHotkey(), 0) << "nothing stored: the empty control";
    ASSERT_TRUE(e2e::waitUntil([&] { return e2e::focusOfThreadOf(dialog_) == control_; }, 5000));
    e2e::pumpFor(300);  // let the focus change settle before keys are typed
    typeCombination({VK_SHIFT}, VK_F5);
    ASSERT_TRUE(e2e::waitUntil([&] { return shownHotkey() == 0x0174; }, 5000))
        << "control shows " << std::hex << shownHotkey();
    pressOk();
    ASSERT_TRUE(dialogClosed());
    EXPECT_EQ(storedHotkey(), (std::vector<std::string>{"1", "116", "1"}));

    // At once in force, and always with Ctrl: Shift+F5 as entered does nothing.
    ASSERT_TRUE(e2e::moveCursorTo(800, 500));
    EXPECT_FALSE(zoomWindowComesUpWith(program_, VK_SHIFT, VK_F5, false));
    EXPECT_TRUE(zoomWindowComesUpWith(program_, VK_CONTROL, VK_F5, true));
}

struct Incomplete {
    const char* language;
    WPARAM entered;
    const wchar_t* text;
    const char* environment;
    UINT takenKey = 0;  // this test registers Ctrl + the key first, and the old hotkey is Ctrl+F6
};

const wchar_t* const kEnglishError = L"Please provide a key combination!\\nNot only one key ;)";
const wchar_t* const kGermanError = L"Bitte eine Tastenkombination!\\nNicht nur eine Taste ;)";

class HotkeyDialogRejects : public HotkeyDialog,
                            public ::testing::WithParamInterface<Incomplete> {};

TEST_P(HotkeyDialogRejects, ShowsTheErrorKeepsTheDialogAndAfterEscTheOldHotkey) {
    const UINT taken = GetParam().takenKey;
    const std::vector<std::string> old = {"1", taken != 0 ? "117" : "116", taken != 0 ? "2" : "1"};
    program_.writeSetting("lng", GetParam().language);
    program_.storeHotkey(old[0].c_str(), old[1].c_str(), old[2].c_str());
    ASSERT_NO_FATAL_FAILURE(startProgram(GetParam().environment));
    ASSERT_NO_FATAL_FAILURE(openDialog());
    ASSERT_TRUE(taken == 0 || RegisterHotKey(nullptr, 3, MOD_CONTROL, taken));
    enter(GetParam().entered);
    pressOk();
    HWND box = nullptr;
    ASSERT_TRUE(e2e::waitUntil(
        [&] {
            std::vector<HWND> boxes = visibleWindowsTitled(program_, "Error");
            box = boxes.empty() ? nullptr : boxes[0];
            return box != nullptr;
        },
        10000));
    EXPECT_EQ(e2e::messageBoxText(box), GetParam().text) << "backslash and n as two characters";
    EXPECT_EQ(GetWindow(box, GW_OWNER), dialog_);

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::waitUntil([&] { return !IsWindow(box); }, 10000));
    EXPECT_TRUE(IsWindowVisible(dialog_)) << "the dialog stays open";
    EXPECT_EQ(storedHotkey(), old);
    if (taken != 0) {
        UnregisterHotKey(nullptr, 3);
        EXPECT_FALSE(ctrlChordIsFree(VK_F6)) << "the old hotkey stays registered";
    }

    ASSERT_TRUE(e2e::waitUntil([&] { return e2e::focusOfThreadOf(dialog_) != nullptr; }, 5000));
    e2e::pumpFor(300);
    e2e::tapKey(VK_ESCAPE);
    if (!e2e::waitUntil([&] { return !IsWindow(dialog_); }, 3000)) {
        ADD_FAILURE() << "Esc did not reach the dialog";
        PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
        ASSERT_TRUE(dialogClosed());
    }
    EXPECT_EQ(storedHotkey(), old);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, HotkeyDialogRejects,
    ::testing::Values(Incomplete{"1", VK_F5, kEnglishError, ""},
                      Incomplete{"0", HOTKEYF_SHIFT << 8, kGermanError, ""},
                      // Not a number: 0, German.
                      Incomplete{"en", HOTKEYF_SHIFT << 8, kGermanError, ""},
                      Incomplete{"1", (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8, kEnglishError, ""},
                      // The Cyrillic code page (1251) of the program changes nothing.
                      Incomplete{"0", HOTKEYF_SHIFT << 8, kGermanError, "LC_ALL=ru_RU.UTF-8"},
                      // A chord another program has registered.
                      Incomplete{"1", (HOTKEYF_CONTROL << 8) | VK_F9,
                                 L"Another program already uses this key combination. Please "
                                 L"choose another one.",
                                 "", VK_F9}));

// A refused entry is not taken over: the poll goes on with the hotkey accepted before.
TEST_F(HotkeyDialog, RejectedEntryLeavesThePollOnThePreviousHotkey) {
    program_.storeHotkey("1", "117", "2");  // Ctrl+F6
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_NO_FATAL_FAILURE(openDialog());
    enter(VK_F7);
    pressOk();
    ASSERT_TRUE(
        e2e::waitUntil([&] { return !visibleWindowsTitled(program_, "Error").empty(); }, 10000));
    HWND box = visibleWindowsTitled(program_, "Error")[0];
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(e2e::waitUntil([&] { return !IsWindow(box); }, 10000));
    PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(dialogClosed());

    ASSERT_TRUE(e2e::moveCursorTo(800, 500));
    EXPECT_FALSE(zoomWindowComesUpWith(program_, VK_CONTROL, VK_F7, false));
    EXPECT_TRUE(zoomWindowComesUpWith(program_, VK_CONTROL, VK_F6, true));
    EXPECT_EQ(storedHotkey(), (std::vector<std::string>{"1", "117", "2"}));
}

TEST_F(HotkeyDialog, ZoomWindowsHHidesTheZoomWindowFirst) {
    ASSERT_NO_FATAL_FAILURE(startProgram());
    HWND zoom = e2e::startAndMagnify(program_, 800, 500);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::postKeyDown(zoom, 'H'));
    ASSERT_NO_FATAL_FAILURE(openDialogWaitOnly());
    EXPECT_FALSE(IsWindowVisible(zoom)) << "hidden before the dialog came up";
    PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(dialogClosed());
    EXPECT_FALSE(IsWindowVisible(zoom));
}

TEST_F(HotkeyDialog, ASecondRequestOpensNoSecondDialog) {
    ASSERT_NO_FATAL_FAILURE(startProgram());
    ASSERT_NO_FATAL_FAILURE(openDialog());
    ASSERT_TRUE(program_.postCommand(CMD_SET_HOTKEY));
    ASSERT_TRUE(program_.postCommand(CMD_SET_HOTKEY));
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_EQ(visibleWindowsTitled(program_, "HotKey ;)").size(), 1u);
    EXPECT_TRUE(IsWindow(dialog_));
    EXPECT_EQ(e2e::focusOfThreadOf(dialog_), control_);
    PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(dialogClosed());
    // Closed, it opens again.
    ASSERT_NO_FATAL_FAILURE(openDialog());
    PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(dialogClosed());
}

}  // namespace
