#pragma once
// What the main window needs of the platform beyond itself: the screen, the message pump, a
// pause, the single-instance check.
#include <cstdint>

#include "ports/Form.h"

namespace tg {

class Desktop {
 public:
    virtual ~Desktop() = default;
    // The primary screen, in twips.
    virtual TwipsRect PrimaryScreen() const = 0;
    // The bounds of the monitor that contains the point (twips); false when none does.
    virtual bool MonitorAt(float x, float y, TwipsRect& bounds) const = 0;
    // Twips per pixel on each axis (1440 / DPI; 15 at 96 DPI).
    virtual float TwipsPerPixelX() const = 0;
    virtual float TwipsPerPixelY() const = 0;
    // Runs the window messages that are waiting, then returns.
    virtual void PumpMessages() = 0;
    virtual void Sleep(std::uint32_t milliseconds) = 0;
    // True when another copy of the program already runs (this copy then ends).
    virtual bool AnotherInstanceRunning() = 0;
    // Ends the process at once.
    virtual void ExitProcess() = 0;
    // Whether the active window covers the whole monitor that holds the centre of `window`
    // (pixels): a game, a film or a presentation full screen. The desktop and the shell never do.
    virtual bool FullScreenActive(const PixelRect& window) = 0;
};

}  // namespace tg
