#include <iostream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/ports/SystemTableSource.h"
#include "probe/Probe.h"

// The store the monitor keeps its settings in on this platform, so that the probe counts the
// interfaces the user chose there.
#if defined(_WIN32)
#include "platform/win32/RegistrySettings.h"
using UserSettings = tg::RegistrySettings;
#else
#include "platform/gtk/KeyFileSettings.h"
using UserSettings = tg::KeyFileSettings;
#endif

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    tg::SteadyClock clock;
    tg::probe::Environment env;
    env.systemSource = [] { return tg::MakeSystemTableSource(); };
    env.userSettings = [] { return std::make_unique<UserSettings>(); };
    env.clock = &clock;
    env.sleepUntil = [](std::chrono::nanoseconds deadline) {
        std::this_thread::sleep_until(std::chrono::steady_clock::time_point(
            std::chrono::duration_cast<std::chrono::steady_clock::duration>(deadline)));
    };
    env.out = &std::cout;
    env.err = &std::cerr;
    return tg::probe::Run(args, env);
}
