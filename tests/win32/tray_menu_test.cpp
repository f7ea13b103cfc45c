#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/commands.h"
#include "shell/tray_menu.h"
#include "texts/texts.h"

namespace {

struct Entry {
    UINT id;
    std::wstring text;
    bool separator;
};

// The popup as the user sees it: nine entries, the eighth and ninth from the string list.
std::vector<Entry> expectedEntries() {
    return {{CMD_HELP, L"Help", false},
            {0, L"", true},
            {CMD_EXIT, L"&Exit", false},
            {0, L"", true},
            {CMD_AUTOSTART, uiString(UiText::StartWithWindows), false},
            {CMD_SET_HOTKEY, L"Set Hot-Key", false},
            {0, L"", true},
            {CMD_MAGNIFY, L"Vistrel", false},
            {0, uiString(UiText::CloseMenu), false}};
}

class TrayMenu : public ::testing::Test {
  protected:
    HINSTANCE instance_ = GetModuleHandleA(nullptr);
};

// As UTF-16, what the menu holds: the system's code page plays no part in it.
std::wstring itemText(HMENU menu, int position) {
    wchar_t text[256] = {};
    GetMenuStringW(menu, position, text, 256, MF_BYPOSITION);
    return text;
}

TEST_F(TrayMenu, HasNineEntriesInOrderWithTheAppendedOneLast) {
    HMENU popup = nullptr;
    UniqueMenu menu = buildTrayMenu(instance_, &popup);
    ASSERT_TRUE(menu);
    ASSERT_NE(popup, nullptr);
    std::vector<Entry> expected = expectedEntries();
    ASSERT_EQ(GetMenuItemCount(popup), 9);
    for (int i = 0; i < 9; ++i) {
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_SUBMENU | MIIM_STATE;
        ASSERT_TRUE(GetMenuItemInfoA(popup, i, TRUE, &info)) << i;
        EXPECT_EQ((info.fType & MFT_SEPARATOR) != 0, expected[i].separator) << i;
        EXPECT_EQ(info.hSubMenu, nullptr) << i;
        if (!expected[i].separator) {
            EXPECT_EQ(info.fState & (MFS_GRAYED | MFS_DISABLED), 0u) << i;
            EXPECT_EQ(info.wID, expected[i].id) << i;
            EXPECT_EQ(itemText(popup, i), expected[i].text) << i;
        }
    }
}

struct LanguageCase {
    int language;  // as the settings key lng gives it
    const wchar_t* autostart;
    const wchar_t* appended;
};

int shownLanguage = 1;
int languageShown() {
    return shownLanguage;
}

class TrayMenuLanguage : public TrayMenu, public ::testing::WithParamInterface<LanguageCase> {
  protected:
    static void SetUpTestSuite() { loadTexts(languageShown); }
};

TEST_P(TrayMenuLanguage, TextsComeFromTheCurrentLanguage) {
    shownLanguage = GetParam().language;
    HMENU popup = nullptr;
    UniqueMenu menu = buildTrayMenu(instance_, &popup);
    ASSERT_TRUE(menu);
    ASSERT_EQ(GetMenuItemCount(popup), 9);
    EXPECT_EQ(itemText(popup, 4), GetParam().autostart);
    EXPECT_EQ(itemText(popup, 8), GetParam().appended);
    // The resource's own texts do not change with the language.
    EXPECT_EQ(itemText(popup, 0), L"Help");
    EXPECT_EQ(itemText(popup, 5), L"Set Hot-Key");
}

INSTANTIATE_TEST_SUITE_P(
    Languages, TrayMenuLanguage,
    ::testing::Values(LanguageCase{0, L"Mit Windows starten", L"Dieses Men\u00FC schlie\u00DFen"},
                      LanguageCase{1, L"Start with Windows", L"Close this menu"},
                      LanguageCase{7, L"Start with Windows", L"Close this menu"}));

TEST_F(TrayMenu, EachBuildStartsFromTheResourceAgain) {
    for (int round = 0; round < 3; ++round) {
        HMENU popup = nullptr;
        UniqueMenu menu = buildTrayMenu(instance_, &popup);
        ASSERT_TRUE(menu);
        EXPECT_EQ(GetMenuItemCount(popup), 9) << round;
        HMENU loaded = menu.release();
        EXPECT_TRUE(DestroyMenu(loaded)) << round;
        EXPECT_FALSE(IsMenu(loaded)) << round;
    }
}

TEST_F(TrayMenu, AModuleWithoutTheMenuGivesNone) {
    HMENU popup = reinterpret_cast<HMENU>(1);
    EXPECT_FALSE(buildTrayMenu(GetModuleHandleA("kernel32.dll"), &popup));
    EXPECT_EQ(popup, nullptr);
}

}  // namespace
