// The texts of the current language (appState.language), expanded from the embedded blob and
// widened from Windows-1252 to UTF-16 once at start-up, so that they read the same whatever
// code page the system uses. Before loadTexts() every text is empty.
#pragma once

void loadTexts();
// Entry index (0..31) of the current language's string list; the text lives for the process.
const wchar_t* uiString(int index);
const wchar_t* helpText();
