#include "platform/gtk/CairoPicture.h"

#include <algorithm>
#include <utility>

#include "appearance/PixelFills.h"

namespace tg {

namespace {

// More fills than this to bring the image to the server, and its pixels are sent instead. A
// gradient takes one fill a row or a column.
std::size_t FillLimit(const PixelSurface& pixels) {
    return 2 * static_cast<std::size_t>(pixels.Width() + pixels.Height()) + 16;
}

// The image's pixels stand for themselves: no smoothing, also when a HiDPI screen scales them up.
void SetSourceSurface(cairo_t* cr, cairo_surface_t* source, double x, double y) {
    cairo_set_source_surface(cr, source, x, y);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
}

// cairo only reads through this surface; the cast is the price of its C interface.
CairoSurfacePtr ImageOver(const PixelSurface& pixels) {
    const int w = pixels.Width();
    const int h = pixels.Height();
    if (w == 0 || h == 0 || cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, w) != pixels.Stride()) return nullptr;
    auto* data = reinterpret_cast<unsigned char*>(const_cast<std::uint32_t*>(pixels.Data()));
    return CairoSurfacePtr(cairo_image_surface_create_for_data(data, CAIRO_FORMAT_RGB24, w, h, pixels.Stride()));
}

std::pair<double, double> DeviceScale(cairo_surface_t* surface) {
    std::pair<double, double> xy;
    cairo_surface_get_device_scale(surface, &xy.first, &xy.second);
    return xy;
}

}  // namespace

// The picture as a pixmap similar to a target on the X server, with the target's scale: at 200 %
// each of its pixels is a block of four there.
class CairoPicture::ServerCopy final : public PixelCanvas {
 public:
    // One drawing context for the pixmap's life: a tick draws three times, and a context each costs
    // as much again as the drawing. Every call replaces the pixels it covers.
    ServerCopy(cairo_surface_t* like, std::int32_t width, std::int32_t height)
        : PixelCanvas(width, height),
          m_surface(cairo_surface_create_similar(like, CAIRO_CONTENT_COLOR, std::max(width, 1), std::max(height, 1))),
          m_cr(cairo_create(m_surface.get())) {
        cairo_set_operator(m_cr.get(), CAIRO_OPERATOR_SOURCE);
    }

    bool Made() const { return cairo_status(m_cr.get()) == CAIRO_STATUS_SUCCESS; }
    cairo_surface_t* Surface() const { return m_surface.get(); }

    // The box of `source` placed at (x, y), the source's scale converted to the pixmap's.
    void Copy(cairo_surface_t* source, double x, double y, const PixelBox& box) {
        SetSourceSurface(m_cr.get(), source, x, y);
        Rectangle(box);
        cairo_set_source_rgb(m_cr.get(), 0, 0, 0);  // lets go of the source
    }

    // The image in memory, as fills where few will do.
    void Take(const PixelSurface& pixels) {
        const PixelBox whole{0, 0, pixels.Width(), pixels.Height()};
        const std::vector<PixelFill> fills = FillsFor(pixels, whole, FillLimit(pixels));
        for (const PixelFill& fill : fills) Fill(fill.box, fill.rgb);
        if (!fills.empty()) return;
        if (const CairoSurfacePtr image = ImageOver(pixels)) Copy(image.get(), 0, 0, whole);
    }

    // What resizing keeps: the overlap with `other`, black beyond it.
    void Take(const ServerCopy& other) {
        Clear(0);
        Copy(other.Surface(), 0, 0, {0, 0, std::min(Width(), other.Width()), std::min(Height(), other.Height())});
    }

 private:
    void Rectangle(const PixelBox& box) {
        cairo_rectangle(m_cr.get(), box.left, box.top, box.right - box.left, box.bottom - box.top);
        cairo_fill(m_cr.get());
    }

