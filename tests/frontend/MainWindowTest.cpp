// The main window as a user meets it, the same on every front end: its place, the pointer's drags,
// what it paints, its menu and the ways it closes. Written for a 1920 x 1080 screen at 96 DPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <span>
#include <tuple>

#include "Fixture.h"
#include "mainwindow/MenuTree.h"

namespace tg::test {
namespace {

constexpr PixelRect kFirstPlace = {1672, 880, 181, 91};
constexpr Rgb kYellow{255, 255, 0}, kFormBack{255, 255, 128};
// Label9, the download read-out, 120 twips from the top left corner.
constexpr PixelRect kReadOut = {8, 8, 62, 14};

bool Dark(const Rgb& c) { return c.r < 80 && c.g < 80 && c.b < 80; }

Point At(const PixelRect& window, int x, int y) { return {window.x + x, window.y + y}; }

using MainWindowTest = FixtureTest;

TEST_F(MainWindowTest, FirstStartPlacesTheWindowInPixelsAndKeepsItsTwips) {
    EXPECT_EQ(ui->Window().ScreenPixels(), (PixelRect{0, 0, 1920, 1080}));
    ui->Start();
    EXPECT_EQ(ui->Place(), kFirstPlace);
    EXPECT_EQ(ui->Window().Bounds().left, 25085) << "not the 25080 that 1672 pixels make";
    EXPECT_EQ(ui->Window().Bounds().top, 13200);
    EXPECT_EQ(ui->Topmost().value_or(true), true);
    EXPECT_EQ(ui->Opacity().value_or(180), 180);
    EXPECT_EQ(ui->Main().Picture2Bounds().height, 1365 - 30) << "the window's colour in a strip below the picture";
}

TEST_F(MainWindowTest, AMoveOrResizeByTheSystemIsAdopted) {
    ui->Start();
    ui->PlaceBySystem({100, 50, 200, 100});
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->Window().Bounds().width == 3000; })) << ui->Window().Bounds().width;
    EXPECT_EQ(ui->Window().Bounds().left, 1500);
    EXPECT_EQ(ui->Window().Bounds().top, 750);
    EXPECT_EQ(ui->Main().Picture2Bounds().height, 1470) << "the resize handler laid the window out anew";
}

// The place asked for from code: the size stays, and what the system reports back is adopted.
TEST_F(MainWindowTest, StackingMovesToThePlaceAndKeepsTheSize) {
    ui->Start();
    for (const PixelRect place : {PixelRect{100, 50, 1, 1}, PixelRect{120, 60, 1, 1}}) {
        ui->Window().SetStacking(place.x == 120, place);
        EXPECT_TRUE(ui->WaitUntil([&] { return ui->Place() == PixelRect{place.x, place.y, 181, 91}; })) << place.x;
        EXPECT_TRUE(ui->WaitUntil([&] { return ui->Window().Bounds().left == place.x * 15.0f; }));
        EXPECT_EQ(ui->Window().Bounds().width, 2715);
    }
}

TEST_F(MainWindowTest, ALeftDragMovesTheWindowAndStoresItsPlace) {
    ui->Start();
    const PixelRect p = ui->Place();
    ui->PointerDown(At(p, 50, 30));
    ui->PointerMove(At(p, 60, 25));
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->Place().x == 1682 && ui->Place().y == 875; })) << ui->Place();
    EXPECT_EQ(ui->Window().Bounds().left, 25085 + 150);
    // Out of the window, the pointer still drags it.
    ui->PointerMove(At(p, -40, 25));
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->Place().x == 1582; })) << ui->Place();
    ui->PointerUp(At(p, -40, 25));
    EXPECT_TRUE(ui->WaitUntil([&] { return world.Stored("x") == "23735"; })) << world.Stored("x").value_or("none");
    EXPECT_EQ(world.Stored("y"), "13125");
    ui->PointerMove(At(p, 0, 0));
    EXPECT_EQ(ui->Place().x, 1582) << "let go, the window stays";
}

