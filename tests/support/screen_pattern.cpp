#include "tests/support/screen_pattern.h"

#include <cstdio>
#include <cstring>

#include "tests/support/e2e.h"

namespace e2e {

const RECT kTrayCorner = {0, 0, 170, 50};

COLORREF patternColour(int x, int y) {
    return RGB(x & 0xFF, y & 0xFF, ((x >> 8) & 0x0F) | (((y >> 8) & 0x0F) << 4));
}

POINT patternPoint(COLORREF colour) {
    int blue = GetBValue(colour);
    POINT point = {GetRValue(colour) | ((blue & 0x0F) << 8),
                   GetGValue(colour) | ((blue >> 4) << 8)};
    return point;
}

bool inTrayCorner(int x, int y) {
    return x >= kTrayCorner.left && x < kTrayCorner.right && y >= kTrayCorner.top &&
           y < kTrayCorner.bottom;
}

BITMAPINFO dibInfo(int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

HBITMAP createDib(int width, int height, void** bits) {
    BITMAPINFO info = dibInfo(width, height);
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, bits, nullptr, 0);
}

COLORREF colourRefOf(uint32_t argb) {
    return RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
}

PixelGrid gridFromDibBits(const void* bits, int width, int height) {
    PixelGrid grid;
    if (bits == nullptr || width <= 0 || height <= 0) {
        return grid;
    }
    grid.width = width;
    grid.height = height;
    grid.pixels.resize(static_cast<size_t>(width) * height);
    const auto* pixels = static_cast<const DWORD*>(bits);
    for (size_t i = 0; i < grid.pixels.size(); ++i) {
        grid.pixels[i] = pixels[i] | 0xFF000000u;
    }
    return grid;
}

namespace {

const char kPatternClass[] = "VistrelTestPattern";

struct PatternPicture {
    HDC dc = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previous = nullptr;
};

LRESULT CALLBACK patternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* picture = reinterpret_cast<PatternPicture*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            HDC dc = BeginPaint(window, &paint);
            if (picture != nullptr) {
                const RECT& r = paint.rcPaint;
                BitBlt(dc, r.left, r.top, r.right - r.left, r.bottom - r.top, picture->dc, r.left,
                       r.top, SRCCOPY);
            }
            EndPaint(window, &paint);
            return 0;
        }
        case WM_MOUSEACTIVATE:
            return MA_NOACTIVATE;
        case WM_CLOSE:
            DestroyWindow(window);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

ScreenPattern::ScreenPattern()
    : ScreenPattern(RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)}) {}

ScreenPattern::ScreenPattern(const RECT& area) : ScreenPattern(area, CLR_INVALID) {}

ScreenPattern::ScreenPattern(const RECT& area, COLORREF solid) : area_(area), solid_(solid) {
    ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    thread_ = CreateThread(nullptr, 0, threadMain, this, 0, nullptr);
    WaitForSingleObject(ready_, 10000);
}

ScreenPattern::~ScreenPattern() {
    if (window_ != nullptr) {
        PostMessageA(window_, WM_CLOSE, 0, 0);
    }
    if (thread_ != nullptr) {
        WaitForSingleObject(thread_, 10000);
        CloseHandle(thread_);
    }
    CloseHandle(ready_);
}

DWORD WINAPI ScreenPattern::threadMain(void* self) {
    auto* pattern = static_cast<ScreenPattern*>(self);
    const RECT area = pattern->area_;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    PatternPicture picture;
    void* bits = nullptr;
    picture.bitmap = createDib(width, height, &bits);
    picture.dc = CreateCompatibleDC(nullptr);
    if (picture.bitmap != nullptr && bits != nullptr) {
        auto* pixels = static_cast<DWORD*>(bits);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                COLORREF c = pattern->colourAt(area.left + x, area.top + y);
                pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
            }
        }
        picture.previous = SelectObject(picture.dc, picture.bitmap);
    }

    registerTestClass(kPatternClass, patternProc);
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                  kPatternClass, "", WS_POPUP, area.left, area.top, width, height,
                                  nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&picture));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    UpdateWindow(window);
    pattern->window_ = window;
    SetEvent(pattern->ready_);

    MSG message;
    while (window != nullptr && GetMessageA(&message, nullptr, 0, 0) > 0) {
        DispatchMessageA(&message);
    }
    if (picture.previous != nullptr) {
        SelectObject(picture.dc, picture.previous);
    }
    DeleteDC(picture.dc);
    DeleteObject(picture.bitmap);
    return 0;
}

COLORREF ScreenPattern::colourAt(int x, int y) const {
    return solid_ != CLR_INVALID ? solid_ : patternColour(x, y);
}

bool ScreenPattern::waitUntilVisible(DWORD timeoutMs) const {
    if (window_ == nullptr) {
        return false;
    }
    // Points well inside the area and away from the tray corner.
    const int midX = (area_.left + area_.right) / 2;
    const int midY = (area_.top + area_.bottom) / 2;
    const POINT probes[] = {{midX, midY},
                            {area_.right - 3, area_.bottom - 3},
                            {area_.left + 2, area_.bottom - 5},
                            {area_.right - 7, midY}};
    return waitUntil(
        [&] {
            for (POINT p : probes) {
                if (!inTrayCorner(p.x, p.y) && screenPixel(p.x, p.y) != colourAt(p.x, p.y)) {
                    return false;
                }
            }
            return true;
        },
        timeoutMs);
}

