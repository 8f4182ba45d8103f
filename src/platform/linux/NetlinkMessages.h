#pragma once
// What the kernel's rtnetlink replies say about links, as plain values: one RTM_NEWLINK or
// RTM_NEWSTATS message in, the facts the interface table shows out. No socket is involved, so
// tests feed them messages built by hand.
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace tg::netlink {

// The counters of rtnl_link_stats64 the table shows.
struct LinkCounters {
    std::uint64_t rxPackets = 0, txPackets = 0, rxBytes = 0, txBytes = 0;
    std::uint64_t rxErrors = 0, txErrors = 0, rxDropped = 0, txDropped = 0;
    std::uint64_t multicast = 0, rxMissed = 0, rxNoHandler = 0;
};

// What one RTM_NEWLINK message says about a link, before sysfs is asked.
struct LinkMessage {
    std::int32_t index = 0;
    std::uint16_t arphrd = 0;
    std::uint32_t flags = 0;  // IFF_*
    std::string name = {};
    std::uint32_t mtu = 0;
    std::vector<std::uint8_t> address = {};
    std::uint8_t operstate = 0;  // IF_OPER_UNKNOWN when the attribute is missing
    LinkCounters counters = {};  // IFLA_STATS64, or widened from IFLA_STATS
};

// What one RTM_NEWSTATS message says: a link's index and its 64-bit counters.
struct StatsMessage {
    std::int32_t index = 0;
    LinkCounters counters = {};
};

// Each reads one whole netlink message (header included), 4-byte aligned as netlink delivers it.
// Attributes that do not lie completely inside the message are ignored; nullopt when the message
// is of another kind or shorter than its header says.
std::optional<LinkMessage> ParseLinkMessage(std::span<const std::uint8_t> message);
std::optional<StatsMessage> ParseStatsMessage(std::span<const std::uint8_t> message);

}  // namespace tg::netlink
