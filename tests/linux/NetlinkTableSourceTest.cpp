#include "platform/linux/NetlinkTableSource.h"

#include <gtest/gtest.h>
#include <linux/if.h>
#include <fcntl.h>
#include <linux/if_arp.h>
#include <linux/if_tun.h>
#include <linux/rtnetlink.h>
#include <netinet/in.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>
#include <arpa/inet.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <thread>

#include "common/Wrap32.h"
#include "counters/CIpUpdate.h"
#include "counters/IfTableParser.h"
#include "counters/UnsupportedNotice.h"
#include "ports/Clock.h"
#include "ports/MessageDialog.h"

namespace tg {
namespace {

using namespace iftable;
using netlink::LinkMessage;

constexpr std::uint32_t kMax32 = 0xFFFFFFFFu;

// ---- Linux codes into table codes -------------------------------------------------------------

TEST(NetlinkCodes, HardwareTypes) {
    struct Case { std::uint16_t arphrd; bool wireless; std::uint32_t type; };
    const Case cases[] = {
        {ARPHRD_LOOPBACK, false, kIfTypeSoftwareLoopback}, {ARPHRD_ETHER, false, kIfTypeEthernet},
        {ARPHRD_ETHER, true, kIfTypeWireless},             {ARPHRD_PPP, false, kIfTypePpp},
        {ARPHRD_TUNNEL, false, kIfTypeTunnel},             {ARPHRD_TUNNEL6, false, kIfTypeTunnel},
        {ARPHRD_SIT, false, kIfTypeTunnel},                {ARPHRD_IPGRE, false, kIfTypeTunnel},
        {ARPHRD_IP6GRE, false, kIfTypeTunnel},             {ARPHRD_NONE, false, kIfTypeTunnel},
        {ARPHRD_INFINIBAND, false, kIfTypeOther},          {ARPHRD_IEEE80211_RADIOTAP, true, kIfTypeOther},
    };
    for (const Case& c : cases)
        EXPECT_EQ(netlink::IfTypeFromArphrd(c.arphrd, c.wireless), c.type) << c.arphrd << " wireless " << c.wireless;
}

TEST(NetlinkCodes, OperStatesInRfc2863Numbering) {
    const std::pair<std::uint8_t, IfOperStatus> cases[] = {
        {IF_OPER_UNKNOWN, kIfOperUnknown}, {IF_OPER_NOTPRESENT, kIfOperNotPresent}, {IF_OPER_DOWN, kIfOperDown},
        {IF_OPER_LOWERLAYERDOWN, kIfOperLowerLayerDown}, {IF_OPER_TESTING, kIfOperTesting},
        {IF_OPER_DORMANT, kIfOperDormant}, {IF_OPER_UP, kIfOperUp}, {7, kIfOperUnknown}, {255, kIfOperUnknown},
    };
    for (const auto& [code, rfc] : cases) EXPECT_EQ(netlink::IfOperFromLinux(code), rfc) << int(code);
}

TEST(NetlinkCodes, SysfsSpeedInBitsClampedTo32) {
    const std::pair<const char*, std::uint32_t> cases[] = {
        {"1000\n", 1'000'000'000}, {"10", 10'000'000}, {"4294\n", 4'294'000'000u}, {"4295\n", kMax32},
        {"100000\n", kMax32},      {"-1\n", 0},        {"", 0},                      {"fast\n", 0},
        {"10 Mb\n", 0},            {"99999999999999999999999\n", 0},
    };
    for (const auto& [text, bits] : cases) EXPECT_EQ(netlink::SpeedFromSysfs(text), bits) << text;
}

// ---- One link message, built by hand ----------------------------------------------------------

class Message {
 public:
    template <typename Fixed>
    Message(std::uint16_t type, const Fixed& fixed) : m_bytes(NLMSG_LENGTH(sizeof(Fixed))) {
        nlmsghdr header{};
        header.nlmsg_type = type;
        std::memcpy(m_bytes.data(), &header, sizeof header);
        std::memcpy(m_bytes.data() + NLMSG_HDRLEN, &fixed, sizeof fixed);
    }
    Message(std::uint16_t type, std::uint16_t arphrd, std::uint32_t flags) : Message(type, Info(arphrd, flags)) {}
    template <typename T>
    Message& Add(std::uint16_t type, const T& value, std::size_t size = sizeof(T)) {
        const rtattr attr{static_cast<unsigned short>(RTA_LENGTH(size)), type};
        m_bytes.resize(NLMSG_ALIGN(m_bytes.size()));
        const std::size_t at = m_bytes.size();
        m_bytes.resize(at + RTA_LENGTH(size));
        std::memcpy(m_bytes.data() + at, &attr, sizeof attr);
        std::memcpy(m_bytes.data() + at + RTA_LENGTH(0), &value, size);
        return *this;
    }
    // The exact bytes, so a read past the end is a sanitizer error.
    std::vector<std::uint8_t> Bytes() {
        const auto length = static_cast<std::uint32_t>(m_bytes.size());
        std::memcpy(m_bytes.data(), &length, sizeof length);
        return m_bytes;
    }

