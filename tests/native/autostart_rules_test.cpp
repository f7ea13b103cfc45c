#include "shell/autostart_rules.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

std::string command(const std::string& path) {
    char text[kAutostartCommandCapacity];
    size_t length = buildAutostartCommand(path.data(), path.size(), text, sizeof(text));
    EXPECT_EQ(length, strlen(text));
    return std::string(text, length);
}

TEST(AutostartCommand, QuotesThePathAndAddsTheArgument) {
    EXPECT_EQ(command("C:\\Tools\\zoom.exe"), "\"C:\\Tools\\zoom.exe\" -bg");
    EXPECT_EQ(command("C:\\Tools\\zoom.exe").size(), 23u);
    EXPECT_EQ(command("C:\\Program Files\\V\\vistrel.exe"),
              "\"C:\\Program Files\\V\\vistrel.exe\" -bg");
}

TEST(AutostartCommand, ALongestPathOf259GivesTextOf265) {
    std::string path = "C:\\" + std::string(252, 'a') + ".exe";
    ASSERT_EQ(path.size(), 259u);
    std::string text = command(path);
    EXPECT_EQ(text.size(), 265u);
    EXPECT_EQ(text, "\"" + path + "\" -bg");
}

TEST(AutostartCommand, RefusesWhatDoesNotFitAndLeavesTheTextEmpty) {
    char text[kAutostartCommandCapacity];
    std::string path(kModulePathCapacity, 'a');  // the call had to cut it
    memset(text, 'x', sizeof(text));
    EXPECT_EQ(buildAutostartCommand(path.data(), path.size(), text, sizeof(text)), 0u);
    EXPECT_STREQ(text, "");
    // Exactly one byte short of room for the terminator.
    char small[9];
    EXPECT_EQ(buildAutostartCommand("abc", 3, small, sizeof(small)), 0u);
    char exact[10];
    EXPECT_EQ(buildAutostartCommand("abc", 3, exact, sizeof(exact)), 9u);
    EXPECT_STREQ(exact, "\"abc\" -bg");
}

TEST(AutostartCommand, EmptyOrMissingInputGivesNoText) {
    char text[kAutostartCommandCapacity] = "old";
    EXPECT_EQ(buildAutostartCommand("", 0, text, sizeof(text)), 0u);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(buildAutostartCommand(nullptr, 4, text, sizeof(text)), 0u);
    EXPECT_EQ(buildAutostartCommand("C:\\a", 4, nullptr, 10), 0u);
    EXPECT_EQ(buildAutostartCommand("C:\\a", 4, text, 0), 0u);
}

TEST(StoredTextLength, StopsAtTheFirstZeroOrTheEndOfTheData) {
    EXPECT_EQ(storedTextLength("abc\0def", 7), 3u);
    EXPECT_EQ(storedTextLength("abcdef", 4), 4u);  // no terminator within the data
    EXPECT_EQ(storedTextLength("", 0), 0u);
    EXPECT_EQ(storedTextLength(nullptr, 5), 0u);
}

// A value of exactly the buffer size without a terminator is judged on its own bytes only;
// under ASan a read past the heap block would stop the test.
TEST(StoredTextLength, NeverReadsPastAFullBufferWithoutTerminator) {
    std::vector<char> full(kStoredValueCapacity, 'a');
    EXPECT_EQ(storedTextLength(full.data(), full.size()), kStoredValueCapacity);
    const std::string own = "\"C:\\a\\vistrel.exe\" -bg";
    EXPECT_EQ(classifyStoredValue(own.c_str(), full.data(), full.size()),
              StoredAutostartValue::Foreign);
    // The command text at the end of a full buffer, no terminator after it.
    std::vector<char> tail(kStoredValueCapacity, 'x');
    memcpy(tail.data() + tail.size() - own.size(), own.data(), own.size());
    EXPECT_EQ(classifyStoredValue(own.c_str(), tail.data(), tail.size()),
              StoredAutostartValue::Foreign);
}

struct StoredCase {
    const char* name;
    std::string stored;  // the bytes the query returned, as counted by it
    StoredAutostartValue expected;
};

class ClassifyStoredValue : public ::testing::TestWithParam<StoredCase> {};

