#pragma once
// Picture2 on Linux. Until it is first painted the picture lives in a PixelSurface in memory. Once
// painted on an X server's surface it lives there instead, in a pixmap that the drawing rules change
// in place: the tick's scroll is a copy inside the server and its bars are fills, so a tick sends no
// pixels, the client keeps no pool of shared memory for sending them, and no copy of the image. On
// any other target the image in memory is painted through a cairo image surface made over it.
#include <cairo.h>

#include <functional>
#include <memory>

#include "appearance/PixelSurface.h"
#include "platform/gtk/GObjectPtr.h"
#include "ports/Surface.h"

namespace tg {

class CairoPicture final : public Surface {
 public:
    // `changed` is told after every drawing call, so the window repaints the picture.
    explicit CairoPicture(std::function<void()> changed);
    ~CairoPicture() override;
    CairoPicture(const CairoPicture&) = delete;
    CairoPicture& operator=(const CairoPicture&) = delete;

    // Resizing keeps the overlapping part of the image; new pixels are black.
    void Resize(std::int32_t width, std::int32_t height);

    void Clear(std::int32_t backColour) override;
    void GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) override;
    void ScrollLeft(std::int32_t w, std::int32_t h) override;
    void Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void Refresh() override;

    // Paints the image with its upper left corner at (x, y) of the cairo context.
    void Paint(cairo_t* cr, double x, double y);

    std::int32_t Width() const noexcept;
    std::int32_t Height() const noexcept;

 private:
    class ServerCopy;

    PixelCanvas& Canvas() noexcept;
    bool ServerCopyServes(cairo_surface_t* target) const;
    void MoveToServer(cairo_surface_t* target);

    PixelSurface m_pixels{0, 0};           // emptied once the picture lives on the X server
    std::unique_ptr<ServerCopy> m_server;  // the picture on the X server, once painted there
    std::function<void()> m_changed;
};

}  // namespace tg
