#include <gtest/gtest.h>

#include <string>

#include "resources/commands.h"
#include "tests/support/e2e.h"
#include "tests/support/help_keys.h"
#include "tests/support/help_screen.h"

namespace {

using e2e::Program;

class HelpWindow : public ::testing::Test {
  protected:
    // Starts the program in the given language and shows the help page.
    void openHelp(const char* language) {
        program_.writeSetting("lng", language);
        ASSERT_TRUE(program_.start());
        main_ = program_.waitForMainWindow();
        ASSERT_NE(main_, nullptr);
        ASSERT_TRUE(program_.postCommand(CMD_HELP));
        ASSERT_TRUE(
            e2e::waitUntil([&] { return IsWindowVisible(main_) && IsZoomed(main_); }, 10000));
        ASSERT_TRUE(e2e::waitUntil([&] { return e2e::focusOfThreadOf(main_) == main_; }, 5000))
            << "the help window has the keyboard focus";
        ASSERT_TRUE(e2e::waitUntil([&] { return topRowPainted(); }, 10000));
        e2e::pumpFor(300);  // let the focus change settle before keys are held
    }
    bool topRowPainted() {
        RECT client = e2e::clientRectOnScreen(main_);
        RECT strip = {client.right - 10, client.top, client.right, client.top + 1};
        e2e::PixelGrid top = e2e::captureScreen(strip);
        return !top.empty() && top.at(5, 0) == RGB(0, 0, 200);
    }
    e2e::PixelGrid page() { return e2e::captureScreen(e2e::clientRectOnScreen(main_)); }
    // The text area of the page: from the top-left corner down to the middle.
    e2e::PixelGrid textArea() {
        RECT client = e2e::clientRectOnScreen(main_);
        client.bottom = client.top + (client.bottom - client.top) / 2;
        client.left = 200;  // clear of Wine's tray corner
        return e2e::captureScreen(client);
    }

