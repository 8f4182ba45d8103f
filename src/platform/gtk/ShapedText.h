#pragma once

#include <cairo.h>
#include <pango/pango.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/gtk/GObjectPtr.h"

namespace tg {

// One line of text in one font, as a read-out shows it. The read-outs change every second, and a
// layout would itemize, break and line them up afresh each time; once a layout has shown which
// font and script plain ASCII text takes, such text is shaped straight into glyphs with that
// analysis, which is what the layout would have drawn, at a fraction of the work. Other text
// (a character the font lacks, anything beyond ASCII) goes through the layout as before.
class ShapedText {
 public:
    explicit ShapedText(PangoLayout* layout);
    ~ShapedText();
    ShapedText(const ShapedText&) = delete;
    ShapedText& operator=(const ShapedText&) = delete;

    // False when the text is the one shown already: nothing to shape or paint again.
    bool SetText(std::string_view text);
    bool UsesGlyphs() const { return m_shaped; }
    int PixelWidth();
    // (x, y) is the top left corner of the text's logical box, as for a layout.
    void Draw(cairo_t* cr, double x, double y);

 private:
    struct ItemFree {
        void operator()(PangoItem* item) const noexcept { pango_item_free(item); }
    };
    struct GlyphsFree {
        void operator()(PangoGlyphString* glyphs) const noexcept { pango_glyph_string_free(glyphs); }
    };

    bool Shape();
    void LearnFromLayout();
    void Refresh();
    void FollowContext();

    GObjectPtr<PangoLayout> m_layout;
    std::unique_ptr<PangoItem, ItemFree> m_item;  // the analysis ASCII text takes, once known
    std::unique_ptr<PangoGlyphString, GlyphsFree> m_glyphs;
    std::string m_text;
    int m_baseline = 0;  // Pango units below the top
    guint m_contextSerial = 0;
    bool m_shaped = false;  // m_glyphs holds m_text; else the layout does
};

}  // namespace tg
