#pragma once
// The pixel rules of the Windows drawing calls the surface port stands for: the gradient computed
// from 16-bit channels, a one-pixel scroll copy, one-pixel lines without their end point. A
// PixelCanvas draws them as rectangles of one colour and the scroll's copy, on whatever holds the
// picture: PixelSurface keeps it in memory (the tests read its pixels, and the Linux front end
// shows it through a cairo image surface); the Linux front end's pixmap on an X server is another.
#include <cstdint>
#include <vector>

#include "appearance/MiscCode.h"
#include "ports/Surface.h"

namespace tg {

class PixelCanvas : public Surface {
 public:
    void Clear(std::int32_t backColour) override;
    void GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) override;
    void ScrollLeft(std::int32_t w, std::int32_t h) override;
    void Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void Refresh() override {}

    std::int32_t Width() const noexcept { return m_width; }
    std::int32_t Height() const noexcept { return m_height; }

 protected:
    PixelCanvas(std::int32_t width, std::int32_t height) noexcept { SetSize(width, height); }

    void SetSize(std::int32_t width, std::int32_t height) noexcept;
    // A box inside the picture, never empty, in one colour (0x00RRGGBB).
    virtual void Fill(const PixelBox& box, std::uint32_t rgb) = 0;
    // Columns 1 to `width` of the rows above `height` each move one column left; 0 < width < Width().
    virtual void ShiftLeft(std::int32_t width, std::int32_t height) = 0;

 private:
    void Put(std::int64_t x, std::int64_t y, std::uint32_t rgb);

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
};

class PixelSurface final : public PixelCanvas {
 public:
    PixelSurface(std::int32_t width, std::int32_t height);

    // Resizing keeps the overlapping part of the image; new pixels are black.
    void Resize(std::int32_t width, std::int32_t height);

    // A pixel as a colour 0x00BBGGRR.
    std::int32_t Pixel(std::int32_t x, std::int32_t y) const;
    // Rows of 0x00RRGGBB words (cairo's RGB24 layout), `Stride()` bytes apart.
    const std::uint32_t* Data() const noexcept { return m_pixels.data(); }
    std::uint32_t* Data() noexcept { return m_pixels.data(); }
    std::int32_t Stride() const noexcept { return Width() * 4; }

 private:
    void Fill(const PixelBox& box, std::uint32_t rgb) override;
    void ShiftLeft(std::int32_t width, std::int32_t height) override;

    std::vector<std::uint32_t> m_pixels;
};

// 0x00BBGGRR <-> 0x00RRGGBB.
std::uint32_t ColourToRgb(std::int32_t colour) noexcept;
std::int32_t RgbToColour(std::uint32_t rgb) noexcept;

}  // namespace tg
