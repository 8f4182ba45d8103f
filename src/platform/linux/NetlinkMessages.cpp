#include "platform/linux/NetlinkMessages.h"

#include <libmnl/libmnl.h>
#include <linux/if.h>
#include <linux/if_link.h>
#include <linux/rtnetlink.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <string_view>

namespace tg::netlink {
namespace {

// A kernel struct out of an attribute: copied, since netlink aligns payloads to 4 bytes only, and
// a shorter one (from an older kernel) leaves the fields it lacks zero.
template <typename T>
T Copy(const nlattr& attr) {
    T value{};
    std::memcpy(&value, mnl_attr_get_payload(&attr), std::min<std::size_t>(sizeof value, mnl_attr_get_payload_len(&attr)));
    return value;
}

// The message's header, when the message is whole, of `type`, and long enough for its fixed part.
const nlmsghdr* Header(std::span<const std::uint8_t> message, std::uint16_t type, std::size_t fixed) {
    const auto* header = reinterpret_cast<const nlmsghdr*>(message.data());
    const int length = static_cast<int>(std::min<std::size_t>(message.size(), INT_MAX));
    if (!mnl_nlmsg_ok(header, length) || header->nlmsg_type != type ||
        mnl_nlmsg_get_payload_len(header) < MNL_ALIGN(fixed))
        return nullptr;
    return header;
}

// Calls visit(attribute) for each attribute after the fixed part that lies wholly inside the
// message. Its length, not the aligned one, bounds the walk, so a last attribute whose length
// reaches into the padding is not read; a length that points outside ends the walk, since nothing
// after a damaged attribute can be located.
template <typename Visit>
void ForEachAttribute(const nlmsghdr* header, std::size_t fixed, Visit visit) {
    const std::size_t offset = MNL_ALIGN(fixed);
    mnl_attr_parse_payload(
        mnl_nlmsg_get_payload_offset(header, offset), mnl_nlmsg_get_payload_len(header) - offset,
        [](const nlattr* attr, void* data) {
            (*static_cast<Visit*>(data))(*attr);
            return MNL_CB_OK;
        },
        &visit);
}

// rtnl_link_stats and rtnl_link_stats64 name their fields alike.
template <typename Stats>
LinkCounters Counters(const Stats& s) {
    return {.rxPackets = s.rx_packets, .txPackets = s.tx_packets, .rxBytes = s.rx_bytes, .txBytes = s.tx_bytes,
            .rxErrors = s.rx_errors, .txErrors = s.tx_errors, .rxDropped = s.rx_dropped, .txDropped = s.tx_dropped,
            .multicast = s.multicast, .rxMissed = s.rx_missed_errors, .rxNoHandler = s.rx_nohandler};
}

}  // namespace

std::optional<LinkMessage> ParseLinkMessage(std::span<const std::uint8_t> message) {
    const nlmsghdr* header = Header(message, RTM_NEWLINK, sizeof(ifinfomsg));
    if (header == nullptr) return std::nullopt;
    const auto* info = static_cast<const ifinfomsg*>(mnl_nlmsg_get_payload(header));
    LinkMessage link;
    link.index = info->ifi_index;
    link.arphrd = info->ifi_type;
    link.flags = info->ifi_flags;
    link.operstate = IF_OPER_UNKNOWN;
    std::optional<rtnl_link_stats64> stats64;
    std::optional<rtnl_link_stats> stats32;
    ForEachAttribute(header, sizeof(ifinfomsg), [&](const nlattr& attr) {
        switch (mnl_attr_get_type(&attr)) {
            case IFLA_IFNAME: {
                const std::string_view text(static_cast<const char*>(mnl_attr_get_payload(&attr)),
                                            mnl_attr_get_payload_len(&attr));
                link.name.assign(text.substr(0, text.find('\0')));
                break;
            }
            case IFLA_MTU:
                if (mnl_attr_validate(&attr, MNL_TYPE_U32) == 0) link.mtu = mnl_attr_get_u32(&attr);
                break;
            case IFLA_ADDRESS: {
                const auto* bytes = static_cast<const std::uint8_t*>(mnl_attr_get_payload(&attr));
                link.address.assign(bytes, bytes + mnl_attr_get_payload_len(&attr));
                break;
            }
            case IFLA_OPERSTATE:
                if (mnl_attr_validate(&attr, MNL_TYPE_U8) == 0) link.operstate = mnl_attr_get_u8(&attr);
                break;
            case IFLA_STATS64: stats64 = Copy<rtnl_link_stats64>(attr); break;
            case IFLA_STATS: stats32 = Copy<rtnl_link_stats>(attr); break;
            default: break;
        }
    });
    if (stats64)
        link.counters = Counters(*stats64);
    else if (stats32)
        link.counters = Counters(*stats32);
    return link;
}

std::optional<StatsMessage> ParseStatsMessage(std::span<const std::uint8_t> message) {
    const nlmsghdr* header = Header(message, RTM_NEWSTATS, sizeof(if_stats_msg));
    if (header == nullptr) return std::nullopt;
    const auto index = static_cast<std::int32_t>(static_cast<const if_stats_msg*>(mnl_nlmsg_get_payload(header))->ifindex);
    std::optional<StatsMessage> stats;
    ForEachAttribute(header, sizeof(if_stats_msg), [&](const nlattr& attr) {
        if (mnl_attr_get_type(&attr) == IFLA_STATS_LINK_64)
            stats = StatsMessage{index, Counters(Copy<rtnl_link_stats64>(attr))};
    });
    return stats;
}

}  // namespace tg::netlink
