#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>

#include "magnifier/clipboard_export.h"
#include "magnifier/magnifier_window.h"
#include "tests/support/clipboard_access.h"
#include "tests/support/e2e.h"
#include "tests/support/gdiplus_files.h"

namespace {

using e2e::ClipboardHolder;

void placeText(const char* text) {
    ASSERT_TRUE(e2e::placeClipboardText(text));
}

e2e::ClipboardTextBlock readText() {
    return e2e::clipboardText();
}

// Windows refuses SetClipboardData on a clipboard opened without an owner window.
HWND owner() {
    static HWND window = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 1, 1, nullptr,
                                         nullptr, nullptr, nullptr);
    return window;
}

TEST(ClipboardText, PutsTheTextAndItsNulInABlockOfExactlyThatSize) {
    placeText("previous");
    copyTextToClipboard(owner(), "FF0080");
    e2e::ClipboardTextBlock now = readText();
    ASSERT_TRUE(now.present);
    EXPECT_EQ(now.text, "FF0080");
    EXPECT_EQ(now.blockSize, 7u);
}

TEST(ClipboardText, CarriesLongTextWhole) {
    std::string longText(5000, 'x');
    longText[4999] = 'y';
    copyTextToClipboard(owner(), longText.c_str());
    EXPECT_EQ(readText().text, longText);
}

TEST(ClipboardText, NullOrEmptyTextLeavesTheClipboardAlone) {
    placeText("keep me");
    copyTextToClipboard(owner(), nullptr);
    EXPECT_EQ(readText().text, "keep me");
    copyTextToClipboard(owner(), "");
    EXPECT_EQ(readText().text, "keep me");
}

TEST(ClipboardText, HeldClipboardKeepsItsContent) {
    placeText("held content");
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.holding());
        copyTextToClipboard(owner(), "ABCDEF");
    }
    EXPECT_EQ(readText().text, "held content");
}

// Key B without a window to measure, or without a snapshot to draw: nothing replaces the
// content.
TEST(ClipboardBitmap, ViewThatCannotBeDrawnLeavesTheClipboardAlone) {
    Magnifier zoom(ViewSettings{600, 150, 2}, ThumbnailLoaders{});
    for (bool created : {false, true}) {
        HWND window = created ? zoom.create(owner()) : nullptr;
        ASSERT_EQ(window != nullptr, created);
        placeText("previous");
        zoom.handleMessage(WM_KEYDOWN, 'B', 0);
        EXPECT_EQ(readText().text, "previous") << created;
        if (window != nullptr) {
            DestroyWindow(window);
        }
    }
}

// Key P over a snapshot of the test's own making, taken of a screen at (100, 200).
class PixelColour : public ::testing::Test {
  protected:
    void SetUp() override {
        e2e::PixelGrid picture(64, 48, 0xFF000000u);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                picture.set(x, y, 0xFF000000u | (x * 4u) << 16 | (y * 5u) << 8 | 0x80u);
            }
        }
        picture.set(9, 19, 0xFFFF0080u);  // red 255, green 0, blue 128
        picture.set(30, 40, 0xFF12ABCDu);
        zoom_.emplace(ViewSettings{600, 150, 2}, UniqueBitmap(e2e::makeBitmap(picture)),
                      PixelRect{100, 200, 164, 248});
        window_ = zoom_->create(owner());
        ASSERT_NE(window_, nullptr);
    }
    void TearDown() override { DestroyWindow(window_); }
    void pressP() { zoom_->handleMessage(WM_KEYDOWN, 'P', 0); }
    static bool moveCursor(int x, int y) {
        SetCursorPos(x, y);
        return e2e::waitUntil(
            [&] {
                POINT p = {};
                GetCursorPos(&p);
                return p.x == x && p.y == y;
            },
            3000);
    }
    std::optional<Magnifier> zoom_;
    HWND window_ = nullptr;
};

TEST_F(PixelColour, CopiesThePixelOneLeftAndOneAboveTheCursor) {
    const struct {
        int x, y;
        const char* text;
    } cases[] = {
        {110, 220, "FF0080"}, {131, 241, "12ABCD"}, {101, 201, "000080"}, {164, 248, "FCEB80"}};
    for (const auto& c : cases) {
        ASSERT_TRUE(moveCursor(c.x, c.y));
        placeText("before");
        pressP();
        e2e::ClipboardTextBlock now = readText();
        EXPECT_EQ(now.text, c.text) << c.x << "," << c.y;
        EXPECT_EQ(now.blockSize, 7u);
    }
}

TEST_F(PixelColour, OutsideTheSnapshotGivesWhite) {
    ASSERT_TRUE(moveCursor(100, 200));  // the snapshot's top-left corner: pixel (-1, -1)
    pressP();
    EXPECT_EQ(readText().text, "FFFFFF");
}

TEST_F(PixelColour, AfterTheHideLeavesTheClipboardAlone) {
    zoom_->hide();
    placeText("untouched");
    pressP();
    EXPECT_EQ(readText().text, "untouched");
}

TEST_F(PixelColour, HeldClipboardKeepsItsContent) {
    ASSERT_TRUE(moveCursor(110, 220));
    placeText("held content");
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.holding());
        pressP();
    }
    EXPECT_EQ(readText().text, "held content");
}

}  // namespace
