#include "appearance/PixelSurface.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace tg {

std::uint32_t ColourToRgb(std::int32_t colour) noexcept {
    const auto c = static_cast<std::uint32_t>(colour);
    return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
}

std::int32_t RgbToColour(std::uint32_t rgb) noexcept {
    return static_cast<std::int32_t>(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF));
}

namespace {

// One 16-bit channel at step i of n, blended linearly, as an 8-bit value.
std::uint32_t Blend(std::uint16_t from, std::uint16_t to, std::int64_t i, std::int64_t n) {
    const std::int64_t value = (static_cast<std::int64_t>(from) * (n - i) + static_cast<std::int64_t>(to) * i) / n;
    return static_cast<std::uint32_t>(value >> 8) & 0xFF;
}

}  // namespace

// ---- the rules

void PixelCanvas::SetSize(std::int32_t width, std::int32_t height) noexcept {
    m_width = std::max(width, 0);
    m_height = std::max(height, 0);
}

void PixelCanvas::Put(std::int64_t x, std::int64_t y, std::uint32_t rgb) {
    if (x < 0 || y < 0 || x >= m_width || y >= m_height) return;
    const auto px = static_cast<std::int32_t>(x);
    const auto py = static_cast<std::int32_t>(y);
    Fill({px, py, px + 1, py + 1}, rgb);
}

void PixelCanvas::Clear(std::int32_t backColour) {
    if (m_width > 0 && m_height > 0) Fill({0, 0, m_width, m_height}, ColourToRgb(backColour));
}

// The colour changes along one axis only: one fill a row, or a column.
void PixelCanvas::GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) {
    const GradientVertex& a = upperLeft;
    const GradientVertex& b = lowerRight;
    const std::int32_t left = std::max(a.x, 0);
    const std::int32_t right = std::min(b.x, m_width);
    const std::int32_t top = std::max(a.y, 0);
    const std::int32_t bottom = std::min(b.y, m_height);
    if (b.x <= a.x || b.y <= a.y || left >= right || top >= bottom) return;
    const std::int64_t n = vertical ? std::int64_t{b.y} - a.y : std::int64_t{b.x} - a.x;
    const auto colourAt = [&](std::int64_t i) {
        return (Blend(a.red, b.red, i, n) << 16) | (Blend(a.green, b.green, i, n) << 8) | Blend(a.blue, b.blue, i, n);
    };
    if (vertical) {
        for (std::int32_t y = top; y < bottom; ++y) Fill({left, y, right, y + 1}, colourAt(std::int64_t{y} - a.y));
    } else {
        for (std::int32_t x = left; x < right; ++x) Fill({x, top, x + 1, bottom}, colourAt(std::int64_t{x} - a.x));
    }
}

// Pixels whose source lies outside the image keep what they had.
void PixelCanvas::ScrollLeft(std::int32_t w, std::int32_t h) {
    const std::int32_t width = std::min(w, m_width - 1);
    const std::int32_t height = std::min(h, m_height);
    if (width > 0 && height > 0) ShiftLeft(width, height);
}

void PixelCanvas::Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    const std::uint32_t rgb = ColourToRgb(colour);
    if (x1 == x2) {  // the graph's bars: one fill from the first point towards the end, which is left out
        if (x1 < 0 || x1 >= m_width || y1 == y2) return;
        const std::int64_t from = y1 < y2 ? y1 : std::int64_t{y2} + 1;
        const std::int64_t to = y1 < y2 ? y2 : std::int64_t{y1} + 1;
        const auto top = static_cast<std::int32_t>(std::clamp<std::int64_t>(from, 0, m_height));
        const auto bottom = static_cast<std::int32_t>(std::clamp<std::int64_t>(to, 0, m_height));
        if (top < bottom) Fill({x1, top, x1 + 1, bottom}, rgb);
        return;
    }
    // Any other line, Bresenham, for lines that lie near the image.
    std::int64_t x = x1;
    std::int64_t y = y1;
    const std::int64_t dx = std::llabs(std::int64_t{x2} - x1);
    const std::int64_t dy = -std::llabs(std::int64_t{y2} - y1);
    if (dx > (1 << 16) || -dy > (1 << 16)) return;
    const std::int64_t sx = x1 < x2 ? 1 : -1;
    const std::int64_t sy = y1 < y2 ? 1 : -1;
    std::int64_t err = dx + dy;
    while (!(x == x2 && y == y2)) {
        Put(x, y, rgb);
        const std::int64_t e2 = 2 * err;
        if (e2 >= dy) { err += dy; x += sx; }
        if (e2 <= dx) { err += dx; y += sy; }
    }
}

// ---- in memory

PixelSurface::PixelSurface(std::int32_t width, std::int32_t height) : PixelCanvas(0, 0) { Resize(width, height); }

void PixelSurface::Resize(std::int32_t width, std::int32_t height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
    const std::int32_t w = std::min(width, Width());
    for (std::int32_t y = 0; y < std::min(height, Height()); ++y)
        std::copy_n(m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * Width(), w,
                    pixels.begin() + static_cast<std::ptrdiff_t>(y) * width);
    m_pixels.swap(pixels);
    SetSize(width, height);
}

std::int32_t PixelSurface::Pixel(std::int32_t x, std::int32_t y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height()) return -1;
    return RgbToColour(m_pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(Width()) +
                                static_cast<std::size_t>(x)]);
}

void PixelSurface::Fill(const PixelBox& box, std::uint32_t rgb) {
    for (std::int32_t y = box.top; y < box.bottom; ++y) {
        auto row = m_pixels.begin() + static_cast<std::ptrdiff_t>(y) * Width();
        std::fill(row + box.left, row + box.right, rgb);
    }
}

void PixelSurface::ShiftLeft(std::int32_t width, std::int32_t height) {
    for (std::int32_t y = 0; y < height; ++y) {
        std::uint32_t* row = m_pixels.data() + static_cast<std::ptrdiff_t>(y) * Width();
        std::memmove(row, row + 1, static_cast<std::size_t>(width) * sizeof(std::uint32_t));
    }
}

}  // namespace tg
