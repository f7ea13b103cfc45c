#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>

#include "magnifier/clipboard_export.h"
#include "magnifier/magnifier_window.h"
#include "tests/e2e/harness/e2e.h"
#include "tests/e2e/harness/gdiplus_files.h"

namespace {

void placeText(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    size_t size = strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    memcpy(GlobalLock(block), text, size);
    GlobalUnlock(block);
    EXPECT_NE(SetClipboardData(CF_TEXT, block), nullptr);
    CloseClipboard();
}

struct ClipboardText {
    bool present = false;
    std::string text;
    SIZE_T blockSize = 0;
};

ClipboardText readText() {
    ClipboardText result;
    if (!OpenClipboard(nullptr)) {
        return result;
    }
    HANDLE block = GetClipboardData(CF_TEXT);
    if (block != nullptr) {
        result.present = true;
        result.blockSize = GlobalSize(block);
        const char* bytes = static_cast<const char*>(GlobalLock(block));
        if (bytes != nullptr) {
            result.text.assign(bytes, strnlen(bytes, result.blockSize));
            GlobalUnlock(block);
        }
    }
    CloseClipboard();
    return result;
}

TEST(ClipboardText, PutsTheTextAndItsNulInABlockOfExactlyThatSize) {
    placeText("previous");
    copyTextToClipboard("FF0080");
    ClipboardText now = readText();
    ASSERT_TRUE(now.present);
    EXPECT_EQ(now.text, "FF0080");
    EXPECT_EQ(now.blockSize, 7u);
}

TEST(ClipboardText, CarriesLongTextWhole) {
    std::string longText(5000, 'x');
    longText[4999] = 'y';
    copyTextToClipboard(longText.c_str());
    EXPECT_EQ(readText().text, longText);
}

TEST(ClipboardText, NullOrEmptyTextLeavesTheClipboardAlone) {
    placeText("keep me");
    copyTextToClipboard(nullptr);
    EXPECT_EQ(readText().text, "keep me");
    copyTextToClipboard("");
    EXPECT_EQ(readText().text, "keep me");
}

// Another program holding the clipboard open with a window of its own, on its own thread.
class ClipboardHolder {
  public:
    ClipboardHolder() {
        opened_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &ClipboardHolder::run, this, 0, nullptr);
        WaitForSingleObject(opened_, 10000);
    }
    ~ClipboardHolder() {
        SetEvent(release_);
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
        CloseHandle(opened_);
        CloseHandle(release_);
    }
    bool holding() const { return holding_; }

  private:
    static DWORD WINAPI run(void* context) {
        auto* self = static_cast<ClipboardHolder*>(context);
        HWND window = CreateWindowExA(0, "STATIC", "holder", 0, 0, 0, 10, 10, nullptr, nullptr,
                                      nullptr, nullptr);
        self->holding_ = window != nullptr && OpenClipboard(window);
        SetEvent(self->opened_);
        WaitForSingleObject(self->release_, 20000);
        if (self->holding_) {
            CloseClipboard();
        }
        DestroyWindow(window);
        return 0;
    }
    HANDLE opened_;
    HANDLE release_;
    HANDLE thread_;
    bool holding_ = false;
};

TEST(ClipboardText, HeldClipboardKeepsItsContent) {
    placeText("held content");
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.holding());
        copyTextToClipboard("ABCDEF");
    }
    EXPECT_EQ(readText().text, "held content");
}

// A snapshot of the test's own making stands in for the zoom window's.
class PixelColour : public ::testing::Test {
  protected:
    void SetUp() override {
        e2e::Picture picture(64, 48, 0xFF000000u);
        for (int y = 0; y < 48; ++y) {
            for (int x = 0; x < 64; ++x) {
                picture.set(x, y, 0xFF000000u | (x * 4u) << 16 | (y * 5u) << 8 | 0x80u);
            }
        }
        picture.set(9, 19, 0xFFFF0080u);  // red 255, green 0, blue 128
        picture.set(30, 40, 0xFF12ABCDu);
        bitmap_ = e2e::makeBitmap(picture);
        dc_ = CreateCompatibleDC(nullptr);
        previous_ = SelectObject(dc_, bitmap_);
        magnifier.snapshotDc = dc_;
        magnifier.screenLeft = 100;
        magnifier.screenTop = 200;
        magnifier.screenWidth = 64;
        magnifier.screenHeight = 48;
    }
    void TearDown() override {
        magnifier.snapshotDc = nullptr;
        magnifier.screenLeft = magnifier.screenTop = 0;
        magnifier.screenWidth = magnifier.screenHeight = 0;
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
        DeleteObject(bitmap_);
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
    HBITMAP bitmap_ = nullptr;
    HDC dc_ = nullptr;
    HGDIOBJ previous_ = nullptr;
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
        copyPixelColour();
        ClipboardText now = readText();
        EXPECT_EQ(now.text, c.text) << c.x << "," << c.y;
        EXPECT_EQ(now.blockSize, 7u);
    }
}

TEST_F(PixelColour, OutsideTheSnapshotGivesWhite) {
    ASSERT_TRUE(moveCursor(100, 200));  // the snapshot's top-left corner: pixel (-1, -1)
    copyPixelColour();
    EXPECT_EQ(readText().text, "FFFFFF");
}

TEST_F(PixelColour, WithoutSnapshotLeavesTheClipboardAlone) {
    magnifier.snapshotDc = nullptr;
    placeText("untouched");
    copyPixelColour();
    EXPECT_EQ(readText().text, "untouched");
}

TEST_F(PixelColour, HeldClipboardKeepsItsContent) {
    ASSERT_TRUE(moveCursor(110, 220));
    placeText("held content");
    {
        ClipboardHolder holder;
        ASSERT_TRUE(holder.holding());
        copyPixelColour();
    }
    EXPECT_EQ(readText().text, "held content");
}

}  // namespace
