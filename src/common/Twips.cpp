#include "common/Twips.h"

#include "common/Rounding.h"

namespace tg {

std::int32_t TwipsToPixels(double twips, double twipsPerPixel) noexcept {
    if (!(twipsPerPixel > 0)) return 0;
    return RoundToInt32Clamped(twips / twipsPerPixel);
}

PixelRect RectToPixels(const TwipsRect& t, double tppX, double tppY) noexcept {
    return {TwipsToPixels(t.left, tppX), TwipsToPixels(t.top, tppY), TwipsToPixels(t.width, tppX),
            TwipsToPixels(t.height, tppY)};
}

}  // namespace tg
