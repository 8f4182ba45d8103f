#include "platform/gtk/NetlinkTableSource.h"

#include <fcntl.h>
#include <linux/if.h>
#include <linux/if_arp.h>
#include <linux/if_link.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <limits>
#include <memory>
#include <numeric>

#include "common/Text.h"
#include "common/Wrap32.h"
#include "platform/ports/SystemTableSource.h"

namespace tg {

using namespace iftable;

namespace {

// A link dump is repeated when the link list changed under it or a datagram did not fit.
constexpr int kDumpAttempts = 3;
constexpr std::size_t kMaxReceiveBuffer = 1 << 20;
// The fill that follows a size query comes straight after it; a table older than this is not
// handed out, so a caller that waits between the two still gets fresh counters.
constexpr auto kKeptTableLifetime = std::chrono::milliseconds(50);

template <typename T>
T Read(std::span<const std::uint8_t> bytes) {
    T value{};  // netlink payloads are only 4-byte aligned, so never read them in place
    std::memcpy(&value, bytes.data(), std::min(sizeof value, bytes.size()));
    return value;
}

// The attributes of a whole message of `type` whose fixed part is `fixed` bytes long.
std::optional<std::span<const std::uint8_t>> Attributes(std::span<const std::uint8_t> message, std::uint16_t type,
                                                        std::size_t fixed) {
    const std::size_t at = NLMSG_SPACE(fixed);
    if (message.size() < at) return std::nullopt;
    const auto header = Read<nlmsghdr>(message);
    if (header.nlmsg_type != type || header.nlmsg_len < at || header.nlmsg_len > message.size()) return std::nullopt;
    return message.subspan(at, header.nlmsg_len - at);
}

// Calls visit(type, payload) for each attribute lying wholly inside `bytes`. A length that points
// outside ends the walk: nothing after a damaged attribute can be located.
template <typename Visit>
void ForEachAttribute(std::span<const std::uint8_t> bytes, Visit visit) {
    std::size_t at = 0;
    while (bytes.size() - at >= sizeof(rtattr)) {
        const auto attr = Read<rtattr>(bytes.subspan(at));
        if (attr.rta_len < sizeof(rtattr) || attr.rta_len > bytes.size() - at) return;
        visit(attr.rta_type & NLA_TYPE_MASK, bytes.subspan(at + RTA_LENGTH(0), attr.rta_len - RTA_LENGTH(0)));
        at += std::min<std::size_t>(RTA_ALIGN(attr.rta_len), bytes.size() - at);
    }
}

// rtnl_link_stats and rtnl_link_stats64 name their fields alike.
template <typename Stats>
netlink::LinkCounters Counters(const Stats& s) {
    return {.rxPackets = s.rx_packets, .txPackets = s.tx_packets, .rxBytes = s.rx_bytes, .txBytes = s.tx_bytes,
            .rxErrors = s.rx_errors, .txErrors = s.tx_errors, .rxDropped = s.rx_dropped, .txDropped = s.tx_dropped,
            .multicast = s.multicast, .rxMissed = s.rx_missed_errors, .rxNoHandler = s.rx_nohandler};
}

std::string ReadSmallFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return {};
    char text[32];
    ssize_t n;
    do n = ::read(fd, text, sizeof text); while (n < 0 && errno == EINTR);
    ::close(fd);
    return n > 0 ? std::string(text, static_cast<std::size_t>(n)) : std::string();
}

bool Exists(const std::string& path) { return ::access(path.c_str(), F_OK) == 0; }

// The kernel already refuses such names; the check keeps a path built from one inside sysfs.
bool UsableInPath(const std::string& name) {
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

}  // namespace

std::uint32_t netlink::IfTypeFromArphrd(std::uint16_t arphrd, bool wireless) noexcept {
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

IfOperStatus netlink::IfOperFromLinux(std::uint8_t operstate) noexcept {
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

std::uint32_t netlink::SpeedFromSysfs(std::string_view text) noexcept {
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
    std::int64_t mbits = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), mbits);
    if (error != std::errc() || end != text.data() + text.size() || mbits <= 0) return 0;
    constexpr std::uint32_t kMax = std::numeric_limits<std::uint32_t>::max();
    if (mbits > kMax / 1'000'000) return kMax;
    return static_cast<std::uint32_t>(mbits * 1'000'000);
}

std::optional<netlink::LinkMessage> netlink::ParseLinkMessage(std::span<const std::uint8_t> message) {
    const auto attributes = Attributes(message, RTM_NEWLINK, sizeof(ifinfomsg));
    if (!attributes) return std::nullopt;
    const auto info = Read<ifinfomsg>(message.subspan(NLMSG_HDRLEN));
    LinkMessage link;
    link.index = info.ifi_index;
    link.arphrd = info.ifi_type;
    link.flags = info.ifi_flags;
    link.operstate = IF_OPER_UNKNOWN;
    std::optional<rtnl_link_stats64> stats64;
    std::optional<rtnl_link_stats> stats32;
    ForEachAttribute(*attributes, [&](unsigned type, std::span<const std::uint8_t> payload) {
        switch (type) {
            case IFLA_IFNAME: {
                const std::string_view text(reinterpret_cast<const char*>(payload.data()), payload.size());
                link.name.assign(text.substr(0, text.find('\0')));
                break;
            }
            case IFLA_MTU:
                if (payload.size() >= 4) link.mtu = Read<std::uint32_t>(payload);
                break;
            case IFLA_ADDRESS: link.address.assign(payload.begin(), payload.end()); break;
            case IFLA_OPERSTATE:
                if (!payload.empty()) link.operstate = payload[0];
                break;
            // Shorter structs come from older kernels: the fields they lack read as zero.
            case IFLA_STATS64: stats64 = Read<rtnl_link_stats64>(payload); break;
            case IFLA_STATS: stats32 = Read<rtnl_link_stats>(payload); break;
            default: break;
        }
    });
    if (stats64) link.counters = Counters(*stats64);
    else if (stats32) link.counters = Counters(*stats32);
    return link;
}

std::optional<netlink::StatsMessage> netlink::ParseStatsMessage(std::span<const std::uint8_t> message) {
    const auto attributes = Attributes(message, RTM_NEWSTATS, sizeof(if_stats_msg));
    if (!attributes) return std::nullopt;
    const auto index = static_cast<std::int32_t>(Read<if_stats_msg>(message.subspan(NLMSG_HDRLEN)).ifindex);
    std::optional<StatsMessage> stats;
    ForEachAttribute(*attributes, [&](unsigned type, std::span<const std::uint8_t> payload) {
        if (type == IFLA_STATS_LINK_64) stats = StatsMessage{index, Counters(Read<rtnl_link_stats64>(payload))};
    });
    return stats;
}

void netlink::FillRow(const LinkMessage& link, const SysfsFacts& sysfs, IfRowFields& row) {
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

void netlink::FillCounters(const LinkCounters& c, IfRowFields& row) {
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

NetlinkTableSource::NetlinkTableSource(NetlinkTableSourceOptions options)
    : m_options(std::move(options)), m_receive(m_options.receiveBuffer) {
    OpenSocket();
}

NetlinkTableSource::~NetlinkTableSource() { CloseSocket(); }

std::uint32_t NetlinkTableSource::GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) {
    if (size == nullptr) return kInvalidParameter;
    const std::uint32_t capacity = table != nullptr ? *size : 0;
    const bool useKept = KeptTableServes(capacity, sorted);
    m_kept = false;
    if (!useKept) {
        const std::uint32_t status = Refresh(sorted);
        if (status != kNoError) return status;
    }
    *size = static_cast<std::uint32_t>(m_table.size());
    if (capacity < m_table.size()) {
        // The caller comes back at once with a buffer of this size: keep the table it will get, so
        // one tick costs one read and a link that appears in between cannot make the fill too small.
        m_kept = true;
        m_keptSorted = sorted;
        m_keptAt = std::chrono::steady_clock::now();
        return kInsufficientBuffer;
    }
    std::memcpy(table, m_table.data(), m_table.size());
    return kNoError;
}

std::u16string NetlinkTableSource::DecodeDescription(std::string_view bytes) const {
    // Link names are UTF-8 bytes, the code page of a Linux desktop.
    return Utf8ToUtf16(bytes);
}

bool NetlinkTableSource::KeptTableServes(std::uint32_t capacity, bool sorted) const {
    return m_kept && m_keptSorted == sorted && capacity >= m_table.size() &&
           std::chrono::steady_clock::now() - m_keptAt < kKeptTableLifetime;
}

std::uint32_t NetlinkTableSource::Refresh(bool sorted) {
    if (m_fd < 0 && !OpenSocket()) return kNotSupported;
    if (!RefreshCounters() && !DumpLinks()) return kGenFailure;
    WriteTable(sorted);
    return kNoError;
}

// Counters alone, while nothing else about the links can have changed since the last link dump.
bool NetlinkTableSource::RefreshCounters() {
    if (!m_options.countersOnlyReads || !m_notified || !m_linksKnown || m_linksChanged) return false;
    m_countersTaken = 0;
    const Receive result = Exchange(RTM_GETSTATS);
    if (result == Receive::kRejected) m_options.countersOnlyReads = false;  // a kernel before 4.7
    // Notifications read along with the reply, and links come or gone, call for a link dump.
    return result == Receive::kOk && m_countersTaken == m_rowCount && !m_linksChanged;
}

bool NetlinkTableSource::DumpLinks() {
    m_linksKnown = false;
    for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
        // A socket that opened before shows the system has the table; failing now is passing trouble.
        if (m_fd < 0 && !OpenSocket()) return false;
        m_rowCount = 0;
        m_linksChanged = false;
        for (SysfsEntry& entry : m_sysfs) entry.seen = false;
        if (Exchange(RTM_GETLINK) == Receive::kOk) {
            std::erase_if(m_sysfs, [](const SysfsEntry& e) { return !e.seen; });
            m_linksKnown = true;
            return true;
        }
    }
    return false;
}

bool NetlinkTableSource::OpenSocket() {
    m_fd = ::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE);
    if (m_fd < 0) return false;
    // The kernel answers at once; the timeout only keeps a broken one from freezing the tick.
    const timeval timeout{1, 0};
    ::setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    sockaddr_nl local{};
    local.nl_family = AF_NETLINK;
    local.nl_groups = RTMGRP_LINK;
    m_notified = ::bind(m_fd, reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0;
    m_linksChanged = true;  // nobody listened while there was no socket
    return true;
}

void NetlinkTableSource::CloseSocket() noexcept {
    if (m_fd >= 0) ::close(m_fd);
    m_fd = -1;
}

NetlinkTableSource::Receive NetlinkTableSource::Exchange(std::uint16_t request) {
    const Receive result = SendRequest(request) ? ReceiveDump() : Receive::kFailed;
    // The kernel keeps an unfinished dump running and refuses a new one on that socket.
    if (result == Receive::kTruncated || result == Receive::kFailed) CloseSocket();
    return result;
}

bool NetlinkTableSource::SendRequest(std::uint16_t request) {
    std::array<std::uint8_t, NLMSG_LENGTH(sizeof(ifinfomsg))> bytes{};  // room for either body
    nlmsghdr header{};
    header.nlmsg_type = request;
    header.nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    header.nlmsg_seq = ++m_seq;
    if (request == RTM_GETSTATS) {
        if_stats_msg body{};
        body.filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
        header.nlmsg_len = NLMSG_LENGTH(sizeof body);
        std::memcpy(bytes.data() + NLMSG_HDRLEN, &body, sizeof body);
    } else {
        header.nlmsg_len = NLMSG_LENGTH(sizeof(ifinfomsg));  // family AF_UNSPEC: every link
    }
    std::memcpy(bytes.data(), &header, sizeof header);
    sockaddr_nl kernel{};
    kernel.nl_family = AF_NETLINK;
    ssize_t sent;
    do {
        sent = ::sendto(m_fd, bytes.data(), header.nlmsg_len, 0, reinterpret_cast<const sockaddr*>(&kernel),
                        sizeof kernel);
    } while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(header.nlmsg_len);
}

NetlinkTableSource::Receive NetlinkTableSource::ReceiveDump() {
    bool done = false;
    bool interrupted = false;
    while (!done) {
        const Receive result = ReceiveDatagram(done, interrupted);
        if (result != Receive::kOk) return result;
    }
    return interrupted ? Receive::kInterrupted : Receive::kOk;
}

NetlinkTableSource::Receive NetlinkTableSource::ReceiveDatagram(bool& done, bool& interrupted) {
    sockaddr_nl sender{};
    int flags = 0;
    const ssize_t n = ReceiveInto(sender, flags);
    if (n < 0) return Receive::kFailed;
    if (sender.nl_groups != 0) {  // a link notification, not part of the reply
        m_linksChanged = true;
        return Receive::kOk;
    }
    const auto length = static_cast<std::size_t>(n);
    if ((flags & MSG_TRUNC) != 0 || length > m_receive.size()) {
        if (length > kMaxReceiveBuffer) return Receive::kFailed;
        m_receive.resize(std::clamp(2 * m_receive.size(), length, kMaxReceiveBuffer));
        return Receive::kTruncated;
    }
    if (sender.nl_pid != 0) return Receive::kOk;  // only the kernel speaks for the link table
    return TakeMessages({m_receive.data(), length}, done, interrupted);
}

// One datagram into m_receive; its full length even when it did not fit, as MSG_TRUNC makes netlink answer.
ssize_t NetlinkTableSource::ReceiveInto(sockaddr_nl& sender, int& flags) {
    iovec part{m_receive.data(), m_receive.size()};
    msghdr header{};
    header.msg_name = &sender;
    header.msg_namelen = sizeof sender;
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    ssize_t n;
    while ((n = ::recvmsg(m_fd, &header, MSG_TRUNC)) < 0) {
        if (errno == ENOBUFS) m_linksChanged = true;  // notifications were dropped; the reply is still queued
        else if (errno != EINTR) break;
    }
    flags = header.msg_flags;
    return n;
}

NetlinkTableSource::Receive NetlinkTableSource::TakeMessages(std::span<const std::uint8_t> datagram, bool& done,
                                                             bool& interrupted) {
    while (!datagram.empty() && !done) {
        const std::size_t size = datagram.size() >= sizeof(nlmsghdr) ? Read<nlmsghdr>(datagram).nlmsg_len : 0;
        if (size < sizeof(nlmsghdr) || size > datagram.size()) return Receive::kFailed;
        const Receive result = TakeMessage(datagram.first(size), done, interrupted);
        if (result != Receive::kOk) return result;
        datagram = datagram.subspan(std::min<std::size_t>(NLMSG_ALIGN(size), datagram.size()));
    }
    return Receive::kOk;
}

NetlinkTableSource::Receive NetlinkTableSource::TakeMessage(std::span<const std::uint8_t> message, bool& done,
                                                            bool& interrupted) {
    const auto header = Read<nlmsghdr>(message);
    if (header.nlmsg_seq != m_seq) return Receive::kOk;  // left over from a request given up on
    if ((header.nlmsg_flags & NLM_F_DUMP_INTR) != 0) interrupted = true;
    if ((header.nlmsg_flags & NLM_F_MULTI) == 0) done = true;  // a single-part reply
    switch (header.nlmsg_type) {
        case NLMSG_DONE: done = true; return Receive::kOk;
        case NLMSG_ERROR:
            done = true;
            if (message.size() < NLMSG_LENGTH(sizeof(int))) return Receive::kFailed;
            // An error code of 0 is an acknowledgement, which ends the reply like NLMSG_DONE.
            return Read<nlmsgerr>(message.subspan(NLMSG_HDRLEN)).error == 0 ? Receive::kOk : Receive::kRejected;
        case NLMSG_OVERRUN: return Receive::kFailed;
        case RTM_NEWLINK: return TakeLink(message);
        case RTM_NEWSTATS: return TakeStats(message);
        default: return Receive::kOk;
    }
}

NetlinkTableSource::Receive NetlinkTableSource::TakeLink(std::span<const std::uint8_t> message) {
    const std::optional<netlink::LinkMessage> link = netlink::ParseLinkMessage(message);
    if (!link) return Receive::kFailed;
    if (m_rowCount == m_rows.size()) m_rows.emplace_back();
    netlink::FillRow(*link, Sysfs(*link), m_rows[m_rowCount++]);
    return Receive::kOk;
}

// Counters come in the order of the link dump's rows; the search covers any other order.
NetlinkTableSource::Receive NetlinkTableSource::TakeStats(std::span<const std::uint8_t> message) {
    const std::optional<netlink::StatsMessage> stats = netlink::ParseStatsMessage(message);
    if (!stats) return Receive::kFailed;
    const auto rows = std::span(m_rows).first(m_rowCount);
    const auto index = static_cast<std::uint32_t>(stats->index);
    auto row = m_countersTaken < rows.size() && rows[m_countersTaken].index == index
                   ? rows.begin() + static_cast<std::ptrdiff_t>(m_countersTaken)
                   : std::find_if(rows.begin(), rows.end(), [&](const IfRowFields& r) { return r.index == index; });
    if (row == rows.end()) {
        m_linksChanged = true;  // a link the last link dump did not see
        return Receive::kOk;
    }
    netlink::FillCounters(stats->counters, *row);
    ++m_countersTaken;
    return Receive::kOk;
}

// Reading sysfs takes several system calls per link, more than the counters cost, and what it says
// about a link (its speed above all) changes only with the link's identity or state.
const netlink::SysfsFacts& NetlinkTableSource::Sysfs(const netlink::LinkMessage& link) {
    auto it = std::find_if(m_sysfs.begin(), m_sysfs.end(), [&](const SysfsEntry& e) { return e.index == link.index; });
    if (it == m_sysfs.end()) {
        it = m_sysfs.emplace(m_sysfs.end());
    } else if (it->operstate == link.operstate && it->arphrd == link.arphrd && it->name == link.name) {
        it->seen = true;
        return it->facts;
    }
    it->index = link.index;
    it->operstate = link.operstate;
    it->arphrd = link.arphrd;
    it->name = link.name;
    it->seen = true;
    it->facts = {};
    if (!UsableInPath(link.name)) return it->facts;
    const std::string dir = m_options.sysfsNet + '/' + link.name + '/';
    it->facts.wireless = link.arphrd == ARPHRD_ETHER && (Exists(dir + "wireless") || Exists(dir + "phy80211"));
    it->facts.hardware = Exists(dir + "device");
    it->facts.speed = netlink::SpeedFromSysfs(ReadSmallFile(dir + "speed"));
    return it->facts;
}

void NetlinkTableSource::WriteTable(bool sorted) {
    m_order.resize(m_rowCount);
    std::iota(m_order.begin(), m_order.end(), std::size_t{0});
    if (sorted) {
        std::sort(m_order.begin(), m_order.end(),
                  [this](std::size_t a, std::size_t b) { return m_rows[a].index < m_rows[b].index; });
    }
    WriteIfTable(m_table, std::span(m_rows).first(m_rowCount), m_order);
}

std::unique_ptr<TableSource> MakeSystemTableSource() { return std::make_unique<NetlinkTableSource>(); }

}  // namespace tg