TEST_F(MainWindowTest, ACornerDragResizesTheWindowAndStoresItsSize) {
    ui->Start();
    const PixelRect p = ui->Place();
    ui->PointerDown(At(p, 178, 86));
    ui->PointerMove(At(p, 230, 120));  // on the screen still
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->Place() == PixelRect{1672, 880, 230, 120}; })) << ui->Place();
    ui->PointerUp(At(p, 230, 120));
    EXPECT_TRUE(ui->WaitUntil([&] { return world.Stored("x1") == "3450"; })) << world.Stored("x1").value_or("none");
    EXPECT_EQ(world.Stored("y1"), "1800");
}

TEST_F(MainWindowTest, TheGripShowsTheSizingPointer) {
    ui->Start();
    const PixelRect p = ui->Place();
    // The pointer's moves may reach the window a frame late.
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->ShapeAt(At(p, 178, 86)) == PointerShape::Sizing; }));
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->ShapeAt(At(p, 10, 10)) == PointerShape::Default; }));
}

TEST_F(MainWindowTest, PressesBelowPicture2AreNotItsEvents) {
    ui->Start();
    const PixelRect p = ui->Place();
    ui->PointerDown(At(p, 50, 90));  // the strip of window colour: Picture2 is 89 pixels tall
    ui->PointerMove(At(p, 70, 80));
    EXPECT_FALSE(ui->Main().Dragging());
    ui->PointerUp(At(p, 70, 80));
    EXPECT_EQ(ui->Place(), kFirstPlace);
    EXPECT_FALSE(world.Stored("x"));
}

TEST_F(MainWindowTest, LabelWidthFollowsTheTextInWholePixels) {
    ui->Window().SetLabelText(LabelId::Label10, "0 Kb");
    const float narrow = ui->Window().LabelWidth(LabelId::Label10);
    ui->Window().SetLabelText(LabelId::Label10, "U:20480kb");
    const float wide = ui->Window().LabelWidth(LabelId::Label10);
    // 8.25 point text is 11 pixels high at 96 DPI; "0 Kb" is some 25 pixels wide.
    EXPECT_GT(narrow, 15 * 15);
    EXPECT_LT(narrow, 40 * 15);
    EXPECT_GT(wide, 2 * narrow);
    EXPECT_EQ(static_cast<int>(wide) % 15, 0);
}

TEST_F(MainWindowTest, ReadOutsArePaintedOverThePictureUntilHidden) {
    ui->Start();
    ASSERT_TRUE(ui->Tick(1000, 1000));
    ASSERT_TRUE(ui->Tick(128'000, 1000));
    const auto darkReadOut = [&] { return ui->Capture(kReadOut).Count(Dark); };
    EXPECT_TRUE(ui->WaitUntil([&] { return darkReadOut() >= 10; })) << "black text over the light gradient";
    for (const LabelId label : {LabelId::Label1, LabelId::Label9, LabelId::Label10})
        ui->Window().SetLabelVisible(label, false);
    EXPECT_TRUE(ui->WaitUntil([&] { return darkReadOut() == 0; })) << darkReadOut();
}

// A tick pumps messages twice on its way; the window must still be painted once per tick, after
// it, with everything the tick drew. Paints are counted from one tick to the next: the second's
// wait for its timer lets any late or extra paint of the first show.
TEST_F(MainWindowTest, EachTickPaintsOnceWithEverythingItDrew) {
    world.Store("kbps", "128");
    ui->Start();
    ASSERT_TRUE(ui->Tick(0, 0));  // the first reading only sets the starting counts
    std::vector<int> paints;
    for (int i = 0; i < 4; ++i) {
        ASSERT_TRUE(ui->Tick(8 * 1024, 8 * 1024)) << "no tick";  // 64 kilobits each way
        paints.push_back(ui->Paints());
    }
    EXPECT_EQ(paints.back() - paints.front(), 3);
    // The newest column is 50 twips left of the picture's right edge: pixel 178 of 181.
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->Capture({178, 88, 1, 1}).At(0, 0) == kYellow; }))
        << "the last tick's upload bar";
    EXPECT_EQ(ui->Capture({90, 90, 1, 1}).At(0, 0), kFormBack) << "the window's own colour under the picture";
    EXPECT_GE(ui->Capture(kReadOut).Count(Dark), 10) << "and its read-outs";

    ui->Window().SetTimerEnabled(false);
    const int calls = world.table.calls;
    EXPECT_FALSE(ui->WaitUntil([&] { return world.table.calls != calls; }, 1300ms)) << "no tick while disabled";
}

