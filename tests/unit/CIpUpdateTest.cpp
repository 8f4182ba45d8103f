#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <tuple>
#include <utility>
#include <vector>

#include "Fakes.h"
#include "counters/CIpUpdate.h"

namespace tg {
namespace {

using namespace std::chrono_literals;
using test::FakeClock;
using test::FakeTableSource;
using test::RecordingMessages;

struct Event {
    std::int32_t down, up;
    bool operator==(const Event&) const = default;
};
std::ostream& operator<<(std::ostream& os, const Event& e) { return os << "{" << e.down << ", " << e.up << "}"; }

// One interface in one tick's table.
struct Link {
    const char* name;
    std::uint32_t received, sent;
    std::uint32_t index = 1;
    bool hardware = true;
};

class CIpUpdateTest : public ::testing::Test {
 protected:
    CIpUpdateTest() {
        sampler.Data = [this](std::int32_t& OutData, std::int32_t& InData) {
            events.push_back({OutData, InData});
            rates.emplace_back(result.down, result.up);  // the result as the handler finds it
            OutData = -1;  // not read back
            InData = -1;
        };
    }

    void Serve(const std::vector<Link>& links) {
        std::vector<IfRowFields> rows;
        for (const Link& l : links) {
            IfRowFields& r = rows.emplace_back();
            r.name = std::u16string(l.name, l.name + std::char_traits<char>::length(l.name));
            r.index = l.index;
            r.inOctets = l.received;
            r.outOctets = l.sent;
            r.hardware = l.hardware;
        }
        source.SetRows(rows);
    }

    // One tick, `elapsed` after the previous one, with these interfaces in the table.
    std::optional<Event> Tick(const std::vector<Link>& links, std::chrono::nanoseconds elapsed = 1s) {
        Serve(links);
        clock.Advance(elapsed);
        const std::size_t before = events.size();
        sampler.Update(result);
        if (events.size() == before) return std::nullopt;
        return events.back();
    }
    std::optional<Event> Tick(std::uint32_t received, std::uint32_t sent, std::chrono::nanoseconds elapsed = 1s) {
        return Tick({{"eth0", received, sent}}, elapsed);
    }

