#pragma once
// tidegauge-probe: a console view of the counters, for diagnosis and for checking them against the
// OS. Kept apart from main so that tests can drive it with their own table source and streams.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ports/Calendar.h"
#include "ports/Clock.h"
#include "ports/SettingsBackend.h"
#include "ports/TableSource.h"
#include "ports/UsageStore.h"

namespace tg::probe {

// A table source that serves a buffer read from a file, with the OS call's protocol.
class BufferTableSource final : public TableSource {
 public:
    explicit BufferTableSource(std::vector<std::uint8_t> table) : m_table(std::move(table)) {}
    std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) override;

 private:
    std::vector<std::uint8_t> m_table;
};

// Where a piece of the probe's text goes: the console in the program, a string in tests. Plain calls
// rather than streams, so that the program carries no stream or locale machinery.
using TextOut = std::function<void(std::string_view)>;

// Where the probe gets its table and the user's choice of interfaces from, and how it waits
// between ticks.
struct Environment {
    std::function<std::unique_ptr<TableSource>()> systemSource;
    std::function<std::unique_ptr<SettingsBackend>()> userSettings;  // none: the automatic choice
    std::function<std::unique_ptr<UsageStore>()> usageStore;         // the monitor's usage log
    Calendar* calendar = nullptr;                                     // today, for the periods
    Clock* clock = nullptr;
    std::function<void(std::chrono::nanoseconds)> sleepUntil;  // monotonic deadline, Clock's epoch
    TextOut out;
    TextOut err;
};

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

int Run(std::span<const std::string> args, const Environment& env);

// The raw table the source returns, through the query-then-fill protocol; empty when it fails.
std::vector<std::uint8_t> ReadRawTable(TableSource& source, std::uint32_t* status);

// A file's bytes as they are; nullopt when it cannot be read, with `opened` false when it could not
// even be opened. Through C's stdio, as the console streams go, in binary mode.
std::optional<std::string> ReadWholeFile(const std::string& path, bool& opened);
// Replaces the file with `bytes`; false when it cannot be made, written or closed.
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes);

}  // namespace tg::probe
