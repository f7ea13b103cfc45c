// Keys P, C and B of the zoom window against a known picture on the screen: the clipboard
// text and bitmap as another program reads them, and the clipboard left alone while another
// program holds it.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "tests/support/clipboard_access.h"
#include "tests/support/e2e.h"
#include "tests/support/gdi_counter.h"
#include "tests/support/screen_pattern.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

std::string hexOf(COLORREF colour) {
    char text[8];
    snprintf(text, sizeof(text), "%02X%02X%02X", GetRValue(colour), GetGValue(colour),
             GetBValue(colour));
    return text;
}

// The zoom window shown at the cursor over the full-screen pattern (view 700 x 300, zoom 2).
class ClipboardExport : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(pattern_.waitUntilVisible()); }

    void showZoomAt(int x, int y) {
        zoom_ = e2e::startAndMagnify(program_, x, y);
        ASSERT_NE(zoom_, nullptr);
    }

    // The bitmap on the clipboard, read as another program reads it.
    e2e::PixelGrid clipboardBitmap() {
        HBITMAP copy = e2e::copyClipboardBitmap();
        e2e::PixelGrid grid = e2e::gridFromBitmap(copy);
        if (copy != nullptr) {
            DeleteObject(copy);
        }
        return grid;
    }

    e2e::ScreenPattern pattern_;
    Program program_;
    HWND zoom_ = nullptr;
};

TEST_F(ClipboardExport, PAndCCopyTheSnapshotPixelLeftOfAndAboveTheCursor) {
    showZoomAt(960, 540);
    // The window follows the cursor; the colour still comes from the snapshot beneath it.
    const POINT points[] = {{960, 540}, {700, 610}, {1500, 300}, {1919, 1079}, {300, 900}};
    for (POINT p : points) {
        ASSERT_TRUE(e2e::moveCursorTo(p.x, p.y));
        for (WPARAM key : {'P', 'C'}) {
            ASSERT_TRUE(e2e::placeClipboardText("before"));
            ASSERT_TRUE(e2e::sendKeyDown(zoom_, key));
            e2e::ClipboardTextBlock text = e2e::clipboardText();
            EXPECT_EQ(text.text, hexOf(e2e::patternColour(p.x - 1, p.y - 1)))
                << p.x << "," << p.y << " key " << static_cast<char>(key);
            EXPECT_EQ(text.blockSize, 7u);
            EXPECT_EQ(GetClipboardOwner(), zoom_);  // a clipboard without owner may refuse
        }
    }
    EXPECT_TRUE(IsWindowVisible(zoom_));  // neither export hides the window
}

TEST_F(ClipboardExport, KnownColourGivesItsSixDigits) {
    e2e::ScreenPattern patch(RECT{400, 400, 480, 480}, RGB(255, 0, 128));
    ASSERT_TRUE(patch.waitUntilVisible());
    showZoomAt(440, 440);
    ASSERT_TRUE(e2e::sendKeyDown(zoom_, 'P'));
    EXPECT_EQ(e2e::clipboardText().text, "FF0080");
}

TEST_F(ClipboardExport, CursorAtTheScreensTopLeftGivesWhite) {
    showZoomAt(0, 0);
    ASSERT_TRUE(e2e::placeClipboardText("before"));
    ASSERT_TRUE(e2e::sendKeyDown(zoom_, 'C'));
    e2e::ClipboardTextBlock text = e2e::clipboardText();
    EXPECT_EQ(text.text, "FFFFFF");
    EXPECT_EQ(text.blockSize, 7u);
}

TEST_F(ClipboardExport, HeldClipboardKeepsItsContentForEveryKey) {
    showZoomAt(960, 540);
    for (WPARAM key : {'P', 'C', 'B'}) {
        ASSERT_TRUE(e2e::placeClipboardText("held content"));
        {
            e2e::ClipboardHolder holder;
            ASSERT_TRUE(holder.holding());
            ASSERT_TRUE(e2e::sendKeyDown(zoom_, key));
        }
        EXPECT_EQ(e2e::clipboardText().text, "held content") << static_cast<char>(key);
        EXPECT_TRUE(program_.running());
    }
}

