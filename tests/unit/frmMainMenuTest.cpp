#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string_view>

#include "Fakes.h"
#include "FakeMainWindow.h"
#include "UsageDays.h"
#include "appearance/PixelSurface.h"
#include "mainwindow/MenuTree.h"
#include "mainwindow/frmMain.h"

namespace tg {
namespace {

// Every node of the tree, depth first, with its position in the list that holds it.
void Walk(std::span<const MenuNode> list, const std::function<void(std::span<const MenuNode>, std::size_t)>& visit) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        visit(list, i);
        Walk(list[i].children, visit);
    }
}

TEST(MenuTreeTest, EveryItemOnceWithACaptionAndNoSeparatorAtAnEnd) {
    std::map<MenuItem, int> found;
    int interfaceSlots = 0;
    Walk(ContextMenuTree(), [&](std::span<const MenuNode> list, std::size_t i) {
        const MenuNode& node = list[i];
        const bool blank = node.kind == MenuNodeKind::Separator || node.kind == MenuNodeKind::Interfaces;
        EXPECT_EQ(node.caption == TextId::None, blank) << i << " " << Text(node.caption);
        EXPECT_EQ(node.Pickable(), !blank && node.kind != MenuNodeKind::Submenu) << Text(node.caption);
        EXPECT_EQ(node.children.empty(), node.kind != MenuNodeKind::Submenu) << Text(node.caption);
        if (node.item) ++found[*node.item];
        interfaceSlots += node.kind == MenuNodeKind::Interfaces ? 1 : 0;
        if (node.kind == MenuNodeKind::Separator) {
            EXPECT_GT(i, 0u) << "a separator first";
            ASSERT_LT(i + 1, list.size()) << "a separator last";
            EXPECT_NE(list[i + 1].kind, MenuNodeKind::Separator) << "two separators in a row";
        }
    });
    for (int i = 0; i <= static_cast<int>(kLastMenuItem); ++i)
        EXPECT_EQ(found[static_cast<MenuItem>(i)], 1) << "item " << i;
    EXPECT_EQ(found.size(), static_cast<std::size_t>(kLastMenuItem) + 1) << "no item beyond the last";
    EXPECT_EQ(interfaceSlots, 1);
}

TEST(MenuTreeTest, TheScalesAreOneRadioGroupInTheTreeAndTheirValuesLeadBack) {
    ASSERT_FALSE(ScaleMenu().empty());
    for (const MenuNode& node : ScaleMenu()) {
        ASSERT_EQ(node.kind, MenuNodeKind::Radio) << Text(node.caption);
        EXPECT_EQ(ScaleItem(node.value), node.item) << "values are unique: " << node.value;
        EXPECT_EQ(ScaleOf(*node.item), node.value);
        EXPECT_EQ(RadioGroup(*node.item).data(), ScaleMenu().data()) << "the tree shows this very list";
        if (node.value != kAutomaticScale) {
            EXPECT_EQ(Text(node.caption), std::to_string(node.value) + " Kbps");
        }
    }
    EXPECT_TRUE(ScaleItem(kAutomaticScale));
    for (const std::int32_t offered : {0, 300, 2047}) EXPECT_FALSE(ScaleItem(offered)) << offered;
    EXPECT_FALSE(ScaleOf(MenuItem::ontop));
    EXPECT_TRUE(RadioGroup(MenuItem::InterfacesAuto).empty()) << "a check item of its own";
}

class frmMainMenuTest : public ::testing::Test, protected test::FakeMainWindow {
 protected:
    frmMainMenuTest() {
        settings.Set(kSettingsApp, kSettingsSection, "info", "1");
        table.SetTotals({{1000, 1000}});
        window.Form_Load();
    }
    std::optional<std::string> Stored(const char* key) { return settings.Get(kSettingsApp, kSettingsSection, key); }
    // The scale items that carry a mark.
    std::vector<MenuItem> Checked() const {
        std::vector<MenuItem> checked;
        for (const MenuNode& node : ScaleMenu())
            if (form.MenuChecked(*node.item)) checked.push_back(*node.item);
        return checked;
    }
    // Draws something on the graph so a repaint can be seen.
    void Scribble() { picture.Clear(0x123456); }
    bool Repainted() const { return picture.Pixel(0, 0) != 0x123456; }

};

