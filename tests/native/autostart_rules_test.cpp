#include "shell/autostart_rules.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring command(const std::wstring& path) {
    wchar_t text[kAutostartCommandCapacity];
    size_t length =
        buildAutostartCommand(path.data(), path.size(), text, kAutostartCommandCapacity);
    EXPECT_EQ(length, wcslen(text));
    return std::wstring(text, length);
}

TEST(AutostartCommand, QuotesThePathAndAddsTheArgument) {
    EXPECT_EQ(command(L"C:\\Tools\\zoom.exe"), L"\"C:\\Tools\\zoom.exe\" -bg");
    EXPECT_EQ(command(L"C:\\Tools\\zoom.exe").size(), 23u);
    EXPECT_EQ(command(L"C:\\Program Files\\V\\vistrel.exe"),
              L"\"C:\\Program Files\\V\\vistrel.exe\" -bg");
    EXPECT_EQ(command(L"C:\\\u0141\u00f3d\u017a \u5de5\u5177\\vistrel.exe"),
              L"\"C:\\\u0141\u00f3d\u017a \u5de5\u5177\\vistrel.exe\" -bg");
}

TEST(AutostartCommand, ALongestPathOf259GivesTextOf265) {
    std::wstring path = L"C:\\" + std::wstring(252, L'a') + L".exe";
    ASSERT_EQ(path.size(), 259u);
    std::wstring text = command(path);
    EXPECT_EQ(text.size(), 265u);
    EXPECT_EQ(text, L"\"" + path + L"\" -bg");
}

TEST(AutostartCommand, RefusesWhatDoesNotFitAndLeavesTheTextEmpty) {
    wchar_t text[kAutostartCommandCapacity];
    std::wstring path(kPathCapacity, L'a');  // the call had to cut it
    wmemset(text, L'x', kAutostartCommandCapacity);
    EXPECT_EQ(buildAutostartCommand(path.data(), path.size(), text, kAutostartCommandCapacity), 0u);
    EXPECT_EQ(std::wstring(text), L"");
    // Exactly one character short of room for the terminator.
    wchar_t small[9];
    EXPECT_EQ(buildAutostartCommand(L"abc", 3, small, 9), 0u);
    wchar_t exact[10];
    EXPECT_EQ(buildAutostartCommand(L"abc", 3, exact, 10), 9u);
    EXPECT_EQ(std::wstring(exact), L"\"abc\" -bg");
}

TEST(AutostartCommand, EmptyOrMissingInputGivesNoText) {
    wchar_t text[kAutostartCommandCapacity] = L"old";
    EXPECT_EQ(buildAutostartCommand(L"", 0, text, kAutostartCommandCapacity), 0u);
    EXPECT_EQ(std::wstring(text), L"");
    EXPECT_EQ(buildAutostartCommand(nullptr, 4, text, kAutostartCommandCapacity), 0u);
    EXPECT_EQ(buildAutostartCommand(L"C:\\a", 4, nullptr, 10), 0u);
    EXPECT_EQ(buildAutostartCommand(L"C:\\a", 4, text, 0), 0u);
}

TEST(StoredTextLength, StopsAtTheFirstZeroOrTheEndOfTheData) {
    EXPECT_EQ(storedTextLength(L"abc\0def", 7), 3u);
    EXPECT_EQ(storedTextLength(L"abcdef", 4), 4u);  // no terminator within the data
    EXPECT_EQ(storedTextLength(L"", 0), 0u);
    EXPECT_EQ(storedTextLength(nullptr, 5), 0u);
}

// A value of exactly the buffer size without a terminator is judged on its own bytes only;
// under ASan a read past the heap block would stop the test.
TEST(StoredTextLength, NeverReadsPastAFullBufferWithoutTerminator) {
    std::vector<wchar_t> full(kStoredValueCapacity, L'a');
    EXPECT_EQ(storedTextLength(full.data(), full.size()), kStoredValueCapacity);
    const std::wstring own = L"\"C:\\a\\vistrel.exe\" -bg";
    EXPECT_EQ(classifyStoredValue(own.c_str(), full.data(), full.size()),
              StoredAutostartValue::Foreign);
    // The command text at the end of a full buffer, no terminator after it.
    std::vector<wchar_t> tail(kStoredValueCapacity, L'x');
    wmemcpy(tail.data() + tail.size() - own.size(), own.data(), own.size());
    EXPECT_EQ(classifyStoredValue(own.c_str(), tail.data(), tail.size()),
              StoredAutostartValue::Foreign);
}