 private:
    static ifinfomsg Info(std::uint16_t arphrd, std::uint32_t flags) {
        ifinfomsg info{};
        info.ifi_type = arphrd;
        info.ifi_index = 7;
        info.ifi_flags = flags;
        return info;
    }

    std::vector<std::uint8_t> m_bytes;
};

CInterfacePtr ParsedRow(const LinkMessage& link, const netlink::SysfsFacts& sysfs) {
    IfRowFields row;
    netlink::FillRow(link, sysfs, row);
    CInterfaces rows;
    IfTotals totals;
    ParseIfTable(BuildIfTable({&row, 1}), rows, totals, [](std::string_view b) { return Utf8ToUtf16(b); });
    return rows[1];
}

TEST(NetlinkLinkMessage, SixtyFourBitCountersWinAndLandInTheRightColumns) {
    rtnl_link_stats old{};
    old.rx_bytes = 1;
    rtnl_link_stats64 stats{};
    stats.rx_bytes = 0x1'0000'0005;
    stats.rx_packets = 10, stats.multicast = 3, stats.rx_dropped = 1, stats.rx_missed_errors = 2;
    stats.tx_bytes = 0x2'0000'0009, stats.tx_packets = 4, stats.tx_errors = 6;
    const std::uint8_t mac[6] = {0x02, 0, 0xAB, 1, 2, 3};
    const std::uint8_t up = IF_OPER_UP;
    const auto bytes = Message(RTM_NEWLINK, ARPHRD_ETHER, IFF_UP)
                           .Add(IFLA_IFNAME, "wlan0").Add(IFLA_MTU, 1500u).Add(IFLA_ADDRESS, mac)
                           .Add(IFLA_OPERSTATE, up).Add(IFLA_STATS, old).Add(IFLA_STATS64, stats).Bytes();
    const auto link = netlink::ParseLinkMessage(bytes);
    ASSERT_TRUE(link);
    const CInterfacePtr r = ParsedRow(*link, {.wireless = true, .hardware = true, .speed = 54'000'000});
    EXPECT_EQ(r->InterfaceName(), "wlan0");
    EXPECT_EQ(r->InterfaceDescription(), "wlan0");
    EXPECT_EQ(r->InterfaceIndex(), 7);
    EXPECT_EQ(r->InterfaceType(), kIfTypeWireless);
    EXPECT_EQ(r->MaximumTransmissionUnit(), 1500);
    EXPECT_EQ(r->Speed(), 54'000'000);
    EXPECT_EQ(r->AdapterAddress(), "2-00-AB-1-2-3");
    EXPECT_EQ(r->AdminStatus(), kAdminUp);
    EXPECT_EQ(r->OperationalStatus(), kOperOperational);
    EXPECT_EQ(r->OctetsReceived(), 5);
    EXPECT_EQ(r->UnicastPacketsReceived(), 7);
    EXPECT_EQ(r->NonunicastPacketsReceived(), 3);
    EXPECT_EQ(r->DiscardedIncomingPackets(), 3);
    EXPECT_EQ(r->OctetsSent(), 9);
    EXPECT_EQ(r->UnicastPacketsSent(), 4);
    EXPECT_EQ(r->OutgoingErrors(), 6);
    EXPECT_TRUE(r->HardwareInterface());
    EXPECT_EQ(r->InterfaceAlias(), "");
}

TEST(NetlinkLinkMessage, OldKernelsCountersAndADownLink) {
    rtnl_link_stats old{};
    old.rx_bytes = 11, old.tx_bytes = 22;
    const std::uint8_t down = IF_OPER_DOWN;
    const auto bytes = Message(RTM_NEWLINK, ARPHRD_PPP, 0).Add(IFLA_STATS, old).Add(IFLA_OPERSTATE, down).Bytes();
    const CInterfacePtr r = ParsedRow(*netlink::ParseLinkMessage(bytes), {});
    EXPECT_EQ(r->OctetsReceived(), 11);
    EXPECT_EQ(r->OctetsSent(), 22);
    EXPECT_EQ(r->AdminStatus(), kAdminDown);
    EXPECT_EQ(r->OperationalStatus(), kOperDisconnected);
    EXPECT_FALSE(r->HardwareInterface());
}

TEST(NetlinkLinkMessage, NothingOutsideTheMessageIsRead) {
    auto overlong = Message(RTM_NEWLINK, ARPHRD_ETHER, 0).Add(IFLA_MTU, 9000u).Add(IFLA_IFNAME, "eth0").Bytes();
    overlong[NLMSG_LENGTH(sizeof(ifinfomsg)) + RTA_LENGTH(4)] = 200;  // the name's length now points outside
    const auto link = netlink::ParseLinkMessage(overlong);
    ASSERT_TRUE(link);
    EXPECT_EQ(link->mtu, 9000u);
    EXPECT_EQ(link->name, "");

    auto unterminated = Message(RTM_NEWLINK, ARPHRD_ETHER, 0).Add(IFLA_IFNAME, "abcd", 4).Bytes();
    EXPECT_EQ(netlink::ParseLinkMessage(unterminated)->name, "abcd");

    const auto whole = Message(RTM_NEWLINK, ARPHRD_ETHER, 0).Add(IFLA_MTU, 1u).Bytes();
    EXPECT_FALSE(netlink::ParseLinkMessage(std::span(whole).first(whole.size() - 1)));  // length says more
    EXPECT_FALSE(netlink::ParseLinkMessage(std::span(whole).first(NLMSG_HDRLEN + 4)));
    EXPECT_FALSE(netlink::ParseLinkMessage(Message(RTM_NEWADDR, 0, 0).Bytes()));
}

TEST(NetlinkStatsMessage, TheLinksSixtyFourBitCountersOrNothing) {
    rtnl_link_stats64 stats{};
    stats.rx_bytes = 0x1'0000'0005, stats.tx_packets = 4;
    if_stats_msg link{};
    link.ifindex = 9;
    const auto parsed = netlink::ParseStatsMessage(
        Message(RTM_NEWSTATS, link).Add(IFLA_STATS_LINK_XSTATS, 1u).Add(IFLA_STATS_LINK_64, stats).Bytes());
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->index, 9);
    EXPECT_EQ(parsed->counters.rxBytes, 0x1'0000'0005u);
    EXPECT_EQ(parsed->counters.txPackets, 4u);

