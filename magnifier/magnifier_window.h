// The zoom window: snapshot of the virtual screen, placement around the cursor, painting.
#pragma once

#include <windows.h>

#include <cstdint>

#include "magnifier/view_geometry.h"

class Magnifier {
  public:
    Magnifier(int32_t width, int32_t height, int32_t zoomFactor);
    virtual ~Magnifier();
    Magnifier(const Magnifier&) = delete;
    Magnifier& operator=(const Magnifier&) = delete;

    HWND create(int32_t width, int32_t height, int32_t zoomFactor, HWND ownerWindow);
    int activate();
    void hide();
    void setViewSize(int32_t width, int32_t height);
    void follow(int x, int y);
    int paintView(HDC targetDc);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Key T: a 250 x 200 JPEG of the view, saved where the user chooses; hides the window.
    void saveThumbnail();

    HCURSOR crossCursor = nullptr;
    HWND window = nullptr;
    HWND owner = nullptr;
    HDC snapshotDc = nullptr;
    HBITMAP snapshotBitmap = nullptr;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t screenLeft = 0;
    int32_t screenTop = 0;
    int32_t viewWidth;
    int32_t viewHeight;
    int32_t zoom;
    int32_t savedDcState = 0;
    int32_t active = 0;

  private:
    void takeSnapshot();
    void releaseSnapshot();
    void fillUncoveredAreas(HDC targetDc, const ViewStretch& stretch);
    void onPaint();
    void onTimer();
    // Keyboard, buttons, wheel and scrolling (magnifier_input.cpp).
    void onKeyDown(WPARAM key);
    void onMouseWheel(WPARAM wParam);
    void onScroll(WPARAM wParam);
    void applyZoom(int32_t newZoom);
    void applyZoomIfChanged(int32_t newZoom);
    void sendToOwner(int command);
};

extern Magnifier magnifier;
extern Magnifier* magnifierInstance;

LRESULT CALLBACK magnifierWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
