// The zoom window seen from outside: placement, and the view read back pixel by pixel from
// the screen against a pattern whose colours name their own coordinates.
#include <gtest/gtest.h>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/screen_pattern.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::ExpectedView;
using e2e::Program;
using e2e::screenView;

class ZoomWindow : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pattern_.waitUntilVisible()) << "the test pattern did not appear";
    }

    // Starts the program and activates it with the cursor at (x, y); the zoom window once it
    // stands centred there at width x height.
    HWND activateAt(int x, int y, int width = 700, int height = 300) {
        if (!e2e::moveCursorTo(x, y)) {
            ADD_FAILURE() << "cursor did not reach " << x << "," << y;
            return nullptr;
        }
        if (!program_.running()) {
            if (!program_.start() || program_.waitForMainWindow() == nullptr) {
                ADD_FAILURE() << "program did not start";
                return nullptr;
            }
        }
        program_.postCommand(CMD_MAGNIFY);
        RECT expected = e2e::centredRect(x, y, width, height);
        HWND zoom = e2e::waitForZoomWindowAt(program_, expected);
        if (zoom == nullptr) {
            HWND found = program_.zoomWindow();
            ADD_FAILURE() << "zoom window not shown at " << e2e::describeRect(expected)
                          << "; it stands at "
                          << (found ? e2e::describeRect(e2e::windowRect(found)) : "nowhere")
                          << (found && IsWindowVisible(found) ? " (visible)" : " (hidden)");
        }
        return zoom;
    }

    void expectView(HWND zoom, const ExpectedView& view) {
        std::string report;
        EXPECT_TRUE(e2e::waitForView(zoom, view, 5000, &report)) << report;
    }

    e2e::ScreenPattern pattern_;
    Program program_;
};

TEST_F(ZoomWindow, ShowsTheViewCentredOnTheCursorInZoomSizedBlocks) {
    HWND zoom = activateAt(960, 540);
    ASSERT_NE(zoom, nullptr);
    EXPECT_TRUE(e2e::isTopmost(zoom));
    EXPECT_EQ(GetWindow(zoom, GW_OWNER), program_.mainWindow());
    char className[64] = {};
    GetClassNameA(zoom, className, sizeof(className));
    EXPECT_STREQ(className, "WIN_VSTR_123");
    // Zoom 2: 350 x 150 source pixels around the cursor, each a 2 x 2 block.
    expectView(zoom, screenView(785, 465, 350, 150, 700, 300));
    // Every activation writes the view settings.
    EXPECT_EQ(program_.readSettingText("cx"), "700");
    EXPECT_EQ(program_.readSettingText("cy"), "300");
    EXPECT_EQ(program_.readSettingText("zoom"), "2");
}

TEST_F(ZoomWindow, AZoomKeyChangesTheBlockSize) {
    HWND zoom = activateAt(960, 540);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::sendKeyDown(zoom, '4'));
    expectView(zoom, screenView(873, 503, 175, 75, 700, 300));
    EXPECT_EQ(program_.readSettingText("zoom"), "4");
    ASSERT_TRUE(e2e::sendKeyDown(zoom, '5'));
    expectView(zoom, screenView(890, 510, 140, 60, 700, 300));
    ASSERT_TRUE(e2e::sendKeyDown(zoom, '1'));
    expectView(zoom, screenView(610, 390, 700, 300, 700, 300));
    EXPECT_EQ(program_.readSettingText("zoom"), "1");
}

TEST_F(ZoomWindow, StoredZoomIsUsedFromTheStart) {
    program_.writeSetting("zoom", "10");
    program_.writeSetting("cx", "500");
    program_.writeSetting("cy", "200");
    HWND zoom = activateAt(800, 600, 500, 200);
    ASSERT_NE(zoom, nullptr);
    // 50 x 20 source pixels, 10 x 10 blocks.
    expectView(zoom, screenView(775, 590, 50, 20, 500, 200));
}

// Near the right and bottom edges the source is cut at the snapshot's edge and the view
// shrinks by whole blocks; the margin beyond lies off the screen while the window is centred,
// so it is checked with the window moved into sight.
TEST_F(ZoomWindow, RightAndBottomEdgesCutTheSourceAndLeaveANeutralMargin) {
    const int right = GetSystemMetrics(SM_CXSCREEN);
    const int bottom = GetSystemMetrics(SM_CYSCREEN);
    HWND zoom = activateAt(right - 20, bottom - 10);
    ASSERT_NE(zoom, nullptr);
    // sw 350, hw 175: srcWidth = 20 + 350 - 175 - 1 = 194, destWidth = 700 - 2 * 156 = 388;
    // sh 150, hh 75: srcHeight = 10 + 150 - 75 - 1 = 84, destHeight = 300 - 2 * 66 = 168.
    ExpectedView view = screenView(right - 195, bottom - 85, 194, 84, 388, 168);
    expectView(zoom, view);
    std::string report;
    EXPECT_TRUE(e2e::viewMatchesWhenMovedTo(zoom, POINT{300, 300}, view, &report)) << report;
}

