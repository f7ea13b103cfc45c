#include "magnifier/view_geometry.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "tests/native/pixel_rect_print.h"

namespace {

// ---- zoom bounds and steps ----

struct ZoomCase {
    int32_t given;
    int32_t expected;
};

class InitialZoom : public ::testing::TestWithParam<ZoomCase> {};

TEST_P(InitialZoom, NotPositiveGivesTwoAndTheTopIsSixteen) {
    EXPECT_EQ(clampInitialZoom(GetParam().given), GetParam().expected) << GetParam().given;
}

INSTANTIATE_TEST_SUITE_P(Values, InitialZoom,
                         ::testing::Values(ZoomCase{0, 2}, ZoomCase{-3, 2}, ZoomCase{INT32_MIN, 2},
                                           ZoomCase{1, 1}, ZoomCase{2, 2}, ZoomCase{15, 15},
                                           ZoomCase{16, 16}, ZoomCase{40, 16},
                                           ZoomCase{INT32_MAX, 16}));

struct StepCase {
    const char* name;
    int32_t (*step)(int32_t);
    int32_t given;
    int32_t expected;
};

int32_t zoomOutToOne(int32_t zoom) {
    return zoomOut(zoom, 1);
}
int32_t zoomOutToTwo(int32_t zoom) {
    return zoomOut(zoom, 2);
}

class ZoomStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(ZoomStep, MovesByOneWithinItsBounds) {
    EXPECT_EQ(GetParam().step(GetParam().given), GetParam().expected)
        << GetParam().name << "(" << GetParam().given << ")";
}

INSTANTIATE_TEST_SUITE_P(Steps, ZoomStep,
                         ::testing::Values(StepCase{"zoomIn", zoomIn, 1, 2},
                                           StepCase{"zoomIn", zoomIn, 15, 16},
                                           StepCase{"zoomIn", zoomIn, 16, 16},
                                           StepCase{"zoomOut1", zoomOutToOne, 1, 1},
                                           StepCase{"zoomOut1", zoomOutToOne, 2, 1},
                                           StepCase{"zoomOut1", zoomOutToOne, 16, 15},
                                           StepCase{"zoomOut2", zoomOutToTwo, 2, 2},
                                           StepCase{"zoomOut2", zoomOutToTwo, 3, 2},
                                           StepCase{"zoomOut2", zoomOutToTwo, 1, 1}));

// ---- view size and placement ----

struct SizeCase {
    int32_t width, height, screenWidth, screenHeight;
    int32_t expectedWidth, expectedHeight;
};

class ViewSizeClamp : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ViewSizeClamp, ScreenFirstThenTheMinimum) {
    const SizeCase& c = GetParam();
    ViewSize size = clampViewSize(c.width, c.height, c.screenWidth, c.screenHeight);
    EXPECT_EQ(size.width, c.expectedWidth);
    EXPECT_EQ(size.height, c.expectedHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, ViewSizeClamp,
    ::testing::Values(SizeCase{50, 5000, 1920, 1080, 100, 1080},
                      SizeCase{700, 300, 80, 60, 100, 100},  // screen below the minimum
                      SizeCase{700, 300, 1920, 1080, 700, 300},
                      SizeCase{1920, 1080, 1920, 1080, 1920, 1080},
                      SizeCase{1940, 1100, 1920, 1080, 1920, 1080},
                      SizeCase{98, 99, 1920, 1080, 100, 100},
                      SizeCase{-5, INT32_MIN, 1920, 1080, 100, 100},
                      SizeCase{INT32_MAX, INT32_MAX, 3840, 2160, 3840, 2160},
                      SizeCase{700, 300, 0, 0, 100, 100}));  // before any snapshot

TEST(CentredOrigin, HalvesRoundDown) {
    ViewPoint origin = centredOrigin(500, 400, 700, 300);
    EXPECT_EQ(origin.x, 150);
    EXPECT_EQ(origin.y, 250);
    origin = centredOrigin(500, 400, 101, 101);
    EXPECT_EQ(origin.x, 450);
    EXPECT_EQ(origin.y, 350);
    // A cursor on a monitor left of and above the primary one.
    origin = centredOrigin(-1000, -20, 700, 300);
    EXPECT_EQ(origin.x, -1350);
    EXPECT_EQ(origin.y, -170);
}

struct SnapshotCase {
    int32_t px, py, screenLeft, screenTop;
    int32_t snapX, snapY;
};

class SnapshotPosition : public ::testing::TestWithParam<SnapshotCase> {};

TEST_P(SnapshotPosition, IsRelativeToTheVirtualScreensCorner) {
    const SnapshotCase& c = GetParam();
    ViewPoint snap = snapshotPosition(c.px, c.py, c.screenLeft, c.screenTop);
    EXPECT_EQ(snap.x, c.snapX);
    EXPECT_EQ(snap.y, c.snapY);
}

INSTANTIATE_TEST_SUITE_P(
    Origins, SnapshotPosition,
    ::testing::Values(SnapshotCase{960, 540, 0, 0, 960, 540},
                      // A 1280-wide monitor left of the primary, 200 pixels higher up.
                      SnapshotCase{-1280, -200, -1280, -200, 0, 0},
                      SnapshotCase{-1000, 100, -1280, -200, 280, 300},
                      SnapshotCase{1919, 1079, -1280, -200, 3199, 1279},
                      SnapshotCase{INT32_MAX, INT32_MIN, -1, 1, INT32_MAX, INT32_MIN}));

// ---- the stretch ----

struct StretchCase {
    const char* name;
    int32_t snapX, snapY, viewWidth, viewHeight, zoom, screenWidth, screenHeight;
    ViewStretch expected;
};

class Stretch : public ::testing::TestWithParam<StretchCase> {};

TEST_P(Stretch, FollowsTheRules) {
    const StretchCase& c = GetParam();
    ViewStretch s = computeViewStretch(c.snapX, c.snapY, c.viewWidth, c.viewHeight, c.zoom,
                                       c.screenWidth, c.screenHeight);
    EXPECT_EQ(s.srcX, c.expected.srcX) << c.name;
    EXPECT_EQ(s.srcY, c.expected.srcY) << c.name;
    EXPECT_EQ(s.srcWidth, c.expected.srcWidth) << c.name;
    EXPECT_EQ(s.srcHeight, c.expected.srcHeight) << c.name;
    EXPECT_EQ(s.destWidth, c.expected.destWidth) << c.name;
    EXPECT_EQ(s.destHeight, c.expected.destHeight) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Stretch,
    ::testing::Values(
        StretchCase{"centre", 960, 540, 700, 300, 2, 1920, 1080, {785, 465, 350, 150, 700, 300}},
        StretchCase{
            "right cut", 1800, 540, 700, 300, 2, 1920, 1080, {1625, 465, 294, 150, 588, 300}},
        StretchCase{
            "would just fit", 1745, 540, 700, 300, 2, 1920, 1080, {1570, 465, 349, 150, 698, 300}},
        StretchCase{"one before the cut",
                    1744,
                    540,
                    700,
                    300,
                    2,
                    1920,
                    1080,
                    {1569, 465, 350, 150, 700, 300}},
        StretchCase{"odd source width",
                    1804,
                    540,
                    700,
                    300,
                    3,
                    1920,
                    1080,
                    {1688, 490, 232, 100, 697, 300}},
        StretchCase{
            "zoom 3 centre", 960, 540, 700, 300, 3, 1920, 1080, {844, 490, 233, 100, 700, 300}},
        StretchCase{
            "left and top", 10, 5, 700, 300, 2, 1920, 1080, {-165, -70, 350, 150, 700, 300}},
        StretchCase{"corner origin", 0, 0, 700, 300, 16, 1920, 1080, {-21, -9, 43, 18, 700, 300}},
        StretchCase{
            "bottom row", 960, 1079, 700, 300, 2, 1920, 1080, {785, 1004, 350, 75, 700, 150}},
        StretchCase{"smallest view at the corner",
                    1919,
                    1079,
                    100,
                    100,
                    16,
                    1920,
                    1080,
                    {1916, 1076, 3, 3, 52, 52}},
        StretchCase{"view as large as the screen",
                    1919,
                    540,
                    1920,
                    1080,
                    1,
                    1920,
                    1080,
                    {959, 0, 960, 1079, 960, 1079}},
        StretchCase{"4K centre zoom 16",
                    1920,
                    1080,
                    700,
                    300,
                    16,
                    3840,
                    2160,
                    {1899, 1071, 43, 18, 700, 300}}));

TEST(Stretch, OutOfRangeInputsGiveADefinedResult) {
    // Zoom 0 is treated as 1, not divided by.
    ViewStretch s = computeViewStretch(960, 540, 700, 300, 0, 1920, 1080);
    EXPECT_EQ(s.srcWidth, 700);
    EXPECT_EQ(s.srcHeight, 300);
    // A view smaller than the zoom gets a one-pixel source.
    s = computeViewStretch(960, 540, 5, 5, 16, 1920, 1080);
    EXPECT_EQ(s.srcWidth, 1);
    // A cursor far beyond a stale snapshot: nothing to draw instead of a mirrored picture.
    s = computeViewStretch(5000, 540, 700, 300, 2, 1920, 1080);
    EXPECT_FALSE(stretchIsDrawable(s));
    s = computeViewStretch(INT32_MAX, INT32_MAX, 700, 300, 2, 1920, 1080);
    EXPECT_FALSE(stretchIsDrawable(s));
    EXPECT_TRUE(stretchIsDrawable(computeViewStretch(1919, 1079, 100, 100, 16, 1920, 1080)));
}

TEST(Stretch, NegativeVirtualScreenOriginShowsTheLeftMonitor) {
    // Virtual screen from (-1280, -200), 3200 x 1280; the cursor on the left monitor.
    ViewPoint snap = snapshotPosition(-1000, 100, -1280, -200);
    ViewStretch s = computeViewStretch(snap.x, snap.y, 700, 300, 2, 3200, 1280);
    // Snapshot column 105 is screen column -1175: on the left monitor, inside the snapshot.
    EXPECT_EQ(s.srcX, 105);
    EXPECT_EQ(s.srcY, 225);
    EXPECT_EQ(s.srcWidth, 350);
    EXPECT_EQ(s.destWidth, 700);
    // At the virtual screen's left edge the source begins outside the snapshot.
    snap = snapshotPosition(-1280, 100, -1280, -200);
    s = computeViewStretch(snap.x, snap.y, 700, 300, 2, 3200, 1280);
    EXPECT_EQ(s.srcX, -175);
    UncoveredAreas areas = uncoveredAreas(s, 700, 300, 3200, 1280);
    ASSERT_EQ(areas.count, 1);
    EXPECT_EQ(areas.rects[0].right, 350);
}

// ---- the parts of the view without a snapshot pixel ----

struct AreasCase {
    const char* name;
    ViewStretch stretch;
    int32_t targetWidth, targetHeight, snapshotWidth, snapshotHeight;
    std::vector<PixelRect> expected;
};

class Uncovered : public ::testing::TestWithParam<AreasCase> {};

TEST_P(Uncovered, AreExactlyTheseRectangles) {
    const AreasCase& c = GetParam();
    UncoveredAreas areas =
        uncoveredAreas(c.stretch, c.targetWidth, c.targetHeight, c.snapshotWidth, c.snapshotHeight);
    ASSERT_EQ(areas.count, static_cast<int32_t>(c.expected.size())) << c.name;
    for (int32_t i = 0; i < areas.count; ++i) {
        EXPECT_EQ(areas.rects[i], c.expected[i]) << c.name << " #" << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Uncovered,
    ::testing::Values(
        AreasCase{"centre", {785, 465, 350, 150, 700, 300}, 700, 300, 1920, 1080, {}},
        AreasCase{"left and top",
                  {-165, -70, 350, 150, 700, 300},
                  700,
                  300,
                  1920,
                  1080,
                  {{0, 0, 700, 140}, {0, 140, 330, 300}}},
        AreasCase{"right cut",
                  {1625, 465, 294, 150, 588, 300},
                  700,
                  300,
                  1920,
                  1080,
                  {{588, 0, 700, 300}}},
        AreasCase{"bottom cut",
                  {785, 1004, 350, 75, 700, 150},
                  700,
                  300,
                  1920,
                  1080,
                  {{0, 150, 700, 300}}},
        AreasCase{"both cuts",
                  {1916, 1076, 3, 3, 52, 52},
                  100,
                  100,
                  1920,
                  1080,
                  {{0, 52, 100, 100}, {52, 0, 100, 52}}},
        // 114 of 233 source columns left of the snapshot: 342.5 target columns, rounded up.
        AreasCase{"non-integer factor",
                  {-114, 490, 233, 100, 700, 300},
                  700,
                  300,
                  1920,
                  1080,
                  {{0, 0, 343, 300}}},
        // The screen shrank since the snapshot: source beyond its right edge.
        AreasCase{"stale snapshot",
                  {1625, 465, 294, 150, 588, 300},
                  700,
                  300,
                  1700,
                  1080,
                  {{150, 0, 700, 300}}},
        AreasCase{"target larger than the view",
                  {785, 465, 350, 150, 700, 300},
                  800,
                  400,
                  1920,
                  1080,
                  {{0, 300, 800, 400}, {700, 0, 800, 300}}},
        AreasCase{"undrawable",
                  {5000, 465, -2730, 150, -5460, 300},
                  700,
                  300,
                  1920,
                  1080,
                  {{0, 0, 700, 300}}},
        AreasCase{"no snapshot bitmap",
                  {785, 465, 350, 150, 700, 300},
                  700,
                  300,
                  0,
                  0,
                  {{0, 0, 700, 300}}},
        AreasCase{"source wholly left of the snapshot",
                  {-400, 465, 350, 150, 700, 300},
                  700,
                  300,
                  1920,
                  1080,
                  {{0, 0, 700, 300}}},
        AreasCase{"empty target", {785, 465, 350, 150, 700, 300}, 0, 300, 1920, 1080, {}}));

// For every view, zoom and cursor near the edges: the rectangles lie inside the target, do
// not overlap, and hold every target pixel whose source (sampled nearest-neighbour, rounding
// down) lies outside the snapshot; a pixel with a source inside may only be in them when it
// shows the snapshot's last column or row.
TEST(Uncovered, CoverEveryPixelWithoutASnapshotPixel) {
    const int32_t screenWidth = 640, screenHeight = 480;
    const ViewSize views[] = {{100, 100}, {333, 217}, {257, 101}};
    const int32_t positions[] = {0, 1, 5, 50, 320, 600, 630, 638, 639};
    for (ViewSize view : views) {
        for (int32_t zoom = 1; zoom <= 16; ++zoom) {
            for (int32_t px : positions) {
                int32_t py = px * screenHeight / screenWidth;
                ViewStretch s = computeViewStretch(px, py, view.width, view.height, zoom,
                                                   screenWidth, screenHeight);
                UncoveredAreas areas =
                    uncoveredAreas(s, view.width, view.height, screenWidth, screenHeight);
                std::vector<int> hits(static_cast<size_t>(view.width) * view.height, 0);
                for (int32_t i = 0; i < areas.count; ++i) {
                    const PixelRect& r = areas.rects[i];
                    ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= view.width &&
                                r.bottom <= view.height && r.left < r.right && r.top < r.bottom);
                    for (int32_t y = r.top; y < r.bottom; ++y) {
                        for (int32_t x = r.left; x < r.right; ++x) {
                            ++hits[static_cast<size_t>(y) * view.width + x];
                        }
                    }
                }
                for (int32_t y = 0; y < view.height; ++y) {
                    for (int32_t x = 0; x < view.width; ++x) {
                        int hit = hits[static_cast<size_t>(y) * view.width + x];
                        ASSERT_LE(hit, 1) << "overlap at " << x << "," << y;
                        ASSERT_TRUE(stretchIsDrawable(s));
                        bool inDest = x < s.destWidth && y < s.destHeight;
                        int64_t sx = s.srcX + int64_t{x} * s.srcWidth / s.destWidth;
                        int64_t sy = s.srcY + int64_t{y} * s.srcHeight / s.destHeight;
                        bool sourceInside =
                            sx >= 0 && sx < screenWidth && sy >= 0 && sy < screenHeight;
                        if (!inDest || !sourceInside) {
                            ASSERT_EQ(hit, 1) << "stale pixel at " << x << "," << y << " zoom "
                                              << zoom << " cursor " << px << "," << py;
                        } else if (hit == 1) {
                            ASSERT_TRUE(sx == screenWidth - 1 || sy == screenHeight - 1)
                                << "hidden snapshot pixel at " << x << "," << y;
                        }
                    }
                }
            }
        }
    }
}

// ---- key, wheel and scroll rules ----

TEST(DigitKeys, OnlyTheMainKeyboardsOneToNine) {
    for (int32_t key = '1'; key <= '9'; ++key) {
        EXPECT_EQ(zoomForDigitKey(key), key - '0');
    }
    const int32_t others[] = {'0', ':', '/', 96, 97, 105, 107, 109, 187, 189, 0, -1, 0x131};
    for (int32_t key : others) {
        EXPECT_EQ(zoomForDigitKey(key), 0) << key;
    }
}

struct ArrowCase {
    int32_t key, width, height, step;
    int32_t expectedWidth, expectedHeight;
};

class Arrow : public ::testing::TestWithParam<ArrowCase> {};

TEST_P(Arrow, ChangesOneDimensionByTheStep) {
    const ArrowCase& c = GetParam();
    ViewSize size = viewSizeAfterArrow(c.key, c.width, c.height, c.step);
    EXPECT_EQ(size.width, c.expectedWidth);
    EXPECT_EQ(size.height, c.expectedHeight);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, Arrow,
    ::testing::Values(ArrowCase{kKeyLeft, 700, 300, 20, 680, 300},
                      ArrowCase{kKeyRight, 700, 300, 20, 720, 300},
                      ArrowCase{kKeyUp, 700, 300, 20, 700, 320},  // Up makes it taller
                      ArrowCase{kKeyDown, 700, 300, 2, 700, 298},
                      ArrowCase{kKeyLeft, 100, 300, 2, 98, 300},  // clamped by setViewSize
                      ArrowCase{'A', 700, 300, 20, 700, 300},
                      ArrowCase{kKeyRight, INT32_MAX - 5, 300, 20, INT32_MAX, 300},
                      ArrowCase{kKeyDown, 700, INT32_MIN + 1, 20, 700, INT32_MIN}));

struct WheelCase {
    int32_t zoom, delta, expected;
};

class Wheel : public ::testing::TestWithParam<WheelCase> {};

TEST_P(Wheel, OneStepPerMessage) {
    EXPECT_EQ(zoomAfterWheel(GetParam().zoom, GetParam().delta), GetParam().expected)
        << GetParam().zoom << " " << GetParam().delta;
}

INSTANTIATE_TEST_SUITE_P(Deltas, Wheel,
                         ::testing::Values(WheelCase{2, 120, 3}, WheelCase{2, 240, 3},
                                           WheelCase{2, 1, 3}, WheelCase{16, 120, 16},
                                           WheelCase{2, -120, 1}, WheelCase{1, -120, 1},
                                           WheelCase{5, -32768, 4}, WheelCase{5, 0, 5}));

struct ScrollCase {
    int32_t zoom, code, expected;
};

class Scroll : public ::testing::TestWithParam<ScrollCase> {};

TEST_P(Scroll, LineAndPageCodesZoom) {
    EXPECT_EQ(zoomAfterScroll(GetParam().zoom, GetParam().code), GetParam().expected)
        << GetParam().zoom << " " << GetParam().code;
}

INSTANTIATE_TEST_SUITE_P(Codes, Scroll,
                         ::testing::Values(ScrollCase{5, 0, 4}, ScrollCase{5, 2, 4},
                                           ScrollCase{5, 1, 6}, ScrollCase{5, 3, 6},
                                           ScrollCase{1, 0, 1}, ScrollCase{2, 2, 1},
                                           ScrollCase{16, 1, 16}, ScrollCase{16, 3, 16},
                                           ScrollCase{5, 4, 5}, ScrollCase{5, 5, 5},
                                           ScrollCase{5, 8, 5}, ScrollCase{5, -1, 5}));

}  // namespace
