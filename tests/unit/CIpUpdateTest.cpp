#include <gtest/gtest.h>

#include <chrono>
#include <optional>
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

class CIpUpdateTest : public ::testing::Test {
 protected:
    CIpUpdateTest() {
        sampler.Data = [this](std::int32_t& OutData, std::int32_t& InData) {
            events.push_back({OutData, InData});
            OutData = -1;  // not read back
            InData = -1;
        };
    }

    // One tick, `elapsed` after the previous one, with these table totals.
    std::optional<Event> Tick(std::uint32_t received, std::uint32_t sent, std::chrono::nanoseconds elapsed = 1s) {
        source.SetTotals({{received, sent}});
        clock.Advance(elapsed);
        const std::size_t before = events.size();
        sampler.Update();
        if (events.size() == before) return std::nullopt;
        return events.back();
    }

    FakeTableSource source;
    RecordingMessages messages;
    UnsupportedNotice notice{messages};
    FakeClock clock;
    CIpUpdate sampler{source, notice, clock};
    std::vector<Event> events;
};

TEST_F(CIpUpdateTest, AmountsPerSecondTickInWholeKilobytesReceivedFirst) {
    EXPECT_EQ(Tick(5'000'000, 1'000'000), std::nullopt) << "the first tick only sets the baseline";
    EXPECT_EQ(Tick(5'012'345, 1'000'999), (Event{12, 0}));
    EXPECT_EQ(Tick(5'013'344, 1'001'000), (Event{0, 0})) << "999 and 1 bytes still raise the event";
    EXPECT_EQ(Tick(5'017'344, 1'001'000), std::nullopt) << "nothing sent: no event";
    EXPECT_EQ(Tick(5'017'344, 1'011'000), std::nullopt) << "nothing received: no event";
    EXPECT_EQ(Tick(5'027'344, 1'021'000), (Event{10, 10})) << "the silent ticks still advanced the totals";
}

TEST_F(CIpUpdateTest, DifferencesWrapAround32Bits) {
    Tick(static_cast<std::uint32_t>(-10), 100);
    EXPECT_EQ(Tick(20, 2100), (Event{0, 2}));
    Tick(0xFFFFFF00u, 1000);
    EXPECT_EQ(Tick(999'744, 3000), (Event{1000, 2})) << "0xFFFFFF00 + 1,000,000 wraps to 999,744";
}

TEST_F(CIpUpdateTest, FallingTotalsRaiseNothing) {
    Tick(3'000'000, 1'000'000);
    EXPECT_EQ(Tick(2'000'000, 900'000), std::nullopt) << "an interface went away";
    EXPECT_EQ(Tick(2'100'000, 1'000'000), (Event{100, 100}));
}

TEST_F(CIpUpdateTest, NoBaselineAfterAFailedReadEither) {
    Tick(3'000'000, 1'000'000);
    source.fillResult = 31;
    clock.Advance(1s);
    sampler.Update();
    source.fillResult = TableSource::kNoError;
    EXPECT_EQ(Tick(3'000'500, 1'000'200), std::nullopt) << "the whole totals are no rate";
    EXPECT_EQ(Tick(3'010'500, 1'002'200), (Event{10, 2}));
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(CIpUpdateTest, LateTicksAreScaledBackToOneSecond) {
    Tick(1'000'000, 1'000'000);
    EXPECT_EQ(Tick(1'000'000 + 10'000'000, 1'000'000 + 50'000, 10s), (Event{1000, 5}))
        << "a menu held open ten seconds is not ten seconds in one";
    EXPECT_EQ(Tick(11'000'000 + 1'500'000, 1'050'000 + 1'500, 1500ms), (Event{1000, 1}));
    EXPECT_EQ(Tick(12'500'000 + 500'000, 1'051'500 + 2'000, 500ms), (Event{1000, 4}));
    EXPECT_EQ(Tick(13'000'000 + 999'999, 1'053'500 + 1'000, 1000ms), (Event{999, 1}))
        << "exactly one second: the plain amounts, rounded down";
}

TEST_F(CIpUpdateTest, NestedUpdateWorksFromTheSameBaselineAndTheOuterStoresItsOwn) {
    Tick(1'000'000, 1'000'000);
    bool nested = false;
    sampler.Data = [&](std::int32_t& OutData, std::int32_t& InData) {
        events.push_back({OutData, InData});
        if (nested) return;
        nested = true;
        source.SetTotals({{1'005'000, 1'005'000}});  // a tick that runs inside the handler
        sampler.Update();
    };
    EXPECT_EQ(Tick(1'002'000, 1'002'000), (Event{5, 5}));
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0], (Event{2, 2}));
    EXPECT_EQ(Tick(1'010'000, 1'010'000), (Event{8, 8})) << "the outer tick's totals are the baseline";
}

TEST(Rates, KilobytesPerSecondAndKilobits) {
    EXPECT_EQ(KilobytesPerSecond(999, 1s), 0);
    EXPECT_EQ(KilobytesPerSecond(1000, 1s), 1);
    EXPECT_EQ(KilobytesPerSecond(0x7FFFFFFF, 1s), 2147483);
    EXPECT_EQ(KilobytesPerSecond(0x7FFFFFFF, 1ms), 2147483647);
    EXPECT_EQ(KilobytesPerSecond(0x7FFFFFFF, 1ns), 0x7FFFFFFF) << "clamped, not wrapped";
    EXPECT_EQ(KilobytesPerSecond(5000, 0s), 5) << "no time passed: taken as one second";
    EXPECT_EQ(KilobytesPerSecond(5000, -3s), 5);
    EXPECT_EQ(KilobytesPerSecond(-5000, 1s), 0);
    EXPECT_EQ(KilobitsFromKilobytes(12), 96);
    EXPECT_EQ(KilobitsFromKilobytes(0x7FFFFFFF), 0x7FFFFFFF);
}

}  // namespace
}  // namespace tg
