#pragma once
// The usage dialog tests' calendar and days: a today that stays put, and a few days of traffic.
#include <chrono>

#include "ports/Calendar.h"
#include "usage/UsageLog.h"

namespace tg::test {

constexpr Day D(int y, unsigned m, unsigned d) {
    return Day{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
}

class FixedCalendar final : public Calendar {
 public:
    Day today = D(2026, 12, 8);
    Day Today() override { return today; }
};

// Five days over two periods, the tallest today: 1.50 GB received today, 2.00 GB moved in the last
// period (from the 1st).
inline void AddFewDays(UsageLog& log) {
    log.Add(D(2026, 12, 8), {1'500'000'000, 300'000'000});
    log.Add(D(2026, 12, 7), {600'000'000, 40'000'000});
    log.Add(D(2026, 12, 3), {900'000'000, 700'000'000});
    log.Add(D(2026, 11, 25), {200'000'000, 500'000'000});
    log.Add(D(2026, 11, 20), {1'200'000'000, 100'000'000});
}

}  // namespace tg::test
