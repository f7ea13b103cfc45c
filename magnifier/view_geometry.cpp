#include "magnifier/view_geometry.h"

#include <cstdint>

#include "base/saturating.h"

namespace {

// First target column (row) whose source lies inside the snapshot when the source starts
// at srcStart < 0: the ceiling of the boundary, so it never falls short of the stretch's.
int64_t leadingEdge(int64_t srcStart, int64_t srcLength, int64_t destLength) {
    if (srcStart >= 0) {
        return 0;
    }
    if (-srcStart >= srcLength) {
        return destLength;
    }
    return (-srcStart * destLength + srcLength - 1) / srcLength;
}

// End of the target columns (rows) whose source lies inside a snapshot of snapLength: the
// floor of the boundary.
int64_t trailingEdge(int64_t srcStart, int64_t srcLength, int64_t destLength, int64_t snapLength) {
    if (srcStart + srcLength <= snapLength) {
        return destLength;
    }
    if (snapLength <= srcStart) {
        return 0;
    }
    return (snapLength - srcStart) * destLength / srcLength;
}

void addArea(UncoveredAreas& areas, int32_t left, int32_t top, int32_t right, int32_t bottom) {
    if (left < right && top < bottom && areas.count < 4) {
        areas.rects[areas.count++] = PixelRect{left, top, right, bottom};
    }
}

}  // namespace

int32_t clampInitialZoom(int32_t zoom) {
    if (zoom <= 0) {
        zoom = 2;
    }
    if (zoom >= kMaxZoom) {
        zoom = kMaxZoom;
    }
    return zoom;
}

int32_t zoomIn(int32_t zoom) {
    return zoom < kMaxZoom ? zoom + 1 : zoom;
}

int32_t zoomOut(int32_t zoom, int32_t floor) {
    return zoom > floor ? zoom - 1 : zoom;
}

ViewSize clampViewSize(int32_t width, int32_t height, int32_t screenWidth, int32_t screenHeight) {
    if (height > screenHeight) {
        height = screenHeight;
    }
    if (height < kMinViewSize) {
        height = kMinViewSize;
    }
    if (width > screenWidth) {
        width = screenWidth;
    }
    if (width < kMinViewSize) {
        width = kMinViewSize;
    }
    return ViewSize{width, height};
}

ViewPoint centredOrigin(int32_t px, int32_t py, int32_t viewWidth, int32_t viewHeight) {
    return ViewPoint{px - viewWidth / 2, py - viewHeight / 2};
}

ViewPoint snapshotPosition(int32_t px, int32_t py, int32_t screenLeft, int32_t screenTop) {
    return ViewPoint{clampToInt32(int64_t{px} - screenLeft), clampToInt32(int64_t{py} - screenTop)};
}

ViewStretch computeViewStretch(int32_t snapX, int32_t snapY, int32_t viewWidth, int32_t viewHeight,
                               int32_t zoom, int32_t screenWidth, int32_t screenHeight) {
    // Callers keep zoom in 1..16 and the view at 100 or more; anything else still gets a
    // defined result (at worst an undrawable stretch) instead of a division by zero. 64-bit
    // intermediates: a cursor far outside a stale snapshot must not overflow.
    zoom = clampToRange(zoom, kMinZoom, kMaxZoom);
    int64_t sw = viewWidth / zoom;
    int64_t sh = viewHeight / zoom;
    if (sw < 1) {
        sw = 1;
    }
    if (sh < 1) {
        sh = 1;
    }
    const int64_t hw = sw / 2;
    const int64_t hh = sh / 2;
    int64_t srcWidth = sw;
    if (snapX + hw >= screenWidth) {
        srcWidth = int64_t{screenWidth} - snapX + sw - hw - 1;
    }
    int64_t srcHeight = sh;
    if (snapY + hh >= screenHeight) {
        srcHeight = int64_t{screenHeight} - snapY + sh - hh - 1;
    }
    // Without a cut the source is the whole block and the view keeps its size.
    // cppcheck-suppress duplicateExpression ; srcWidth is below sw where the right edge cuts
    const int64_t destWidth = viewWidth - (viewWidth / sw) * (sw - srcWidth);
    // cppcheck-suppress duplicateExpression ; srcHeight is below sh where the bottom edge cuts
    const int64_t destHeight = viewHeight - (viewHeight / sh) * (sh - srcHeight);
    return ViewStretch{clampToInt32(snapX - hw), clampToInt32(snapY - hh),
                       clampToInt32(srcWidth),   clampToInt32(srcHeight),
                       clampToInt32(destWidth),  clampToInt32(destHeight)};
}

