// The zoom window's keys, wheel, scroll codes and buttons, each checked against the window
// and against the settings file, which must be written exactly when the rules say.
#include <gtest/gtest.h>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/screen_pattern.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

// A value no write of the program produces: its disappearance shows that cx, cy and zoom
// were written.
const char kUnwritten[] = "12345";

class ZoomKeys : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(pattern_.waitUntilVisible());
        zoom_ = e2e::startAndMagnify(program_, 960, 540);
        ASSERT_NE(zoom_, nullptr);
    }

    // The zoom the program holds: Up then Down leave the size as it was and write all three.
    int heldZoom() {
        e2e::sendKeyDown(zoom_, VK_UP);
        e2e::sendKeyDown(zoom_, VK_DOWN);
        return program_.readSetting("zoom", -1);
    }
    void setZoom(int zoom) {
        if (zoom <= 9) {
            ASSERT_TRUE(e2e::sendKeyDown(zoom_, '0' + zoom));
            return;
        }
        ASSERT_TRUE(e2e::sendKeyDown(zoom_, '9'));
        for (int z = 9; z < zoom; ++z) {
            ASSERT_TRUE(e2e::sendKeyDown(zoom_, VK_ADD));
        }
    }
    void markSettingsUnwritten() { program_.writeSetting("cx", kUnwritten); }
    bool settingsWritten() const { return program_.readSettingText("cx") != kUnwritten; }

    e2e::ScreenPattern pattern_;
    Program program_;
    HWND zoom_ = nullptr;
};

struct ZoomInputCase {
    const char* name;
    int startZoom;
    UINT message;  // WM_KEYDOWN, WM_MOUSEWHEEL, WM_VSCROLL or WM_HSCROLL
    WPARAM wParam;
    int expectedZoom;
    bool written;
};

class ZoomInput : public ZoomKeys, public ::testing::WithParamInterface<ZoomInputCase> {};

TEST_P(ZoomInput, ChangesTheZoomAndWritesTheSettingsAsTheRulesSay) {
    const ZoomInputCase& c = GetParam();
    setZoom(c.startZoom);
    ASSERT_EQ(heldZoom(), c.startZoom);
    markSettingsUnwritten();
    ASSERT_TRUE(e2e::sendToWindow(zoom_, c.message, c.wParam, 0));
    EXPECT_EQ(settingsWritten(), c.written) << c.name;
    if (c.written) {
        EXPECT_EQ(program_.readSetting("zoom", -1), c.expectedZoom) << c.name;
        EXPECT_EQ(program_.readSettingText("cx"), "700");
    }
    EXPECT_EQ(heldZoom(), c.expectedZoom) << c.name;
    EXPECT_TRUE(IsWindowVisible(zoom_));
    // The view in blocks of the zoom, where the factor divides the view exactly (otherwise
    // the platform spreads the remainder over the view in its own way).
    const int sw = 700 / c.expectedZoom, sh = 300 / c.expectedZoom;
    if (sw * c.expectedZoom == 700 && sh * c.expectedZoom == 300) {
        std::string report;
        EXPECT_TRUE(e2e::waitForView(
            zoom_, e2e::screenView(960 - sw / 2, 540 - sh / 2, sw, sh, 700, 300), 3000, &report))
            << c.name << "\n"
            << report;
    }
}

WPARAM wheel(int delta) {
    return MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta)));
}

// One row for each way the window reaches a rule (the view_geometry tables hold the rules'
// arithmetic): a digit writes even when the zoom stays, the other inputs only when it changes.
INSTANTIATE_TEST_SUITE_P(
    Rows, ZoomInput,
    ::testing::Values(ZoomInputCase{"same digit again", 4, WM_KEYDOWN, '4', 4, true},
                      ZoomInputCase{"keypad plus", 15, WM_KEYDOWN, VK_ADD, 16, true},
                      ZoomInputCase{"keypad minus stops at 2", 2, WM_KEYDOWN, VK_SUBTRACT, 2,
                                    false},
                      ZoomInputCase{"wheel toward", 2, WM_MOUSEWHEEL, wheel(-120), 1, true},
                      ZoomInputCase{"wheel away at 16", 16, WM_MOUSEWHEEL, wheel(120), 16, false},
                      ZoomInputCase{"line up", 5, WM_VSCROLL, SB_LINEUP, 4, true},
                      ZoomInputCase{"line left at 1", 1, WM_HSCROLL, SB_LINELEFT, 1, false}));

TEST_F(ZoomKeys, ZoomKeysRepaintTheViewAtOnce) {
    ASSERT_TRUE(e2e::sendToWindow(zoom_, WM_MOUSEWHEEL, wheel(-120), 0));
    std::string report;
    // Zoom 1: the view shows the screen under it one to one.
    EXPECT_TRUE(
        e2e::waitForView(zoom_, e2e::screenView(610, 390, 700, 300, 700, 300), 3000, &report))
        << report;
    ASSERT_TRUE(e2e::sendToWindow(zoom_, WM_VSCROLL, SB_PAGEDOWN, 0));
    EXPECT_TRUE(
        e2e::waitForView(zoom_, e2e::screenView(785, 465, 350, 150, 700, 300), 3000, &report))
        << report;
}

struct ArrowCase {
    const char* name;
    const char* storedWidth;  // before the activation
    WPARAM key;
    bool shift;
    int expectedWidth;
    int expectedHeight;
};

