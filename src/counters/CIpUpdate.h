#pragma once
// Turns the interfaces' running octet counters into the amounts moved per second. Each Update reads
// the table afresh and raises Data(OutData, InData) with the received (download) amount first and
// the sent (upload) amount second, in kilobytes of 1000 bytes.
//
// It works per interface: a tick's amount is the sum, over the counted interfaces present in this
// tick and the one before, of each one's difference (32-bit wrapping). An interface that appears,
// or whose counter went back (a reset), adds nothing that tick and is its own baseline for the
// next; one that disappears subtracts nothing. Every interface keeps its baseline, counted or not,
// so a change of selection takes effect at the next tick without a spike.
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "counters/CIpHelper.h"
#include "counters/InterfaceSelection.h"
#include "ports/Clock.h"

namespace tg {

// Kilobytes per second for `bytes` moved in `elapsed`, rounded down and clamped to 32 bits. At
// exactly one second this is bytes / 1000; a tick that came late is scaled back to one second.
std::int32_t KilobytesPerSecond(std::int64_t bytes, std::chrono::nanoseconds elapsed) noexcept;

// Bits per second for `bytes` moved in `elapsed`, to the nearest bit; a clock that did not advance
// counts as one second, as above.
std::uint64_t BitsPerSecond(std::int64_t bytes, std::chrono::nanoseconds elapsed) noexcept;

// The kilobits shown for an amount of kilobytes (x 8), clamped to 32 bits.
std::int32_t KilobitsFromKilobytes(std::int32_t kilobytes) noexcept;

// The exact bytes one tick moved over the counted interfaces, not scaled by time.
struct TickBytes {
    std::int64_t received = 0;
    std::int64_t sent = 0;
};

// What one row of the last read moved in its tick (0 where it has no baseline), and whether it
// counted.
struct RowTick {
    bool counted = false;
    std::int64_t received = 0;
    std::int64_t sent = 0;
};

// A rate as the read-outs show it: whole kilobits (the event's kilobytes x 8, so the figure
// matches the Data pair) and the exact bits a second that the scaled units show.
struct Rate {
    std::int32_t kilobits = 0;
    std::uint64_t bits = 0;
    bool operator==(const Rate&) const = default;
};

// The rate of `bytes` moved in `elapsed`, scaled to one second.
Rate RatePerSecond(std::int64_t bytes, std::chrono::nanoseconds elapsed) noexcept;

// Everything one Update read and measured. A tick that did not measure (the first, or one next to
// a failed read) moved nothing in no time: its amounts and rates are 0, its table and rows are
// still this read's.
struct TickResult {
    std::int32_t OutData = 0;  // the Data pair: received kilobytes a second
    std::int32_t InData = 0;   // and sent
    TickBytes bytes;           // over the counted interfaces, not scaled by time
    std::chrono::nanoseconds elapsed{0};
    Rate down;
    Rate up;
    std::shared_ptr<const CInterfaces> table = std::make_shared<const CInterfaces>();
    std::vector<RowTick> rows;  // in the table's order
};

class CIpUpdate {
 public:
    using DataHandler = std::function<void(std::int32_t& OutData, std::int32_t& InData)>;

    CIpUpdate(TableSource& source, UnsupportedNotice& notice, Clock& clock)
        : m_helper(source, notice), m_clock(clock) {}

    // Fills `result` (its storage reused from the tick before), then raises Data whenever this read
    // and the one before it both got a table, even when nothing moved or nothing counts: an idle
    // second reads 0. A tick nested inside the handler may fill the same result again.
    void Update(TickResult& result);

    // Counts by this selection from the next tick on.
    void Select(InterfaceSelection selection) { m_selection = std::move(selection); }
    const InterfaceSelection& Selection() const noexcept { return m_selection; }

    // Runs synchronously inside Update; what the handler does to its arguments is not read back.
    DataHandler Data;

 private:
    struct Baseline {
        std::string name;
        std::int32_t index = 0;
        std::int32_t received = 0;
        std::int32_t sent = 0;
    };

    TickBytes Measure(const CInterfaces& table, std::vector<Baseline>& current, std::vector<RowTick>& rows);
    const Baseline* Previous(std::size_t position, const std::string& name, std::int32_t index) const;

    CIpHelper m_helper;
    Clock& m_clock;
    InterfaceSelection m_selection;
    std::vector<Baseline> m_previous;
    std::vector<Baseline> m_spare;  // the storage of the baseline before, reused
    std::vector<bool> m_counted;
    bool m_previousRead = false;  // the previous read got a table
    std::chrono::nanoseconds m_previousTime{0};
};

}  // namespace tg
