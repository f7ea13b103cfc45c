// Picture files for the tests, read and written through GDI+ in the test's own process, so
// the program's loader is checked against an independent use of the same platform part.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/screen_pattern.h"

namespace e2e {

// 1 when GDI+ could be started in this process.
bool gdiplusAvailable();
// Any picture file GDI+ reads (PNG, JPEG, BMP); false when it cannot be decoded.
bool decodePictureFile(const std::string& path, PixelGrid* picture);
// A 32-bit PNG with the picture's alpha channel.
bool writePngFile(const std::string& path, const PixelGrid& picture);

// The largest difference of the red, green and blue channels.
int channelDistance(uint32_t a, uint32_t b);
// Colours as 0xRRGGBB.
uint32_t rgbOf(uint32_t argb);

bool fileExists(const std::string& path);
std::vector<uint8_t> readFileBytes(const std::string& path);
bool writeFileBytes(const std::string& path, const void* bytes, size_t size);

}  // namespace e2e
