#include "mainwindow/Twips.h"

#include <cmath>
#include <limits>

#include "settings/Conversions.h"

namespace tg {

std::int32_t RoundToInt32Clamped(double value) noexcept {
    if (std::isnan(value)) return 0;
    if (const auto v = ToInt32HalfEven(value)) return *v;
    return value < 0 ? std::numeric_limits<std::int32_t>::min() : std::numeric_limits<std::int32_t>::max();
}

std::int32_t TwipsToPixels(double twips, double twipsPerPixel) noexcept {
    if (!(twipsPerPixel > 0)) return 0;
    return RoundToInt32Clamped(twips / twipsPerPixel);
}

}  // namespace tg
