#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "settings/settings.h"
#include "resources/commands.h"
#include "app/help_window.h"
#include "tests/support/e2e.h"
#include "tests/support/help_screen.h"
#include "texts/texts.h"

namespace {

// ---- Painting into a memory picture ---------------------------------------------------

const COLORREF kMarker = RGB(0, 255, 0);  // never part of the page

int shownLanguage = 1;
int languageShown() {
    return shownLanguage;
}

// A borderless window whose client area has the given size, and a picture to paint into.
class HelpPaint : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { loadTexts(languageShown); }
    void TearDown() override {
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
        if (bitmap_ != nullptr) {
            DeleteObject(bitmap_);
        }
        if (dc_ != nullptr) {
            DeleteDC(dc_);
        }
    }
    // Paints a client of clientWidth x clientHeight into a picture of the same width and
    // pictureHeight rows, filled with the marker colour beforehand.
    void paint(int clientWidth, int clientHeight, int pictureHeight) {
        if (window_ == nullptr) {
            window_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, clientWidth, clientHeight,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            dc_ = CreateCompatibleDC(nullptr);
            void* bits = nullptr;
            bitmap_ = e2e::createDib(clientWidth, pictureHeight, &bits);
            pixels_ = static_cast<uint32_t*>(bits);
            SelectObject(dc_, bitmap_);
            width_ = clientWidth;
            height_ = pictureHeight;
        }
        ASSERT_NE(pixels_, nullptr);
        RECT client = {};
        GetClientRect(window_, &client);
        ASSERT_EQ(client.right, clientWidth);
        ASSERT_EQ(client.bottom, clientHeight);
        for (int i = 0; i < width_ * height_; ++i) {
            pixels_[i] = 0x00FF00;  // the marker, as 0x00RRGGBB
        }
        paintHelpWindow(dc_, window_);
        GdiFlush();
    }
    COLORREF at(int x, int y) const { return e2e::colourRefOf(pixels_[y * width_ + x]); }
    std::vector<uint32_t> picture() const {
        return std::vector<uint32_t>(pixels_, pixels_ + width_ * height_);
    }
    static bool hasText() { return helpText() != nullptr && helpText()[0] != L'\0'; }

    HWND window_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    uint32_t* pixels_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

TEST_F(HelpPaint, ClientWithoutRowsFillsNothingButStillDrawsTheText) {
    paint(800, 0, 120);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 800; x += 7) {
            ASSERT_EQ(at(x, y), kMarker) << x << "," << y;
        }
    }
    ASSERT_TRUE(hasText());
    int white = 0;
    for (int y = 20; y < 120; ++y) {
        for (int x = 0; x < 800; ++x) {
            white += at(x, y) == RGB(255, 255, 255) ? 1 : 0;
        }
    }
    EXPECT_GT(white, 50);
}

// Every fully covered shadow pixel has a fully covered white pixel |d| up and left of it:
// the same text drawn twice, white last.
TEST_F(HelpPaint, DrawsWhiteTextOverItsBlackShadowFromTheOrigin) {
    for (int language : {0, 1}) {
        shownLanguage = language;
        paint(1280, 400, 400);
        // 1280 pixels wide: offset -3.
        e2e::ShadowedText text =
            e2e::readShadowedText(e2e::gridFromDibBits(pixels_, width_, height_), 3);
        EXPECT_EQ(text.strayShadows, 0)
            << "first at " << text.firstStray << " language " << language;
        EXPECT_GT(text.white, 1000) << "language " << language;
        EXPECT_GT(text.black, 100) << "language " << language;
        // The white text starts at (30 - 3, 30 - 3); the first glyph sits close to it.
        EXPECT_GE(text.left, 27 - 4);  // italic glyphs may reach a little left of their origin
        EXPECT_LE(text.left, 27 + 20);
        EXPECT_GE(text.top, 27);
        EXPECT_LE(text.top, 27 + 30);
    }
}

TEST_F(HelpPaint, DrawsTheTextOfTheCurrentLanguage) {
    shownLanguage = 0;
    paint(1280, 700, 700);
    std::vector<uint32_t> german = picture();
    shownLanguage = 1;
    paint(1280, 700, 700);
    std::vector<uint32_t> english = picture();
    shownLanguage = 2;  // any language but 0 is English
    paint(1280, 700, 700);
    EXPECT_EQ(picture(), english);
    EXPECT_NE(german, english);
    EXPECT_STRNE(helpText(), L"");
}

TEST_F(HelpPaint, LeavesTheContextsFontSelected) {
    paint(640, 100, 100);
    HFONT own = CreateFontA(-12, 0, 0, 0, 400, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    HGDIOBJ before = SelectObject(dc_, own);
    paintHelpWindow(dc_, window_);
    EXPECT_EQ(GetCurrentObject(dc_, OBJ_FONT), own);
    SelectObject(dc_, before);
    DeleteObject(own);
}

}  // namespace

