// A whole day of ticks through the portable core: a fake table whose 32-bit counters wrap many
// times, a fake clock, and the real pixel surface. The heap must hold the same after the day as
// after the first minute, and the picture at the end must be what a fresh window shows after the
// day's last minutes.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "FakeMainWindow.h"
#include "Fakes.h"
#include "HeapCount.h"
#include "appearance/PixelSurface.h"
#include "mainwindow/frmMain.h"

namespace tg {
namespace {

using namespace std::chrono_literals;

constexpr int kDay = 86'400;

struct Traffic {
    std::uint32_t in, out;
};

// Deterministic, uneven traffic: quiet stretches, steady loads and bursts of several MB/s that
// wrap the 32-bit counters every few minutes.
Traffic TrafficAt(int second) {
    std::uint32_t s = static_cast<std::uint32_t>(second) * 2654435761u;
    s ^= s >> 13;
    const int phase = (second / 600) % 4;
    if (phase == 0) return {s % 2'000, s % 700};
    if (phase == 1) return {100'000 + s % 50'000, 20'000 + s % 9'000};
    if (phase == 2) return {9'000'000 + s % 4'000'000, 1'000'000 + s % 3'000'000};
    return {s % 130'000, s % 130'000};
}

// One main window over fakes, as frmMain's own tests build it, with or without the
// notification-area icon, whose texts are built at every tick.
class Monitor : public test::FakeMainWindow {
 public:
    explicit Monitor(bool withIcon) {
        for (const auto& [key, text] : {std::pair{keys::info, "1"}, std::pair{keys::kbps, "1024"},
                                        std::pair{keys::trayicon, withIcon ? "1" : "0"}})
            settings.Set(kSettingsApp, kSettingsSection, key.name, text);
        table.SetTotals({{received, sent}});
        window.Form_Load();
    }
    void Tick(Traffic t) {
        received += t.in;  // unsigned: wraps as the system's counters do
        sent += t.out;
        table.SetTotals({{received, sent}});
        clock.Advance(1s);
        window.Timer2_Timer();
        table.sortFlags.clear();  // the fake's own record of calls would otherwise grow all day
    }

    std::uint32_t received = 4'000'000'000u, sent = 4'200'000'000u;
};

std::vector<std::int32_t> Pixels(const PixelSurface& p) {
    std::vector<std::int32_t> all;
    for (std::int32_t y = 0; y < p.Height(); ++y)
        for (std::int32_t x = 0; x < p.Width(); ++x) all.push_back(p.Pixel(x, y));
    return all;
}

class DaySoakTest : public ::testing::TestWithParam<bool> {};

TEST_P(DaySoakTest, ADayOfTicksLeavesTheHeapAsItWasAndTheGraphRight) {
    Monitor day(GetParam());
    int second = 0;
    for (; second < 60; ++second) day.Tick(TrafficAt(second));
    const test::HeapCount::Snapshot before = test::HeapCount::Now();
    for (; second < kDay; ++second) day.Tick(TrafficAt(second));
    const test::HeapCount::Snapshot after = test::HeapCount::Now();
    EXPECT_EQ(after.blocks, before.blocks) << "heap blocks held after a minute and after a day";
    EXPECT_EQ(after.bytes, before.bytes);
    EXPECT_GT(after.allocations, before.allocations) << "the counter sees the ticks' allocations";

    // Every column of the picture comes from the last width's worth of ticks, so a window that
    // saw only those (plus one to set its baseline) must show the same pixels and read-outs.
    Monitor fresh(GetParam());
    const int window = day.picture.Width() + 1;
    for (int s = kDay - window; s < kDay; ++s) fresh.Tick(TrafficAt(s));
    EXPECT_EQ(Pixels(day.picture), Pixels(fresh.picture));
    for (const LabelId label : {LabelId::Label1, LabelId::Label9, LabelId::Label10})
        EXPECT_EQ(day.form.text[label], fresh.form.text[label]);
    EXPECT_NE(day.form.text[LabelId::Label9], "D:0kb") << "the last minutes carried traffic";
    EXPECT_EQ(day.icon.texts, GetParam() ? kDay : 0) << "the icon's texts at every tick while it shows";
    EXPECT_EQ(day.icon.tooltip, fresh.icon.tooltip);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutTheIcon, DaySoakTest, ::testing::Bool());

}  // namespace
}  // namespace tg
