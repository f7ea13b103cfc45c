#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
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

// Without a window to measure, or without a snapshot to draw, nothing replaces the content.
TEST(ClipboardBitmap, ViewThatCannotBeDrawnLeavesTheClipboardAlone) {
    HWND window = CreateWindowExA(0, "STATIC", "view", WS_POPUP, 0, 0, 70, 30, nullptr, nullptr,
                                  nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    Magnifier zoom(ViewSettings{600, 150, 2}, ThumbnailLoaders{});
    for (HWND view : {static_cast<HWND>(nullptr), window}) {
        zoom.window = view;
        placeText("previous");
        copyViewBitmap(zoom);
        EXPECT_EQ(readText().text, "previous") << view;
    }
    DestroyWindow(window);
}

// A snapshot of the test's own making stands in for the zoom window's.
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
        zoom_.snapshot.emplace(UniqueBitmap(e2e::makeBitmap(picture)));
        zoom_.screenLeft = 100;
        zoom_.screenTop = 200;
        zoom_.screenWidth = 64;
        zoom_.screenHeight = 48;
        zoom_.window = owner();
    }
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
    Magnifier zoom_{ViewSettings{600, 150, 2}, ThumbnailLoaders{}};
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
        copyPixelColour(zoom_);
        e2e::ClipboardTextBlock now = readText();
        EXPECT_EQ(now.text, c.text) << c.x << "," << c.y;
        EXPECT_EQ(now.blockSize, 7u);
    }
}

TEST_F(PixelColour, OutsideTheSnapshotGivesWhite) {
    ASSERT_TRUE(moveCursor(100, 200));  // the snapshot's top-left corner: pixel (-1, -1)
    copyPixelColour(zoom_);
    EXPECT_EQ(readText().text, "FFFFFF");
}

TEST_F(PixelColour, WithoutSnapshotLeavesTheClipboardAlone) {
    zoom_.snapshot.reset();
    placeText("untouched");
    copyPixelColour(zoom_);
    EXPECT_EQ(readText().text, "untouched");
}

TEST_F(PixelColour, HeldClipboardKeepsItsContent) {
    ASSERT_TRUE(moveCursor(110, 220));
    placeText("held content");
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.holding());
        copyPixelColour(zoom_);
    }
    EXPECT_EQ(readText().text, "held content");
}

}  // namespace