    EXPECT_FALSE(netlink::ParseStatsMessage(Message(RTM_NEWSTATS, link).Add(IFLA_STATS_LINK_XSTATS, 1u).Bytes()));
    EXPECT_FALSE(netlink::ParseStatsMessage(Message(RTM_NEWLINK, ARPHRD_ETHER, 0).Add(IFLA_STATS_LINK_64, stats).Bytes()));
}

// Between link dumps the counters arrive by link index; a link the dump did not see has no row.
TEST(NetlinkLinkRows, CountersFindTheirRowsAndTheTableKeepsEitherOrder) {
    netlink::LinkRows rows;
    rows.StartDump();
    for (const std::int32_t index : {3, 1, 2}) rows.Add({.index = index, .name = "l" + std::to_string(index)}, {});
    rows.StartCounters();
    for (const std::int32_t index : {1, 3}) EXPECT_TRUE(rows.TakeCounters({index, {.rxBytes = 100u + index}}));
    EXPECT_FALSE(rows.AllCountersTaken());
    EXPECT_FALSE(rows.TakeCounters({9, {.rxBytes = 1}}));
    EXPECT_TRUE(rows.TakeCounters({2, {.rxBytes = 102}}));
    EXPECT_TRUE(rows.AllCountersTaken());

    for (const bool sorted : {false, true}) {
        std::vector<std::uint8_t> table;
        rows.Write(table, sorted);
        CInterfaces parsed;
        IfTotals totals;
        ParseIfTable(table, parsed, totals, [](std::string_view b) { return Utf8ToUtf16(b); });
        ASSERT_EQ(parsed.Count(), 3);
        const std::int32_t order[2][3] = {{3, 1, 2}, {1, 2, 3}};
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(parsed[i + 1]->InterfaceIndex(), order[sorted][i]) << sorted;
            EXPECT_EQ(parsed[i + 1]->OctetsReceived(), 100 + order[sorted][i]);
        }
    }
    rows.StartDump();
    rows.Add({.index = 5}, {});
    std::vector<std::uint8_t> table;
    rows.Write(table, false);
    EXPECT_EQ(GetU32(table.data()), 1u) << "a new dump replaces the rows";
}

