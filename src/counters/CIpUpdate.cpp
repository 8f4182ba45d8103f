#include "counters/CIpUpdate.h"

#include <limits>

#include "common/Wrap32.h"

namespace tg {

namespace {

std::int32_t ClampToInt32(std::int64_t value) noexcept {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

}  // namespace

std::int32_t KilobytesPerSecond(std::int32_t bytes, std::chrono::nanoseconds elapsed) noexcept {
    if (bytes <= 0) return 0;
    constexpr std::int64_t kSecond = 1'000'000'000;
    // A clock that did not advance (a nested tick) gives no time to scale by: count it as a second.
    const std::int64_t ns = elapsed.count() > 0 ? elapsed.count() : kSecond;
    // bytes * 10^6 stays below 2^52, so the product is exact in 64 bits and the division floors.
    return ClampToInt32(static_cast<std::int64_t>(bytes) * 1'000'000 / ns);
}

std::int32_t KilobitsFromKilobytes(std::int32_t kilobytes) noexcept {
    return ClampToInt32(static_cast<std::int64_t>(kilobytes) * 8);
}

void CIpUpdate::Update() {
    m_helper.Interfaces();
    const std::int32_t received = m_helper.BytesReceived();
    const std::int32_t sent = m_helper.BytesSent();
    const std::chrono::nanoseconds now = m_clock.Now();

    // No baseline yet (a new sampler, or the read before this one failed): the totals count
    // everything since the counters started, which is no rate at all.
    const bool haveBaseline = m_previousReceived != 0 || m_previousSent != 0;
    const std::int32_t receivedDiff = WrapSub32(received, m_previousReceived);
    const std::int32_t sentDiff = WrapSub32(sent, m_previousSent);
    if (haveBaseline && receivedDiff > 0 && sentDiff > 0 && Data) {
        const std::chrono::nanoseconds elapsed = now - m_previousTime;
        std::int32_t OutData = KilobytesPerSecond(receivedDiff, elapsed);
        std::int32_t InData = KilobytesPerSecond(sentDiff, elapsed);
        Data(OutData, InData);
    }
    m_previousReceived = received;
    m_previousSent = sent;
    m_previousTime = now;
}

}  // namespace tg
