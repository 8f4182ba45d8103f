// The notification-area icon, the window out of the way, the usage dialog beside the ticks and the
// data plan's notices, through frmMain over fakes of all its ports.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "FakeMainWindow.h"
#include "UsageDays.h"
#include "mainwindow/frmMain.h"

namespace tg {
namespace {

using namespace std::chrono_literals;
using enum MenuItem;

struct FullWindow : test::FakeMainWindow {
    test::MemoryUsageStore store;
    test::FixedCalendar calendar;
    UsageRecorder recorder{store, calendar, clock, nullptr};
    test::FakeUsageHost dialog;
    test::FakeNotifier notifier;
    frmMain main{{form, picture, desktop, messages, settings, table, clock, options, &recorder, &dialog, &icon, &notifier}};
    std::uint32_t in = 0, out = 0;

    void Load(std::initializer_list<std::pair<const char*, const char*>> stored) {
        settings.Set(kSettingsApp, kSettingsSection, "info", "1");
        for (const auto& [key, text] : stored) settings.Set(kSettingsApp, kSettingsSection, key, text);
        main.Form_Load();
    }
    void Tick(std::uint32_t down, std::uint32_t up) {
        table.SetTotals({{in += down, out += up}});
        clock.Advance(1s);
        main.Timer2_Timer();
    }
    std::optional<std::string> Stored(const char* key) { return settings.Get(kSettingsApp, kSettingsSection, key); }
    std::set<MenuItem> Greyed() const {
        std::set<MenuItem> greyed;
        for (const auto& [item, why] : form.disabled) greyed.insert(item);
        return greyed;
    }
};

TEST(frmMainTrayTest, AtStartTheIconAndWhatNeedsItFollowTheKeysAndTheNotificationArea) {
    const struct {
        const char *tray, *hidden, *through;
        bool area, icon, window, clickThrough;
        std::set<MenuItem> greyed;
    } cases[] = {
        {"0", "0", "0", true, false, true, false, {hidden, clickthrough}},
        {"0", "0", "0", false, false, true, false, {hidden, clickthrough}},  // not asked before the menu
        {"1", "0", "0", true, true, true, false, {}},
        {"1", "1", "1", true, true, false, true, {}},
        {"1", "1", "1", false, false, true, false, {trayicon, hidden, clickthrough}},
        {"0", "1", "1", true, false, true, false, {hidden, clickthrough}},
        {"on", "1", "1", true, false, true, false, {hidden, clickthrough}},
        {"1", "yes", "1 ", true, true, true, false, {}},
    };
    for (const auto& c : cases) {
        FullWindow w;
        w.icon.available = c.area;
        w.Load({{"trayicon", c.tray}, {"hidden", c.hidden}, {"clickthrough", c.through}});
        for (int run = 0; run < 2; ++run) {  // the start-up runs again when the options dialog closes
            SCOPED_TRACE(std::string(c.tray) + c.hidden + c.through + (c.area ? "" : " no area") + " run " +
                         std::to_string(run));
            EXPECT_EQ(w.icon.shown, c.icon);
            EXPECT_EQ(w.icon.shows, c.icon ? 1 : 0) << "told once, and only when it shows";
            EXPECT_EQ(w.form.shown, c.window);
            EXPECT_EQ(w.form.clickThrough, c.clickThrough);
            EXPECT_EQ(w.Greyed(), c.greyed);
            EXPECT_EQ(w.form.MenuChecked(trayicon), std::string_view(c.tray) == "1");
            EXPECT_EQ(w.icon.asks, std::string_view(c.tray) == "1" ? run + 1 : 0) << "asked only for the icon";
            w.main.Form_Load();
        }
        w.main.ShowContextMenu();
        EXPECT_EQ(w.Greyed().contains(trayicon), !c.area);
    }
}

TEST(frmMainTrayTest, TheIconsClicksHideTheWindowAndWithoutTheIconItShowsAndTakesClicks) {
    FullWindow w;
    w.Load({});
    const TwipsRect place = w.form.Bounds();
    const auto drag = [&] {
        w.main.Picture2_MouseMove(0, 0, place.width - 20, place.height - 60);
        w.main.Picture2_MouseDown(kLeftButton, 0, 300, 300);
        w.main.Picture2_MouseMove(kLeftButton, 0, 600, 600);
        w.main.Picture2_MouseUp(kLeftButton, 0, 600, 600);
    };
    const struct {
        std::function<void()> act;
        bool icon, window, through;
        const char* hidden;
    } steps[] = {
        {[&] { w.main.MenuCommand(trayicon); }, true, true, false, nullptr},
        {[&] { w.main.NotifyIcon_Click(); }, true, false, false, "1"},
        {[&] { w.main.NotifyIcon_Click(); }, true, true, false, "0"},
        {[&] { w.main.MenuCommand(clickthrough); drag(); }, true, true, true, "0"},
        {[&] { w.main.MenuCommand(hidden); }, true, false, true, "1"},
        {[&] { w.icon.available = false; w.Tick(0, 0); }, false, true, false, "1"},  // the area went
        {[&] { w.icon.available = true; w.Tick(0, 0); }, true, false, true, "1"},
        {[&] { w.main.MenuCommand(trayicon); }, false, true, false, "0"},
        {[&] { w.main.NotifyIcon_Click(); }, false, true, false, "0"},
    };
    int n = 0;
    for (const auto& s : steps) {
        s.act();
        SCOPED_TRACE(++n);
        EXPECT_EQ(w.icon.shown, s.icon);
        EXPECT_EQ(w.form.shown, s.window);
        EXPECT_EQ(w.form.clickThrough, s.through);
        EXPECT_EQ(w.Stored("hidden"), s.hidden ? std::optional<std::string>(s.hidden) : std::nullopt);
    }
    EXPECT_EQ(w.Stored("clickthrough"), "0") << "turned off with the icon";
    EXPECT_EQ(w.form.Bounds().left, place.left) << "no drag while the clicks passed through";
    EXPECT_EQ(w.form.cursor, Cursor::Default);
    EXPECT_EQ(w.Stored("locked"), std::nullopt);
    drag();
    EXPECT_NE(w.form.Bounds().left, place.left) << "a drag moves it again";
}

TEST(frmMainTrayTest, FullScreenIsAskedEachTickWhileTurnedOnAndHidesTheWindowWhileItLasts) {
    const struct {
        const char *hideFullScreen, *hidden;
        std::vector<bool> fullScreen, shown;
        int asks;
    } cases[] = {
        {"0", "0", {true, true}, {true, true}, 0},
        {"1", "0", {false, true, true, false}, {true, false, false, true}, 4},
        {"1", "1", {true, false}, {false, false}, 2},  // hidden by the icon as well
        {"x", "0", {true}, {true}, 0},
    };
    for (const auto& c : cases) {
        FullWindow w;
        w.Load({{"hidefullscreen", c.hideFullScreen}, {"trayicon", "1"}, {"hidden", c.hidden}});
        for (std::size_t i = 0; i < c.fullScreen.size(); ++i) {
            w.desktop.fullScreen = c.fullScreen[i];
            w.Tick(0, 0);
            EXPECT_EQ(w.form.shown, c.shown[i]) << c.hideFullScreen << c.hidden << " tick " << i;
        }
        EXPECT_EQ(w.desktop.fullScreenAsks, c.asks);
        EXPECT_EQ(w.desktop.fullScreenAskedFor.x, c.asks > 0 ? RectToPixels(w.form.Bounds(), 15).x : 0);
    }
    FullWindow w;
    w.Load({{"hidefullscreen", "1"}});
    w.desktop.fullScreen = true;
    w.Tick(0, 0);
    w.main.MenuCommand(hidefullscreen);
    EXPECT_TRUE(w.form.shown) << "turned off while hidden: back at once";
}

// The defect: the dialog ran inside the menu call, which stops the ticks, so nothing was counted.
TEST(frmMainTrayTest, TheUsageDialogOpensOnceTheMenuCallOrTheTickIsOverAndTheTicksGoOn) {
    const struct {
        const char* where;
        std::function<void(FullWindow&)> ask;
    } ways[] = {
        {"menu", [](FullWindow& w) {
             w.form.onPopup = [&w] { w.main.MenuCommand(usage); EXPECT_TRUE(w.dialog.shown.empty()); };
             w.main.ShowContextMenu();
         }},
        {"tick", [](FullWindow& w) {
             w.desktop.onPump = [&w] { w.desktop.onPump = nullptr; w.main.MenuCommand(usage); EXPECT_TRUE(w.dialog.shown.empty()); };
             w.Tick(0, 0);
         }},
        {"icon's own menu", [](FullWindow& w) { w.main.MenuCommand(usage); }},
    };
    for (const auto& way : ways) {
        FullWindow w;
        w.Load({});
        w.Tick(0, 0);
        w.dialog.whileOpen = [&] {
            if (w.dialog.open > 1) return;
            EXPECT_TRUE(w.form.timer) << way.where;
            w.main.MenuCommand(usage);
            w.Tick(2000, 30);
        };
        way.ask(w);
        EXPECT_EQ(w.dialog.shown.size(), 1u) << way.where;
        EXPECT_EQ(w.recorder.Log().On(w.calendar.today), (Usage{2000, 30})) << way.where;
        w.options.whileOpen = [&] { EXPECT_FALSE(w.form.timer) << "the options dialog stays inside the menu call"; };
        w.form.onPopup = [&] { w.main.MenuCommand(opt); };
        w.main.ShowContextMenu();
    }
}

TEST(frmMainTrayTest, TheIconShowsTheRatesInTheChosenUnitAndTheInterfacesCounted) {
    FullWindow w;
    w.Load({{"trayicon", "1"}});
    EXPECT_EQ(w.icon.tooltip, "D:0kb U:0kb\n计入 无");
    std::vector<IfRowFields> rows(3);
    rows[0] = {.name = u"lo", .index = 1, .type = 24, .description = "lo"};
    rows[1] = {.name = u"eth0", .index = 2, .type = 6, .description = "eth0", .hardware = true};
    rows[2] = {.name = u"wlan0", .index = 3, .type = 71, .description = "wlan0", .hardware = true, .alias = "Wi-Fi"};
    for (const int step : {0, 1}) {
        rows[1].inOctets = rows[2].inOctets = step * 62'500;
        rows[1].outOctets = step * 1000;
        w.table.SetRows(rows);
        w.clock.Advance(1s);
        w.main.Timer2_Timer();
    }
    const struct {
        MenuItem unit;
        const char *label, *tooltip;
    } units[] = {
        {UnitsKilobits, "↓1000kb ↑8kb", "D:1000kb U:8kb\n计入 eth0, Wi-Fi"},
        {UnitsBits, "↓1.00Mb ↑8.00kb", "D:1.00Mb U:8.00kb\n计入 eth0, Wi-Fi"},
        {UnitsBytes, "↓125KB ↑1.00KB", "D:125KB U:1.00KB\n计入 eth0, Wi-Fi"},
    };
    for (const auto& u : units) {
        w.main.MenuCommand(u.unit);  // at once, not a tick later
        EXPECT_EQ(w.icon.label, u.label);
        EXPECT_EQ(w.icon.tooltip, u.tooltip);
    }
}

TEST(frmMainTrayTest, ThePlansNoticesGoOutAfterTheTickAndARecordedOneIsNotRepeated) {
    FullWindow w;
    w.Load({{"units", "2"}});
    w.notifier.onNotify = [&] { EXPECT_TRUE(w.main.Form_Changed()) << "inside a tick"; };
    w.Tick(0, 0);
    w.Tick(900'000'000, 0);
    EXPECT_TRUE(w.notifier.texts.empty()) << "no limit";
    w.dialog.whileOpen = [&] {
        w.settings.Set(kSettingsApp, kSettingsSection, "quota", "1");
        w.Tick(0, 0);
    };
    w.main.MenuCommand(usage);
    EXPECT_EQ(w.notifier.texts, (std::vector<std::string>{"流量提醒", "本期已用 900 MB，已达到每月流量上限 1.00 GB 的 80%。"}));
    w.Tick(200'000'000, 0);
    ASSERT_EQ(w.notifier.texts.size(), 4u);
    EXPECT_EQ(w.notifier.texts[3], "本期已用 1.10 GB，已达到每月流量上限 1.00 GB。");
    EXPECT_EQ(w.Stored("quotaalert"), "2026-12-01 1 1");
    w.Load({{"quota", "2"}, {"quotaalert", "2026-12-01 2 2"}});
    w.Tick(0, 0);
    w.Tick(1'000'000'000, 0);
    EXPECT_EQ(w.notifier.texts.size(), 4u) << "the record read at start-up says both were told";
}

}  // namespace
}  // namespace tg