// ---- the context menu

// Walks the menu read back alongside the tree: `visit` sees each node that has an item, with its
// entry; the interface items go to `interfaces`.
void Walk(std::span<const MenuNode> nodes, const std::vector<MenuEntry>& entries,
          const std::function<void(const MenuNode&, const MenuEntry&)>& visit, std::vector<MenuEntry>* interfaces) {
    auto entry = entries.begin();
    for (const MenuNode& node : nodes) {
        if (node.kind == MenuNodeKind::Interfaces) {
            for (; entry != entries.end(); ++entry)
                if (!entry->separator && interfaces) interfaces->push_back(*entry);
            continue;
        }
        ASSERT_NE(entry, entries.end()) << "missing: " << Text(node.caption);
        EXPECT_EQ(entry->separator, node.kind == MenuNodeKind::Separator) << Text(node.caption);
        EXPECT_EQ(entry->caption, Text(node.caption));
        EXPECT_EQ(entry->submenu, node.kind == MenuNodeKind::Submenu) << Text(node.caption);
        EXPECT_EQ(entry->checkable.value_or(node.Checkable()), node.Checkable()) << Text(node.caption);
        if (entry->submenu) Walk(node.children, entry->children, visit, interfaces);
        if (node.item) visit(node, *entry);
        ++entry;
    }
    EXPECT_EQ(entry, entries.end()) << "more entries than the tree has";
}

// The menu as it opens: the entry of each item, and the interface items.
struct Menu {
    std::map<MenuItem, MenuEntry> items;
    std::vector<MenuEntry> interfaces;
};

Menu Read(const std::vector<MenuEntry>& entries) {
    Menu menu;
    Walk(ContextMenuTree(), entries, [&](const MenuNode& n, const MenuEntry& e) { menu.items[*n.item] = e; },
         &menu.interfaces);
    return menu;
}

Menu Open(Fixture& ui) { return Read(ui.OpenMenu()); }

class MenuTest : public FixtureTest {
 protected:
    void SetUp() override {
        std::vector<IfRowFields> rows(2);
        rows[0] = {.name = u"lo", .index = 1, .type = 24, .description = "lo"};
        rows[1] = {.name = u"eth0", .index = 2, .type = 6, .description = "eth0", .hardware = true};
        world.table.SetRows(rows);
        world.Store("interfaces", "lo");  // chosen by hand, so 自动 starts unmarked
        ui->Start();
        const int calls = world.table.calls;  // the interfaces are those of the last tick
        ASSERT_TRUE(ui->WaitUntil([&] { return world.table.calls > calls; }, 2500ms));
    }
};

TEST_F(MenuTest, TheMenuIsTheTreeWithTheInterfacesFilledAgainNotAppended) {
    Open(*ui);
    const Menu menu = Open(*ui);
    ASSERT_EQ(menu.interfaces.size(), 2u) << "one item per interface";
    EXPECT_EQ(menu.items.size(), static_cast<std::size_t>(kLastMenuItem) + 1) << "every item of the tree";
    std::map<std::string, MenuEntry> byName;
    for (const MenuEntry& e : menu.interfaces) byName[e.caption] = e;
    ASSERT_EQ(byName.size(), 2u) << byName.begin()->first;
    EXPECT_TRUE(byName["lo"].checked) << "counts now";
    EXPECT_FALSE(byName["eth0"].checked);
    ui->Pick(byName["eth0"]);
    EXPECT_EQ(world.Stored("interfaces"), "lo,eth0") << "picked interfaces count along with those before";
    ui->Pick(byName["lo"]);
    EXPECT_EQ(world.Stored("interfaces"), "eth0");
}

