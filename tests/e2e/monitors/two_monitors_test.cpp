// The zoom window across two monitors, a 1920 x 1080 primary one and a 1280 x 1024 one left of
// it: the virtual screen runs from x -1280 to 1920, and the snapshot's pixel (0, 0) is the
// screen's (-1280, 0). In a session with any other layout every case skips.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>

#include "resources/commands.h"
#include "tests/support/clipboard_access.h"
#include "tests/support/e2e.h"
#include "tests/support/monitor_layout.h"
#include "tests/support/screen_pattern.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

// The pattern over the whole virtual screen, and the program activated with the cursor at a
// point.
class TwoMonitors : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string mismatch = e2e::monitorLayoutMismatch();
        if (!mismatch.empty()) {
            GTEST_SKIP() << mismatch;
        }
        pattern_ = std::make_unique<e2e::ScreenPattern>(e2e::virtualScreenRect());
        ASSERT_TRUE(pattern_->waitUntilVisible()) << "the test pattern did not appear";
    }

    HWND showZoomAt(POINT cursor, int width, int height) {
        if (!e2e::moveCursorTo(cursor.x, cursor.y)) {
            ADD_FAILURE() << "cursor did not reach " << cursor.x << "," << cursor.y;
            return nullptr;
        }
        if (!program_.running() && (!program_.start() || !program_.waitForMainWindow())) {
            ADD_FAILURE() << "program did not start";
            return nullptr;
        }
        program_.postCommand(CMD_MAGNIFY);
        const RECT expected = e2e::centredRect(cursor.x, cursor.y, width, height);
        HWND zoom = e2e::waitForZoomWindowAt(program_, expected);
        if (zoom == nullptr) {
            HWND found = program_.zoomWindow();
            ADD_FAILURE() << "zoom window not centred at " << e2e::describeRect(expected)
                          << "; it stands at "
                          << (found ? e2e::describeRect(e2e::windowRect(found)) : "nowhere");
        }
        return zoom;
    }

    std::unique_ptr<e2e::ScreenPattern> pattern_;
    Program program_;
};

struct ViewCase {
    const char* name;
    POINT cursor;
    const char *storedWidth, *storedHeight, *storedZoom;
    int width, height;  // the window after the clamp, as written back
    int srcX, srcY, srcWidth, srcHeight, destWidth, destHeight;  // in snapshot pixels
    bool checkedMoved;  // parts of the view lie off the screen: seen once more with the window
    POINT place;        // at place
};

void PrintTo(const ViewCase& c, std::ostream* out) {
    *out << c.name;
}

class TwoMonitorView : public TwoMonitors, public ::testing::WithParamInterface<ViewCase> {};

TEST_P(TwoMonitorView, IsCentredOnTheCursorAndShowsTheVirtualScreenMagnified) {
    const ViewCase& c = GetParam();
    program_.writeSetting("cx", c.storedWidth);
    program_.writeSetting("cy", c.storedHeight);
    program_.writeSetting("zoom", c.storedZoom);
    HWND zoom = showZoomAt(c.cursor, c.width, c.height);
    ASSERT_NE(zoom, nullptr);
    // The clamped size is stored once the window shows and has the foreground.
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            return program_.readSetting("cx", -1) == c.width &&
                   program_.readSetting("cy", -1) == c.height;
        },
        5000))
        << program_.readSetting("cx", -1) << " x " << program_.readSetting("cy", -1);
    const e2e::ExpectedView view =
        e2e::virtualScreenView(c.srcX, c.srcY, c.srcWidth, c.srcHeight, c.destWidth, c.destHeight);
    std::string report;
    EXPECT_TRUE(e2e::waitForView(zoom, view, 5000, &report)) << report;
    if (c.checkedMoved) {
        EXPECT_TRUE(e2e::viewMatchesWhenMovedTo(zoom, c.place, view, &report)) << report;
    }
}

// One row a line, as the table it is.
// clang-format off
INSTANTIATE_TEST_SUITE_P(
    Places, TwoMonitorView,
    ::testing::Values(
        // Snapshot position (640, 512); 175 x 75 source pixels in 4 x 4 blocks.
        ViewCase{"left_monitor", {-640, 512}, "700", "300", "4", 700, 300,
                 553, 475, 175, 75, 700, 300, false, {}},
        // Snapshot x 10: source columns -165..-1 lie beyond the virtual screen's left edge,
        // the left 330 view columns are neutral, all of them off the screen while centred.
        ViewCase{"virtual_screens_left_edge", {-1270, 500}, "700", "300", "2", 700, 300,
                 -165, 425, 350, 150, 700, 300, true, {-1200, 300}},
        // Snapshot x 3180: cut at the snapshot's right edge, the primary monitor's, 3200
        // columns from its left edge.
        ViewCase{"primarys_right_edge", {1900, 540}, "700", "300", "2", 700, 300,
                 3005, 465, 194, 150, 388, 300, true, {1000, 300}},
        // Clamped to the virtual screen, wider than either monitor and as high as the primary
        // one; at zoom 1 it shows the whole snapshot but its last column and row.
        ViewCase{"clamped_to_the_virtual_screen", {320, 540}, "99999", "5000", "1", 3200, 1080,
                 0, 0, 3199, 1079, 3199, 1079, false, {}}),
    [](const ::testing::TestParamInfo<ViewCase>& param) { return std::string(param.param.name); });
// clang-format on

std::string hexOf(COLORREF colour) {
    char text[8];
    snprintf(text, sizeof(text), "%02X%02X%02X", GetRValue(colour), GetGValue(colour),
             GetBValue(colour));
    return text;
}

TEST_F(TwoMonitors, PCopiesTheSnapshotPixelLeftOfAndAboveTheCursor) {
    HWND zoom = showZoomAt(POINT{-640, 512}, 700, 300);
    ASSERT_NE(zoom, nullptr);
    const struct {
        POINT cursor;
        std::string text;
    } rows[] = {
        {{-640, 512}, hexOf(e2e::patternColour(-641, 511))},
        // On the primary monitor's left edge the pixel lies on the left monitor.
        {{0, 300}, hexOf(e2e::patternColour(-1, 299))},
        // Left of the virtual screen there is no pixel.
        {{-1280, 700}, "FFFFFF"},
    };
    for (const auto& row : rows) {
        ASSERT_TRUE(e2e::moveCursorTo(row.cursor.x, row.cursor.y));
        ASSERT_TRUE(e2e::placeClipboardText("before"));
        ASSERT_TRUE(e2e::sendKeyDown(zoom, 'P'));
        EXPECT_EQ(e2e::clipboardText().text, row.text) << row.cursor.x << "," << row.cursor.y;
    }
}

}  // namespace
