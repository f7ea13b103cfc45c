#include "tests/support/clipboard_access.h"

#include <cstring>

namespace e2e {

bool placeClipboardText(const char* text) {
    if (!OpenClipboard(nullptr)) {
        return false;
    }
    EmptyClipboard();
    size_t size = strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    bool placed = false;
    if (block != nullptr) {
        memcpy(GlobalLock(block), text, size);
        GlobalUnlock(block);
        placed = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!placed) {
            GlobalFree(block);
        }
    }
    CloseClipboard();
    return placed;
}

ClipboardTextBlock clipboardText() {
    ClipboardTextBlock result;
    if (!OpenClipboard(nullptr)) {
        return result;
    }
    HANDLE block = GetClipboardData(CF_TEXT);
    if (block != nullptr) {
        result.present = true;
        result.blockSize = GlobalSize(block);
        const char* bytes = static_cast<const char*>(GlobalLock(block));
        if (bytes != nullptr) {
            result.text.assign(bytes, strnlen(bytes, result.blockSize));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return result;
}

HBITMAP copyClipboardBitmap() {
    if (!OpenClipboard(nullptr)) {
        return nullptr;
    }
    HBITMAP copy = nullptr;
    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    if (bitmap != nullptr) {
        copy = static_cast<HBITMAP>(CopyImage(bitmap, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    }
    CloseClipboard();
    return copy;
}

ClipboardHolder::ClipboardHolder(DWORD holdMs) : holdMs_(holdMs) {
    opened_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, &ClipboardHolder::run, this, 0, nullptr);
    WaitForSingleObject(opened_, 10000);
}

ClipboardHolder::~ClipboardHolder() {
    SetEvent(release_);
    WaitForSingleObject(thread_, 10000);
    CloseHandle(thread_);
    CloseHandle(opened_);
    CloseHandle(release_);
}

DWORD WINAPI ClipboardHolder::run(void* context) {
    auto* self = static_cast<ClipboardHolder*>(context);
    HWND window = CreateWindowExA(0, "STATIC", "clipboard holder", 0, 0, 0, 10, 10, nullptr,
                                  nullptr, nullptr, nullptr);
    self->holding_ = window != nullptr && OpenClipboard(window);
    SetEvent(self->opened_);
    WaitForSingleObject(self->release_, self->holdMs_);
    if (self->holding_) {
        CloseClipboard();
    }
    DestroyWindow(window);
    return 0;
}

}  // namespace e2e
