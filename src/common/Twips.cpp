#include "common/Twips.h"

#include "common/Rounding.h"

namespace tg {

std::int32_t TwipsToPixels(double twips, double twipsPerPixel) noexcept {
    if (!(twipsPerPixel > 0)) return 0;
    return RoundToInt32Clamped(twips / twipsPerPixel);
}

PixelRect RectToPixels(const TwipsRect& twips, double twipsPerPixelX, double twipsPerPixelY) noexcept {
    return {TwipsToPixels(twips.left, twipsPerPixelX), TwipsToPixels(twips.top, twipsPerPixelY),
            TwipsToPixels(twips.width, twipsPerPixelX), TwipsToPixels(twips.height, twipsPerPixelY)};
}

}  // namespace tg
