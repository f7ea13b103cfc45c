#include "settings/settings_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct PathCase {
    const wchar_t* module;
    const wchar_t* expected;
};

class SettingsPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsPath, CutsAtLastDotOfWholePath) {
    wchar_t out[260];
    ASSERT_TRUE(deriveSettingsPath(GetParam().module, out, 260));
    EXPECT_EQ(std::wstring(out), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SettingsPath,
    ::testing::Values(PathCase{L"C:\\Tools\\zoom.exe", L"C:\\Tools\\zoom.ini"},
                      PathCase{L"C:\\my.tools\\zoom", L"C:\\my.ini"},
                      PathCase{L"C:\\Tools\\zoom", L"C:\\Tools\\zoom.ini"},
                      PathCase{L"C:\\Tools\\zoom.tar.exe", L"C:\\Tools\\zoom.tar.ini"},
                      PathCase{L"C:\\\u0141\u00f3d\u017a \u0417\u0430\u0433\\\u5de5\u5177\\v.exe",
                               L"C:\\\u0141\u00f3d\u017a \u0417\u0430\u0433\\\u5de5\u5177\\v.ini"},
                      PathCase{L"", L".ini"}));

TEST(SettingsPath, RefusesAPathThatDoesNotFit) {
    wchar_t out[260];
    std::wstring longPath = L"C:\\" + std::wstring(253, L'a');  // 256 characters, no dot
    EXPECT_FALSE(deriveSettingsPath(longPath.c_str(), out, 260));
    EXPECT_EQ(std::wstring(out), L"");
    std::wstring fits = L"C:\\" + std::wstring(252, L'a');  // 255 + ".ini" + NUL = 260
    EXPECT_TRUE(deriveSettingsPath(fits.c_str(), out, 260));
    EXPECT_EQ(std::wstring(out), fits + L".ini");
}

TEST(SettingsPath, NullArgumentsAreRefused) {
    wchar_t out[8] = L"x";
    EXPECT_FALSE(deriveSettingsPath(nullptr, out, 8));
    EXPECT_EQ(std::wstring(out), L"");
    EXPECT_FALSE(deriveSettingsPath(L"a.exe", nullptr, 10));
    EXPECT_FALSE(deriveSettingsPath(L"a.exe", out, 0));
}

TEST(UserSettingsPath, TakesTheProgramFileNameCutAtItsLastDotAndRefusesWhatDoesNotFit) {
    wchar_t out[24];
    ASSERT_TRUE(deriveUserSettingsPath(L"C:\\my.tools\\zoom", L"U:\\Abc", out, 24));
    EXPECT_EQ(std::wstring(out), L"U:\\Abc\\Vistrel\\zoom.ini");
    ASSERT_TRUE(deriveUserSettingsPath(L"C:\\T\\a.b.exe", L"U:", out, 24));
    EXPECT_EQ(std::wstring(out), L"U:\\Vistrel\\a.b.ini");
    EXPECT_FALSE(deriveUserSettingsPath(L"C:\\T\\zoom.exe", L"U:\\Abcd", out, 24));
    EXPECT_EQ(std::wstring(out), L"");
}

struct ParseCase {
    const char* text;
    int32_t expected;
};

class SettingValue : public ::testing::TestWithParam<ParseCase> {};

TEST_P(SettingValue, ReadsLikeAtoiWithClamping) {
    EXPECT_EQ(parseSettingValue(GetParam().text), GetParam().expected) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, SettingValue,
    ::testing::Values(ParseCase{"700", 700}, ParseCase{"abc", 0}, ParseCase{"12abc", 12},
                      ParseCase{"-5", -5}, ParseCase{"+7", 7}, ParseCase{"  42", 42},
                      ParseCase{"", 0}, ParseCase{"-", 0}, ParseCase{" - 3", 0},
                      ParseCase{"2147483647", INT32_MAX}, ParseCase{"2147483648", INT32_MAX},
                      ParseCase{"99999999999999999999", INT32_MAX},
                      ParseCase{"-2147483648", INT32_MIN}, ParseCase{"-2147483649", INT32_MIN},
                      ParseCase{"-99999999999999999999", INT32_MIN},
                      ParseCase{"0000000000000000000012", 12}));

TEST(SettingValue, NullReadsAsZero) {
    EXPECT_EQ(parseSettingValue(nullptr), 0);
}

TEST(Language, GermanOnlyForTheFourGermanIds) {
    for (unsigned id : {1031u, 2055u, 3079u, 4103u}) {
        EXPECT_EQ(languageFromLangId(id), 0) << id;
    }
    for (unsigned id : {1033u, 5127u, 0u, 2057u, 1036u, 65535u}) {
        EXPECT_EQ(languageFromLangId(id), 1) << id;
    }
}

}  // namespace
