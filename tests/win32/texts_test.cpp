// The texts the program carries, expanded by loadTexts() from the blob linked into it, code unit
// for code unit as the program shows them: \u00F6 is o-umlaut, \u00FC u-umlaut, \u00DF sharp s.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

#include "tests/support/e2e.h"
#include "tests/support/wine_debug_launch.h"
#include "texts/texts.h"
#include "texts/windows1252.h"

namespace {

// What the help page shows in each language: its first line (with the widened umlaut in
// German) and every key the program answers. The rest is the source file's text, which the
// blob's round trip (LzariRoundTrip) and its cutting (CutText, EmbeddedBlob) keep.
const wchar_t* const kGermanFirstLine =
    L"Ein kleines Programm, aber eine effektive L\u00F6sung ;) !\r\n";
const wchar_t* const kEnglishFirstLine = L"Small program effective solution ;) . \r\n";

struct LanguageTexts {
    int language;
    const wchar_t* helpFirstLine;
    const wchar_t* entries[10];  // UiText::WebPage .. UiText::HotkeyTaken
};

const wchar_t* const kEnglishMessages[] = {
    L"The thumbnail could not be saved:",
    L"Another program has the file open. Close it there, or choose another name.",
    L"There is not enough space on the disk.",
    L"Access denied: this folder or file cannot be written to.",
    L"The file could not be written.",
    L"Another program already uses this key combination. Please choose another one."};

const LanguageTexts kLanguages[] = {
    {0,
     kGermanFirstLine,
     {L"https://vistrel.example/de/", L"Bitte eine Tastenkombination!\\nNicht nur eine Taste ;)",
      L"Dieses Men\u00FC schlie\u00DFen", L"Mit Windows starten",
      L"Das Vorschaubild konnte nicht gespeichert werden:",
      L"Ein anderes Programm hat die Datei ge\u00F6ffnet. Schlie\u00DFen Sie sie dort oder "
      L"w\u00E4hlen Sie einen anderen Namen.",
      L"Auf dem Datentr\u00E4ger ist nicht genug Platz.",
      L"Zugriff verweigert: In diesen Ordner oder diese Datei kann nicht geschrieben werden.",
      L"Die Datei konnte nicht geschrieben werden.",
      L"Diese Tastenkombination wird schon von einem anderen Programm verwendet. Bitte eine "
      L"andere w\u00E4hlen."}},
    {1,
     kEnglishFirstLine,
     {L"https://vistrel.example/en/", L"Please provide a key combination!\\nNot only one key ;)",
      L"Close this menu", L"Start with Windows", kEnglishMessages[0], kEnglishMessages[1],
      kEnglishMessages[2], kEnglishMessages[3], kEnglishMessages[4], kEnglishMessages[5]}},
    {2,
     kEnglishFirstLine,
     {L"https://vistrel.example/en/", L"Please provide a key combination!\\nNot only one key ;)",
      L"Close this menu", L"Start with Windows", kEnglishMessages[0], kEnglishMessages[1],
      kEnglishMessages[2], kEnglishMessages[3], kEnglishMessages[4], kEnglishMessages[5]}},
};

int shownLanguage = 1;
int languageShown() {
    return shownLanguage;
}

class EmbeddedTexts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { loadTexts(languageShown); }
};

TEST_F(EmbeddedTexts, MatchTheTablesInEachLanguage) {
    for (const LanguageTexts& expected : kLanguages) {
        SCOPED_TRACE("language " + std::to_string(expected.language));
        shownLanguage = expected.language;
        const std::wstring help = helpText();
        EXPECT_EQ(help.rfind(expected.helpFirstLine, 0), 0u) << "starts the page";
        for (const wchar_t* key : {L"[+] / [-]", L"[1-9]", L"[SHIFT]", L"[P]", L"[B]", L"[F1]",
                                   L"[H]", L"[ESC]", L"[E]", L"[D]", L"[T]"}) {
            EXPECT_NE(help.find(key), std::wstring::npos) << "lists " << e2e::narrow(key);
        }
        for (int index = 4; index <= 13; index++) {
            EXPECT_EQ(std::wstring(uiString(static_cast<UiText>(index))),
                      expected.entries[index - 4])
                << index;
        }
    }
}

TEST_F(EmbeddedTexts, UnusedEntriesAreEmpty) {
    for (int language : {0, 1}) {
        shownLanguage = language;
        for (int index : {0, 1, 2, 3, 14, 31}) {
            EXPECT_STREQ(uiString(static_cast<UiText>(index)), L"") << language << " " << index;
        }
    }
}

// The help window and the menus ask again after every language switch.
TEST_F(EmbeddedTexts, FollowTheLanguageAtEveryCall) {
    shownLanguage = 1;
    const wchar_t* english = uiString(UiText::StartWithWindows);
    shownLanguage = 0;
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
