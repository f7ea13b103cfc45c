// The texts the program carries, expanded by loadTexts() from the blob linked into it, byte for
// byte as the program shows them. Windows-1252: \xF6 is o-umlaut, \xFC u-umlaut, \xDF sharp s.
#include <gtest/gtest.h>

#include <string>

#include "app/app_state.h"
#include "texts/texts.h"

namespace {

const char* const kGermanHelp =
    "Ein kleines Programm, aber eine effektive L\xF6sung ;) !\r\n"
    "\r\n"
    "Dr\xFC"
    "cken Sie bitte die Taste:\r\n"
    "\r\n"
    ":::::  Zoom-Fenster  :::::\r\n"
    "[+] / [-] = Zoom +/-\r\n"
    "[Mausrad +/-] = Zoom +/-\r\n"
    "[1-9] = Zoom 1-9 \r\n"
    "[LINKS / RECHTS / AUF / AB ] (Pfeiltasten) = Fenstergr\xF6sse mit ([SHIFT]=Fein)\r\n"
    "[P] = Aktueller Pixel als Hexacod in die Zwischenablage\r\n"
    "[B] = Aktueller Bereich als Bitmap in die Zwischenablage\r\n"
    "[R/L-MAUS] = Verstecke die Vistrel\r\n"
    "[F1] = Hilfe  \r\n"
    "[H] = Set Hot-Key\r\n"
    "\r\n"
    ":::::  Dieses Fenster  :::::\r\n"
    "[ESC] = Exit  /   [E] = Englisch  /  [D] = Deutsch\r\n"
    "[T] Totray  / [H] = Set Hot-Key\r\n"
    "\r\n";

const char* const kEnglishHelp =
    "Small program effective solution ;) . \r\n"
    "\r\n"
    "Push the Button: \r\n"
    "\r\n"
    ":::::  Zoom window  :::::\r\n"
    "[+] / [-] = Zoom +/-\r\n"
    "[Mousewheel +/- ] = Zoom +/-\r\n"
    "[1-9] = Zoom 1-9 X\r\n"
    "[LEFT / RIGHT / UP /DOWN] (Arrow keys) = Window size + ([SHIFT]=Fine)\r\n"
    "[P] = Put the pixel value on the clipboard\r\n"
    "[B] = Put the bitmap on the clipboard\r\n"
    "[L/R-Mouse] = Hiding the Vistrel \r\n"
    "[F1] = Help\r\n"
    "[H] = Set Hot-Key\r\n"
    "\r\n"
    ":::::  This window  :::::\r\n"
    "[ESC] = Exit  /   [E] = English  /  [D] = German\r\n"
    "[T] Totray  / [H] = Set Hot-Key\r\n"
    "\r\n";

struct LanguageTexts {
    int language;
    const char* help;
    const char* entries[4];  // uiString(4) .. uiString(7)
};

const LanguageTexts kLanguages[] = {
    {0,
     kGermanHelp,
     {"https://vistrel.example/de/", "Bitte eine Tastenkombination!\\nNicht nur eine Taste ;)",
      "Dieses Men\xFC schlie\xDF"
      "en",
      "Mit Windows starten"}},
    {1,
     kEnglishHelp,
     {"https://vistrel.example/en/", "Please provide a key combination!\\nNot only one key ;)",
      "Close this menu", "Start with Windows"}},
    {2,
     kEnglishHelp,
     {"https://vistrel.example/en/", "Please provide a key combination!\\nNot only one key ;)",
      "Close this menu", "Start with Windows"}},
};

class EmbeddedTexts : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { loadTexts(); }
    void SetUp() override { savedLanguage_ = appState.language; }
    void TearDown() override { appState.language = savedLanguage_; }
    int savedLanguage_ = 0;
};

TEST_F(EmbeddedTexts, MatchTheTablesInEachLanguage) {
    for (const LanguageTexts& expected : kLanguages) {
        SCOPED_TRACE("language " + std::to_string(expected.language));
        appState.language = expected.language;
        EXPECT_EQ(std::string(helpText()), expected.help);
        for (int index = 4; index <= 7; index++) {
            EXPECT_EQ(std::string(uiString(index)), expected.entries[index - 4]) << index;
        }
    }
}

TEST_F(EmbeddedTexts, UnusedEntriesAreEmpty) {
    for (int language : {0, 1}) {
        appState.language = language;
        for (int index : {0, 1, 2, 3, 8, 31}) {
            EXPECT_STREQ(uiString(index), "") << language << " " << index;
        }
    }
}

// The help window and the menus ask again after every language switch.
TEST_F(EmbeddedTexts, FollowTheLanguageAtEveryCall) {
    appState.language = 1;
    const char* english = uiString(7);
    appState.language = 0;
    EXPECT_STREQ(uiString(7), "Mit Windows starten");
    EXPECT_STREQ(english, "Start with Windows");
}

}  // namespace
