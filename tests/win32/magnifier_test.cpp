// The Magnifier object in this process: its states, the snapshot it is handed, what it writes
// to the settings file, and paintView into a memory bitmap of the window's outer size, as the
// exports use it, where the whole view fits (the neutral margins too, which lie off the screen
// while the window is centred).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/settings.h"
#include "magnifier/magnifier_window.h"
#include "tests/support/e2e.h"
#include "tests/support/screen_pattern.h"
#include "tests/support/zoom_view.h"

namespace {

class MagnifierObject : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = e2e::makeTempFolder("magnifier");
        lstrcpynW(settingsFile().path, e2e::widen(folder_ + "\\zoom.ini").c_str(), kPathCapacity);
    }
    void TearDown() override {
        zoom_->hide();
        if (window_ != nullptr) {
            DestroyWindow(window_);
        }
        if (owner_ != nullptr) {
            DestroyWindow(owner_);
        }
        settingsFile().path[0] = L'\0';
        e2e::removeFolder(folder_);
    }
    HWND create(int32_t zoom = 2) {
        zoom_.emplace(ViewSettings{700, 300, zoom}, ThumbnailLoaders{});
        return createWindow();
    }
    HWND createWindow() {
        owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
        window_ = zoom_->create(owner_);
        return window_;
    }
    // -1 where the key is not in the settings file.
    int stored(const char* key) const {
        return static_cast<int>(
            GetPrivateProfileIntA("Program", key, -1, (folder_ + "\\zoom.ini").c_str()));
    }
    // The view painted into a bitmap of the window's outer size, 700 x 300.
    e2e::PixelGrid paintIntoBitmap(int* result) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, 700, 300);
        ReleaseDC(nullptr, screen);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        RECT all = {0, 0, 700, 300};
        HBRUSH marker = CreateSolidBrush(RGB(1, 2, 3));
        FillRect(dc, &all, marker);
        DeleteObject(marker);
        *result = zoom_->paintView(dc);
        SelectObject(dc, previous);
        DeleteDC(dc);
        e2e::PixelGrid grid = e2e::gridFromBitmap(bitmap);
        DeleteObject(bitmap);
        return grid;
    }

    std::optional<Magnifier> zoom_{std::in_place, ViewSettings{600, 150, 2}, ThumbnailLoaders{}};
    HWND owner_ = nullptr;
    HWND window_ = nullptr;
    std::string folder_;
};

TEST_F(MagnifierObject, ActivateWithoutAWindowReturnsZeroAndChangesNothing) {
    EXPECT_EQ(zoom_->activate(), 0);
    int result = -1;
    paintIntoBitmap(&result);
    EXPECT_EQ(result, 0) << "a snapshot was taken";
    EXPECT_EQ(stored("cx"), -1) << "the view was saved";
}

TEST_F(MagnifierObject, TheStoredZoomIsClampedAndASecondCreateMakesNoSecondWindow) {
    HWND window = create(40);
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(zoom_->create(owner_), nullptr);
    ASSERT_EQ(zoom_->activate(), 1);
    EXPECT_TRUE(IsWindowVisible(window)) << "the first window is no longer the one shown";
    EXPECT_EQ(stored("zoom"), 16);
    const Magnifier unshown(ViewSettings{50, 5000, -3}, ThumbnailLoaders{});
    unshown.storeView();
    EXPECT_EQ(stored("zoom"), 2);
    EXPECT_EQ(stored("cx"), 50);  // unclamped until the first activation
    EXPECT_EQ(stored("cy"), 5000);
}

TEST_F(MagnifierObject, PaintBeforeTheFirstActivationPaintsNothing) {
    ASSERT_NE(create(), nullptr);
    int result = -1;
    e2e::PixelGrid grid = paintIntoBitmap(&result);
    EXPECT_EQ(result, 0);
    ASSERT_FALSE(grid.empty());
    EXPECT_EQ(grid.at(0, 0), RGB(1, 2, 3));
    EXPECT_EQ(grid.at(699, 299), RGB(1, 2, 3));
}

