// The build-time side of the text format: turns a text into the block LzariDecoder expands.
// Only build tools, tests and benchmarks use it; the program holds no encoder.
#pragma once

#include <cstdint>
#include <vector>

#include "texts/lzari_format.h"

// Codes a sequence of literals and matches that the caller chooses, with the decoder's models.
class LzariEncoder {
  public:
    LzariEncoder();

    void putLiteral(uint8_t byte);
    // length 3..60, distance 1..4095 bytes behind the next byte. The caller keeps the distance
    // within the bytes coded so far plus the 4036 spaces the ring starts with. Returns 0 and
    // codes nothing when length or distance is out of range.
    int putMatch(int length, int distance);
    // The header with the number of bytes coded so far, then the closed bit stream.
    std::vector<uint8_t> finish();

  private:
    void putBit(int bit);
    void emit(int bit);
    void narrow(uint32_t upper, uint32_t lower, uint32_t total);
    void encodeChar(int c);

    lzari::Models models;
    uint32_t low = 0;
    uint32_t high = lzari::kWhole;
    uint32_t followBits = 0;  // opposite bits owed after the next decided bit
    uint8_t pendingByte = 0;
    uint8_t pendingMask = 128;
    uint32_t textLength = 0;
    std::vector<uint8_t> bytes;
};

// Compresses a text: at each byte the longest match (the nearest of equally long ones) within
// reach, else a literal.
std::vector<uint8_t> lzariEncode(const uint8_t* text, uint32_t length);
