// The ways the zoom window is called up: the stored view settings it starts from, the
// Ctrl+key hotkey, a second start of the program and the tray icon.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/focus_watch.h"
#include "tests/support/gdiplus_files.h"
#include "tests/support/screen_pattern.h"
#include "tests/support/x_keys.h"
#include "tests/support/zoom_view.h"

namespace {

using e2e::Program;

struct StoredCase {
    const char* name;
    const char* cx;
    const char* cy;
    const char* zoom;
    int width, height, zoomWritten;
};

class StoredView : public ::testing::TestWithParam<StoredCase> {};

TEST_P(StoredView, IsClampedOnTheFirstActivationAndWrittenBack) {
    const StoredCase& c = GetParam();
    Program program;
    program.writeSetting("cx", c.cx);
    program.writeSetting("cy", c.cy);
    program.writeSetting("zoom", c.zoom);
    ASSERT_NE(e2e::startAndMagnify(program, 960, 540, c.width, c.height), nullptr) << c.name;
    // Stored once the window shows and has the foreground.
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            return program.readSetting("cx", -1) == c.width &&
                   program.readSetting("cy", -1) == c.height &&
                   program.readSetting("zoom", -1) == c.zoomWritten;
        },
        5000))
        << c.name << ": " << program.readSetting("cx", -1) << " x " << program.readSetting("cy", -1)
        << " zoom " << program.readSetting("zoom", -1);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, StoredView,
    ::testing::Values(StoredCase{"too narrow, too high", "50", "5000", "2", 100, 1080, 2},
                      StoredCase{"too wide", "99999", "300", "2", 1920, 300, 2},
                      StoredCase{"negative", "-700", "-1", "2", 100, 100, 2},
                      StoredCase{"zoom 0", "700", "300", "0", 700, 300, 2},
                      StoredCase{"zoom not a number", "700", "300", "abc", 700, 300, 2},
                      StoredCase{"zoom 40", "700", "300", "40", 700, 300, 16}));

// ---- the hotkey: Ctrl alone and a key registered, any other chord polled with Ctrl ----

struct HotkeyCase {
    const char* name;
    const char* useHotkey;
    const char* storedModifiers;  // what the hotkey dialog recorded
    WORD modifier;                // held with the key; 0 for the key alone
    bool shows;
    bool keyReachesForeground;  // the Z goes on to the application in the foreground
    bool heldElsewhere;         // another program registered Ctrl+Z first
};

class Hotkey : public ::testing::TestWithParam<HotkeyCase> {};

