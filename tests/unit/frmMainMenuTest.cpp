#include <gtest/gtest.h>

#include "Fakes.h"
#include "FakeMainWindow.h"
#include "appearance/PixelSurface.h"
#include "mainwindow/frmMain.h"

namespace tg {
namespace {

constexpr MenuItem kScaleItems[] = {MenuItem::Kbps128, MenuItem::Kbps256, MenuItem::Kbps512,
                                    MenuItem::Kbps1024, MenuItem::Kbps2048, MenuItem::KbpsAuto};

class frmMainMenuTest : public ::testing::Test, protected test::FakeMainWindow {
 protected:
    frmMainMenuTest() {
        settings.Set(kSettingsApp, kSettingsSection, "info", "1");
        table.SetTotals({{1000, 1000}});
        window.Form_Load();
    }
    std::optional<std::string> Stored(const char* key) { return settings.Get(kSettingsApp, kSettingsSection, key); }
    int Checked() const {
        int n = 0;
        for (const MenuItem item : kScaleItems) n += form.MenuChecked(item) ? 1 : 0;
        return n;
    }
    // Draws something on the graph so a repaint can be seen.
    void Scribble() { picture.Clear(0x123456); }
    bool Repainted() const { return picture.Pixel(0, 0) != 0x123456; }

};

TEST_F(frmMainMenuTest, FixedScalesStoreTheirValueCheckOneItemAndRepaint) {
    const std::pair<MenuItem, const char*> scales[] = {{MenuItem::Kbps128, "128"}, {MenuItem::Kbps256, "256"},
                                                       {MenuItem::Kbps512, "512"}, {MenuItem::Kbps1024, "1024"},
                                                       {MenuItem::Kbps2048, "2048"}, {MenuItem::Kbps2048, "2048"}};
    for (const auto& [item, text] : scales) {
        Scribble();
        window.MenuCommand(item);
        EXPECT_EQ(Stored("kbps"), text);
        EXPECT_EQ(std::to_string(window.ScaleKbps()), text);
        EXPECT_TRUE(form.MenuChecked(item));
        EXPECT_EQ(Checked(), 1);
        EXPECT_TRUE(Repainted()) << "picking the current scale again still repaints";
    }
    window.DrawGraph(5, 5);
    EXPECT_EQ(window.GraphMax(), 2048) << "a fixed scale takes effect at the next step";
}

TEST_F(frmMainMenuTest, AutomaticResetsTheMaximumEvenWhenAlreadyAutomatic) {
    window.DrawGraph(900, 900);
    EXPECT_EQ(window.GraphMax(), 910);
    Scribble();
    window.MenuCommand(MenuItem::KbpsAuto);
    EXPECT_EQ(window.GraphMax(), 128);
    EXPECT_EQ(window.ScaleKbps(), -1);
    EXPECT_EQ(Stored("kbps"), "-1");
    EXPECT_TRUE(form.MenuChecked(MenuItem::KbpsAuto));
    EXPECT_EQ(Checked(), 1);
    EXPECT_TRUE(Repainted());
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

TEST_F(frmMainMenuTest, AboutAndExit) {
    window.MenuCommand(MenuItem::abt);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, MessageIcon::Information);
    EXPECT_EQ(messages.shown[0].caption, "TideGauge");
    const std::string& text = messages.shown[0].text;
    EXPECT_EQ(text.rfind("TideDesk - ", 0), 0u);
    EXPECT_NE(text.find("\r\nEmail: "), std::string::npos);
    EXPECT_NE(text.find("\r\n\r\n\xE6\x84\x9F\xE8\xB0\xA2\xE4\xBD\xBF\xE7\x94\xA8!"), std::string::npos);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 5) << "six lines";
    window.MenuCommand(MenuItem::exit);
    EXPECT_TRUE(form.closed);
}

}  // namespace
}  // namespace tg
