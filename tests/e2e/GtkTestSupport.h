#pragma once
// Helpers of the tests that run against a real X server (under with-xvfb.sh: 1920x1080 at 96 DPI,
// no window manager).
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <functional>
#include <ostream>
#include <string_view>
#include <utility>
#include <vector>

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

struct Box {
    int x = 0, y = 0, w = 0, h = 0;
    bool operator==(const Box&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const Box& b) {
    return out << "(" << b.x << ", " << b.y << ") " << b.w << " x " << b.h;
}

// A control's place in the dialog's client area, in pixels.
inline Box PlaceOf(GtkWidget* control) {
    Box b;
    gtk_widget_translate_coordinates(control, gtk_widget_get_toplevel(control), 0, 0, &b.x, &b.y);
    b.w = gtk_widget_get_allocated_width(control);
    b.h = gtk_widget_get_allocated_height(control);
    return b;
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

// Steps run in turn from the main loop while a modal dialog holds it: each waits for its window,
// then acts on it. Whatever is still open when time runs out is closed, so a test fails rather
// than hangs.
class Script {
 public:
    using Find = std::function<GtkWindow*()>;
    using Act = std::function<void(GtkWindow*)>;

    Script() : m_end(std::chrono::steady_clock::now() + 10s) { m_source = g_timeout_add(20, OnTick, this); }
    ~Script() {
        if (m_source) g_source_remove(m_source);
    }
    Script& Then(Find find, Act act) {
        m_steps.push_back({std::move(find), std::move(act)});
        return *this;
    }
    bool Done() const { return m_next == m_steps.size(); }

 private:
    struct Step {
        Find find;
        Act act;
    };
    static void CloseDialogs() {
        GList* windows = gtk_window_list_toplevels();
        for (GList* w = windows; w; w = w->next)
            if (GTK_IS_DIALOG(w->data) && gtk_widget_get_mapped(GTK_WIDGET(w->data)))
                gtk_dialog_response(GTK_DIALOG(w->data), GTK_RESPONSE_DELETE_EVENT);
        g_list_free(windows);
    }
    static gboolean OnTick(gpointer p) {
        auto* self = static_cast<Script*>(p);
        if (!self->Done() && std::chrono::steady_clock::now() > self->m_end) {
            ADD_FAILURE() << "step " << self->m_next + 1 << " never found its window";
            CloseDialogs();
        }
        if (self->Done() || std::chrono::steady_clock::now() > self->m_end) {
            self->m_source = 0;
            return G_SOURCE_REMOVE;
        }
        Step& step = self->m_steps[self->m_next];
        if (GtkWindow* window = step.find()) {
            ++self->m_next;
            step.act(window);
        }
        return G_SOURCE_CONTINUE;
    }

    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    std::chrono::steady_clock::time_point m_end;
    guint m_source = 0;
};

inline GtkWindow* Titled(const char* title) {
    return FindToplevel([&](GtkWindow* w) { return g_strcmp0(gtk_window_get_title(w), title) == 0; });
}

// A key pressed and released through the X server, by its keysym's name ("3", "Return"), with
// Control held when asked; it goes to the window with the X input focus.
void PressKey(const char* keysym, bool control = false);

// Where a toplevel stands among the root window's children, bottom first: without a window manager
// that is the stacking order of the toplevels. -1 when it is none of them.
int StackingIndex(GdkWindow* toplevel);

}  // namespace tg::test
