#pragma once
// The calling protocol of the classic table call, over a system read that rebuilds the whole table.
//
// The reader asks in two steps: a size query, then a fill into a buffer of that size. The query
// reads the system and keeps what it read, and the fill that follows is handed exactly those
// bytes: one system read per tick, and a link that appears in between cannot make the fill too
// small. A fill that comes too late, asks for the other row order or has too little room reads
// anew; one that is too small is answered with the size, keeping that table for the retry.
#include <chrono>
#include <cstdint>
#include <vector>

#include "ports/Clock.h"
#include "ports/TableSource.h"

namespace tg {

class KeptTableSource : public TableSource {
 public:
    // A fill comes straight after its size query in the same tick, microseconds apart. The lifetime
    // leaves room for a slow or busy machine, yet stays a tenth of the one-second tick, so a caller
    // that waits between the two calls still gets fresh counters. A table serves while it is younger
    // than this: one exactly this old is read again.
    static constexpr std::chrono::milliseconds kKeptTableLifetime{100};

    std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) final;

 protected:
    KeptTableSource() : m_clock(m_steadyClock) {}
    explicit KeptTableSource(Clock& clock) : m_clock(clock) {}

 private:
    // Reads the system and writes the whole table into `table` (whose storage is reused), rows by
    // index when `sorted`. kNoError, or the system's error code, which the caller is given.
    virtual std::uint32_t ReadTable(std::vector<std::uint8_t>& table, bool sorted) = 0;

    bool KeptTableServes(std::uint32_t capacity, bool sorted);

    SteadyClock m_steadyClock;
    Clock& m_clock;
    std::vector<std::uint8_t> m_table;
    bool m_kept = false;
    bool m_keptSorted = false;
    std::chrono::nanoseconds m_keptAt{};
};

}  // namespace tg
