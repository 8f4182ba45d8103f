#pragma once
// Adds what each tick moved to the local day it ended in, and keeps the log on disk: written once a
// minute while traffic moves and when the program ends, so a crash or a power cut loses at most a
// minute. A store that cannot be read or written is reported once per cause; counting goes on in
// memory, and a file that exists but cannot be read is never written over.
#include <chrono>
#include <functional>
#include <string>

#include "counters/CIpUpdate.h"
#include "ports/Calendar.h"
#include "ports/Clock.h"
#include "ports/UsageStore.h"
#include "usage/UsageLog.h"

namespace tg {

// Where the programs report a store that cannot be read or written: a line on the error stream, as
// the settings' failures are reported.
void ReportOnStandardError(const std::string& message);

class UsageRecorder {
 public:
    using Report = std::function<void(const std::string& message)>;
    static constexpr std::chrono::seconds kWriteEvery{60};

    UsageRecorder(UsageStore& store, Calendar& calendar, Clock& clock, Report report);

    // Reads the stored log; today's line is continued. Garbled lines are skipped, and the file as it
    // was is kept aside once, before the first write.
    void Load();
    // A tick moved these bytes over the counted interfaces.
    void Count(const TickBytes& moved);
    // Writes what is not written yet.
    void Flush();

    const UsageLog& Log() const noexcept { return m_log; }
    Day Today() { return m_calendar.Today(); }
    // The calendar the log's days come from, for what reads the log beside the recorder.
    Calendar& Dates() const noexcept { return m_calendar; }

 private:
    void Write();
    void Tell(const std::string& message);

    UsageStore& m_store;
    Calendar& m_calendar;
    Clock& m_clock;
    Report m_report;
    UsageLog m_log;
    bool m_unwritten = false;
    bool m_keepAside = false;   // garbled lines were read: keep the file before replacing it
    bool m_writable = true;     // false when a file is there that could not be read
    std::chrono::nanoseconds m_lastWrite{0};
    std::string m_lastReport;
};

}  // namespace tg
