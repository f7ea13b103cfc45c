#include "base/text_buffer.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// The block sizes themselves are the allocator's business; what a caller reads is the room
// (size characters and the terminator) and, for format, where a long text is cut.
TEST(TextBuffer, StartsAsEmptyTextAndReserveGivesRoomForSizeAndTheEnd) {
    TextBuffer buffer;
    ASSERT_NE(buffer.text(), nullptr);
    EXPECT_STREQ(buffer.text(), "");
    EXPECT_EQ(buffer.length(), 0);
    for (int32_t size : {0, 15, 16, 31, 208}) {
        buffer.clear();
        ASSERT_EQ(buffer.reserve(size), 1);
        EXPECT_GT(buffer.capacity(), size);
        EXPECT_EQ(buffer.text()[0], '\0');
        EXPECT_EQ(buffer.text()[buffer.capacity() - 1], '\0');
    }
}

TEST(TextBuffer, ReserveBelowCapacityKeepsBlockAndText) {
    TextBuffer buffer;
    buffer.assign("abc");
    const char* block = buffer.text();
    EXPECT_EQ(buffer.reserve(buffer.capacity() - 1), 1);
    EXPECT_EQ(buffer.text(), block);
    EXPECT_STREQ(buffer.text(), "abc");
}

TEST(TextBuffer, ReserveAtCapacityGrowsAndDropsText) {
    TextBuffer buffer;
    buffer.assign("abc");
    int32_t old = buffer.capacity();
    EXPECT_EQ(buffer.reserve(old), 1);
    EXPECT_GT(buffer.capacity(), old);
    EXPECT_STREQ(buffer.text(), "");
    EXPECT_EQ(buffer.length(), 0);
}

TEST(TextBuffer, ReserveOfImpossibleSizeLeavesEmptyBuffer) {
    for (int32_t size : {INT32_MAX, INT32_MAX - 15}) {
        TextBuffer buffer;
        EXPECT_EQ(buffer.reserve(size), 0) << size;
        EXPECT_EQ(buffer.text(), nullptr);
        EXPECT_EQ(buffer.capacity(), 0);
        EXPECT_EQ(buffer.length(), 0);
    }
}

TEST(TextBuffer, AssignHoldsTheText) {
    for (const char* text : {"", "Vistrel", "0123456789abcdef"}) {
        TextBuffer buffer;
        ASSERT_EQ(buffer.assign(text), 1);
        EXPECT_STREQ(buffer.text(), text);
        EXPECT_EQ(buffer.length(), static_cast<int32_t>(strlen(text)));
    }
}

TEST(TextBuffer, NegativeReserveIsBelowCapacityAndKeepsTheBlock) {
    TextBuffer buffer;
    buffer.assign("abc");
    EXPECT_EQ(buffer.reserve(-5), 1);
    EXPECT_STREQ(buffer.text(), "abc");
}

TEST(TextBuffer, AssignOfOwnTextIsHarmless) {
    TextBuffer buffer;
    buffer.assign("0123456789");
    buffer.assign(buffer.text());
    EXPECT_STREQ(buffer.text(), "0123456789");
    buffer.assign(buffer.text() + 4);
    EXPECT_STREQ(buffer.text(), "456789");
}

TEST(TextBuffer, AssignOfNullIsTheEmptyText) {
    TextBuffer buffer;
    EXPECT_EQ(buffer.assign(nullptr), 1);
    EXPECT_STREQ(buffer.text(), "");
}

TEST(TextBuffer, FormatsColourDigits) {
    TextBuffer buffer;
    buffer.format("%02X%02X%02X", 255, 0, 128);
    EXPECT_STREQ(buffer.text(), "FF0080");
    EXPECT_EQ(buffer.length(), 6);
}

TEST(TextBuffer, FormatNeverWritesPastTheBlock) {
    TextBuffer buffer;
    std::string longText(500, 'x');
    buffer.format("%s", longText.c_str());  // reserve(32): a 48-byte block
    EXPECT_EQ(buffer.length(), 47);
    EXPECT_EQ(std::string(buffer.text()), std::string(47, 'x'));
}

TEST(TextBuffer, ClearFreesAndZeroes) {
    TextBuffer buffer;
    buffer.assign("abc");
    buffer.clear();
    EXPECT_EQ(buffer.text(), nullptr);
    EXPECT_EQ(buffer.capacity(), 0);
    EXPECT_EQ(buffer.length(), 0);
    buffer.clear();
    EXPECT_EQ(buffer.text(), nullptr);
}

}  // namespace
