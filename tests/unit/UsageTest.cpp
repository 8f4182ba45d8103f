#include <gtest/gtest.h>

#include <chrono>

#include "Fakes.h"
#include "UsageDays.h"
#include "usage/QuotaAlert.h"
#include "usage/UsageRecorder.h"
#include "usage/UsageSummary.h"

namespace tg {
namespace {

using namespace std::chrono;
using namespace std::chrono_literals;

using test::D;


TEST(UsageLog, LinesRoundTripAndBadLinesAreNamed) {
    UsageLog log;
    std::vector<UsageProblem> problems;
    log.Parse("2026-12-07 100 200\r\n"
              "\n"
              "2026-12-08 5 6\n"
              "2026-12-07 1 2\n"            // a day twice adds up
              "2026-02-30 1 1\n"            // no such day
              "2026-12-09 -5 1\n"           // not a count of bytes
              "2026-12-09 18446744073709551616 1\n"
              "garbage\n"
              "2026-12-10 1 2 3",
              problems);
    EXPECT_EQ(log.On(D(2026, 12, 7)), (Usage{101, 202}));
    EXPECT_EQ(log.On(D(2026, 12, 8)), (Usage{5, 6}));
    std::vector<std::size_t> lines;
    for (const UsageProblem& p : problems) lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{5, 6, 7, 8, 9}));
    EXPECT_EQ(log.Format(D(2026, 12, 8)), "2026-12-07 101 202\n2026-12-08 5 6\n");

    UsageLog old;
    old.Add(D(2025, 11, 3), {1, 1});  // 400 days before 2026-12-08
    old.Add(D(2025, 11, 2), {1, 1});
    EXPECT_EQ(old.Format(D(2026, 12, 8)), "2025-11-03 1 1\n") << "lines older than 400 days are dropped";
}

TEST(UsageLog, DayTextPadsEveryField) {
    EXPECT_EQ(DayText(D(2026, 3, 4)), "2026-03-04");
    EXPECT_EQ(DayText(D(987, 11, 30)), "0987-11-30");
    EXPECT_EQ(DayText(D(-5, 1, 2)), "-005-01-02");
}

TEST(UsageLog, PeriodsStartOnTheirDayOfTheMonth) {
    struct Case {
        Day today;
        int start;
        Day first, last, previousFirst;
    } cases[] = {
        {D(2026, 12, 8), 1, D(2026, 12, 1), D(2026, 12, 31), D(2026, 11, 1)},
        {D(2026, 12, 8), 15, D(2026, 11, 15), D(2026, 12, 14), D(2026, 10, 15)},
        {D(2026, 12, 15), 15, D(2026, 12, 15), D(2027, 1, 14), D(2026, 11, 15)},
        {D(2027, 1, 3), 28, D(2026, 12, 28), D(2027, 1, 27), D(2026, 11, 28)},
        {D(2028, 3, 1), 1, D(2028, 3, 1), D(2028, 3, 31), D(2028, 2, 1)},
    };
    for (const Case& c : cases) {
        const Period p = PeriodHolding(c.today, c.start);
        EXPECT_EQ(p.first, c.first) << DayText(c.today);
        EXPECT_EQ(p.last, c.last) << DayText(c.today);
        EXPECT_EQ(PeriodBefore(p).first, c.previousFirst);
        EXPECT_EQ(PeriodBefore(p).last, Day{sys_days{c.first} - days{1}});
    }
    for (const auto& [text, day] : std::vector<std::pair<const char*, int>>{
             {"15", 15}, {"1", 1}, {"28", 28}, {"29", 1}, {"31", 1}, {"0", 1}, {"-3", 1}, {"x", 1}, {"", 1}})
        EXPECT_EQ(PeriodStartFromText(text), day) << text;
}

