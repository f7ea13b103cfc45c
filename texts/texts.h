// The texts of the program's current language, expanded from the embedded blob and
// widened from Windows-1252 to UTF-16 once at start-up, so that they read the same whatever
// code page the system uses. Before loadTexts() every text is empty.
#pragma once

// Tells the language (0 German, any other value English) whenever a text is looked up.
using LanguageSource = int (*)();

// Expands the texts once; language is asked at every later look-up (English without one).
void loadTexts(LanguageSource language);
// Entry index (0..31) of the current language's string list; the text lives for the process.
const wchar_t* uiString(int index);
const wchar_t* helpText();
