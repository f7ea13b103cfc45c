// The clipboard as another program sees it: text and bitmap read back, text placed, and a
// holder that keeps the clipboard open with a window of its own.
#pragma once

#include <windows.h>

#include <string>

namespace e2e {

bool placeClipboardText(const char* text);

struct ClipboardTextBlock {
    bool present = false;
    std::string text;      // up to the first NUL
    SIZE_T blockSize = 0;  // the size of the global block
};
ClipboardTextBlock clipboardText();

// A copy of the CF_BITMAP on the clipboard (the caller deletes it), or null.
HBITMAP copyClipboardBitmap();

// Opens the clipboard with a window on a thread of its own until destroyed, or only for
// holdMs as a clipboard manager does; another process (or thread) cannot open it meanwhile.
class ClipboardHolder {
  public:
    explicit ClipboardHolder(DWORD holdMs = 60000);
    ~ClipboardHolder();
    ClipboardHolder(const ClipboardHolder&) = delete;
    ClipboardHolder& operator=(const ClipboardHolder&) = delete;
    bool holding() const { return holding_; }

  private:
    static DWORD WINAPI run(void* context);
    HANDLE opened_;
    HANDLE release_;
    HANDLE thread_;
    DWORD holdMs_;
    bool holding_ = false;
};

}  // namespace e2e
