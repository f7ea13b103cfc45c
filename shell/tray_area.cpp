#include "shell/tray_area.h"

#include <cstdint>

namespace {

int32_t minus(int32_t value, int64_t amount) {
    int64_t result = static_cast<int64_t>(value) - amount;
    if (result < INT32_MIN) {
        return INT32_MIN;
    }
    if (result > INT32_MAX) {
        return INT32_MAX;
    }
    return static_cast<int32_t>(result);
}

TrayRect fromTaskbarPosition(uint32_t edge, const TrayRect& rc) {
    switch (edge) {
        case kEdgeLeft:
        case kEdgeRight:
            return TrayRect{rc.left, minus(rc.bottom, 100), rc.right, minus(rc.bottom, 16)};
        case kEdgeTop:
        case kEdgeBottom:
            return TrayRect{minus(rc.right, 100), rc.top, minus(rc.right, 16), rc.bottom};
        default:
            // Nothing known about an edge like this: an empty target rather than stale memory.
            return TrayRect{0, 0, 0, 0};
    }
}

TrayRect fromTaskbarWindow(TrayRect rect) {
    if (static_cast<int64_t>(rect.right) - rect.left > 150) {
        rect.left = minus(rect.right, 150);
    }
    if (static_cast<int64_t>(rect.bottom) - rect.top > 30) {
        rect.top = minus(rect.bottom, 30);
    }
    return rect;
}

}  // namespace

TrayRect chooseTrayArea(const TrayAreaFacts& facts) {
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
    TrayRect area = facts.workArea;
    area.left = minus(area.right, 150);
    area.top = minus(area.bottom, 30);
    return area;
}
