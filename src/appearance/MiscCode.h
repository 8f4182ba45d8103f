#pragma once
// Gradient background and layered-window transparency. Stateless routines.
#include <cstdint>

#include "ports/Form.h"
#include "ports/Surface.h"

namespace tg {

// A surface as the gradient routine sees it: its size in twips, its back colour, and the screen's
// twips per pixel on each axis.
struct DrawableSurface {
    Surface& surface;
    float widthTwips = 0;
    float heightTwips = 0;
    std::int32_t backColour = 0;
    float twipsPerPixelX = 15;
    float twipsPerPixelY = 15;
};

struct PixelBox {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
};

// The low 16 bits of a value.
std::uint16_t ToColor16(std::int32_t value) noexcept;

// The corner of a gradient for a colour: each 8-bit channel becomes channel * 256.
GradientVertex VertexFor(std::int32_t x, std::int32_t y, std::int32_t colour) noexcept;

// Clears the target, then fills it from startColor (top, or left) to endColor. Note the order of
// the colours: the end colour comes first.
void PaintGradient(const DrawableSurface& target, std::int32_t endColor, std::int32_t startColor, bool vertical);
void FillGradient(Surface& surface, const PixelBox& rect, std::int32_t startColor, std::int32_t endColor,
                  bool vertical);

// Makes the window layered with this alpha. 0 when 0 <= level <= 255; otherwise 1 and nothing changes.
std::int32_t ApplyTransparency(Form& window, std::int16_t level);

}  // namespace tg