    Program program_;
    HWND main_ = nullptr;
};

// The row colours themselves are help_layout's HelpGradient table; here the screen shows blue
// 200 turning into red row by row, every row filled.
TEST_F(HelpWindow, PaintsTheGradientRowByRowAndTheTextOverItsShadow) {
    ASSERT_NO_FATAL_FAILURE(openHelp("1"));
    RECT client = e2e::clientRectOnScreen(main_);
    e2e::PixelGrid picture = page();
    ASSERT_FALSE(picture.empty());
    const int width = picture.width;
    const int height = picture.height;
    EXPECT_EQ(picture.at(width - 1, 0), RGB(0, 0, 200));

    // Each row at a column clear of the text (left of x = 30 + d) and of Wine's tray corner.
    int checked = 0;
    int red = 0;
    for (int row = 0; row < height; ++row) {
        int x = 10;
        if (e2e::inTrayCorner(client.left + x, client.top + row)) {
            if (row >= 20) {
                continue;
            }
            x = width - 1;  // the first rows hold no text anywhere
        }
        const COLORREF colour = picture.at(x, row);
        ASSERT_EQ(GetGValue(colour), 0) << "row " << row << " of " << height;
        ASSERT_EQ(GetRValue(colour) + GetBValue(colour), 200) << "row " << row << " of " << height;
        ASSERT_GE(GetRValue(colour), red) << "row " << row << " of " << height;
        red = GetRValue(colour);
        ++checked;
    }
    EXPECT_GT(checked, height - 40);
    EXPECT_GE(red, 195) << "the last row is nearly red";

    // White text with its black shadow |d| pixels right of and below it, from (30, 30).
    const int d = 3 * width / 1280;
    e2e::ShadowedText text = e2e::readShadowedText(picture, d, [&](int x, int y) {
        return e2e::inTrayCorner(client.left + x, client.top + y) ||
               e2e::inTrayCorner(client.left + x - d, client.top + y - d);
    });
    EXPECT_EQ(text.strayShadows, 0) << "first at " << text.firstStray;
    EXPECT_GT(text.white, 1000);
    EXPECT_GT(text.black, 100);
    // Italic glyphs may reach a few pixels left of their origin.
    EXPECT_GE(text.left, 30 - d - 4);
    EXPECT_LE(text.left, 30 - d + 20);
    EXPECT_GE(text.top, 30 - d);
    EXPECT_LE(text.top, 30 - d + 3 * width / 128);
}

TEST_F(HelpWindow, LanguageKeysStoreTheLanguageAndRepaint) {
    ASSERT_NO_FATAL_FAILURE(openHelp("0"));
    e2e::PixelGrid german = textArea();

    ASSERT_TRUE(e2e::pressHeldKeys(main_, {'E'}, [&] {
        return program_.readSettingText("lng") == "1" && textArea() != german;
    })) << "E: English, stored and drawn";
    e2e::PixelGrid english = textArea();

    ASSERT_TRUE(e2e::pressHeldKeys(main_, {'D'}, [&] {
        return program_.readSettingText("lng") == "0" && textArea() == german;
    })) << "D: German again";

    // Both held: E is looked at first.
    ASSERT_TRUE(e2e::pressHeldKeys(main_, {'D', 'E'}, [&] {
        return program_.readSettingText("lng") == "1" && textArea() == english;
    }));

    // E again while English: stored again.
    program_.writeSetting("lng", "5");
    ASSERT_TRUE(
        e2e::pressHeldKeys(main_, {'E'}, [&] { return program_.readSettingText("lng") == "1"; }));
    EXPECT_TRUE(program_.running());
}

TEST_F(HelpWindow, THidesTheWindowAndTheProgramKeepsRunning) {
    ASSERT_NO_FATAL_FAILURE(openHelp("1"));
    ASSERT_TRUE(e2e::pressHeldKeys(main_, {'T'}, [&] { return !IsWindowVisible(main_); }));
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_TRUE(IsWindow(main_));
    // Help brings it back.
    ASSERT_TRUE(program_.postCommand(CMD_HELP));
    EXPECT_TRUE(e2e::waitUntil([&] { return IsWindowVisible(main_) && IsZoomed(main_); }, 10000));
}

TEST_F(HelpWindow, CloseBoxHidesAndNeverEnds) {
    ASSERT_NO_FATAL_FAILURE(openHelp("1"));
    ASSERT_TRUE(PostMessageA(main_, WM_SYSCOMMAND, SC_CLOSE, 0));
    ASSERT_TRUE(e2e::waitUntil([&] { return !IsWindowVisible(main_); }, 10000));
    ASSERT_TRUE(program_.handledAllPosted());
    EXPECT_TRUE(IsWindow(main_));
}

TEST_F(HelpWindow, HOpensTheHotkeyDialog) {
    ASSERT_NO_FATAL_FAILURE(openHelp("1"));
    HWND dialog = nullptr;
    ASSERT_TRUE(e2e::pressHeldKeys(main_, {'H'}, [&] {
        for (HWND window : e2e::topLevelWindowsOf(program_.processId())) {
            char caption[64] = {};
            GetWindowTextA(window, caption, sizeof(caption));
            if (std::string(caption) == "HotKey ;)" && IsWindowVisible(window)) {
                dialog = window;
                return true;
            }
        }
        return false;
    }));
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), main_);
    EXPECT_FALSE(IsWindowEnabled(main_)) << "the modal dialog disables its owner";
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    EXPECT_TRUE(e2e::waitUntil([&] { return !IsWindow(dialog); }, 10000));
    EXPECT_TRUE(e2e::waitUntil([&] { return IsWindowEnabled(main_) != 0; }, 5000));
    EXPECT_TRUE(IsWindowVisible(main_));
}

TEST_F(HelpWindow, EscEndsTheProgramWithCodeZeroAndWritesTheViewSettings) {
    program_.writeSetting("cx", "640");
    program_.writeSetting("zoom", "4");
    ASSERT_NO_FATAL_FAILURE(openHelp("1"));
    ASSERT_TRUE(e2e::pressHeldKeys(main_, {VK_ESCAPE}, [&] { return !program_.running(); }));
    DWORD code = 1234;
    ASSERT_TRUE(program_.waitForExit(10000, &code));
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(program_.readSettingText("cx"), "640");
    EXPECT_EQ(program_.readSettingText("cy"), "300");
    EXPECT_EQ(program_.readSettingText("zoom"), "4");
}

}  // namespace