void ScreenPattern::repaint() const {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

COLORREF PixelGrid::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= width || y >= height) {
        return CLR_INVALID;
    }
    return colourRefOf(argb(x, y));
}

namespace {

PixelGrid gridFromDc(HDC source, int left, int top, int width, int height) {
    PixelGrid grid;
    if (width <= 0 || height <= 0) {
        return grid;
    }
    void* bits = nullptr;
    HBITMAP dib = createDib(width, height, &bits);
    HDC dc = CreateCompatibleDC(nullptr);
    if (dib != nullptr && dc != nullptr && bits != nullptr) {
        HGDIOBJ previous = SelectObject(dc, dib);
        if (BitBlt(dc, 0, 0, width, height, source, left, top, SRCCOPY)) {
            GdiFlush();
            grid = gridFromDibBits(bits, width, height);
        }
        SelectObject(dc, previous);
    }
    if (dc != nullptr) {
        DeleteDC(dc);
    }
    if (dib != nullptr) {
        DeleteObject(dib);
    }
    return grid;
}

}  // namespace

PixelGrid captureScreen(const RECT& area) {
    HDC screen = GetDC(nullptr);
    PixelGrid grid =
        gridFromDc(screen, area.left, area.top, area.right - area.left, area.bottom - area.top);
    ReleaseDC(nullptr, screen);
    return grid;
}

PixelGrid gridFromBitmap(HBITMAP bitmap) {
    BITMAP info = {};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof(info), &info) == 0 || info.bmWidth <= 0 ||
        info.bmHeight <= 0) {
        return PixelGrid();
    }
    PixelGrid picture(info.bmWidth, info.bmHeight, 0);
    BITMAPINFO header = dibInfo(info.bmWidth, info.bmHeight);
    HDC screen = GetDC(nullptr);
    int rows =
        GetDIBits(screen, bitmap, 0, info.bmHeight, picture.pixels.data(), &header, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    if (rows != info.bmHeight) {
        return PixelGrid();
    }
    for (uint32_t& pixel : picture.pixels) {
        pixel |= 0xFF000000u;
    }
    return picture;
}

HBITMAP makeBitmap(const PixelGrid& picture) {
    void* bits = nullptr;
    HBITMAP bitmap = createDib(picture.width, picture.height, &bits);
    if (bitmap != nullptr && bits != nullptr) {
        memcpy(bits, picture.pixels.data(), picture.pixels.size() * 4);
        GdiFlush();
    }
    return bitmap;
}

COLORREF screenPixel(int x, int y) {
    PixelGrid grid = captureScreen(RECT{x, y, x + 1, y + 1});
    return grid.at(0, 0);
}

bool waitForScreenPixel(int x, int y, COLORREF expected, DWORD timeoutMs) {
    return waitUntil([&] { return screenPixel(x, y) == expected; }, timeoutMs);
}

RECT clientRectOnScreen(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT origin = {0, 0};
    ClientToScreen(window, &origin);
    return RECT{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
}

bool viewSource(const ExpectedView& view, int viewX, int viewY, POINT* source) {
    if (viewX < 0 || viewY < 0 || viewX >= view.destWidth || viewY >= view.destHeight) {
        return false;
    }
    source->x = view.srcX +
                static_cast<int>(static_cast<long long>(viewX) * view.srcWidth / view.destWidth);
    source->y = view.srcY +
                static_cast<int>(static_cast<long long>(viewY) * view.srcHeight / view.destHeight);
    return true;
}

int compareViewWithPattern(const PixelGrid& picture, int offsetX, int offsetY,
                           const ExpectedView& view, std::string* report) {
    int mismatches = 0;
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            const int viewX = x + offsetX;
            const int viewY = y + offsetY;
            POINT source = {};
            COLORREF expected = view.neutral;
            if (viewSource(view, viewX, viewY, &source) && source.x >= 0 && source.y >= 0 &&
                source.x < view.snapshotWidth && source.y < view.snapshotHeight) {
                const int screenX = source.x + view.originX;
                const int screenY = source.y + view.originY;
                if (inTrayCorner(screenX, screenY)) {
                    continue;
                }
                expected = patternColour(screenX, screenY);
            }
            COLORREF actual = picture.at(x, y);
            if (actual == expected) {
                continue;
            }
            if (++mismatches <= 5 && report != nullptr) {
                POINT shown = patternPoint(actual);
                char line[200];
                snprintf(line, sizeof(line),
                         "view (%d,%d): expected %06lX (source %ld,%ld), got %06lX (as pattern "
                         "%ld,%ld)\n",
                         viewX, viewY, static_cast<unsigned long>(expected), source.x, source.y,
                         static_cast<unsigned long>(actual), shown.x, shown.y);
                *report += line;
            }
        }
    }
    return mismatches;
}

}  // namespace e2e
