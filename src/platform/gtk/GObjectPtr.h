#pragma once
// Owners for the GLib, Pango, GTK and cairo objects the front end keeps beyond one function
// (locals use g_autoptr), so every path that drops one also releases it.
#include <cairo.h>
#include <gtk/gtk.h>
#include <pango/pango.h>

#include <memory>

namespace tg {

struct GObjectUnref {
    void operator()(gpointer object) const noexcept {
        if (object) g_object_unref(object);
    }
};
template <typename T>
using GObjectPtr = std::unique_ptr<T, GObjectUnref>;

// A widget we hold a reference on: destroyed first, so that GTK (a toplevel's list, a menu's
// attachment) lets go of it too, then released.
struct WidgetRelease {
    void operator()(GtkWidget* widget) const noexcept {
        if (!widget) return;
        gtk_widget_destroy(widget);
        g_object_unref(widget);
    }
};
using OwnedWidget = std::unique_ptr<GtkWidget, WidgetRelease>;

inline OwnedWidget OwnWidget(GtkWidget* widget) { return OwnedWidget(GTK_WIDGET(g_object_ref_sink(widget))); }

// Data handed to GLib with a destroy notify: GLib owns it until it calls DeleteGiven<T>.
template <typename T>
gpointer Give(std::unique_ptr<T> data) {
    return data.release();
}
template <typename T>
std::unique_ptr<T> TakeGiven(gpointer data) {
    return std::unique_ptr<T>(static_cast<T*>(data));
}
template <typename T>
void DeleteGiven(gpointer data) {
    TakeGiven<T>(data);
}

struct CairoSurfaceDestroy {
    void operator()(cairo_surface_t* surface) const noexcept { cairo_surface_destroy(surface); }
};
using CairoSurfacePtr = std::unique_ptr<cairo_surface_t, CairoSurfaceDestroy>;

struct CairoDestroy {
    void operator()(cairo_t* cr) const noexcept { cairo_destroy(cr); }
};
using CairoPtr = std::unique_ptr<cairo_t, CairoDestroy>;

struct FontDescriptionFree {
    void operator()(PangoFontDescription* font) const noexcept { pango_font_description_free(font); }
};
using FontDescriptionPtr = std::unique_ptr<PangoFontDescription, FontDescriptionFree>;

}  // namespace tg
