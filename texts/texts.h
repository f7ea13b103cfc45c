// The texts of the program's current language, expanded from the embedded blob and
// widened from Windows-1252 to UTF-16 once at start-up, so that they read the same whatever
// code page the system uses. Before loadTexts() every text is empty.
#pragma once

// Tells the language (0 German, any other value English) whenever a text is looked up.
using LanguageSource = int (*)();

// Expands the texts once; language is asked at every later look-up (English without one).
void loadTexts(LanguageSource language);
// The entries of a language's string list that the program shows, by their line in
// texts/source/*_strings_*.txt (counted from 0) out of 32; every other entry is empty.
enum class UiText : int {
    WebPage = 4,            // the address the menu's web page entry opens
    HotkeyError = 5,        // the message for a hotkey entry without a key or a modifier
    CloseMenu = 6,          // the tray menu's last entry, which only closes the menu
    StartWithWindows = 7,   // the tray menu's autostart entry
    SaveFailed = 8,         // the first line of the message for a thumbnail that was not saved
    SaveHeld = 9,           // its reasons: the file is open in another program,
    SaveDiskFull = 10,      // the disk is full,
    SaveAccessDenied = 11,  // the folder or the file refuses the write,
    SaveNotWritten = 12,    // any other
    HotkeyTaken = 13,       // the message for a chord another program has registered
};

// The entry of the current language's string list; the text lives for the process.
const wchar_t* uiString(UiText text);
const wchar_t* helpText();
