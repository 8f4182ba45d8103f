#pragma once
// Helpers of the tests that run against a real X server (under with-xvfb.sh: 1920x1080 at 96 DPI,
// no window manager).
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string_view>

namespace tg::test {

using namespace std::chrono_literals;

struct Rgb {
    int r = -1, g = -1, b = -1;
    bool operator==(const Rgb&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Rgb& c) {
    return out << "rgb(" << c.r << "," << c.g << "," << c.b << ")";
}

// Runs the main loop until `done` holds or the time is up; whether it holds.
inline bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(5000);
    }
    return true;
}

inline void PumpFor(std::chrono::milliseconds time) {
    PumpUntil([] { return false; }, time);
}

inline Rgb PixelOf(GdkPixbuf* pixbuf, int x, int y) {
    const guchar* p = gdk_pixbuf_get_pixels(pixbuf) + y * gdk_pixbuf_get_rowstride(pixbuf) +
                      x * gdk_pixbuf_get_n_channels(pixbuf);
    return {p[0], p[1], p[2]};
}

// The widget of this name inside `root` (root itself included), or null.
inline GtkWidget* FindNamed(GtkWidget* root, std::string_view name) {
    if (name == gtk_widget_get_name(root)) return root;
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    GtkWidget* found = nullptr;
    for (GList* c = children; c && !found; c = c->next) found = FindNamed(GTK_WIDGET(c->data), name);
    g_list_free(children);
    return found;
}

// The first mapped toplevel window that satisfies `match`, or null.
inline GtkWindow* FindToplevel(const std::function<bool(GtkWindow*)>& match) {
    GList* windows = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* w = windows; w && !found; w = w->next) {
        auto* window = GTK_WINDOW(w->data);
        if (gtk_widget_get_mapped(GTK_WIDGET(window)) && match(window)) found = window;
    }
    g_list_free(windows);
    return found;
}

// The pointer moved to a screen point, and the left button pressed or let go, through the X server.
void MovePointer(int x, int y);
void SetButton(bool down);
// A left button pressed and released at these screen points.
void PressAndRelease(int pressX, int pressY, int releaseX, int releaseY);

// A point of a widget on the screen.
inline void ScreenPoint(GtkWidget* widget, int x, int y, int& screenX, int& screenY) {
    GtkWidget* top = gtk_widget_get_toplevel(widget);
    int ox = 0, oy = 0, px = 0, py = 0;
    gdk_window_get_origin(gtk_widget_get_window(top), &ox, &oy);
    gtk_widget_translate_coordinates(widget, top, x, y, &px, &py);
    screenX = ox + px;
    screenY = oy + py;
}

// A left click at (x, y) of the widget; released at (releaseX, releaseY) of it when given.
inline void Click(GtkWidget* widget, int x, int y, int releaseX = -1, int releaseY = -1) {
    int px = 0, py = 0, rx = 0, ry = 0;
    ScreenPoint(widget, x, y, px, py);
    ScreenPoint(widget, releaseX < 0 ? x : releaseX, releaseY < 0 ? y : releaseY, rx, ry);
    PressAndRelease(px, py, rx, ry);
}

// Where a toplevel stands among the root window's children, bottom first: without a window manager
// that is the stacking order of the toplevels. -1 when it is none of them.
int StackingIndex(GdkWindow* toplevel);

}  // namespace tg::test
