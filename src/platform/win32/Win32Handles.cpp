#include "platform/win32/Win32Handles.h"

#include <algorithm>

namespace tg {

MemoryBitmap::MemoryBitmap(std::int32_t width, std::int32_t height)
    : m_width(std::max(width, 1)), m_height(std::max(height, 1)), m_dc(CreateCompatibleDC(nullptr)) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = m_width;
    info.bmiHeader.biHeight = -m_height;  // negative: the first row is the top one
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    m_bitmap.reset(CreateDIBSection(m_dc.get(), &info, DIB_RGB_COLORS, &m_bits, nullptr, 0));
    if (m_dc && m_bitmap) m_selection = Selection(m_dc.get(), m_bitmap.get());
}

std::uint32_t* MemoryBitmap::Row(std::int32_t y) const noexcept {
    if (m_bits == nullptr || y < 0 || y >= m_height) return nullptr;
    return static_cast<std::uint32_t*>(m_bits) + static_cast<std::ptrdiff_t>(y) * m_width;
}

}  // namespace tg