// Each item twice: picking the scale already chosen does it all again.
TEST_F(frmMainMenuTest, EachScaleIsStoredMarkedAloneAndStartsTheGraphAfresh) {
    for (const MenuNode& node : ScaleMenu()) {
        for (int pick = 0; pick < 2; ++pick) {
            window.DrawGraph(900, 900);
            const std::int32_t maximum = window.GraphMax();
            Scribble();
            window.MenuCommand(*node.item);
            EXPECT_EQ(Stored("kbps"), std::to_string(node.value));
            EXPECT_EQ(window.ScaleKbps(), node.value);
            EXPECT_EQ(Checked(), std::vector<MenuItem>{*node.item});
            EXPECT_TRUE(Repainted()) << Text(node.caption);
            const std::int32_t expected = node.value == kAutomaticScale ? 128 : maximum;
            EXPECT_EQ(window.GraphMax(), expected) << "automatic starts from the smallest, a fixed scale at the next step";
        }
    }
    window.MenuCommand(MenuItem::Kbps2048);
    window.DrawGraph(5, 5);
    EXPECT_EQ(window.GraphMax(), 2048);
}

TEST_F(frmMainMenuTest, AlwaysOnTopTogglesStackingAndKeepsThePlace) {
    ASSERT_TRUE(form.MenuChecked(MenuItem::ontop));
    const TwipsRect before = form.Bounds();
    form.timerChanges.clear();
    window.MenuCommand(MenuItem::ontop);
    ASSERT_EQ(form.stacking.size(), 1u);
    EXPECT_FALSE(form.stacking[0].topmost) << "off sends the window to the bottom";
    EXPECT_EQ(form.stacking[0].place.x, 1672);
    EXPECT_EQ(form.stacking[0].place.cy, 91);
    EXPECT_FALSE(form.MenuChecked(MenuItem::ontop));
    EXPECT_EQ(Stored("ontop"), "0");
    window.MenuCommand(MenuItem::ontop);
    EXPECT_TRUE(form.stacking[1].topmost);
    EXPECT_TRUE(form.MenuChecked(MenuItem::ontop));
    EXPECT_EQ(Stored("ontop"), "1");
    EXPECT_EQ(form.Bounds().left, before.left);
    EXPECT_EQ(form.Bounds().height, before.height);
    EXPECT_EQ(form.timerChanges, (std::vector<bool>{false, true, false, true})) << "no tick during the command";
}

TEST_F(frmMainMenuTest, OptionsReRunStartUpWhetherOrNotAnythingChanged) {
    window.DrawGraph(900, 900);
    const int shows = form.shows;
    window.MenuCommand(MenuItem::opt);
    ASSERT_EQ(options.shown.size(), 1u);
    EXPECT_EQ(options.shown[0].back, 0x80FFFF);
    EXPECT_EQ(options.shown[0].pictureBack, 0xFFFFFF);
    EXPECT_EQ(window.GraphMax(), 128) << "start-up ran again";
    EXPECT_GT(form.shows, shows);

    options.whileOpen = [this] { settings.Set(kSettingsApp, kSettingsSection, "bgcolor3", "16711680"); };
    window.MenuCommand(MenuItem::opt);
    EXPECT_EQ(window.DownColor(), 16711680) << "a colour chosen in the dialog arrives when it closes";
}

