#include "magnifier/clipboard_export.h"

void copyPixelColour() {}

void copyTextToClipboard(const char*) {}

void copyViewBitmap() {}
