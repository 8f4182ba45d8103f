#pragma once
// Turns the running octet totals into the amounts moved per second. Each Update reads the table
// afresh and raises Data(OutData, InData) with the received (download) amount first and the sent
// (upload) amount second, in kilobytes of 1000 bytes.
#include <chrono>
#include <cstdint>
#include <functional>

#include "counters/CIpHelper.h"
#include "platform/ports/Clock.h"

namespace tg {

// Kilobytes per second for `bytes` moved in `elapsed`, rounded down and clamped to 32 bits. At
// exactly one second this is bytes / 1000; a tick that came late is scaled back to one second.
std::int32_t KilobytesPerSecond(std::int32_t bytes, std::chrono::nanoseconds elapsed) noexcept;

// The kilobits shown for an amount of kilobytes (x 8), clamped to 32 bits.
std::int32_t KilobitsFromKilobytes(std::int32_t kilobytes) noexcept;

class CIpUpdate {
 public:
    using DataHandler = std::function<void(std::int32_t& OutData, std::int32_t& InData)>;

    CIpUpdate(TableSource& source, UnsupportedNotice& notice, Clock& clock)
        : m_helper(source, notice), m_clock(clock) {}

    void Update();

    // Runs synchronously inside Update; what the handler does to its arguments is not read back.
    DataHandler Data;

 private:
    CIpHelper m_helper;
    Clock& m_clock;
    std::int32_t m_previousReceived = 0;
    std::int32_t m_previousSent = 0;
    std::chrono::nanoseconds m_previousTime{0};
};

}  // namespace tg
