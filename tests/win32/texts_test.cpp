// The texts the program carries, expanded by loadTexts() from the blob linked into it, code unit
// for code unit as the program shows them: \u00F6 is o-umlaut, \u00FC u-umlaut, \u00DF sharp s.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "app/process_objects.h"
#include "tests/support/e2e.h"
#include "tests/support/wine_debug_launch.h"
#include "texts/texts.h"
#include "texts/windows1252.h"

namespace {

const wchar_t* const kGermanHelp =
    L"Ein kleines Programm, aber eine effektive L\u00F6sung ;) !\r\n"
    L"\r\n"
    L"Dr\u00FCcken Sie bitte die Taste:\r\n"
    L"\r\n"
    L":::::  Zoom-Fenster  :::::\r\n"
    L"[+] / [-] = Zoom +/-\r\n"
    L"[Mausrad +/-] = Zoom +/-\r\n"
    L"[1-9] = Zoom 1-9 \r\n"
    L"[LINKS / RECHTS / AUF / AB ] (Pfeiltasten) = Fenstergr\u00F6sse mit ([SHIFT]=Fein)\r\n"
    L"[P] = Aktueller Pixel als Hexacod in die Zwischenablage\r\n"
    L"[B] = Aktueller Bereich als Bitmap in die Zwischenablage\r\n"
    L"[R/L-MAUS] = Verstecke die Vistrel\r\n"
    L"[F1] = Hilfe  \r\n"
    L"[H] = Set Hot-Key\r\n"
    L"\r\n"
    L":::::  Dieses Fenster  :::::\r\n"
    L"[ESC] = Exit  /   [E] = Englisch  /  [D] = Deutsch\r\n"
    L"[T] Totray  / [H] = Set Hot-Key\r\n"
    L"\r\n";

const wchar_t* const kEnglishHelp =
    L"Small program effective solution ;) . \r\n"
    L"\r\n"
    L"Push the Button: \r\n"
    L"\r\n"
    L":::::  Zoom window  :::::\r\n"
    L"[+] / [-] = Zoom +/-\r\n"
    L"[Mousewheel +/- ] = Zoom +/-\r\n"
    L"[1-9] = Zoom 1-9 X\r\n"
    L"[LEFT / RIGHT / UP /DOWN] (Arrow keys) = Window size + ([SHIFT]=Fine)\r\n"
    L"[P] = Put the pixel value on the clipboard\r\n"
    L"[B] = Put the bitmap on the clipboard\r\n"
    L"[L/R-Mouse] = Hiding the Vistrel \r\n"
    L"[F1] = Help\r\n"
    L"[H] = Set Hot-Key\r\n"
    L"\r\n"
    L":::::  This window  :::::\r\n"
    L"[ESC] = Exit  /   [E] = English  /  [D] = German\r\n"
    L"[T] Totray  / [H] = Set Hot-Key\r\n"
    L"\r\n";

struct LanguageTexts {
    int language;
    const wchar_t* help;
    const wchar_t* entries[4];  // UiText::WebPage .. UiText::StartWithWindows
};

const LanguageTexts kLanguages[] = {
    {0,
     kGermanHelp,
     {L"https://vistrel.example/de/", L"Bitte eine Tastenkombination!\\nNicht nur eine Taste ;)",
      L"Dieses Men\u00FC schlie\u00DFen", L"Mit Windows starten"}},
    {1,
     kEnglishHelp,
     {L"https://vistrel.example/en/", L"Please provide a key combination!\\nNot only one key ;)",
      L"Close this menu", L"Start with Windows"}},
    {2,
     kEnglishHelp,
     {L"https://vistrel.example/en/", L"Please provide a key combination!\\nNot only one key ;)",
      L"Close this menu", L"Start with Windows"}},
};

class EmbeddedTexts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { loadTexts(appLanguage); }
    void SetUp() override { savedLanguage_ = appState.language; }
    void TearDown() override { appState.language = savedLanguage_; }
    int savedLanguage_ = 0;
};