// The facts are read again only when a link's name, hardware type or state changes, or after a
// dump that did not see it.
TEST(NetlinkSysfsFacts, ReadOncePerLinkAndState) {
    namespace fs = std::filesystem;
    const fs::path root = fs::temp_directory_path() / ("tg-sysfs-" + std::to_string(getpid()));
    fs::create_directories(root / "eth0" / "wireless");
    fs::create_directories(root / "eth0" / "device");
    std::ofstream(root / "eth0" / "speed") << "100000\n";
    fs::create_directories(root / "tun0" / "wireless");
    netlink::SysfsFactsCache cache(root.string());
    LinkMessage eth{.index = 2, .arphrd = ARPHRD_ETHER, .name = "eth0", .operstate = IF_OPER_UP};
    const LinkMessage tun{.index = 3, .arphrd = ARPHRD_NONE, .name = "tun0"};
    const LinkMessage outside{.index = 4, .arphrd = ARPHRD_ETHER, .name = ".."};

    cache.StartDump();
    const netlink::SysfsFacts first = cache.Facts(eth);
    const netlink::SysfsFacts tunnel = cache.Facts(tun);
    const netlink::SysfsFacts above = cache.Facts(outside);
    cache.EndDump();
    std::ofstream(root / "eth0" / "speed") << "10\n";
    cache.StartDump();
    const netlink::SysfsFacts same = cache.Facts(eth);
    cache.EndDump();
    eth.operstate = IF_OPER_DOWN;
    const netlink::SysfsFacts changed = cache.Facts(eth);
    std::ofstream(root / "eth0" / "speed") << "100\n";
    cache.StartDump();
    cache.EndDump();
    const netlink::SysfsFacts forgotten = cache.Facts(eth);
    fs::remove_all(root);

    EXPECT_TRUE(first.wireless && first.hardware);
    EXPECT_EQ(first.speed, kMax32);
    EXPECT_FALSE(tunnel.wireless) << "only Ethernet links can be wireless";
    EXPECT_FALSE(above.hardware || above.wireless) << "a name that leaves the folder reads nothing";
    EXPECT_EQ(same.speed, kMax32) << "sysfs read again while the link's state stood still";
    EXPECT_EQ(changed.speed, 10'000'000u);
    EXPECT_EQ(forgotten.speed, 100'000'000u);
}

// ---- The calling protocol ---------------------------------------------------------------------

std::map<std::string, std::vector<std::uint64_t>> ReadProcNetDev() {
    std::ifstream in("/proc/net/dev");
    std::string line;
    std::map<std::string, std::vector<std::uint64_t>> links;
    for (int skip = 0; skip < 2; ++skip) std::getline(in, line);
    while (std::getline(in, line)) {
        const auto start = line.find_first_not_of(' ');
        const auto colon = line.find(':');
        std::istringstream fields(line.substr(colon + 1));
        std::vector<std::uint64_t>& values = links[line.substr(start, colon - start)];
        for (std::uint64_t v; fields >> v;) values.push_back(v);
    }
    return links;
}

