#include <gtest/gtest.h>

#include <climits>
#include <cwchar>

#include "base/ascii_case.h"
#include "base/saturating.h"

namespace {

struct ClampCase {
    int64_t value;
    int32_t low, high;
    int32_t expected;
};

class ClampToRange : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ClampToRange, SaturatesAtEitherEnd) {
    const ClampCase& c = GetParam();
    EXPECT_EQ(clampToRange(c.value, c.low, c.high), c.expected) << c.value;
    if (c.low == INT32_MIN && c.high == INT32_MAX) {
        EXPECT_EQ(clampToInt32(c.value), c.expected) << c.value;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Values, ClampToRange,
    ::testing::Values(ClampCase{5, 1, 16, 5}, ClampCase{0, 1, 16, 1}, ClampCase{17, 1, 16, 16},
                      ClampCase{1, 1, 16, 1}, ClampCase{16, 1, 16, 16},
                      ClampCase{int64_t{INT32_MAX} + 1, INT32_MIN, INT32_MAX, INT32_MAX},
                      ClampCase{int64_t{INT32_MIN} - 1, INT32_MIN, INT32_MAX, INT32_MIN},
                      ClampCase{INT64_MAX, INT32_MIN, INT32_MAX, INT32_MAX},
                      ClampCase{INT64_MIN, INT32_MIN, INT32_MAX, INT32_MIN},
                      ClampCase{-7, INT32_MIN, INT32_MAX, -7}));

struct CaseCase {
    const wchar_t* a;
    const wchar_t* b;
    bool equal;
};

class AsciiCase : public ::testing::TestWithParam<CaseCase> {};

// Each row holds for the terminated texts and, where both are as long, for their spans.
TEST_P(AsciiCase, FoldsOnlyAToZ) {
    const CaseCase& c = GetParam();
    EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b), c.equal);
    if (c.a != nullptr && c.b != nullptr && wcslen(c.a) == wcslen(c.b)) {
        EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b, wcslen(c.a)), c.equal);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AsciiCase,
    ::testing::Values(
        CaseCase{L".jpg", L".JPG", true}, CaseCase{L"Vistrel.EXE", L"vistrel.exe", true},
        CaseCase{L"@[`{", L"@[`{", true}, CaseCase{L"@", L"`", false}, CaseCase{L"[", L"{", false},
        // Letters outside ASCII never fold, not even to their own lower case.
        CaseCase{L"\u00c4", L"\u00e4", false}, CaseCase{L"\u0130", L"i", false},
        CaseCase{L"\u212a", L"k", false}, CaseCase{L".jpg", L".jpgx", false},
        CaseCase{L"", L"", true}, CaseCase{nullptr, L"", false}, CaseCase{L"", nullptr, false}));

TEST(AsciiCase, SpansLookOnlyAtTheirLength) {
    EXPECT_TRUE(equalsIgnoringAsciiCase(L"ABCx", L"abcy", 3));
    EXPECT_FALSE(equalsIgnoringAsciiCase(L"ABCx", L"abcy", 4));
    EXPECT_TRUE(equalsIgnoringAsciiCase(nullptr, nullptr, 0));
    EXPECT_FALSE(equalsIgnoringAsciiCase(nullptr, L"a", 1));
    EXPECT_EQ(foldAsciiCase(L'Z'), L'z');
    EXPECT_EQ(foldAsciiCase(L'\u00dd'), L'\u00dd');
}

}  // namespace
