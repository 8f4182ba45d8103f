#include "platform/linux/LinkRows.h"

#include <linux/if.h>
#include <linux/if_arp.h>

#include <algorithm>
#include <span>

#include "common/Text.h"
#include "common/Wrap32.h"

namespace tg::netlink {

using namespace iftable;

std::uint32_t IfTypeFromArphrd(std::uint16_t arphrd, bool wireless) noexcept {
    switch (arphrd) {
        case ARPHRD_LOOPBACK: return kIfTypeSoftwareLoopback;
        case ARPHRD_ETHER: return wireless ? kIfTypeWireless : kIfTypeEthernet;
        case ARPHRD_PPP: return kIfTypePpp;
        case ARPHRD_TUNNEL:
        case ARPHRD_TUNNEL6:
        case ARPHRD_SIT:
        case ARPHRD_IPGRE:
        case ARPHRD_IP6GRE:
        case ARPHRD_NONE:  // tun devices and WireGuard carry bare IP packets
            return kIfTypeTunnel;
        default: return kIfTypeOther;
    }
}

IfOperStatus IfOperFromLinux(std::uint8_t operstate) noexcept {
    switch (operstate) {
        case IF_OPER_NOTPRESENT: return kIfOperNotPresent;
        case IF_OPER_DOWN: return kIfOperDown;
        case IF_OPER_LOWERLAYERDOWN: return kIfOperLowerLayerDown;
        case IF_OPER_TESTING: return kIfOperTesting;
        case IF_OPER_DORMANT: return kIfOperDormant;
        case IF_OPER_UP: return kIfOperUp;
        default: return kIfOperUnknown;
    }
}

void FillRow(const LinkMessage& link, const SysfsFacts& sysfs, IfRowFields& row) {
    const bool up = (link.flags & IFF_UP) != 0;
    row.name = Utf8ToUtf16(link.name);
    row.index = static_cast<std::uint32_t>(link.index);
    row.type = IfTypeFromArphrd(link.arphrd, sysfs.wireless);
    row.mtu = link.mtu;
    row.speed = sysfs.speed;
    row.address = link.address;
    row.adminStatus = up ? kAdminUp : kAdminDown;
    row.operStatus = MibOperStatusFromIfOper(IfOperFromLinux(link.operstate), up);
    row.lastChange = 0;
    row.outQueueLength = 0;
    row.description = link.name;
    row.hardware = sysfs.hardware;
    // A link is known by its name, which the description already carries; no alias is shown beside it.
    row.alias.clear();
    FillCounters(link.counters, row);
}

void FillCounters(const LinkCounters& c, IfRowFields& row) {
    row.inOctets = Low32(c.rxBytes);
    // The table counts unicast and non-unicast apart; Linux's packet count holds both.
    row.inUcast = Low32(c.rxPackets - std::min(c.multicast, c.rxPackets));
    row.inNUcast = Low32(c.multicast);
    // Packets the host had no room for are discards as well; /proc/net/dev sums them the same way.
    row.inDiscards = Low32(c.rxDropped + c.rxMissed);
    row.inErrors = Low32(c.rxErrors);
    row.inUnknownProtos = Low32(c.rxNoHandler);
    row.outOctets = Low32(c.txBytes);
    row.outUcast = Low32(c.txPackets);  // Linux does not count sent multicast apart
    row.outNUcast = 0;
    row.outDiscards = Low32(c.txDropped);
    row.outErrors = Low32(c.txErrors);
}

void LinkRows::Add(const LinkMessage& link, const SysfsFacts& sysfs) {
    if (m_count == m_rows.size()) m_rows.emplace_back();
    FillRow(link, sysfs, m_rows[m_count++]);
}

// Counters come in the order of the link dump's rows; the search covers any other order.
bool LinkRows::TakeCounters(const StatsMessage& stats) {
    const auto rows = std::span(m_rows).first(m_count);
    const auto index = static_cast<std::uint32_t>(stats.index);
    auto row = m_countersTaken < rows.size() && rows[m_countersTaken].index == index
                   ? rows.begin() + static_cast<std::ptrdiff_t>(m_countersTaken)
                   : std::find_if(rows.begin(), rows.end(), [&](const IfRowFields& r) { return r.index == index; });
    if (row == rows.end()) return false;
    FillCounters(stats.counters, *row);
    ++m_countersTaken;
    return true;
}

void LinkRows::Write(std::vector<std::uint8_t>& table, bool sorted) {
    WriteIfTable(table, std::span(m_rows).first(m_count), sorted, m_order);
}

}  // namespace tg::netlink
