#include "magnifier/magnifier_window.h"
#include <dwmapi.h>

#include "base/win/system_library.h"
#include "magnifier/vacated_area.h"
#include "resources/commands.h"
#include "resources/window_classes.h"
#include "base/win/handle_guards.h"
#include "base/win/pixel_rect_win.h"
#include "picture/thumbnail_fit.h"
#include "settings/settings.h"
#include "texts/texts.h"

namespace {

const UINT kFollowPeriodMs = 100;
// How long a new snapshot waits, without a compositor, for the windows beneath to repaint.
const DWORD kRepaintBoundMs = 200;
const UINT kRepaintNow = RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW;

void registerZoomWindowClass(HCURSOR cursor) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = magnifierWindowProc;
    windowClass.hCursor = cursor;
    windowClass.lpszClassName = kZoomWindowClass;
    RegisterClassExA(&windowClass);
}

bool windowIsAt(HWND window, ViewPoint origin, int32_t width, int32_t height) {
    RECT current = {};
    if (!GetWindowRect(window, &current)) {
        return false;
    }
    return current.left == origin.x && current.top == origin.y &&
           current.right - current.left == width && current.bottom - current.top == height;
}

UiText reasonText(SaveFailure failure) {
    switch (failure) {
        case SaveFailure::kHeld:
            return UiText::SaveHeld;
        case SaveFailure::kDiskFull:
            return UiText::SaveDiskFull;
        case SaveFailure::kAccessDenied:
            return UiText::SaveAccessDenied;
        case SaveFailure::kOther:
            break;
    }
    return UiText::SaveNotWritten;
}

// A save that did not land is never passed over in silence: the file and the reason in the
// user's language, owned by a window of the program's own so that it comes up in front.
void reportFailedSave(HWND owner, const ThumbnailSave& save) {
    wchar_t text[1024];
    composeSaveFailure(text, sizeof(text) / sizeof(text[0]), uiString(UiText::SaveFailed),
                       save.path, uiString(reasonText(saveFailureOf(save.systemError))));
    MessageBoxW(owner, text, L"Error", MB_OK | MB_ICONERROR | MB_SETFOREGROUND);
}

// Desktop composition, from dwmapi.dll in the system folder, loaded at the first activation
// while the window shows and kept to the end of the process. Null functions where it cannot
// be had.
struct Compositor {
    UniqueModule library;
    decltype(&DwmIsCompositionEnabled) isEnabled = nullptr;
    decltype(&DwmSetWindowAttribute) setAttribute = nullptr;
    decltype(&DwmFlush) flush = nullptr;
};

const Compositor& compositor() {
    static const Compositor loaded = [] {
        Compositor made;
        made.library.reset(loadSystemLibrary("dwmapi.dll"));
        HMODULE library = made.library.get();
        made.isEnabled =
            libraryExport<decltype(&DwmIsCompositionEnabled)>(library, "DwmIsCompositionEnabled");
        made.setAttribute =
            libraryExport<decltype(&DwmSetWindowAttribute)>(library, "DwmSetWindowAttribute");
        made.flush = libraryExport<decltype(&DwmFlush)>(library, "DwmFlush");
        return made;
    }();
    return loaded;
}

// Windows 8 and later compose always; Windows 7 without Aero and Wine (a stub) do not.
bool composes(const Compositor& composition) {
    BOOL enabled = FALSE;
    return composition.isEnabled != nullptr && composition.setAttribute != nullptr &&
           composition.flush != nullptr && SUCCEEDED(composition.isEnabled(&enabled)) &&
           enabled != FALSE;
}

}  // namespace

Snapshot::Snapshot(UniqueBitmap bitmap)
    : bitmap_(std::move(bitmap)), dc_(CreateCompatibleDC(nullptr)), state_(dc_.get()) {
    if (dc_ && bitmap_) {
        SelectObject(dc_.get(), bitmap_.get());
    }
}

Magnifier::Magnifier(const ViewSettings& view, ThumbnailLoaders loaders)
    : thumbnailLoaders(loaders),
      viewWidth(view.width),
      viewHeight(view.height),
      zoom(clampInitialZoom(view.zoom)) {}

Magnifier::Magnifier(const ViewSettings& view, UniqueBitmap snapshotBitmap, PixelRect screen)
    : thumbnailLoaders(),
      snapshot(std::in_place, std::move(snapshotBitmap)),
      screenWidth(screen.right - screen.left),
      screenHeight(screen.bottom - screen.top),
      screenLeft(screen.left),
      screenTop(screen.top),
      viewWidth(view.width),
      viewHeight(view.height),
      zoom(clampInitialZoom(view.zoom)),
      active(1) {}

// Window, cursor and any snapshot are left to the end of the process.
Magnifier::~Magnifier() = default;

