// The texts of the current language (appState.language), expanded from the embedded blob once
// at start-up. Before loadTexts() every text is empty.
#pragma once

void loadTexts();
// Entry index (0..31) of the current language's string list; the text lives for the process.
const char* uiString(int index);
const char* helpText();
