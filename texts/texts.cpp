#include "texts/texts.h"

void loadTexts() {}

const char* uiString(int) {
    return "";
}

const char* helpText() {
    return "";
}