TEST_F(MagnifierObject, HideWhileHiddenDoesNothing) {
    ASSERT_NE(create(), nullptr);
    zoom_->hide();
    zoom_->hide();
    EXPECT_FALSE(IsWindowVisible(window_));
    int result = -1;
    paintIntoBitmap(&result);
    EXPECT_EQ(result, 0);
}

// The snapshot shown before is the test's own: an activation while shown deletes it, a hide
// deletes the activation's, after which nothing is painted.
TEST_F(MagnifierObject, ActivationWhileShownReleasesTheOldSnapshotAndHideTheNew) {
    HBITMAP first = e2e::makeBitmap(e2e::PixelGrid(64, 48, 0xFF102030u));
    ASSERT_NE(first, nullptr);
    zoom_.emplace(ViewSettings{700, 300, 2}, UniqueBitmap(first), PixelRect{0, 0, 64, 48});
    ASSERT_NE(createWindow(), nullptr);
    ASSERT_TRUE(e2e::moveCursorTo(960, 540));
    ASSERT_EQ(zoom_->activate(), 1);
    EXPECT_TRUE(IsWindowVisible(window_));
    EXPECT_EQ(GetObjectType(first), 0u) << "the old snapshot bitmap still exists";
    int result = 0;
    paintIntoBitmap(&result);
    EXPECT_NE(result, 0);

    zoom_->hide();
    EXPECT_FALSE(IsWindowVisible(window_));
    paintIntoBitmap(&result);
    EXPECT_EQ(result, 0) << "the snapshot outlived the hide";
}

struct PaintCase {
    const char* name;
    int cursorX, cursorY, zoom;
    e2e::ExpectedView view;  // snapshot size filled in by the test
};

class PaintIntoBitmap : public MagnifierObject, public ::testing::WithParamInterface<PaintCase> {};

TEST_P(PaintIntoBitmap, ShowsTheStretchAndNeutralWhereThereIsNoSnapshotPixel) {
    const PaintCase& c = GetParam();
    e2e::ScreenPattern pattern;
    ASSERT_TRUE(pattern.waitUntilVisible());
    ASSERT_NE(create(c.zoom), nullptr);
    ASSERT_TRUE(e2e::moveCursorTo(c.cursorX, c.cursorY));
    ASSERT_EQ(zoom_->activate(), 1);
    int result = 0;
    e2e::PixelGrid grid = paintIntoBitmap(&result);
    EXPECT_NE(result, 0);
    ASSERT_EQ(grid.width, 700);
    ASSERT_EQ(grid.height, 300);
    e2e::ExpectedView view = c.view;
    view.snapshotWidth = GetSystemMetrics(SM_CXSCREEN);
    view.snapshotHeight = GetSystemMetrics(SM_CYSCREEN);
    view.neutral = e2e::kNeutral;
    std::string report;
    EXPECT_EQ(e2e::compareViewWithPattern(grid, 0, 0, view, &report), 0) << c.name << "\n"
                                                                         << report;
}

INSTANTIATE_TEST_SUITE_P(
    Places, PaintIntoBitmap,
    ::testing::Values(
        PaintCase{"centre", 960, 540, 2, {785, 465, 350, 150, 700, 300, 0, 0, 0}},
        PaintCase{"right and bottom cut", 1900, 1070, 2, {1725, 995, 194, 84, 388, 168, 0, 0, 0}},
        PaintCase{"last pixel, zoom 4", 1919, 1079, 4, {1832, 1042, 88, 38, 352, 152, 0, 0, 0}},
        PaintCase{"left and top", 10, 50, 2, {-165, -25, 350, 150, 700, 300, 0, 0, 0}},
        PaintCase{"left edge, zoom 5", 0, 540, 5, {-70, 510, 140, 60, 700, 300, 0, 0, 0}}));

}  // namespace
