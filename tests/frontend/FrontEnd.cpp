#include "FrontEnd.h"

namespace tg::test {

int Image::Count(const std::function<bool(const Rgb&)>& match) const {
    int count = 0;
    for (const Rgb& p : pixels) count += match(p) ? 1 : 0;
    return count;
}

bool FrontEnd::Tick(std::uint32_t in, std::uint32_t out) {
    world.received += in;
    world.sent += out;
    world.table.SetTotals({{world.received, world.sent}});
    world.clock.Advance(1s);
    const int before = world.table.calls;
    return WaitUntil([&] { return world.table.calls > before; }, 2500ms);
}

namespace {

Point Middle(const PixelRect& r) { return {r.x + r.cx / 2, r.y + r.cy / 2}; }

}  // namespace

PointerShape FrontEnd::ShapeOver(std::string_view name) { return ShapeAt(Middle(ScreenPlace(name))); }

void FrontEnd::Click(std::string_view name) {
    const Point p = Middle(ScreenPlace(name));
    PointerDown(p);
    PointerUp(p);
}

}  // namespace tg::test
