// Exports from the zoom window to the clipboard: the pixel colour as text, the view as bitmap.
// Both read the snapshot, never the live screen, and neither hides the window.
#pragma once

#include <windows.h>

#include "magnifier/colour_text.h"
#include "magnifier/magnifier_window.h"

// Keys P and C: the snapshot pixel one left of and one above the cursor, as "RRGGBB".
void copyPixelColour(const Magnifier& zoomWindow);
// CF_TEXT with the text and its NUL, the clipboard opened by owner. A null or empty text
// leaves the clipboard alone.
void copyTextToClipboard(HWND owner, const char* text);
// Key B: the zoom window's view, at the window's outer size, as CF_BITMAP.
void copyViewBitmap(Magnifier& zoomWindow);