TEST_F(EmbeddedTexts, MatchTheTablesInEachLanguage) {
    for (const LanguageTexts& expected : kLanguages) {
        SCOPED_TRACE("language " + std::to_string(expected.language));
        appState.language = expected.language;
        EXPECT_EQ(std::wstring(helpText()), expected.help);
        for (int index = 4; index <= 7; index++) {
            EXPECT_EQ(std::wstring(uiString(static_cast<UiText>(index))),
                      expected.entries[index - 4])
                << index;
        }
    }
}

TEST_F(EmbeddedTexts, UnusedEntriesAreEmpty) {
    for (int language : {0, 1}) {
        appState.language = language;
        for (int index : {0, 1, 2, 3, 8, 31}) {
            EXPECT_STREQ(uiString(static_cast<UiText>(index)), L"") << language << " " << index;
        }
    }
}

// The help window and the menus ask again after every language switch.
TEST_F(EmbeddedTexts, FollowTheLanguageAtEveryCall) {
    appState.language = 1;
    const wchar_t* english = uiString(UiText::StartWithWindows);
    appState.language = 0;
    EXPECT_STREQ(uiString(UiText::StartWithWindows), L"Mit Windows starten");
    EXPECT_STREQ(english, L"Start with Windows");
}

// The copy started below names the code page it has to run under.
TEST_F(EmbeddedTexts, RunUnderTheCodePageTheStarterNamed) {
    char named[8] = {};
    if (GetEnvironmentVariableA("VISTREL_TEST_ACP", named, sizeof(named)) > 0) {
        EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(named)));
    }
}

// Wine fixes a process's code page from the locale variables it starts with, so a copy of this
// program is started under the Cyrillic one (1251) to check the texts and menu entries there.
TEST(TextsOnAnotherCodePage, ReadTheSameUnderCodePage1251) {
    char self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    std::string folder = e2e::makeTempFolder("cp1251");
    // A name of its own: the starter finds the new process by its path.
    std::string copy = folder + "\\texts_cp1251.exe";
    const char* environment =
        "LC_ALL=ru_RU.UTF-8 VISTREL_TEST_ACP=1251 "
        "GTEST_FILTER=EmbeddedTexts.*:*TrayMenuLanguage.*";
    PROCESS_INFORMATION child = {};
    bool started = CopyFileA(self, copy.c_str(), FALSE) &&
                   e2e::startWithUnixStderr(copy, "", environment, folder + "\\stderr.txt", &child);
    DWORD exitCode = STILL_ACTIVE;
    if (started) {
        if (WaitForSingleObject(child.hProcess, 120000) != WAIT_OBJECT_0) {
            TerminateProcess(child.hProcess, 1);
            WaitForSingleObject(child.hProcess, 10000);
        }
        GetExitCodeProcess(child.hProcess, &exitCode);
        CloseHandle(child.hProcess);
    }
    e2e::removeFolder(folder);
    ASSERT_TRUE(started);
    EXPECT_EQ(exitCode, 0u) << "see LC_ALL=ru_RU.UTF-8 scripts/wine-test vistrel_win32_tests.exe "
                               "--gtest_filter='EmbeddedTexts.*:*TrayMenuLanguage.*'";
}

// The fixed table agrees with the system's own conversion from code page 1252.
TEST(Windows1252, WidensEveryByteAsTheSystemDoes) {
    for (int byte = 0; byte < 256; byte++) {
        char narrow = static_cast<char>(byte);
        wchar_t system = 0xFFFF;
        ASSERT_EQ(MultiByteToWideChar(1252, 0, &narrow, 1, &system, 1), 1) << byte;
        EXPECT_EQ(static_cast<wchar_t>(utf16OfWindows1252(static_cast<uint8_t>(byte))), system)
            << byte;
    }
}

}  // namespace
