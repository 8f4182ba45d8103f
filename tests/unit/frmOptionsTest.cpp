#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "Fakes.h"
#include "MainWindowFakes.h"
#include "appearance/basCommonDialogs.h"
#include "appearance/frmOptions.h"
#include "MemoryRegistry.h"
#include "settings/modRegistry.h"

namespace tg {
namespace {

constexpr std::uint32_t kCu = RegistryApi::kHkeyCurrentUser;
const std::string kPath = "C:\\Program Files\\TideGauge\\tidegauge.exe";

class FakeOptionsDialog final : public OptionsDialog {
 public:
    bool check = false;
    std::int16_t position = 20;  // the scroll bar's design position
    std::string label6;
    int readouts = 0;  // how often Label6 was set: once per run of the position-change handler
    std::map<int, std::int32_t> swatches;
    int icons = 0;
    void CopyIconFromMainWindow() override { ++icons; }
    void SetCheck1(bool c) override { check = c; }
    bool Check1() const override { return check; }
    void SetScrollPosition(std::int16_t p) override { position = p; }
    std::int16_t ScrollPosition() const override { return position; }
    void SetLabel6(std::string_view t) override {
        label6 = std::string(t);
        ++readouts;
    }
    void SetSwatchColour(int n, std::int32_t c) override { swatches[n] = c; }
    std::int32_t SwatchColour(int n) const override { return swatches.at(n); }
    void ShowModal() override {}
};

class FakeColourDialog final : public ColourDialog {
 public:
    std::vector<ColourRequest> requests;
    bool confirm = true;
    std::int32_t pick = 0;
    bool Choose(ColourRequest& r) override {
        requests.push_back(r);
        r.customColours.fill(0x123456);  // the user defines custom colours: they must not come back
        if (confirm) r.rgbResult = pick;
        return confirm;
    }
};

class FakeLauncher final : public Launcher {
 public:
    std::vector<std::string> opened;
    void OpenAddress(std::string_view a) override { opened.emplace_back(a); }
};

class frmOptionsTest : public ::testing::Test {
 protected:
    frmOptions Make(std::string path = kPath) {
        return frmOptions({dialog, mainWindow, store, registry, colours, launcher}, {0xFFFFFF, 0x80FFFF, 0}, path);
    }
    void StoreRun(std::uint32_t type, std::string data) { registry.Put(kCu, kRunKeyPath, kRunValueName, {type, std::move(data)}); }
    std::optional<std::string> Run() {
        const auto v = registry.Get(kCu, kRunKeyPath, kRunValueName);
        return v ? std::optional<std::string>(v->data) : std::nullopt;
    }
    std::optional<std::string> Stored(const SettingKey& key) { return settings.Get(kSettingsApp, kSettingsSection, key.name); }

