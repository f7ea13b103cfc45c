#include "shell/tray_area.h"

#include <cstdint>

#include "base/saturating.h"

namespace {

int32_t minus(int32_t value, int64_t amount) {
    return clampToInt32(int64_t{value} - amount);
}

PixelRect fromTaskbarPosition(uint32_t edge, const PixelRect& rc) {
    switch (edge) {
        case kEdgeLeft:
        case kEdgeRight:
            return PixelRect{rc.left, minus(rc.bottom, 100), rc.right, minus(rc.bottom, 16)};
        case kEdgeTop:
        case kEdgeBottom:
            return PixelRect{minus(rc.right, 100), rc.top, minus(rc.right, 16), rc.bottom};
        default:
            // Nothing known about an edge like this: an empty target rather than stale memory.
            return PixelRect{0, 0, 0, 0};
    }
}

PixelRect fromTaskbarWindow(PixelRect rect) {
    if (static_cast<int64_t>(rect.right) - rect.left > 150) {
        rect.left = minus(rect.right, 150);
    }
    if (static_cast<int64_t>(rect.bottom) - rect.top > 30) {
        rect.top = minus(rect.bottom, 30);
    }
    return rect;
}

}  // namespace

PixelRect chooseTrayArea(const TrayAreaFacts& facts) {
    if (facts.hasNotifyWindow) {
        return facts.notifyWindowRect;
    }
    // The shell's answer beats the taskbar window, although that window was looked at first.
    if (facts.hasTaskbarPosition) {
        return fromTaskbarPosition(facts.taskbarEdge, facts.taskbarPositionRect);
    }
    if (facts.hasTaskbarWindow) {
        return fromTaskbarWindow(facts.taskbarWindowRect);
    }
    PixelRect area = facts.workArea;
    area.left = minus(area.right, 150);
    area.top = minus(area.bottom, 30);
    return area;
}
