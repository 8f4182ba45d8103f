#pragma once
// The desktop as GDK sees it: the monitors, the screen's resolution, the GLib main loop, and the
// single-instance lock. Needs GTK initialised.
#include <gdk/gdk.h>

#include "platform/gtk/FullScreenCheck.h"
#include "platform/linux/InstanceLock.h"
#include "ports/Desktop.h"

namespace tg {

class GtkDesktop final : public Desktop {
 public:
    explicit GtkDesktop(GdkDisplay* display = gdk_display_get_default());

    TwipsRect PrimaryScreen() const override;
    bool MonitorAt(float x, float y, TwipsRect& bounds) const override;
    float TwipsPerPixelX() const override { return TwipsPerPixel(); }
    float TwipsPerPixelY() const override { return TwipsPerPixel(); }
    void PumpMessages() override;
    void Sleep(std::uint32_t milliseconds) override;
    bool AnotherInstanceRunning() override;
    void ExitProcess() override;
    bool FullScreenActive(const PixelRect& window) override { return m_fullScreen.Covered(window); }

 private:
    // GDK pixels are logical pixels: on a scaled screen GDK already divides the resolution by the
    // scale, so one factor serves both axes.
    float TwipsPerPixel() const;
    TwipsRect ToTwips(const GdkRectangle& r) const;

    GdkDisplay* m_display;
    InstanceLock m_lock;
    FullScreenCheck m_fullScreen;
};

}  // namespace tg
