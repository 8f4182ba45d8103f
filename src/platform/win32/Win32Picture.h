#pragma once
// Picture2 on Windows: a persistent image in a memory DC that GDI draws on. The window copies it to
// the screen when it paints; every drawing call asks for that paint, Refresh has it done at once.
#include <windows.h>

#include <functional>
#include <memory>

#include "ports/Surface.h"
#include "platform/win32/Win32Handles.h"

namespace tg {

// 0x00BBGGRR as GDI takes it: the high byte would select a palette entry instead of a colour.
inline COLORREF ToColorRef(std::int32_t colour) noexcept { return static_cast<COLORREF>(colour) & 0x00FFFFFFU; }

class Win32Picture final : public Surface {
 public:
    // `invalidate` asks the window for a paint; `refresh` paints it now.
    Win32Picture(std::function<void()> invalidate, std::function<void()> refresh);

    // The image in pixels; what both sizes share is kept, new pixels are black.
    void Resize(std::int32_t width, std::int32_t height);
    std::int32_t Width() const noexcept { return m_image->Width(); }
    std::int32_t Height() const noexcept { return m_image->Height(); }
    HDC Dc() const noexcept { return m_image->Dc(); }
    HBITMAP Bitmap() const noexcept { return m_image->Bitmap(); }
    // Copies the image to `target` with its upper left corner at (x, y).
    void Paint(HDC target, std::int32_t x, std::int32_t y) const;

    void Clear(std::int32_t backColour) override;
    void GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) override;
    void ScrollLeft(std::int32_t w, std::int32_t h) override;
    void Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) override;
    void Refresh() override;

 private:
    void Prepare();

    std::function<void()> m_invalidate;
    std::function<void()> m_refresh;
    std::unique_ptr<MemoryBitmap> m_image;
};

}  // namespace tg
