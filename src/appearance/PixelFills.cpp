#include "appearance/PixelFills.h"

#include <algorithm>

namespace tg {

std::vector<PixelFill> FillsFor(const PixelSurface& pixels, const PixelBox& box, std::size_t limit) {
    const std::int32_t left = std::max(box.left, 0);
    const std::int32_t right = std::min(box.right, pixels.Width());
    const std::int32_t top = std::max(box.top, 0);
    const std::int32_t bottom = std::min(box.bottom, pixels.Height());
    std::vector<PixelFill> done;
    std::vector<PixelFill> open;  // the runs of the row above, by column
    std::vector<PixelFill> next;
    for (std::int32_t y = top; y < bottom; ++y) {
        const std::uint32_t* row = pixels.Data() + static_cast<std::ptrdiff_t>(y) * pixels.Width();
        std::size_t above = 0;
        for (std::int32_t x = left; x < right;) {
            const std::int32_t start = x;
            const std::uint32_t rgb = row[x];
            while (x < right && row[x] == rgb) ++x;
            while (above < open.size() && open[above].box.left < start) done.push_back(open[above++]);
            const bool joins = above < open.size() && open[above].box.left == start && open[above].box.right == x &&
                               open[above].rgb == rgb;
            if (joins) {
                next.push_back(open[above++]);
                next.back().box.bottom = y + 1;
            } else {
                next.push_back({{start, y, x, y + 1}, rgb});
            }
            if (done.size() + next.size() > limit) return {};
        }
        done.insert(done.end(), open.begin() + static_cast<std::ptrdiff_t>(above), open.end());
        open.swap(next);
        next.clear();
    }
    done.insert(done.end(), open.begin(), open.end());
    if (done.size() > limit) return {};
    return done;
}

}  // namespace tg