HWND Magnifier::create(HWND ownerWindow) {
    if (window != nullptr) {
        return nullptr;
    }
    owner = ownerWindow;
    crossCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    registerZoomWindowClass(crossCursor);
    // The window carries its object from its first message on (see magnifierWindowProc).
    // Hidden from the start and never activated here: a window shown even for a moment takes
    // the foreground from whatever the user works in.
    window = CreateWindowExA(0, kZoomWindowClass, "", WS_POPUP | WS_THICKFRAME, -300, -300, 300,
                             300, owner, nullptr, nullptr, this);
    if (window != nullptr) {
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    return window;
}

int Magnifier::activate() {
    if (!IsWindow(window)) {
        return 0;
    }
    // Again while shown: the window leaves the screen first, so that no snapshot holds its own
    // picture.
    if (IsWindowVisible(window)) {
        takeOffScreen();
    }
    snapshot.reset();
    if (!takeSnapshot()) {
        // No picture to show (no memory for a bitmap of the whole virtual screen, say): no
        // window either, and the next press tries again.
        snapshot.reset();
        hide();
        return 0;
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    active = 1;
    clampView(viewWidth, viewHeight);
    ViewPoint origin = centredOrigin(cursor.x, cursor.y, viewWidth, viewHeight);
    SetWindowPos(window, HWND_TOPMOST, origin.x, origin.y, viewWidth, viewHeight, SWP_SHOWWINDOW);
    // Straight after the copy, before the settings are written: the right a registered hotkey,
    // a tray click or a second start gave this process runs out at the user's next input.
    SetForegroundWindow(window);
    SetTimer(window, TIMER_ID, kFollowPeriodMs, nullptr);
    storeView();
    SetCursor(crossCursor);
    return 1;
}

// The window is hidden whenever the snapshot is taken, so no snapshot holds its own picture.
// False when the copy could not be made.
bool Magnifier::takeSnapshot() {
    WindowDc screen(nullptr);
    screenLeft = GetSystemMetrics(SM_XVIRTUALSCREEN);
    screenTop = GetSystemMetrics(SM_YVIRTUALSCREEN);
    screenWidth = GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screenHeight = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    // Compatible with the screen: a bitmap compatible with a fresh memory DC would be
    // monochrome.
    snapshot.emplace(UniqueBitmap(CreateCompatibleBitmap(screen.get(), screenWidth, screenHeight)));
    return snapshot->dc() != nullptr && snapshot->bitmap() != nullptr &&
           BitBlt(snapshot->dc(), 0, 0, screenWidth, screenHeight, screen.get(), screenLeft,
                  screenTop, SRCCOPY);
}

// A screen copy shows what is on the screen. A compositor shows what it last presented: the
// window goes without its fade, and the copy waits for the next frame. Without one the windows
// beneath repaint the area, each in its own time, and the copy waits for that, a bounded while.
void Magnifier::takeOffScreen() {
    const Compositor& composition = compositor();
    if (composes(composition)) {
        const BOOL disabled = TRUE;
        composition.setAttribute(window, DWMWA_TRANSITIONS_FORCEDISABLED, &disabled,
                                 sizeof(disabled));
        hideKeepingForeground();
        composition.flush();
        return;
    }
    RECT area = {};
    GetWindowRect(window, &area);
    const VacatedArea vacated(area);
    hideKeepingForeground();
    vacated.waitForRepaint(kRepaintBoundMs);
}

void Magnifier::hideKeepingForeground() {
    SetForegroundWindow(owner);
    hide();
}

void Magnifier::hide() {
    if (active == 0) {
        return;
    }
    active = 0;
    snapshot.reset();
    ShowWindow(window, SW_HIDE);
    KillTimer(window, TIMER_ID);
}

// The window takes the new size at its next follow step.
void Magnifier::setViewSize(int32_t width, int32_t height) {
    clampView(width, height);
    storeView();
}

void Magnifier::clampView(int32_t width, int32_t height) {
    ViewSize size = clampViewSize(width, height, screenWidth, screenHeight);
    viewWidth = size.width;
    viewHeight = size.height;
}

void Magnifier::storeView() const {
    saveView({viewWidth, viewHeight, zoom});
}

// Runs for every mouse move and timer tick, so it allocates nothing; a step that finds the
// window in place skips the move but still repaints, as the paint reads the cursor anew.
void Magnifier::follow(int x, int y) {
    POINT cursor = {x, y};
    ClientToScreen(window, &cursor);
    SetCursor(crossCursor);
    ViewPoint origin = centredOrigin(cursor.x, cursor.y, viewWidth, viewHeight);
    if (!windowIsAt(window, origin, viewWidth, viewHeight)) {
        MoveWindow(window, origin.x, origin.y, viewWidth, viewHeight, TRUE);
    }
    RedrawWindow(window, nullptr, nullptr, kRepaintNow);
}

int Magnifier::paintView(HDC targetDc) {
    if (snapshotDc() == nullptr) {
        return 0;
    }
    POINT cursor = {};
    GetCursorPos(&cursor);
    ViewPoint snap = snapshotPosition(cursor.x, cursor.y, screenLeft, screenTop);
    ViewStretch stretch =
        computeViewStretch(snap.x, snap.y, viewWidth, viewHeight, zoom, screenWidth, screenHeight);
    // First the neutral areas, then the stretch: where the stretch paints a pixel it
    // overwrites them, and where its source lies outside the snapshot it paints nothing.
    fillUncoveredAreas(targetDc, stretch);
    SetStretchBltMode(targetDc, COLORONCOLOR);
    if (snapshotBitmap() == nullptr) {
        return 0;
    }
    if (!stretchIsDrawable(stretch)) {
        return 1;  // the cursor is far outside a stale snapshot: the view is all neutral
    }
    return StretchBlt(targetDc, 0, 0, stretch.destWidth, stretch.destHeight, snapshotDc(),
                      stretch.srcX, stretch.srcY, stretch.srcWidth, stretch.srcHeight, SRCCOPY);
}

// The target is the view, or more when the surface is larger (a window dragged wider on its
// frame until the next follow step). The DC brush fills without creating a GDI object.
void Magnifier::fillUncoveredAreas(HDC targetDc, const ViewStretch& stretch) {
    RECT clip = {};
    GetClipBox(targetDc, &clip);
    int32_t targetWidth = clip.right > viewWidth ? clip.right : viewWidth;
    int32_t targetHeight = clip.bottom > viewHeight ? clip.bottom : viewHeight;
    bool hasSnapshot = snapshotBitmap() != nullptr;
    UncoveredAreas areas =
        uncoveredAreas(stretch, targetWidth, targetHeight, hasSnapshot ? screenWidth : 0,
                       hasSnapshot ? screenHeight : 0);
    if (areas.count == 0) {
        return;
    }
    COLORREF previous = SetDCBrushColor(targetDc, kNeutralColour);
    HBRUSH brush = static_cast<HBRUSH>(GetStockObject(DC_BRUSH));
    for (int32_t i = 0; i < areas.count; ++i) {
        const RECT rect = toRect(areas.rects[i]);
        FillRect(targetDc, &rect, brush);
    }
    if (previous != CLR_INVALID) {
        SetDCBrushColor(targetDc, previous);
    }
}

// The margins that the frame hides on the screen are included, drawn as the window shows them.
UniqueBitmap Magnifier::renderView() {
    RECT outer = {};
    if (!GetWindowRect(window, &outer) || outer.right <= outer.left || outer.bottom <= outer.top) {
        return UniqueBitmap();
    }
    WindowDc screen(nullptr);
    UniqueBitmap bitmap(
        CreateCompatibleBitmap(screen.get(), outer.right - outer.left, outer.bottom - outer.top));
    UniqueHdc memoryDc(CreateCompatibleDC(screen.get()));
    if (!bitmap || !memoryDc) {
        return UniqueBitmap();
    }
    SavedDcState savedState(memoryDc.get());
    SelectGuard select(memoryDc.get(), bitmap.get());
    if (paintView(memoryDc.get()) == 0) {
        return UniqueBitmap();
    }
    return bitmap;
}

void Magnifier::saveThumbnail() {
    RECT outer = {};
    GetWindowRect(window, &outer);
    UniqueBitmap view = renderView();
    // The snapshot goes before the save dialog, which runs its own message loop; the dialog is
    // the owner's, which holds the foreground by then, so it opens in front with the keyboard.
    hideKeepingForeground();
    if (view) {
        const ThumbnailSave save =
            saveThumbnailPicture(thumbnailLoaders, owner, view.get(), outer.right - outer.left,
                                 outer.bottom - outer.top);
        if (save.failed) {
            reportFailedSave(owner, save);
        }
    }
}

void Magnifier::onPaint() {
    PaintScope paint(window);
    paintView(paint.dc());
}

void Magnifier::onTimer() {
    POINT cursor = {};
    GetCursorPos(&cursor);
    ScreenToClient(window, &cursor);
    follow(cursor.x, cursor.y);
    SetFocus(window);
}

LRESULT Magnifier::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            onPaint();
            break;
        case WM_TIMER:
            onTimer();
            break;
        case WM_MOUSEMOVE:
            follow(LOWORD(lParam), HIWORD(lParam));
            break;
        case WM_SETCURSOR:
            if (active == 1) {
                SetCursor(crossCursor);
            }
            break;
        case WM_KEYDOWN:
            onKeyDown(wParam);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            hide();
            break;
        case WM_MOUSEWHEEL:
            onMouseWheel(wParam);
            break;
        case WM_HSCROLL:
        case WM_VSCROLL:
            onScroll(wParam);
            break;
        default:
            break;
    }
    return 0;
}

// Every message also goes to the default procedure, so the frame keeps its sizing cursors;
// except a paint the handler has completed, where the default procedure would only repeat an
// empty BeginPaint/EndPaint pair (and answer 0 all the same) on every follow step. Messages
// before WM_NCCREATE find no object yet and go to the default procedure alone.
LRESULT CALLBACK magnifierWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        // NOLINTNEXTLINE(performance-no-int-to-ptr): the system passes the record in lParam
        auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the window keeps its object as LONG_PTR
    auto* zoomWindow = reinterpret_cast<Magnifier*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (zoomWindow != nullptr) {
        zoomWindow->handleMessage(message, wParam, lParam);
        if (message == WM_PAINT) {
            return 0;
        }
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
