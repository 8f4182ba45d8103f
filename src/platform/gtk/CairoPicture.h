#pragma once
// Picture2 on Linux: the persistent image lives in a PixelSurface, which has the pixel rules of the
// drawing calls the surface port stands for, and a paint shows it through a cairo image surface
// made over the same pixels, so nothing is copied per paint.
#include <cairo.h>

#include <functional>

#include "appearance/PixelSurface.h"
#include "ports/Surface.h"

namespace tg {

class CairoPicture final : public Surface {
 public:
    // `changed` is told after every drawing call, so the window repaints the picture.
    explicit CairoPicture(std::function<void()> changed);

    // Resizing keeps the overlapping part of the image.
    void Resize(std::int32_t width, std::int32_t height);

    void Clear(std::int32_t backColour) override;
    void GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) override;
    void ScrollLeft(std::int32_t w, std::int32_t h) override;
    void Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void Refresh() override;

    // Paints the image with its upper left corner at (x, y) of the cairo context.
    void Paint(cairo_t* cr, double x, double y) const;

    const PixelSurface& Pixels() const noexcept { return m_pixels; }

 private:
    PixelSurface m_pixels{0, 0};
    std::function<void()> m_changed;
};

}  // namespace tg
