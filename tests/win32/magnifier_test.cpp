// The Magnifier object in this process: its states, its snapshot handles, and paintView into
// a memory bitmap of the window's outer size, as the exports use it, where the whole view
// fits (the neutral margins too, which lie off the screen while the window is centred).
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "app/process_objects.h"
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
        if (zoom_->window != nullptr) {
            DestroyWindow(zoom_->window);
        }
        if (owner_ != nullptr) {
            DestroyWindow(owner_);
        }
        settingsFile().path[0] = L'\0';
        e2e::removeFolder(folder_);
    }
    HWND create(int32_t zoom = 2) {
        owner_ = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                                 nullptr);
        zoom_.emplace(ViewSettings{700, 300, zoom}, ThumbnailLoaders{});
        return zoom_->create(owner_);
    }
    // The view painted into a bitmap of the window's outer size.
    e2e::PixelGrid paintIntoBitmap(int* result) {
        HDC screen = GetDC(nullptr);
        HDC dc = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, zoom_->viewWidth, zoom_->viewHeight);
        ReleaseDC(nullptr, screen);
        HGDIOBJ previous = SelectObject(dc, bitmap);
        RECT all = {0, 0, zoom_->viewWidth, zoom_->viewHeight};
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
    std::string folder_;
};

TEST_F(MagnifierObject, ActivateWithoutAWindowReturnsZeroAndChangesNothing) {
    EXPECT_EQ(zoom_->activate(), 0);
    EXPECT_EQ(zoom_->active, 0);
    EXPECT_EQ(zoom_->snapshotDc(), nullptr);
}

TEST_F(MagnifierObject, TheStoredZoomIsClampedAndASecondCreateMakesNoSecondWindow) {
    HWND window = create(40);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(zoom_->zoom, 16);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_EQ(zoom_->create(owner_), nullptr);
    EXPECT_EQ(zoom_->window, window);
    const Magnifier stored(ViewSettings{50, 5000, -3}, ThumbnailLoaders{});
    EXPECT_EQ(stored.zoom, 2);
    EXPECT_EQ(stored.viewWidth, 50);  // unclamped until the first activation
    EXPECT_EQ(stored.viewHeight, 5000);
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
    EXPECT_EQ(zoom_->active, 0);
    EXPECT_EQ(zoom_->snapshotDc(), nullptr);
}

TEST_F(MagnifierObject, ActivationWhileShownReleasesTheOldSnapshotFirst) {
    ASSERT_NE(create(), nullptr);
    ASSERT_TRUE(e2e::moveCursorTo(960, 540));
    ASSERT_EQ(zoom_->activate(), 1);
    HDC firstDc = zoom_->snapshotDc();
    HBITMAP firstBitmap = zoom_->snapshotBitmap();
    ASSERT_NE(firstDc, nullptr);
    ASSERT_NE(firstBitmap, nullptr);
    EXPECT_EQ(GetCurrentObject(firstDc, OBJ_BITMAP), firstBitmap);
    ASSERT_EQ(zoom_->activate(), 1);
    EXPECT_EQ(zoom_->active, 1);
    EXPECT_TRUE(IsWindowVisible(zoom_->window));
    EXPECT_EQ(GetObjectType(firstBitmap), 0u) << "the old snapshot bitmap still exists";
    EXPECT_EQ(GetCurrentObject(zoom_->snapshotDc(), OBJ_BITMAP), zoom_->snapshotBitmap());
    BITMAP info = {};
    ASSERT_NE(GetObjectA(zoom_->snapshotBitmap(), sizeof(info), &info), 0);
    EXPECT_EQ(info.bmWidth, GetSystemMetrics(SM_CXVIRTUALSCREEN));
    EXPECT_EQ(info.bmHeight, GetSystemMetrics(SM_CYVIRTUALSCREEN));

    HBITMAP last = zoom_->snapshotBitmap();
    zoom_->hide();
    EXPECT_EQ(zoom_->snapshotDc(), nullptr);
    EXPECT_EQ(zoom_->snapshotBitmap(), nullptr);
    EXPECT_EQ(GetObjectType(last), 0u);
    EXPECT_FALSE(IsWindowVisible(zoom_->window));
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
