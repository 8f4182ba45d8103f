#pragma once
// The Linux interface table, read over rtnetlink and written into the same rows the Windows table
// call fills, so the portable reader never knows which system it runs on. The rows' extras block
// follows them, saying which links have a device behind them (what automatic counting sums).
//
// A link dump (RTM_GETLINK) costs the kernel several microseconds per link, most of it attributes
// the table never shows, so it is repeated only when the links may have changed: the socket listens
// to the kernel's link notifications, and reads in between fetch just the counters (RTM_GETSTATS).
#include <sys/types.h>

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "counters/IfTableLayout.h"
#include "counters/IfTableWriter.h"
#include "platform/ports/TableSource.h"

struct sockaddr_nl;

namespace tg {

namespace netlink {

// The table's type code for a link's ARPHRD_* hardware type. Linux reports Wi-Fi links as
// Ethernet, so whether the link is wireless comes from sysfs.
std::uint32_t IfTypeFromArphrd(std::uint16_t arphrd, bool wireless) noexcept;

// Linux's IF_OPER_* (IFLA_OPERSTATE) in RFC 2863 numbering; values Linux may add later are unknown.
iftable::IfOperStatus IfOperFromLinux(std::uint8_t operstate) noexcept;

// bit/s from the text of /sys/class/net/<name>/speed (Mbit/s, "-1" when there is no link),
// clamped to 32 bits; anything unreadable is 0.
std::uint32_t SpeedFromSysfs(std::string_view text) noexcept;

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
    std::string name;
    std::uint32_t mtu = 0;
    std::vector<std::uint8_t> address;
    std::uint8_t operstate = 0;  // IF_OPER_UNKNOWN when the attribute is missing
    LinkCounters counters;       // IFLA_STATS64, or widened from IFLA_STATS
};

// What one RTM_NEWSTATS message says: a link's index and its 64-bit counters.
struct StatsMessage {
    std::int32_t index = 0;
    LinkCounters counters;
};

// Each reads one whole netlink message (header included). Attributes that do not lie completely
// inside the message are ignored; nullopt when the message is of another kind or too short.
std::optional<LinkMessage> ParseLinkMessage(std::span<const std::uint8_t> message);
std::optional<StatsMessage> ParseStatsMessage(std::span<const std::uint8_t> message);

// What sysfs says about a link that its link message does not.
struct SysfsFacts {
    bool wireless = false;
    bool hardware = false;  // a device stands behind it: its sysfs folder has a "device" entry
    std::uint32_t speed = 0;
};

// The row a link gets, given what sysfs said about it.
void FillRow(const LinkMessage& link, const SysfsFacts& sysfs, IfRowFields& row);
void FillCounters(const LinkCounters& counters, IfRowFields& row);

}  // namespace netlink

struct NetlinkTableSourceOptions {
    std::string sysfsNet = "/sys/class/net";
    std::size_t receiveBuffer = 32 * 1024;  // grown when the kernel sends a larger datagram
    bool countersOnlyReads = true;          // false: every read is a full link dump
};

// Not thread-safe: one reader (the timer tick) owns it.
class NetlinkTableSource final : public TableSource {
 public:
    static constexpr std::uint32_t kGenFailure = 31;        // a dump failed; the next read retries
    static constexpr std::uint32_t kInvalidParameter = 87;  // no size pointer

    explicit NetlinkTableSource(NetlinkTableSourceOptions options = {});
    ~NetlinkTableSource() override;
    NetlinkTableSource(const NetlinkTableSource&) = delete;
    NetlinkTableSource& operator=(const NetlinkTableSource&) = delete;

    std::uint32_t GetIfTable(std::uint8_t* table, std::uint32_t* size, bool sorted) override;

    // Descriptions are interface names, and the system's byte encoding is UTF-8.
    std::u16string DecodeDescription(std::string_view bytes) const override;

 private:
    // kOk: that much of the reply was read and taken; kRejected: the kernel answered with an error.
    enum class Receive { kOk, kInterrupted, kTruncated, kRejected, kFailed };

    // What sysfs said about a link; read again only when the link's identity or state changes.
    struct SysfsEntry {
        std::int32_t index = 0;
        std::uint8_t operstate = 0;
        std::uint16_t arphrd = 0;
        std::string name;
        netlink::SysfsFacts facts;
        bool seen = false;
    };

    std::uint32_t Refresh(bool sorted);
    bool RefreshCounters();
    bool DumpLinks();
    bool OpenSocket();
    void CloseSocket() noexcept;
    Receive Exchange(std::uint16_t request);
    bool SendRequest(std::uint16_t request);
    Receive ReceiveDump();
    Receive ReceiveDatagram(bool& done, bool& interrupted);
    ssize_t ReceiveInto(sockaddr_nl& sender, int& flags);
    Receive TakeMessages(std::span<const std::uint8_t> datagram, bool& done, bool& interrupted);
    Receive TakeMessage(std::span<const std::uint8_t> message, bool& done, bool& interrupted);
    Receive TakeLink(std::span<const std::uint8_t> message);
    Receive TakeStats(std::span<const std::uint8_t> message);
    const netlink::SysfsFacts& Sysfs(const netlink::LinkMessage& link);
    void WriteTable(bool sorted);
    bool KeptTableServes(std::uint32_t capacity, bool sorted) const;

    NetlinkTableSourceOptions m_options;
    int m_fd = -1;
    bool m_notified = false;  // the socket hears of link changes
    std::uint32_t m_seq = 0;
    std::vector<std::uint8_t> m_receive;

    // The rows of the last link dump; only the first m_rowCount are current, the rest keep their
    // storage for the next dump.
    std::vector<IfRowFields> m_rows;
    std::size_t m_rowCount = 0;
    bool m_linksKnown = false;    // m_rows hold a complete link dump
    bool m_linksChanged = false;  // since that dump
    std::size_t m_countersTaken = 0;
    std::vector<SysfsEntry> m_sysfs;

    std::vector<std::size_t> m_order;
    std::vector<std::uint8_t> m_table;
    // A size query keeps its table for the fill that follows it.
    bool m_kept = false;
    bool m_keptSorted = false;
    std::chrono::steady_clock::time_point m_keptAt;
};

}  // namespace tg
