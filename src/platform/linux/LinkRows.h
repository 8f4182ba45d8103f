#pragma once
// The rows of the interface table on Linux: filled from the last link dump, their counters
// refreshed in between, and written into the same rows the Windows table call fills, followed by
// the extras block saying which links have a device behind them (what automatic counting sums).
#include <cstddef>
#include <cstdint>
#include <vector>

#include "counters/IfTableLayout.h"
#include "counters/IfTableWriter.h"
#include "platform/linux/NetlinkMessages.h"
#include "platform/linux/SysfsFactsCache.h"

namespace tg::netlink {

// The table's type code for a link's ARPHRD_* hardware type. Linux reports Wi-Fi links as
// Ethernet, so whether the link is wireless comes from sysfs.
std::uint32_t IfTypeFromArphrd(std::uint16_t arphrd, bool wireless) noexcept;

// Linux's IF_OPER_* (IFLA_OPERSTATE) in RFC 2863 numbering; values Linux may add later are unknown.
iftable::IfOperStatus IfOperFromLinux(std::uint8_t operstate) noexcept;

// The row a link gets, given what sysfs said about it.
void FillRow(const LinkMessage& link, const SysfsFacts& sysfs, IfRowFields& row);
void FillCounters(const LinkCounters& counters, IfRowFields& row);

class LinkRows {
 public:
    // A link dump: StartDump, then Add for each link in the kernel's order.
    void StartDump() { m_count = 0; }
    void Add(const LinkMessage& link, const SysfsFacts& sysfs);

    // A counters read: StartCounters, then TakeCounters for each link. False for a link the last
    // dump did not see, whose row the table does not have.
    void StartCounters() { m_countersTaken = 0; }
    bool TakeCounters(const StatsMessage& stats);
    // Whether every row got new counters since StartCounters.
    bool AllCountersTaken() const { return m_countersTaken == m_count; }

    // The table, rows in the kernel's order or by index; `table`'s storage is reused.
    void Write(std::vector<std::uint8_t>& table, bool sorted);

 private:
    // Only the first m_count rows are current; the rest keep their storage for the next dump.
    std::vector<IfRowFields> m_rows;
    std::size_t m_count = 0;
    std::size_t m_countersTaken = 0;
    std::vector<std::size_t> m_order;
};

}  // namespace tg::netlink
