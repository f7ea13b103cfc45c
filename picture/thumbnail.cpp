// Key T: the zoom window's view as a 250 x 200 JPEG with white margins and the watermark
// "water.png" from the program's folder laid over it, saved where the user chooses.
#include "picture/thumbnail.h"

#include <commdlg.h>

#include "base/win/handle_guards.h"
#include "base/win/module_path.h"
#include "base/win/system_library.h"
#include "picture/thumbnail_fit.h"

namespace {

constexpr uint32_t kJpegQuality = 75;
const wchar_t kWatermarkName[] = L"water.png";
const wchar_t kJpgFilter[] = L"JPG (*.jpg)\0*.jpg\0";

void fillWhite(HDC dc) {
    COLORREF previous = SetBkColor(dc, RGB(255, 255, 255));
    if (previous == CLR_INVALID) {
        return;
    }
    RECT all = {0, 0, kThumbnailWidth, kThumbnailHeight};
    ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &all, nullptr, 0, nullptr);
    SetBkColor(dc, previous);
}

void stretchInto(HDC picture, const PixelRect& to, HDC view, int width, int height) {
    int previousMode = SetStretchBltMode(picture, HALFTONE);
    StretchBlt(picture, to.left, to.top, to.right - to.left, to.bottom - to.top, view, 0, 0, width,
               height, SRCCOPY);
    if (previousMode != 0) {
        SetStretchBltMode(picture, previousMode);
    }
}

// Loaded by the first export that finds a usable file and kept to the end of the process.
// A picture of unknown or excessive size is released again, so a later export reads the
// file anew.
void drawWatermark(GdiplusLoader& watermark, HDC picture) {
    if (watermark.image() == nullptr) {
        wchar_t path[kPathCapacity];
        if (programFolderFile(kWatermarkName, path)) {
            watermark.loadImageFromFile(path);
        }
    }
    uint32_t width = 0;
    uint32_t height = 0;
    if (!watermark.imageSize(&width, &height) || !watermarkFits(width, height)) {
        watermark.disposeImage();
        return;
    }
    watermark.drawImage(picture, 0, 0, kThumbnailWidth, kThumbnailHeight, watermark.image());
}

// The common-dialog library costs megabytes at rest, so it loads only when the user first
// saves a thumbnail, from the system folder, and stays to the end of the process. Null when
// it cannot be had: the export then saves nothing.
struct SaveDialogLibrary {
    UniqueModule library;
    decltype(&GetSaveFileNameW) getSaveFileName = nullptr;
};
SaveDialogLibrary saveDialogLibrary;

decltype(&GetSaveFileNameW) saveDialogFunction() {
    if (!saveDialogLibrary.library) {
        saveDialogLibrary.library.reset(loadSystemLibrary("comdlg32.dll"));
        saveDialogLibrary.getSaveFileName = libraryExport<decltype(&GetSaveFileNameW)>(
            saveDialogLibrary.library.get(), "GetSaveFileNameW");
    }
    return saveDialogLibrary.getSaveFileName;
}

// The save dialog with no overwrite prompt; the name field starts empty. Owned by a window
// that holds the foreground, it opens in front with the keyboard. The process's current
// folder stays where it was.
bool askForPath(HWND owner, wchar_t (&path)[kPathCapacity]) {
    const auto showSaveDialog = saveDialogFunction();
    if (showSaveDialog == nullptr) {
        return false;
    }
    OPENFILENAMEW dialog = {};
    // The record's first published size: 76 bytes in a 32-bit build. The dialog refuses a
    // size that does not match the build's pointer width.
    dialog.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    dialog.hwndOwner = owner;
    dialog.hInstance = GetModuleHandleW(nullptr);
    dialog.lpstrFilter = kJpgFilter;
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path;
    dialog.nMaxFile = static_cast<DWORD>(kPathCapacity);
    dialog.Flags = OFN_NOCHANGEDIR;
    return showSaveDialog(&dialog) != 0;
}

// A scanner, indexer or sync client may open a new file for a moment: the program's own
// handles share everything, and a step such a reader blocks is tried again for about 100 ms.
constexpr unsigned kHeldTries = 10;
constexpr DWORD kHeldPauseMs = 10;

UniqueKernelHandle openFile(const wchar_t* path, DWORD creation, DWORD access = GENERIC_WRITE) {
    HANDLE file = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    return UniqueKernelHandle(file == INVALID_HANDLE_VALUE ? nullptr : file);
}

bool heldByAnother(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED;
}

// Windows answers a replace of a file that is open anywhere with "access denied", as it answers
// a folder that refuses the write: a target that cannot be opened for deletion, while sharing
// everything, is held open by another program.
bool heldOpen(const wchar_t* path) {
    return !openFile(path, OPEN_EXISTING, DELETE) && GetLastError() == ERROR_SHARING_VIOLATION;
}

// More than any 250 x 200 JPEG can take: the raw pixels are 150000 bytes.
constexpr DWORD kRoomProbeBytes = 256 * 1024;

// GDI+ tells only that the picture could not be written (its file status carries no system
// error): the reason shows when the program writes that much into the temporary file itself.
// The file is deleted afterwards in any case.
DWORD reasonGdiplusGaveUp(const wchar_t* temporary) {
    UniqueKernelHandle file = openFile(temporary, OPEN_EXISTING);
    if (!file) {
        return GetLastError();
    }
    static const char kZeros[4096] = {};
    for (DWORD done = 0; done < kRoomProbeBytes; done += sizeof(kZeros)) {
        DWORD written = 0;
        if (!WriteFile(file.get(), kZeros, sizeof(kZeros), &written, nullptr)) {
            return GetLastError();
        }
    }
    return ERROR_GEN_FAILURE;  // room enough, the folder takes files: no reason the system names
}

