#pragma once
// Whether the window the user is working in fills a whole monitor, asked of the X server through
// the window manager's hints: it runs at every tick while the main window hides for full-screen
// programs, so it costs a few round trips and allocates nothing that lasts.
#include <gdk/gdk.h>

#include "common/Twips.h"

namespace tg {

class FullScreenCheck {
 public:
    explicit FullScreenCheck(GdkDisplay* display) : m_display(display) {}

    // Whether the active window covers the whole monitor that holds the centre of `window`
    // (GDK pixels). Never one of our own windows, the desktop or a panel; false where the display
    // is not X11 or no window manager names an active window.
    bool Covered(const PixelRect& window);

 private:
    GdkRectangle MonitorOf(const PixelRect& window) const;

    GdkDisplay* m_display;
};

}  // namespace tg
