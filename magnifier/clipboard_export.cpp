#include "magnifier/clipboard_export.h"

#include <windows.h>

#include <cstring>

#include "base/win/handle_guards.h"
#include "magnifier/colour_text.h"

namespace {

// A GMEM_MOVEABLE block is the only kind the clipboard accepts.
UniqueGlobal makeTextBlock(const char* text, int length) {
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_DDESHARE, static_cast<SIZE_T>(length) + 1));
    void* bytes = block ? GlobalLock(block.get()) : nullptr;
    if (bytes == nullptr) {
        return UniqueGlobal();
    }
    memcpy(bytes, text, static_cast<size_t>(length) + 1);
    GlobalUnlock(block.get());
    return block;
}

// The data is made before the clipboard is opened, so the clipboard is held only for the
// hand-over and content that cannot be made leaves the previous content in place. Opened with
// an owner window: EmptyClipboard gives the clipboard to the window that opened it, and one
// opened without a window may refuse SetClipboardData. The clipboard owns the data once it has
// taken it; refused data stays with its guard and is freed there.
template <typename Guard>
void handOver(HWND owner, UINT format, Guard& data) {
    if (!data) {
        return;
    }
    ClipboardScope clipboard(owner);
    if (!clipboard.opened()) {
        return;
    }
    EmptyClipboard();
    if (SetClipboardData(format, data.get()) != nullptr) {
        data.release();
    }
}

}  // namespace

void copyPixelColour(HWND owner, HDC snapshot, int32_t screenLeft, int32_t screenTop) {
    POINT cursor = {};
    GetCursorPos(&cursor);
    if (snapshot == nullptr) {
        return;
    }
    COLORREF colour = GetPixel(snapshot, cursor.x - screenLeft - 1, cursor.y - screenTop - 1);
    copyTextToClipboard(owner, formatColour(colour).digits);
}

void copyTextToClipboard(HWND owner, const char* text) {
    if (text == nullptr || text[0] == '\0') {
        return;
    }
    UniqueGlobal block = makeTextBlock(text, lstrlenA(text));
    handOver(owner, CF_TEXT, block);
}

void copyViewBitmap(HWND owner, UniqueBitmap view) {
    handOver(owner, CF_BITMAP, view);
}
