// Key T: a view picture as a 250 x 200 JPEG with white margins and the watermark "water.png"
// from the program's folder laid over it, saved where the user chooses.
#pragma once

#include <windows.h>

#include "picture/gdiplus_loader.h"

// The two GDI+ users of the export: one holds the picture being saved, the other keeps the
// watermark for the life of the process.
struct ThumbnailLoaders {
    GdiplusLoader* exporter;
    GdiplusLoader* watermark;
};

// Composes the thumbnail from view (width x height) and offers the save dialog. Nothing is
// reported: without GDI+ no dialog appears, and a failed save leaves every file as it was.
void saveThumbnailPicture(const ThumbnailLoaders& loaders, HBITMAP view, int width, int height);
