#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/zoom_view.h"
#include "tests/support/tray.h"

namespace {

using e2e::Program;

// The popup's entries as the keyboard reaches them from a fresh menu: Down starts at the
// first, Up at the last; separators are skipped.
const int kDownToHelp = 1;
const int kDownToExit = 2;
const int kDownToAutostart = 3;
const int kUpToAppended = 1;
const int kUpToMagnify = 2;

class TrayMenuOfProgram : public ::testing::Test {
  protected:
    void SetUp() override {
        e2e::deleteRunValue("Vistrel");
        ASSERT_TRUE(program_.start());
        main_ = program_.waitForMainWindow();
        ASSERT_NE(main_, nullptr);
    }
    HWND menu() const { return e2e::visiblePopupMenuOf(program_.processId()); }
    void openMenu() {
        ASSERT_TRUE(program_.postTrayNotify(WM_RBUTTONDOWN));
        ASSERT_TRUE(e2e::waitUntil([&] { return menu() != nullptr; }, 5000));
    }
    bool menuClosed() {
        return e2e::waitUntil([&] { return menu() == nullptr; }, 5000);
    }
    // Opens the menu, moves through it with the arrow key and presses Return.
    void choose(WORD arrow, int steps) {
        openMenu();
        for (int i = 0; i < steps; ++i) {
            e2e::tapKey(arrow);
            e2e::pumpFor(50);
        }
        e2e::tapKey(VK_RETURN);
        EXPECT_TRUE(menuClosed());
    }
    // The program is idle in the tray: nothing shown, icon in place, still running.
    void expectNothingHappened() {
        ASSERT_TRUE(program_.handledAllPosted());
        EXPECT_FALSE(e2e::hasVisibleWindow(program_.processId()));
        EXPECT_TRUE(e2e::trayIconPresent(main_, TRAY_ICON_ID));
        EXPECT_FALSE(e2e::readRunValue("Vistrel").present);
    }
    e2e::RunValueGuard runValue_{"Vistrel"};
    Program program_;
    HWND main_ = nullptr;
};

TEST_F(TrayMenuOfProgram, RightButtonOpensItAndEscapeClosesItWithoutEffect) {
    for (int round = 0; round < 3; ++round) {
        openMenu();
        e2e::tapKey(VK_ESCAPE);
        EXPECT_TRUE(menuClosed()) << round;
    }
    expectNothingHappened();
}

TEST_F(TrayMenuOfProgram, HelpShowsTheMainWindowMaximised) {
    choose(VK_DOWN, kDownToHelp);
    EXPECT_TRUE(e2e::waitUntil([&] { return IsWindowVisible(main_) != 0; }, 5000));
    EXPECT_TRUE(IsZoomed(main_));
    EXPECT_TRUE(program_.running());
}

TEST_F(TrayMenuOfProgram, TheAppendedLastEntryDoesNothing) {
    choose(VK_UP, kUpToAppended);
    expectNothingHappened();
}

TEST_F(TrayMenuOfProgram, ExitEndsTheProgramWithCodeZero) {
    choose(VK_DOWN, kDownToExit);
    DWORD code = 1;
    ASSERT_TRUE(program_.waitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
}

TEST_F(TrayMenuOfProgram, StartWithWindowsWritesTheEntryAndChosenAgainDeletesIt) {
    choose(VK_DOWN, kDownToAutostart);
    std::string command = "\"" + program_.exePath() + "\" -bg";
    ASSERT_TRUE(e2e::waitUntil([] { return e2e::readRunValue("Vistrel").present; }, 5000));
    e2e::RegistryValue value = e2e::readRunValue("Vistrel");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.text(), command);

    choose(VK_DOWN, kDownToAutostart);
    EXPECT_TRUE(e2e::waitUntil([] { return !e2e::readRunValue("Vistrel").present; }, 5000));
    EXPECT_TRUE(program_.running());
}

TEST_F(TrayMenuOfProgram, TheProgramsNameEntryMagnifies) {
    choose(VK_UP, kUpToMagnify);
    EXPECT_NE(e2e::waitForZoomWindowShown(program_, 5000), nullptr);
}

}  // namespace