TEST_F(frmMainMenuTest, UnitsChangeTheReadOutsAtOnceAndAreStored) {
    const auto tick = [&](std::uint32_t down, std::uint32_t up) {
        static std::uint32_t in = 1000, out = 1000;
        table.SetTotals({{in += down, out += up}});
        clock.Advance(std::chrono::seconds(1));
        window.Timer2_Timer();
    };
    tick(0, 0);
    tick(3'800'000, 125'000);
    EXPECT_EQ(form.text[LabelId::Label9], "D:30400kb") << "whole kilobits by default";
    EXPECT_TRUE(form.MenuChecked(MenuItem::UnitsKilobits));
    const std::pair<MenuItem, std::vector<const char*>> units[] = {
        {MenuItem::UnitsBits, {"1", "D:30.4Mb", "U:1.00Mb", "1.01Mb Max"}},  // the upload decided the maximum
        {MenuItem::UnitsBytes, {"2", "D:3.80MB", "U:125KB", "126KB Max"}},
        {MenuItem::UnitsKilobits, {"0", "D:30400kb", "U:1000kb", "1010kb Max"}},
    };
    for (const auto& [item, texts] : units) {
        window.MenuCommand(item);
        EXPECT_EQ(Stored("units"), texts[0]);
        EXPECT_EQ(form.text[LabelId::Label9], texts[1]);
        EXPECT_EQ(form.text[LabelId::Label10], texts[2]);
        EXPECT_EQ(form.text[LabelId::Label1], texts[3]);
        EXPECT_TRUE(form.MenuChecked(item));
        EXPECT_EQ(std::count_if(form.checks.begin(), form.checks.end(),
                                [](const auto& c) { return UnitOf(c.first) && c.second; }), 1);
    }
    settings.Set(kSettingsApp, kSettingsSection, "units", "7");
    window.Form_Load();
    EXPECT_EQ(window.Units(), DisplayUnit::Kilobits) << "a unit no item offers";
}

TEST_F(frmMainMenuTest, ALockedPlaceTakesNoDragAndStoresNothing) {
    settings.Set(kSettingsApp, kSettingsSection, "locked", "1");
    window.Form_Load();
    EXPECT_TRUE(form.MenuChecked(MenuItem::locked));
    const TwipsRect start = form.Bounds();
    const float grip[2] = {start.width - 50, start.height - 80};
    window.Picture2_MouseMove(0, 0, grip[0], grip[1]);
    EXPECT_EQ(form.cursor, Cursor::Default) << "no sizing cursor over the grip";
    for (const auto& [x, y] : {std::pair{300.0f, 300.0f}, std::pair{grip[0], grip[1]}}) {
        window.Picture2_MouseDown(kLeftButton, 0, x, y);
        window.Picture2_MouseMove(kLeftButton, 0, x + 200, y + 200);
        window.Picture2_MouseUp(kLeftButton, 0, x + 200, y + 200);
    }
    EXPECT_EQ(form.Bounds().left, start.left);
    EXPECT_EQ(form.Bounds().width, start.width);
    for (const char* key : {"x", "y", "x1", "y1"}) EXPECT_EQ(Stored(key), std::nullopt) << key;
    window.MenuCommand(MenuItem::locked);
    EXPECT_EQ(Stored("locked"), "0");
    window.Picture2_MouseDown(kLeftButton, 0, 300, 300);
    window.Picture2_MouseMove(kLeftButton, 0, 500, 300);
    window.Picture2_MouseUp(kLeftButton, 0, 500, 300);
    EXPECT_EQ(form.Bounds().left, start.left + 200) << "unlocked, the drag moves again";
    EXPECT_EQ(Stored("x"), std::to_string(static_cast<int>(start.left + 200)));
}

// A tick asks the tooltip again only while it shows, so a hidden one costs a tick nothing.
TEST_F(frmMainMenuTest, TheTooltipShowsTheCountingIsAskedAgainWhileItShowsAndGoesWhileDragging) {
    const auto tick = [&](std::uint32_t received, std::uint32_t sent) {
        table.SetTotals({{received, sent}});
        clock.Advance(std::chrono::seconds(1));
        window.Timer2_Timer();
    };
    tick(1000, 1000);
    tick(126'000, 2000);
    EXPECT_EQ(form.tooltipRefreshes, 0) << "not showing";
    const std::optional<std::string> text = window.Tooltip_Query();
    ASSERT_TRUE(text);
    EXPECT_EQ(*text, "  计入  D:1000kb U:8kb\n启动以来  接收 1.00 Mb  发送 8.00 kb");
    tick(126'000, 2000);
    EXPECT_EQ(form.tooltipRefreshes, 1) << "showing: asked again";
    window.Picture2_MouseDown(kLeftButton, 0, 300, 300);
    EXPECT_EQ(form.tooltipHides, 1) << "a tooltip that shows goes when the drag starts";
    EXPECT_EQ(window.Tooltip_Query(), std::nullopt) << "never while dragging";
    window.Picture2_MouseUp(kLeftButton, 0, 300, 300);
    ASSERT_TRUE(window.Tooltip_Query());
    window.Tooltip_Hidden();
    tick(126'000, 2000);
    EXPECT_EQ(form.tooltipRefreshes, 1) << "gone again: not asked";
}

// The window with a usage log: what its ticks move goes to today, once, and reaches the file.
TEST(frmMainUsageTest, TicksGoToTheLogWhichTheDialogAndTheTooltipShowAndTheUnloadWrites) {
    test::FakeMainWindow w;
    test::MemoryUsageStore store;
    store.text = "2026-12-08 1000 100\n";
    test::FixedCalendar calendar;
    UsageRecorder recorder(store, calendar, w.clock, nullptr);
    test::FakeUsageHost dialog;
    frmMain window{{w.form, w.picture, w.desktop, w.messages, w.settings, w.table, w.clock, w.options, &recorder,
                    &dialog}};
    w.settings.Set(kSettingsApp, kSettingsSection, "info", "1");
    std::uint32_t in = 5000, out = 5000;
    const auto tick = [&](std::uint32_t down, std::uint32_t up) {
        w.table.SetTotals({{in += down, out += up}});
        w.clock.Advance(std::chrono::seconds(1));
        window.Timer2_Timer();
    };
    window.Form_Load();
    tick(0, 0);
    tick(2000, 30);
    window.MenuCommand(MenuItem::opt);  // the start-up runs again: the log is not read twice
    tick(0, 0);
    tick(500, 0);
    EXPECT_EQ(recorder.Log().On(calendar.today), (Usage{3500, 130}));
    const std::optional<std::string> tip = window.TooltipText();
    ASSERT_TRUE(tip);
    EXPECT_NE(tip->find("\n今天  接收 3.50 KB  发送 0.13 KB\n本期  接收 3.50 KB"), std::string::npos) << *tip;
    window.MenuCommand(MenuItem::usage);
    ASSERT_EQ(dialog.shown.size(), 1u);
    EXPECT_EQ(dialog.shown[0].download, 255);
    EXPECT_EQ(store.writes, 0) << "not a minute yet";
    window.MenuCommand(MenuItem::exit);
    EXPECT_EQ(store.text, "2026-12-08 3500 130\n") << "the unload writes what the minute had not";
}

class frmMainInterfaceMenuTest : public frmMainMenuTest {
 protected:
    // A tick over a machine with loopback and one hardware link, each moving these bytes each way.
    void Tick(std::uint32_t loBytes, std::uint32_t ethBytes) {
        lo += loBytes;
        eth += ethBytes;
        std::vector<IfRowFields> rows(2);
        rows[0] = {.name = u"lo", .index = 1, .type = 24, .inOctets = lo, .outOctets = lo, .description = "lo"};
        rows[1] = {.name = u"eth0", .index = 2, .type = 6, .inOctets = eth, .outOctets = eth, .description = "eth0",
                   .hardware = true};
        table.SetRows(rows);
        clock.Advance(std::chrono::seconds(1));
        window.Timer2_Timer();
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const InterfaceMenuEntry& e : form.interfaceItems) captions.push_back(e.caption + (e.checked ? "*" : ""));
        return captions;
    }
    std::uint32_t lo = 0, eth = 0;
};

TEST_F(frmMainInterfaceMenuTest, PickingAnInterfaceStoresItAndCountsItFromTheNextTick) {
    Tick(0, 0);
    Tick(50'000, 2'000);
    EXPECT_EQ(form.text[LabelId::Label9], "D:16kb") << "automatic: the hardware link alone";
    form.onPopup = [this] { window.Interface_Click(1); };  // lo, after the counted eth0
    window.ShowContextMenu();
    EXPECT_TRUE(form.MenuChecked(MenuItem::InterfacesAuto));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"eth0*", "lo"}));
    EXPECT_EQ(Stored("interfaces"), "lo");
    Tick(50'000, 2'000);
    EXPECT_EQ(form.text[LabelId::Label9], "D:400kb") << "no spike: lo counted from its own baseline";

    form.onPopup = [this] { window.Interface_Click(1); };  // eth0 joins lo
    window.ShowContextMenu();
    EXPECT_FALSE(form.MenuChecked(MenuItem::InterfacesAuto));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"lo*", "eth0"}));
    EXPECT_EQ(Stored("interfaces"), "lo,eth0");
    form.onPopup = [this] { window.MenuCommand(MenuItem::InterfacesAuto); };
    window.ShowContextMenu();
    EXPECT_EQ(Stored("interfaces"), "");
    EXPECT_EQ(window.Interfaces(), InterfaceSelection());
    window.Interface_Click(9);  // a position no popup offered
    EXPECT_EQ(Stored("interfaces"), "");
}