TEST_P(Hotkey, ShowsTheZoomWindowInTheForegroundOnlyForCtrlAndTheStoredKey) {
    const HotkeyCase& c = GetParam();
    if (c.heldElsewhere) {
        ASSERT_TRUE(RegisterHotKey(nullptr, 1, MOD_CONTROL, 'Z'));
    }
    Program program;
    program.storeHotkey(c.useHotkey, "90", c.storedModifiers);  // Z
    ASSERT_TRUE(e2e::moveCursorTo(800, 500));
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    e2e::FocusWatch watch;
    ASSERT_TRUE(watch.valid());
    {
        e2e::HeldKeys keys;
        keys.pressChord(c.modifier, 'Z');
        const RECT expected = e2e::centredRect(800, 500, 700, 300);
        if (c.shows) {
            HWND zoom = e2e::waitForZoomWindowAt(program, expected, 5000);
            EXPECT_NE(zoom, nullptr) << c.name;
            EXPECT_TRUE(e2e::waitUntil([&] { return GetForegroundWindow() == zoom; }, 3000));
        } else {
            // Input: the keys stay down over a few of the poll's 50 ms ticks (a registered
            // chord's WM_HOTKEY is posted as they go down); then whatever a tick or the
            // system posted is handled before the marker.
            e2e::pumpFor(200);
            ASSERT_TRUE(program.handledAllPosted());
            HWND zoom = program.zoomWindow();
            ASSERT_NE(zoom, nullptr);
            EXPECT_FALSE(IsWindowVisible(zoom)) << c.name;
        }
    }
    e2e::pumpFor(100);
    EXPECT_EQ(watch.receivedKey('Z'), c.keyReachesForeground) << c.name;
    if (c.heldElsewhere) {
        UnregisterHotKey(nullptr, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Hotkey,
    ::testing::Values(HotkeyCase{"ctrl and the key", "1", "2", VK_CONTROL, true, false, false},
                      HotkeyCase{"recorded as Ctrl+ext", "1", "10", VK_CONTROL, true, false, false},
                      HotkeyCase{"recorded as Alt+Z, triggered by Ctrl+Z", "1", "4", VK_CONTROL,
                                 true, true, false},
                      HotkeyCase{"Ctrl+Z held by another program", "1", "2", VK_CONTROL, true,
                                 false, true},
                      HotkeyCase{"the key alone", "1", "2", 0, false, true, false},
                      HotkeyCase{"alt and the key", "1", "4", VK_MENU, false, true, false},
                      HotkeyCase{"shift and the key", "1", "2", VK_SHIFT, false, true, false},
                      HotkeyCase{"hotkey off", "0", "2", VK_CONTROL, false, true, false}));

// ---- one press, one snapshot, never with the zoom window in it ----

// The program's copies of the whole screen so far: blits whose source is the screen's size, as
// Wine's trace describes the source ("log=0,0 1920x1080 phys=0,0 1920x1080 ...  dst").
size_t snapshotsIn(const std::string& tracePath) {
    const std::vector<uint8_t> bytes = e2e::readFileBytes(tracePath);
    const std::string text(bytes.begin(), bytes.end());
    const std::string w = std::to_string(GetSystemMetrics(SM_CXSCREEN));
    const std::string h = std::to_string(GetSystemMetrics(SM_CYSCREEN));
    const std::string copy = " log=0,0 " + w + "x" + h + " phys=0,0 " + w + "x" + h +
                             " vis=(0,0)-(" + w + "," + h + ")  dst";
    size_t copies = 0;
    for (size_t at = text.find(copy); at != std::string::npos; at = text.find(copy, at + 1)) {
        ++copies;
    }
    return copies;
}

// Ctrl+Z held as a keyboard holds it, also in the X server; after half a second the Z repeats.
void pressCtrlZ(DWORD holdMs) {
    {
        e2e::XHeldKeys xKeys("ctrl+z");
        e2e::HeldKeys keys;
        keys.pressChord(VK_CONTROL, 'Z');
        for (DWORD held = 0; held < holdMs; held += 40) {
            e2e::pumpFor(40);
            if (held >= 500) {
                e2e::keyDown('Z');
            }
        }
    }
    e2e::waitUntil([] { return (GetAsyncKeyState('Z') & 0x8000) == 0; }, 2000);
}

struct PressCase {
    const char* name;
    const char* storedModifiers;  // "2": Ctrl, registered; "4": Alt, polled as Ctrl
    DWORD holdMs;
};

class OnePress : public ::testing::TestWithParam<PressCase> {};

TEST_P(OnePress, IsOneSnapshotAndTheNextPressCopiesTheScreenWithoutTheZoomWindow) {
    const PressCase& c = GetParam();
    e2e::ScreenPattern pattern;
    ASSERT_TRUE(pattern.waitUntilVisible());
    // On the screen at the first press, gone by the second.
    auto patch = std::make_unique<e2e::ScreenPattern>(RECT{900, 500, 1020, 580}, RGB(9, 9, 9));
    ASSERT_TRUE(patch->waitUntilVisible());
    Program program;
    program.storeHotkey("1", "90", c.storedModifiers);  // Z
    const std::string trace = program.folder() + "\\blit-trace.txt";
    ASSERT_TRUE(program.startWithWineDebug("trace+bitblt", trace));
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    ASSERT_TRUE(e2e::moveCursorTo(960, 540));

    pressCtrlZ(c.holdMs);
    HWND zoom = e2e::waitForZoomWindowAt(program, e2e::centredRect(960, 540, 700, 300));
    ASSERT_NE(zoom, nullptr) << c.name;
    // Posted after all the press set off: once the window is taller, that has been handled.
    ASSERT_TRUE(e2e::postKeyDown(zoom, VK_UP));
    ASSERT_NE(e2e::waitForZoomWindowAt(program, e2e::centredRect(960, 540, 700, 320)), nullptr);
    EXPECT_EQ(snapshotsIn(trace), 1u) << c.name;

    patch.reset();
    pressCtrlZ(100);
    std::string report;
    EXPECT_TRUE(
        e2e::waitForView(zoom, e2e::screenView(785, 460, 350, 160, 700, 320), 5000, &report))
        << c.name << ": " << report;
    ASSERT_TRUE(e2e::postKeyDown(zoom, VK_DOWN));
    ASSERT_NE(e2e::waitForZoomWindowAt(program, e2e::centredRect(960, 540, 700, 300)), nullptr);
    EXPECT_EQ(snapshotsIn(trace), 2u) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Chords, OnePress,
                         ::testing::Values(PressCase{"registered, held 1 s", "2", 1000},
                                           PressCase{"registered, 100 ms", "2", 100},
                                           PressCase{"polled, held 1 s", "4", 1000},
                                           PressCase{"polled, 100 ms", "4", 100}));

// ---- other ways in ----

TEST(SecondStart, ShowsTheRunningInstancesZoomWindowAtTheCursor) {
    e2e::ScreenPattern pattern;
    ASSERT_TRUE(pattern.waitUntilVisible());
    Program first;
    ASSERT_TRUE(first.start());
    ASSERT_NE(first.waitForMainWindow(), nullptr);
    ASSERT_TRUE(e2e::moveCursorTo(700, 450));

    Program second;
    ASSERT_TRUE(second.start());
    DWORD code = 0;
    ASSERT_TRUE(second.waitForExit(20000, &code));
    EXPECT_EQ(code, static_cast<DWORD>(EXIT_CODE_SECOND_START));
    HWND zoom = e2e::waitForZoomWindowAt(first, e2e::centredRect(700, 450, 700, 300));
    ASSERT_NE(zoom, nullptr);
    std::string report;
    EXPECT_TRUE(
        e2e::waitForView(zoom, e2e::screenView(525, 375, 350, 150, 700, 300), 3000, &report))
        << report;
}

TEST(TrayIcon, LeftButtonShowsTheZoomWindow) {
    Program program;
    ASSERT_TRUE(e2e::moveCursorTo(1200, 700));
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    ASSERT_TRUE(program.postTrayNotify(WM_LBUTTONDOWN));
    EXPECT_NE(e2e::waitForZoomWindowAt(program, e2e::centredRect(1200, 700, 700, 300)), nullptr);
}

TEST(ZoomWindowLife, IsCreatedHiddenAndGoesWithTheMainWindow) {
    Program program;
    ASSERT_TRUE(program.start());
    ASSERT_NE(program.waitForMainWindow(), nullptr);
    // The main window is found while its creation still runs; the zoom window is made there.
    HWND zoom = nullptr;
    EXPECT_TRUE(e2e::waitUntil(
        [&] {
            zoom = program.zoomWindow();
            return zoom != nullptr && !IsWindowVisible(zoom) && e2e::isTopmost(zoom);
        },
        3000));
    ASSERT_NE(zoom, nullptr);
    LONG style = GetWindowLongA(zoom, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & WS_THICKFRAME);
    EXPECT_NE(style & WS_CAPTION, static_cast<LONG>(WS_CAPTION));
    DWORD code = 1;
    ASSERT_TRUE(program.exitByCommand(&code));
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(IsWindow(zoom));
}

}  // namespace