// A language picked relabels the menu at once: Open's walk holds every entry to the table in the
// language of the moment, the greyed items' reasons included.
TEST_F(MenuTest, ALanguagePickedRelabelsTheMenuAtOnceAndIsStored) {
    for (const auto& [item, language, stored] : {std::tuple{MenuItem::LanguageEnglish, Language::English, "en"},
                                                 std::tuple{MenuItem::LanguageChinese, Language::Chinese, "zh"}}) {
        ui->Pick(Open(*ui).items[item]);
        const Menu menu = Open(*ui);
        EXPECT_EQ(menu.items.at(MenuItem::exit).caption, TextIn(TextId::MenuExit, language));
        EXPECT_EQ(menu.items.at(MenuItem::hidden).tooltip, TextIn(TextId::WhyNeedsIcon, language));
        EXPECT_EQ(world.Stored("language"), stored);
    }
}

// What a command item's pick leaves behind: the dialogs and messages it opened, the ends.
struct Opened {
    std::size_t messages = 0, options = 0, usage = 0;
    int exits = 0;
    bool operator==(const Opened&) const = default;
    Opened operator-(const Opened& o) const {
        return {messages - o.messages, options - o.options, usage - o.usage, exits - o.exits};
    }
};

std::size_t Commands(std::span<const MenuNode> nodes) {
    std::size_t count = 0;
    for (const MenuNode& node : nodes) count += node.kind == MenuNodeKind::Command ? 1 : Commands(node.children);
    return count;
}

// Each item runs its own command: a mark item turns its own mark over (a radio item marks itself
// and clears its siblings), and each command item opens something no other item opens.
TEST_F(MenuTest, EachItemRunsItsOwnCommandAndItsMarkLandsOnIt) {
    const auto opened = [&] {
        return Opened{world.messages.shown.size(), world.options.shown.size(), world.usage.shown.size(), world.exits};
    };
    const Menu menu = Open(*ui);
    std::vector<Opened> seen;
    for (const auto& [item, entry] : menu.items) {
        if (item == MenuItem::exit || !entry.enabled) continue;  // exit ends the window: last
        const Opened before = opened();
        ui->Pick(entry);
        const Opened effect = opened() - before;
        std::map<MenuItem, MenuEntry> now = Open(*ui).items;
        const auto group = RadioGroup(item);
        for (const MenuNode& sibling : group)
            EXPECT_EQ(now[*sibling.item].checked, sibling.item == item) << entry.caption << " picked";
        if (group.empty() && entry.checked != now[item].checked) continue;  // a check item turned over
        if (!group.empty()) continue;
        EXPECT_NE(effect, Opened{}) << entry.caption << " did nothing";
        EXPECT_EQ(std::count(seen.begin(), seen.end(), effect), 0) << entry.caption << " did what another did";
        seen.push_back(effect);
    }
    EXPECT_EQ(seen.size() + 1, Commands(ContextMenuTree())) << "every command item but exit";
    ui->Pick(Open(*ui).items[MenuItem::exit]);
    EXPECT_EQ(world.exits, 1);
}

TEST_F(MenuTest, AlwaysOnTopOffSendsTheWindowBehindAnotherAndOnBringsItBack) {
    ui->OpenOtherWindow({1400, 800, 200, 200});  // beside it: the clicks on the window reach it
    ASSERT_TRUE(Open(*ui).items[MenuItem::ontop].checked) << "on by default";
    for (const bool on : {false, true, false}) {
        ui->Pick(Open(*ui).items[MenuItem::ontop]);
        EXPECT_EQ(Open(*ui).items[MenuItem::ontop].checked, on);
        EXPECT_EQ(world.Stored("ontop"), on ? "1" : "0");
        EXPECT_TRUE(ui->WaitUntil([&] { return ui->AboveOtherWindow() == on; }))
            << (on ? "on raises the window" : "off lowers it behind the other window");
        EXPECT_EQ(ui->Topmost().value_or(on), on);
    }
    EXPECT_EQ(ui->Place(), kFirstPlace) << "the place is kept";
}

