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

}  // namespace tg::test
