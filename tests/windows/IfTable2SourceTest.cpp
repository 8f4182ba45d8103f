#include "platform/windows/IfTable2Source.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <regex>
#include <vector>

#include "common/Text.h"
#include "common/Wrap32.h"
#include "counters/CInterfaces.h"
#include "counters/IfTableLayout.h"
#include "counters/IfTableParser.h"
#include "ports/SystemTableSource.h"

namespace tg {
namespace {

using namespace iftable;
using namespace std::chrono_literals;

class FakeClock final : public Clock {
 public:
    std::chrono::nanoseconds now{100s};
    std::chrono::nanoseconds Now() override { return now; }
};

// Stands in for iphlpapi: hands out a heap copy of `rows`, counting reads and tables not yet freed.
struct FakeIphlpapi {
    static inline std::vector<MIB_IF_ROW2> rows;
    static inline ULONG status = NO_ERROR;
    static inline bool tableWithFailure = false;  // a failing call that still hands out a table
    static inline int reads = 0;
    static inline int live = 0;

    static ULONG WINAPI GetTable(MIB_IF_TABLE2** table) {
        ++reads;
        *table = nullptr;
        if (status != NO_ERROR && !tableWithFailure) return status;
        const std::size_t bytes = offsetof(MIB_IF_TABLE2, Table) + sizeof(MIB_IF_ROW2) * (rows.size() + 1);
        *table = static_cast<MIB_IF_TABLE2*>(std::calloc(1, bytes));
        (*table)->NumEntries = static_cast<ULONG>(rows.size());
        std::copy(rows.begin(), rows.end(), (*table)->Table);
        ++live;
        return status;
    }
    static void WINAPI Free(void* memory) {
        --live;
        std::free(memory);
    }
};

MIB_IF_ROW2 Row(ULONG index, ULONG type, ULONG64 inOctets = 0, ULONG64 outOctets = 0, bool filter = false) {
    MIB_IF_ROW2 row;
    std::memset(&row, 0, sizeof row);
    row.InterfaceIndex = index;
    row.Type = type;
    row.InterfaceGuid.Data1 = index;
    row.AdminStatus = NET_IF_ADMIN_STATUS_UP;
    row.OperStatus = IfOperStatusUp;
    row.InOctets = inOctets;
    row.OutOctets = outOctets;
    row.InterfaceAndOperStatusFlags.FilterInterface = filter;
    return row;
}

template <std::size_t N>
void SetText(WCHAR (&field)[N], std::wstring_view text) {
    std::fill(std::begin(field), std::end(field), L'\0');
    std::copy(text.begin(), text.end(), field);
}

void SetDescription(MIB_IF_ROW2& row, std::wstring_view text) { SetText(row.Description, text); }

MIB_IF_ROW2 Named(ULONG index, ULONG type, std::wstring_view alias, bool hardware, bool filter = false) {
    MIB_IF_ROW2 row = Row(index, type, 0, 0, filter);
    row.InterfaceAndOperStatusFlags.HardwareInterface = hardware;
    SetText(row.Alias, alias);
    return row;
}

// The table as the program reads it: query, buffer, fill, parse.
struct ReadBack {
    std::uint32_t fillStatus = 0;
    std::optional<std::string> malformed;  // what CheckIfTable finds wrong
    CInterfaces records;
    IfTotals totals;
    std::vector<std::int32_t> indices;
};

ReadBack Read(TableSource& source, bool sorted = false) {
    ReadBack r;
    std::uint32_t size = 0;
    source.GetIfTable(nullptr, &size, sorted);
    std::vector<std::uint8_t> bytes(size);
    r.fillStatus = source.GetIfTable(bytes.data(), &size, sorted);
    r.malformed = CheckIfTable(bytes);
    ParseIfTable({bytes.data(), std::min<std::size_t>(size, bytes.size())}, r.records, r.totals,
                 [&source](std::string_view b) { return source.DecodeDescription(b); });
    for (const auto& c : r.records) r.indices.push_back(c->InterfaceIndex());
    return r;
}

class IfTable2Fake : public ::testing::Test {
 protected:
    void SetUp() override {
        FakeIphlpapi::rows.clear();
        FakeIphlpapi::status = NO_ERROR;
        FakeIphlpapi::tableWithFailure = false;
        FakeIphlpapi::reads = FakeIphlpapi::live = 0;
    }
    void TearDown() override { EXPECT_EQ(FakeIphlpapi::live, 0) << "a table was not freed"; }