// True when `value` lies in [before, after] counting modulo 2^32, as the table's low bits do.
bool Between(std::int32_t value, std::uint64_t before, std::uint64_t after) {
    return AsUnsigned32(value) - Low32(before) <= Low32(after) - Low32(before);
}

std::vector<std::uint8_t> ReadTable(TableSource& source) {
    std::uint32_t size = 0;
    EXPECT_EQ(source.GetIfTable(nullptr, &size, false), TableSource::kInsufficientBuffer);
    std::vector<std::uint8_t> table(size);
    EXPECT_EQ(source.GetIfTable(table.data(), &size, false), TableSource::kNoError);
    table.resize(size);
    return table;
}

CInterfaces Parse(const std::vector<std::uint8_t>& table, const TableSource& source) {
    CInterfaces rows;
    IfTotals totals;
    ParseIfTable(table, rows, totals, [&](std::string_view b) { return source.DecodeDescription(b); });
    return rows;
}

// Moves a few bytes through "lo", so its counters differ from any read made before.
void SendOverLoopback() {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in discard{};
    discard.sin_family = AF_INET;
    discard.sin_port = htons(9);
    discard.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::sendto(fd, "tide", 4, 0, reinterpret_cast<const sockaddr*>(&discard), sizeof discard);
    ::close(fd);
}

std::int32_t LoopbackBytesReceived(const std::vector<std::uint8_t>& table, const TableSource& source) {
    for (const CInterfacePtr& r : Parse(table, source))
        if (r->InterfaceName() == "lo") return r->OctetsReceived();
    return 0;
}

class FakeClock final : public Clock {
 public:
    std::chrono::nanoseconds now{std::chrono::seconds(100)};
    std::chrono::nanoseconds Now() override { return now; }
};

// The fill gets the table its size query read: bytes sent in between do not show in it.
TEST(NetlinkTableSourceProtocol, AQueryAndItsFillReadTheSystemOnce) {
    FakeClock clock;
    NetlinkTableSource source(clock);
    const std::uint64_t beforeQuery = ReadProcNetDev()["lo"][0];
    std::uint32_t size = 0;
    ASSERT_EQ(source.GetIfTable(nullptr, &size, false), TableSource::kInsufficientBuffer);
    const auto atQuery = ReadProcNetDev();
    SendOverLoopback();
    ASSERT_GT(ReadProcNetDev()["lo"][0], atQuery.at("lo")[0]);
    std::vector<std::uint8_t> table(size);
    ASSERT_EQ(source.GetIfTable(table.data(), &size, false), TableSource::kNoError);
    EXPECT_EQ(CheckIfTable(table), std::nullopt);
    EXPECT_EQ(GetU32(table.data()), atQuery.size());
    const std::int32_t received = LoopbackBytesReceived(table, source);
    EXPECT_TRUE(Between(received, beforeQuery, atQuery.at("lo")[0])) << received;
}

TEST(NetlinkTableSourceProtocol, DatagramsLargerThanTheBufferAreReadAgain) {
    NetlinkTableSource small({.receiveBuffer = 64});
    NetlinkTableSource normal;
    std::vector<std::string> a, b;
    for (const CInterfacePtr& r : Parse(ReadTable(small), small)) a.push_back(r->InterfaceName());
    for (const CInterfacePtr& r : Parse(ReadTable(normal), normal)) b.push_back(r->InterfaceName());
    EXPECT_FALSE(a.empty());
    EXPECT_EQ(a, b);
}

TEST(NetlinkTableSourceProtocol, NoSocketIsNotSupportedUntilOneCanBeOpened) {
#if defined(__SANITIZE_ADDRESS__)
    // The sanitizers' own checks need to open files; with no descriptors left they report errors
    // of their own. The plain build runs this test.
    GTEST_SKIP() << "needs a process that may run out of file descriptors";
#endif
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit none = saved;
    none.rlim_cur = 0;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &none), 0);
    NetlinkTableSource source;
    std::uint32_t size = 0;
    const std::uint32_t starved = source.GetIfTable(nullptr, &size, false);
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &saved), 0);
    EXPECT_EQ(starved, TableSource::kNotSupported);
    EXPECT_EQ(source.GetIfTable(nullptr, &size, false), TableSource::kInsufficientBuffer);
}

