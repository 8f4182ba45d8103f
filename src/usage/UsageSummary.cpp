#include "usage/UsageSummary.h"

#include <algorithm>

namespace tg {

UsageSummary Summarize(const UsageLog& log, Day today, int periodStart) {
    using std::chrono::days;
    using std::chrono::sys_days;
    const Day yesterday{sys_days{today} - days{1}};
    const Period period = PeriodHolding(today, periodStart);
    const Period before = PeriodBefore(period);
    UsageSummary s;
    s.lines = {{{kUsageLineCaptions[0], log.On(today)},
                {kUsageLineCaptions[1], log.On(yesterday)},
                {kUsageLineCaptions[2], log.Between(period.first, period.last)},
                {kUsageLineCaptions[3], log.Between(before.first, before.last)}}};
    for (int i = 0; i < kChartDays; ++i) {
        const Day day{sys_days{today} - days{kChartDays - 1 - i}};
        UsageSummary::Bar bar{log.On(day), {}};
        if (IsLabelledBar(i)) bar.label = std::to_string(static_cast<unsigned>(day.day()));
        s.tallest = std::max({s.tallest, bar.usage.received, bar.usage.sent});
        s.bars.push_back(std::move(bar));
    }
    return s;
}

}  // namespace tg
