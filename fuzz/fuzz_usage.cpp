// Any bytes as a usage log: parsing never fails, and what a parse kept is written out and read back
// to the same days without a problem.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "usage/UsageLog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tg::UsageLog log;
    std::vector<tg::UsageProblem> problems;
    log.Parse(std::string_view(reinterpret_cast<const char*>(data), size), problems);
    for (const tg::UsageProblem& p : problems)
        if (p.line == 0 || p.reason.empty()) std::abort();

    // The oldest day a log can hold, so every day parsed is written out.
    const tg::Day today{std::chrono::year{9999}, std::chrono::December, std::chrono::day{31}};
    tg::UsageLog again;
    std::vector<tg::UsageProblem> none;
    again.Parse(log.Format(today), none);
    if (!none.empty()) std::abort();
    for (const auto& [day, usage] : again.Days())
        if (!(usage == log.On(tg::Day{day}))) std::abort();
    return 0;
}
