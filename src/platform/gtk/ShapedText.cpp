#include "platform/gtk/ShapedText.h"

#include <pango/pangocairo.h>

#include <algorithm>

namespace tg {

namespace {

bool PlainAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

}  // namespace

ShapedText::ShapedText(PangoLayout* layout)
    : m_layout(layout), m_glyphs(pango_glyph_string_new()), m_text(pango_layout_get_text(layout)) {}

ShapedText::~ShapedText() = default;

bool ShapedText::SetText(std::string_view text) {
    if (text == m_text) return false;
    m_text.assign(text);
    Refresh();
    return true;
}

// A changed font setting or screen resolution changes the layout's context, and with it the font
// the analysis names: learn it again.
void ShapedText::FollowContext() {
    if (m_item && pango_context_get_serial(pango_layout_get_context(m_layout.get())) != m_contextSerial) {
        m_item.reset();
        Refresh();
    }
}

void ShapedText::Refresh() {
    const bool ascii = PlainAscii(m_text);
    m_shaped = m_item && ascii && Shape();
    if (m_shaped) return;
    pango_layout_set_text(m_layout.get(), m_text.data(), static_cast<int>(m_text.size()));
    if (!m_item && ascii) LearnFromLayout();
}

bool ShapedText::Shape() {
    const int length = static_cast<int>(m_text.size());
    pango_shape_with_flags(m_text.data(), length, m_text.data(), length, &m_item->analysis, m_glyphs.get(),
                           PANGO_SHAPE_ROUND_POSITIONS);
    const PangoGlyphInfo* glyphs = m_glyphs->glyphs;
    return std::none_of(glyphs, glyphs + m_glyphs->num_glyphs,
                        [](const PangoGlyphInfo& g) { return (g.glyph & PANGO_GLYPH_UNKNOWN_FLAG) != 0; });
}

// Taken only from a line the layout set in one run: one font for the whole of it.
void ShapedText::LearnFromLayout() {
    PangoLayoutLine* line = pango_layout_get_line_readonly(m_layout.get(), 0);
    if (line == nullptr || line->runs == nullptr || line->runs->next != nullptr) return;
    const auto* run = static_cast<const PangoGlyphItem*>(line->runs->data);
    m_item.reset(pango_item_copy(run->item));
    m_baseline = pango_layout_get_baseline(m_layout.get());
    m_contextSerial = pango_context_get_serial(pango_layout_get_context(m_layout.get()));
}

int ShapedText::PixelWidth() {
    FollowContext();
    if (!m_shaped) {
        int width = 0;
        pango_layout_get_pixel_size(m_layout.get(), &width, nullptr);
        return width;
    }
    PangoRectangle logical;
    pango_glyph_string_extents(m_glyphs.get(), m_item->analysis.font, nullptr, &logical);
    pango_extents_to_pixels(&logical, nullptr);
    return logical.width;
}

void ShapedText::Draw(cairo_t* cr, double x, double y) {
    FollowContext();
    if (!m_shaped) {
        cairo_move_to(cr, x, y);
        pango_cairo_show_layout(cr, m_layout.get());
        return;
    }
    cairo_move_to(cr, x, y + pango_units_to_double(m_baseline));
    pango_cairo_show_glyph_string(cr, m_item->analysis.font, m_glyphs.get());
}

}  // namespace tg
