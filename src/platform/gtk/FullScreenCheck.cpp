#include "platform/gtk/FullScreenCheck.h"

#include <X11/Xatom.h>
#include <gdk/gdkx.h>

#include <cstring>
#include <memory>

namespace tg {

namespace {

struct XFreeDeleter {
    void operator()(unsigned char* data) const noexcept {
        if (data) XFree(data);
    }
};

// The 32-bit items of a property of `window` (Xlib hands them over as longs); none when the window
// has no such property of that type, or is gone.
class Items {
 public:
    Items(Display* x, Window window, Atom property, Atom type) {
        Atom actualType = 0;
        int format = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const int status = XGetWindowProperty(x, window, property, 0, kMaxItems, False, type, &actualType, &format,
                                              &m_count, &after, &data);
        m_data.reset(data);
        if (status != Success || actualType != type || format != 32 || !data) m_count = 0;
    }
    unsigned long Count() const { return m_count; }
    unsigned long At(unsigned long i) const {
        unsigned long item = 0;
        std::memcpy(&item, m_data.get() + i * sizeof item, sizeof item);
        return item;
    }
    bool Holds(unsigned long wanted) const {
        for (unsigned long i = 0; i < m_count; ++i)
            if (At(i) == wanted) return true;
        return false;
    }

 private:
    static constexpr long kMaxItems = 32;
    unsigned long m_count = 0;
    std::unique_ptr<unsigned char, XFreeDeleter> m_data;
};

Atom AtomOf(GdkDisplay* display, const char* name) { return gdk_x11_get_xatom_by_name_for_display(display, name); }

// The window's own area, not its frame: a maximised window's frame fills a monitor that has no
// panel, and it is no full-screen program; a full-screen window, or a borderless one the size of
// the monitor, fills it with its own area.
bool Covers(Display* x, Window window, const GdkRectangle& m) {
    Window root = 0;
    Window child = 0;
    int left = 0;
    int top = 0;
    unsigned int width = 0;
    unsigned int height = 0;
    unsigned int border = 0;
    unsigned int depth = 0;
    if (!XGetGeometry(x, window, &root, &left, &top, &width, &height, &border, &depth)) return false;
    if (!XTranslateCoordinates(x, window, root, 0, 0, &left, &top, &child)) return false;
    return left <= m.x && top <= m.y && static_cast<long>(left) + width >= static_cast<long>(m.x) + m.width &&
           static_cast<long>(top) + height >= static_cast<long>(m.y) + m.height;
}

}  // namespace

// The monitor in X pixels: GDK gives its place in logical ones.
GdkRectangle FullScreenCheck::MonitorOf(const PixelRect& window) const {
    GdkMonitor* monitor = gdk_display_get_monitor_at_point(m_display, window.x + window.cx / 2, window.y + window.cy / 2);
    GdkRectangle r{};
    if (!monitor) return r;
    gdk_monitor_get_geometry(monitor, &r);
    const int scale = gdk_monitor_get_scale_factor(monitor);
    return {r.x * scale, r.y * scale, r.width * scale, r.height * scale};
}

// The window manager names the active window on the root; it may be gone by the next request, so
// X's errors are caught, not fatal. A full-screen window is one the window manager sized to its
// monitor, so the sizes decide; the window's type is read only for one that fills the monitor, as
// the desktop's own window does.
bool FullScreenCheck::Covered(const PixelRect& window) {
    if (!GDK_IS_X11_DISPLAY(m_display)) return false;
    Display* x = GDK_DISPLAY_XDISPLAY(m_display);
    const GdkRectangle monitor = MonitorOf(window);
    if (monitor.width <= 0 || monitor.height <= 0) return false;
    gdk_x11_display_error_trap_push(m_display);
    const Items active(x, DefaultRootWindow(x), AtomOf(m_display, "_NET_ACTIVE_WINDOW"), XA_WINDOW);
    const Window shown = active.Count() ? active.At(0) : 0;
    bool covered = shown != 0 && gdk_x11_window_lookup_for_display(m_display, shown) == nullptr &&
                   Covers(x, shown, monitor);
    if (covered) {
        const Items type(x, shown, AtomOf(m_display, "_NET_WM_WINDOW_TYPE"), XA_ATOM);
        covered = !type.Holds(AtomOf(m_display, "_NET_WM_WINDOW_TYPE_DESKTOP")) &&
                  !type.Holds(AtomOf(m_display, "_NET_WM_WINDOW_TYPE_DOCK"));
    }
    gdk_x11_display_error_trap_pop_ignored(m_display);
    return covered;
}

}  // namespace tg
