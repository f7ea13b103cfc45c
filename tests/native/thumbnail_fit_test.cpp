#include "picture/thumbnail_fit.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

uint32_t bitsOf(float value) {
    uint32_t bits = 0;
    memcpy(&bits, &value, sizeof(bits));
    return bits;
}

TEST(FitThumbnail, UsesTheSinglePrecisionFactors) {
    EXPECT_EQ(bitsOf(kThumbnailWidthFactor), 0x3B83126Fu);
    EXPECT_EQ(bitsOf(kThumbnailHeightFactor), 0x3BA3D70Au);
}

struct FitCase {
    int32_t width;
    int32_t height;
    ThumbnailRect expected;
};

class FitThumbnail : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitThumbnail, PlacesTheViewInsideThePicture) {
    const FitCase& c = GetParam();
    ThumbnailRect r = fitThumbnail(c.width, c.height);
    EXPECT_EQ(r.left, c.expected.left);
    EXPECT_EQ(r.top, c.expected.top);
    EXPECT_EQ(r.right, c.expected.right);
    EXPECT_EQ(r.bottom, c.expected.bottom);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, FitThumbnail,
    ::testing::Values(FitCase{250, 200, {0, 0, 250, 200}},  // exactly 5 : 4
                      FitCase{700, 300, {0, 46, 250, 153}}, FitCase{600, 150, {0, 69, 250, 131}},
                      FitCase{200, 200, {25, 0, 225, 200}}, FitCase{100, 400, {100, 0, 150, 200}},
                      FitCase{500, 400, {0, 0, 250, 200}}, FitCase{100, 100, {25, 0, 225, 200}},
                      FitCase{1920, 100, {0, 93, 250, 106}}));

// Exact decimal arithmetic gives another pixel in each of these; the saved pictures follow
// the single-precision factors.
INSTANTIATE_TEST_SUITE_P(SinglePrecision, FitThumbnail,
                         ::testing::Values(FitCase{400, 200, {0, 38, 250, 162}},
                                           FitCase{750, 300, {0, 50, 250, 149}},
                                           FitCase{200, 160, {0, 0, 250, 199}}));

INSTANTIATE_TEST_SUITE_P(DegenerateSizes, FitThumbnail,
                         ::testing::Values(FitCase{0, 0, {0, 0, 250, 200}},
                                           FitCase{0, 300, {125, 0, 125, 200}},
                                           FitCase{300, 0, {0, 100, 250, 100}},
                                           FitCase{-50, -50, {0, 0, 250, 200}},
                                           FitCase{-700, 300, {125, 0, 125, 200}},
                                           FitCase{INT32_MAX, 1, {0, 100, 250, 100}},
                                           FitCase{1, INT32_MAX, {125, 0, 125, 200}},
                                           FitCase{INT32_MAX, INT32_MAX, {25, 0, 225, 200}}));

TEST(FitThumbnail, StaysInsideThePictureForEveryWindowSize) {
    for (int32_t w = 0; w <= 4000; w += 7) {
        for (int32_t h = 0; h <= 2200; h += 11) {
            ThumbnailRect r = fitThumbnail(w, h);
            ASSERT_GE(r.left, 0) << w << "x" << h;
            ASSERT_GE(r.top, 0) << w << "x" << h;
            ASSERT_LE(r.left, r.right) << w << "x" << h;
            ASSERT_LE(r.top, r.bottom) << w << "x" << h;
            ASSERT_LE(r.right, kThumbnailWidth) << w << "x" << h;
            ASSERT_LE(r.bottom, kThumbnailHeight) << w << "x" << h;
            // One axis is always filled.
            ASSERT_TRUE((r.left == 0 && r.right == 250) || (r.top == 0 && r.bottom == 200))
                << w << "x" << h;
        }
    }
}

struct ExtensionCase {
    const char* path;
    const char* expected;
};

class EnsureJpgExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(EnsureJpgExtension, AppendsUnlessTheLastDotStartsJpg) {
    char buffer[1024] = {};
    strcpy(buffer, GetParam().path);
    EXPECT_EQ(ensureJpgExtension(buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EnsureJpgExtension,
    ::testing::Values(ExtensionCase{"C:\\pics\\shot", "C:\\pics\\shot.jpg"},
                      ExtensionCase{"C:\\pics\\shot.jpg", "C:\\pics\\shot.jpg"},
                      ExtensionCase{"C:\\pics\\shot.JPG", "C:\\pics\\shot.JPG"},
                      ExtensionCase{"C:\\pics\\shot.Jpg", "C:\\pics\\shot.Jpg"},
                      ExtensionCase{"C:\\pics\\shot.jpeg", "C:\\pics\\shot.jpeg.jpg"},
                      ExtensionCase{"C:\\pics\\shot.bmp", "C:\\pics\\shot.bmp.jpg"},
                      ExtensionCase{"C:\\my.pics\\shot", "C:\\my.pics\\shot.jpg"},
                      ExtensionCase{"C:\\a.jpg\\shot", "C:\\a.jpg\\shot.jpg"},
                      ExtensionCase{"C:\\pics\\shot.", "C:\\pics\\shot..jpg"},
                      ExtensionCase{"C:\\pics\\shot.jp", "C:\\pics\\shot.jp.jpg"},
                      ExtensionCase{"C:\\pics\\shot.jpgx", "C:\\pics\\shot.jpgx.jpg"},
                      ExtensionCase{"shot.jpg.bak", "shot.jpg.bak.jpg"},
                      ExtensionCase{"", ".jpg"}));

TEST(EnsureJpgExtensionBuffer, FillsTheBufferToItsLastByte) {
    char buffer[9] = "abcd";
    EXPECT_EQ(ensureJpgExtension(buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, "abcd.jpg");
}

TEST(EnsureJpgExtensionBuffer, LeavesAPathUnchangedWhenTheExtensionDoesNotFit) {
    char buffer[9] = "abcde";
    EXPECT_EQ(ensureJpgExtension(buffer, sizeof(buffer)), 0);
    EXPECT_STREQ(buffer, "abcde");
}

TEST(EnsureJpgExtensionBuffer, KeepsAFittingJpgEvenInAFullBuffer) {
    char buffer[9] = "abcd.JPG";
    EXPECT_EQ(ensureJpgExtension(buffer, sizeof(buffer)), 1);
    EXPECT_STREQ(buffer, "abcd.JPG");
}

TEST(EnsureJpgExtensionBuffer, RejectsNullAndUnterminatedBuffers) {
    EXPECT_EQ(ensureJpgExtension(nullptr, 1024), 0);
    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(ensureJpgExtension(unterminated, sizeof(unterminated)), 0);
    EXPECT_EQ(std::string(unterminated, 4), "abcd");
}

}  // namespace
