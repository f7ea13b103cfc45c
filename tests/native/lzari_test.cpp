#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "texts/lzari_decoder.h"
#include "tools/lzari_encoder.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes bytesOf(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

Bytes randomBytes(size_t size, uint32_t seed) {
    std::mt19937 generator(seed);
    Bytes bytes(size);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(generator());
    }
    return bytes;
}

Bytes encode(const Bytes& text) {
    return lzariEncode(text.data(), static_cast<uint32_t>(text.size()));
}

// Decodes from a heap block of exactly the given bytes into a heap buffer of exactly capacity
// bytes, so AddressSanitizer reports any access outside either.
Bytes decode(const Bytes& block, uint32_t capacity, uint32_t* announced = nullptr) {
    Bytes input(block);
    std::unique_ptr<uint8_t[]> output(new uint8_t[capacity == 0 ? 1 : capacity]);
    LzariDecoder decoder;
    uint32_t length =
        decoder.lzariDecode(input.empty() ? nullptr : input.data(),
                            static_cast<uint32_t>(input.size()), output.get(), capacity);
    if (announced != nullptr) {
        *announced = length;
    }
    uint32_t written = length < capacity ? length : (capacity == 0 ? 0 : capacity - 1);
    return Bytes(output.get(), output.get() + written);
}

Bytes roundTrip(const Bytes& text) {
    uint32_t announced = 0;
    Bytes result = decode(encode(text), static_cast<uint32_t>(text.size()) + 1, &announced);
    EXPECT_EQ(announced, text.size());
    return result;
}

TEST(LzariModels, StartWithTheFixedTables) {
    lzari::Models models;
    models.start();
    EXPECT_EQ(models.positionCum[0], 28568);
    EXPECT_EQ(models.positionCum[1], 28519);
    EXPECT_EQ(models.positionCum[4095], 2);
    EXPECT_EQ(models.positionCum[4096], 0);
    EXPECT_EQ(models.cumFreq[0], 314);
    EXPECT_EQ(models.cumFreq[313], 1);
    EXPECT_EQ(models.cumFreq[314], 0);
    EXPECT_EQ(models.symbolToChar[1], 0);
    EXPECT_EQ(models.symbolToChar[314], 313);
}

struct RoundTripCase {
    const char* name;
    Bytes text;
};

std::string crLfGermanText() {
    std::string line =
        "Dieses Men\xFC schlie\xDF"
        "en ;) Fenstergr\xF6\xDF"
        "e\r\n";
    std::string text;
    for (int i = 0; i < 200; i++) {
        text += line + std::to_string(i) + "\r\n\r\n";
    }
    return text;
}

Bytes allByteValues() {
    Bytes bytes;
    for (int round = 0; round < 3; round++) {
        for (int value = 0; value < 256; value++) {
            bytes.push_back(static_cast<uint8_t>(round == 1 ? 255 - value : value));
        }
    }
    return bytes;
}

std::vector<RoundTripCase> roundTripCases() {
    return {
        {"Empty", {}},
        {"OneByte", bytesOf("x")},
        {"TwoBytes", bytesOf("\r\n")},
        {"ThreeBytes", bytesOf("abc")},
        {"OneSpace", bytesOf(" ")},
        {"OnlySpaces", Bytes(5000, ' ')},
        {"OneByteRepeated", Bytes(20000, 'q')},
        {"ZeroBytesRepeated", Bytes(9000, 0)},
        {"AllByteValues", allByteValues()},
        // Far more symbols than the 32767 total: the character model halves several times.
        {"Random90000", randomBytes(90000, 7)},
        {"CrLfWindows1252", bytesOf(crLfGermanText())},
        {"MarkersAndLists", bytesOf("help\r\n##\r\n##\r\n##\r\n\r\n\r\nhttps://x/\r\n##\r\n")},
    };
}

class LzariRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(LzariRoundTrip, ExpandsToTheEncodedText) {
    EXPECT_EQ(roundTrip(GetParam().text), GetParam().text);
}

