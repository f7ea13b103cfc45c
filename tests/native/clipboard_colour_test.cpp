#include "magnifier/colour_text.h"

#include <gtest/gtest.h>

namespace {

struct ColourCase {
    uint32_t colour;  // COLORREF layout: 0x00BBGGRR
    const char* text;
};

class FormatColour : public ::testing::TestWithParam<ColourCase> {};

TEST_P(FormatColour, WritesRedGreenBlueAsSixUppercaseDigits) {
    EXPECT_STREQ(formatColour(GetParam().colour).digits, GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Colours, FormatColour,
    ::testing::Values(ColourCase{0x008000FF, "FF0080"},  // red 255, green 0, blue 128
                      ColourCase{0x00CDAB12, "12ABCD"},  // red 18, green 171, blue 205
                      ColourCase{0x00000000, "000000"}, ColourCase{0x00FFFFFF, "FFFFFF"},
                      ColourCase{0x000000FF, "FF0000"}, ColourCase{0x0000FF00, "00FF00"},
                      ColourCase{0x00FF0000, "0000FF"},
                      ColourCase{0xFFFFFFFF, "FFFFFF"},    // CLR_INVALID, left of the snapshot
                      ColourCase{0x7F010203, "030201"}));  // the top byte is not a colour

}  // namespace
