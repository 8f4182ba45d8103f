#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "common/Text.h"
#include "counters/IfTableParser.h"
#include "counters/IfTableWriter.h"

namespace tg {
namespace {

struct Parsed {
    CInterfaces records;
    IfTotals totals;
};

Parsed Parse(const std::vector<std::uint8_t>& buffer) {
    Parsed p;
    ParseIfTable(buffer, p.records, p.totals, Latin1ToUtf16);
    return p;
}

// Little-endian store at a literal offset, so these tests do not lean on the layout constants.
void Put(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
}

TEST(IfTableParser, ReadsEveryFieldFromItsOffset) {
    std::vector<std::uint8_t> b(4 + 860, 0);
    Put(b, 0, 1);
    const std::size_t r = 4;
    const char16_t name[] = u"eth0";
    for (int i = 0; i < 4; ++i) b[r + 2 * i] = static_cast<std::uint8_t>(name[i]);
    const std::uint32_t values[] = {7, 6, 1500, 1000000000u, 6};
    for (std::size_t i = 0; i < 5; ++i) Put(b, r + 512 + 4 * i, values[i]);
    const std::uint8_t mac[] = {0x00, 0x0C, 0x29, 0x0A, 0xFF, 0x01};
    std::memcpy(&b[r + 532], mac, 6);
    Put(b, r + 540, 1);
    Put(b, r + 544, 5);
    Put(b, r + 548, 0xDEADBEEF);  // last change: never read
    for (std::size_t off = 552; off <= 596; off += 4) Put(b, r + off, static_cast<std::uint32_t>(off));
    Put(b, r + 600, 8);
    std::memcpy(&b[r + 604], "Ethernet Adapter", 16);

    const Parsed p = Parse(b);
    ASSERT_EQ(p.records.Count(), 1);
    const CInterface& x = *p.records.Item(1);
    EXPECT_EQ(x.InterfaceName(), "eth0");
    EXPECT_EQ(x.InterfaceIndex(), 7);
    EXPECT_EQ(x.InterfaceType(), 6);
    EXPECT_EQ(x.MaximumTransmissionUnit(), 1500);
    EXPECT_EQ(x.Speed(), 1000000000);
    EXPECT_EQ(x.AdapterAddress(), "00-C-29-A-FF-1");
    EXPECT_EQ(x.AdminStatus(), 1);
    EXPECT_EQ(x.OperationalStatus(), 5);
    EXPECT_EQ(x.LastChange(), 0.0);
    EXPECT_EQ(x.OctetsReceived(), 552);
    EXPECT_EQ(x.UnicastPacketsReceived(), 556);
    EXPECT_EQ(x.NonunicastPacketsReceived(), 560);
    EXPECT_EQ(x.DiscardedIncomingPackets(), 564);
    EXPECT_EQ(x.IncomingErrors(), 568);
    EXPECT_EQ(x.UnknownProtocolPackets(), 572);
    EXPECT_EQ(x.OctetsSent(), 576);
    EXPECT_EQ(x.UnicastPacketsSent(), 580);
    EXPECT_EQ(x.NonunicastPacketsSent(), 584);
    EXPECT_EQ(x.DiscardedOutgoingPackets(), 588);
    EXPECT_EQ(x.OutgoingErrors(), 592);
    EXPECT_EQ(x.OutputQueueLength(), 596);
    EXPECT_EQ(x.InterfaceDescription(), "Ethernet");
    EXPECT_EQ(p.totals.bytesReceived, 552);
    EXPECT_EQ(p.totals.bytesSent, 576);
}

TEST(IfTableParser, AddressText) {
    struct Case {
        std::vector<std::uint8_t> bytes;
        std::int32_t length;
        const char* text;
    } cases[] = {
        {{0x00, 0x0C, 0x29, 0x0A, 0xFF, 0x01}, 6, "00-C-29-A-FF-1"},
        {{0x05, 0x00}, 2, "5-00"},
        {{0x00}, 1, "00"},
        {{0x10, 0x0F}, 2, "10-F"},
        {{0xAA}, 0, ""},
        {{0xAA}, -1, ""},
        {{1, 2, 3, 4, 5, 6, 7, 8}, 300, "1-2-3-4-5-6-7-8"},  // only the field's 8 bytes
    };
    for (const Case& c : cases) {
        IfRowFields f;
        f.address = c.bytes;
        auto b = BuildIfTable({&f, 1});
        Put(b, 4 + 528, static_cast<std::uint32_t>(c.length));
        EXPECT_EQ(Parse(b).records.Item(1)->AdapterAddress(), c.text) << "length " << c.length;
    }
}

TEST(IfTableParser, NameStopsAtFirstZeroUnitAndDescriptionIsCutByItsLength) {
    IfRowFields f;
    f.name = u"\u4EE5\u592A\u7F51 1";
    f.description = "Ethernet Adapter";
    auto b = BuildIfTable({&f, 1});
    b[4 + 2 * 8] = 'X';  // after the terminating zero: ignored

    for (const auto& [keep, expected] : std::vector<std::pair<std::uint32_t, std::string>>{
             {8, "Ethernet"},
             {0, ""},
             {16, "Ethernet Adapter"},
             {300, "Ethernet Adapter" + std::string(240, '\0')},
             {0xFFFFFFFFu, "Ethernet Adapter" + std::string(240, '\0')}}) {
        Put(b, 4 + 600, keep);
        const Parsed p = Parse(b);
        EXPECT_EQ(p.records.Item(1)->InterfaceName(), "\xE4\xBB\xA5\xE5\xA4\xAA\xE7\xBD\x91 1");
        EXPECT_EQ(p.records.Item(1)->InterfaceDescription(), expected) << "length " << keep;
    }
}

TEST(IfTableParser, NameWithoutTerminatorTakesAll256Units) {
    std::vector<std::uint8_t> b(4 + 860, 0);
    Put(b, 0, 1);
    for (std::size_t i = 0; i < 256; ++i) b[4 + 2 * i] = 'n';
    EXPECT_EQ(Parse(b).records.Item(1)->InterfaceName(), std::string(256, 'n'));
}

TEST(IfTableParser, TotalsWrapAt32Bits) {
    struct Case {
        std::vector<std::uint32_t> received;
        std::int32_t total;
    } cases[] = {
        {{}, 0},
        {{0x80000000u, 0x80000000u}, 0},
        {{0xFFFFFFFFu}, -1},
        {{0xFFFFFFF0u, 0x20}, 0x10},
        {{1, 2, 3}, 6},
    };
    for (const Case& c : cases) {
        std::vector<IfRowFields> rows(c.received.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].inOctets = c.received[i];
            rows[i].outOctets = c.received[i] / 2;
        }
        const Parsed p = Parse(BuildIfTable(rows));
        EXPECT_EQ(p.records.Count(), static_cast<std::int32_t>(rows.size()));
        EXPECT_EQ(p.totals.bytesReceived, c.total);
        if (rows.size() == 1) {
            EXPECT_EQ(p.records.Item(1)->OctetsReceived(), static_cast<std::int32_t>(c.received[0]));
        }
    }
}

TEST(IfTableParser, HundredsOfRowsEachAtItsOwnOffsetInOrder) {
    std::vector<IfRowFields> rows(700);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows[i].index = static_cast<std::uint32_t>(i * 3 + 1);
        rows[i].name = Utf8ToUtf16("if" + std::to_string(i));
        rows[i].inOctets = static_cast<std::uint32_t>(i);
    }
    const Parsed p = Parse(BuildIfTable(rows));
    ASSERT_EQ(p.records.Count(), 700);
    std::int32_t position = 0;
    for (const CInterfacePtr& r : p.records) {
        EXPECT_EQ(r->InterfaceIndex(), position * 3 + 1);
        EXPECT_EQ(r->InterfaceName(), "if" + std::to_string(position));
        ++position;
    }
    EXPECT_EQ(p.totals.bytesReceived, 699 * 700 / 2);
}

