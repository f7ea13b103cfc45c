// The zoom window: snapshot of the virtual screen, placement around the cursor, painting.
#pragma once

#include <windows.h>

#include <cstdint>
#include <optional>

#include "base/pixel_rect.h"
#include "base/win/handle_guards.h"
#include "magnifier/view_geometry.h"
#include "picture/thumbnail.h"
#include "settings/settings.h"

// The copy of the virtual screen the zoom window shows: the bitmap selected into a memory DC
// under a saved state. Destruction runs in the one safe order: the state is restored (which
// selects the bitmap out), then the DC is deleted, then the bitmap.
class Snapshot {
  public:
    explicit Snapshot(UniqueBitmap bitmap);
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    HDC dc() const { return dc_.get(); }
    HBITMAP bitmap() const { return bitmap_.get(); }

  private:
    UniqueBitmap bitmap_;
    UniqueHdc dc_;
    SavedDcState state_;
};

class Magnifier {
  public:
    // The stored view: the zoom clamped now, the size at the first activation, against the
    // screen it finds then.
    Magnifier(const ViewSettings& view, ThumbnailLoaders loaders);
    // For tests: as an activation leaves it, over a snapshot of the caller's making taken of a
    // virtual screen at screen; the window is still to be made by create.
    Magnifier(const ViewSettings& view, UniqueBitmap snapshotBitmap, PixelRect screen);
    ~Magnifier();
    Magnifier(const Magnifier&) = delete;
    Magnifier& operator=(const Magnifier&) = delete;

    // The hidden zoom window, owned by ownerWindow; null when it cannot be made or exists.
    HWND create(HWND ownerWindow);
    int activate();
    void hide();
    void setViewSize(int32_t width, int32_t height);
    void follow(int x, int y);
    int paintView(HDC targetDc);
    // The view at the window's outer size, as B and T export it; null when it cannot be drawn.
    UniqueBitmap renderView();
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Key T: a 250 x 200 JPEG of the view, saved where the user chooses; hides the window.
    void saveThumbnail();
    // The one place the view reaches the settings file: at every activation, size or zoom
    // change, and at the program's end.
    void storeView() const;

  private:
    HDC snapshotDc() const { return snapshot ? snapshot->dc() : nullptr; }
    HBITMAP snapshotBitmap() const { return snapshot ? snapshot->bitmap() : nullptr; }
    bool takeSnapshot();
    // The view size clamped against the screen of the last snapshot; nothing written.
    void clampView(int32_t width, int32_t height);
    // Hides the window with the hidden owner taking the activation first, so the foreground
    // stays with the program: before a window of its own opens, or a new snapshot is taken.
    void hideKeepingForeground();
    // Hidden and gone from what a screen copy sees, for a new snapshot while it shows.
    void takeOffScreen();
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

    HCURSOR crossCursor = nullptr;
    HWND window = nullptr;
    HWND owner = nullptr;
    // The exports' GDI+ access.
    ThumbnailLoaders thumbnailLoaders;
    std::optional<Snapshot> snapshot;
    int32_t screenWidth = 0;
    int32_t screenHeight = 0;
    int32_t screenLeft = 0;
    int32_t screenTop = 0;
    int32_t viewWidth;
    int32_t viewHeight;
    int32_t zoom;
    int32_t active = 0;
};

LRESULT CALLBACK magnifierWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
