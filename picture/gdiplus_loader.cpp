#include "picture/gdiplus_loader.h"

GdiplusLoader::GdiplusLoader() : library(nullptr), token(0), image(nullptr) {}

GdiplusLoader::~GdiplusLoader() = default;

void GdiplusLoader::disposeImage() {}

int GdiplusLoader::loadImageFromFile(const char*) {
    return 0;
}

int GdiplusLoader::createBitmapFromHbitmap(HBITMAP) {
    return 1;
}

int GdiplusLoader::saveImageToFile(const char*, uint32_t, const GUID*) {
    return 0;
}

int GdiplusLoader::drawImage(HDC, int, int, int, int, void*) {
    return 0;
}