// One alert over a run of checks; where `restore` is given the program starts again with it.
TEST(QuotaAlert, EachShareIsToldOnceAPeriodAndAgainOnlyForAHigherLimitOrANewPeriod) {
    constexpr std::uint64_t GB = kBytesPerGigabyte;
    const struct {
        const char* restore;
        Day period;
        std::uint64_t used;
        int quota, told;
        const char* record;  // after a notice
    } steps[] = {
        {"", D(2026, 12, 1), 8 * GB - 1, 10, 0, nullptr},
        {nullptr, D(2026, 12, 1), 8 * GB, 10, 80, "2026-12-01 10 0"},
        {nullptr, D(2026, 12, 1), 9 * GB, 10, 0, nullptr},
        {"2026-12-01 10 0", D(2026, 12, 1), 9 * GB, 10, 0, nullptr},     // started again: not twice
        {"2026-12-01 10 x", D(2026, 12, 1), 9 * GB, 10, 80, "2026-12-01 10 0"},  // garbled: nothing told yet
        {nullptr, D(2026, 12, 1), 9 * GB, 9, 100, "2026-12-01 10 9"},     // lowered under what was used
        {nullptr, D(2026, 12, 1), 9 * GB, 10, 0, nullptr},                // back up: 90 % of 10 was told
        {nullptr, D(2026, 12, 1), 9 * GB, 11, 80, "2026-12-01 11 9"},     // raised: armed again
        {nullptr, D(2027, 1, 1), 11 * GB, 11, 100, "2027-01-01 11 11"},   // a new period, both at once
        {nullptr, D(2027, 1, 1), 12 * GB, 11, 0, nullptr},
        {"2026-13-01 0 0", D(2027, 1, 1), 12 * GB, 0, 0, nullptr},        // no limit
        {"2027-01-01 11 11 11", D(2027, 1, 1), 12 * GB, 12, 100, "2027-01-01 12 12"},
    };
    QuotaAlert alert;
    for (const auto& s : steps) {
        if (s.restore) alert.Restore(s.restore);
        const std::optional<QuotaNotice> notice = alert.Check(s.period, s.used, s.quota);
        EXPECT_EQ(notice ? notice->percent : 0, s.told) << s.used << " of " << s.quota;
        if (s.record) {
            EXPECT_EQ(alert.Record(), s.record);
        }
    }
    EXPECT_EQ(QuotaNoticeText({80, 8 * GB, 10 * GB}, DisplayUnit::Bytes), "本期已用 8.00 GB，已达到每月流量上限 10.0 GB 的 80%。");
    EXPECT_EQ(QuotaNoticeText({100, GB, GB}, DisplayUnit::Bits), "本期已用 8.00 Gb，已达到每月流量上限 8.00 Gb。");
    for (const auto& [text, quota] : std::vector<std::pair<const char*, int>>{
             {"0", 0}, {"1000000", 1'000'000}, {"1000001", 0}, {"-1", 0}, {" 5", 0}, {"5.0", 0}, {"", 0}, {"42", 42}})
        EXPECT_EQ(QuotaFromText(text), quota) << text;
}

TEST(UsageSummary, TheFourLinesAndThirtyBarsLabelledEverySeventhDayBackFromToday) {
    UsageLog log;
    log.Add(D(2026, 12, 8), {10, 1});
    log.Add(D(2026, 12, 7), {20, 2});
    log.Add(D(2026, 12, 1), {400, 40});
    log.Add(D(2026, 11, 30), {3000, 300});
    log.Add(D(2026, 11, 1), {50000, 5});  // a month and a week back: in the last period, not the chart
    const UsageSummary s = Summarize(log, D(2026, 12, 8), 1);
    std::vector<std::uint64_t> received;
    for (const auto& line : s.lines) received.push_back(line.usage.received);
    EXPECT_EQ(received, (std::vector<std::uint64_t>{10, 20, 430, 53000}));
    EXPECT_EQ(s.lines[2].caption, TextId::ThisPeriod);
    ASSERT_EQ(s.bars.size(), 30u);
    EXPECT_EQ(s.bars.back().usage, (Usage{10, 1}));
    EXPECT_EQ(s.bars[30 - 1 - 8].usage, (Usage{3000, 300})) << "eight days back";
    std::vector<std::string> labels;
    for (const auto& bar : s.bars)
        if (!bar.label.empty()) labels.push_back(bar.label);
    EXPECT_EQ(labels, (std::vector<std::string>{"10", "17", "24", "1", "8"}));
    EXPECT_EQ(s.tallest, 3000u);
}