TEST(IfTableParser, MalformedBuffersReadOnlyCompleteRows) {
    std::vector<IfRowFields> rows(3);
    for (auto& r : rows) r.inOctets = 10;
    const auto whole = BuildIfTable(rows);

    auto truncated = whole;
    truncated.resize(4 + 860 * 3 - 1);  // last row incomplete
    EXPECT_EQ(Parse(truncated).records.Count(), 2);
    EXPECT_EQ(Parse(truncated).totals.bytesReceived, 20);

    auto overclaimed = whole;
    Put(overclaimed, 0, 1000);
    EXPECT_EQ(Parse(overclaimed).records.Count(), 3);

    EXPECT_EQ(Parse({}).records.Count(), 0);
    EXPECT_EQ(Parse({1, 0, 0}).records.Count(), 0);
    EXPECT_EQ(Parse({5, 0, 0, 0}).records.Count(), 0);
}

TEST(IfTableParser, RowCountHonoursOnlyItsLow16BitsAsSigned) {
    const std::size_t room = 4 + 860 * 40000;
    EXPECT_EQ(RowsToRead(0, room), 0u);
    EXPECT_EQ(RowsToRead(3, room), 3u);
    EXPECT_EQ(RowsToRead(32767, room), 32767u);
    EXPECT_EQ(RowsToRead(32768, room), 0u);
    EXPECT_EQ(RowsToRead(0x10003, room), 3u);
    EXPECT_EQ(RowsToRead(0xFFFFFFFFu, room), 0u);
    EXPECT_EQ(RowsToRead(5, 4 + 860 * 2 + 859), 2u);
    EXPECT_EQ(RowsToRead(5, 3), 0u);
}

