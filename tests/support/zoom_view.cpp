#include "tests/support/zoom_view.h"

#include <cstdio>

#include "resources/commands.h"

namespace e2e {

const COLORREF kNeutral = RGB(0x80, 0x80, 0x80);

bool moveCursorTo(int x, int y) {
    SetCursorPos(x, y);
    bool there = waitUntil(
        [&] {
            POINT cursor = {};
            GetCursorPos(&cursor);
            return cursor.x == x && cursor.y == y;
        },
        2000);
    // Input: for about 100 ms after a move Wine may still answer another process's
    // GetCursorPos from its earlier record (seen at negative x beside a second monitor).
    pumpFor(200);
    return there;
}

RECT centredRect(int cursorX, int cursorY, int width, int height) {
    RECT rect = {cursorX - width / 2, cursorY - height / 2, 0, 0};
    rect.right = rect.left + width;
    rect.bottom = rect.top + height;
    return rect;
}

bool sameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string describeRect(const RECT& rect) {
    char text[80];
    snprintf(text, sizeof(text), "(%ld,%ld)-(%ld,%ld)", rect.left, rect.top, rect.right,
             rect.bottom);
    return text;
}

namespace {

// The program's zoom window while it is visible and, given a rectangle, stands there.
HWND visibleZoomWindow(const Program& program, const RECT* rect) {
    HWND zoom = program.zoomWindow();
    if (zoom == nullptr || !IsWindowVisible(zoom) ||
        (rect != nullptr && !sameRect(windowRect(zoom), *rect))) {
        return nullptr;
    }
    return zoom;
}

HWND waitForVisibleZoomWindow(const Program& program, const RECT* rect, DWORD timeoutMs) {
    HWND zoom = nullptr;
    waitUntil([&] { return (zoom = visibleZoomWindow(program, rect)) != nullptr; }, timeoutMs);
    return zoom;
}

}  // namespace

HWND waitForZoomWindowAt(const Program& program, const RECT& rect, DWORD timeoutMs) {
    return waitForVisibleZoomWindow(program, &rect, timeoutMs);
}

HWND waitForZoomWindowShown(const Program& program, DWORD timeoutMs) {
    return waitForVisibleZoomWindow(program, nullptr, timeoutMs);
}

HWND startAndMagnify(Program& program, int x, int y, int width, int height) {
    if (!moveCursorTo(x, y) || (!program.running() && !program.start()) ||
        program.waitForMainWindow() == nullptr ||
        !sendToWindow(program.mainWindow(), WM_COMMAND, CMD_MAGNIFY, 0)) {
        return nullptr;
    }
    return waitForZoomWindowAt(program, centredRect(x, y, width, height));
}

HWND magnifyNow(const Program& program) {
    if (!sendToWindow(program.mainWindow(), WM_COMMAND, CMD_MAGNIFY, 0)) {
        return nullptr;
    }
    return visibleZoomWindow(program, nullptr);
}

bool waitForZoomWindowHidden(const Program& program, DWORD timeoutMs) {
    return waitUntil(
        [&] {
            HWND zoom = program.zoomWindow();
            return zoom != nullptr && !IsWindowVisible(zoom);
        },
        timeoutMs);
}

bool waitForKeyboardFocus(HWND window, DWORD timeoutMs) {
    bool foreground = waitUntil([&] { return GetForegroundWindow() == window; }, timeoutMs);
    pumpFor(300);
    return foreground && GetForegroundWindow() == window;
}

ExpectedView screenView(int srcX, int srcY, int srcWidth, int srcHeight, int destWidth,
                        int destHeight) {
    return ExpectedView{srcX,
                        srcY,
                        srcWidth,
                        srcHeight,
                        destWidth,
                        destHeight,
                        GetSystemMetrics(SM_CXSCREEN),
                        GetSystemMetrics(SM_CYSCREEN),
                        kNeutral};
}

namespace {

RECT intersect(const RECT& a, const RECT& b) {
    RECT result = {};
    IntersectRect(&result, &a, &b);
    return result;
}

int compareVisibleClient(HWND zoomWindow, const ExpectedView& view, std::string* report) {
    const RECT client = clientRectOnScreen(zoomWindow);
    // The whole virtual screen: with a monitor left of the primary one, the window may stand
    // at negative x.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const RECT screen = {left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    const RECT visible = intersect(client, screen);
    if (IsRectEmpty(&visible)) {
        *report = "client area off the screen";
        return -1;
    }
    PixelGrid picture = captureScreen(visible);
    if (picture.empty()) {
        *report = "screen read-back failed";
        return -1;
    }
    report->clear();
    return compareViewWithPattern(picture, visible.left - client.left, visible.top - client.top,
                                  view, report);
}

}  // namespace

bool waitForView(HWND zoomWindow, const ExpectedView& view, DWORD timeoutMs, std::string* report) {
    std::string last;
    bool matched = waitUntil([&] { return compareVisibleClient(zoomWindow, view, &last) == 0; },
                             timeoutMs, 50);
    if (report != nullptr) {
        *report = last;
    }
    return matched;
}

bool viewMatchesWhenMovedTo(HWND zoomWindow, POINT place, const ExpectedView& view,
                            std::string* report) {
    std::string last;
    // The follow timer moves the window back every 100 ms; on a busy machine the repaint at
    // the new place can miss several of those windows, so keep trying for a few seconds.
    for (int attempt = 0; attempt < 100; ++attempt) {
        SetWindowPos(zoomWindow, nullptr, place.x, place.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (int look = 0; look < 5; ++look) {
            RECT before = windowRect(zoomWindow);
            if (before.left != place.x || before.top != place.y) {
                break;  // the follow step has moved it back
            }
            const RECT client = clientRectOnScreen(zoomWindow);
            PixelGrid picture = captureScreen(client);
            RECT after = windowRect(zoomWindow);
            if (!sameRect(before, after) || picture.empty()) {
                break;
            }
            last.clear();
            if (compareViewWithPattern(picture, 0, 0, view, &last) == 0) {
                if (report != nullptr) {
                    report->clear();
                }
                return true;
            }
            Sleep(10);
        }
        pumpFor(30);
    }
    if (report != nullptr) {
        *report = last;
    }
    return false;
}

bool sendToWindow(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, message, wParam, lParam, SMTO_BLOCK | SMTO_ABORTIFHUNG,
                               10000, &result) != 0;
}

bool sendKeyDown(HWND window, WPARAM key) {
    return sendToWindow(window, WM_KEYDOWN, key, 1);
}

bool postKeyDown(HWND window, WPARAM key) {
    return PostMessageA(window, WM_KEYDOWN, key, 1) != 0;
}

namespace {

void mouseButton(DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    SendInput(1, &input, sizeof(input));
}

}  // namespace

void clickLeft() {
    mouseButton(MOUSEEVENTF_LEFTDOWN);
    pumpFor(30);
    mouseButton(MOUSEEVENTF_LEFTUP);
}

void clickRight() {
    mouseButton(MOUSEEVENTF_RIGHTDOWN);
    pumpFor(30);
    mouseButton(MOUSEEVENTF_RIGHTUP);
}

HeldKeys::~HeldKeys() {
    releaseAll();
}

void HeldKeys::press(WORD virtualKey) {
    if (count_ < 8) {
        keys_[count_++] = virtualKey;
    }
    keyDown(virtualKey);
    waitUntil([&] { return (GetAsyncKeyState(virtualKey) & 0x8000) != 0; }, 1000, 10);
}

void HeldKeys::pressChord(WORD modifier, WORD virtualKey) {
    if (modifier != 0) {
        press(modifier);
        pumpFor(50);
    }
    press(virtualKey);
}

void HeldKeys::releaseAll() {
    while (count_ > 0) {
        keyUp(keys_[--count_]);
    }
}

}  // namespace e2e