// Every way out goes through frmMain's unload: the window leaves the screen and the program ends.
TEST_F(MainWindowTest, TheExitItemTheCloseRequestAndTheSessionsEndAllUnload) {
    const std::function<void(Fixture&)> ways[] = {
        [](Fixture& f) { f.Pick(Open(f).items[MenuItem::exit]); },
        [](Fixture& f) { f.CloseBySystem(); },
        [](Fixture& f) { f.EndSession(); },
    };
    int way = 0;
    for (const auto& close : ways) {
        SCOPED_TRACE(++way);
        const std::unique_ptr<Fixture> other = MakeFixture();
        other->Start();
        ASSERT_TRUE(other->Shown());
        close(*other);
        EXPECT_TRUE(other->WaitUntil([&] { return other->world.exits == 1; }));
        EXPECT_FALSE(other->Shown());
    }
}

// ---- out of the way: the icon's menu, greyed items, hiding, click-through

// The icon's menu is the window's: the same tree, the same marks and greyed items (those the
// window greys itself and one greyed here), and a pick there runs the same command.
TEST_F(MenuTest, TheIconsMenuShowsTheWindowsMarksAndGreyedItemsAndItsPicksRunTheCommands) {
    constexpr std::string_view kWhy = "\xE6\xB2\xA1\xE6\x9C\x89";  // 没有
    ui->Window().SetMenuChecked(MenuItem::locked, true);
    for (const bool enabled : {false, true}) {
        ui->Window().SetMenuEnabled(MenuItem::abt, enabled, enabled ? "" : kWhy);
        const Menu window = Open(*ui), icon = Read(ui->OpenIconMenu());
        ASSERT_EQ(icon.items.size(), window.items.size());
        for (const auto& [item, entry] : window.items) {
            const MenuEntry& shown = icon.items.at(item);
            EXPECT_EQ(shown.enabled, entry.enabled) << entry.caption;
            EXPECT_EQ(shown.tooltip, entry.tooltip) << entry.caption;
            EXPECT_EQ(shown.checked, entry.checked) << entry.caption;
        }
        EXPECT_EQ(window.items.at(MenuItem::abt).enabled, enabled);
        EXPECT_EQ(window.items.at(MenuItem::abt).tooltip, enabled ? "" : kWhy);
        EXPECT_TRUE(window.items.at(MenuItem::locked).checked);
    }
    ui->Pick(Read(ui->OpenIconMenu()).items.at(MenuItem::locked));
    EXPECT_EQ(world.Stored("locked"), "1");
}

TEST_F(MainWindowTest, HiddenTheWindowLeavesTheScreenTicksOnAndComesBackInPlace) {
    ui->Start();
    const PixelRect place = ui->Place();
    ui->Window().Hide();
    EXPECT_TRUE(ui->WaitUntil([&] { return !ui->Shown(); }));
    EXPECT_TRUE(ui->Tick(1000, 1000)) << "the timer runs on";
    ui->Window().Show();
    EXPECT_TRUE(ui->WaitUntil([&] { return ui->Shown() && ui->Place() == place; })) << ui->Place();
}

// Whatever the clicks go through to, the window above stays above it.
TEST_F(MainWindowTest, WithClickThroughAPressReachesTheWindowBeneathInsteadOfThisOne) {
    ui->Start();
    const PixelRect p = ui->Place();
    ui->OpenOtherWindow({p.x - 40, p.y - 40, p.cx + 80, p.cy + 80});
    ui->Window().SetStacking(true, {p.x, p.y, 1, 1});
    ASSERT_TRUE(ui->WaitUntil([&] { return ui->AboveOtherWindow(); }));
    for (const bool through : {true, false, true, false}) {
        ui->Window().SetClickThrough(through);
        const int before = ui->OtherWindowPresses();
        ui->PointerDown(At(p, 50, 30));
        EXPECT_EQ(ui->WaitUntil([&] { return ui->OtherWindowPresses() > before; }, 500ms), through) << through;
        EXPECT_EQ(ui->Main().Dragging(), !through) << through;
        ui->PointerUp(At(p, 50, 30));
        EXPECT_TRUE(ui->AboveOtherWindow());
    }
}

}  // namespace
}  // namespace tg::test
