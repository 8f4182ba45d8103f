#pragma once
// The Linux interface table, read over rtnetlink and written into the same rows the Windows table
// call fills, so the portable reader never knows which system it runs on.
//
// A link dump (RTM_GETLINK) costs the kernel several microseconds per link, most of it attributes
// the table never shows, so it is repeated only when the links may have changed: the socket listens
// to the kernel's link notifications, and reads in between fetch just the counters (RTM_GETSTATS).
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "counters/KeptTableSource.h"
#include "platform/linux/LinkRows.h"
#include "platform/linux/SysfsFactsCache.h"
#include "ports/Clock.h"

struct mnl_socket;
struct sockaddr_nl;

namespace tg {

struct NetlinkTableSourceOptions {
    std::string sysfsNet = "/sys/class/net";
    std::size_t receiveBuffer = std::size_t{32} * 1024;  // grown when the kernel sends a larger datagram
    bool countersOnlyReads = true;          // false: every read is a full link dump
};

// Not thread-safe: one reader (the timer tick) owns it.
class NetlinkTableSource final : public KeptTableSource {
 public:
    static constexpr std::uint32_t kGenFailure = 31;  // a dump failed; the next read retries

    explicit NetlinkTableSource(NetlinkTableSourceOptions options = {});
    NetlinkTableSource(Clock& clock, NetlinkTableSourceOptions options = {});
    ~NetlinkTableSource() override;
    NetlinkTableSource(const NetlinkTableSource&) = delete;
    NetlinkTableSource& operator=(const NetlinkTableSource&) = delete;

    // Descriptions are interface names, and the system's byte encoding is UTF-8.
    std::u16string DecodeDescription(std::string_view bytes) const override;

 private:
    // kFailed leaves the socket closed: what was left of the reply would answer the next request.
    enum class Reply { kTaken, kRejected, kFailed };

    struct SocketClose {
        void operator()(mnl_socket* socket) const noexcept;
    };

    std::uint32_t ReadTable(std::vector<std::uint8_t>& table, bool sorted) override;
    bool RefreshCounters();
    bool DumpLinks();
    bool OpenSocket();
    Reply Exchange(std::uint16_t request);
    bool SendRequest(std::uint16_t request);
    Reply ReceiveReply();
    ssize_t ReceiveInto(sockaddr_nl& sender, int& flags);

    NetlinkTableSourceOptions m_options;
    std::unique_ptr<mnl_socket, SocketClose> m_socket;
    bool m_notified = false;  // the socket hears of link changes
    std::uint32_t m_seq = 0;
    std::vector<std::uint8_t> m_receive;

    netlink::LinkRows m_rows;
    netlink::SysfsFactsCache m_sysfs;
    bool m_linksKnown = false;    // m_rows hold a complete link dump
    bool m_linksChanged = false;  // since that dump
};

}  // namespace tg