TEST_F(ZoomWindow, LeftAndTopEdgesShowNeutralWhereTheSourceLiesOutsideTheSnapshot) {
    HWND zoom = activateAt(0, 540);
    ASSERT_NE(zoom, nullptr);
    // Source columns -175..-1 are outside: the left 350 view columns are neutral; the few of
    // them inside the window's frame-free part on the screen show it already.
    ExpectedView view = screenView(-175, 465, 350, 150, 700, 300);
    expectView(zoom, view);
    std::string report;
    EXPECT_TRUE(e2e::viewMatchesWhenMovedTo(zoom, POINT{400, 400}, view, &report)) << report;

    ASSERT_TRUE(e2e::sendKeyDown(zoom, VK_ESCAPE));
    ASSERT_TRUE(e2e::waitForZoomWindowHidden(program_));
    zoom = activateAt(960, 0);
    ASSERT_NE(zoom, nullptr);
    view = screenView(785, -75, 350, 150, 700, 300);
    expectView(zoom, view);
    EXPECT_TRUE(e2e::viewMatchesWhenMovedTo(zoom, POINT{400, 400}, view, &report)) << report;
}

TEST_F(ZoomWindow, FollowsTheCursor) {
    HWND zoom = activateAt(960, 540);
    ASSERT_NE(zoom, nullptr);
    ASSERT_TRUE(e2e::moveCursorTo(1000, 600));
    RECT moved = e2e::centredRect(1000, 600, 700, 300);
    EXPECT_TRUE(e2e::waitUntil([&] { return e2e::sameRect(e2e::windowRect(zoom), moved); }, 3000))
        << e2e::describeRect(e2e::windowRect(zoom));
    expectView(zoom, screenView(825, 525, 350, 150, 700, 300));
}

TEST_F(ZoomWindow, ActivationWhileShownKeepsItShownWithAFreshSnapshot) {
    HWND zoom = activateAt(960, 540);
    ASSERT_NE(zoom, nullptr);
    expectView(zoom, screenView(785, 465, 350, 150, 700, 300));
    // New content over the region the view shows (on top of the zoom window, as it comes
    // later); view (230, 80) shows source (900, 505) and lies itself outside the patch.
    const COLORREF patchColour = RGB(0x21, 0x43, 0xE5);
    e2e::ScreenPattern patch(RECT{900, 500, 1020, 580}, patchColour);
    ASSERT_TRUE(patch.waitUntilVisible());
    RECT client = e2e::clientRectOnScreen(zoom);
    const int probeX = client.left + 230, probeY = client.top + 80;
    ASSERT_LT(probeX, 900);
    e2e::pumpFor(300);  // follow steps repaint from the old snapshot
    EXPECT_EQ(e2e::screenPixel(probeX, probeY), e2e::patternColour(900, 505));

    program_.postCommand(CMD_MAGNIFY);
    EXPECT_TRUE(e2e::waitForScreenPixel(probeX, probeY, patchColour, 3000));
    EXPECT_TRUE(IsWindowVisible(zoom));
    EXPECT_EQ(program_.zoomWindow(), zoom);
    EXPECT_TRUE(e2e::sameRect(e2e::windowRect(zoom), e2e::centredRect(960, 540, 700, 300)));
}

TEST_F(ZoomWindow, EscapeAndMouseButtonsHideItAndTheNextActivationShowsTheScreenAsItIsThen) {
    HWND zoom = activateAt(960, 540);
    ASSERT_NE(zoom, nullptr);
    expectView(zoom, screenView(785, 465, 350, 150, 700, 300));
    ASSERT_TRUE(e2e::sendKeyDown(zoom, VK_ESCAPE));
    ASSERT_TRUE(e2e::waitForZoomWindowHidden(program_));

    ASSERT_NE(activateAt(960, 540), nullptr);
    e2e::clickLeft();
    ASSERT_TRUE(e2e::waitForZoomWindowHidden(program_));

    // Something new on the screen: a patch over the middle of the region the view shows.
    const RECT patchArea = {900, 500, 1020, 580};
    const COLORREF patchColour = RGB(0x12, 0xEE, 0x34);
    e2e::ScreenPattern patch(patchArea, patchColour);
    ASSERT_TRUE(patch.waitUntilVisible());
    zoom = activateAt(960, 540);
    ASSERT_NE(zoom, nullptr);
    // View (230, 80) shows source (900, 505), inside the patch.
    RECT client = e2e::clientRectOnScreen(zoom);
    EXPECT_TRUE(e2e::waitForScreenPixel(client.left + 230, client.top + 80, patchColour, 3000));
    e2e::clickRight();
    ASSERT_TRUE(e2e::waitForZoomWindowHidden(program_));
}

TEST_F(ZoomWindow, ButtonOnTheFrameDoesNotHideIt) {
    HWND zoom = activateAt(960, 540);
    ASSERT_NE(zoom, nullptr);
    // A non-client button press goes to the default procedure only.
    ASSERT_TRUE(e2e::sendToWindow(zoom, WM_NCLBUTTONDOWN, HTBORDER, MAKELPARAM(611, 391)));
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_TRUE(IsWindowVisible(zoom));
}

}  // namespace