// step returns false with the system's error set when it fails.
template <typename Step>
bool retryWhileHeld(const Step& step) {
    for (unsigned attempt = 1;; ++attempt) {
        if (step()) {
            return true;
        }
        if (attempt >= kHeldTries || !heldByAnother(GetLastError())) {
            return false;
        }
        Sleep(kHeldPauseMs);
    }
}

// A file of the program's own beside the target, deleted again unless it replaced the target.
class TemporaryFile {
  public:
    TemporaryFile() = default;
    ~TemporaryFile() {
        if (path_[0] != L'\0') {
            DeleteFileW(path_);
        }
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    TemporaryFile(TemporaryFile&&) = delete;
    TemporaryFile& operator=(TemporaryFile&&) = delete;

    // Takes the first temporary name nobody uses; a file of that name is never touched.
    DWORD createFor(const wchar_t* target) {
        DWORD error = ERROR_FILE_EXISTS;
        for (unsigned attempt = 0; attempt < kTemporaryNameCount; ++attempt) {
            if (!temporarySaveName(target, attempt, path_, kPathCapacity)) {
                return ERROR_FILENAME_EXCED_RANGE;  // the name is left empty
            }
            if (openFile(path_, CREATE_NEW)) {
                return ERROR_SUCCESS;
            }
            error = GetLastError();
            path_[0] = L'\0';
            // Access is denied to a name whose file was deleted while a reader still holds it.
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS &&
                error != ERROR_ACCESS_DENIED) {
                return error;
            }
        }
        return error;
    }
    const wchar_t* path() const { return path_; }
    // The content on the disk before the name changes, so a crash cannot leave the target
    // holding a file whose data never arrived.
    DWORD flush() const {
        UniqueKernelHandle file;
        const bool flushed = retryWhileHeld([&] {
                                 file = openFile(path_, OPEN_EXISTING);
                                 return static_cast<bool>(file);
                             }) &&
                             FlushFileBuffers(file.get()) != 0;
        return flushed ? ERROR_SUCCESS : GetLastError();
    }
    DWORD moveOver(const wchar_t* target) {
        if (!retryWhileHeld([&] {
                return MoveFileExW(path_, target,
                                   MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
            })) {
            const DWORD error = GetLastError();
            return error == ERROR_ACCESS_DENIED && heldOpen(target) ? ERROR_SHARING_VIOLATION
                                                                    : error;
        }
        path_[0] = L'\0';
        return ERROR_SUCCESS;
    }

  private:
    wchar_t path_[kPathCapacity] = {};
};

// An existing file is replaced only by a complete picture: a full disk, a GDI+ failure or a
// target held open by another program leaves it as it was. ERROR_SUCCESS, or the system's
// error that stopped the save.
DWORD saveReplacing(GdiplusLoader& exporter, const wchar_t* target) {
    TemporaryFile written;
    DWORD error = written.createFor(target);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (!exporter.saveImageToFile(written.path(), kJpegQuality, &kJpegEncoderClassId)) {
        return reasonGdiplusGaveUp(written.path());
    }
    error = written.flush();
    return error != ERROR_SUCCESS ? error : written.moveOver(target);
}

ThumbnailSave saveFromPicture(GdiplusLoader& exporter, HWND owner, HBITMAP picture) {
    ThumbnailSave save;
    if (exporter.createBitmapFromHbitmap(picture) != kGdiplusOk) {
        return save;  // no GDI+: no dialog for a file that could not be written
    }
    if (!askForPath(owner, save.path)) {
        return save;  // cancelled: nothing to tell
    }
    const DWORD error = ensureJpgExtension(save.path, kPathCapacity) != 0
                            ? saveReplacing(exporter, save.path)
                            : ERROR_FILENAME_EXCED_RANGE;
    save.failed = error != ERROR_SUCCESS;
    save.systemError = error;
    return save;
}

}  // namespace

// The numbers the portable reasons are written with.
static_assert(ERROR_SHARING_VIOLATION == 32 && ERROR_LOCK_VIOLATION == 33 &&
                  ERROR_DISK_FULL == 112 && ERROR_HANDLE_DISK_FULL == 39 &&
                  ERROR_ACCESS_DENIED == 5 && ERROR_WRITE_PROTECT == 19,
              "Win32 error codes");

ThumbnailSave saveThumbnailPicture(const ThumbnailLoaders& loaders, HWND owner, HBITMAP view,
                                   int width, int height) {
    if (loaders.exporter == nullptr || loaders.watermark == nullptr || view == nullptr) {
        return ThumbnailSave();
    }
    WindowDc screen(nullptr);
    UniqueHdc viewDc(CreateCompatibleDC(screen.get()));
    SelectGuard viewSelect(viewDc.get(), view);
    const PixelRect to = fitThumbnail(width, height);

    UniqueBitmap pictureBitmap(
        CreateCompatibleBitmap(screen.get(), kThumbnailWidth, kThumbnailHeight));
    UniqueHdc pictureDc(CreateCompatibleDC(screen.get()));
    SelectGuard pictureSelect(pictureDc.get(), pictureBitmap.get());
    fillWhite(pictureDc.get());
    stretchInto(pictureDc.get(), to, viewDc.get(), width, height);
    drawWatermark(*loaders.watermark, pictureDc.get());
    return saveFromPicture(*loaders.exporter, owner, pictureBitmap.get());
}