    void Fill(const PixelBox& box, std::uint32_t rgb) override {
        cairo_set_source_rgb(m_cr.get(), ((rgb >> 16) & 0xFF) / 255.0, ((rgb >> 8) & 0xFF) / 255.0,
                             (rgb & 0xFF) / 255.0);
        Rectangle(box);
    }

    // The server copies overlapping blocks as if through a buffer, which the shift needs.
    void ShiftLeft(std::int32_t width, std::int32_t height) override {
        Copy(m_surface.get(), -1, 0, {0, 0, width, height});
    }

    CairoSurfacePtr m_surface;
    CairoPtr m_cr;  // after m_surface: goes first
};

CairoPicture::CairoPicture(std::function<void()> changed) : m_changed(std::move(changed)) {}

CairoPicture::~CairoPicture() = default;

PixelCanvas& CairoPicture::Canvas() noexcept {
    if (m_server) return *m_server;
    return m_pixels;
}

std::int32_t CairoPicture::Width() const noexcept { return m_server ? m_server->Width() : m_pixels.Width(); }

std::int32_t CairoPicture::Height() const noexcept { return m_server ? m_server->Height() : m_pixels.Height(); }

void CairoPicture::Resize(std::int32_t width, std::int32_t height) {
    if (!m_server) {
        m_pixels.Resize(width, height);
    } else {
        auto resized = std::make_unique<ServerCopy>(m_server->Surface(), width, height);
        if (resized->Made()) resized->Take(*m_server);
        m_server = std::move(resized);
    }
    m_changed();
}

void CairoPicture::Clear(std::int32_t backColour) {
    Canvas().Clear(backColour);
    m_changed();
}

void CairoPicture::GradientFill(const GradientVertex& upperLeft, const GradientVertex& lowerRight, bool vertical) {
    Canvas().GradientFill(upperLeft, lowerRight, vertical);
    m_changed();
}

void CairoPicture::ScrollLeft(std::int32_t w, std::int32_t h) {
    Canvas().ScrollLeft(w, h);
    m_changed();
}

void CairoPicture::Line(std::int32_t colour, std::int32_t x1, std::int32_t y1, std::int32_t x2, std::int32_t y2) {
    Canvas().Line(colour, x1, y1, x2, y2);
    m_changed();
}

// GTK paints from its frame clock; asking for a paint is as soon as the picture can show.
void CairoPicture::Refresh() { m_changed(); }

bool CairoPicture::ServerCopyServes(cairo_surface_t* target) const {
    return m_server && cairo_surface_get_device(m_server->Surface()) == cairo_surface_get_device(target) &&
           DeviceScale(m_server->Surface()) == DeviceScale(target);
}

// From memory, or from the copy made for a screen of another scale. The memory is given back.
void CairoPicture::MoveToServer(cairo_surface_t* target) {
    auto copy = std::make_unique<ServerCopy>(target, Width(), Height());
    if (!copy->Made()) return;
    if (m_server) {
        copy->Copy(m_server->Surface(), 0, 0, {0, 0, Width(), Height()});
    } else {
        copy->Take(m_pixels);
        m_pixels.Resize(0, 0);
    }
    m_server = std::move(copy);
}

void CairoPicture::Paint(cairo_t* cr, double x, double y) {
    if (Width() == 0 || Height() == 0) return;
    cairo_surface_t* target = cairo_get_target(cr);
    if (cairo_surface_get_type(target) == CAIRO_SURFACE_TYPE_XLIB && !ServerCopyServes(target)) MoveToServer(target);
    const CairoSurfacePtr image = m_server ? nullptr : ImageOver(m_pixels);
    cairo_surface_t* source = m_server ? m_server->Surface() : image.get();
    if (!source) return;
    cairo_save(cr);
    SetSourceSurface(cr, source, x, y);
    cairo_rectangle(cr, x, y, Width(), Height());
    cairo_fill(cr);
    cairo_restore(cr);
}

}  // namespace tg
