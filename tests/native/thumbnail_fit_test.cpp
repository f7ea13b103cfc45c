#include "picture/thumbnail_fit.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "tests/native/pixel_rect_print.h"

namespace {

struct FitCase {
    int32_t width;
    int32_t height;
    PixelRect expected;
};

class FitThumbnail : public ::testing::TestWithParam<FitCase> {};

TEST_P(FitThumbnail, PlacesTheViewInsideThePicture) {
    const FitCase& c = GetParam();
    EXPECT_EQ(fitThumbnail(c.width, c.height), c.expected);
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
            PixelRect r = fitThumbnail(w, h);
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
    const wchar_t* path;
    const wchar_t* expected;
};

class EnsureJpgExtension : public ::testing::TestWithParam<ExtensionCase> {};

TEST_P(EnsureJpgExtension, AppendsUnlessTheLastDotStartsJpg) {
    wchar_t buffer[1024] = {};
    wcscpy(buffer, GetParam().path);
    EXPECT_EQ(ensureJpgExtension(buffer, 1024), 1);
    EXPECT_EQ(std::wstring(buffer), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, EnsureJpgExtension,
    ::testing::Values(ExtensionCase{L"C:\\pics\\shot", L"C:\\pics\\shot.jpg"},
                      ExtensionCase{L"C:\\pics\\shot.jpg", L"C:\\pics\\shot.jpg"},
                      ExtensionCase{L"C:\\pics\\shot.JPG", L"C:\\pics\\shot.JPG"},
                      ExtensionCase{L"C:\\pics\\shot.Jpg", L"C:\\pics\\shot.Jpg"},
                      ExtensionCase{L"C:\\pics\\shot.jpeg", L"C:\\pics\\shot.jpeg.jpg"},
                      ExtensionCase{L"C:\\pics\\shot.bmp", L"C:\\pics\\shot.bmp.jpg"},
                      ExtensionCase{L"C:\\my.pics\\shot", L"C:\\my.pics\\shot.jpg"},
                      ExtensionCase{L"C:\\a.jpg\\shot", L"C:\\a.jpg\\shot.jpg"},
                      ExtensionCase{L"C:\\pics\\shot.", L"C:\\pics\\shot..jpg"},
                      ExtensionCase{L"C:\\pics\\shot.jp", L"C:\\pics\\shot.jp.jpg"},
                      ExtensionCase{L"C:\\pics\\shot.jpgx", L"C:\\pics\\shot.jpgx.jpg"},
                      ExtensionCase{L"shot.jpg.bak", L"shot.jpg.bak.jpg"},
                      ExtensionCase{L"", L".jpg"}, ExtensionCase{L".JPG", L".JPG"},
                      // Letters outside ASCII pass unchanged and never count as "jpg".
                      ExtensionCase{L"C:\\\u0141\u00f3d\u017a\\Zdj\u0119cie \u5199\u771f",
                                    L"C:\\\u0141\u00f3d\u017a\\Zdj\u0119cie \u5199\u771f.jpg"},
                      ExtensionCase{L"\u5199.JP\u0120", L"\u5199.JP\u0120.jpg"}));

TEST(EnsureJpgExtensionBuffer, FillsTheBufferToItsLastCharacter) {
    wchar_t buffer[9] = L"abcd";
    EXPECT_EQ(ensureJpgExtension(buffer, 9), 1);
    EXPECT_EQ(std::wstring(buffer), L"abcd.jpg");
}

TEST(EnsureJpgExtensionBuffer, LeavesAPathUnchangedWhenTheExtensionDoesNotFit) {
    wchar_t buffer[9] = L"abcde";
    EXPECT_EQ(ensureJpgExtension(buffer, 9), 0);
    EXPECT_EQ(std::wstring(buffer), L"abcde");
}

TEST(EnsureJpgExtensionBuffer, KeepsAFittingJpgEvenInAFullBuffer) {
    wchar_t buffer[9] = L"abcd.JPG";
    EXPECT_EQ(ensureJpgExtension(buffer, 9), 1);
    EXPECT_EQ(std::wstring(buffer), L"abcd.JPG");
}

TEST(EnsureJpgExtensionBuffer, RejectsNullAndUnterminatedBuffers) {
    EXPECT_EQ(ensureJpgExtension(nullptr, 1024), 0);
    wchar_t unterminated[4] = {L'a', L'b', L'c', L'd'};
    EXPECT_EQ(ensureJpgExtension(unterminated, 4), 0);
    EXPECT_EQ(std::wstring(unterminated, 4), L"abcd");
}

struct TemporaryNameCase {
    const wchar_t* path;
    unsigned attempt;
    size_t capacity;
    const wchar_t* expected;  // empty: refused
};

class TemporarySaveName : public ::testing::TestWithParam<TemporaryNameCase> {};

TEST_P(TemporarySaveName, ReplacesTheExtensionWithTheAttemptsNumber) {
    const TemporaryNameCase& c = GetParam();
    wchar_t out[64];
    wmemset(out, L'#', 64);
    EXPECT_EQ(temporarySaveName(c.path, c.attempt, out, c.capacity), c.expected[0] != L'\0');
    EXPECT_EQ(std::wstring(out), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Names, TemporarySaveName,
    ::testing::Values(TemporaryNameCase{L"C:\\pics\\shot.jpg", 0, 64, L"C:\\pics\\shot.~00"},
                      TemporaryNameCase{L"C:\\pics\\shot.JPG", 26, 64, L"C:\\pics\\shot.~1a"},
                      TemporaryNameCase{L"\u5199\u771f.Jpg", 255, 64, L"\u5199\u771f.~ff"},
                      TemporaryNameCase{L"abcd.jpg", 7, 9, L"abcd.~07"},  // as long as the path
                      TemporaryNameCase{L"abcd.jpg", 256, 64, L""},
                      TemporaryNameCase{L"abcd.jpg", 0, 8, L""},  // unterminated in capacity
                      TemporaryNameCase{L"shot.png", 0, 64, L""},
                      TemporaryNameCase{L"jpg", 0, 64, L""},
                      TemporaryNameCase{nullptr, 0, 64, L""}));

TEST(TemporarySaveNameBuffer, RejectsANullOrEmptyBuffer) {
    EXPECT_EQ(temporarySaveName(L"a.jpg", 0, nullptr, 64), 0);
    wchar_t untouched[1] = {L'#'};
    EXPECT_EQ(temporarySaveName(L"a.jpg", 0, untouched, 0), 0);
    EXPECT_EQ(untouched[0], L'#');
}

TEST(SaveFailureOf, NamesTheReasonTheUserCanActOn) {
    const struct {
        uint32_t error;
        SaveFailure reason;
    } cases[] = {{32, SaveFailure::kHeld},         {33, SaveFailure::kHeld},
                 {112, SaveFailure::kDiskFull},    {39, SaveFailure::kDiskFull},
                 {1295, SaveFailure::kDiskFull},   {5, SaveFailure::kAccessDenied},
                 {19, SaveFailure::kAccessDenied}, {0, SaveFailure::kOther},
                 {3, SaveFailure::kOther},         {31, SaveFailure::kOther},
                 {206, SaveFailure::kOther},       {0xFFFFFFFFu, SaveFailure::kOther}};
    for (const auto& c : cases) {
        EXPECT_EQ(saveFailureOf(c.error), c.reason) << c.error;
    }
}

// The reason is what the user acts on: a path too long for the message is cut, not the reason.
TEST(ComposeSaveFailure, PutsTheFileAndTheReasonOnLinesOfTheirOwn) {
    wchar_t out[64];
    composeSaveFailure(out, 64, L"Failed:", L"C:\\a.jpg", L"Full.");
    EXPECT_EQ(std::wstring(out), L"Failed:\nC:\\a.jpg\n\nFull.");
    composeSaveFailure(out, 20, L"Failed:", L"C:\\pictures\\a.jpg", L"Full.");
    EXPECT_EQ(std::wstring(out), L"Failed:\nC:\\p\n\nFull.");
}

TEST(WatermarkFits, UpTo4096PixelsOnEachSide) {
    EXPECT_TRUE(watermarkFits(4096, 4096));
    EXPECT_FALSE(watermarkFits(4097, 1));
    EXPECT_FALSE(watermarkFits(1, 4097));
}

}  // namespace
