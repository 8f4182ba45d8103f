#pragma once
// The picture surface Picture2: a persistent image that keeps what is drawn on it between
// repaints. All coordinates are device pixels; the portable code converts from twips.
#include <cstdint>

namespace tg {

// One corner of a gradient: position and 16-bit colour channels (an 8-bit value v is v * 256).
struct GradientVertex {
    std::int32_t x = 0, y = 0;
    std::uint16_t red = 0, green = 0, blue = 0, alpha = 0;
};

class Surface {
 public:
    virtual ~Surface() = default;
    // Erases the whole image to the surface's back colour (0x00BBGGRR).
    virtual void Clear(std::int32_t backColour) = 0;
    // Fills the rectangle from vertex 0 (upper left) to vertex 1 (lower right, exclusive), blending
    // top to bottom when vertical, left to right otherwise.
    virtual void GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) = 0;
    // Copies the w x h block whose left edge is at x = 1 to x = 0: the image moves one pixel left.
    virtual void ScrollLeft(std::int32_t w, std::int32_t h) = 0;
    // A solid one-pixel line from (x1, y1) towards (x2, y2), the end point itself not drawn.
    virtual void Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) = 0;
    // Shows the image on the screen now rather than at the next paint.
    virtual void Refresh() = 0;
};

}  // namespace tg
