#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "settings/settings.h"
#include "resources/resource_ids.h"
#include "shell/hotkey_dialog.h"
#include "tests/support/e2e.h"
#include "tests/win32/hotkey_modal_script.h"
#include "texts/texts.h"

namespace {

// ---- The dialog at work ---------------------------------------------------------------

int shownLanguage = 1;
int languageShown() {
    return shownLanguage;
}

class HotkeyDialogRun : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { loadTexts(languageShown); }
    void SetUp() override {
        folder_ = e2e::makeTempFolder("hotkey");
        path_ = folder_ + "\\vistrel.ini";
        lstrcpynW(settingsFile().path, e2e::widen(path_).c_str(), kPathCapacity);
    }
    void TearDown() override {
        unregisterHotkey(nullptr, hotkey_);
        e2e::removeFolder(folder_);
    }
    void useHotkey(int flag, int key, int modifiers) {
        hotkey_ = {flag, key, modifiers, hotkey_.registered};
    }
    std::string stored(const char* key) {
        char text[64] = {};
        GetPrivateProfileStringA("Program", key, "<none>", text, sizeof(text), path_.c_str());
        return text;
    }
    // Runs the dialog with the steps driving it; false when the steps did not all complete.
    bool runDialog(std::vector<modal::Step> steps) {
        modal::Script script(std::move(steps));
        script.start();
        showHotkeyDialog(instance_, nullptr, hotkey_);
        script.stop();
        EXPECT_EQ(openHotkeyDialog(), nullptr) << "cleared when the dialog has closed";
        return script.finished() && !script.gaveUp();
    }
    static HWND control() { return GetDlgItem(openHotkeyDialog(), IDC_HOTKEY_CONTROL); }
    static modal::Step enter(WPARAM packed) {
        return [packed] {
            SendMessageA(control(), HKM_SETHOTKEY, packed, 0);
            return true;
        };
    }
    static modal::Step press(int command) {
        return [command] {
            PostMessageA(openHotkeyDialog(), WM_COMMAND, static_cast<WPARAM>(command), 0);
            return true;
        };
    }
    static modal::Step dialogOpen() {
        return [] { return openHotkeyDialog() != nullptr && IsWindowVisible(openHotkeyDialog()); };
    }

    HINSTANCE instance_ = GetModuleHandleA(nullptr);
    HotkeySetting hotkey_ = {};
    std::string folder_;
    std::string path_;
};

// The dialog as shown: its three controls whole inside the client area and clear of one
// another, and its icon drawn. The ids, classes and caption are what the other cases and the
// end-to-end tests reach it by.
TEST_F(HotkeyDialogRun, ShowsItsControlsWholeApartAndItsIcon) {
    RECT client = {};
    std::vector<RECT> placed;
    bool iconDrawn = false;
    ASSERT_TRUE(runDialog({dialogOpen(),
                           [&] {
                               HWND dialog = openHotkeyDialog();
                               GetClientRect(dialog, &client);
                               for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
                                    child = GetWindow(child, GW_HWNDNEXT)) {
                                   RECT rect = e2e::windowRect(child);
                                   MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&rect),
                                                   2);
                                   placed.push_back(rect);
                                   iconDrawn |= SendMessageA(child, STM_GETICON, 0, 0) != 0;
                               }
                               return true;
                           },
                           press(IDCANCEL)}));
    ASSERT_EQ(placed.size(), 3u);
    EXPECT_TRUE(iconDrawn);
    for (size_t i = 0; i < placed.size(); ++i) {
        RECT inside = {};
        IntersectRect(&inside, &placed[i], &client);
        EXPECT_TRUE(EqualRect(&inside, &placed[i])) << i;
        for (size_t j = i + 1; j < placed.size(); ++j) {
            RECT both = {};
            EXPECT_FALSE(IntersectRect(&both, &placed[i], &placed[j])) << i << " " << j;
        }
    }
}

TEST_F(HotkeyDialogRun, ShowsTheStoredHotkeyAsTheLowBytes) {
    struct Case {
        int key, modifiers;
        LRESULT shown;
    };
    for (Case c : {Case{116, HOTKEYF_SHIFT, 0x0174}, Case{0, 0, 0}, Case{372, 257, 0x0174},
                   Case{'Z', HOTKEYF_ALT | HOTKEYF_CONTROL, 0x065A}}) {
        useHotkey(1, c.key, c.modifiers);
        LRESULT shown = -1;
        ASSERT_TRUE(runDialog({dialogOpen(),
                               [&] {
                                   shown = SendMessageA(control(), HKM_GETHOTKEY, 0, 0);
                                   return true;
                               },
                               press(IDCANCEL)}));
        EXPECT_EQ(shown, c.shown) << c.key << "/" << c.modifiers;
    }
    EXPECT_EQ(stored("use_hk"), "<none>") << "cancel stores nothing";
}