namespace {

// ---- The keys: whatever key is reported, the held keys decide ---------------------------

std::vector<UINT>& commandsSeen() {
    static std::vector<UINT> seen;
    return seen;
}

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND) {
        commandsSeen().push_back(LOWORD(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Keys pressed through the system's input, released again however the test ends.
class HeldKeys {
  public:
    explicit HeldKeys(std::vector<WORD> keys) : keys_(std::move(keys)) {
        for (WORD key : keys_) {
            e2e::keyDown(key);
        }
        e2e::waitUntil(
            [&] {
                for (WORD key : keys_) {
                    if ((GetAsyncKeyState(key) & 0x8000) == 0) {
                        return false;
                    }
                }
                return true;
            },
            2000);
    }
    ~HeldKeys() {
        for (auto key = keys_.rbegin(); key != keys_.rend(); ++key) {
            e2e::keyUp(*key);
        }
        e2e::waitUntil(
            [&] {
                for (WORD key : keys_) {
                    if ((GetAsyncKeyState(key) & 0x8000) != 0) {
                        return false;
                    }
                }
                return true;
            },
            2000);
        e2e::pumpFor(30);
    }
    HeldKeys(const HeldKeys&) = delete;
    HeldKeys& operator=(const HeldKeys&) = delete;

  private:
    std::vector<WORD> keys_;
};

enum class Outcome { kEnglish, kGerman, kHidden, kHotkeyRequest, kExitRequest, kNothing };

struct KeyCase {
    const char* name;
    std::vector<WORD> held;
    Outcome outcome;
};

std::ostream& operator<<(std::ostream& out, const KeyCase& c) {
    return out << c.name;
}

class HelpKeys : public ::testing::TestWithParam<KeyCase> {
  protected:
    void SetUp() override {
        folder_ = e2e::makeTempFolder("helpkeys");
        path_ = folder_ + "\\vistrel.ini";
        lstrcpynW(settingsFile().path, e2e::widen(path_).c_str(), kPathCapacity);
        e2e::registerTestClass("HelpKeysTest", recordingProc);
        window_ = CreateWindowExA(0, "HelpKeysTest", "help", WS_OVERLAPPEDWINDOW, 50, 50, 400, 300,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        // Not activated: a focus change makes the X driver reload the key state, which
        // would drop the keys this test holds through SendInput.
        ShowWindow(window_, SW_SHOWNOACTIVATE);
        e2e::pumpFor(50);
        commandsSeen().clear();
    }
    void TearDown() override {
        if (IsWindow(window_)) {
            DestroyWindow(window_);
        }
        e2e::removeFolder(folder_);
    }
    std::string stored(const char* key) {
        char text[64] = {};
        GetPrivateProfileStringA("Program", key, "<none>", text, sizeof(text), path_.c_str());
        return text;
    }

    std::string folder_;
    std::string path_;
    HWND window_ = nullptr;
};

TEST_P(HelpKeys, FirstHeldKeyInOrderActs) {
    const KeyCase& c = GetParam();
    int shown = 7;  // neither value the keys store
    {
        HeldKeys held(c.held);
        handleHelpWindowKey(window_, shown);
    }
    bool alive = IsWindow(window_) != 0;
    bool visible = alive && IsWindowVisible(window_);
    int language = c.outcome == Outcome::kEnglish ? 1 : c.outcome == Outcome::kGerman ? 0 : 7;
    EXPECT_EQ(shown, language);
    EXPECT_EQ(stored("lng"), language == 7 ? "<none>" : std::to_string(language));
    EXPECT_TRUE(alive);
    EXPECT_EQ(visible, c.outcome != Outcome::kHidden);
    std::vector<UINT> expected;
    if (c.outcome == Outcome::kHotkeyRequest) {
        expected.push_back(CMD_SET_HOTKEY);
    } else if (c.outcome == Outcome::kExitRequest) {
        expected.push_back(CMD_EXIT);
    }
    EXPECT_EQ(commandsSeen(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, HelpKeys,
    ::testing::Values(KeyCase{"E", {'E'}, Outcome::kEnglish}, KeyCase{"D", {'D'}, Outcome::kGerman},
                      KeyCase{"E_and_D", {'D', 'E'}, Outcome::kEnglish},
                      KeyCase{"Shift_E", {VK_SHIFT, 'E'}, Outcome::kEnglish},
                      KeyCase{"Ctrl_D", {VK_CONTROL, 'D'}, Outcome::kGerman},
                      KeyCase{"T", {'T'}, Outcome::kHidden},
                      KeyCase{"D_and_T", {'T', 'D'}, Outcome::kGerman},
                      KeyCase{"H", {'H'}, Outcome::kHotkeyRequest},
                      KeyCase{"T_and_H", {'H', 'T'}, Outcome::kHidden},
                      KeyCase{"Esc", {VK_ESCAPE}, Outcome::kExitRequest},
                      KeyCase{"H_and_Esc", {VK_ESCAPE, 'H'}, Outcome::kHotkeyRequest},
                      KeyCase{"other_key", {'Q'}, Outcome::kNothing},
                      KeyCase{"no_key", {}, Outcome::kNothing}),
    [](const ::testing::TestParamInfo<KeyCase>& caseInfo) {
        return std::string(caseInfo.param.name);
    });

}  // namespace
