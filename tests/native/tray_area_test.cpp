#include "shell/tray_area.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "tests/native/pixel_rect_print.h"

namespace {

const PixelRect kWorkArea{0, 0, 1920, 1040};
const PixelRect kBottomBar{0, 1040, 1920, 1080};
const PixelRect kNotify{1700, 1042, 1880, 1078};

struct TrayCase {
    const char* name;
    TrayAreaFacts facts;
    PixelRect expected;
};

std::ostream& operator<<(std::ostream& out, const TrayCase& c) {
    return out << c.name;
}

TrayAreaFacts none() {
    TrayAreaFacts facts = {};
    facts.workArea = kWorkArea;
    return facts;
}

TrayAreaFacts withNotifyWindow(TrayAreaFacts facts, PixelRect rect) {
    facts.hasNotifyWindow = true;
    facts.notifyWindowRect = rect;
    return facts;
}

TrayAreaFacts withPosition(TrayAreaFacts facts, uint32_t edge, PixelRect rect) {
    facts.hasTaskbarPosition = true;
    facts.taskbarEdge = edge;
    facts.taskbarPositionRect = rect;
    return facts;
}

TrayAreaFacts withTaskbarWindow(TrayAreaFacts facts, PixelRect rect) {
    facts.hasTaskbarWindow = true;
    facts.taskbarWindowRect = rect;
    return facts;
}

class TrayArea : public ::testing::TestWithParam<TrayCase> {};

TEST_P(TrayArea, FirstApplyingRuleWins) {
    EXPECT_EQ(chooseTrayArea(GetParam().facts), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, TrayArea,
    ::testing::Values(
        // Rule 1: the notification window's own rectangle, whatever else is known.
        TrayCase{"notify window",
                 withNotifyWindow(withTaskbarWindow(withPosition(none(), kEdgeBottom, kBottomBar),
                                                    kBottomBar),
                                  kNotify),
                 kNotify},
        // Rule 2: horizontal taskbars end in an 84-wide strip 16 before the right end.
        TrayCase{"bottom taskbar",
                 withPosition(none(), kEdgeBottom, kBottomBar),
                 {1820, 1040, 1904, 1080}},
        TrayCase{
            "top taskbar", withPosition(none(), kEdgeTop, {0, 0, 1920, 40}), {1820, 0, 1904, 40}},
        // Vertical taskbars: an 84-high strip 16 above the bottom end.
        TrayCase{
            "left taskbar", withPosition(none(), kEdgeLeft, {0, 0, 62, 1080}), {0, 980, 62, 1064}},
        TrayCase{"right taskbar",
                 withPosition(none(), kEdgeRight, {1858, 0, 1920, 1080}),
                 {1858, 980, 1920, 1064}},
        TrayCase{"taskbar on a monitor left of the primary",
                 withPosition(none(), kEdgeBottom, {-1280, 984, 0, 1024}),
                 {-100, 984, -16, 1024}},
        // The shell's answer is used even though the taskbar window exists.
        TrayCase{"position beats taskbar window",
                 withTaskbarWindow(withPosition(none(), kEdgeBottom, kBottomBar), {0, 0, 500, 500}),
                 {1820, 1040, 1904, 1080}},
        // An edge the rules do not know: an empty target, not the later rules.
        TrayCase{"unknown edge 4",
                 withTaskbarWindow(withPosition(none(), 4, kBottomBar), kBottomBar),
                 {0, 0, 0, 0}},
        TrayCase{"unknown edge max", withPosition(none(), UINT32_MAX, kBottomBar), {0, 0, 0, 0}},
        // Rule 3: the last 150 x 30 of the taskbar window.
        TrayCase{"taskbar window", withTaskbarWindow(none(), kBottomBar), {1770, 1050, 1920, 1080}},
        TrayCase{"narrow taskbar window keeps its width",
                 withTaskbarWindow(none(), {100, 1000, 220, 1080}),
                 {100, 1050, 220, 1080}},
        TrayCase{"short taskbar window keeps its height",
                 withTaskbarWindow(none(), {0, 1056, 1920, 1080}),
                 {1770, 1056, 1920, 1080}},
        TrayCase{"exactly 150 x 30 stays",
                 withTaskbarWindow(none(), {10, 20, 160, 50}),
                 {10, 20, 160, 50}},
        TrayCase{"empty taskbar window as Wine has it",
                 withTaskbarWindow(none(), {0, 0, 0, 0}),
                 {0, 0, 0, 0}},
        // Rule 4: no taskbar at all.
        TrayCase{"no taskbar", none(), {1770, 1010, 1920, 1040}},
        TrayCase{"no taskbar, tiny work area",
                 [] {
                     TrayAreaFacts facts = none();
                     facts.workArea = {0, 0, 100, 20};
                     return facts;
                 }(),
                 {-50, -10, 100, 20}}));

TEST(TrayAreaExtremes, DifferencesSaturateInsteadOfWrapping) {
    TrayAreaFacts facts = withPosition(none(), kEdgeBottom, {INT32_MIN, 0, INT32_MIN + 5, 40});
    EXPECT_EQ(chooseTrayArea(facts), (PixelRect{INT32_MIN, 0, INT32_MIN, 40}));

    facts = withPosition(none(), kEdgeLeft, {0, INT32_MIN, 60, INT32_MIN + 50});
    EXPECT_EQ(chooseTrayArea(facts), (PixelRect{0, INT32_MIN, 60, INT32_MIN + 34}));

    // Width and height beyond 32 bits are still recognised as wide and tall.
    facts = withTaskbarWindow(none(), {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX});
    EXPECT_EQ(chooseTrayArea(facts),
              (PixelRect{INT32_MAX - 150, INT32_MAX - 30, INT32_MAX, INT32_MAX}));

    facts = none();
    facts.workArea = {INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1};
    EXPECT_EQ(chooseTrayArea(facts),
              (PixelRect{INT32_MIN, INT32_MIN, INT32_MIN + 1, INT32_MIN + 1}));
}

}  // namespace
