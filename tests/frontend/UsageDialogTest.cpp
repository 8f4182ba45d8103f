// The usage dialog as a user meets it, the same on every front end: the described controls, the
// chart drawn as the portable picture holds it, and the spin button's commit rules.
#include <gtest/gtest.h>

#include "Fixture.h"
#include "appearance/PixelSurface.h"
#include "usage/UsageChart.h"
#include "usage/frmUsage.h"

namespace tg::test {
namespace {

ControlKind Shown(UsageControlKind kind) {
    switch (kind) {
        case UsageControlKind::Chart: return ControlKind::Chart;
        case UsageControlKind::Spin: return ControlKind::Spin;
        default: return ControlKind::Label;
    }
}

class UsageDialogTest : public FixtureTest {
 protected:
    void SetUp() override { ui->OpenDialog(Dialog::Usage); }
    std::string Caption(std::string_view name) { return ui->Control(name).caption; }
};

TEST_F(UsageDialogTest, AFixedDialogOverTheMainWindowWithTheDescribedControls) {
    const DialogFrame frame = ui->Frame();
    EXPECT_EQ(frame.title, Text(kUsageTitle));
    const PixelRect client = RectToPixels({0, 0, kUsageClientWidth, kUsageClientHeight}, 15);
    EXPECT_EQ(std::make_pair(frame.client.cx, frame.client.cy), std::make_pair(client.cx, client.cy));
    EXPECT_NEAR(2 * frame.outer.x + frame.outer.cx, 1920, 1);
    EXPECT_NEAR(2 * frame.outer.y + frame.outer.cy, 1080, 1);
    EXPECT_FALSE(frame.resizable);
    EXPECT_TRUE(frame.ownedByMainWindow);

    for (const UsageControl& c : kUsageControls) {
        const ControlView control = ui->Control(c.name);
        ASSERT_TRUE(control.found) << c.name;
        EXPECT_EQ(control.place, RectToPixels(c.place, 15)) << c.name;
        EXPECT_EQ(control.kind, Shown(c.kind)) << c.name;
        EXPECT_EQ(control.takesFocus, TakesFocus(c.kind)) << c.name;
        if (control.kind != ControlKind::Label) continue;
        EXPECT_EQ(control.caption, Text(c.caption)) << c.name;
        EXPECT_EQ(control.align, c.align) << c.name;
    }
    const ControlView spin = ui->Control("PeriodStart");
    EXPECT_EQ(std::make_pair(spin.min, spin.max), std::make_pair(kPeriodStartSpin.min, kPeriodStartSpin.max));
    EXPECT_EQ(spin.value, kPeriodStartSpin.designValue);
    EXPECT_EQ(spin.caption, std::to_string(kPeriodStartSpin.designValue));
}

TEST_F(UsageDialogTest, ShowsTheTotalsAndTheChartPixelForPixel) {
    ui->Usage().Form_Load();
    EXPECT_EQ(Caption("TodayReceived"), "1.50 GB");
    EXPECT_EQ(Caption("LastPeriodTotal"), "2.00 GB");
    EXPECT_EQ(Caption("Day29"), "8");
    EXPECT_EQ(Caption("PeriodStart"), "1");

    const PixelRect place = RectToPixels(kUsageControls[UsageControlIndex(UsageControlKind::Chart)].place, 15);
    PixelSurface expected(place.cx, place.cy);
    DrawUsageChart({expected, place.cx, place.cy}, Summarize(world.log, world.calendar.today, 1), kUsageColours);
    const auto differ = [&] {
        const Image shot = ui->CaptureControl("Chart");
        if (shot.width != place.cx || shot.height != place.cy) return -1;
        int count = 0;
        for (int y = 0; y < place.cy; ++y)
            for (int x = 0; x < place.cx; ++x) count += shot.At(x, y) != RgbOf(expected.Pixel(x, y));
        return count;
    };
    EXPECT_TRUE(ui->WaitUntil([&] { return differ() == 0; })) << differ() << " pixels differ from the portable picture";
    EXPECT_GT(ui->CaptureControl("Chart").Count([](const Rgb& c) { return c == RgbOf(kUsageColours.download); }), 0);
}

TEST_F(UsageDialogTest, TypedDaysAreTakenWhenCommittedAndAnythingElseIsRefused) {
    ui->Usage().Form_Load();
    using Commit = Fixture::Commit;
    const struct {
        const char* typed;
        Commit commit;
        int shown;
        std::optional<std::string> stored;
    } cases[] = {
        {"31", Commit::Enter, 1, std::nullopt}, {"0", Commit::Leave, 1, std::nullopt},
        {"ab", Commit::Enter, 1, std::nullopt}, {"12", Commit::Enter, 12, "12"},
        {"29", Commit::Leave, 12, "12"},        {"5", Commit::Leave, 5, "5"},
    };
    for (const auto& c : cases) {
        ui->TypeIntoSpin(c.typed, c.commit);
        EXPECT_TRUE(ui->WaitUntil([&] {
            return Caption("PeriodStart") == std::to_string(c.shown) && world.Stored("periodstart") == c.stored;
        })) << c.typed << ": shows " << Caption("PeriodStart");
        EXPECT_EQ(ui->UsagePort().SpinValue(kPeriodStartControl), c.shown) << c.typed;
        EXPECT_EQ(ui->Control("PeriodStart").value, c.shown) << c.typed;
    }
}

TEST_F(UsageDialogTest, TheArrowsStepTheDayAndStoreIt) {
    world.Store("periodstart", "27");
    ui->Usage().Form_Load();
    const struct {
        const char* typed;  // left uncommitted before the click
        bool up;
        int shown;
    } clicks[] = {{nullptr, true, 28}, {nullptr, true, 28}, {nullptr, false, 27}, {nullptr, false, 26},
                  {"20", true, 21},  {"x", false, 20}};
    for (const auto& c : clicks) {
        if (c.typed) ui->TypeIntoSpin(c.typed, Fixture::Commit::None);
        ui->ClickSpinArrow(c.up);
        const std::string shown = std::to_string(c.shown);
        EXPECT_TRUE(ui->WaitUntil([&] {
            return world.Stored("periodstart") == shown && Caption("PeriodStart") == shown;
        })) << (c.typed ? c.typed : "") << (c.up ? " up: " : " down: ") << Caption("PeriodStart");
        EXPECT_EQ(ui->UsagePort().SpinValue(kPeriodStartControl), c.shown);
    }
}

// The limit's spin button follows its own range and key, and leaves the first day alone.
TEST_F(UsageDialogTest, TheLimitTakesWholeGigabytesUpToAMillionAndItsArrowsStepIt) {
    ui->Usage().Form_Load();
    ui->TypeIntoSpin("1000001", Fixture::Commit::Enter, "Quota");
    EXPECT_TRUE(ui->WaitUntil([&] { return Caption("Quota") == "0"; })) << Caption("Quota");
    EXPECT_EQ(world.Stored("quota"), std::nullopt);
    ui->TypeIntoSpin("1000000", Fixture::Commit::Enter, "Quota");
    EXPECT_TRUE(ui->WaitUntil([&] { return world.Stored("quota") == "1000000"; }));
    ui->ClickSpinArrow(false, "Quota");
    EXPECT_TRUE(ui->WaitUntil([&] { return world.Stored("quota") == "999999" && Caption("Quota") == "999999"; }))
        << Caption("Quota");
    EXPECT_EQ(ui->UsagePort().SpinValue(kQuotaControl), 999999);
    EXPECT_EQ(Caption("PeriodStart"), "1");
    EXPECT_EQ(world.Stored("periodstart"), std::nullopt);
}

TEST_F(FixtureTest, TheUsageHostShowsTheLogAsItGrowsAndHoldsTheMainWindowUntilItCloses) {
    bool shown = false;
    ui->RunModal(Dialog::Usage, [&] {
        shown = true;
        EXPECT_TRUE(ui->MainWindowWaits());
        EXPECT_TRUE(ui->HasMainWindowIcon());
        EXPECT_TRUE(ui->ShowsText("1.50 GB"));
        world.log.Add(D(2026, 12, 8), {1'000'000'000, 0});
        EXPECT_TRUE(ui->WaitUntil([&] { return ui->ShowsText("2.50 GB"); }, 1500ms)) << "within a refresh";
    });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(ui->MainWindowWaits()) << "free again once closed";
}

}  // namespace
}  // namespace tg::test