    std::uint32_t Query(bool sorted = false) {
        size = 0;
        return source.GetIfTable(nullptr, &size, sorted);
    }
    std::uint32_t Fill(bool sorted = false) {
        size = static_cast<std::uint32_t>(buffer.size());
        return source.GetIfTable(buffer.data(), &size, sorted);
    }

    FakeClock clock;
    IfTable2Source source{IfTable2Api{&FakeIphlpapi::GetTable, &FakeIphlpapi::Free}, clock};
    std::vector<std::uint8_t> buffer = std::vector<std::uint8_t>(kCountSize + 4 * kRowSize);
    std::uint32_t size = 0;
};

// ---- One GetIfTable2 row into one classic row ----

TEST_F(IfTable2Fake, EveryFieldLandsInItsOwnColumn) {
    MIB_IF_ROW2 row = Row(7, kIfTypeEthernet);
    row.InterfaceGuid = {0x0000ABCD, 0x0e1f, 0xA0b2, {0x00, 0x0c, 0xde, 0xf1, 0x23, 0x45, 0x67, 0x89}};
    row.Mtu = 1500;
    row.ReceiveLinkSpeed = 100'000'000;
    row.TransmitLinkSpeed = 20'000'000;
    row.PhysicalAddressLength = 6;
    const std::uint8_t mac[] = {0x00, 0x1A, 0x2B, 0x3C, 0x4D, 0x05};
    std::memcpy(row.PhysicalAddress, mac, sizeof mac);
    row.AdminStatus = NET_IF_ADMIN_STATUS_TESTING;
    row.OperStatus = IfOperStatusDormant;
    // Distinct values above 2^32, so a swapped or untruncated counter shows.
    row.InOctets = 0x1'0000'0001;
    row.InUcastPkts = 0x2'0000'0002;
    row.InNUcastPkts = 0x3'0000'0003;
    row.InDiscards = 0x4'0000'0004;
    row.InErrors = 0x5'0000'0005;
    row.InUnknownProtos = 0x6'0000'0006;
    row.OutOctets = 0x7'0000'0007;
    row.OutUcastPkts = 0x8'0000'0008;
    row.OutNUcastPkts = 0x9'0000'0009;
    row.OutDiscards = 0xA'0000'000A;
    row.OutErrors = 0xB'0000'000B;
    row.OutQLen = 0xC'0000'000C;
    SetDescription(row, L"Fast Ethernet Adapter #2");
    FakeIphlpapi::rows = {row};

    const ReadBack r = Read(source);
    ASSERT_EQ(r.records.Count(), 1);
    const CInterface& c = *r.records[1];
    EXPECT_EQ(c.InterfaceName(), "\\DEVICE\\TCPIP_{0000ABCD-0E1F-A0B2-000C-DEF123456789}");
    EXPECT_EQ(c.InterfaceIndex(), 7);
    EXPECT_EQ(c.InterfaceType(), 6);
    EXPECT_EQ(c.MaximumTransmissionUnit(), 1500);
    EXPECT_EQ(c.Speed(), 100'000'000);  // the receive speed, not the transmit one
    EXPECT_EQ(c.AdapterAddress(), "00-1A-2B-3C-4D-5");
    EXPECT_EQ(c.AdminStatus(), 3);
    EXPECT_EQ(c.OperationalStatus(), static_cast<std::int32_t>(kOperConnecting));
    EXPECT_EQ(c.OctetsReceived(), 1);
    EXPECT_EQ(c.UnicastPacketsReceived(), 2);
    EXPECT_EQ(c.NonunicastPacketsReceived(), 3);
    EXPECT_EQ(c.DiscardedIncomingPackets(), 4);
    EXPECT_EQ(c.IncomingErrors(), 5);
    EXPECT_EQ(c.UnknownProtocolPackets(), 6);
    EXPECT_EQ(c.OctetsSent(), 7);
    EXPECT_EQ(c.UnicastPacketsSent(), 8);
    EXPECT_EQ(c.NonunicastPacketsSent(), 9);
    EXPECT_EQ(c.DiscardedOutgoingPackets(), 10);
    EXPECT_EQ(c.OutgoingErrors(), 11);
    EXPECT_EQ(c.OutputQueueLength(), 12);
    EXPECT_EQ(c.InterfaceDescription(), "Fast Ethernet Adapter #2");
}

TEST(IfTable2Row, SpeedTooLargeFor32BitsReadsAsTheLargestValue) {
    const struct {
        ULONG64 bitsPerSecond;
        std::uint32_t expected;
    } cases[] = {
        {0, 0}, {1'000'000'000, 1'000'000'000}, {0xFFFFFFFF, 0xFFFFFFFF},
        {0x1'0000'0000, 0xFFFFFFFF},   // wrapping would say 0
        {10'000'000'000, 0xFFFFFFFF},  // wrapping would say 1.4 Gbit/s
        {~0ull, 0xFFFFFFFF},           // the driver does not know
    };
    for (const auto& c : cases) {
        MIB_IF_ROW2 row = Row(1, kIfTypeEthernet);
        row.ReceiveLinkSpeed = c.bitsPerSecond;
        EXPECT_EQ(IfRowFieldsFromRow2(row).speed, c.expected) << c.bitsPerSecond;
    }
}

TEST(IfTable2Row, OperStatusIsOnTheClassicScale) {
    const struct {
        IF_OPER_STATUS oper;
        NET_IF_ADMIN_STATUS admin;
        MibOperStatus expected;
    } cases[] = {
        {IfOperStatusUp, NET_IF_ADMIN_STATUS_UP, kOperOperational},
        {IfOperStatusDown, NET_IF_ADMIN_STATUS_UP, kOperDisconnected},
        {IfOperStatusLowerLayerDown, NET_IF_ADMIN_STATUS_UP, kOperDisconnected},
        {IfOperStatusDormant, NET_IF_ADMIN_STATUS_UP, kOperConnecting},
        {IfOperStatusUnknown, NET_IF_ADMIN_STATUS_UP, kOperOperational},
        {IfOperStatusUnknown, NET_IF_ADMIN_STATUS_DOWN, kOperNonOperational},
        {IfOperStatusNotPresent, NET_IF_ADMIN_STATUS_UP, kOperNonOperational},
    };
    for (const auto& c : cases) {
        MIB_IF_ROW2 row = Row(1, kIfTypeEthernet);
        row.OperStatus = c.oper;
        row.AdminStatus = c.admin;
        const IfRowFields f = IfRowFieldsFromRow2(row);
        EXPECT_EQ(f.operStatus, static_cast<std::uint32_t>(c.expected)) << c.oper << "/" << c.admin;
        EXPECT_EQ(f.adminStatus, static_cast<std::uint32_t>(c.admin));
    }
}

TEST_F(IfTable2Fake, AddressesTheColumnCannotHoldAreLeftOut) {
    MIB_IF_ROW2 row = Row(1, kIfTypeEthernet);
    for (UCHAR i = 0; i < IF_MAX_PHYS_ADDRESS_LENGTH; ++i) row.PhysicalAddress[i] = static_cast<UCHAR>(i + 0x10);
    FakeIphlpapi::rows = {row, row, row};
    FakeIphlpapi::rows[0].PhysicalAddressLength = 8;
    FakeIphlpapi::rows[1].PhysicalAddressLength = 20;  // an InfiniBand hardware address
    FakeIphlpapi::rows[2].PhysicalAddressLength = 0xFFFFFFFF;  // read no further than the array
    const ReadBack r = Read(source);
    ASSERT_EQ(r.records.Count(), 3);
    EXPECT_EQ(r.records[1]->AdapterAddress(), "10-11-12-13-14-15-16-17");
    EXPECT_EQ(r.records[2]->AdapterAddress(), "");
    EXPECT_EQ(r.records[3]->AdapterAddress(), "");
}

TEST(IfTable2Row, NameIsTheGuidInUpperCaseWithBraces) {
    const GUID guid = {0x6b29fc40, 0xca47, 0x1067, {0xb3, 0x1d, 0x00, 0xdd, 0x01, 0x06, 0x62, 0xda}};
    EXPECT_EQ(IfRowName(guid), u"\\DEVICE\\TCPIP_{6B29FC40-CA47-1067-B31D-00DD010662DA}");
    EXPECT_EQ(IfRowName(GUID{}), u"\\DEVICE\\TCPIP_{00000000-0000-0000-0000-000000000000}");
}

TEST(IfTable2Row, DescriptionGoesThroughTheAnsiCodePageAndBack) {
    const std::wstring accented = L"R\u00E9seau sans fil";
    BOOL lossy = FALSE;
    WideCharToMultiByte(CP_ACP, 0, accented.c_str(), -1, nullptr, 0, nullptr, &lossy);
    if (lossy) GTEST_SKIP() << "code page " << GetACP() << " has no e-acute";

    MIB_IF_ROW2 row = Row(1, kIfTypeWireless);
    SetDescription(row, accented);
    const std::string bytes = IfRowFieldsFromRow2(row).description;
    FakeClock clock;
    const IfTable2Source source(IfTable2Api{}, clock);
    EXPECT_EQ(source.DecodeDescription(bytes), u"R\u00E9seau sans fil");
    // The reader hands over the whole zero-padded column.
    std::string column(kDescriptionBytes, '\0');
    std::copy(bytes.begin(), bytes.end(), column.begin());
    EXPECT_EQ(source.DecodeDescription(column), u"R\u00E9seau sans fil");
}

// The column keeps a terminating zero, and a cut inside a multi-byte character would leave a byte
// that decodes to garbage.
TEST(IfTable2Row, LongDescriptionIsCutBetweenCharactersAndStaysTerminated) {
    MIB_IF_ROW2 row = Row(1, kIfTypeEthernet);
    std::fill(std::begin(row.Description), std::end(row.Description), L'y');  // not even terminated
    EXPECT_EQ(IfRowFieldsFromRow2(row).description, std::string(kDescriptionBytes - 1, 'y'));

    std::wstring faces;  // surrogate pairs: one character in two units
    for (int i = 0; i < 100; ++i) faces += L"\U0001F600";
    const struct {
        UINT codePage;
        std::wstring text;
        std::size_t expectedBytes;
    } cases[] = {
        {CP_UTF8, std::wstring(200, L'\u00E9'), 254},           // 2 bytes each
        {CP_UTF8, L"a" + std::wstring(200, L'\u00E9'), 255},    // 1 + 127 * 2
        {CP_UTF8, L"ab" + std::wstring(100, L'\u20AC'), 254},   // 2 + 84 * 3
        {CP_UTF8, faces, 252},                                  // 63 * 4
        {932, L"a" + std::wstring(200, L'\u3042'), 255},        // Shift-JIS: 1 + 127 * 2
    };
    for (const auto& c : cases) {
        const std::string bytes = DescriptionInCodePage(c.text, c.codePage);
        EXPECT_EQ(bytes.size(), c.expectedBytes) << c.codePage;
        const int units = MultiByteToWideChar(c.codePage, MB_ERR_INVALID_CHARS, bytes.data(),
                                              static_cast<int>(bytes.size()), nullptr, 0);
        EXPECT_GT(units, 0) << c.codePage << ": the cut split a character";
    }
}

// ---- The table and the call protocol ----

TEST_F(IfTable2Fake, FilterModulesAreLeftOutAndEveryOtherRowCounts) {
    // One adapter carrying two filter modules that repeat its counters, and the loopback.
    FakeIphlpapi::rows = {Row(5, kIfTypeEthernet, 1000, 400), Row(11, kIfTypeEthernet, 1000, 400, true),
                          Row(12, kIfTypeEthernet, 1000, 400, true), Row(1, kIfTypeSoftwareLoopback, 30, 30)};
    const ReadBack r = Read(source);
    EXPECT_EQ(r.indices, (std::vector<std::int32_t>{5, 1}));
    EXPECT_EQ(r.totals.bytesReceived, 1030);
    EXPECT_EQ(r.totals.bytesSent, 430);
}

// The extras block follows the rows' order, so a flag or alias that lagged behind a left-out
// filter module or a sort would land on a neighbouring row.
TEST_F(IfTable2Fake, HardwareFlagAndAliasStayWithTheirRow) {
    FakeIphlpapi::rows = {Named(9, kIfTypeWireless, L"Wi-Fi", true),
                          Named(12, kIfTypeWireless, L"Wi-Fi-Filter-0000", true, true),
                          Named(1, kIfTypeSoftwareLoopback, L"Loopback Pseudo-Interface 1", false),
                          Named(4, kIfTypeEthernet, L"R\u00E9seau \u4E8C", true)};
    using Extra = std::pair<std::string, bool>;
    const Extra wifi{"Wi-Fi", true}, loopback{"Loopback Pseudo-Interface 1", false},
        wired{"R\xC3\xA9seau \xE4\xBA\x8C", true};
    for (const bool sorted : {false, true}) {
        const ReadBack r = Read(source, sorted);
        EXPECT_EQ(r.malformed, std::nullopt);
        std::vector<Extra> got;
        for (const auto& c : r.records) got.emplace_back(c->InterfaceAlias(), c->HardwareInterface());
        const std::vector<Extra> expected =
            sorted ? std::vector<Extra>{loopback, wired, wifi} : std::vector<Extra>{wifi, loopback, wired};
        EXPECT_EQ(got, expected) << (sorted ? "sorted" : "in the system's order");
    }
}

TEST_F(IfTable2Fake, SortedOrdersByIndexUnsortedKeepsTheSystemOrder) {
    FakeIphlpapi::rows = {Row(9, kIfTypeEthernet), Row(1, kIfTypeSoftwareLoopback), Row(4, kIfTypeWireless)};
    EXPECT_EQ(Read(source, false).indices, (std::vector<std::int32_t>{9, 1, 4}));
    EXPECT_EQ(Read(source, true).indices, (std::vector<std::int32_t>{1, 4, 9}));
}

TEST_F(IfTable2Fake, FailuresPassThroughAndEveryTableIsFreed) {
    const auto outOfMemory = static_cast<std::uint32_t>(ERROR_NOT_ENOUGH_MEMORY);
    FakeIphlpapi::status = ERROR_NOT_ENOUGH_MEMORY;
    EXPECT_EQ(Query(), outOfMemory);
    FakeIphlpapi::tableWithFailure = true;
    EXPECT_EQ(Query(), outOfMemory);
    EXPECT_EQ(FakeIphlpapi::live, 0);

    // The fill's own read fails.
    FakeIphlpapi::status = NO_ERROR;
    ASSERT_EQ(Query(), TableSource::kInsufficientBuffer);
    FakeIphlpapi::status = ERROR_NOT_ENOUGH_MEMORY;
    clock.now += 1s;
    EXPECT_EQ(Fill(), outOfMemory);
    EXPECT_EQ(FakeIphlpapi::reads, 4);

    FakeClock otherClock;
    for (const IfTable2Api missing : {IfTable2Api{}, IfTable2Api{&FakeIphlpapi::GetTable, nullptr}}) {
        IfTable2Source without(missing, otherClock);
        EXPECT_EQ(without.GetIfTable(nullptr, &size, false), TableSource::kNotSupported);
    }
}

// An interface that appears between the two calls waits for the next tick: the fill holds the rows
// the size was given for, from the one read the query made.
TEST_F(IfTable2Fake, AQueryAndItsFillReadTheSystemOnce) {
    FakeIphlpapi::rows = {Row(2, kIfTypeEthernet, 100, 100)};
    ASSERT_EQ(Query(), TableSource::kInsufficientBuffer);
    FakeIphlpapi::rows.push_back(Row(1, kIfTypeSoftwareLoopback));
    ASSERT_EQ(Fill(), TableSource::kNoError);
    EXPECT_EQ(FakeIphlpapi::reads, 1);
    EXPECT_EQ(GetU32(buffer.data()), 1u);
}

// ---- The system's own table (under Wine: the host's interfaces) ----

const CInterface* Loopback(const CInterfaces& records) {
    for (const auto& r : records) {
        if (r->InterfaceType() == static_cast<std::int32_t>(kIfTypeSoftwareLoopback)) return r.get();
    }
    return nullptr;
}

TEST(IfTable2System, AnswersTheProtocolWithRowsAsTheClassicTableShowsThem) {
    const auto source = MakeSystemTableSource();
    std::uint32_t size = 0;
    ASSERT_EQ(source->GetIfTable(nullptr, &size, true), TableSource::kInsufficientBuffer);
    ASSERT_GE(size, kCountSize + kRowSize);
    const std::uint32_t needed = size;
    std::vector<std::uint8_t> buffer(needed);
    size = needed - 1;
    EXPECT_EQ(source->GetIfTable(buffer.data(), &size, true), TableSource::kInsufficientBuffer);
    EXPECT_EQ(size, needed);
    size = needed;
    ASSERT_EQ(source->GetIfTable(buffer.data(), &size, true), TableSource::kNoError);
    EXPECT_EQ(size, needed);
    EXPECT_EQ(CheckIfTable(buffer), std::nullopt);

    CInterfaces records;
    IfTotals totals;
    ParseIfTable(buffer, records, totals, [&](std::string_view b) { return source->DecodeDescription(b); });
    static const std::regex name(R"(\\DEVICE\\TCPIP_\{[0-9A-F]{8}-([0-9A-F]{4}-){3}[0-9A-F]{12}\})");
    std::int32_t previous = 0;
    for (const auto& c : records) {
        // What the system (or Wine) says of each row, for whoever reads the log.
        std::printf("  %s type %d alias \"%s\" hardware %d\n", c->InterfaceName().c_str(), c->InterfaceType(),
                    c->InterfaceAlias().c_str(), c->HardwareInterface() ? 1 : 0);
        EXPECT_TRUE(std::regex_match(c->InterfaceName(), name)) << c->InterfaceName();
        EXPECT_TRUE(c->AdminStatus() >= 1 && c->AdminStatus() <= 3) << c->AdminStatus();
        EXPECT_TRUE(c->OperationalStatus() >= 0 && c->OperationalStatus() <= 5) << c->OperationalStatus();
        EXPECT_GT(c->InterfaceIndex(), previous) << "sorted by index";
        previous = c->InterfaceIndex();
    }
    const CInterface* loopback = Loopback(records);
    ASSERT_NE(loopback, nullptr) << "no row of type 24";
    EXPECT_EQ(loopback->OperationalStatus(), static_cast<std::int32_t>(kOperOperational));
    // Only the loopback is sure to have no device behind it: Wine marks every other row as
    // hardware, virtual links of the host included.
    EXPECT_FALSE(loopback->HardwareInterface());
    EXPECT_NE(loopback->InterfaceAlias(), "");
}

// Rows both tables list are the same interface, column for column (only the classic table lists
// filter modules).
TEST(IfTable2System, AgreesWithTheClassicTableOnSharedRows) {
    const auto source = MakeSystemTableSource();
    const ReadBack ours = Read(*source);
    ULONG size = 0;
    ASSERT_EQ(::GetIfTable(nullptr, &size, FALSE), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
    std::vector<std::uint8_t> classic(size);
    ASSERT_EQ(::GetIfTable(reinterpret_cast<MIB_IFTABLE*>(classic.data()), &size, FALSE), static_cast<DWORD>(NO_ERROR));
    CInterfaces theirs;
    IfTotals ignored;
    ParseIfTable({classic.data(), size}, theirs, ignored, [](std::string_view b) { return Latin1ToUtf16(b); });

    int shared = 0;
    for (const auto& a : ours.records) {
        for (const auto& b : theirs) {
            if (a->InterfaceIndex() != b->InterfaceIndex()) continue;
            ++shared;
            EXPECT_EQ(a->InterfaceName(), b->InterfaceName());
            EXPECT_EQ(a->InterfaceType(), b->InterfaceType());
            EXPECT_EQ(a->MaximumTransmissionUnit(), b->MaximumTransmissionUnit());
            EXPECT_EQ(a->AdapterAddress(), b->AdapterAddress());
            EXPECT_EQ(a->AdminStatus(), b->AdminStatus());
        }
    }
    EXPECT_GT(shared, 0);
}

class UdpSocket {
 public:
    UdpSocket() : m_socket(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP)) {}
    ~UdpSocket() {
        if (m_socket != INVALID_SOCKET) closesocket(m_socket);
    }
    UdpSocket(const UdpSocket&) = delete;
    UdpSocket& operator=(const UdpSocket&) = delete;
    SOCKET get() const { return m_socket; }

 private:
    SOCKET m_socket;
};

// Sends `count` datagrams of `bytes` bytes to a socket on 127.0.0.1; answers how many arrived.
int LoopbackRoundTrips(int count, int bytes) {
    UdpSocket receiver, sender;
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof to;
    if (bind(receiver.get(), reinterpret_cast<sockaddr*>(&to), sizeof to) != 0 ||
        getsockname(receiver.get(), reinterpret_cast<sockaddr*>(&to), &length) != 0)
        return -1;
    const DWORD timeoutMs = 2000;
    setsockopt(receiver.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeoutMs), sizeof timeoutMs);
    std::vector<char> payload(static_cast<std::size_t>(bytes), 'x');
    int received = 0;
    for (int i = 0; i < count; ++i) {
        sendto(sender.get(), payload.data(), bytes, 0, reinterpret_cast<sockaddr*>(&to), sizeof to);
        if (recv(receiver.get(), payload.data(), bytes, 0) == bytes) ++received;
    }
    return received;
}

TEST(IfTable2System, LoopbackTrafficShowsInTheCounters) {
    WSADATA wsa;
    ASSERT_EQ(WSAStartup(MAKEWORD(2, 2), &wsa), 0);
    const auto source = MakeSystemTableSource();
    const ReadBack before = Read(*source);
    constexpr int kCount = 50, kBytes = 1000;
    EXPECT_EQ(LoopbackRoundTrips(kCount, kBytes), kCount);
    const ReadBack after = Read(*source);
    WSACleanup();

    const CInterface* was = Loopback(before.records);
    const CInterface* is = Loopback(after.records);
    ASSERT_TRUE(was != nullptr && is != nullptr);
    // The counters are 32 bits and may wrap between the reads: compare modulo 2^32.
    EXPECT_GE(AsUnsigned32(is->OctetsSent()) - AsUnsigned32(was->OctetsSent()), std::uint32_t{kCount * kBytes});
    EXPECT_GE(AsUnsigned32(is->OctetsReceived()) - AsUnsigned32(was->OctetsReceived()),
              std::uint32_t{kCount * kBytes});
    EXPECT_NE(after.totals.bytesReceived, 0);
    EXPECT_NE(after.totals.bytesSent, 0);
}

}  // namespace
}  // namespace tg
