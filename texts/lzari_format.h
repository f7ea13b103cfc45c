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

}  // namespace lzari
