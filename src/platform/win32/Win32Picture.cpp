#include "platform/win32/Win32Picture.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tg {

namespace {

TRIVERTEX ToTriVertex(const GradientVertex& v) noexcept {
    TRIVERTEX t{};
    t.x = v.x;
    t.y = v.y;
    t.Red = v.red;
    t.Green = v.green;
    t.Blue = v.blue;
    t.Alpha = v.alpha;
    return t;
}

}  // namespace

Win32Picture::Win32Picture(std::function<void()> invalidate, std::function<void()> refresh)
    : m_invalidate(std::move(invalidate)), m_refresh(std::move(refresh)), m_image(std::make_unique<MemoryBitmap>(1, 1)) {
    Prepare();
}

// The DC's own pen is a one-pixel solid pen whose colour each line sets: no pen is made per line.
void Win32Picture::Prepare() { SelectObject(m_image->Dc(), GetStockObject(DC_PEN)); }

void Win32Picture::Resize(std::int32_t width, std::int32_t height) {
    if (std::max(width, 1) == Width() && std::max(height, 1) == Height()) return;
    auto image = std::make_unique<MemoryBitmap>(width, height);
    GdiFlush();
    const std::int32_t w = std::min(image->Width(), m_image->Width());
    for (std::int32_t y = 0; y < std::min(image->Height(), m_image->Height()); ++y) {
        if (image->Row(y) && m_image->Row(y))
            std::memcpy(image->Row(y), m_image->Row(y), static_cast<std::size_t>(w) * sizeof(std::uint32_t));
    }
    m_image = std::move(image);
    Prepare();
    if (m_invalidate) m_invalidate();
}

void Win32Picture::Paint(HDC target, std::int32_t x, std::int32_t y) const {
    BitBlt(target, x, y, Width(), Height(), Dc(), 0, 0, SRCCOPY);
}

void Win32Picture::Clear(std::int32_t backColour) {
    const RECT all{0, 0, Width(), Height()};
    SetDCBrushColor(Dc(), ToColorRef(backColour));
    FillRect(Dc(), &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    if (m_invalidate) m_invalidate();
}

void Win32Picture::GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) {
    std::array<TRIVERTEX, 2> corners = {ToTriVertex(upperLeft), ToTriVertex(lowerRight)};
    GRADIENT_RECT rect{0, 1};
    ::GradientFill(Dc(), corners.data(), static_cast<ULONG>(corners.size()), &rect, 1, vertical ? GRADIENT_FILL_RECT_V : GRADIENT_FILL_RECT_H);
    if (m_invalidate) m_invalidate();
}

void Win32Picture::ScrollLeft(std::int32_t w, std::int32_t h) {
    BitBlt(Dc(), 0, 0, w, h, Dc(), 1, 0, SRCCOPY);
    if (m_invalidate) m_invalidate();
}

void Win32Picture::Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    SetDCPenColor(Dc(), ToColorRef(colour));
    MoveToEx(Dc(), x1, y1, nullptr);
    LineTo(Dc(), x2, y2);
    if (m_invalidate) m_invalidate();
}

void Win32Picture::Refresh() {
    if (m_refresh) m_refresh();
}

}  // namespace tg
