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
    s.lines = {{{"今天", log.On(today)},
                {"昨天", log.On(yesterday)},
                {"本期", log.Between(period.first, period.last)},
                {"上期", log.Between(before.first, before.last)}}};
    for (int back = kChartDays - 1; back >= 0; --back) {
        const Day day{sys_days{today} - days{back}};
        UsageSummary::Bar bar{log.On(day), {}};
        if (back % kChartLabelEvery == 0) bar.label = std::to_string(static_cast<unsigned>(day.day()));
        s.tallest = std::max({s.tallest, bar.usage.received, bar.usage.sent});
        s.bars.push_back(std::move(bar));
    }
    return s;
}

}  // namespace tg
