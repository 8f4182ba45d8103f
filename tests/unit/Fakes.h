#pragma once
// Fakes of the ports for the portable code's tests.
#include <chrono>
#include <cstring>
#include <string>
#include <vector>

#include "counters/IfTableWriter.h"
#include "ports/Clock.h"
#include "ports/MessageDialog.h"
#include "ports/TableSource.h"

namespace tg::test {

// Serves a table it was given, with the OS call's protocol; can be told to fail.
class FakeTableSource final : public TableSource {
 public:
    std::vector<std::uint8_t> table;
    std::uint32_t queryResult = kInsufficientBuffer;  // what a query with no buffer answers
    std::uint32_t fillResult = kNoError;              // what the fill answers when it fits
    int calls = 0;
    std::vector<bool> sortFlags;

    std::uint32_t GetIfTable(std::uint8_t* buffer, std::uint32_t* size, bool sorted) override {
        ++calls;
        sortFlags.push_back(sorted);
        const auto needed = static_cast<std::uint32_t>(table.size());
        if (buffer == nullptr) {
            *size = needed;
            return queryResult;
        }
        if (*size < needed) {
            *size = needed;
            return kInsufficientBuffer;
        }
        if (fillResult != kNoError) return fillResult;
        std::memcpy(buffer, table.data(), table.size());
        *size = needed;
        return kNoError;
    }

    void SetRows(const std::vector<IfRowFields>& rows) { table = BuildIfTable(rows); }

    // A table whose rows carry only these received/sent octet counters.
    void SetTotals(std::vector<std::pair<std::uint32_t, std::uint32_t>> rows) {
        std::vector<IfRowFields> fields(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            fields[i].index = static_cast<std::uint32_t>(i + 1);
            fields[i].inOctets = rows[i].first;
            fields[i].outOctets = rows[i].second;
        }
        table = BuildIfTable(fields);
    }
};

class FakeClock final : public Clock {
 public:
    std::chrono::nanoseconds now{std::chrono::seconds(100)};
    std::chrono::nanoseconds Now() override { return now; }
    void Advance(std::chrono::nanoseconds d) { now += d; }
};

class RecordingMessages final : public MessageDialog {
 public:
    struct Shown {
        std::string text, caption;
        MessageIcon icon;
    };
    std::vector<Shown> shown;
    void Show(std::string_view text, std::string_view caption, MessageIcon icon) override {
        shown.push_back({std::string(text), std::string(caption), icon});
    }
};

}  // namespace tg::test

#include <map>
#include <tuple>

#include "ports/SettingsBackend.h"

namespace tg::test {

// A settings store in memory; counts reads so tests can see nothing is cached.
class MemorySettings final : public SettingsBackend {
 public:
    using Id = std::tuple<std::string, std::string, std::string>;
    std::map<Id, std::string> values;
    int reads = 0;

    std::optional<std::string> Get(std::string_view app, std::string_view section, std::string_view key) override {
        ++reads;
        const auto it = values.find(Id(app, section, key));
        if (it == values.end()) return std::nullopt;
        return it->second;
    }
    void Set(std::string_view app, std::string_view section, std::string_view key, std::string_view text) override {
        values[Id(app, section, key)] = std::string(text);
    }
};

}  // namespace tg::test

#include "ports/UsageStore.h"

namespace tg::test {

// The usage log's file in memory; its read and write can be told to fail.
class MemoryUsageStore final : public UsageStore {
 public:
    std::optional<std::string> text;
    std::string readError, writeError;
    int writes = 0;
    std::vector<std::string> keptAside;
    std::optional<std::string> Read(std::string& error) override {
        error = readError;
        return readError.empty() ? text : std::nullopt;
    }
    bool Replace(std::string_view t, std::string& error) override {
        ++writes;
        error = writeError;
        if (writeError.empty()) text = std::string(t);
        return writeError.empty();
    }
    void KeepAside() override { keptAside.push_back(text.value_or("")); }
    std::string Where() const override { return "usage.txt"; }
};

}  // namespace tg::test
