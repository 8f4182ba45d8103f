#include "probe/ProbeUsage.h"

#include <optional>

#include "mainwindow/RateText.h"
#include "settings/SettingsStore.h"
#include "usage/QuotaAlert.h"
#include "usage/UsageLog.h"

namespace tg::probe {
namespace {

struct LogText {
    std::string text;
    std::string where;
};

// The log's text, or the status to end with after saying why there is none.
std::optional<LogText> ReadLog(const Options& o, const Environment& env, int& status) {
    if (!o.usageFile.empty()) {
        bool opened = false;
        std::optional<std::string> text = ReadWholeFile(o.usageFile, opened);
        if (!text) {
            env.err("tidegauge-probe: cannot read " + Printable(o.usageFile) + '\n');
            status = kExitUsage;
            return std::nullopt;
        }
        return LogText{std::move(*text), o.usageFile};
    }
    const auto store = env.usageStore();
    std::string error;
    std::optional<std::string> text = store->Read(error);
    if (!text) {
        if (!error.empty()) env.err("tidegauge-probe: " + store->Where() + ": " + error + '\n');
        else env.out("no usage recorded yet (" + store->Where() + ")\n");
        status = error.empty() ? kExitOk : kExitFailure;
        return std::nullopt;
    }
    return LogText{std::move(*text), store->Where()};
}

// The user's stored text of the key, or its default when there are no user settings.
std::string Setting(const Environment& env, const SettingKey& key) {
    if (!env.userSettings) return std::string(key.fixedDefault);
    const auto backend = env.userSettings();
    return SettingsStore(*backend).Read(key);
}

// The share of the limit in hundredths of a percent, rounded down: a limit is a whole number of
// gigabytes, so a ten-thousandth of it is a whole number of bytes, and nothing overflows.
void PrintQuota(const TextOut& out, int quota, std::uint64_t used) {
    const std::uint64_t limit = static_cast<std::uint64_t>(quota) * kBytesPerGigabyte;
    const std::uint64_t hundredths = used / (limit / 10'000);
    const std::string decimals = std::to_string(100 + hundredths % 100).substr(1);
    out("quota " + std::to_string(quota) + " GB\tthis period " + std::to_string(hundredths / 100) + '.' + decimals +
        " % (" + std::to_string(used) + " of " + std::to_string(limit) + " bytes)\n");
}

void PrintTotal(const TextOut& out, const std::string& what, const tg::Usage& usage) {
    out(what + "\treceived " + std::to_string(usage.received) + "\tsent " + std::to_string(usage.sent) + "\ttotal " +
        std::to_string(usage.Total()) + " bytes (" + AmountText(DisplayUnit::Bytes, usage.Total()) + ")\n");
}

}  // namespace

int RunUsage(const Options& o, const Environment& env) {
    int status = kExitOk;
    const std::optional<LogText> log = ReadLog(o, env, status);
    if (!log) return status;
    UsageLog days;
    std::vector<UsageProblem> problems;
    days.Parse(log->text, problems);
    for (const UsageProblem& p : problems) env.err(log->where + ':' + std::to_string(p.line) + ": " + p.reason + '\n');
    if (days.Days().empty() && !problems.empty()) return kExitUsage;

    for (const auto& [day, usage] : days.Days())
        env.out(DayText(Day{day}) + ' ' + std::to_string(usage.received) + ' ' + std::to_string(usage.sent) + '\n');
    const Day today = env.calendar->Today();
    const int start = PeriodStartFromText(Setting(env, keys::periodstart));
    const Period period = PeriodHolding(today, start);
    const Period before = PeriodBefore(period);
    PrintTotal(env.out, "today " + DayText(today), days.On(today));
    const tg::Usage thisPeriod = days.Between(period.first, period.last);
    PrintTotal(env.out, "this period " + DayText(period.first) + " to " + DayText(period.last), thisPeriod);
    PrintTotal(env.out, "last period " + DayText(before.first) + " to " + DayText(before.last),
               days.Between(before.first, before.last));
    if (const int quota = QuotaFromText(Setting(env, keys::quota)); quota != kNoQuota)
        PrintQuota(env.out, quota, thisPeriod.Total());
    return kExitOk;
}

}  // namespace tg::probe