    FakeTableSource source;
    RecordingMessages messages;
    UnsupportedNotice notice{messages};
    FakeClock clock;
    CIpUpdate sampler{source, notice, clock};
    TickResult result;
    std::vector<Event> events;
    std::vector<std::pair<Rate, Rate>> rates;
};

TEST_F(CIpUpdateTest, EveryTickAfterTheFirstReadsKilobytesReceivedFirstIdleOnesZero) {
    EXPECT_EQ(Tick(5'000'000, 1'000'000), std::nullopt) << "the first tick only sets the baseline";
    EXPECT_EQ(Tick(5'012'345, 1'000'999), (Event{12, 0}));
    EXPECT_EQ(Tick(5'013'344, 1'001'000), (Event{0, 0})) << "999 and 1 bytes";
    EXPECT_EQ(Tick(5'063'344, 1'001'000), (Event{50, 0})) << "a download alone";
    EXPECT_EQ(Tick(5'063'344, 1'001'000), (Event{0, 0})) << "nothing moved: the read-outs fall to 0";
    EXPECT_EQ(Tick(5'063'344, 1'011'000), (Event{0, 10})) << "an upload alone";
}

TEST_F(CIpUpdateTest, DifferencesWrapAround32Bits) {
    Tick(static_cast<std::uint32_t>(-10), 100);
    EXPECT_EQ(Tick(20, 2100), (Event{0, 2}));
    Tick(0xFFFFFF00u, 1000);
    EXPECT_EQ(Tick(999'744, 3000), (Event{1000, 2})) << "0xFFFFFF00 + 1,000,000 wraps to 999,744";
}

// Each step is one tick's table and what it must read.
struct Step {
    std::vector<Link> links;
    std::optional<Event> expected;
    const char* why;
};

TEST_F(CIpUpdateTest, InterfacesThatComeGoOrResetAddNothingWhileTheOthersStillShow) {
    const Step steps[] = {
        {{{"eth0", 1'000'000, 500'000}}, std::nullopt, "baseline"},
        {{{"eth0", 1'010'000, 501'000}, {"usb0", 949'000'000, 3'000'000, 7}}, Event{10, 1},
         "a link that arrives with 949 MB adds nothing"},
        {{{"eth0", 1'020'000, 502'000}, {"usb0", 949'005'000, 3'002'000, 7}}, Event{15, 3}, "then counts from there"},
        {{{"eth0", 1'030'000, 503'000}}, Event{10, 1}, "one that leaves subtracts nothing"},
        {{{"eth0", 40'000, 2'000}}, Event{0, 0}, "a counter reset adds nothing"},
        {{{"eth0", 45'000, 2'500}, {"wlan0", 8'000, 9'000, 3}}, Event{5, 0}, "and is its own baseline"},
        {{{"wlan0", 9'000, 9'500, 3}, {"eth0", 46'000, 2'600}}, Event{2, 0}, "rows that change places keep theirs"},
        {{{"eth0", 47'000, 2'700, 9}}, Event{0, 0}, "a new index is a new link: no baseline"},
    };
    for (const Step& s : steps) EXPECT_EQ(Tick(s.links), s.expected) << s.why;
}

TEST_F(CIpUpdateTest, TheSelectionDecidesWhatIsSummedAndAChangeMakesNoSpike) {
    const std::vector<Link> start = {{"lo", 0, 0, 1, false}, {"eth0", 0, 0, 2}, {"docker0", 0, 0, 3, false}};
    Tick(start);
    const auto tick = [&](std::uint32_t lo, std::uint32_t eth, std::uint32_t docker) {
        return Tick({{"lo", lo, lo, 1, false}, {"eth0", eth, eth, 2}, {"docker0", docker, docker, 3, false}});
    };
    EXPECT_EQ(tick(50'000, 3'000, 20'000), (Event{3, 3})) << "automatic: the hardware link alone";
    std::vector<std::tuple<bool, std::int64_t>> rows;
    for (const RowTick& r : result.rows) rows.emplace_back(r.counted, r.received);
    EXPECT_EQ(rows, (std::vector<std::tuple<bool, std::int64_t>>{{false, 50'000}, {true, 3'000}, {false, 20'000}}))
        << "every row's own amount, counted or not";
    EXPECT_EQ(result.elapsed, 1s);
    sampler.Select(InterfaceSelection::Chosen({"lo", "docker0"}));
    EXPECT_EQ(tick(150'000, 9'000'000, 20'000), (Event{100, 100})) << "chosen: lo and docker0 from the next tick";
    sampler.Select(InterfaceSelection::Chosen({"gone0"}));
    EXPECT_EQ(tick(250'000, 9'001'000, 21'000), (Event{0, 0})) << "a chosen link that is absent counts nothing";
    sampler.Select(InterfaceSelection::All());
    EXPECT_EQ(tick(251'000, 9'002'000, 22'000), (Event{3, 3}));
}

TEST_F(CIpUpdateTest, AFailedReadGivesNoEventAndNeitherDoesTheFirstGoodReadAfterIt) {
    Tick(3'000'000, 1'000'000);
    source.fillResult = 31;
    clock.Advance(1s);
    sampler.Update(result);
    source.fillResult = TableSource::kNoError;
    EXPECT_EQ(Tick(3'000'500, 1'000'200), std::nullopt) << "no baseline to measure against";
    EXPECT_EQ(Tick(3'010'500, 1'002'200), (Event{10, 2}));
    EXPECT_EQ(events.size(), 1u);
    source.queryResult = TableSource::kNotSupported;
    EXPECT_EQ(Tick(3'020'500, 1'002'200), std::nullopt) << "no table on this system";
    EXPECT_EQ(Tick({}), std::nullopt);
}

TEST_F(CIpUpdateTest, AnEmptyTableStillTicksAsIdle) {
    Tick({});
    EXPECT_EQ(Tick({}), (Event{0, 0}));
    EXPECT_EQ(result.table->Count(), 0);
}

TEST_F(CIpUpdateTest, LateTicksAreScaledBackToOneSecondButTheTickBytesAreExact) {
    Tick(1'000'000, 1'000'000);
    EXPECT_EQ(Tick(1'000'000 + 10'000'000, 1'000'000 + 50'000, 10s), (Event{1000, 5}))
        << "a menu held open ten seconds is not ten seconds in one";
    EXPECT_EQ(result.bytes.received, 10'000'000);
    EXPECT_EQ(result.bytes.sent, 50'000);
    EXPECT_EQ(Tick(11'000'000 + 1'500'000, 1'050'000 + 1'500, 1500ms), (Event{1000, 1}));
    EXPECT_EQ(Tick(12'500'000 + 500'000, 1'051'500 + 2'000, 500ms), (Event{1000, 4}));
    EXPECT_EQ(Tick(13'000'000 + 999'999, 1'053'500 + 1'000, 1000ms), (Event{999, 1}))
        << "exactly one second: the plain amounts, rounded down";
    EXPECT_EQ(rates.back(), std::pair(Rate{7992, 7'999'992}, Rate{8, 8'000})) << "kilobits: the pair's kilobytes x 8";
}

TEST_F(CIpUpdateTest, NestedUpdateWorksFromTheSameBaselineAndTheOuterStoresItsOwn) {
    Tick(1'000'000, 1'000'000);
    bool nested = false;
    sampler.Data = [&](std::int32_t& OutData, std::int32_t& InData) {
        events.push_back({OutData, InData});
        if (nested) return;
        nested = true;
        Serve({{"eth0", 1'005'000, 1'005'000}});  // a tick that runs inside the handler
        sampler.Update(result);
    };
    EXPECT_EQ(Tick(1'002'000, 1'002'000), (Event{5, 5}));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], (Event{2, 2}));
    EXPECT_EQ(Tick(1'010'000, 1'010'000), (Event{8, 8})) << "the outer tick's readings are the baseline";
}

TEST(Rates, KilobytesPerSecondAndKilobits) {
    EXPECT_EQ(KilobytesPerSecond(999, 1s), 0);
    EXPECT_EQ(KilobytesPerSecond(1000, 1s), 1);
    EXPECT_EQ(KilobytesPerSecond(0x7FFFFFFF, 1s), 2147483);
    EXPECT_EQ(KilobytesPerSecond(0x7FFFFFFF, 1ms), 2147483647);
    EXPECT_EQ(KilobytesPerSecond(0x7FFFFFFF, 1ns), 0x7FFFFFFF) << "clamped, not wrapped";
    EXPECT_EQ(KilobytesPerSecond(std::int64_t{3} << 40, 3600s), 916'259) << "a sum over many interfaces";
    EXPECT_EQ(KilobytesPerSecond(INT64_MAX, 1s), 0x7FFFFFFF);
    EXPECT_EQ(KilobytesPerSecond(5000, 0s), 5) << "no time passed: taken as one second";
    EXPECT_EQ(KilobytesPerSecond(5000, -3s), 5);
    EXPECT_EQ(KilobytesPerSecond(-5000, 1s), 0);
    EXPECT_EQ(BitsPerSecond(125'000, 1s), 1'000'000u);
    EXPECT_EQ(BitsPerSecond(125'000, 2s), 500'000u) << "scaled to a second";
    EXPECT_EQ(BitsPerSecond(3, 0s), 24u);
    EXPECT_EQ(BitsPerSecond(-3, 1s), 0u);
    EXPECT_EQ(BitsPerSecond(INT64_MAX, 1ns), UINT64_MAX) << "held, not wrapped";
    EXPECT_EQ(KilobitsFromKilobytes(12), 96);
    EXPECT_EQ(KilobitsFromKilobytes(0x7FFFFFFF), 0x7FFFFFFF);
}

}  // namespace
}  // namespace tg
