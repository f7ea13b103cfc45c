// The constants of the compressed text format, shared by the decoder and the build-time encoder.
#pragma once

#include <cstdint>

namespace lzari {

constexpr int kRingSize = 4096;  // bytes of earlier output a match can reach
constexpr int kLongestMatch = 60;
constexpr int kMatchThreshold = 2;  // a match is at least threshold + 1 bytes long
constexpr int kShortestMatch = kMatchThreshold + 1;
constexpr int kCharacters = 256 + kLongestMatch - kMatchThreshold;  // 314: bytes, then lengths
constexpr int kFirstWriteIndex = kRingSize - kLongestMatch;         // 4036; below it: spaces
constexpr int kHeaderSize = 4;                                      // text length, little-endian

// The arithmetic coder works with 15-bit frequencies in a 17-bit range.
constexpr uint32_t kQuarter = 32768;
constexpr uint32_t kHalf = 2 * kQuarter;
constexpr uint32_t kThreeQuarters = 3 * kQuarter;
constexpr uint32_t kWhole = 4 * kQuarter;
constexpr uint32_t kRescaleLimit = kQuarter - 1;  // the character model is halved at this total
constexpr int kStartBits = 17;

// A match of length n is coded as character n + 253; its distance d as position d - 1.
constexpr int kLengthOffset = 255 - kMatchThreshold;

// The adaptive character model and the fixed position model. Encoder and decoder must start
// them alike and update them alike, so both hold this one definition.
struct Models {
    int16_t charToSymbol[kCharacters] = {};
    int16_t symbolToChar[kCharacters + 1] = {};  // entry 0 is never read
    uint16_t freq[kCharacters + 1] = {};
    uint16_t cumFreq[kCharacters + 1] = {};
    uint16_t positionCum[kRingSize + 1] = {};

    // Every character seen once; near positions are the likelier ones, for good.
    void start() {
        cumFreq[kCharacters] = 0;
        for (int s = kCharacters; s >= 1; s--) {
            charToSymbol[s - 1] = static_cast<int16_t>(s);
            symbolToChar[s] = static_cast<int16_t>(s - 1);
            freq[s] = 1;
            cumFreq[s - 1] = static_cast<uint16_t>(cumFreq[s] + 1);
        }
        freq[0] = 0;
        positionCum[kRingSize] = 0;
        for (int i = kRingSize; i >= 1; i--) {
            positionCum[i - 1] = static_cast<uint16_t>(positionCum[i] + 10000 / (i + 200));
        }
    }

    // The character model after each coded symbol.
    void update(int symbol) {
        if (cumFreq[0] >= kRescaleLimit) {
            uint32_t total = 0;
            for (int i = kCharacters; i >= 1; i--) {
                cumFreq[i] = static_cast<uint16_t>(total);
                freq[i] = static_cast<uint16_t>((freq[i] + 1) / 2);
                total += freq[i];
            }
            cumFreq[0] = static_cast<uint16_t>(total);
        }
        // Move the symbol to the front of its run of equal frequencies, so the order holds
        // after the increment.
        int i = symbol;
        while (freq[i] == freq[i - 1]) {
            i--;
        }
        if (i < symbol) {
            int16_t first = symbolToChar[i];
            int16_t moved = symbolToChar[symbol];
            symbolToChar[i] = moved;
            symbolToChar[symbol] = first;
            charToSymbol[moved] = static_cast<int16_t>(i);
            charToSymbol[first] = static_cast<int16_t>(symbol);
        }
        freq[i]++;
        while (--i >= 0) {
            cumFreq[i]++;
        }
    }
};

}  // namespace lzari