bool stretchIsDrawable(const ViewStretch& stretch) {
    return stretch.srcWidth > 0 && stretch.srcHeight > 0 && stretch.destWidth > 0 &&
           stretch.destHeight > 0;
}

UncoveredAreas uncoveredAreas(const ViewStretch& stretch, int32_t targetWidth, int32_t targetHeight,
                              int32_t snapshotWidth, int32_t snapshotHeight) {
    UncoveredAreas areas = {};
    if (targetWidth <= 0 || targetHeight <= 0) {
        return areas;
    }
    int32_t left = 0, top = 0, right = 0, bottom = 0;
    if (stretchIsDrawable(stretch)) {
        const int32_t destRight = stretch.destWidth < targetWidth ? stretch.destWidth : targetWidth;
        const int32_t destBottom =
            stretch.destHeight < targetHeight ? stretch.destHeight : targetHeight;
        left = clampToRange(leadingEdge(stretch.srcX, stretch.srcWidth, stretch.destWidth), 0,
                            destRight);
        top = clampToRange(leadingEdge(stretch.srcY, stretch.srcHeight, stretch.destHeight), 0,
                           destBottom);
        right = clampToRange(
            trailingEdge(stretch.srcX, stretch.srcWidth, stretch.destWidth, snapshotWidth), left,
            destRight);
        bottom = clampToRange(
            trailingEdge(stretch.srcY, stretch.srcHeight, stretch.destHeight, snapshotHeight), top,
            destBottom);
    }
    if (left >= right || top >= bottom) {
        addArea(areas, 0, 0, targetWidth, targetHeight);
        return areas;
    }
    addArea(areas, 0, 0, targetWidth, top);
    addArea(areas, 0, bottom, targetWidth, targetHeight);
    addArea(areas, 0, top, left, bottom);
    addArea(areas, right, top, targetWidth, bottom);
    return areas;
}

int32_t keyStep(bool shiftDown) {
    return shiftDown ? 2 : 20;
}

int32_t zoomForDigitKey(int32_t virtualKey) {
    return virtualKey >= '1' && virtualKey <= '9' ? virtualKey - '0' : 0;
}

ViewSize viewSizeAfterArrow(int32_t virtualKey, int32_t width, int32_t height, int32_t step) {
    int64_t newWidth = width;
    int64_t newHeight = height;
    switch (virtualKey) {
        case kKeyLeft:
            newWidth -= step;
            break;
        case kKeyRight:
            newWidth += step;
            break;
        case kKeyUp:
            newHeight += step;
            break;
        case kKeyDown:
            newHeight -= step;
            break;
        default:
            break;
    }
    return ViewSize{clampToInt32(newWidth), clampToInt32(newHeight)};
}

int32_t zoomAfterWheel(int32_t zoom, int32_t delta) {
    if (delta > 0) {
        return zoomIn(zoom);
    }
    if (delta < 0) {
        return zoomOut(zoom, 1);
    }
    return zoom;
}

int32_t zoomAfterScroll(int32_t zoom, int32_t code) {
    switch (code) {
        case 0:
        case 2:
            return zoomOut(zoom, 1);
        case 1:
        case 3:
            return zoomIn(zoom);
        default:
            return zoom;
    }
}
