#include "mainwindow/WindowPlace.h"

#include <algorithm>

namespace tg {

namespace {

bool SamePlace(const PixelRect& a, const PixelRect& b) { return a.x == b.x && a.y == b.y; }
bool SameSize(const PixelRect& a, const PixelRect& b) { return a.cx == b.cx && a.cy == b.cy; }

}  // namespace

void WindowPlace::Asked(const PixelRect& place) {
    m_current = place;
    m_pending.push_back(place);
    if (m_pending.size() > kMaxPending) m_pending.pop_front();
}

// An answer also answers every request before it. Otherwise a place or a size that was asked,
// now or in a request still on its way, is no news: the answer to an earlier move arriving after
// a later move must not pull the window back.
WindowPlace::Adopted WindowPlace::Seen(const PixelRect& seen) {
    const auto answer = std::ranges::find_if(m_pending, [&](const PixelRect& r) { return SamePlace(r, seen) && SameSize(r, seen); });
    if (answer != m_pending.end()) {
        m_pending.erase(m_pending.begin(), answer + 1);
        return {};
    }
    const auto asked = [&](auto same) {
        return same(m_current, seen) || std::ranges::any_of(m_pending, [&](const PixelRect& r) { return same(r, seen); });
    };
    const Adopted adopted{!asked(SamePlace), !asked(SameSize)};
    if (adopted.place) {
        m_current.x = seen.x;
        m_current.y = seen.y;
    }
    if (adopted.size) {
        m_current.cx = seen.cx;
        m_current.cy = seen.cy;
    }
    return adopted;
}

PixelRect PicturePixels(const PixelRect& surface, const PixelRect& screen) noexcept {
    return {surface.x, surface.y, std::min(surface.cx, std::max(screen.cx, 1)), std::min(surface.cy, std::max(screen.cy, 1))};
}

}  // namespace tg
