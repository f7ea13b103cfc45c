#include "texts/lzari_decoder.h"

using namespace lzari;

namespace {

// The smallest index 1..last whose entry in the falling table cumulative is not above x.
int firstNotAbove(const uint16_t* cumulative, int last, uint32_t x) {
    int i = 1;
    int j = last;
    while (i < j) {
        int k = (i + j) / 2;
        if (cumulative[k] > x) {
            i = k + 1;
        } else {
            j = k;
        }
    }
    return i;
}

}  // namespace

// Past the end of the block every bit reads as 1; the byte after the block is never touched.
int LzariDecoder::getBit() {
    bitMask = static_cast<uint16_t>(bitMask >> 1);
    if (bitMask == 0) {
        if (stream.cursor < stream.inputSize) {
            bitBuffer = stream.input[stream.cursor];
            stream.cursor++;
        } else {
            bitBuffer = 0xFFFF;
        }
        bitMask = 128;
    }
    return (bitBuffer & bitMask) != 0 ? 1 : 0;
}

void LzariDecoder::renormalise() {
    for (;;) {
        if (low >= kHalf) {
            value -= kHalf;
            low -= kHalf;
            high -= kHalf;
        } else if (low >= kQuarter && high <= kThreeQuarters) {
            value -= kQuarter;
            low -= kQuarter;
            high -= kQuarter;
        } else if (high > kHalf) {
            break;
        }
        low += low;
        high += high;
        value = 2 * value + static_cast<uint32_t>(getBit());
    }
}

// The smallest symbol whose cumulative frequency is not above x (symbols 1..314).
int LzariDecoder::findSymbol(uint32_t x) const {
    return firstNotAbove(models.cumFreq, kCharacters, x);
}

int LzariDecoder::findPosition(uint32_t x) const {
    return firstNotAbove(models.positionCum, kRingSize, x) - 1;
}

int LzariDecoder::decodeChar() {
    uint32_t range = high - low;
    uint32_t x = ((value - low + 1) * models.cumFreq[0] - 1) / range;
    int symbol = findSymbol(x);
    high = low + range * models.cumFreq[symbol - 1] / models.cumFreq[0];
    low += range * models.cumFreq[symbol] / models.cumFreq[0];
    renormalise();
    int c = models.symbolToChar[symbol];
    models.update(symbol);
    return c;
}

int LzariDecoder::decodePosition() {
    uint32_t range = high - low;
    uint32_t x = ((value - low + 1) * models.positionCum[0] - 1) / range;
    int position = findPosition(x);
    high = low + range * models.positionCum[position] / models.positionCum[0];
    low += range * models.positionCum[position + 1] / models.positionCum[0];
    renormalise();
    return position;
}

// The ring takes every byte; the output only while it has room for the caller's terminator.
void LzariDecoder::putByte(uint8_t byte) {
    if (stream.written + 1 < stream.capacity) {
        stream.output[stream.written] = byte;
        stream.written++;
    }
}

uint32_t LzariDecoder::lzariDecode(const uint8_t* input, uint32_t inputSize, uint8_t* output,
                                   uint32_t capacity) {
    stream = Stream{input, inputSize, 0, output, capacity, 0};
    // A block shorter than its header holds no text.
    if (input == nullptr || inputSize < kHeaderSize) {
        textLength = 0;
    } else {
        textLength = static_cast<uint32_t>(input[0]) | static_cast<uint32_t>(input[1]) << 8 |
                     static_cast<uint32_t>(input[2]) << 16 | static_cast<uint32_t>(input[3]) << 24;
        stream.cursor = kHeaderSize;
    }
    if (textLength != 0) {
        for (int i = 0; i < kStartBits; i++) {
            value = 2 * value + static_cast<uint32_t>(getBit());
        }
        models.start();
        for (int i = 0; i < kFirstWriteIndex; i++) {
            ring[i] = ' ';
        }
        uint32_t r = kFirstWriteIndex;
        uint64_t count = 0;  // wide, so a match at the end of a huge length cannot wrap it
        // Every symbol fills at least one byte, so a full buffer bounds the work whatever
        // length a damaged header announces.
        while (count < textLength && stream.written + 1 < stream.capacity) {
            int c = decodeChar();
            if (c < 256) {
                putByte(static_cast<uint8_t>(c));
                ring[r] = static_cast<uint8_t>(c);
                r = (r + 1) % kRingSize;
                count++;
                continue;
            }
            // Byte by byte, so a source overlapping the bytes being written repeats them.
            uint32_t source = (r - static_cast<uint32_t>(decodePosition()) - 1) % kRingSize;
            int length = c - kLengthOffset;
            count += static_cast<uint64_t>(length);
            for (int k = 0; k < length; k++) {
                uint8_t byte = ring[source];
                putByte(byte);
                ring[r] = byte;
                r = (r + 1) % kRingSize;
                source = (source + 1) % kRingSize;
            }
        }
    }
    stream = Stream{};
    return textLength;
}
