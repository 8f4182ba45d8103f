#include "platform/gtk/CairoPicture.h"

#include <algorithm>
#include <utility>

#include "appearance/PixelFills.h"

namespace tg {

namespace {

// More fills than this for one change, and its pixels are sent instead. A gradient of the whole
// picture takes one fill a row or a column.
std::size_t FillLimit(const PixelSurface& pixels) {
    return 2 * static_cast<std::size_t>(pixels.Width() + pixels.Height()) + 16;
}

void SetSourceRgb(cairo_t* cr, std::uint32_t rgb) {
    cairo_set_source_rgb(cr, ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0, (rgb & 0xFF) / 255.0);
}

// The image's pixels stand for themselves: no smoothing, also when a HiDPI screen scales them up.
void SetSourceSurface(cairo_t* cr, cairo_surface_t* source, double x, double y) {
    cairo_set_source_surface(cr, source, x, y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
}

std::int32_t Within(std::int64_t value, std::int32_t size) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, 0, size));
}

}  // namespace

CairoPicture::CairoPicture(std::function<void()> changed) : m_changed(std::move(changed)) {}

void CairoPicture::Resize(std::int32_t width, std::int32_t height) {
    m_pixels.Resize(width, height);
    m_mirror.reset();
    m_changed();
}

void CairoPicture::Clear(std::int32_t backColour) {
    m_pixels.Clear(backColour);
    Mirror({0, 0, m_pixels.Width(), m_pixels.Height()});
    m_changed();
}

void CairoPicture::GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) {
    m_pixels.GradientFill(upperLeft, lowerRight, vertical);
    Mirror({upperLeft.x, upperLeft.y, lowerRight.x, lowerRight.y});
    m_changed();
}

// The server copies overlapping blocks as if through a buffer, which the scroll needs.
void CairoPicture::ScrollLeft(std::int32_t w, std::int32_t h) {
    m_pixels.ScrollLeft(w, h);
    const std::int32_t width = m_pixels.ScrolledWidth(w);
    const std::int32_t height = m_pixels.ScrolledHeight(h);
    if (m_mirror && width > 0 && height > 0) {
        const CairoPtr cr(cairo_create(m_mirror.get()));
        cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
        SetSourceSurface(cr.get(), m_mirror.get(), -1, 0);
        cairo_rectangle(cr.get(), 0, 0, width, height);
        cairo_fill(cr.get());
    }
    m_changed();
}

void CairoPicture::Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    m_pixels.Line(colour, x1, y1, x2, y2);
    // Whatever the line's rule leaves out, it draws nothing beyond its end points.
    Mirror({std::min(x1, x2), std::min(y1, y2), std::int64_t{std::max(x1, x2)} + 1,
            std::int64_t{std::max(y1, y2)} + 1});
    m_changed();
}

// GTK paints from its frame clock; asking for a paint is as soon as the picture can show.
void CairoPicture::Refresh() { m_changed(); }

bool CairoPicture::MirrorServes(cairo_surface_t* target) const {
    if (!m_mirror || cairo_surface_get_device(m_mirror.get()) != cairo_surface_get_device(target)) return false;
    const auto scale = [](cairo_surface_t* surface) {
        std::pair<double, double> xy;
        cairo_surface_get_device_scale(surface, &xy.first, &xy.second);
        return xy;
    };
    return scale(m_mirror.get()) == scale(target);
}

// Similar to the target, the copy has its scale: at 200 % each pixel of the image is a block there.
void CairoPicture::MakeMirror(cairo_surface_t* target) {
    m_mirror.reset();
    if (m_pixels.Width() == 0 || m_pixels.Height() == 0) return;
    m_mirror.reset(cairo_surface_create_similar(target, CAIRO_CONTENT_COLOR, m_pixels.Width(), m_pixels.Height()));
    if (cairo_surface_status(m_mirror.get()) != CAIRO_STATUS_SUCCESS) return m_mirror.reset();
    Mirror({0, 0, m_pixels.Width(), m_pixels.Height()});
}

void CairoPicture::Mirror(const Span& span) {
    const std::int32_t w = m_pixels.Width();
    const std::int32_t h = m_pixels.Height();
    const PixelBox box{Within(span.left, w), Within(span.top, h), Within(span.right, w), Within(span.bottom, h)};
    if (!m_mirror || box.left == box.right || box.top == box.bottom) return;
    const CairoPtr cr(cairo_create(m_mirror.get()));
    cairo_set_operator(cr.get(), CAIRO_OPERATOR_SOURCE);
    const std::vector<PixelFill> fills = FillsFor(m_pixels, box, FillLimit(m_pixels));
    for (const PixelFill& fill : fills) {
        SetSourceRgb(cr.get(), fill.rgb);
        cairo_rectangle(cr.get(), fill.box.left, fill.box.top, fill.box.right - fill.box.left,
                        fill.box.bottom - fill.box.top);
        cairo_fill(cr.get());
    }
    if (!fills.empty()) return;
    const CairoSurfacePtr image = ImageOver();
    if (!image) return;
    SetSourceSurface(cr.get(), image.get(), 0, 0);
    cairo_rectangle(cr.get(), box.left, box.top, box.right - box.left, box.bottom - box.top);
    cairo_fill(cr.get());
}

// cairo only reads through this surface; the cast is the price of its C interface.
CairoSurfacePtr CairoPicture::ImageOver() const {
    const int w = m_pixels.Width();
    const int h = m_pixels.Height();
    if (w == 0 || h == 0 || cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, w) != m_pixels.Stride()) return nullptr;
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(m_pixels.Data()));
    return CairoSurfacePtr(cairo_image_surface_create_for_data(data, CAIRO_FORMAT_RGB24, w, h, m_pixels.Stride()));
}

// A copy made for another target, or before the X server was there to hold it, goes.
void CairoPicture::Paint(cairo_t* cr, double x, double y) {
    cairo_surface_t* target = cairo_get_target(cr);
    if (cairo_surface_get_type(target) != CAIRO_SURFACE_TYPE_XLIB) m_mirror.reset();
    else if (!MirrorServes(target)) MakeMirror(target);
    const CairoSurfacePtr image = m_mirror ? nullptr : ImageOver();
    cairo_surface_t* source = m_mirror ? m_mirror.get() : image.get();
    if (!source) return;
    cairo_save(cr);
    SetSourceSurface(cr, source, x, y);
    cairo_rectangle(cr, x, y, m_pixels.Width(), m_pixels.Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace tg
