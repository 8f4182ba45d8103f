#pragma once
// The usage dialog's chart: for each of the last kChartDays days a download bar and an upload bar
// side by side, in the main graph's colours, on a dark ground that both colours stand out on. The
// tallest amount fills the height; every other bar is in proportion to it.
#include <cstdint>

#include "ports/UsagePorts.h"
#include "usage/UsageSummary.h"

namespace tg {

inline constexpr std::int32_t kChartBack = 0x00303030;  // 0x00BBGGRR

// The first pixel column of a bar's share of a chart `width` pixels wide; its share ends where
// the next bar's begins, so the shares fill the width and no pair of them differs by more than one.
constexpr std::int32_t ChartShareLeft(int bar, std::int32_t width) {
    return static_cast<std::int32_t>(static_cast<std::int64_t>(bar) * width / kChartDays);
}

// The height in pixels of a bar of `amount` in a chart whose full `height` stands for `tallest`.
// An amount above nothing keeps at least one pixel, so a quiet day is told from a day without any.
std::int32_t BarHeight(std::uint64_t amount, std::uint64_t tallest, std::int32_t height);

void DrawUsageChart(const ChartPicture& chart, const UsageSummary& summary, const UsageColours& colours);

}  // namespace tg
