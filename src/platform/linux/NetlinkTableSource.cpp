#include "platform/linux/NetlinkTableSource.h"

#include <libmnl/libmnl.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <sys/socket.h>
#include <sys/time.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <span>

#include "common/Text.h"
#include "ports/SystemTableSource.h"

namespace tg {

namespace {

// A link dump is repeated when the link list changed under it or a datagram did not fit.
constexpr int kDumpAttempts = 3;
constexpr std::size_t kMaxReceiveBuffer = 1 << 20;

// What one reply hands over, and how it ended.
struct ReplyState {
    netlink::LinkRows& rows;
    netlink::SysfsFactsCache& sysfs;
    bool rejected = false;     // the kernel answered with an error
    bool unknownLink = false;  // counters of a link the last link dump did not see
};

int TakeData(const nlmsghdr* header, void* data) {
    auto& reply = *static_cast<ReplyState*>(data);
    const std::span message(reinterpret_cast<const std::uint8_t*>(header), header->nlmsg_len);
    if (header->nlmsg_type == RTM_NEWLINK) {
        const std::optional<netlink::LinkMessage> link = netlink::ParseLinkMessage(message);
        if (!link) return MNL_CB_ERROR;
        reply.rows.Add(*link, reply.sysfs.Facts(*link));
    } else if (header->nlmsg_type == RTM_NEWSTATS) {
        const std::optional<netlink::StatsMessage> stats = netlink::ParseStatsMessage(message);
        if (!stats) return MNL_CB_ERROR;
        if (!reply.rows.TakeCounters(*stats)) reply.unknownLink = true;
    }
    return (header->nlmsg_flags & NLM_F_MULTI) != 0 ? MNL_CB_OK : MNL_CB_STOP;  // a single-part reply ends here
}

int TakeError(const nlmsghdr* header, void* data) {
    if (mnl_nlmsg_get_payload_len(header) < sizeof(nlmsgerr)) return MNL_CB_ERROR;
    // An error code of 0 is an acknowledgement, which ends the reply like NLMSG_DONE.
    if (static_cast<const nlmsgerr*>(mnl_nlmsg_get_payload(header))->error == 0) return MNL_CB_STOP;
    static_cast<ReplyState*>(data)->rejected = true;
    return MNL_CB_ERROR;
}

int EndReply(const nlmsghdr* /*header*/, void* /*data*/) { return MNL_CB_STOP; }
int FailReply(const nlmsghdr* /*header*/, void* /*data*/) { return MNL_CB_ERROR; }

// For the control messages: libmnl leaves any type without a callback here unanswered.
mnl_cb_t* ControlCallbacks() {
    static std::array<mnl_cb_t, NLMSG_MIN_TYPE> callbacks = [] {
        std::array<mnl_cb_t, NLMSG_MIN_TYPE> c{};
        c[NLMSG_ERROR] = TakeError;
        c[NLMSG_DONE] = EndReply;
        c[NLMSG_OVERRUN] = FailReply;
        return c;
    }();
    return callbacks.data();
}

}  // namespace

void NetlinkTableSource::SocketClose::operator()(mnl_socket* socket) const noexcept { mnl_socket_close(socket); }

NetlinkTableSource::NetlinkTableSource(NetlinkTableSourceOptions options)
    : m_options(std::move(options)), m_receive(m_options.receiveBuffer), m_sysfs(m_options.sysfsNet) {
    OpenSocket();
}

NetlinkTableSource::NetlinkTableSource(Clock& clock, NetlinkTableSourceOptions options)
    : KeptTableSource(clock),
      m_options(std::move(options)),
      m_receive(m_options.receiveBuffer),
      m_sysfs(m_options.sysfsNet) {
    OpenSocket();
}

NetlinkTableSource::~NetlinkTableSource() = default;

std::u16string NetlinkTableSource::DecodeDescription(std::string_view bytes) const {
    // Link names are UTF-8 bytes, the code page of a Linux desktop.
    return Utf8ToUtf16(bytes);
}

std::uint32_t NetlinkTableSource::ReadTable(std::vector<std::uint8_t>& table, bool sorted) {
    if (!m_socket && !OpenSocket()) return kNotSupported;
    if (!RefreshCounters() && !DumpLinks()) return kGenFailure;
    m_rows.Write(table, sorted);
    return kNoError;
}

// Counters alone, while nothing else about the links can have changed since the last link dump.
bool NetlinkTableSource::RefreshCounters() {
    if (!m_options.countersOnlyReads || !m_notified || !m_linksKnown || m_linksChanged) return false;
    m_rows.StartCounters();
    const Reply result = Exchange(RTM_GETSTATS);
    if (result == Reply::kRejected) m_options.countersOnlyReads = false;  // a kernel before 4.7
    // Notifications read along with the reply, and links come or gone, call for a link dump.
    return result == Reply::kTaken && m_rows.AllCountersTaken() && !m_linksChanged;
}

bool NetlinkTableSource::DumpLinks() {
    m_linksKnown = false;
    for (int attempt = 0; attempt < kDumpAttempts; ++attempt) {
        // A socket that opened before shows the system has the table; failing now is passing trouble.
        if (!m_socket && !OpenSocket()) return false;
        m_rows.StartDump();
        m_sysfs.StartDump();
        m_linksChanged = false;
        if (Exchange(RTM_GETLINK) == Reply::kTaken) {
            m_sysfs.EndDump();
            m_linksKnown = true;
            return true;
        }
    }
    return false;
}

bool NetlinkTableSource::OpenSocket() {
    m_socket.reset(mnl_socket_open2(NETLINK_ROUTE, SOCK_CLOEXEC));
    if (!m_socket) return false;
    // The kernel answers at once; the timeout only keeps a broken one from freezing the tick.
    const timeval timeout{1, 0};
    ::setsockopt(mnl_socket_get_fd(m_socket.get()), SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    m_notified = mnl_socket_bind(m_socket.get(), RTMGRP_LINK, MNL_SOCKET_AUTOPID) == 0;
    m_linksChanged = true;  // nobody listened while there was no socket
    return true;
}

NetlinkTableSource::Reply NetlinkTableSource::Exchange(std::uint16_t request) {
    const Reply result = SendRequest(request) ? ReceiveReply() : Reply::kFailed;
    if (result == Reply::kFailed) m_socket.reset();
    return result;
}

bool NetlinkTableSource::SendRequest(std::uint16_t request) {
    alignas(nlmsghdr) std::array<std::uint8_t, MNL_NLMSG_HDRLEN + MNL_ALIGN(sizeof(ifinfomsg))> bytes{};
    nlmsghdr* header = mnl_nlmsg_put_header(bytes.data());
    header->nlmsg_type = request;
    header->nlmsg_flags = NLM_F_REQUEST | NLM_F_DUMP;
    header->nlmsg_seq = ++m_seq;
    if (request == RTM_GETSTATS) {
        auto* body = static_cast<if_stats_msg*>(mnl_nlmsg_put_extra_header(header, sizeof(if_stats_msg)));
        body->filter_mask = IFLA_STATS_FILTER_BIT(IFLA_STATS_LINK_64);
    } else {
        mnl_nlmsg_put_extra_header(header, sizeof(ifinfomsg));  // family AF_UNSPEC: every link
    }
    ssize_t sent = 0;
    do sent = mnl_socket_sendto(m_socket.get(), header, header->nlmsg_len); while (sent < 0 && errno == EINTR);
    return sent == static_cast<ssize_t>(header->nlmsg_len);
}

NetlinkTableSource::Reply NetlinkTableSource::ReceiveReply() {
    ReplyState reply{m_rows, m_sysfs};
    for (;;) {
        sockaddr_nl sender{};
        int flags = 0;
        const ssize_t n = ReceiveInto(sender, flags);
        if (n < 0) return Reply::kFailed;
        if (sender.nl_groups != 0) {  // a link notification, not part of the reply
            m_linksChanged = true;
            continue;
        }
        const auto length = static_cast<std::size_t>(n);
        if ((flags & MSG_TRUNC) != 0 || length > m_receive.size()) {
            // Asked again, with room for it.
            if (length <= kMaxReceiveBuffer) m_receive.resize(std::clamp(2 * m_receive.size(), length, kMaxReceiveBuffer));
            return Reply::kFailed;
        }
        if (sender.nl_pid != 0) continue;  // only the kernel speaks for the link table
        // A dump the link list changed under (NLM_F_DUMP_INTR) fails here too, and is asked again.
        const int result = mnl_cb_run2(m_receive.data(), length, m_seq, 0, TakeData, &reply, ControlCallbacks(), NLMSG_MIN_TYPE);
        if (reply.unknownLink) m_linksChanged = true;
        if (result == MNL_CB_STOP) return Reply::kTaken;
        if (result == MNL_CB_ERROR) return reply.rejected ? Reply::kRejected : Reply::kFailed;
    }
}

// One datagram into m_receive; its full length even when it did not fit, as MSG_TRUNC makes netlink
// answer. The sender tells notifications from the reply, which libmnl's receive would not say.
ssize_t NetlinkTableSource::ReceiveInto(sockaddr_nl& sender, int& flags) {
    iovec part{m_receive.data(), m_receive.size()};
    msghdr header{};
    header.msg_name = &sender;
    header.msg_namelen = sizeof sender;
    header.msg_iov = &part;
    header.msg_iovlen = 1;
    ssize_t n = 0;
    while ((n = ::recvmsg(mnl_socket_get_fd(m_socket.get()), &header, MSG_TRUNC)) < 0) {
        if (errno == ENOBUFS)
            m_linksChanged = true;  // notifications were dropped; the reply is still queued
        else if (errno != EINTR)
            break;
    }
    flags = header.msg_flags;
    return n;
}

std::unique_ptr<TableSource> MakeSystemTableSource() { return std::make_unique<NetlinkTableSource>(); }

}  // namespace tg