    FakeOptionsDialog dialog;
    test::FakeForm mainWindow;
    test::MemorySettings settings;
    SettingsStore store{settings};
    MemoryRegistry registry;
    FakeColourDialog colours;
    FakeLauncher launcher;
};

TEST_F(frmOptionsTest, RunValueDecidesTheCheckBox) {
    struct Case {
        const char* what;
        std::uint32_t type;
        std::string data;
        bool checked;
    } cases[] = {
        {"equal", 1, kPath + '\0', true},
        {"empty", 1, std::string(1, '\0'), false},
        {"another path", 1, "D:\\old\\tidegauge.exe" + std::string(1, '\0'), false},
        {"other case", 1, "c:\\program files\\tidegauge\\tidegauge.exe" + std::string(1, '\0'), false},
        {"a number", 4, std::string("\x01\0\0\0", 4), false},
    };
    for (const Case& c : cases) {
        dialog = {};
        StoreRun(c.type, c.data);
        Make().Form_Load();
        EXPECT_EQ(dialog.check, c.checked) << c.what;
        EXPECT_EQ(Run(), c.data) << c.what << ": loading rewrites only an equal path, with the same text";
    }
    dialog = {};
    Make().Form_Load();
    EXPECT_EQ(dialog.icons, 1);
}

TEST_F(frmOptionsTest, ProgramInADrivesRootFolderStillShowsChecked) {
    const std::string rootPath = "C:\\\\tidegauge.exe";  // "C:\" + "\" + name + ".exe"
    StoreRun(1, rootPath + '\0');
    Make(rootPath).Form_Load();
    EXPECT_TRUE(dialog.check);
}

TEST_F(frmOptionsTest, CheckingWritesThePathAndUncheckingTheEmptyText) {
    auto options = Make();
    options.Form_Load();
    EXPECT_FALSE(Run().has_value()) << "unchecked at load: nothing written";
    dialog.check = true;
    options.Check1_Click();
    EXPECT_EQ(ReadRegValue(registry, kCu, kRunKeyPath, kRunValueName, 0), RegValue(kPath));
    dialog.check = false;
    options.Check1_Click();
    EXPECT_EQ(Run(), std::string(1, '\0')) << "emptied, not deleted";
}

TEST_F(frmOptionsTest, SwatchesShowStoredColoursOrTheirDefaults) {
    settings.Set(kSettingsApp, kSettingsSection, "bgcolor4", "16711680");
    settings.Set(kSettingsApp, kSettingsSection, "bgcolor5", "not a colour");
    Make().Form_Load();
    EXPECT_EQ(dialog.swatches[1], 0xFFFFFF);
    EXPECT_EQ(dialog.swatches[2], 0x80FFFF);
    EXPECT_EQ(dialog.swatches[3], 255);
    EXPECT_EQ(dialog.swatches[4], 16711680);
    EXPECT_EQ(dialog.swatches[5], 0);
}

TEST_F(frmOptionsTest, OpacityAtLoadAndAsTheScrollBarMoves) {
    Make().Form_Load();
    EXPECT_EQ(dialog.position, 180);
    EXPECT_EQ(dialog.label6, "75\xE9\x80\x8F\xE6\x98\x8E\xE5\xBA\xA6");
    EXPECT_EQ(Stored(keys::transpa), "180") << "a missing value is stored on first open";
    EXPECT_EQ(mainWindow.alpha, 180);

    for (const std::string bad : {"9", "256", "x", "-4"}) {
        settings.Set(kSettingsApp, kSettingsSection, "transpa", bad);
        dialog = {};
        Make().Form_Load();
        EXPECT_EQ(dialog.position, 180) << bad;
    }

    auto options = Make();
    for (const auto& [position, readout] : {std::pair<std::int16_t, int>{10, 245}, {255, 0}, {180, 75}}) {
        dialog.position = position;
        options.HScroll1_Change();
        EXPECT_EQ(dialog.label6, TransparencyReadout(position));
        EXPECT_EQ(dialog.label6.substr(0, dialog.label6.size() - 9), std::to_string(readout));
        EXPECT_EQ(mainWindow.alpha, position) << "applied at once";
        EXPECT_EQ(Stored(keys::transpa), std::to_string(position));
    }
}

TEST_F(frmOptionsTest, AScrollActionRunsTheHandlerOnlyWhenItCommitsANewPosition) {
    auto options = Make();
    dialog.position = 180;
    options.HScroll1_Scroll(ScrollAction::ThumbTrack, 100);
    EXPECT_EQ(dialog.readouts, 0) << "a drag in progress changes nothing";
    EXPECT_EQ(Stored(keys::transpa), std::nullopt);
    options.HScroll1_Scroll(ScrollAction::ThumbRelease, 100);
    EXPECT_EQ(dialog.position, 100);
    EXPECT_EQ(dialog.readouts, 1);
    EXPECT_EQ(Stored(keys::transpa), "100");
    EXPECT_EQ(mainWindow.alpha, 100);
}

TEST_F(frmOptionsTest, LoadAtTheStoredPositionStoresNothing) {
    settings.Set(kSettingsApp, kSettingsSection, "transpa", "20");
    Make().Form_Load();
    EXPECT_EQ(mainWindow.alpha, -1) << "the position did not change, so no handler ran";
    EXPECT_EQ(dialog.label6, TransparencyReadout(20));
}

TEST_F(frmOptionsTest, SwatchClickStoresWhatTheSwatchShowsEvenAfterACancel) {
    auto options = Make();
    options.Form_Load();
    colours.pick = 0;
    options.Picture_Click(3);
    EXPECT_EQ(dialog.swatches[3], 0);
    EXPECT_EQ(Stored(keys::bgcolor3), "0") << "black is a colour, stored as 0";
    colours.confirm = false;
    options.Picture_Click(4);
    EXPECT_EQ(dialog.swatches[4], 65535);
    EXPECT_EQ(Stored(keys::bgcolor4), "65535");
    EXPECT_EQ(mainWindow.backColour, -1) << "the main window is not recoloured by a click";
}

TEST_F(frmOptionsTest, LinkLabelsOpenTwoAddresses) {
    auto options = Make();
    for (const LinkLabel l : {LinkLabel::Label8, LinkLabel::Label9, LinkLabel::Label10, LinkLabel::Label11})
        options.Label_Click(l);
    EXPECT_EQ(launcher.opened, (std::vector<std::string>{std::string(kHomePage), std::string(kSupportPage),
                                                          std::string(kSupportPage), std::string(kSupportPage)}));
}

TEST(CommitScroll, StepsWithinTheRangeAndCommitsOnlyChanges) {
    const ScrollBarSpec bar{10, 255, 20, 1, 20};
    using enum ScrollAction;
    struct Case {
        std::int16_t from;
        ScrollAction action;
        int thumb;
        std::optional<std::int16_t> to;
    } cases[] = {
        {180, LineBack, 0, 179},   {180, LineForward, 0, 181}, {180, PageBack, 0, 160},
        {180, PageForward, 0, 200}, {180, ToStart, 0, 10},     {180, ToEnd, 0, 255},
        {180, ThumbTrack, 100, {}}, {180, ThumbRelease, 100, 100},
        {180, ThumbRelease, 180, {}},  // let go where it was taken
        {250, PageForward, 0, 255}, {15, PageBack, 0, 10},     // a page stops at the end
        {10, LineBack, 0, {}},      {255, LineForward, 0, {}}, {10, ToStart, 0, {}},
        {180, ThumbRelease, 300, 255}, {180, ThumbRelease, -5, 10},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CommitScroll(bar, c.from, c.action, c.thumb), c.to)
            << c.from << " action " << static_cast<int>(c.action) << " thumb " << c.thumb;
    }
}

// The dialog's description, checked once; each front end's test compares its real widgets with it.
TEST(OptionsLayout, EveryControlOnceInsideTheClientAreaWithItsCaption) {
    std::set<std::string_view> names;
    std::vector<int> tabs, swatches;
    std::vector<LinkLabel> links;
    std::map<OptionsControlKind, int> kinds;
    for (const OptionsControl& c : kOptionsControls) {
        EXPECT_TRUE(names.insert(c.name).second) << c.name;
        tabs.push_back(c.tabIndex);
        ++kinds[c.kind];
        const TwipsRect& p = c.place;
        EXPECT_TRUE(p.left >= 0 && p.top >= 0 && p.width > 0 && p.height > 0 &&
                    p.left + p.width <= kOptionsClientWidth && p.top + p.height <= kOptionsClientHeight)
            << c.name << " lies inside the client area";
        const bool captioned = c.kind != OptionsControlKind::Swatch && c.kind != OptionsControlKind::Scroll;
        EXPECT_EQ(c.caption != TextId::None, captioned) << c.name;
        EXPECT_EQ(c.swatch != 0, c.kind == OptionsControlKind::Swatch) << c.name;
        EXPECT_EQ(c.link.has_value(), c.kind == OptionsControlKind::Link) << c.name;
        if (c.swatch != 0) swatches.push_back(c.swatch);
        if (c.link) links.push_back(*c.link);
    }
    std::sort(tabs.begin(), tabs.end());
    for (std::size_t i = 0; i < tabs.size(); ++i) EXPECT_EQ(tabs[i], static_cast<int>(i)) << "tab indexes 0 .. 16";
    std::sort(swatches.begin(), swatches.end());
    EXPECT_EQ(swatches, (std::vector<int>{1, 2, 3, 4, 5}));
    std::sort(links.begin(), links.end());
    EXPECT_EQ(links, (std::vector<LinkLabel>{LinkLabel::Label8, LinkLabel::Label9, LinkLabel::Label10,
                                             LinkLabel::Label11}));
    EXPECT_EQ(kinds[OptionsControlKind::Check], 1);
    EXPECT_EQ(kinds[OptionsControlKind::Scroll], 1);
    EXPECT_EQ(kinds[OptionsControlKind::Readout], 1);

    const auto order = OptionsTabOrder();
    EXPECT_TRUE(std::is_sorted(order.begin(), order.end(),
                               [](const auto* a, const auto* b) { return a->tabIndex < b->tabIndex; }));
}

TEST(PickColor, OpensAtBlackWithFreshCustomColoursEveryTime) {
    FakeColourDialog dialog;
    dialog.pick = 0xFFFFFF;
    EXPECT_EQ(PickColor(dialog, 42), "16777215");
    dialog.pick = 0;
    EXPECT_EQ(PickColor(dialog, 42), "0");
    dialog.confirm = false;
    EXPECT_EQ(PickColor(dialog, 42), "");
    ASSERT_EQ(dialog.requests.size(), 3u);
    for (const ColourRequest& r : dialog.requests) {
        EXPECT_EQ(r.rgbResult, 0);
        EXPECT_EQ(r.flags, ColourDialog::kRgbInit);
        EXPECT_EQ(r.owner, 42u);
        for (const std::int32_t c : r.customColours) EXPECT_EQ(c, 0);
    }
}

}  // namespace
}  // namespace tg
