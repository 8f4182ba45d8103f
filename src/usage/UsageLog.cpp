#include "usage/UsageLog.h"

#include <charconv>

#include "common/Text.h"

namespace tg {

namespace {

using std::chrono::days;
using std::chrono::sys_days;

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t start = line.find_first_not_of(" \t", at);
        if (start == std::string_view::npos) break;
        const std::size_t end = std::min(line.find_first_of(" \t", start), line.size());
        fields.push_back(line.substr(start, end - start));
        at = end;
    }
    return fields;
}

template <typename T>
bool Whole(std::string_view text, T& value) {
    if (text.empty() || text.front() == '+' || text.front() == '-') return false;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc() && end == text.data() + text.size();
}

bool ParseDay(std::string_view text, Day& day) {
    int y = 0;
    unsigned m = 0;
    unsigned d = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return false;
    if (!Whole(text.substr(0, 4), y) || !Whole(text.substr(5, 2), m) || !Whole(text.substr(8, 2), d)) return false;
    day = Day{std::chrono::year{y}, std::chrono::month{m}, std::chrono::day{d}};
    return day.ok();
}

// The same day of the month `months` later (or earlier): the start day is at most 28, so it exists.
Day ShiftMonths(Day day, int months) {
    const std::chrono::year_month ym = std::chrono::year_month{day.year(), day.month()} + std::chrono::months{months};
    return Day{ym.year(), ym.month(), day.day()};
}

}  // namespace

void UsageLog::Parse(std::string_view text, std::vector<UsageProblem>& problems) {
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = std::min(text.find('\n'), text.size());
        std::string_view line = text.substr(0, end);
        text.remove_prefix(std::min(end + 1, text.size()));
        ++number;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::vector<std::string_view> fields = Fields(line);
        if (fields.empty()) continue;
        Day day;
        Usage usage;
        if (fields.size() != 3) problems.push_back({number, "not a date and two numbers"});
        else if (!ParseDay(fields[0], day)) problems.push_back({number, "no date " + std::string(fields[0])});
        else if (!Whole(fields[1], usage.received) || !Whole(fields[2], usage.sent))
            problems.push_back({number, "not whole numbers of bytes"});
        else Add(day, usage);
    }
}

std::string UsageLog::Format(Day today) const {
    const sys_days oldest = sys_days{today} - days{kKeptDays};
    std::string text;
    for (const auto& [day, usage] : m_days) {
        if (day < oldest) continue;
        text += DayText(Day{day}) + ' ' + std::to_string(usage.received) + ' ' + std::to_string(usage.sent) + '\n';
    }
    return text;
}

// A sum past 2^64 bytes would be a damaged file, not traffic: it stays at the largest count.
void UsageLog::Add(Day day, Usage usage) {
    Usage& kept = m_days[sys_days{day}];
    kept.received = kept.received + usage.received < kept.received ? UINT64_MAX : kept.received + usage.received;
    kept.sent = kept.sent + usage.sent < kept.sent ? UINT64_MAX : kept.sent + usage.sent;
}

Usage UsageLog::On(Day day) const {
    const auto it = m_days.find(sys_days{day});
    return it == m_days.end() ? Usage{} : it->second;
}

Usage UsageLog::Between(Day first, Day last) const {
    Usage sum;
    for (auto it = m_days.lower_bound(sys_days{first}); it != m_days.end() && it->first <= sys_days{last}; ++it) {
        sum.received += it->second.received;
        sum.sent += it->second.sent;
    }
    return sum;
}

Period PeriodHolding(Day today, int startDay) {
    const Day start{today.year(), today.month(), std::chrono::day{static_cast<unsigned>(startDay)}};
    const Day first = today >= start ? start : ShiftMonths(start, -1);
    return {first, Day{sys_days{ShiftMonths(first, 1)} - days{1}}};
}

Period PeriodBefore(const Period& period) {
    return {ShiftMonths(period.first, -1), Day{sys_days{period.first} - days{1}}};
}

std::optional<int> WholeNumberIn(std::string_view text, int min, int max) noexcept {
    int value = 0;
    if (!Whole(text, value) || value < min || value > max) return std::nullopt;
    return value;
}

std::optional<int> ParsePeriodStart(std::string_view text) noexcept {
    return WholeNumberIn(text, kFirstPeriodStart, kLastPeriodStart);
}

int PeriodStartFromText(std::string_view text) noexcept { return ParsePeriodStart(text).value_or(kFirstPeriodStart); }

std::optional<Day> DayFromText(std::string_view text) {
    Day day;
    if (!ParseDay(text, day)) return std::nullopt;
    return day;
}

std::string DayText(Day day) {
    const int year = static_cast<int>(day.year());
    // A year before year 0 keeps its sign in front of the zeros, as printf's %04d writes it.
    return (year < 0 ? "-" + ZeroPadded(static_cast<unsigned>(-year), 3) : ZeroPadded(static_cast<unsigned>(year), 4)) +
           '-' + ZeroPadded(static_cast<unsigned>(day.month()), 2) + '-' + ZeroPadded(static_cast<unsigned>(day.day()), 2);
}

}  // namespace tg
