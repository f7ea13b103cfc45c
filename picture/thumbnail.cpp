// Key T: the zoom window's view as a 250 x 200 JPEG with white margins and the watermark
// "water.png" from the program's folder laid over it, saved where the user chooses.
#include <windows.h>

#include <commdlg.h>

#include <cstring>

#include "app/gdi_guards.h"
#include "magnifier/magnifier_window.h"
#include "picture/gdiplus_loader.h"
#include "picture/thumbnail_fit.h"

namespace {

constexpr uint32_t kJpegQuality = 75;
constexpr int kPathBufferSize = 1024;
constexpr DWORD kDialogNameLength = 260;
const char kWatermarkName[] = "water.png";
const char kJpgFilter[] = "JPG (*.jpg)\0*.jpg\0";

void fillWhite(HDC dc) {
    COLORREF previous = SetBkColor(dc, RGB(255, 255, 255));
    if (previous == CLR_INVALID) {
        return;
    }
    RECT all = {0, 0, kThumbnailWidth, kThumbnailHeight};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void stretchInto(HDC picture, const ThumbnailRect& to, HDC view, int width, int height) {
    int previousMode = SetStretchBltMode(picture, HALFTONE);
    StretchBlt(picture, to.left, to.top, to.right - to.left, to.bottom - to.top, view, 0, 0, width,
               height, SRCCOPY);
    if (previousMode != 0) {
        SetStretchBltMode(picture, previousMode);
    }
}

// Loaded by the first export that finds the file and kept to the end of the process.
void drawWatermark(HDC picture) {
    if (watermarkLoader.image == nullptr) {
        char path[kPathBufferSize] = {};
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        char* slash = strrchr(path, '\\');
        // A cut-off program path would name some other file.
        if (length > 0 && length < MAX_PATH && slash != nullptr) {
            memcpy(slash + 1, kWatermarkName, sizeof(kWatermarkName));
            watermarkLoader.loadImageFromFile(path);
        }
    }
    watermarkLoader.drawImage(picture, 0, 0, kThumbnailWidth, kThumbnailHeight,
                              watermarkLoader.image);
}

// The save dialog with no owner and no overwrite prompt; the name field starts empty.
bool askForPath(char (&path)[kPathBufferSize]) {
    OPENFILENAMEA dialog = {};
    // The record's first published size: 76 bytes in a 32-bit build. The dialog refuses a
    // size that does not match the build's pointer width.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    dialog.hwndOwner = nullptr;
    dialog.hInstance = GetModuleHandleA(nullptr);
    dialog.lpstrFilter = kJpgFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = kDialogNameLength;
    dialog.nMaxFileTitle = kDialogNameLength;
    dialog.Flags = 0;
    return GetSaveFileNameA(&dialog) != 0;
}

void saveFromPicture(HBITMAP picture) {
    if (exportLoader.createBitmapFromHbitmap(picture) != kGdiplusOk) {
        return;  // no GDI+: no dialog for a file that could not be written
    }
    char path[kPathBufferSize] = {};
    if (!askForPath(path)) {
        return;
    }
    if (ensureJpgExtension(path, sizeof(path))) {
        exportLoader.saveImageToFile(path, kJpegQuality, &kJpegEncoderClassId);
    }
}

}  // namespace

void Magnifier::saveThumbnail() {
    WindowDc screen(nullptr);
    RECT outer = {};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;

    UniqueBitmap viewBitmap(CreateCompatibleBitmap(screen.get(), width, height));
    UniqueHdc viewDc(CreateCompatibleDC(screen.get()));
    SelectGuard viewSelect(viewDc.get(), viewBitmap.get());
    const ThumbnailRect to = fitThumbnail(width, height);
    paintView(viewDc.get());
    // The snapshot goes before the dialog, which runs its own message loop.
    hide();

    UniqueBitmap pictureBitmap(
        CreateCompatibleBitmap(screen.get(), kThumbnailWidth, kThumbnailHeight));
    UniqueHdc pictureDc(CreateCompatibleDC(screen.get()));
    SelectGuard pictureSelect(pictureDc.get(), pictureBitmap.get());
    fillWhite(pictureDc.get());
    stretchInto(pictureDc.get(), to, viewDc.get(), width, height);
    drawWatermark(pictureDc.get());
    saveFromPicture(pictureBitmap.get());
}
