#pragma once
// How much the counted interfaces moved, day by day, in the local calendar: the lines of usage.txt
// ("YYYY-MM-DD received sent", bytes), and the totals of days and of data-plan periods.
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tg {

using Day = std::chrono::year_month_day;

struct Usage {
    std::uint64_t received = 0;
    std::uint64_t sent = 0;
    std::uint64_t Total() const noexcept { return received + sent; }
    bool operator==(const Usage&) const = default;
};

// Days are kept this long; older lines are dropped when the log is written.
inline constexpr int kKeptDays = 400;

// One line of the file, or why it is not one: a date that is no calendar day, a number that is not a
// whole number of bytes, a field too many or too few.
struct UsageProblem {
    std::size_t line;  // from 1
    std::string reason;
};

class UsageLog {
 public:
    // Adds the lines of a file's text; a day that appears twice adds up. Lines that are not usage
    // lines are skipped and listed in `problems`.
    void Parse(std::string_view text, std::vector<UsageProblem>& problems);
    // The file's text: one line per day, oldest first, without the days more than kKeptDays before
    // `today`.
    std::string Format(Day today) const;

    void Add(Day day, Usage usage);
    Usage On(Day day) const;
    // The days from `first` to `last`, both included.
    Usage Between(Day first, Day last) const;
    const std::map<std::chrono::sys_days, Usage>& Days() const noexcept { return m_days; }

 private:
    std::map<std::chrono::sys_days, Usage> m_days;
};

// The data plan's period that holds `today`, for a plan that starts on `startDay` of each month
// (1 to 28), and the one before it: first and last day.
struct Period {
    Day first;
    Day last;
};
Period PeriodHolding(Day today, int startDay);
Period PeriodBefore(const Period& period);

// A period starts on a day every month has.
inline constexpr int kFirstPeriodStart = 1;
inline constexpr int kLastPeriodStart = 28;

// The text as a whole number from `min` to `max` (digits only: no sign, space or point), or nothing.
std::optional<int> WholeNumberIn(std::string_view text, int min, int max) noexcept;

// A whole number from 1 to 28, or nothing.
std::optional<int> ParsePeriodStart(std::string_view text) noexcept;
// The stored `periodstart`: a whole number from 1 to 28; anything else means 1.
int PeriodStartFromText(std::string_view text) noexcept;

// "2026-12-08"
std::string DayText(Day day);
// Such a text as a calendar day, or nothing.
std::optional<Day> DayFromText(std::string_view text);

}  // namespace tg
