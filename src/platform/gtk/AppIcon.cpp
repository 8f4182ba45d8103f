#include "platform/gtk/AppIcon.h"

#include <gtk/gtk.h>

#include <array>
#include <cerrno>
#include <utility>
#include <vector>

namespace tg {

namespace {

void Rgb(cairo_t* cr, int r, int g, int b) { cairo_set_source_rgb(cr, r / 255.0, g / 255.0, b / 255.0); }

void Background(cairo_t* cr, double s) {
    cairo_pattern_t* gradient = cairo_pattern_create_linear(0, 0, 0, s);
    cairo_pattern_add_color_stop_rgb(gradient, 0, 1, 1, 128 / 255.0);
    cairo_pattern_add_color_stop_rgb(gradient, 1, 1, 1, 1);
    cairo_rectangle(cr, 0, 0, s, s);
    cairo_set_source(cr, gradient);
    cairo_fill(cr);
    cairo_pattern_destroy(gradient);
}

void Bars(cairo_t* cr, double s) {
    Rgb(cr, 255, 0, 0);
    cairo_rectangle(cr, s * 0.22, s * 0.30, s * 0.24, s * 0.62);
    cairo_fill(cr);
    Rgb(cr, 255, 255, 0);
    cairo_rectangle(cr, s * 0.54, s * 0.55, s * 0.24, s * 0.37);
    cairo_fill(cr);
}

// Yellow on white needs an edge to be seen at all.
void Frame(cairo_t* cr, double s) {
    Rgb(cr, 96, 96, 96);
    cairo_set_line_width(cr, s / 32);
    cairo_rectangle(cr, s / 64, s / 64, s - s / 32, s - s / 32);
    cairo_stroke(cr);
}

constexpr std::array kWindowSizes = {32, 48, 64, 128};

CairoSurfacePtr DrawIconSurface(int size) {
    CairoSurfacePtr surface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, size, size));
    {
        const CairoPtr cr(cairo_create(surface.get()));
        const double s = size;
        Background(cr.get(), s);
        Bars(cr.get(), s);
        Frame(cr.get(), s);
    }
    return surface;
}

}  // namespace

GObjectPtr<GdkPixbuf> DrawAppIcon(int size) {
    const CairoSurfacePtr surface = DrawIconSurface(size);
    return GObjectPtr<GdkPixbuf>(gdk_pixbuf_get_from_surface(surface.get(), 0, 0, size, size));
}

bool WriteAppIcon(const std::string& path, int size, GError** error) {
    g_autofree gchar* folder = g_path_get_dirname(path.c_str());
    if (g_mkdir_with_parents(folder, 0755) != 0) {
        g_set_error(error, G_FILE_ERROR, g_file_error_from_errno(errno), "cannot make %s", folder);
        return false;
    }
    const auto icon = DrawAppIcon(size);
    return icon && gdk_pixbuf_save(icon.get(), path.c_str(), "png", error, nullptr);
}

namespace {

// _NET_WM_ICON: each size as its width, its height and its pixels, a long each, as X wants for
// 32-bit properties whatever the size of a long.
std::vector<unsigned long> NetWmIcon() {
    std::size_t length = 0;
    for (const int size : kWindowSizes) length += 2 + static_cast<std::size_t>(size) * static_cast<std::size_t>(size);
    std::vector<unsigned long> data;
    data.reserve(length);
    for (const int size : kWindowSizes) {
        const auto icon = DrawAppIcon(size);  // straight alpha, RGBA
        data.push_back(static_cast<unsigned long>(size));
        data.push_back(static_cast<unsigned long>(size));
        const guchar* pixels = gdk_pixbuf_read_pixels(icon.get());
        const auto stride = static_cast<std::size_t>(gdk_pixbuf_get_rowstride(icon.get()));
        const auto side = static_cast<std::size_t>(size);
        for (std::size_t y = 0; y < side; ++y)
            for (const guchar* p = pixels + stride * y; p < pixels + stride * y + 4 * side; p += 4)
                data.push_back(static_cast<unsigned long>(p[3]) << 24 | static_cast<unsigned long>(p[0]) << 16 |
                               static_cast<unsigned long>(p[1]) << 8 | p[2]);
    }
    return data;
}

// The sizes desktops ask for; the caller frees the list and its pictures.
GList* DrawIconSizes() {
    GList* icons = nullptr;
    for (const int size : kWindowSizes) icons = g_list_append(icons, DrawAppIcon(size).release());
    return icons;
}

}  // namespace

// Only the property modern desktops read: GDK would also draw the old WM_HINTS icon through an
// X pixmap, and cairo keeps 100 KB from that upload for good.
void SetWindowIcon(GdkWindow* window) {
    const std::vector<unsigned long> data = NetWmIcon();
    gdk_property_change(window, gdk_atom_intern_static_string("_NET_WM_ICON"),
                        gdk_atom_intern_static_string("CARDINAL"), 32, GDK_PROP_MODE_REPLACE,
                        reinterpret_cast<const guchar*>(data.data()), static_cast<gint>(data.size()));
}

void InstallAppIcon() {
    static bool installed = false;
    if (std::exchange(installed, true)) return;
    GList* icons = DrawIconSizes();
    gtk_window_set_default_icon_list(icons);
    g_list_free_full(icons, g_object_unref);
}

void CopyWindowIcon(GtkWindow* dialog, GtkWindow* owner) {
    GList* icons = owner ? gtk_window_get_icon_list(owner) : nullptr;
    if (!icons) {
        InstallAppIcon();
        icons = gtk_window_get_default_icon_list();
    }
    gtk_window_set_icon_list(dialog, icons);
    g_list_free(icons);
}

}  // namespace tg
