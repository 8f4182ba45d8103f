#pragma once
// What the usage dialog shows: today, yesterday, this period and the last one, and a chart of the
// last 30 days with the day of the month under every seventh bar, counted back from today.
#include <array>
#include <string>
#include <vector>

#include "common/Texts.h"
#include "usage/UsageLog.h"

namespace tg {

inline constexpr int kChartDays = 30;
inline constexpr int kChartLabelEvery = 7;

// Bars are numbered from the oldest, 0, to today, kChartDays - 1.
constexpr bool IsLabelledBar(int bar) { return (kChartDays - 1 - bar) % kChartLabelEvery == 0; }

// The captions of the four lines, in their order.
inline constexpr std::array<TextId, 4> kUsageLineCaptions = {TextId::Today, TextId::Yesterday, TextId::ThisPeriod,
                                                             TextId::LastPeriod};

struct UsageSummary {
    struct Line {
        TextId caption = TextId::None;  // 今天, 昨天, 本期, 上期
        Usage usage;
    };
    struct Bar {
        Usage usage;
        std::string label;  // the day of the month, or empty
    };
    std::array<Line, 4> lines;
    std::vector<Bar> bars;  // oldest first, today last
    std::uint64_t tallest = 0;  // the largest received or sent amount of a bar, the chart's full height
};

UsageSummary Summarize(const UsageLog& log, Day today, int periodStart);

}  // namespace tg