TEST_F(frmMainInterfaceMenuTest, AGarbledChoiceCountsAutomaticallyAndStaysUntilThePersonPicks) {
    settings.Set(kSettingsApp, kSettingsSection, "interfaces", "eth0,,%zz");
    window.Form_Load();
    Tick(0, 0);
    Tick(50'000, 2'000);
    EXPECT_EQ(form.text[LabelId::Label9], "D:16kb");
    window.ShowContextMenu();
    EXPECT_TRUE(form.MenuChecked(MenuItem::InterfacesAuto));
    EXPECT_EQ(Stored("interfaces"), "eth0,,%zz") << "kept as it was";
    settings.Set(kSettingsApp, kSettingsSection, "interfaces", "lo");
    window.MenuCommand(MenuItem::opt);
    Tick(0, 0);
    Tick(50'000, 2'000);
    EXPECT_EQ(form.text[LabelId::Label9], "D:400kb") << "the start-up after the options dialog reads the choice";
}

TEST_F(frmMainMenuTest, About) {
    window.MenuCommand(MenuItem::abt);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].caption, "TideGauge");
    const std::string& text = messages.shown[0].text;
    EXPECT_EQ(text.rfind("TideDesk - ", 0), 0u);
    EXPECT_NE(text.find("\r\nEmail: "), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\n\xE6\x84\x9F\xE8\xB0\xA2\xE4\xBD\xBF\xE7\x94\xA8!"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << "six lines";
}

}  // namespace
}  // namespace tg
