#pragma once
// A persistent image in memory with the pixel rules of the Windows drawing calls the surface port
// stands for: the gradient computed from 16-bit channels, a one-pixel scroll copy, one-pixel lines
// without their end point. The Linux front end shows it through a cairo image surface, and the
// tests read its pixels.
#include <algorithm>
#include <cstdint>
#include <vector>

#include "ports/Surface.h"

namespace tg {

class PixelSurface : public Surface {
 public:
    PixelSurface(std::int32_t width, std::int32_t height);

    // Resizing keeps the overlapping part of the image; new pixels are black.
    void Resize(std::int32_t width, std::int32_t height);

    void Clear(std::int32_t backColour) override;
    void GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) override;
    void ScrollLeft(std::int32_t w, std::int32_t h) override;
    void Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void Refresh() override {}

    // What ScrollLeft(w, h) moves: the block from column 1 on, each pixel one column left. Its
    // right edge is at most the last column, which keeps its pixels. Zero-wide when nothing moves.
    std::int32_t ScrolledWidth(std::int32_t w) const noexcept { return std::max(std::min(w, m_width - 1), 0); }
    std::int32_t ScrolledHeight(std::int32_t h) const noexcept { return std::max(std::min(h, m_height), 0); }

    std::int32_t Width() const noexcept { return m_width; }
    std::int32_t Height() const noexcept { return m_height; }
    // A pixel as a colour 0x00BBGGRR.
    std::int32_t Pixel(std::int32_t x, std::int32_t y) const;
    // Rows of 0x00RRGGBB words (cairo's RGB24 layout), `Stride()` bytes apart.
    const std::uint32_t* Data() const noexcept { return m_pixels.data(); }
    std::uint32_t* Data() noexcept { return m_pixels.data(); }
    std::int32_t Stride() const noexcept { return m_width * 4; }

 private:
    void Put(std::int32_t x, std::int32_t y, std::uint32_t rgb);

    std::int32_t m_width = 0;
    std::int32_t m_height = 0;
    std::vector<std::uint32_t> m_pixels;
};

// 0x00BBGGRR <-> 0x00RRGGBB.
std::uint32_t ColourToRgb(std::int32_t colour) noexcept;
std::int32_t RgbToColour(std::uint32_t rgb) noexcept;

}  // namespace tg
