#include <gtest/gtest.h>

#include <climits>

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
    size_t length;
    bool equal;
};

class AsciiCase : public ::testing::TestWithParam<CaseCase> {};

TEST_P(AsciiCase, FoldsOnlyAToZ) {
    const CaseCase& c = GetParam();
    EXPECT_EQ(equalsIgnoringAsciiCase(c.a, c.b, c.length), c.equal);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, AsciiCase,
    ::testing::Values(CaseCase{L".jpg", L".JPG", 4, true},
                      CaseCase{L"Vistrel.EXE", L"vistrel.exe", 11, true},
                      CaseCase{L"@[`{", L"@[`{", 4, true}, CaseCase{L"@", L"`", 1, false},
                      CaseCase{L"[", L"{", 1, false},
                      // Letters outside ASCII never fold, not even to their own lower case.
                      CaseCase{L"\u00c4", L"\u00e4", 1, false}, CaseCase{L"\u0130", L"i", 1, false},
                      CaseCase{L"\u212a", L"k", 1, false},
                      // Only the given length counts.
                      CaseCase{L"ABCx", L"abcy", 3, true}, CaseCase{L"ABCx", L"abcy", 4, false},
                      CaseCase{nullptr, nullptr, 0, true}, CaseCase{nullptr, L"a", 1, false},
                      CaseCase{L"a", nullptr, 1, false}));

TEST(AsciiCase, FoldsTheLetterOnly) {
    EXPECT_EQ(foldAsciiCase(L'Z'), L'z');
    EXPECT_EQ(foldAsciiCase(L'z'), L'z');
    EXPECT_EQ(foldAsciiCase(L'\u00dd'), L'\u00dd');
}

}  // namespace