TEST_F(HotkeyDialogRun, AcceptedEntriesAreStoredAndCloseTheDialog) {
    struct Case {
        WPARAM entered;
        int use, key, modifiers;
    };
    for (Case c : {Case{0, 0, 0, 0}, Case{0x0174, 1, 116, HOTKEYF_SHIFT},
                   Case{(HOTKEYF_EXT << 8) | VK_LEFT, 1, VK_LEFT, HOTKEYF_EXT},
                   Case{((HOTKEYF_CONTROL | HOTKEYF_ALT) << 8) | 'Z', 1, 'Z', 6}}) {
        useHotkey(1, 'Q', HOTKEYF_ALT);
        ASSERT_TRUE(runDialog({dialogOpen(), enter(c.entered), press(IDOK)}));
        EXPECT_EQ(hotkey_.useFlag, c.use);
        EXPECT_EQ(hotkey_.virtualKey, c.key);
        EXPECT_EQ(hotkey_.modifiers, c.modifiers);
        EXPECT_EQ(stored("use_hk"), std::to_string(c.use));
        EXPECT_EQ(stored("hk_vkey"), std::to_string(c.key));
        EXPECT_EQ(stored("hk_key"), std::to_string(c.modifiers));
    }
}

TEST_F(HotkeyDialogRun, IncompleteEntryShowsTheErrorAndChangesNothing) {
    struct Case {
        int language;
        WPARAM entered;
        const wchar_t* start;
    };
    for (Case c : {Case{1, VK_F5, L"Please provide"}, Case{0, HOTKEYF_SHIFT << 8, L"Bitte eine"},
                   Case{1, (HOTKEYF_CONTROL | HOTKEYF_ALT) << 8, L"Please provide"}}) {
        WPARAM entered = c.entered;
        useHotkey(1, 'Z', HOTKEYF_CONTROL);
        shownLanguage = c.language;
        HWND box = nullptr;
        std::string caption;
        std::wstring text;
        bool stillOpen = false;
        ASSERT_TRUE(runDialog({dialogOpen(), enter(entered), press(IDOK),
                               [&] {
                                   box = modal::dialogTitled("Error");
                                   return box != nullptr;
                               },
                               [&] {
                                   caption = e2e::windowText(box);
                                   text = e2e::messageBoxText(box);
                                   PostMessageA(box, WM_COMMAND, IDOK, 0);
                                   return true;
                               },
                               [&] { return !IsWindow(box); },
                               [&] {
                                   stillOpen = IsWindowVisible(openHotkeyDialog()) != 0;
                                   return true;
                               },
                               press(IDCANCEL)}));
        EXPECT_TRUE(stillOpen) << "a rejected entry keeps the dialog open";
        EXPECT_EQ(caption, "Error");
        EXPECT_EQ(text, uiString(UiText::HotkeyError));
        EXPECT_EQ(text.rfind(c.start, 0), 0u) << text;
        EXPECT_NE(text.find(L"\\n"), std::wstring::npos) << "backslash and n, shown as they are";
        // The last accepted hotkey stays in force, in memory as in the file.
        EXPECT_EQ(hotkey_.useFlag, 1);
        EXPECT_EQ(hotkey_.virtualKey, 'Z');
        EXPECT_EQ(hotkey_.modifiers, HOTKEYF_CONTROL);
        EXPECT_EQ(stored("use_hk"), "<none>");
        EXPECT_EQ(stored("hk_vkey"), "<none>");
    }
}

TEST_F(HotkeyDialogRun, ASecondRequestFocusesTheOpenDialog) {
    size_t dialogs = 0;
    bool focused = false;
    modal::Step secondRequest = [&] {
        HWND first = openHotkeyDialog();
        SetFocus(nullptr);
        showHotkeyDialog(instance_, nullptr, hotkey_);  // returns at once
        EXPECT_EQ(openHotkeyDialog(), first);
        dialogs = modal::dialogsOfThisProcess().size();
        HWND focus = GetFocus();
        focused = focus != nullptr && (focus == first || IsChild(first, focus));
        return true;
    };
    ASSERT_TRUE(runDialog({dialogOpen(), secondRequest, press(IDCANCEL)}));
    EXPECT_EQ(dialogs, 1u);
    EXPECT_TRUE(focused);
}

TEST_F(HotkeyDialogRun, MissingResourceOpensNothing) {
    showHotkeyDialog(GetModuleHandleA("kernel32.dll"), nullptr, hotkey_);
    EXPECT_EQ(openHotkeyDialog(), nullptr);
    EXPECT_TRUE(modal::dialogsOfThisProcess().empty());
}

TEST(HotkeyDialogProc, LeavesOtherCommandsAndMessagesAlone) {
    EXPECT_EQ(hotkeyDialogProc(nullptr, WM_COMMAND, 1234, 0), 0);
    EXPECT_EQ(hotkeyDialogProc(nullptr, WM_PAINT, 0, 0), 0);
}

}  // namespace