// A clipboard manager's moment: the holder lets go after 40 ms, while the key is handled.
TEST_F(ClipboardExport, ClipboardHeldForAMomentTakesEveryExport) {
    showZoomAt(960, 540);
    for (WPARAM key : {'P', 'C', 'B'}) {
        ASSERT_TRUE(e2e::placeClipboardText("held content"));
        {
            e2e::ClipboardHolder holder(40);
            ASSERT_TRUE(holder.holding());
            ASSERT_TRUE(e2e::sendKeyDown(zoom_, key));
        }
        if (key == 'B') {
            EXPECT_EQ(clipboardBitmap().width, 700);
        } else {
            EXPECT_EQ(e2e::clipboardText().text, hexOf(e2e::patternColour(959, 539)))
                << static_cast<char>(key);
        }
    }
}

struct BitmapCase {
    const char* name;
    POINT cursor;
    int srcX, srcY, srcWidth, srcHeight, destWidth, destHeight;
};

class ClipboardBitmap : public ClipboardExport, public ::testing::WithParamInterface<BitmapCase> {};

TEST_P(ClipboardBitmap, HoldsTheWholeViewAtTheWindowsOuterSize) {
    const BitmapCase& c = GetParam();
    showZoomAt(c.cursor.x, c.cursor.y);
    ASSERT_TRUE(e2e::placeClipboardText("before"));
    ASSERT_TRUE(e2e::sendKeyDown(zoom_, 'B'));
    e2e::PixelGrid bitmap = clipboardBitmap();
    ASSERT_EQ(bitmap.width, 700) << c.name;
    ASSERT_EQ(bitmap.height, 300) << c.name;
    std::string report;
    e2e::ExpectedView view =
        e2e::screenView(c.srcX, c.srcY, c.srcWidth, c.srcHeight, c.destWidth, c.destHeight);
    EXPECT_EQ(e2e::compareViewWithPattern(bitmap, 0, 0, view, &report), 0) << c.name << "\n"
                                                                           << report;
    EXPECT_FALSE(e2e::clipboardText().text == "before") << "the text is gone";
    EXPECT_EQ(GetClipboardOwner(), zoom_);
    EXPECT_TRUE(IsWindowVisible(zoom_));
}

INSTANTIATE_TEST_SUITE_P(
    Places, ClipboardBitmap,
    ::testing::Values(
        // Away from the edges: the frame hides the view's right and bottom margins on the
        // screen, the bitmap has them.
        BitmapCase{"middle", {960, 540}, 785, 465, 350, 150, 700, 300},
        // Cut at the right and bottom: neutral margins beyond the shrunken stretch.
        BitmapCase{"bottom right", {1800, 1050}, 1625, 975, 294, 104, 588, 208},
        // Source beyond the left and top edges: neutral where the snapshot has no pixel.
        BitmapCase{"top left", {300, 60}, 125, -15, 350, 150, 700, 300}),
    [](const ::testing::TestParamInfo<BitmapCase>& param) {
        std::string name = param.param.name;
        for (char& ch : name) {
            if (ch == ' ') {
                ch = '_';
            }
        }
        return name;
    });

TEST(ClipboardExportGdi, ManyExportsLeaveTheCountWhereItWas) {
    e2e::GdiCounter counter;
    Program program;
    ASSERT_TRUE(counter.start(program));
    HWND zoom = e2e::magnifyNow(program);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::sendKeyDown(zoom, 'B'));
    const long afterFirst = counter.settledCount();
    ASSERT_GT(afterFirst, 0);
    const int presses = e2e::soakOr(5, 200);
    for (int i = 1; i < presses; ++i) {
        ASSERT_TRUE(e2e::sendKeyDown(zoom, 'B'));
    }
    EXPECT_EQ(counter.settledCount(), afterFirst) << "after B presses";
    // The first text empties the clipboard, which deletes the last bitmap placed there.
    ASSERT_TRUE(e2e::sendKeyDown(zoom, 'P'));
    const long afterFirstText = counter.settledCount();
    EXPECT_EQ(afterFirstText, afterFirst - 1);
    for (int i = 1; i < e2e::soakOr(5, 50); ++i) {
        ASSERT_TRUE(e2e::sendKeyDown(zoom, i % 2 ? 'C' : 'P'));
    }
    EXPECT_EQ(counter.settledCount(), afterFirstText) << "after P and C presses";
}

}  // namespace
