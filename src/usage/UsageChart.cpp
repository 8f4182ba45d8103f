#include "usage/UsageChart.h"

#include <algorithm>
#include <cmath>

namespace tg {

std::int32_t BarHeight(std::uint64_t amount, std::uint64_t tallest, std::int32_t height) {
    if (amount == 0 || tallest == 0 || height <= 0) return 0;
    const double share = static_cast<double>(std::min(amount, tallest)) / static_cast<double>(tallest);
    return std::max<std::int32_t>(1, static_cast<std::int32_t>(std::lround(share * height)));
}

// Each bar is drawn as one-pixel columns from the bottom row up, the same on every surface.
void DrawUsageChart(const ChartPicture& chart, const UsageSummary& summary, const UsageColours& colours) {
    Surface& surface = chart.surface;
    surface.Clear(kChartBack);
    const std::int32_t bottom = chart.height - 1;
    const auto column = [&](std::int32_t colour, std::int32_t left, std::int32_t width, std::uint64_t amount) {
        const std::int32_t h = BarHeight(amount, summary.tallest, chart.height);
        if (h == 0) return;
        for (std::int32_t x = left; x < left + width; ++x) surface.Line(colour, x, bottom, x, bottom - h);
    };
    for (int i = 0; i < static_cast<int>(summary.bars.size()) && i < kChartDays; ++i) {
        const std::int32_t left = ChartShareLeft(i, chart.width);
        const std::int32_t share = ChartShareLeft(i + 1, chart.width) - left;
        // Two bars of equal width, centred in the share, with a gap between neighbouring pairs.
        const std::int32_t width = std::max(1, (share - 2) / 2);
        const std::int32_t first = left + std::max(0, (share - 2 * width) / 2);
        const Usage& usage = summary.bars[static_cast<std::size_t>(i)].usage;
        column(colours.download, first, width, usage.received);
        column(colours.upload, first + width, width, usage.sent);
    }
}

}  // namespace tg
