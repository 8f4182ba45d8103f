#pragma once
// Picture2 on Linux: the persistent image lives in a PixelSurface, which has the pixel rules of the
// drawing calls the surface port stands for. Painted on an X server's surface, the picture keeps a
// copy of itself there, a pixmap that each drawing call changes the same way: the tick's scroll is
// a copy inside the server and its bars two fills, so a tick sends no pixels and the client keeps
// no shared-memory pool for sending them. Any other target gets the image through a cairo image
// surface made over the same pixels, so nothing is copied per paint.
#include <cairo.h>

#include <functional>

#include "appearance/MiscCode.h"
#include "appearance/PixelSurface.h"
#include "platform/gtk/GObjectPtr.h"
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
    void Paint(cairo_t* cr, double x, double y);

    const PixelSurface& Pixels() const noexcept { return m_pixels; }

 private:
    bool MirrorServes(cairo_surface_t* target) const;
    void MakeMirror(cairo_surface_t* target);
    // Brings a box of the copy up to the image's pixels; the box may reach outside the image.
    struct Span {
        std::int64_t left, top, right, bottom;
    };
    void Mirror(const Span& span);
    CairoSurfacePtr ImageOver() const;

    PixelSurface m_pixels{0, 0};
    CairoSurfacePtr m_mirror;  // the copy on the X server; none until painted there, or after a resize
    std::function<void()> m_changed;
};

}  // namespace tg