class UsageRecorderTest : public ::testing::Test {
 protected:
    void Tick(std::int64_t received, std::int64_t sent, nanoseconds elapsed = 1s) {
        clock.Advance(elapsed);
        recorder.Count({received, sent});
    }
    test::MemoryUsageStore store;
    test::FixedCalendar calendar;
    test::FakeClock clock;
    std::vector<std::string> reports;
    UsageRecorder recorder{store, calendar, clock, [this](const std::string& m) { reports.push_back(m); }};
};

TEST_F(UsageRecorderTest, TicksGoToTheirDayAndReachTheFileOnceAMinuteAndAtTheEnd) {
    store.text = "2026-12-08 1000 10\n";
    recorder.Load();
    Tick(500, 50);
    EXPECT_EQ(store.writes, 0);
    Tick(0, 0, 59s);
    EXPECT_EQ(store.writes, 1) << "a minute after the start";
    EXPECT_EQ(store.text, "2026-12-08 1500 60\n") << "today's line continued";
    Tick(0, 0, 120s);
    EXPECT_EQ(store.writes, 1) << "nothing moved: nothing to write";

    calendar.today = D(2026, 12, 9);  // the tick that ends after midnight
    Tick(7, 8);
    calendar.today = D(2026, 12, 7);  // the clock set back by hand
    Tick(1, 1);
    EXPECT_EQ(store.writes, 2) << "the first bytes after a quiet minute are written at once";
    recorder.Flush();
    EXPECT_EQ(store.text, "2026-12-07 1 1\n2026-12-08 1500 60\n2026-12-09 7 8\n");
    recorder.Flush();
    EXPECT_EQ(store.writes, 3) << "nothing new at the end: no write";

    UsageRecorder next{store, calendar, clock, nullptr};  // started again a minute later
    next.Load();
    next.Count({10, 10});
    next.Flush();
    EXPECT_EQ(store.text, "2026-12-07 11 11\n2026-12-08 1500 60\n2026-12-09 7 8\n");
}

TEST_F(UsageRecorderTest, GarbledLinesAreSkippedAndTheFileKeptAsideOnce) {
    store.text = "2026-12-08 1000 10\nnonsense\n";
    recorder.Load();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_NE(reports[0].find("line 2"), std::string::npos) << reports[0];
    Tick(1, 1, 61s);
    Tick(1, 1, 61s);
    EXPECT_EQ(store.keptAside, (std::vector<std::string>{"2026-12-08 1000 10\nnonsense\n"}));
    EXPECT_EQ(store.text, "2026-12-08 1002 12\n");
}

TEST_F(UsageRecorderTest, AStoreThatCannotBeWrittenIsToldOnceAndCountingGoesOn) {
    recorder.Load();
    store.writeError = "No space left on device";
    for (int i = 0; i < 5; ++i) Tick(100, 100, 61s);
    EXPECT_EQ(reports, (std::vector<std::string>{"usage not saved: No space left on device"}));
    EXPECT_EQ(recorder.Log().On(calendar.today), (Usage{500, 500}));
    store.writeError.clear();
    recorder.Flush();
    EXPECT_EQ(store.text, "2026-12-08 500 500\n");

    test::MemoryUsageStore locked;
    locked.text = "2026-12-08 9 9\n";
    locked.readError = "Permission denied";
    UsageRecorder reader{locked, calendar, clock, [this](const std::string& m) { reports.push_back(m); }};
    reader.Load();
    reader.Count({5, 5});
    reader.Flush();
    EXPECT_EQ(locked.writes, 0) << "a file that could not be read is never written over";
    EXPECT_EQ(reports.back(), "usage not saved: usage.txt cannot be read: Permission denied");
}

}  // namespace
}  // namespace tg
