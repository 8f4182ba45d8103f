#include "platform/gtk/CairoPicture.h"

#include <utility>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

CairoPicture::CairoPicture(std::function<void()> changed) : m_changed(std::move(changed)) {}

void CairoPicture::Resize(std::int32_t width, std::int32_t height) {
    m_pixels.Resize(width, height);
    m_changed();
}

void CairoPicture::Clear(std::int32_t backColour) {
    m_pixels.Clear(backColour);
    m_changed();
}

void CairoPicture::GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) {
    m_pixels.GradientFill(upperLeft, lowerRight, vertical);
    m_changed();
}

void CairoPicture::ScrollLeft(std::int32_t w, std::int32_t h) {
    m_pixels.ScrollLeft(w, h);
    m_changed();
}

void CairoPicture::Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    m_pixels.Line(colour, x1, y1, x2, y2);
    m_changed();
}

// GTK paints from its frame clock; asking for a paint is as soon as the picture can show.
void CairoPicture::Refresh() { m_changed(); }

void CairoPicture::Paint(cairo_t* cr, double x, double y) const {
    const int w = m_pixels.Width();
    const int h = m_pixels.Height();
    if (w == 0 || h == 0 || cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, w) != m_pixels.Stride()) return;
    // cairo only reads through this surface; the cast is the price of its C interface.
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(m_pixels.Data()));
    const CairoSurfacePtr image(cairo_image_surface_create_for_data(data, CAIRO_FORMAT_RGB24, w, h, m_pixels.Stride()));
    cairo_save(cr);
    cairo_set_source_surface(cr, image.get(), x, y);
    // On a scaled (HiDPI) screen each image pixel covers several device pixels: keep the bars sharp.
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace tg
