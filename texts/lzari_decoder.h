// Expands an LZARI-compressed block (4-byte little-endian length, then the arithmetic-coded
// bits) into a caller's buffer. Pure logic: no platform calls, no allocation.
#pragma once

#include <cstdint>

#include "texts/lzari_format.h"

class LzariDecoder {
  public:
    LzariDecoder() = default;
    ~LzariDecoder() = default;
    LzariDecoder(const LzariDecoder&) = delete;
    LzariDecoder& operator=(const LzariDecoder&) = delete;

    // Writes at most capacity - 1 bytes of the text to output (no terminator), stops decoding
    // there, and returns the length the header announces. Reads input only below inputSize; a
    // damaged or truncated block yields meaningless bytes, never an access outside either
    // buffer. One call per object.
    uint32_t lzariDecode(const uint8_t* input, uint32_t inputSize, uint8_t* output,
                         uint32_t capacity);

  private:
    int getBit();
    int decodeChar();
    int findSymbol(uint32_t x) const;
    int decodePosition();
    int findPosition(uint32_t x) const;
    void renormalise();
    void putByte(uint8_t byte);

    uint16_t bitBuffer = 0;
    uint16_t bitMask = 0;  // 0: the next bit comes from a fresh byte
    uint32_t textLength = 0;
    uint8_t ring[lzari::kRingSize] = {};
    lzari::Models models;
    uint32_t low = 0;
    uint32_t high = lzari::kWhole;
    uint32_t value = 0;

    // The reader and writer of the one call; they live here rather than in globals so that
    // two decoders never share them. Cleared when the call ends.
    struct Stream {
        const uint8_t* input;
        uint32_t inputSize;
        uint32_t cursor;
        uint8_t* output;
        uint32_t capacity;
        uint32_t written;
    };
    Stream stream = {};
};