struct StoredCase {
    const char* name;
    std::wstring stored;  // the characters the query returned, as counted by it
    StoredAutostartValue expected;
};

class ClassifyStoredValue : public ::testing::TestWithParam<StoredCase> {};

TEST_P(ClassifyStoredValue, JudgesTheValue) {
    const wchar_t* own = L"\"C:\\Tools\\vistrel.exe\" -bg";
    const StoredCase& c = GetParam();
    EXPECT_EQ(classifyStoredValue(own, c.stored.data(), c.stored.size()), c.expected);
}

using S = StoredAutostartValue;
INSTANTIATE_TEST_SUITE_P(
    Values, ClassifyStoredValue,
    ::testing::Values(
        StoredCase{"Same", L"\"C:\\Tools\\vistrel.exe\" -bg", S::Matches},
        StoredCase{"SameTerminated", std::wstring(L"\"C:\\Tools\\vistrel.exe\" -bg\0", 27),
                   S::Matches},
        StoredCase{"SameWithGarbageAfterZero",
                   std::wstring(L"\"C:\\Tools\\vistrel.exe\" -bg\0zz", 29), S::Matches},
        StoredCase{"OtherFolder", L"\"D:\\Old Place\\vistrel.exe\" -bg", S::Stale},
        StoredCase{"SamePathOtherCase", L"\"c:\\tools\\VISTREL.EXE\" -bg", S::Stale},
        StoredCase{"ForwardSlashes", L"\"D:/x/vistrel.exe\" -bg", S::Foreign},
        StoredCase{"NoFolder", L"\"vistrel.exe\" -bg", S::Foreign},
        StoredCase{"OtherFileName", L"\"C:\\Tools\\other.exe\" -bg", S::Stale},
        StoredCase{"RenamedCopy", L"\"C:\\Tools\\vistrel (1).exe\" -bg", S::Stale},
        StoredCase{"NetworkShare", L"\"\\\\srv\\share\\V.EXE\" -bg", S::Stale},
        StoredCase{"ShareWithoutFolder", L"\"\\\\srv\\v.exe\" -bg", S::Foreign},
        StoredCase{"DriveRelative", L"\"C:vistrel.exe\" -bg", S::Foreign},
        StoredCase{"NotExe", L"\"C:\\Tools\\vistrel.exe.lnk\" -bg", S::Foreign},
        StoredCase{"OnlyExtension", L"\"C:\\Tools\\.exe\" -bg", S::Foreign},
        StoredCase{"EmptyPart", L"\"C:\\Tools\\\\vistrel.exe\" -bg", S::Foreign},
        StoredCase{"Wildcard", L"\"C:\\T?\\vistrel.exe\" -bg", S::Foreign},
        StoredCase{"Unquoted", L"C:\\Tools\\vistrel.exe -bg", S::Foreign},
        StoredCase{"NoArgument", L"\"C:\\Tools\\vistrel.exe\"", S::Foreign},
        StoredCase{"OtherArgument", L"\"C:\\Tools\\vistrel.exe\" -fg", S::Foreign},
        StoredCase{"MoreArguments", L"\"C:\\Tools\\vistrel.exe\" -bg -x", S::Foreign},
        StoredCase{"ArgumentCase", L"\"C:\\Tools\\vistrel.exe\" -BG", S::Foreign},
        StoredCase{"NoClosingQuote", L"\"C:\\Tools\\vistrel.exe -bg", S::Foreign},
        StoredCase{"EndsInSeparator", L"\"C:\\Tools\\\" -bg", S::Foreign},
        StoredCase{"EmptyQuotes", L"\"\" -bg", S::Foreign}, StoredCase{"Empty", L"", S::Foreign},
        StoredCase{"OnlyZeros", std::wstring(8, L'\0'), S::Foreign},
        StoredCase{"Dword", std::wstring(L"\x01\x00\x00\x00", 4), S::Foreign},
        StoredCase{"CutByZero", std::wstring(L"\"C:\\Tools\\vist\0rel.exe\" -bg", 27), S::Foreign}),
    [](const ::testing::TestParamInfo<StoredCase>& param) { return param.param.name; });

