#pragma once
// Scoped owners of the USER and GDI objects the front end holds: each object is released once, by
// the call that matches the one that made it, so nothing the window makes outlives it.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <type_traits>

#include "platform/windows/KernelHandle.h"

namespace tg {

struct GdiObjectDelete {
    void operator()(HGDIOBJ object) const noexcept { DeleteObject(object); }
};
template <typename Handle>
using GdiObject = std::unique_ptr<std::remove_pointer_t<Handle>, GdiObjectDelete>;

struct MemoryDcDelete {
    void operator()(HDC dc) const noexcept { DeleteDC(dc); }
};
using MemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDelete>;

struct MenuDestroy {
    void operator()(HMENU menu) const noexcept { DestroyMenu(menu); }
};
using MenuHandle = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDestroy>;

struct WindowDestroy {
    void operator()(HWND window) const noexcept { DestroyWindow(window); }
};
using WindowHandle = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDestroy>;

// A window's DC (the screen's for no window) from GetDC, released with the window it came from.
class WindowDc {
 public:
    explicit WindowDc(HWND window) : m_window(window), m_dc(GetDC(window)) {}
    ~WindowDc() {
        if (m_dc != nullptr) ReleaseDC(m_window, m_dc);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const noexcept { return m_dc; }

 private:
    HWND m_window;
    HDC m_dc;
};

// The DC of a WM_PAINT, from BeginPaint to EndPaint.
class PaintDc {
 public:
    explicit PaintDc(HWND window) : m_window(window), m_dc(BeginPaint(window, &m_paint)) {}
    ~PaintDc() { EndPaint(m_window, &m_paint); }
    PaintDc(const PaintDc&) = delete;
    PaintDc& operator=(const PaintDc&) = delete;
    HDC Get() const noexcept { return m_dc; }

 private:
    HWND m_window;
    PAINTSTRUCT m_paint{};
    HDC m_dc;
};

// An object selected into a DC for the life of this value; the DC's previous object goes back in
// when it ends, so the object can be deleted afterwards (GDI refuses to delete a selected one).
class Selection {
 public:
    Selection() = default;
    Selection(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~Selection() { Restore(); }
    Selection(Selection&& other) noexcept : m_dc(other.m_dc), m_previous(other.m_previous) { other.m_dc = nullptr; }
    Selection& operator=(Selection&& other) noexcept {
        if (this != &other) {
            Restore();
            m_dc = other.m_dc;
            m_previous = other.m_previous;
            other.m_dc = nullptr;
        }
        return *this;
    }
    Selection(const Selection&) = delete;
    Selection& operator=(const Selection&) = delete;

 private:
    void Restore() noexcept {
        if (m_dc != nullptr && m_previous != nullptr) SelectObject(m_dc, m_previous);
        m_dc = nullptr;
    }
    HDC m_dc = nullptr;
    HGDIOBJ m_previous = nullptr;
};

// A memory DC with a 32-bit top-down DIB section selected into it: an image GDI draws on and the
// program can read row by row.
class MemoryBitmap {
 public:
    // An empty size still makes a one-pixel image, so the DC always has somewhere to draw.
    MemoryBitmap(std::int32_t width, std::int32_t height);

    HDC Dc() const noexcept { return m_dc.get(); }
    HBITMAP Bitmap() const noexcept { return m_bitmap.get(); }
    std::int32_t Width() const noexcept { return m_width; }
    std::int32_t Height() const noexcept { return m_height; }
    // Row y, Width() words of 0x00RRGGBB; call GdiFlush first when GDI drew since the last read.
    std::uint32_t* Row(std::int32_t y) const noexcept;

 private:
    std::int32_t m_width;
    std::int32_t m_height;
    MemoryDc m_dc;
    GdiObject<HBITMAP> m_bitmap;
    void* m_bits = nullptr;
    Selection m_selection;  // last: it lets go of the bitmap before the bitmap is deleted
};

}  // namespace tg
