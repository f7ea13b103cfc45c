#include "texts/text_lists.h"

#include <cstring>
#include <memory>
#include <new>

#include "texts/lzari_decoder.h"

namespace {

const char* orEmpty(const char* text) {
    return text != nullptr ? text : "";
}

}  // namespace

int scanMarkers(char* text, uint32_t length, char* segments[kSegmentCount]) {
    segments[0] = text;
    int found = 0;
    uint32_t j = 0;
    while (j < length) {
        if (text[j] != '#' || text[j + 1] != '#') {
            j++;
            continue;
        }
        text[j] = '\0';
        if (found < kSegmentCount - 1) {
            // A marker at the very end (no CR LF after it) starts an empty segment at the
            // terminator rather than somewhere behind the text.
            uint32_t start = static_cast<uint64_t>(j) + 4 <= length ? j + 4 : length;
            segments[found + 1] = text + start;
        }
        found++;
        j += 2;
    }
    return found;
}

void splitList(char* segment, const char* entries[kListLength]) {
    size_t length = std::strlen(segment);
    char* lineStart = segment;
    int n = 0;
    for (size_t b = 0; b < length; b++) {
        if (segment[b] != '\n') {
            continue;
        }
        segment[b] = '\0';
        if (b > 0 && segment[b - 1] == '\r') {
            segment[b - 1] = '\0';
        }
        if (n < kListLength) {
            entries[n] = lineStart;
            n++;
        }
        lineStart = segment + b + 1;
    }
}

void cutText(char* buffer, uint32_t bufferSize, uint32_t length, LoadedTexts& texts) {
    if (buffer == nullptr || bufferSize == 0) {
        return;
    }
    // The decoder writes at most bufferSize - 1 bytes; a longer text is cut there and scanned
    // only as far as it was written.
    uint32_t end = length < bufferSize ? length : bufferSize - 1;
    buffer[end] = '\0';
    char* segments[kSegmentCount] = {};
    scanMarkers(buffer, end, segments);
    texts.germanHelp = segments[0];
    if (segments[1] != nullptr) {
        texts.englishHelp = segments[1];
    }
    if (segments[4] != nullptr) {
        splitList(segments[4], &texts.stringList.entries[kGermanListStart]);
    }
    if (segments[5] != nullptr) {
        splitList(segments[5], &texts.stringList.entries[0]);
    }
}

int expandTexts(const uint8_t* blob, uint32_t blobSize, char* buffer, uint32_t bufferSize,
                LoadedTexts& texts) {
    if (buffer == nullptr || bufferSize == 0) {
        return 0;
    }
    // Large for its tables; it lives for this one decode only.
    std::unique_ptr<LzariDecoder> decoder(new (std::nothrow) LzariDecoder);
    if (!decoder) {
        return 0;
    }
    uint32_t length =
        decoder->lzariDecode(blob, blobSize, reinterpret_cast<uint8_t*>(buffer), bufferSize);
    cutText(buffer, bufferSize, length, texts);
    return 1;
}

const char* uiStringFor(const LoadedTexts& texts, int language, int index) {
    if (index < 0 || index >= kListLength) {
        return "";
    }
    int entry = language != 0 ? index : index + kGermanListStart;
    return orEmpty(texts.stringList.entries[entry]);
}

const char* helpTextFor(const LoadedTexts& texts, int language) {
    return orEmpty(language != 0 ? texts.englishHelp : texts.germanHelp);
}