// ---- Against what the system says elsewhere ---------------------------------------------------

std::string SysfsText(const std::string& name, const char* file) {
    std::ifstream in("/sys/class/net/" + name + "/" + file);
    std::string text;
    std::getline(in, text);
    return text;
}

// Each way of reading: counters alone between link dumps (the second read on), and link dumps only.
class NetlinkTableSourceReads : public testing::TestWithParam<bool> {};
INSTANTIATE_TEST_SUITE_P(Both, NetlinkTableSourceReads, testing::Values(true, false),
                         [](const auto& info) { return info.param ? "CountersAlone" : "LinkDumps"; });

TEST_P(NetlinkTableSourceReads, CountersLieBetweenTwoReadsOfProcNetDev) {
    NetlinkTableSource source({.countersOnlyReads = GetParam()});
    ReadTable(source);
    SendOverLoopback();
    const auto before = ReadProcNetDev();
    const auto table = ReadTable(source);
    const auto after = ReadProcNetDev();
    std::set<std::string> names;
    for (const CInterfacePtr& r : Parse(table, source)) {
        const std::string name = r->InterfaceName();
        names.insert(name);
        ASSERT_TRUE(before.contains(name) && after.contains(name)) << name;
        const auto& b = before.at(name);
        const auto& a = after.at(name);
        // /proc/net/dev columns: rx bytes packets errs drop ... multicast (7), tx bytes (8) packets errs drop
        const std::int32_t packets = WrapAdd32(r->UnicastPacketsReceived(), r->NonunicastPacketsReceived());
        const std::pair<std::int32_t, int> checks[] = {
            {r->OctetsReceived(), 0}, {packets, 1}, {r->IncomingErrors(), 2}, {r->DiscardedIncomingPackets(), 3},
            {r->NonunicastPacketsReceived(), 7}, {r->OctetsSent(), 8}, {r->UnicastPacketsSent(), 9},
            {r->OutgoingErrors(), 10}, {r->DiscardedOutgoingPackets(), 11},
        };
        for (const auto& [value, column] : checks)
            EXPECT_TRUE(Between(value, b[column], a[column])) << name << " column " << column << ": " << value;
        EXPECT_EQ(r->InterfaceDescription(), name);
    }
    std::set<std::string> procNames;
    for (const auto& [name, values] : before) procNames.insert(name);
    EXPECT_EQ(names, procNames);
}

TEST(NetlinkTableSourceSystem, RowsAgreeWithSysfs) {
    NetlinkTableSource source;
    bool sawLoopback = false;
    for (const CInterfacePtr& r : Parse(ReadTable(source), source)) {
        const std::string name = r->InterfaceName();
        EXPECT_EQ(std::to_string(r->InterfaceIndex()), SysfsText(name, "ifindex")) << name;
        EXPECT_EQ(std::to_string(r->MaximumTransmissionUnit()), SysfsText(name, "mtu")) << name;
        const bool up = (std::stoul(SysfsText(name, "flags"), nullptr, 16) & IFF_UP) != 0;
        EXPECT_EQ(r->AdminStatus(), up ? kAdminUp : kAdminDown) << name;
        if (name != "lo") continue;
        sawLoopback = true;
        EXPECT_EQ(r->InterfaceType(), kIfTypeSoftwareLoopback);
        EXPECT_EQ(r->AdminStatus(), kAdminUp);
        EXPECT_EQ(r->OperationalStatus(), kOperOperational) << "Linux calls lo's state unknown; up counts";
        EXPECT_EQ(r->AdapterAddress(), "00-00-00-00-00-00");
    }
    EXPECT_TRUE(sawLoopback);
}

// Moves the process into a network namespace of its own, holding only a down "lo", and back.
class PrivateNetwork {
 public:
    PrivateNetwork() : m_home(::open("/proc/self/ns/net", O_RDONLY | O_CLOEXEC)) {
        m_entered = m_home >= 0 && ::unshare(CLONE_NEWNET) == 0;
    }
    ~PrivateNetwork() {
        if (m_entered) ::setns(m_home, CLONE_NEWNET);
        if (m_home >= 0) ::close(m_home);
    }
    explicit operator bool() const { return m_entered; }

