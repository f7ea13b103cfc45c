#include "tools/lzari_encoder.h"

#include <algorithm>

using namespace lzari;

LzariEncoder::LzariEncoder() : bytes(kHeaderSize, 0) {
    models.start();
}

void LzariEncoder::putBit(int bit) {
    if (bit != 0) {
        pendingByte = static_cast<uint8_t>(pendingByte | pendingMask);
    }
    pendingMask = static_cast<uint8_t>(pendingMask >> 1);
    if (pendingMask == 0) {
        bytes.push_back(pendingByte);
        pendingByte = 0;
        pendingMask = 128;
    }
}

void LzariEncoder::emit(int bit) {
    putBit(bit);
    for (; followBits > 0; followBits--) {
        putBit(bit == 0 ? 1 : 0);
    }
}

// Narrows the interval to the slice [lower, upper) of total and sends every bit it settles.
void LzariEncoder::narrow(uint32_t upper, uint32_t lower, uint32_t total) {
    uint32_t range = high - low;
    high = low + range * upper / total;
    low += range * lower / total;
    for (;;) {
        if (high <= kHalf) {
            emit(0);
        } else if (low >= kHalf) {
            emit(1);
            low -= kHalf;
            high -= kHalf;
        } else if (low >= kQuarter && high <= kThreeQuarters) {
            followBits++;
            low -= kQuarter;
            high -= kQuarter;
        } else {
            break;
        }
        low += low;
        high += high;
    }
}

void LzariEncoder::encodeChar(int c) {
    int symbol = models.charToSymbol[c];
    narrow(models.cumFreq[symbol - 1], models.cumFreq[symbol], models.cumFreq[0]);
    models.update(symbol);
}

void LzariEncoder::putLiteral(uint8_t byte) {
    encodeChar(byte);
    textLength++;
}

int LzariEncoder::putMatch(int length, int distance) {
    if (length < kShortestMatch || length > kLongestMatch || distance < 1 ||
        distance > kRingSize - 1) {
        return 0;
    }
    encodeChar(length + kLengthOffset);
    int position = distance - 1;
    narrow(models.positionCum[position], models.positionCum[position + 1], models.positionCum[0]);
    textLength += static_cast<uint32_t>(length);
    return 1;
}

std::vector<uint8_t> LzariEncoder::finish() {
    // Two more bits pick a point whose every continuation lies inside the final interval, so
    // the decoder's look-ahead past the end of the block cannot change the last symbol.
    followBits++;
    emit(low < kQuarter ? 0 : 1);
    if (pendingMask != 128) {
        bytes.push_back(pendingByte);
        pendingByte = 0;
        pendingMask = 128;
    }
    for (int i = 0; i < kHeaderSize; i++) {
        bytes[static_cast<size_t>(i)] = static_cast<uint8_t>(textLength >> (8 * i));
    }
    return bytes;
}

namespace {

constexpr int kHashBits = 15;
constexpr uint32_t kHashMask = (1u << kHashBits) - 1;
// Enough candidates for texts; bounds the work on inputs made of one short pattern.
constexpr int kMaxCandidates = 512;

// The text behind the ring's initial spaces, with hash chains of its 3-byte sequences.
class MatchFinder {
  public:
    MatchFinder(const uint8_t* text, uint32_t length)
        : window(kFirstWriteIndex + static_cast<size_t>(length), ' '),
          previous(window.size(), -1),
          heads(kHashMask + 1, -1) {
        std::copy(text, text + length, window.begin() + kFirstWriteIndex);
        for (int i = 0; i < kFirstWriteIndex; i++) {
            insert(static_cast<size_t>(i));
        }
    }

    size_t size() const { return window.size(); }
    uint8_t at(size_t position) const { return window[position]; }

    void insert(size_t position) {
        if (position + kShortestMatch > window.size()) {
            return;
        }
        uint32_t h = hashAt(position);
        previous[position] = heads[h];
        heads[h] = static_cast<int32_t>(position);
    }

    // Longest match for the bytes at position; length 0 when none reaches the shortest match.
    void longestMatch(size_t position, int& length, int& distance) const {
        length = 0;
        distance = 0;
        int limit = static_cast<int>(std::min<size_t>(kLongestMatch, window.size() - position));
        if (limit < kShortestMatch) {
            return;
        }
        int32_t candidate = heads[hashAt(position)];
        for (int tries = 0; candidate >= 0 && tries < kMaxCandidates; tries++) {
            size_t back = position - static_cast<size_t>(candidate);
            if (back > static_cast<size_t>(kRingSize - 1)) {
                break;
            }
            int n = 0;
            while (n < limit &&
                   window[static_cast<size_t>(candidate) + n] == window[position + n]) {
                n++;
            }
            if (n > length) {
                length = n;
                distance = static_cast<int>(back);
                if (n == limit) {
                    break;
                }
            }
            candidate = previous[static_cast<size_t>(candidate)];
        }
        if (length < kShortestMatch) {
            length = 0;
        }
    }

  private:
    uint32_t hashAt(size_t position) const {
        return ((static_cast<uint32_t>(window[position]) << 10) ^
                (static_cast<uint32_t>(window[position + 1]) << 5) ^ window[position + 2]) &
               kHashMask;
    }

    std::vector<uint8_t> window;
    std::vector<int32_t> previous;
    std::vector<int32_t> heads;
};

}  // namespace

std::vector<uint8_t> lzariEncode(const uint8_t* text, uint32_t length) {
    MatchFinder finder(text, length);
    LzariEncoder encoder;
    size_t position = kFirstWriteIndex;
    while (position < finder.size()) {
        int matchLength = 0;
        int distance = 0;
        finder.longestMatch(position, matchLength, distance);
        if (matchLength == 0) {
            encoder.putLiteral(finder.at(position));
            matchLength = 1;
        } else {
            encoder.putMatch(matchLength, distance);
        }
        for (int i = 0; i < matchLength; i++) {
            finder.insert(position + static_cast<size_t>(i));
        }
        position += static_cast<size_t>(matchLength);
    }
    return encoder.finish();
}
