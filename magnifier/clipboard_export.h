// Exports from the zoom window to the clipboard: the pixel colour as text, the view as bitmap.
#pragma once

void copyPixelColour();
void copyTextToClipboard(const char* text);
void copyViewBitmap();