class ArrowKeys : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(ArrowKeys, ChangeTheSizeWriteItAndTheWindowTakesItAtItsNextFollowStep) {
    const ArrowCase& c = GetParam();
    e2e::ScreenPattern pattern;
    ASSERT_TRUE(pattern.waitUntilVisible());
    Program program;
    program.writeSetting("cx", c.storedWidth);
    HWND zoom = e2e::startAndMagnify(program, 960, 540, atoi(c.storedWidth), 300);
    ASSERT_NE(zoom, nullptr);
    program.writeSetting("cx", kUnwritten);
    ASSERT_TRUE(e2e::waitForKeyboardFocus(zoom));

    // Real keys, through the focus the zoom window takes when shown.
    e2e::HeldKeys shift;
    if (c.shift) {
        shift.press(VK_SHIFT);
        e2e::pumpFor(100);
    }
    e2e::tapKey(static_cast<WORD>(c.key));
    shift.releaseAll();
    EXPECT_TRUE(e2e::waitUntil(
        [&] { return program.readSettingText("cx") == std::to_string(c.expectedWidth); }, 3000))
        << c.name << ": cx " << program.readSettingText("cx");
    EXPECT_EQ(program.readSetting("cy", -1), c.expectedHeight) << c.name;
    RECT expected = e2e::centredRect(960, 540, c.expectedWidth, c.expectedHeight);
    EXPECT_TRUE(
        e2e::waitUntil([&] { return e2e::sameRect(e2e::windowRect(zoom), expected); }, 3000))
        << c.name << ": " << e2e::describeRect(e2e::windowRect(zoom));
}

// The step each way (view_geometry's Arrow table holds the directions and the minimum), and
// the screen's own width as the top.
INSTANTIATE_TEST_SUITE_P(Keys, ArrowKeys,
                         ::testing::Values(ArrowCase{"right", "700", VK_RIGHT, false, 720, 300},
                                           ArrowCase{"shift up", "700", VK_UP, true, 700, 302},
                                           ArrowCase{"right at the screen width", "1920", VK_RIGHT,
                                                     false, 1920, 300}));

TEST_F(ZoomKeys, RealKeysReachTheZoomWindow) {
    ASSERT_TRUE(e2e::waitForKeyboardFocus(zoom_));
    e2e::tapKey('3');
    EXPECT_TRUE(e2e::waitUntil([&] { return program_.readSettingText("zoom") == "3"; }, 3000));
    e2e::tapKey(VK_ESCAPE);
    EXPECT_TRUE(e2e::waitForZoomWindowHidden(program_));
}

TEST_F(ZoomKeys, EscapeWhileHiddenChangesNothing) {
    ASSERT_TRUE(e2e::sendKeyDown(zoom_, VK_ESCAPE));
    ASSERT_TRUE(e2e::waitForZoomWindowHidden(program_));
    ASSERT_TRUE(e2e::sendKeyDown(zoom_, VK_ESCAPE));
    ASSERT_TRUE(e2e::sendToWindow(zoom_, WM_RBUTTONDOWN, 0, 0));
    EXPECT_TRUE(program_.running());
    EXPECT_FALSE(IsWindowVisible(zoom_));
    // And it comes back as usual.
    program_.postCommand(CMD_MAGNIFY);
    EXPECT_NE(e2e::waitForZoomWindowAt(program_, e2e::centredRect(960, 540, 700, 300)), nullptr);
}

TEST_F(ZoomKeys, F1HidesItAndShowsTheHelpWindow) {
    ASSERT_TRUE(e2e::postKeyDown(zoom_, VK_F1));
    ASSERT_TRUE(e2e::waitForZoomWindowHidden(program_));
    HWND main = program_.mainWindow();
    EXPECT_TRUE(e2e::waitUntil([&] { return IsWindowVisible(main) && IsZoomed(main); }, 3000));
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_FALSE(IsWindowVisible(zoom_));
}

TEST_F(ZoomKeys, HHidesItBeforeTheOwnerOpensTheHotkeyDialog) {
    ASSERT_TRUE(e2e::postKeyDown(zoom_, 'H'));
    ASSERT_TRUE(e2e::waitForZoomWindowHidden(program_));
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_FALSE(IsWindowVisible(zoom_));
}

TEST_F(ZoomKeys, RealWheelZooms) {
    ASSERT_TRUE(e2e::waitForKeyboardFocus(zoom_));
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = static_cast<DWORD>(WHEEL_DELTA);
    SendInput(1, &input, sizeof(input));
    EXPECT_TRUE(e2e::waitUntil([&] { return program_.readSettingText("zoom") == "3"; }, 3000));
}

TEST_F(ZoomKeys, AltF4OnTheZoomWindowDoesNothing) {
    ASSERT_TRUE(e2e::waitForKeyboardFocus(zoom_));
    e2e::HeldKeys alt;
    alt.press(VK_MENU);
    e2e::pumpFor(50);
    e2e::tapKey(VK_F4);
    alt.releaseAll();
    // Keys are handled in the order typed: once a zoom key typed after has taken effect, so
    // has Alt+F4.
    e2e::tapKey('5');
    ASSERT_TRUE(e2e::waitUntil([&] { return program_.readSettingText("zoom") == "5"; }, 5000));
    EXPECT_TRUE(IsWindow(zoom_));
    EXPECT_TRUE(IsWindowVisible(zoom_));
    EXPECT_TRUE(program_.running());
}

}  // namespace
