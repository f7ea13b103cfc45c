// The expanded text's layout: six segments between "##" marker lines, two of them string lists
// of up to 32 lines. Pure logic; the Win32 side holds the one process-wide LoadedTexts.
#pragma once

#include <cstdint>

constexpr uint32_t kTextBufferSize = 100000;
constexpr int kSegmentCount = 6;
constexpr int kListLength = 32;
constexpr int kGermanListStart = 32;  // StringList entries 32..63; the English list is 0..31

// References into the text buffer. A null entry (none filled yet) reads as an empty text.
struct StringList {
    const char* entries[2 * kListLength];
};

struct LoadedTexts {
    const char* germanHelp;   // segment 0
    const char* englishHelp;  // segment 1
    StringList stringList;    // segments 5 (English) and 4 (German), one line per entry
};

// Cuts at every "##": zeroes its first "#" and records where the next segment starts, two bytes
// after the marker's end, i.e. behind its CR LF, but never beyond the text's end. segments[0] is
// the text itself; segments the text lacks stay null. Returns the number of markers found.
// text[length] must be readable (the terminator).
int scanMarkers(char* text, uint32_t length, char* segments[kSegmentCount]);

// Splits a zero-terminated segment into lines in place: each LF, and a CR right before it,
// become zero bytes. Stores at most kListLength line starts; text after the last LF is no line.
void splitList(char* segment, const char* entries[kListLength]);

// Terminates the decoded text (length as the decoder reported it, possibly more than fitted
// into the buffer), then fills texts from its segments. Leaves references of missing segments
// as they were.
void cutText(char* buffer, uint32_t bufferSize, uint32_t length, LoadedTexts& texts);

// Expands a compressed block into buffer and cuts it. Returns 0 (texts unchanged) when the
// buffer is missing or the decoder cannot be allocated.
int expandTexts(const uint8_t* blob, uint32_t blobSize, char* buffer, uint32_t bufferSize,
                LoadedTexts& texts);

// Language 0 is German, every other value English. Indexes outside 0..31 read as empty texts.
const char* uiStringFor(const LoadedTexts& texts, int language, int index);
const char* helpTextFor(const LoadedTexts& texts, int language);
