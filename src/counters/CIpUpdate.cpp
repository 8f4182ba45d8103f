#include "counters/CIpUpdate.h"

#include <cmath>
#include <limits>
#include <utility>

#include "common/Wrap32.h"

namespace tg {

namespace {

std::int32_t ClampToInt32(std::int64_t value) noexcept {
    if (value > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
    if (value < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// What a counter moved since its baseline; a counter that went back was reset and moved nothing.
std::int64_t Moved(std::int32_t now, std::int32_t before) noexcept {
    const std::int32_t difference = WrapSub32(now, before);
    return difference > 0 ? difference : 0;
}

// The rate for the Data pair's kilobytes, so that both come from one division.
Rate RateFor(std::int32_t kilobytes, std::int64_t bytes, std::chrono::nanoseconds elapsed) noexcept {
    return {KilobitsFromKilobytes(kilobytes), BitsPerSecond(bytes, elapsed)};
}

}  // namespace

std::int32_t KilobytesPerSecond(std::int64_t bytes, std::chrono::nanoseconds elapsed) noexcept {
    if (bytes <= 0) return 0;
    constexpr std::int64_t kSecond = 1'000'000'000;
    constexpr std::int64_t kScale = 1'000'000;
    // A clock that did not advance (a nested tick) gives no time to scale by: count it as a second.
    const std::int64_t ns = elapsed.count() > 0 ? elapsed.count() : kSecond;
    // Below this the product is exact in 64 bits and the division floors; above it (terabytes in a
    // tick) the result is clamped anyway.
    if (bytes > std::numeric_limits<std::int64_t>::max() / kScale)
        return ClampToInt32(static_cast<std::int64_t>(static_cast<double>(bytes) * kScale / static_cast<double>(ns)));
    return ClampToInt32(bytes * kScale / ns);
}

// In double precision: the figure is shown to three significant figures, and bytes * 8e9 would not
// fit 64 bits for a large tick.
std::uint64_t BitsPerSecond(std::int64_t bytes, std::chrono::nanoseconds elapsed) noexcept {
    if (bytes <= 0) return 0;
    const double ns = elapsed.count() > 0 ? static_cast<double>(elapsed.count()) : 1e9;
    const double bits = std::round(static_cast<double>(bytes) * 8e9 / ns);
    return bits >= 1.8e19 ? std::numeric_limits<std::uint64_t>::max() : static_cast<std::uint64_t>(bits);
}

std::int32_t KilobitsFromKilobytes(std::int32_t kilobytes) noexcept {
    return ClampToInt32(static_cast<std::int64_t>(kilobytes) * 8);
}

Rate RatePerSecond(std::int64_t bytes, std::chrono::nanoseconds elapsed) noexcept {
    return RateFor(KilobytesPerSecond(bytes, elapsed), bytes, elapsed);
}

// Rows keep their places from tick to tick unless links come or go, so the same position is
// looked at first.
const CIpUpdate::Baseline* CIpUpdate::Previous(std::size_t position, const std::string& name,
                                               std::int32_t index) const {
    auto same = [&](const Baseline& b) { return b.index == index && b.name == name; };
    if (position < m_previous.size() && same(m_previous[position])) return &m_previous[position];
    for (const Baseline& b : m_previous)
        if (same(b)) return &b;
    return nullptr;
}

TickBytes CIpUpdate::Measure(const CInterfaces& table, std::vector<Baseline>& current, std::vector<RowTick>& rows) {
    m_selection.Counted(table, m_counted);
    current.resize(static_cast<std::size_t>(table.Count()));
    rows.assign(current.size(), RowTick{});
    TickBytes moved;
    std::size_t i = 0;
    for (const CInterfacePtr& row : table) {
        Baseline& now = current[i];
        now.name = row->InterfaceName();
        now.index = row->InterfaceIndex();
        now.received = row->OctetsReceived();
        now.sent = row->OctetsSent();
        RowTick& tick = rows[i];
        tick.counted = m_counted[i];
        if (const Baseline* before = Previous(i, now.name, now.index)) {
            tick.received = Moved(now.received, before->received);
            tick.sent = Moved(now.sent, before->sent);
        }
        if (tick.counted) {
            moved.received += tick.received;
            moved.sent += tick.sent;
        }
        ++i;
    }
    return moved;
}

void CIpUpdate::Update(TickResult& result) {
    result.table = m_helper.Interfaces();
    const bool read = m_helper.LastReadSucceeded();
    const std::chrono::nanoseconds now = m_clock.Now();
    std::vector<Baseline> current = std::exchange(m_spare, {});
    const TickBytes moved = Measure(*result.table, current, result.rows);
    const bool measured = read && m_previousRead;
    result.bytes = measured ? moved : TickBytes{};
    result.elapsed = measured ? now - m_previousTime : std::chrono::nanoseconds{0};
    result.OutData = KilobytesPerSecond(result.bytes.received, result.elapsed);
    result.InData = KilobytesPerSecond(result.bytes.sent, result.elapsed);
    result.down = RateFor(result.OutData, result.bytes.received, result.elapsed);
    result.up = RateFor(result.InData, result.bytes.sent, result.elapsed);
    if (measured && Data) {
        std::int32_t OutData = result.OutData;
        std::int32_t InData = result.InData;
        Data(OutData, InData);
    }
    // After the handlers: a tick nested inside them worked from the same baseline, and this one's
    // readings become the next baseline.
    m_spare = std::move(m_previous);
    m_previous = std::move(current);
    m_previousRead = read;
    m_previousTime = now;
}

}  // namespace tg