TEST(ClassifyStoredValueCommand, WithoutACommandNothingIsRewritten) {
    const std::wstring stored = L"\"C:\\Tools\\vistrel.exe\" -bg";
    EXPECT_EQ(classifyStoredValue(L"", stored.data(), stored.size()), S::Foreign);
    EXPECT_EQ(classifyStoredValue(nullptr, stored.data(), stored.size()), S::Foreign);
    EXPECT_EQ(classifyStoredValue(L"", L"", 0), S::Foreign);
}

TEST(StoredEntryPath, IsThePathOfAnEntryElsewhereWithRoomForItsTerminator) {
    wchar_t out[13];
    const std::wstring stale = L"\"D:\\Old\\v.exe\" -bg";
    EXPECT_EQ(storedEntryPath(stale.data(), stale.size(), out, 13), 12u);
    EXPECT_EQ(std::wstring(out), L"D:\\Old\\v.exe");
    EXPECT_EQ(storedEntryPath(stale.data(), stale.size(), out, 12), 0u);
    EXPECT_EQ(std::wstring(out), L"");
    EXPECT_EQ(storedEntryPath(stale.data(), stale.size() - 1, out, 13), 0u);  // "-b"
    EXPECT_EQ(storedEntryPath(nullptr, 0, out, 13), 0u);
}

// Under the default value only the command's own file name elsewhere is this program's.
TEST(ClassifyDefaultValue, OnlyTheSameFileNameIsStaleAndNonAsciiLettersMatchExactly) {
    const wchar_t* own = L"\"C:\\\u0141\u00f3d\u017a\\vistrel\u00e4.exe\" -bg";
    const std::wstring stored = L"\"D:\\vistrel\u00e4.exe\" -bg";
    EXPECT_EQ(classifyDefaultValue(own, stored.data(), stored.size()), S::Stale);
    const std::wstring otherCase = L"\"D:\\vistrel\u00c4.exe\" -bg";
    EXPECT_EQ(classifyDefaultValue(own, otherCase.data(), otherCase.size()), S::Foreign);
    // The path itself in other letter case is another text: only the exact one matches.
    const std::wstring ownOtherCase = L"\"C:\\\u0142\u00f3d\u017a\\vistrel\u00e4.exe\" -bg";
    EXPECT_EQ(classifyDefaultValue(own, ownOtherCase.data(), ownOtherCase.size()), S::Stale);
    EXPECT_EQ(classifyDefaultValue(own, own, wcslen(own)), S::Matches);
    EXPECT_EQ(classifyDefaultValue(own, L"\"C:\\v (1).exe\" -bg", 18), S::Foreign);
    EXPECT_EQ(classifyDefaultValue(own, L"\"vistrel\u00e4.exe\" -bg", 18), S::Foreign);
}

TEST(StartupApproval, OnlyTwelveBinaryBytesWithBitZeroSetDisable) {
    unsigned char bytes[13] = {3};
    EXPECT_TRUE(startupApprovalDisables(true, bytes, 12));
    EXPECT_FALSE(startupApprovalDisables(true, bytes, 11));
    EXPECT_FALSE(startupApprovalDisables(true, bytes, 13));
    EXPECT_FALSE(startupApprovalDisables(false, bytes, 12));
    EXPECT_FALSE(startupApprovalDisables(true, nullptr, 0));
    for (unsigned char first : {2, 6, 7}) {
        bytes[0] = first;
        EXPECT_EQ(startupApprovalDisables(true, bytes, 12), first == 7) << int{first};
    }
}

}  // namespace
