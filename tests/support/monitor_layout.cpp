#include "tests/support/monitor_layout.h"

#include <vector>

#include "tests/support/zoom_view.h"

namespace e2e {

const RECT kPrimaryMonitor = {0, 0, 1920, 1080};
const RECT kLeftMonitor = {-1280, 0, 0, 1024};

RECT virtualScreenRect() {
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    return RECT{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

namespace {

struct FoundMonitor {
    RECT rect;
    bool primary;
};

BOOL CALLBACK collectMonitor(HMONITOR monitor, HDC, LPRECT rect, LPARAM found) {
    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    const bool primary = GetMonitorInfoA(monitor, &info) && (info.dwFlags & MONITORINFOF_PRIMARY);
    auto* monitors = reinterpret_cast<std::vector<FoundMonitor>*>(found);
    // A bound on what is looked at: far more monitors than any layout here has.
    monitors->push_back(FoundMonitor{*rect, primary});
    return monitors->size() < 16;
}

}  // namespace

std::string monitorLayoutMismatch() {
    std::vector<FoundMonitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collectMonitor, reinterpret_cast<LPARAM>(&monitors));
    bool primaryFound = false, leftFound = false;
    std::string shown;
    for (const FoundMonitor& monitor : monitors) {
        primaryFound |= monitor.primary && sameRect(monitor.rect, kPrimaryMonitor);
        leftFound |= !monitor.primary && sameRect(monitor.rect, kLeftMonitor);
        shown += " " + describeRect(monitor.rect) + (monitor.primary ? " (primary)" : "");
    }
    if (monitors.size() == 2 && primaryFound && leftFound) {
        return std::string();
    }
    return "needs a 1920 x 1080 primary monitor and a 1280 x 1024 one left of it "
           "(scripts/wine-test --monitors); this session shows" +
           shown;
}

ExpectedView virtualScreenView(int srcX, int srcY, int srcWidth, int srcHeight, int destWidth,
                               int destHeight) {
    const RECT screen = virtualScreenRect();
    ExpectedView view = screenView(srcX, srcY, srcWidth, srcHeight, destWidth, destHeight);
    view.snapshotWidth = screen.right - screen.left;
    view.snapshotHeight = screen.bottom - screen.top;
    view.originX = screen.left;
    view.originY = screen.top;
    return view;
}

}  // namespace e2e
