#include "usage/UsageRecorder.h"

#include <cstdio>
#include <utility>

namespace tg {

// Nothing is left to tell when standard error cannot be written to.
void ReportOnStandardError(const std::string& message) { (void)std::fputs((message + '\n').c_str(), stderr); }

UsageRecorder::UsageRecorder(UsageStore& store, Calendar& calendar, Clock& clock, Report report)
    : m_store(store), m_calendar(calendar), m_clock(clock), m_report(std::move(report)) {}

void UsageRecorder::Load() {
    m_lastWrite = m_clock.Now();
    std::string error;
    const std::optional<std::string> text = m_store.Read(error);
    if (!text) {
        if (!error.empty()) {
            m_writable = false;
            Tell("usage not saved: " + m_store.Where() + " cannot be read: " + error);
        }
        return;
    }
    std::vector<UsageProblem> problems;
    m_log.Parse(*text, problems);
    if (problems.empty()) return;
    m_keepAside = true;
    Tell(m_store.Where() + ": " + std::to_string(problems.size()) + " line(s) skipped, the first (line " +
         std::to_string(problems.front().line) + "): " + problems.front().reason);
}

// The clock may jump (daylight saving, travel, a hand-set clock): the bytes came from the counters,
// so they go to whatever day it is now, once, and an earlier day keeps its own line.
void UsageRecorder::Count(const TickBytes& moved) {
    if (moved.received > 0 || moved.sent > 0) {
        m_log.Add(m_calendar.Today(), {static_cast<std::uint64_t>(moved.received), static_cast<std::uint64_t>(moved.sent)});
        m_unwritten = true;
    }
    if (m_unwritten && m_clock.Now() - m_lastWrite >= kWriteEvery) Write();
}

void UsageRecorder::Flush() {
    if (m_unwritten) Write();
}

void UsageRecorder::Write() {
    m_lastWrite = m_clock.Now();
    if (!m_writable) return;
    if (std::exchange(m_keepAside, false)) m_store.KeepAside();
    std::string error;
    if (m_store.Replace(m_log.Format(m_calendar.Today()), error)) {
        m_unwritten = false;
        m_lastReport.clear();
    } else {
        Tell("usage not saved: " + error);
    }
}

// Once per cause: a full disk does not fill the log with the same line every minute.
void UsageRecorder::Tell(const std::string& message) {
    if (message == m_lastReport) return;
    m_lastReport = message;
    if (m_report) m_report(message);
}

}  // namespace tg
