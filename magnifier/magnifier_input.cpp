// The zoom window's keyboard, button, wheel and scroll rows. Every row leaves the message to
// the default procedure afterwards (see magnifierWindowProc).
#include "resources/commands.h"
#include "settings/settings.h"
#include "magnifier/clipboard_export.h"
#include "magnifier/magnifier_window.h"

void Magnifier::onKeyDown(WPARAM key) {
    const int32_t step = keyStep((GetKeyState(VK_SHIFT) & 0x8000) != 0);
    const int32_t code = static_cast<int32_t>(key);
    switch (code) {
        case VK_ESCAPE:
            hide();
            return;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN: {
            ViewSize size = viewSizeAfterArrow(code, viewWidth, viewHeight, step);
            setViewSize(size.width, size.height);
            return;
        }
        case VK_ADD:
            applyZoomIfChanged(zoomIn(zoom));
            return;
        case VK_SUBTRACT:
            applyZoomIfChanged(zoomOut(zoom, 2));
            return;
        case 'P':
        case 'C':
            copyPixelColour(window, snapshotDc(), screenLeft, screenTop);
            return;
        case 'B':
            copyViewBitmap(window, renderView());
            return;
        case 'T':
            saveThumbnail();
            return;
        // Hidden, and the snapshot freed, before the owner opens a window of its own.
        case 'H':
            hideKeepingForeground();
            sendToOwner(CMD_SET_HOTKEY);
            return;
        case VK_F1:
            hideKeepingForeground();
            sendToOwner(CMD_HELP);
            return;
        default:
            break;
    }
    const int32_t digitZoom = zoomForDigitKey(code);
    if (digitZoom != 0) {
        applyZoom(digitZoom);  // also when the zoom had that value already
    }
}

void Magnifier::onMouseWheel(WPARAM wParam) {
    const int32_t delta = static_cast<int16_t>(HIWORD(wParam));
    applyZoomIfChanged(zoomAfterWheel(zoom, delta));
}

void Magnifier::onScroll(WPARAM wParam) {
    applyZoomIfChanged(zoomAfterScroll(zoom, LOWORD(wParam)));
}

void Magnifier::applyZoom(int32_t newZoom) {
    zoom = newZoom;
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    storeView();
}

void Magnifier::applyZoomIfChanged(int32_t newZoom) {
    if (newZoom != zoom) {
        applyZoom(newZoom);
    }
}

// Sent, not posted: the owner has acted before the key handler returns.
void Magnifier::sendToOwner(int command) {
    SendMessageA(owner, WM_COMMAND, static_cast<WPARAM>(command), 0);
}
