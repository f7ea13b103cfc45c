// Key T: a view picture as a 250 x 200 JPEG with white margins and the watermark "water.png"
// from the program's folder laid over it, saved where the user chooses.
#pragma once

#include <windows.h>

#include <cstdint>

#include "base/path_text.h"
#include "picture/gdiplus_loader.h"

// The two GDI+ users of the export: one holds the picture being saved, the other keeps the
// watermark for the life of the process.
struct ThumbnailLoaders {
    GdiplusLoader* exporter;
    GdiplusLoader* watermark;
};

// How an export ended for the caller to tell: failed only when a path was chosen and no picture
// landed there; without GDI+ (no dialog) or after Cancel there is nothing to tell.
struct ThumbnailSave {
    bool failed = false;
    uint32_t systemError = 0;  // the Win32 error that stopped the save
    wchar_t path[kPathCapacity] = {};
};

// Composes the thumbnail from view (width x height) and offers the save dialog. A failed save
// leaves every file as it was.
ThumbnailSave saveThumbnailPicture(const ThumbnailLoaders& loaders, HBITMAP view, int width,
                                   int height);
