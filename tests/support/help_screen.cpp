#include "tests/support/help_screen.h"

namespace e2e {

ShadowedText readShadowedText(const PixelGrid& page, int offset,
                              const std::function<bool(int x, int y)>& skip) {
    ShadowedText text;
    text.left = page.width;
    text.top = page.height;
    for (int y = 0; y < page.height; ++y) {
        for (int x = 0; x < page.width; ++x) {
            if (skip && skip(x, y)) {
                continue;
            }
            COLORREF colour = page.at(x, y);
            if (colour == RGB(255, 255, 255)) {
                ++text.white;
                text.left = x < text.left ? x : text.left;
                text.top = y < text.top ? y : text.top;
            } else if (colour == RGB(0, 0, 0)) {
                ++text.black;
                if (page.at(x - offset, y - offset) != RGB(255, 255, 255) &&
                    text.strayShadows++ == 0) {
                    text.firstStray = std::to_string(x) + "," + std::to_string(y);
                }
            }
        }
    }
    return text;
}

}  // namespace e2e
