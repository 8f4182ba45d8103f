#include <cstdio>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "ports/SystemStores.h"
#include "ports/SystemTableSource.h"
#include "probe/Probe.h"

namespace {

// Each piece is flushed at once: a --watch line reaches a pipe when it is made, not when the
// buffer fills, and the order of output and errors stays the order they were written in.
tg::probe::TextOut Console(std::FILE* stream) {
    return [stream](std::string_view text) {
        static_cast<void>(std::fwrite(text.data(), 1, text.size(), stream));
        static_cast<void>(std::fflush(stream));
    };
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    tg::SteadyClock clock;
    tg::probe::Environment env;
    env.systemSource = [] { return tg::MakeSystemTableSource(); };
    // The monitor's own settings, so that the probe counts the interfaces the user chose there.
    env.userSettings = [] { return tg::MakeUserSettings(); };
    env.usageStore = [] { return tg::MakeUserUsageStore(); };
    tg::SystemCalendar calendar;
    env.calendar = &calendar;
    env.clock = &clock;
    env.sleepUntil = [](std::chrono::nanoseconds deadline) {
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline)));
    };
    env.out = Console(stdout);
    env.err = Console(stderr);
    return tg::probe::Run(args, env);
}
