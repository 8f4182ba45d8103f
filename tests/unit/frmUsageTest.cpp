#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>

#include "Fakes.h"
#include "UsageDays.h"
#include "appearance/PixelSurface.h"
#include "usage/UsageChart.h"
#include "usage/frmUsage.h"

namespace tg {
namespace {

using test::D;
using test::FixedCalendar;

TEST(UsageLayoutTest, TheControlsFitTheWindowWithoutOverlapping) {
    std::set<std::string_view> names;
    for (const UsageControl& c : kUsageControls) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name << " twice";
        EXPECT_GE(c.place.left, 0) << c.name;
        EXPECT_GE(c.place.top, 0) << c.name;
        EXPECT_LE(c.place.left + c.place.width, kUsageClientWidth) << c.name;
        EXPECT_LE(c.place.top + c.place.height, kUsageClientHeight) << c.name;
        for (const UsageControl& other : kUsageControls) {
            if (&other == &c) continue;
            const bool apart = c.place.left + c.place.width <= other.place.left ||
                               other.place.left + other.place.width <= c.place.left ||
                               c.place.top + c.place.height <= other.place.top ||
                               other.place.top + other.place.height <= c.place.top;
            EXPECT_TRUE(apart) << c.name << " and " << other.name;
        }
    }
}

// Each amount of the summary has one cell, on the row its line's caption heads.
TEST(UsageLayoutTest, EachAmountHasOneCellBesideItsLinesCaption) {
    std::map<std::pair<int, UsageColumn>, int> cells;
    for (const UsageControl& c : kUsageControls) {
        if (c.kind != UsageControlKind::Amount) continue;
        ++cells[{c.line, c.column}];
        bool captioned = false;
        for (const UsageControl& label : kUsageControls)
            captioned |= label.kind == UsageControlKind::Label && label.place.top == c.place.top &&
                         label.caption == kUsageLineCaptions[static_cast<std::size_t>(c.line)];
        EXPECT_TRUE(captioned) << c.name;
    }
    EXPECT_EQ(cells.size(), kUsageLineCaptions.size() * 3);
    for (const auto& [cell, count] : cells) EXPECT_EQ(count, 1) << cell.first;
}

// Under the bars the summary labels, centred in the bar's share of the chart at common DPIs.
TEST(UsageLayoutTest, DayLabelsSitUnderTheLabelledBars) {
    std::set<int> labelled, placed;
    for (int bar = 0; bar < kChartDays; ++bar)
        if (IsLabelledBar(bar)) labelled.insert(bar);
    const UsageControl& chart = kUsageControls[UsageControlIndex(UsageControlKind::Chart)];
    for (const UsageControl& c : kUsageControls) {
        if (c.kind != UsageControlKind::DayLabel) continue;
        placed.insert(c.bar);
        for (const double tpp : {15.0, 12.0, 10.0}) {
            const PixelRect area = RectToPixels(chart.place, tpp);
            const PixelRect label = RectToPixels(c.place, tpp);
            const int centre = label.x + label.cx / 2 - area.x;
            EXPECT_GE(centre, ChartShareLeft(c.bar, area.cx)) << c.name << " at " << tpp;
            EXPECT_LT(centre, ChartShareLeft(c.bar + 1, area.cx)) << c.name << " at " << tpp;
        }
    }
    EXPECT_EQ(placed, labelled);
}

class FakeUsageDialog final : public UsageDialog {
 public:
    std::map<std::string, std::string> texts;
    std::map<std::string, int> sets;  // SetText calls per control
    PixelSurface chart{300, 120};
    std::map<std::size_t, int> spins{{kPeriodStartControl, 0}, {kQuotaControl, 0}};
    int& spin = spins[kPeriodStartControl];
    int& quota = spins[kQuotaControl];
    int icons = 0;
    void CopyIconFromMainWindow() override { ++icons; }
    void SetText(std::size_t control, std::string_view text) override {
        const std::string name(kUsageControls.at(control).name);
        texts[name] = std::string(text);
        ++sets[name];
    }
    ChartPicture Chart() override { return {chart, chart.Width(), chart.Height()}; }
    void SetSpinValue(std::size_t control, int value) override { spins.at(control) = value; }
    int SpinValue(std::size_t control) const override { return spins.at(control); }
    void ShowModal() override {}
};

constexpr std::int32_t kDownload = 0x000000FF, kUpload = 0x0000FF00;

class frmUsageTest : public ::testing::Test {
 protected:
    frmUsageTest() {
        log.Add(D(2026, 12, 8), {1'500'000'000, 20'000'000});
        log.Add(D(2026, 12, 7), {3'000, 450});
        log.Add(D(2026, 12, 1), {100'000'000, 0});
        log.Add(D(2026, 11, 30), {7'000'000'000, 1'000'000'000});
    }
    std::optional<std::string> Stored(const char* key = "periodstart") { return settings.Get(kSettingsApp, kSettingsSection, key); }
    void Store(const std::string& text) { settings.Set(kSettingsApp, kSettingsSection, "periodstart", text); }

    FakeUsageDialog dialog;
    test::MemorySettings settings;
    SettingsStore store{settings};
    FixedCalendar calendar;
    UsageLog log;
    frmUsage usage{{dialog, store, calendar}, log, {kDownload, kUpload}};
};

TEST_F(frmUsageTest, ShowsTheFourLinesInBytesAndTheDaysUnderTheirBars) {
    usage.Form_Load();
    const std::map<std::string, std::string> expected = {
        {"TodayReceived", "1.50 GB"},      {"TodaySent", "20.0 MB"},      {"TodayTotal", "1.52 GB"},
        {"YesterdayReceived", "3.00 KB"},  {"YesterdaySent", "0.45 KB"},  {"YesterdayTotal", "3.45 KB"},
        {"PeriodReceived", "1.60 GB"},     {"PeriodSent", "20.0 MB"},     {"PeriodTotal", "1.62 GB"},
        {"LastPeriodReceived", "7.00 GB"}, {"LastPeriodSent", "1.00 GB"}, {"LastPeriodTotal", "8.00 GB"},
        {"Day1", "10"},  {"Day8", "17"},  {"Day15", "24"},  {"Day22", "1"},  {"Day29", "8"},
    };
    EXPECT_EQ(dialog.texts, expected);
    EXPECT_EQ(dialog.icons, 1);
}

TEST_F(frmUsageTest, EachSecondFollowsTheLogAndSetsOnlyTheTextsThatChanged) {
    usage.Form_Load();
    log.Add(D(2026, 12, 8), {500'000'000, 0});
    usage.Timer1_Timer();
    EXPECT_EQ(dialog.texts["TodayReceived"], "2.00 GB");
    EXPECT_EQ(dialog.texts["PeriodTotal"], "2.12 GB");
    EXPECT_EQ(dialog.sets["TodayReceived"], 2);
    EXPECT_EQ(dialog.sets["TodaySent"], 1) << "unchanged: not set again";

    calendar.today = D(2026, 12, 9);  // midnight passed while the dialog was open
    usage.Timer1_Timer();
    EXPECT_EQ(dialog.texts["TodayReceived"], "0 KB");
    EXPECT_EQ(dialog.texts["YesterdayReceived"], "2.00 GB");
    EXPECT_EQ(dialog.texts["Day29"], "9");
}

TEST_F(frmUsageTest, TheSpinShowsTheStoredStartDayAndLoadingStoresNothing) {
    const std::pair<std::optional<std::string>, int> cases[] = {
        {std::nullopt, 1}, {"15", 15}, {"28", 28}, {"29", 1}, {"0", 1}, {"x", 1}, {"", 1}};
    for (const auto& [stored, shown] : cases) {
        settings.values.clear();
        if (stored) Store(*stored);
        dialog.spin = 7;
        usage.Form_Load();
        EXPECT_EQ(dialog.spin, shown) << stored.value_or("(none)");
        EXPECT_EQ(Stored(), stored) << stored.value_or("(none)");
    }
}

TEST_F(frmUsageTest, AStepStoresTheNewStartDayAtOnceAndMovesThePeriods) {
    Store("29");
    usage.Form_Load();
    dialog.spin = 5;
    usage.Spin_Change(kPeriodStartControl);
    EXPECT_EQ(Stored(), "5");
    EXPECT_EQ(dialog.texts["PeriodReceived"], "1.50 GB") << "from the 5th: today and yesterday";
    EXPECT_EQ(dialog.texts["LastPeriodReceived"], "7.10 GB") << "November the 5th to December the 4th";

    settings.values.clear();
    usage.Spin_Change(kPeriodStartControl);
    EXPECT_EQ(Stored(), std::nullopt) << "the same day again: nothing to store";
    dialog.spin = kPeriodStartSpin.max + 1;
    usage.Spin_Change(kPeriodStartControl);
    EXPECT_EQ(dialog.spin, 5) << "a value past the range goes back to the day kept";
    EXPECT_EQ(Stored(), std::nullopt);
}

TEST_F(frmUsageTest, TypedTextIsTakenOnlyWhenItIsADayEveryMonthHas) {
    Store("3");
    usage.Form_Load();
    const struct {
        const char* typed;
        int shown;
        const char* stored;
    } cases[] = {
        {"31", 3, "3"}, {"0", 3, "3"}, {"abc", 3, "3"}, {"", 3, "3"}, {"-2", 3, "3"}, {"1.5", 3, "3"},
        {"12", 12, "12"}, {"28", 28, "28"}, {"29", 28, "28"}, {"1", 1, "1"},
    };
    for (const auto& c : cases) {
        dialog.spin = -1;
        usage.Spin_Typed(kPeriodStartControl, c.typed);
        EXPECT_EQ(dialog.spin, c.shown) << c.typed;
        EXPECT_EQ(Stored(), c.stored) << c.typed;
    }
}

// A stored limit that is none of the spin's values shows as none and stays until the user picks.
TEST_F(frmUsageTest, TheLimitTakesWholeGigabytesUpToAMillionAndRefusesAnythingElse) {
    settings.Set(kSettingsApp, kSettingsSection, "quota", "1e3");
    usage.Form_Load();
    EXPECT_EQ(dialog.quota, 0);
    const struct {
        const char* typed;
        int shown;
        const char* stored;
    } cases[] = {
        {"1000001", 0, "1e3"}, {"-5", 0, "1e3"}, {"2.5", 0, "1e3"}, {"0", 0, "1e3"},  {"500", 500, "500"},
        {"99999999999", 500, "500"}, {"1000000", 1'000'000, "1000000"}, {"0", 0, "0"},
    };
    for (const auto& c : cases) {
        usage.Spin_Typed(kQuotaControl, c.typed);
        EXPECT_EQ(dialog.quota, c.shown) << c.typed;
        EXPECT_EQ(Stored("quota"), c.stored) << c.typed;
    }
    dialog.quota = kQuotaSpin.max + 1;
    usage.Spin_Change(kQuotaControl);
    EXPECT_EQ(dialog.quota, 0) << "stepped past the range: back to the limit kept";
    EXPECT_EQ(std::make_pair(dialog.spin, Stored()), std::make_pair(1, std::optional<std::string>())) << "the day untouched";
}

// How many pixels of `colour` stand on the bottom row of column x, one above the other.
int ColumnHeight(const PixelSurface& s, int x, std::int32_t colour) {
    int h = 0;
    while (h < s.Height() && s.Pixel(x, s.Height() - 1 - h) == colour) ++h;
    return h;
}

TEST_F(frmUsageTest, TheChartsBarsStandInProportionToTheTallestInTheirColours) {
    log = UsageLog();
    log.Add(D(2026, 12, 8), {1000, 500});  // the tallest: the full height
    log.Add(D(2026, 12, 5), {1, 0});       // next to nothing still shows
    usage.Form_Load();
    const PixelSurface& chart = dialog.chart;
    const auto tallest = [&](int bar, std::int32_t colour) {  // of the columns in the bar's share
        int most = 0;
        for (int x = ChartShareLeft(bar, chart.Width()); x < ChartShareLeft(bar + 1, chart.Width()); ++x)
            most = std::max(most, ColumnHeight(chart, x, colour));
        return most;
    };
    const struct {
        int bar, download, upload;
    } bars[] = {{29, 120, 60}, {26, 1, 0}, {28, 0, 0}, {0, 0, 0}};
    for (const auto& b : bars) {
        EXPECT_EQ(tallest(b.bar, kDownload), b.download) << "bar " << b.bar;
        EXPECT_EQ(tallest(b.bar, kUpload), b.upload) << "bar " << b.bar;
    }
    const auto colours = [&] {
        std::map<std::int32_t, int> pixels;
        for (int y = 0; y < chart.Height(); ++y)
            for (int x = 0; x < chart.Width(); ++x) ++pixels[chart.Pixel(x, y)];
        return pixels;
    };
    EXPECT_EQ(colours().size(), 3u) << "the ground and the two colours only";
    log = UsageLog();
    usage.Timer1_Timer();
    EXPECT_EQ(colours(), (std::map<std::int32_t, int>{{kChartBack, 300 * 120}})) << "nothing counted: no bar";
}

}  // namespace
}  // namespace tg
