#include "app/help_layout.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

struct RowCase {
    int32_t row;
    int32_t height;
    int32_t share;
};

class HelpGradient : public ::testing::TestWithParam<RowCase> {};

TEST_P(HelpGradient, RowShareFollowsTheDoublePrecisionRule) {
    const RowCase& c = GetParam();
    EXPECT_EQ(helpGradientShare(c.row, c.height), c.share);
    uint32_t share = static_cast<uint32_t>(c.share);
    EXPECT_EQ(helpGradientColour(c.row, c.height), share | ((200u - share) << 16));
}

INSTANTIATE_TEST_SUITE_P(Rows, HelpGradient,
                         ::testing::Values(RowCase{0, 40, 0},  // top row: pure blue 200
                                           RowCase{23, 40,
                                                   114},  // 23 / 40 * 200 lands just below 115
                                           RowCase{39, 40, 195},      // bottom row of a short page
                                           RowCase{1, 3, 66},         // 0.333.. * 200 truncated
                                           RowCase{2, 3, 133},        //
                                           RowCase{1079, 1080, 199},  // bottom row of a tall page
                                           RowCase{2159, 2160, 199},  //
                                           RowCase{0, 1, 0},          // a one-row page is all blue
                                           RowCase{-5, 40, 0},        // above the page: the top row
                                           RowCase{40, 40, 195},  // below the page: the bottom row
                                           RowCase{INT32_MAX, 40, 195},  //
                                           RowCase{3, 0, 0},             // no rows at all
                                           RowCase{3, -10, 0}));

TEST(HelpGradient, TopRowIsBlue200AndTheShareNeverDecreasesDownThePage) {
    EXPECT_EQ(helpGradientColour(0, 768), 0x00C80000u);
    for (int32_t height : {1, 2, 40, 299, 1080, 2160}) {
        int32_t previous = 0;
        for (int32_t row = 0; row < height; ++row) {
            int32_t share = helpGradientShare(row, height);
            ASSERT_GE(share, previous) << "row " << row << " of " << height;
            ASSERT_LE(share, 199) << "row " << row << " of " << height;
            previous = share;
        }
    }
}

struct WidthCase {
    int32_t width;
    int32_t fontHeight;
    int32_t shadowOffset;
};

class HelpFontSize : public ::testing::TestWithParam<WidthCase> {};

TEST_P(HelpFontSize, FollowsTheClientWidth) {
    EXPECT_EQ(helpFontHeight(GetParam().width), GetParam().fontHeight);
    EXPECT_EQ(helpShadowOffset(GetParam().width), GetParam().shadowOffset);
}

INSTANTIATE_TEST_SUITE_P(Widths, HelpFontSize,
                         ::testing::Values(WidthCase{1280, -30, -3}, WidthCase{1920, -45, -4},
                                           WidthCase{800, -18, -1}, WidthCase{3840, -90, -9},
                                           WidthCase{426, -9, 0},  // no visible shadow below 427
                                           WidthCase{427, -10, -1}, WidthCase{42, 0, 0},
                                           WidthCase{43, -1, 0}, WidthCase{0, 0, 0},
                                           WidthCase{-1280, 0, 0},
                                           WidthCase{INT32_MAX, -50331647, -5033164}));

}  // namespace
