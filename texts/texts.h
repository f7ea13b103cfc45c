// The texts of the current language, expanded from the embedded blob at start-up.
#pragma once

void loadTexts();
const char* uiString(int index);
const char* helpText();