TEST(IfTableParser, StrictCheckNamesWhatIsWrong) {
    std::vector<IfRowFields> rows(2);
    const auto good = BuildIfTable(rows);
    EXPECT_FALSE(CheckIfTable(good).has_value());
    EXPECT_FALSE(CheckIfTable(BuildIfTable({})).has_value());

    auto shortBy1 = good;
    shortBy1.resize(4 + 860 * 2 - 1);
    ASSERT_TRUE(CheckIfTable(shortBy1).has_value());
    EXPECT_NE(CheckIfTable(shortBy1)->find("1724"), std::string::npos) << *CheckIfTable(shortBy1);
    std::vector<std::uint8_t> rowsOnly(good.begin(), good.begin() + 4 + 860 * 2);
    EXPECT_FALSE(CheckIfTable(rowsOnly).has_value()) << "a table saved before the blocks existed";
    auto extra = good;
    extra.push_back(0);
    EXPECT_TRUE(CheckIfTable(extra).has_value()) << "a cut block header";
    auto cutBlock = good;
    cutBlock.pop_back();
    EXPECT_TRUE(CheckIfTable(cutBlock).has_value()) << "a block shorter than it says";
    auto unknown = rowsOnly;
    for (const char c : std::string("ZZZZ\x01\0\0\0!", 9)) unknown.push_back(static_cast<std::uint8_t>(c));
    EXPECT_FALSE(CheckIfTable(unknown).has_value()) << "a block of a later version is skipped";
    auto damagedExtras = rowsOnly;
    for (const char c : std::string("TGRX\x03\0\0\0\x01\x05x", 11)) damagedExtras.push_back(static_cast<std::uint8_t>(c));
    EXPECT_TRUE(CheckIfTable(damagedExtras).has_value()) << "an alias longer than its entry";
    EXPECT_TRUE(CheckIfTable(std::vector<std::uint8_t>{1, 2}).has_value());
    std::vector<std::uint8_t> huge(4);
    Put(huge, 0, 0xFFFFFFFFu);
    EXPECT_TRUE(CheckIfTable(huge).has_value());
}

TEST(IfTableParser, BlocksAfterTheRowsGiveExtrasAndTheSavedSelection) {
    std::vector<IfRowFields> rows(3);
    rows[0].hardware = true;
    rows[0].alias = "Wi-Fi";
    rows[2].alias = std::string(253, 'x') + "\xE4\xBB\xA5";  // 256 bytes: cut before the character
    auto table = BuildIfTable(rows);
    AppendSelectionBlock(table, "eth0,wlan%2C1");
    EXPECT_FALSE(CheckIfTable(table).has_value());
    const Parsed p = Parse(table);
    ASSERT_EQ(p.records.Count(), 3);
    EXPECT_TRUE(p.records.Item(1)->HardwareInterface());
    EXPECT_EQ(p.records.Item(1)->InterfaceAlias(), "Wi-Fi");
    EXPECT_FALSE(p.records.Item(2)->HardwareInterface());
    EXPECT_EQ(p.records.Item(3)->InterfaceAlias(), std::string(253, 'x'));
    EXPECT_EQ(SavedSelection(table), "eth0,wlan%2C1");

    // A table of the classic layout alone, as older dump files hold: rows without extras.
    const std::vector<std::uint8_t> classic(table.begin(), table.begin() + 4 + 860 * 3);
    const Parsed old = Parse(classic);
    ASSERT_EQ(old.records.Count(), 3);
    EXPECT_FALSE(old.records.Item(1)->HardwareInterface());
    EXPECT_EQ(old.records.Item(1)->InterfaceAlias(), "");
    EXPECT_EQ(SavedSelection(classic), std::nullopt);
}

}  // namespace
}  // namespace tg

namespace tg {
namespace {

std::u16string DecodeUtf8(std::string_view bytes) { return Utf8ToUtf16(bytes); }

TEST(IfTableParser, MultiByteDescriptionsKeepTheirBytesNotTrailingZeros) {
    IfRowFields f;
    f.description = "\xE4\xBB\xA5\xE5\xA4\xAA\xE7\xBD\x91";  // three characters in nine bytes
    const auto b = BuildIfTable({&f, 1});
    CInterfaces records;
    IfTotals totals;
    ParseIfTable(b, records, totals, DecodeUtf8);
    EXPECT_EQ(records.Item(1)->InterfaceDescription(), f.description);
}

}  // namespace
}  // namespace tg
