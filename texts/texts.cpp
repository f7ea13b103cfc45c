#include "texts/texts.h"

#include <cstdint>
#include <memory>
#include <new>

#include "texts/text_blob.h"
#include "texts/text_lists.h"
#include "texts/windows1252.h"

namespace {

// Zero-initialised, so every text reads as empty before loadTexts() and if it fails.
LoadedTexts loadedTexts;
// The expanded text the references of loadedTexts point into, and its UTF-16 copy, in which
// every text sits at the same offset. Both are kept for the whole process.
char* textBuffer;
wchar_t* wideBuffer;
// The program's language, asked at every look-up: the user can switch it at any time.
LanguageSource languageSource;

int currentLanguage() {
    return languageSource != nullptr ? languageSource() : 1;
}

// A reference outside the buffer is the empty text of a missing entry.
const wchar_t* wideOf(const char* text) {
    uintptr_t start = reinterpret_cast<uintptr_t>(textBuffer);
    uintptr_t at = reinterpret_cast<uintptr_t>(text);
    if (wideBuffer == nullptr || at < start || at - start >= kTextBufferSize) {
        return L"";
    }
    return wideBuffer + (at - start);
}

}  // namespace

void loadTexts(LanguageSource language) {
    languageSource = language;
    if (wideBuffer != nullptr) {
        return;
    }
    // Zeroed, so the part the decoder leaves unwritten widens to zeros too.
    std::unique_ptr<char[]> bytes(new (std::nothrow) char[kTextBufferSize]());
    std::unique_ptr<wchar_t[]> wide(new (std::nothrow) wchar_t[kTextBufferSize]);
    if (!bytes || !wide) {
        return;
    }
    LoadedTexts texts = {};
    if (expandTexts(TextBlob, kTextBlobSize, bytes.get(), kTextBufferSize, texts) == 0) {
        return;
    }
    widenWindows1252(bytes.get(), kTextBufferSize, wide.get());
    textBuffer = bytes.release();
    wideBuffer = wide.release();
    loadedTexts = texts;
}

const wchar_t* uiString(UiText text) {
    return wideOf(uiStringFor(loadedTexts, currentLanguage(), static_cast<int>(text)));
}

const wchar_t* helpText() {
    return wideOf(helpTextFor(loadedTexts, currentLanguage()));
}
