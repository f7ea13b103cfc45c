// Reading the help page back from a picture of it: the white text over its black shadow.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "tests/support/screen_pattern.h"

namespace e2e {

// The white pixels and the black ones, where the white starts (its first column and row;
// the picture's width and height without any), and the black pixels that lack a white one
// `offset` pixels up and left of them: a shadow with no text over it.
struct ShadowedText {
    int white = 0;
    int black = 0;
    int left = 0;
    int top = 0;
    int strayShadows = 0;
    std::string firstStray;  // "x,y" of the first of them
};

// Pixels for which skip(x, y) holds are passed over (those in Wine's tray corner, say).
ShadowedText readShadowedText(const PixelGrid& page, int offset,
                              const std::function<bool(int x, int y)>& skip = nullptr);

}  // namespace e2e