 private:
    int m_home;
    bool m_entered = false;
};

bool Configure(unsigned long request, int fd, ifreq change) { return ::ioctl(fd, request, &change) == 0; }

TEST(NetlinkTableSourceSystem, LinkChangesShowAtTheNextRead) {
    PrivateNetwork network;
    if (!network) GTEST_SKIP() << "no network namespace of our own here";
    NetlinkTableSource source;
    auto rows = [&] { return Parse(ReadTable(source), source); };
    ASSERT_EQ(rows().Count(), 1);
    EXPECT_EQ(rows()[1]->AdminStatus(), kAdminDown);

    const int inet = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    ifreq lo{};
    std::strcpy(lo.ifr_name, "lo");
    lo.ifr_flags = IFF_UP;
    ASSERT_TRUE(Configure(SIOCSIFFLAGS, inet, lo));
    EXPECT_EQ(rows()[1]->AdminStatus(), kAdminUp);
    lo.ifr_mtu = 1280;
    ASSERT_TRUE(Configure(SIOCSIFMTU, inet, lo));
    EXPECT_EQ(rows()[1]->MaximumTransmissionUnit(), 1280);
    ::close(inet);

    const int tun = ::open("/dev/net/tun", O_RDWR | O_CLOEXEC);
    ifreq tg0{};
    std::strcpy(tg0.ifr_name, "tg0");
    tg0.ifr_flags = IFF_TUN | IFF_NO_PI;
    ASSERT_TRUE(tun >= 0 && Configure(TUNSETIFF, tun, tg0));
    const CInterfaces withTun = rows();
    ASSERT_EQ(withTun.Count(), 2);
    EXPECT_EQ(withTun[2]->InterfaceName(), "tg0");
    EXPECT_EQ(withTun[2]->InterfaceType(), kIfTypeTunnel);
    ::close(tun);
    EXPECT_EQ(rows().Count(), 1);
}

// ---- Which links are hardware, and what automatic counting makes of it ------------------------

// Runs the commands through `ip -batch`, in this thread's network namespace; false when ip(8) is
// missing or a command failed.
bool RunIp(const std::string& commands) {
    FILE* ip = ::popen("ip -batch - >/dev/null 2>&1", "w");
    if (ip == nullptr) return false;
    std::fputs(commands.c_str(), ip);
    return ::pclose(ip) == 0;
}

// Datagrams to the discard port of `address`, sent from this thread's network namespace.
void SendTo(const char* address) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(9);
    ::inet_pton(AF_INET, address, &to.sin_addr);
    for (int i = 0; i < 3; ++i) ::sendto(fd, "tide gauge", 10, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to);
    ::close(fd);
}

