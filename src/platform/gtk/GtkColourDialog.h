#pragma once
// The colour dialog on Linux: GTK's colour chooser, modal over the window that asks, without an
// alpha channel since colours here are 0x00BBGGRR.
//
// The request's custom colour slots have no counterpart: GTK keeps its custom colours in the
// user's settings, shared with every GTK program, and the chooser takes no list for one call
// (adding the slots as a palette would drop GTK's own palettes and show sixteen identical black
// swatches). Each call opens with none instead, and leaves the shared list as it found it.
#include <gtk/gtk.h>

#include "ports/OptionsPorts.h"

namespace tg {

class GtkColourDialog final : public ColourDialog {
 public:
    // `parent` may be null; the dialog then stands on its own.
    explicit GtkColourDialog(GtkWindow* parent) : m_parent(parent) {}
    bool Choose(ColourRequest& request) override;

 private:
    GtkWindow* m_parent;
};

// 0x00BBGGRR and GDK's colours, each channel rounded to the nearest of 0 .. 255.
GdkRGBA RgbaFromColour(std::int32_t colour);
std::int32_t ColourFromRgba(const GdkRGBA& rgba);

}  // namespace tg
