// Exports from the zoom window to the clipboard: the pixel colour as text, the view as bitmap.
// Both read the snapshot, never the live screen, and neither hides the window.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/win/handle_guards.h"

// Keys P and C: the pixel of snapshot, a copy of the screen from (screenLeft, screenTop), one
// left of and one above the cursor, as "RRGGBB"; without a snapshot the clipboard is left
// alone. The clipboard is opened by owner.
void copyPixelColour(HWND owner, HDC snapshot, int32_t screenLeft, int32_t screenTop);
// CF_TEXT with the text and its NUL, the clipboard opened by owner. A null or empty text
// leaves the clipboard alone.
void copyTextToClipboard(HWND owner, const char* text);
// Key B: view, the zoom window's at the window's outer size, as CF_BITMAP; without one the
// clipboard is left alone.
void copyViewBitmap(HWND owner, UniqueBitmap view);
