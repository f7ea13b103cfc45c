#include "texts/texts.h"

#include <new>

#include "app/app_state.h"
#include "texts/text_blob.h"
#include "texts/text_lists.h"

namespace {

// Zero-initialised, so every text reads as empty before loadTexts() and if it fails.
LoadedTexts loadedTexts;
// Holds the expanded text the references point into; kept for the whole process.
char* textBuffer;

}  // namespace

void loadTexts() {
    if (textBuffer != nullptr) {
        return;
    }
    textBuffer = new (std::nothrow) char[kTextBufferSize];
    if (textBuffer == nullptr) {
        return;
    }
    expandTexts(TextBlob, kTextBlobSize, textBuffer, kTextBufferSize, loadedTexts);
}

const char* uiString(int index) {
    return uiStringFor(loadedTexts, appState.language, index);
}

const char* helpText() {
    return helpTextFor(loadedTexts, appState.language);
}
