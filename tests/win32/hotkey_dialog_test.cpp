#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "resources/resource_ids.h"
#include "shell/hotkey_dialog.h"
#include "tests/support/e2e.h"
#include "tests/win32/hotkey_modal_script.h"
#include "texts/texts.h"

namespace {

// ---- The dialog template as stored in the program's resources -------------------------

struct TemplateItem {
    DWORD style;
    short x, y, cx, cy;
    WORD id;
    std::string className;  // "#0x0080" style names for the predefined atoms
    std::string text;       // "#107" for an ordinal
};

struct DialogTemplate {
    DWORD style;
    short x, y, cx, cy;
    std::string caption;
    WORD pointSize;
    std::string face;
    std::vector<TemplateItem> items;
};

const WORD* readName(const WORD* at, std::string* out) {
    if (*at == 0xFFFF) {
        *out = "#" + std::to_string(at[1]);
        return at + 2;
    }
    out->clear();
    while (*at != 0) {
        out->push_back(static_cast<char>(*at++));
    }
    return at + 1;
}

const WORD* alignToDword(const WORD* at, const void* base) {
    uintptr_t offset = reinterpret_cast<const BYTE*>(at) - static_cast<const BYTE*>(base);
    return reinterpret_cast<const WORD*>(static_cast<const BYTE*>(base) + ((offset + 3) & ~3u));
}

bool loadDialogTemplate(int id, DialogTemplate* out) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));  // RT_DIALOG
    if (found == nullptr) {
        return false;
    }
    const void* base = LockResource(LoadResource(module, found));
    const DLGTEMPLATE* head = static_cast<const DLGTEMPLATE*>(base);
    if (head == nullptr || HIWORD(head->style) == 0xFFFF) {  // not an extended template
        return false;
    }
    out->style = head->style;
    out->x = head->x;
    out->y = head->y;
    out->cx = head->cx;
    out->cy = head->cy;
    const WORD* at = reinterpret_cast<const WORD*>(head + 1);
    std::string menu, windowClass;
    at = readName(at, &menu);
    at = readName(at, &windowClass);
    at = readName(at, &out->caption);
    if (head->style & DS_SETFONT) {
        out->pointSize = *at++;
        at = readName(at, &out->face);
    }
    for (int i = 0; i < head->cdit; ++i) {
        at = alignToDword(at, base);
        const DLGITEMTEMPLATE* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at);
        TemplateItem entry{item->style, item->x, item->y, item->cx, item->cy, item->id, {}, {}};
        at = reinterpret_cast<const WORD*>(reinterpret_cast<const BYTE*>(item) + 18);
        at = readName(at, &entry.className);
        at = readName(at, &entry.text);
        at += 1 + *at / sizeof(WORD);  // creation data
        out->items.push_back(entry);
    }
    return true;
}

TEST(HotkeyDialogResource, MatchesTheDialogDescription) {
    DialogTemplate dialog = {};
    ASSERT_TRUE(loadDialogTemplate(IDD_HOTKEY, &dialog));
    EXPECT_EQ(dialog.style & ~static_cast<DWORD>(WS_POPUP),
              static_cast<DWORD>(WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_CENTER |
                                 DS_SYSMODAL));
    EXPECT_EQ(dialog.x, 22);
    EXPECT_EQ(dialog.y, 17);
    EXPECT_EQ(dialog.cx, 230);
    EXPECT_EQ(dialog.cy, 30);
    EXPECT_EQ(dialog.caption, "HotKey ;)");
    EXPECT_EQ(dialog.pointSize, 8);
    EXPECT_EQ(dialog.face, "MS Sans Serif");
    ASSERT_EQ(dialog.items.size(), 3u);

    const TemplateItem& icon = dialog.items[0];
    EXPECT_EQ(icon.id, 2);
    EXPECT_TRUE(icon.className == "#130" || lstrcmpiA(icon.className.c_str(), "Static") == 0)
        << icon.className;
    EXPECT_EQ(icon.text, "#" + std::to_string(IDI_VISTREL));
    EXPECT_EQ(icon.style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | SS_ICON));
    EXPECT_EQ((std::vector<short>{icon.x, icon.y, icon.cx, icon.cy}),
              (std::vector<short>{9, 4, 20, 20}));

    const TemplateItem& control = dialog.items[1];
    EXPECT_EQ(control.id, IDC_HOTKEY_CONTROL);
    // The resource compiler may store the class name in capitals; class names match either way.
    EXPECT_EQ(lstrcmpiA(control.className.c_str(), "msctls_hotkey32"), 0) << control.className;
    EXPECT_EQ(control.text, "HotKey1");
    EXPECT_EQ(control.style, static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP));
    EXPECT_EQ((std::vector<short>{control.x, control.y, control.cx, control.cy}),
              (std::vector<short>{34, 7, 153, 14}));

    const TemplateItem& ok = dialog.items[2];
    EXPECT_EQ(ok.id, IDOK);
    EXPECT_TRUE(ok.className == "#128" || lstrcmpiA(ok.className.c_str(), "Button") == 0)
        << ok.className;
    EXPECT_EQ(ok.text, "OK");
    EXPECT_EQ(ok.style,
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_GROUP | WS_TABSTOP | BS_PUSHBUTTON));
    EXPECT_EQ((std::vector<short>{ok.x, ok.y, ok.cx, ok.cy}), (std::vector<short>{189, 6, 31, 15}));
}

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
