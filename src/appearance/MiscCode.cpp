#include "appearance/MiscCode.h"

#include "common/Twips.h"

namespace tg {

std::uint16_t ToColor16(std::int32_t value) noexcept { return static_cast<std::uint16_t>(value & 0xFFFF); }

GradientVertex VertexFor(std::int32_t x, std::int32_t y, std::int32_t colour) noexcept {
    GradientVertex v;
    v.x = x;
    v.y = y;
    v.red = ToColor16((colour & 0xFF) * 256);
    v.green = ToColor16(colour & 0xFF00);
    v.blue = ToColor16(((colour & 0xFF0000) / 65536) * 256);
    v.alpha = 0;
    return v;
}

void FillGradient(Surface& surface, const PixelBox& rect, std::int32_t startColor, std::int32_t endColor,
                  bool vertical) {
    surface.GradientFill(VertexFor(rect.left, rect.top, startColor), VertexFor(rect.right, rect.bottom, endColor),
                         vertical);
}

void PaintGradient(const DrawableSurface& target, std::int32_t endColor, std::int32_t startColor, bool vertical) {
    target.surface.Clear(target.backColour);
    const PixelBox rect{0, 0, TwipsToPixels(target.widthTwips, target.twipsPerPixelX),
                        TwipsToPixels(target.heightTwips, target.twipsPerPixelY)};
    FillGradient(target.surface, rect, startColor, endColor, vertical);
}

std::int32_t ApplyTransparency(Form& window, std::int16_t level) {
    if (level < 0 || level > 255) return 1;
    window.SetAlpha(static_cast<std::uint8_t>(level));
    return 0;
}

}  // namespace tg
