// The usage log's cost: what counting adds to a tick, and writing a full log of 400 days, both the
// text and the file's atomic replacement. Figures only: nothing here is asserted.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "platform/linux/DataFileUsageStore.h"
#include "usage/UsageRecorder.h"

namespace {

using namespace std::chrono;

constexpr tg::Day kToday{year{2026}, December, day{8}};

class SteppingClock final : public tg::Clock {
 public:
    nanoseconds Now() override { return now += seconds(1); }
    nanoseconds now{0};
};

class FixedCalendar final : public tg::Calendar {
 public:
    tg::Day Today() override { return kToday; }
};

class NoStore final : public tg::UsageStore {
 public:
    std::optional<std::string> Read(std::string&) override { return std::nullopt; }
    bool Replace(std::string_view, std::string&) override { return true; }
    void KeepAside() override {}
    std::string Where() const override { return {}; }
};

tg::UsageLog FullLog() {
    tg::UsageLog log;
    for (int back = 0; back < tg::kKeptDays; ++back)
        log.Add(tg::Day{sys_days{kToday} - days{back}}, {123'456'789'012ULL + static_cast<unsigned>(back), 9'876'543'210ULL});
    return log;
}

// A tick's bytes added to today (the minute's write is left to the next benchmark).
void BM_CountTick(benchmark::State& state) {
    NoStore store;
    FixedCalendar calendar;
    SteppingClock clock;
    tg::UsageRecorder recorder(store, calendar, clock, nullptr);
    recorder.Load();
    for (auto _ : state) recorder.Count({1'250'000, 62'500});
}

void BM_FormatFullLog(benchmark::State& state) {
    const tg::UsageLog log = FullLog();
    for (auto _ : state) benchmark::DoNotOptimize(log.Format(kToday));
}

// The text written to a new file, flushed and renamed over the old one, in the temporary folder.
void BM_ReplaceFullLog(benchmark::State& state) {
    const std::string text = FullLog().Format(kToday);
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "tidegauge-usage-bench";
    tg::DataFileUsageStore store(dir.string());
    std::string error;
    for (auto _ : state)
        if (!store.Replace(text, error)) state.SkipWithError(error.c_str());
    state.SetLabel(std::to_string(text.size()) + " bytes, " + std::to_string(tg::kKeptDays) + " lines");
    std::filesystem::remove_all(dir);
}

BENCHMARK(BM_CountTick);
BENCHMARK(BM_FormatFullLog);
BENCHMARK(BM_ReplaceFullLog)->Unit(benchmark::kMicrosecond);

}  // namespace