TEST_P(ClassifyStoredValue, JudgesTheValue) {
    const char* own = "\"C:\\Tools\\vistrel.exe\" -bg";
    const StoredCase& c = GetParam();
    EXPECT_EQ(classifyStoredValue(own, c.stored.data(), c.stored.size()), c.expected);
}

using S = StoredAutostartValue;
INSTANTIATE_TEST_SUITE_P(
    Values, ClassifyStoredValue,
    ::testing::Values(StoredCase{"Same", "\"C:\\Tools\\vistrel.exe\" -bg", S::Matches},
                      StoredCase{"SameTerminated",
                                 std::string("\"C:\\Tools\\vistrel.exe\" -bg\0", 27), S::Matches},
                      StoredCase{"SameWithGarbageAfterZero",
                                 std::string("\"C:\\Tools\\vistrel.exe\" -bg\0zz", 29), S::Matches},
                      StoredCase{"OtherFolder", "\"D:\\Old Place\\vistrel.exe\" -bg", S::Stale},
                      StoredCase{"SamePathOtherCase", "\"c:\\tools\\VISTREL.EXE\" -bg", S::Stale},
                      StoredCase{"ForwardSlashes", "\"D:/x/vistrel.exe\" -bg", S::Stale},
                      StoredCase{"NoFolder", "\"vistrel.exe\" -bg", S::Stale},
                      StoredCase{"OtherProgram", "\"C:\\Tools\\other.exe\" -bg", S::Foreign},
                      StoredCase{"LongerName", "\"C:\\Tools\\myvistrel.exe\" -bg", S::Foreign},
                      StoredCase{"NameAsFolder", "\"C:\\vistrel.exe\\x.exe\" -bg", S::Foreign},
                      StoredCase{"Unquoted", "C:\\Tools\\vistrel.exe -bg", S::Foreign},
                      StoredCase{"NoArgument", "\"C:\\Tools\\vistrel.exe\"", S::Foreign},
                      StoredCase{"OtherArgument", "\"C:\\Tools\\vistrel.exe\" -fg", S::Foreign},
                      StoredCase{"MoreArguments", "\"C:\\Tools\\vistrel.exe\" -bg -x", S::Foreign},
                      StoredCase{"ArgumentCase", "\"C:\\Tools\\vistrel.exe\" -BG", S::Foreign},
                      StoredCase{"NoClosingQuote", "\"C:\\Tools\\vistrel.exe -bg", S::Foreign},
                      StoredCase{"EndsInSeparator", "\"C:\\Tools\\\" -bg", S::Foreign},
                      StoredCase{"EmptyQuotes", "\"\" -bg", S::Foreign},
                      StoredCase{"Empty", "", S::Foreign},
                      StoredCase{"OnlyZeros", std::string(8, '\0'), S::Foreign},
                      StoredCase{"Dword", std::string("\x01\x00\x00\x00", 4), S::Foreign},
                      StoredCase{"CutByZero", std::string("\"C:\\Tools\\vist\0rel.exe\" -bg", 27),
                                 S::Foreign}),
    [](const ::testing::TestParamInfo<StoredCase>& param) { return param.param.name; });

TEST(ClassifyStoredValueCommand, WithoutACommandNothingIsRewritten) {
    const std::string stored = "\"C:\\Tools\\vistrel.exe\" -bg";
    EXPECT_EQ(classifyStoredValue("", stored.data(), stored.size()), S::Foreign);
    EXPECT_EQ(classifyStoredValue(nullptr, stored.data(), stored.size()), S::Foreign);
    EXPECT_EQ(classifyStoredValue("", "", 0), S::Foreign);
}

TEST(ClassifyStoredValueCommand, NonAsciiNamesMatchExactly) {
    const char* own = "\"C:\\T\\vistrel\xe4.exe\" -bg";
    const std::string stored = "\"D:\\vistrel\xe4.exe\" -bg";
    EXPECT_EQ(classifyStoredValue(own, stored.data(), stored.size()), S::Stale);
    const std::string otherCase = "\"D:\\vistrel\xc4.exe\" -bg";
    EXPECT_EQ(classifyStoredValue(own, otherCase.data(), otherCase.size()), S::Foreign);
}

}  // namespace
