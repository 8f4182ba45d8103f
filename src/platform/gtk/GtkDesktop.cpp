#include "platform/gtk/GtkDesktop.h"

#include <gtk/gtk.h>

#include <cmath>
#include <cstdlib>

#include "common/Twips.h"

namespace tg {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kDefaultDpi = 96;  // what X servers report when nothing sets Xft.dpi

}  // namespace

GtkDesktop::GtkDesktop(GdkDisplay* display) : m_display(display), m_fullScreen(display) {}

float GtkDesktop::TwipsPerPixel() const {
    double dpi = gdk_screen_get_resolution(gdk_display_get_default_screen(m_display));
    if (!(dpi > 0)) dpi = kDefaultDpi;
    return static_cast<float>(kTwipsPerInch / dpi);
}

TwipsRect GtkDesktop::ToTwips(const GdkRectangle& r) const {
    const float tpp = TwipsPerPixel();
    return {static_cast<float>(r.x) * tpp, static_cast<float>(r.y) * tpp, static_cast<float>(r.width) * tpp,
            static_cast<float>(r.height) * tpp};
}

TwipsRect GtkDesktop::PrimaryScreen() const {
    GdkMonitor* monitor = gdk_display_get_primary_monitor(m_display);
    // X servers without RandR outputs name no primary monitor; the first one stands in.
    if (!monitor) monitor = gdk_display_get_monitor(m_display, 0);
    if (!monitor) return {};
    GdkRectangle r;
    gdk_monitor_get_geometry(monitor, &r);
    return ToTwips(r);
}

bool GtkDesktop::MonitorAt(float x, float y, TwipsRect& bounds) const {
    const float tpp = TwipsPerPixel();
    const double px = x / tpp;
    const double py = y / tpp;
    if (!(px > G_MININT && px < G_MAXINT && py > G_MININT && py < G_MAXINT)) return false;
    const int ix = static_cast<int>(std::floor(px));
    const int iy = static_cast<int>(std::floor(py));
    // GDK answers with the nearest monitor when none holds the point.
    GdkMonitor* monitor = gdk_display_get_monitor_at_point(m_display, ix, iy);
    if (!monitor) return false;
    GdkRectangle r;
    gdk_monitor_get_geometry(monitor, &r);
    if (ix < r.x || iy < r.y || ix >= r.x + r.width || iy >= r.y + r.height) return false;
    bounds = ToTwips(r);
    return true;
}

void GtkDesktop::PumpMessages() {
    while (gtk_events_pending()) gtk_main_iteration_do(FALSE);
}

void GtkDesktop::Sleep(std::uint32_t milliseconds) { g_usleep(static_cast<gulong>(milliseconds) * 1000); }

bool GtkDesktop::AnotherInstanceRunning() { return !m_lock.Acquire(); }

void GtkDesktop::ExitProcess() { std::exit(0); }

}  // namespace tg