// Whether datagrams to `address` come to be counted as sent by `link` within two seconds.
bool Carries(const char* address, const std::string& link) {
    for (int attempt = 0; attempt < 200; ++attempt) {
        SendTo(address);
        if (ReadProcNetDev()[link].at(8) > 0) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

// Two veth pairs whose far ends answer to nobody, an empty bridge, and a dummy link where the kernel
// has the driver. A folder mirroring /sys/class/net holds every link and gives only tghw0 a
// "device" entry. With IPv6 off, and the bridge not snooping multicast (which has it announce a
// group of its own), nothing speaks on the links unasked, so every byte they count is one the test
// sent.
class NetlinkHardwareLinks : public testing::Test {
 protected:
    void SetUp() override {
        if (!m_network) GTEST_SKIP() << "cannot make a network namespace: needs root or CAP_SYS_ADMIN";
        for (const char* scope : {"all", "default"})
            std::ofstream(std::string("/proc/sys/net/ipv6/conf/") + scope + "/disable_ipv6") << "1\n";
        if (!RunIp("link set lo up\n"
                   "link add tgv0 type veth peer name tgv1\n"
                   "link add tghw0 type veth peer name tghw1\n"
                   "link add tgbr0 type bridge mcast_snooping 0\n"
                   "link set tgv0 up\nlink set tgv1 up\nlink set tghw0 up\nlink set tghw1 up\nlink set tgbr0 up\n"
                   "addr add 10.9.0.1/24 dev tgv0\n"
                   "neigh add 10.9.0.2 lladdr 02:00:00:00:00:02 dev tgv0\n"
                   "addr add 10.8.0.1/24 dev tghw0\n"
                   "neigh add 10.8.0.2 lladdr 02:00:00:00:00:02 dev tghw0\n"))
            GTEST_SKIP() << "ip(8) could not make veth and bridge links here";
        RunIp("link add tgdu0 type dummy\nlink set tgdu0 up\n");
        // The veth end brought up before its peer gets its queue only when the kernel's link watcher
        // sees the carrier, a moment later; until then what it is given is dropped uncounted.
        ASSERT_TRUE(Carries("10.9.0.2", "tgv0") && Carries("10.8.0.2", "tghw0")) << "the veths never carried";
        for (const auto& [name, counters] : ReadProcNetDev()) std::filesystem::create_directories(m_sysfs / name);
        std::filesystem::create_directories(m_sysfs / "tghw0" / "device");
    }
    void TearDown() override { std::filesystem::remove_all(m_sysfs); }

    // One tick of automatic counting in which loopback and both veth pairs carried bytes; `before`
    // and `after` are /proc/net/dev on either side of the sending.
    TickBytes CountOneTick(std::map<std::string, std::vector<std::uint64_t>>& before,
                           std::map<std::string, std::vector<std::uint64_t>>& after) {
        NetlinkTableSource source({.sysfsNet = m_sysfs.string()});
        SilentDialog dialog;
        UnsupportedNotice notice(dialog);
        SteadyClock clock;
        CIpUpdate update(source, notice, clock);
        TickResult tick;
        update.Update(tick);
        before = ReadProcNetDev();
        for (const char* to : {"10.9.0.2", "127.0.0.1", "10.8.0.2"}) SendTo(to);
        after = ReadProcNetDev();
        update.Update(tick);
        for (const char* name : {"tgv0", "lo", "tghw0"})
            EXPECT_GT(after[name][8], before[name][8]) << name << " carried nothing, so proves nothing";
        return tick.bytes;
    }

    class SilentDialog final : public MessageDialog {
     public:
        void Show(std::string_view, std::string_view, MessageIcon) override {}
    };

    PrivateNetwork m_network;
    std::filesystem::path m_sysfs =
        std::filesystem::temp_directory_path() / ("tg-hardware-" + std::to_string(::getpid()));
};

TEST_F(NetlinkHardwareLinks, OnlyTheLinkWithADeviceIsHardwareAndAutomaticCountsOnlyIt) {
    NetlinkTableSource source({.sysfsNet = m_sysfs.string()});
    std::set<std::string> names;
    for (const CInterfacePtr& r : Parse(ReadTable(source), source)) {
        names.insert(r->InterfaceName());
        EXPECT_EQ(r->HardwareInterface(), r->InterfaceName() == "tghw0") << r->InterfaceName();
        EXPECT_EQ(r->InterfaceAlias(), "") << r->InterfaceName();
    }
    for (const char* name : {"lo", "tgv0", "tgv1", "tghw0", "tghw1", "tgbr0"}) EXPECT_TRUE(names.contains(name)) << name;

    std::map<std::string, std::vector<std::uint64_t>> before, after;
    const TickBytes tick = CountOneTick(before, after);
    EXPECT_EQ(tick.sent, static_cast<std::int64_t>(after["tghw0"][8] - before["tghw0"][8]));
    EXPECT_EQ(tick.received, 0);
}

TEST_F(NetlinkHardwareLinks, WithNoHardwareLinkAutomaticCountsAllButLoopback) {
    std::filesystem::remove(m_sysfs / "tghw0" / "device");
    std::map<std::string, std::vector<std::uint64_t>> before, after;
    const TickBytes tick = CountOneTick(before, after);
    std::int64_t received = 0, sent = 0;
    for (const auto& [name, values] : after) {
        if (name == "lo") continue;
        received += static_cast<std::int64_t>(values[0] - before[name][0]);
        sent += static_cast<std::int64_t>(values[8] - before[name][8]);
    }
    EXPECT_GT(received, 0) << "the veths' far ends received nothing";
    EXPECT_EQ(tick.received, received);
    EXPECT_EQ(tick.sent, sent);
}

}  // namespace
}  // namespace tg
