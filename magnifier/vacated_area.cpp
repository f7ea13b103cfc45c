#include "magnifier/vacated_area.h"

#include <cstring>
#include <utility>

namespace {

const DWORD kCopyStepMs = 5;

size_t pictureBytes(const RECT& area) {
    return static_cast<size_t>(area.right - area.left) *
           static_cast<size_t>(area.bottom - area.top) * 4u;
}

AreaPicture copyOfScreen(const RECT& area) {
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) {
        return AreaPicture();
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    WindowDc screen(nullptr);
    void* bits = nullptr;
    AreaPicture picture;
    picture.bitmap.reset(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    UniqueHdc memoryDc(CreateCompatibleDC(screen.get()));
    if (!picture.bitmap || !memoryDc || bits == nullptr) {
        return AreaPicture();
    }
    SelectGuard select(memoryDc.get(), picture.bitmap.get());
    if (!BitBlt(memoryDc.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY)) {
        return AreaPicture();
    }
    GdiFlush();
    picture.bits = bits;
    return picture;
}

bool samePicture(const AreaPicture& a, const AreaPicture& b, size_t bytes) {
    return a.bits != nullptr && b.bits != nullptr && memcmp(a.bits, b.bits, bytes) == 0;
}

}  // namespace

VacatedArea::VacatedArea(const RECT& area) : area_(area), shown_(copyOfScreen(area)) {}

void VacatedArea::waitForRepaint(DWORD boundMs) const {
    const size_t bytes = pictureBytes(area_);
    const DWORD started = GetTickCount();
    AreaPicture previous;
    while (shown_.bits != nullptr && GetTickCount() - started < boundMs) {
        Sleep(kCopyStepMs);
        AreaPicture now = copyOfScreen(area_);
        if (now.bits == nullptr) {
            return;
        }
        if (!samePicture(now, shown_, bytes) && samePicture(now, previous, bytes)) {
            return;
        }
        previous = std::move(now);
    }
}
