#pragma once
// Where the window is, as far as the program asked the system to put it and as far as the system
// says it put it. The system answers requests late (the X server) or at once (Windows), and in
// order; a report that is no answer to a request is the system's own doing, which the window then
// takes as its place.
#include <cstddef>
#include <deque>

#include "common/Twips.h"

namespace tg {

class WindowPlace {
 public:
    explicit WindowPlace(const PixelRect& current) : m_current(current) {}

    // The window was asked to be here.
    void Asked(const PixelRect& place);
    // Where the window was asked to be last, or what was adopted since: where the pointer's
    // positions are measured from, since the system may not have answered the last requests yet.
    const PixelRect& Current() const noexcept { return m_current; }

    struct Adopted {
        bool place = false;
        bool size = false;
    };
    // The system reports the window here: which of place and size are news to take.
    Adopted Seen(const PixelRect& seen);

 private:
    // Enough for every step of a drag that the X server has not answered yet.
    static constexpr std::size_t kMaxPending = 64;

    PixelRect m_current;  // what was asked last, or adopted since
    std::deque<PixelRect> m_pending;  // asked and not answered yet, oldest first
};

// Picture2's image in pixels: the surface's own, no larger than the screens show together. The
// window is larger than that only for a moment in the start-up, when the settings ask for a size
// that it then shrinks to fit, and an image of that size might not fit in memory.
PixelRect PicturePixels(const PixelRect& surface, const PixelRect& screen) noexcept;

}  // namespace tg
