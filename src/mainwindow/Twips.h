#pragma once
// Twips (1/1440 inch) to device pixels, with the screen's twips per pixel.
#include <cstdint>

namespace tg {

// Nearest whole pixel, halves to even, clamped to 32 bits.
std::int32_t TwipsToPixels(double twips, double twipsPerPixel) noexcept;

// A value turned into a 32-bit integer, nearest with halves to even, clamped to 32 bits.
std::int32_t RoundToInt32Clamped(double value) noexcept;

}  // namespace tg
