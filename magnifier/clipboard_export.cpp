#include "magnifier/clipboard_export.h"

#include <windows.h>

#include <cstring>

#include "base/win/handle_guards.h"
#include "magnifier/magnifier_window.h"

namespace {

// A GMEM_MOVEABLE block is the only kind the clipboard accepts; the clipboard owns it once
// placed, so only a block that was never placed is freed here.
HGLOBAL makeTextBlock(const char* text, int length) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(length) + 1);
    if (block == nullptr) {
        return nullptr;
    }
    void* bytes = GlobalLock(block);
    if (bytes == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(bytes, text, static_cast<size_t>(length) + 1);
    GlobalUnlock(block);
    return block;
}

}  // namespace

void copyPixelColour(const Magnifier& zoomWindow) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (zoomWindow.snapshotDc() == nullptr) {
        return;
    }
    COLORREF colour = GetPixel(zoomWindow.snapshotDc(), cursor.x - zoomWindow.screenLeft - 1,
                               cursor.y - zoomWindow.screenTop - 1);
    std::unique_ptr<TextBuffer> text = formatColour(colour);
    copyTextToClipboard(text ? text->text() : nullptr);
}

void copyTextToClipboard(const char* text) {
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    ClipboardScope clipboard(nullptr);
    if (!clipboard.opened()) {
        return;
    }
    EmptyClipboard();
    HGLOBAL block = makeTextBlock(text, lstrlenA(text));
    if (block != nullptr && SetClipboardData(CF_TEXT, block) == nullptr) {
        GlobalFree(block);
    }
}

void copyViewBitmap(Magnifier& zoomWindow) {
    // Drawn before the clipboard is opened, so a view that cannot be drawn leaves the previous
    // content in place and the clipboard is held only for the hand-over.
    UniqueBitmap bitmap = zoomWindow.renderView();
    if (!bitmap) {
        return;
    }
    ClipboardScope clipboard(nullptr);
    if (!clipboard.opened()) {
        return;
    }
    EmptyClipboard();
    // The clipboard owns the bitmap once it has taken it; a refused one is deleted here.
    if (SetClipboardData(CF_BITMAP, bitmap.get()) != nullptr) {
        bitmap.release();
    }
}