// The look-ahead reads bits beyond the last symbol; real bytes there instead of the reader's
// ones must not change the text.
TEST_P(LzariRoundTrip, TextDoesNotDependOnBytesAfterTheBlock) {
    const Bytes& text = GetParam().text;
    for (uint8_t filler : {0x00, 0xFF, 0x55, 0xAA}) {
        Bytes block = encode(text);
        block.insert(block.end(), 4, filler);
        EXPECT_EQ(decode(block, static_cast<uint32_t>(text.size()) + 1), text)
            << "filler " << int(filler);
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, LzariRoundTrip, ::testing::ValuesIn(roundTripCases()),
                         [](const ::testing::TestParamInfo<RoundTripCase>& testCase) {
                             return std::string(testCase.param.name);
                         });

// Reference of what a sequence of literals and matches expands to, spaces before the start.
class ExpectedText {
  public:
    void literal(uint8_t byte) { text.push_back(byte); }
    void match(int length, int distance) {
        for (int i = 0; i < length; i++) {
            long source = static_cast<long>(text.size()) - distance;
            text.push_back(source < 0 ? ' ' : text[static_cast<size_t>(source)]);
        }
    }
    Bytes text;
};

TEST(LzariMatches, EveryLengthAtNearAndFarDistances) {
    LzariEncoder encoder;
    ExpectedText expected;
    for (uint8_t byte : randomBytes(4200, 11)) {
        encoder.putLiteral(byte);
        expected.literal(byte);
    }
    for (int distance : {1, 2, 3, 59, 60, 61, 200, 1000, 4035, 4036, 4037, 4094, 4095}) {
        for (int length = 3; length <= 60; length++) {
            ASSERT_EQ(encoder.putMatch(length, distance), 1);
            expected.match(length, distance);
            encoder.putLiteral(static_cast<uint8_t>(length));
            expected.literal(static_cast<uint8_t>(length));
        }
    }
    Bytes block = encoder.finish();
    EXPECT_EQ(decode(block, static_cast<uint32_t>(expected.text.size()) + 1), expected.text);
}

TEST(LzariMatches, AtTheStartCopyTheRingsSpaces) {
    LzariEncoder encoder;
    ExpectedText expected;
    for (int distance : {4036, 1, 100, 4036}) {
        encoder.putMatch(60, distance);
        expected.match(60, distance);
    }
    encoder.putLiteral('x');
    expected.literal('x');
    Bytes block = encoder.finish();
    ASSERT_EQ(expected.text, bytesOf(std::string(240, ' ') + "x"));
    EXPECT_EQ(decode(block, 1000), expected.text);
}

TEST(LzariMatches, PositionZeroRepeatsTheLastByte) {
    LzariEncoder encoder;
    encoder.putLiteral('a');
    encoder.putLiteral('b');
    encoder.putMatch(60, 1);
    encoder.putMatch(3, 2);
    EXPECT_EQ(decode(encoder.finish(), 1000), bytesOf("ab" + std::string(60, 'b') + "bbb"));
}

TEST(LzariMatches, OutOfRangeCodesNothing) {
    LzariEncoder encoder;
    encoder.putLiteral('z');
    EXPECT_EQ(encoder.putMatch(2, 1), 0);
    EXPECT_EQ(encoder.putMatch(61, 1), 0);
    EXPECT_EQ(encoder.putMatch(3, 0), 0);
    EXPECT_EQ(encoder.putMatch(3, 4096), 0);
    EXPECT_EQ(decode(encoder.finish(), 10), bytesOf("z"));
}

struct CapacityCase {
    uint32_t capacity;
    size_t written;
};

class LzariCapacity : public ::testing::TestWithParam<CapacityCase> {};

TEST_P(LzariCapacity, WritesCapacityLessOneAndReturnsTheFullLength) {
    Bytes text = bytesOf(crLfGermanText().substr(0, 1000));
    Bytes block = encode(text);
    const uint32_t capacity = GetParam().capacity;
    Bytes output(capacity + 16, 0xA5);
    LzariDecoder decoder;
    EXPECT_EQ(decoder.lzariDecode(block.data(), static_cast<uint32_t>(block.size()), output.data(),
                                  capacity),
              1000u);
    size_t written = GetParam().written;
    EXPECT_TRUE(std::equal(text.begin(), text.begin() + written, output.begin()));
    for (size_t i = written; i < output.size(); i++) {
        ASSERT_EQ(output[i], 0xA5) << "byte " << i;
    }
    EXPECT_EQ(decode(block, capacity), Bytes(text.begin(), text.begin() + written));
}

INSTANTIATE_TEST_SUITE_P(Sizes, LzariCapacity,
                         ::testing::Values(CapacityCase{0, 0}, CapacityCase{1, 0},
                                           CapacityCase{2, 1}, CapacityCase{500, 499},
                                           CapacityCase{1000, 999}, CapacityCase{1001, 1000},
                                           CapacityCase{5000, 1000}));

TEST(LzariHeader, ZeroLengthWritesNothing) {
    const uint8_t block[] = {0, 0, 0, 0, 0xAA, 0x55};
    LzariDecoder decoder;
    uint8_t output[4] = {7, 7, 7, 7};
    EXPECT_EQ(decoder.lzariDecode(block, sizeof(block), output, sizeof(output)), 0u);
    EXPECT_EQ(output[0], 7);
}

TEST(LzariHeader, BlocksShorterThanTheHeaderAreEmpty) {
    for (size_t size = 0; size < 4; size++) {
        EXPECT_EQ(decode(Bytes(size, 0xFF), 8).size(), 0u) << size;
        uint32_t announced = 99;
        decode(Bytes(size, 0x01), 8, &announced);
        EXPECT_EQ(announced, 0u) << size;
    }
}

TEST(LzariHeader, IsLittleEndian) {
    uint32_t announced = 0;
    Bytes block = {0x34, 0x12, 0x02, 0x00};
    decode(block, 1, &announced);
    EXPECT_EQ(announced, 0x021234u);
}

// Damage never leads outside the buffers; the length still comes from the header.
TEST(LzariDamage, TruncatedBlocksStayInBounds) {
    Bytes text = bytesOf(crLfGermanText());
    Bytes block = encode(text);
    for (size_t size = 4; size <= block.size(); size += 13) {
        uint32_t announced = 0;
        Bytes cut(block.begin(), block.begin() + size);
        Bytes result = decode(cut, 3000, &announced);
        EXPECT_EQ(announced, text.size());
        EXPECT_EQ(result.size(), std::min<size_t>(text.size(), 2999));
        cut.insert(cut.end(), 8, 0xFF);  // past the block every bit reads as 1
        EXPECT_EQ(decode(cut, 3000), result);
    }
}

TEST(LzariDamage, FlippedBitsAndRandomBlocksStayInBounds) {
    Bytes block = encode(bytesOf(crLfGermanText()));
    std::mt19937 generator(3);
    for (int round = 0; round < 40; round++) {
        Bytes damaged = block;
        damaged[4 + generator() % (damaged.size() - 4)] ^= static_cast<uint8_t>(1 << (round % 8));
        EXPECT_EQ(decode(damaged, 777).size(), 776u);
    }
    for (uint32_t seed = 0; seed < 20; seed++) {
        Bytes noise = randomBytes(64 + seed * 50, seed);
        noise[0] = static_cast<uint8_t>(seed * 97);
        noise[1] = static_cast<uint8_t>(seed);
        noise[2] = 0;
        noise[3] = 0;
        uint32_t announced = 0;
        Bytes result = decode(noise, 300, &announced);
        EXPECT_EQ(result.size(), std::min<uint32_t>(announced, 299));
    }
}

TEST(LzariDamage, LengthBeyondTheBlocksContentStillEndsAtTheHeadersLength) {
    Bytes block = encode(bytesOf("short text"));
    block[0] = 0x40;  // 0x0D40 bytes announced, far more than coded
    block[1] = 0x0D;
    uint32_t announced = 0;
    Bytes result = decode(block, 100000, &announced);
    EXPECT_EQ(announced, 0x0D40u);
    EXPECT_EQ(result.size(), 0x0D40u);
    EXPECT_EQ(Bytes(result.begin(), result.begin() + 10), bytesOf("short text"));
}

// A damaged header cannot make the decoder run on past a full buffer (the exact-size heap
// buffer lets AddressSanitizer see any byte written beyond it).
TEST(LzariDamage, HugeLengthStopsWhenTheBufferIsFull) {
    Bytes block = encode(bytesOf("short text"));
    block[0] = block[1] = block[2] = block[3] = 0xFF;
    uint32_t announced = 0;
    Bytes result = decode(block, 64, &announced);
    EXPECT_EQ(announced, 0xFFFFFFFFu);
    EXPECT_EQ(result.size(), 63u);
    EXPECT_EQ(Bytes(result.begin(), result.begin() + 10), bytesOf("short text"));
}

}  // namespace
