#pragma once
// Geometry in twips (1/1440 inch), as the program defines it, and its conversion to device pixels
// with the screen's twips per pixel.
#include <cstdint>

namespace tg {

struct TwipsRect {
    float left = 0, top = 0, width = 0, height = 0;
};

struct PixelRect {
    std::int32_t x = 0, y = 0, cx = 0, cy = 0;
};

// Nearest whole pixel, halves to even, clamped to 32 bits; 0 for a factor that is not positive.
std::int32_t TwipsToPixels(double twips, double twipsPerPixel) noexcept;

// Each edge and size converted alike: x and width by the horizontal factor, y and height by the
// vertical one.
PixelRect RectToPixels(const TwipsRect& twips, double twipsPerPixelX, double twipsPerPixelY) noexcept;
inline PixelRect RectToPixels(const TwipsRect& twips, double twipsPerPixel) noexcept {
    return RectToPixels(twips, twipsPerPixel, twipsPerPixel);
}

}  // namespace tg
