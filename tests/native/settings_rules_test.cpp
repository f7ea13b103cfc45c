#include "settings/settings_rules.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

struct PathCase {
    const char* module;
    const char* expected;
};

class SettingsPath : public ::testing::TestWithParam<PathCase> {};

TEST_P(SettingsPath, CutsAtLastDotOfWholePath) {
    char out[260];
    ASSERT_EQ(deriveSettingsPath(GetParam().module, out, sizeof(out)), 1);
    EXPECT_STREQ(out, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, SettingsPath,
                         ::testing::Values(PathCase{"C:\\Tools\\zoom.exe", "C:\\Tools\\zoom.ini"},
                                           PathCase{"C:\\my.tools\\zoom", "C:\\my.ini"},
                                           PathCase{"C:\\Tools\\zoom", "C:\\Tools\\zoom.ini"},
                                           PathCase{"C:\\Tools\\zoom.tar.exe",
                                                    "C:\\Tools\\zoom.tar.ini"},
                                           PathCase{"", ".ini"}));

TEST(SettingsPath, RefusesAPathThatDoesNotFit) {
    char out[260];
    std::string longPath = "C:\\" + std::string(253, 'a');  // 256 characters, no dot
    EXPECT_EQ(deriveSettingsPath(longPath.c_str(), out, sizeof(out)), 0);
    EXPECT_STREQ(out, "");
    std::string fits = "C:\\" + std::string(252, 'a');  // 255 + ".ini" + NUL = 260
    EXPECT_EQ(deriveSettingsPath(fits.c_str(), out, sizeof(out)), 1);
    EXPECT_EQ(std::string(out), fits + ".ini");
}

TEST(SettingsPath, NullArgumentsAreRefused) {
    char out[8] = "x";
    EXPECT_EQ(deriveSettingsPath(nullptr, out, sizeof(out)), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(deriveSettingsPath("a.exe", nullptr, 10), 0);
    EXPECT_EQ(deriveSettingsPath("a.exe", out, 0), 0);
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

struct BoundsCase {
    int32_t value, lower, upper, expected;
};

class SettingBounds : public ::testing::TestWithParam<BoundsCase> {};

TEST_P(SettingBounds, UpperFirstLowerLast) {
    const BoundsCase& c = GetParam();
    EXPECT_EQ(applySettingBounds(c.value, c.lower, c.upper), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, SettingBounds,
                         ::testing::Values(BoundsCase{20, 1, 16, 16}, BoundsCase{-3, 1, 16, 1},
                                           BoundsCase{7, 1, 16, 7}, BoundsCase{7, 10, 5, 10},
                                           BoundsCase{500, -1, 16, 500},
                                           BoundsCase{-500, 1, -1, -500}));

TEST(Language, GermanOnlyForTheFourGermanIds) {
    for (unsigned id : {1031u, 2055u, 3079u, 4103u}) {
        EXPECT_EQ(languageFromLangId(id), 0) << id;
    }
    for (unsigned id : {1033u, 5127u, 0u, 2057u, 1036u, 65535u}) {
        EXPECT_EQ(languageFromLangId(id), 1) << id;
    }
}

}  // namespace
