// The GTK front end against a real X server (run under with-xvfb.sh, 1920x1080 at 96 DPI, no
// window manager), driven by the real frmMain over fake settings, table and clock. Pixels are read
// back from the X server, so they show what a user would see.
#include <gtest/gtest.h>
#include <gtk/gtk.h>
#include <pango/pangocairo.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "Fakes.h"
#include "GtkTestSupport.h"
#include "MainWindowFakes.h"
#include "mainwindow/MenuTree.h"
#include "mainwindow/frmMain.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/CairoPicture.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkMessageBox.h"
#include "platform/linux/InstanceLock.h"
#include "platform/gtk/ShapedText.h"

namespace tg {
namespace {

using namespace std::chrono_literals;
using test::PixelOf;
using test::PumpFor;
using test::PumpUntil;
using test::Rgb;

constexpr Rgb kRed{255, 0, 0}, kYellow{255, 255, 0}, kFormBack{255, 255, 128};

// ---- the single-instance lock (no display needed)

class InstanceLockTest : public ::testing::Test {
 protected:
    std::filesystem::path dir = std::filesystem::temp_directory_path() / ("tg-lock-" + std::to_string(getpid()));
    void SetUp() override { std::filesystem::create_directories(dir); }
    void TearDown() override { std::filesystem::remove_all(dir); }
};

TEST_F(InstanceLockTest, OneHolderAtATimeUntilItEnds) {
    const std::string path = dir / "a.lock";
    auto first = std::make_unique<InstanceLock>(path);
    InstanceLock second(path);
    EXPECT_TRUE(first->Acquire());
    EXPECT_TRUE(first->Acquire()) << "asking again keeps it";
    EXPECT_FALSE(second.Acquire());
    first.reset();
    EXPECT_TRUE(second.Acquire()) << "the lock ends with its holder";
    EXPECT_TRUE(InstanceLock((dir / "missing" / "a.lock").string()).Acquire()) << "no lock file: this copy runs";
}

TEST_F(InstanceLockTest, PathFollowsTheRuntimeFolder) {
    const char* saved = std::getenv("XDG_RUNTIME_DIR");
    const std::string keep = saved ? saved : "";
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
    EXPECT_EQ(InstanceLock::DefaultPath(), (dir / "tidegauge.lock").string());
    setenv("XDG_RUNTIME_DIR", "relative/run", 1);
    const std::string fallback = "/tmp/tidegauge-" + std::to_string(getuid());
    EXPECT_EQ(InstanceLock::DefaultPath(), fallback + "/tidegauge.lock");
    struct stat st {};
    ASSERT_EQ(lstat(fallback.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    if (saved) setenv("XDG_RUNTIME_DIR", keep.c_str(), 1);
    else unsetenv("XDG_RUNTIME_DIR");
}

// ---- read-out text through Pango and cairo (no display needed)

// The glyphs shaped straight from the text must draw, and measure, what a layout of it would:
// kerned pairs ("11", "AV"), the units, and text the shortcut leaves to the layout (not ASCII).
TEST(ShapedTextTest, DrawsAndMeasuresWhatALayoutWould) {
    const FontDescriptionPtr font(pango_font_description_from_string("Arial 8.25"));
    const auto image = [] { return CairoSurfacePtr(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 120, 24)); };
    const auto bytes = [](cairo_surface_t* s) {
        cairo_surface_flush(s);
        const auto* data = cairo_image_surface_get_data(s);
        return std::vector<unsigned char>(data, data + cairo_image_surface_get_stride(s) * 24);
    };
    const CairoSurfacePtr shapedImage = image(), layoutImage = image();
    const CairoPtr shapedCr(cairo_create(shapedImage.get())), layoutCr(cairo_create(layoutImage.get()));
    PangoLayout* shapedLayout = pango_cairo_create_layout(shapedCr.get());
    pango_layout_set_font_description(shapedLayout, font.get());
    ShapedText shaped(shapedLayout);
    const GObjectPtr<PangoLayout> layout(pango_cairo_create_layout(layoutCr.get()));
    pango_layout_set_font_description(layout.get(), font.get());
    struct Case {
        const char* text;
        bool glyphs;
    };
    for (const Case c : {Case{"0 Kb", false}, Case{"D:1111kb", true}, Case{"U:7.7 Mb/s", true},
                         Case{"AV To Wa 128 Kb Max", true}, Case{"D:11 \u901f", false}, Case{"U:0kb", true}}) {
        SCOPED_TRACE(c.text);
        shaped.SetText(c.text);
        pango_layout_set_text(layout.get(), c.text, -1);
        for (cairo_t* cr : {shapedCr.get(), layoutCr.get()}) {
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_paint(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
        }
        shaped.Draw(shapedCr.get(), 3, 4);
        cairo_move_to(layoutCr.get(), 3, 4);
        pango_cairo_show_layout(layoutCr.get(), layout.get());
        int width = 0;
        pango_layout_get_pixel_size(layout.get(), &width, nullptr);
        EXPECT_EQ(shaped.UsesGlyphs(), c.glyphs) << "the first text teaches the font; ASCII after it takes glyphs";
        EXPECT_EQ(shaped.PixelWidth(), width);
        EXPECT_GT(width, 10);
        EXPECT_TRUE(bytes(shapedImage.get()) == bytes(layoutImage.get())) << "pixels differ";
    }
}

// ---- the picture's pixels through cairo (no display needed)

TEST(CairoPictureTest, PaintsItsPixelsUnchangedAtTheOffset) {
    int changes = 0;
    CairoPicture picture([&] { ++changes; });
    picture.Resize(10, 6);
    picture.Clear(0x0080FFFF);
    picture.Line(0x000000FF, 4, 5, 4, 0);    // red, as 0x00BBGGRR
    picture.Line(0x00FF0000, 7, 5, 7, 2);    // blue
    EXPECT_EQ(changes, 4) << "every drawing call asks for a repaint";
    const CairoSurfacePtr target(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 16, 10));
    {
        const CairoPtr cr(cairo_create(target.get()));
        cairo_set_source_rgb(cr.get(), 0, 0, 0);
        cairo_paint(cr.get());
        picture.Paint(cr.get(), 3, 2);
    }
    cairo_surface_flush(target.get());
    const auto at = [&](int x, int y) {
        const auto* row = cairo_image_surface_get_data(target.get()) + y * cairo_image_surface_get_stride(target.get());
        return reinterpret_cast<const std::uint32_t*>(row)[x] & 0xFFFFFF;
    };
    EXPECT_EQ(at(3 + 4, 2 + 3), 0xFF0000u);
    EXPECT_EQ(at(3 + 7, 2 + 3), 0x0000FFu);
    EXPECT_EQ(at(3, 2), 0xFFFF80u) << "the back colour, channels in cairo's order";
    EXPECT_EQ(at(2, 2), 0u) << "nothing painted left of the picture";
    EXPECT_EQ(at(3 + 10, 2), 0u) << "nor right of it";
}

TEST(AppIconTest, TheBarsKeepTheirColours) {
    for (const int size : {32, 48, 64, 128}) {
        const GObjectPtr<GdkPixbuf> icon = DrawAppIcon(size);
        ASSERT_TRUE(icon);
        EXPECT_EQ(gdk_pixbuf_get_width(icon.get()), size);
        EXPECT_EQ(PixelOf(icon.get(), size * 34 / 100, size * 8 / 10), kRed) << size;
        EXPECT_EQ(PixelOf(icon.get(), size * 66 / 100, size * 8 / 10), kYellow) << size;
    }
}

// ---- the message box

// The images inside a widget, depth first, by their icon names.
void CollectIconNames(GtkWidget* widget, std::vector<std::string>& names) {
    if (GTK_IS_IMAGE(widget) && gtk_image_get_storage_type(GTK_IMAGE(widget)) == GTK_IMAGE_ICON_NAME) {
        const gchar* name = nullptr;
        gtk_image_get_icon_name(GTK_IMAGE(widget), &name, nullptr);
        if (name != nullptr && gtk_widget_get_visible(widget)) names.emplace_back(name);
    }
    if (GTK_IS_CONTAINER(widget)) {
        GList* children = gtk_container_get_children(GTK_CONTAINER(widget));
        for (GList* c = children; c != nullptr; c = c->next) CollectIconNames(GTK_WIDGET(c->data), names);
        g_list_free(children);
    }
}

TEST(GtkMessageBoxTest, TheInformationIconShowsBesideTheTextAndOnlyWhenAskedFor) {
    const GtkMessageBox box(nullptr);
    std::vector<std::string> names;
    const OwnedWidget about = box.Build("About", "TideGauge", MessageIcon::Information);
    CollectIconNames(about.get(), names);
    EXPECT_EQ(names, std::vector<std::string>{"dialog-information"});
    EXPECT_STREQ(gtk_window_get_title(GTK_WINDOW(about.get())), "TideGauge");
    names.clear();
    const OwnedWidget plain = box.Build("Welcome", "TideGauge", MessageIcon::None);
    CollectIconNames(plain.get(), names);
    EXPECT_TRUE(names.empty());
}

// ---- the desktop

TEST(GtkDesktopTest, ScreenAndMonitorsInTwips) {
    GtkDesktop desktop;
    EXPECT_EQ(desktop.TwipsPerPixelX(), 15);
    EXPECT_EQ(desktop.TwipsPerPixelY(), 15);
    const TwipsRect screen = desktop.PrimaryScreen();
    EXPECT_EQ(screen.left, 0);
    EXPECT_EQ(screen.width, 1920 * 15);
    EXPECT_EQ(screen.height, 1080 * 15);
    TwipsRect found;
    EXPECT_TRUE(desktop.MonitorAt(25085, 13200, found));
    EXPECT_EQ(found.width, 1920 * 15);
    EXPECT_FALSE(desktop.MonitorAt(1920 * 15 + 15, 100, found)) << "right of the only monitor";
    EXPECT_FALSE(desktop.MonitorAt(-15, 100, found));
    EXPECT_FALSE(desktop.MonitorAt(1e30f, 0, found));
}

// ---- the window, driven by frmMain

// The real desktop, except that the program neither checks for other copies nor ends.
class TestDesktop final : public Desktop {
 public:
    GtkDesktop real;
    int exits = 0;
    TwipsRect PrimaryScreen() const override { return real.PrimaryScreen(); }
    bool MonitorAt(float x, float y, TwipsRect& b) const override { return real.MonitorAt(x, y, b); }
    float TwipsPerPixelX() const override { return real.TwipsPerPixelX(); }
    float TwipsPerPixelY() const override { return real.TwipsPerPixelY(); }
    void PumpMessages() override { real.PumpMessages(); }
    void Sleep(std::uint32_t ms) override { real.Sleep(ms); }
    bool AnotherInstanceRunning() override { return false; }
    void ExitProcess() override { ++exits; }
};

class GtkMainWindowTest : public ::testing::Test {
 protected:
    GtkMainWindowTest() {
        window.Attach(form);
        table.SetTotals({{1'000'000, 1'000'000}});
        settings.Set(kSettingsApp, kSettingsSection, "info", "1");
        form.Form_Initialize();
    }

    void Load() {
        form.Form_Load();
        ASSERT_TRUE(PumpUntil([&] { return Screen(90, 0) == kFormBack; })) << "the window never showed its gradient";
    }
    GdkWindow* XWindow() const { return gtk_widget_get_window(GTK_WIDGET(window.Window())); }
    std::pair<int, int> Origin() const {
        int x = -1, y = -1;
        if (XWindow()) gdk_window_get_origin(XWindow(), &x, &y);
        return {x, y};
    }
    // A pixel of the window as the X server holds it.
    Rgb Screen(int x, int y) const {
        if (!XWindow() || !gdk_window_is_viewable(XWindow())) return {};
        const GObjectPtr<GdkPixbuf> shot(gdk_pixbuf_get_from_window(XWindow(), x, y, 1, 1));
        return shot ? PixelOf(shot.get(), 0, 0) : Rgb{};
    }
    int DarkPixels(int x, int y, int w, int h) const {
        const GObjectPtr<GdkPixbuf> shot(gdk_pixbuf_get_from_window(XWindow(), x, y, w, h));
        int dark = 0;
        for (int j = 0; j < h; ++j)
            for (int i = 0; i < w; ++i) {
                const Rgb c = PixelOf(shot.get(), i, j);
                dark += c.r < 80 && c.g < 80 && c.b < 80;
            }
        return dark;
    }

    TestDesktop desktop;
    GtkMainWindow window{desktop};
    test::RecordingMessages messages;
    test::MemorySettings settings;
    test::FakeTableSource table;
    test::FakeClock clock;
    test::FakeOptionsHost options;
    frmMain form{{window, window.Picture(), desktop, messages, settings, table, clock, options}};
};

TEST_F(GtkMainWindowTest, BoundsAreWhatMoveSetAndTheWindowIsAtTheirPixels) {
    Load();
    EXPECT_EQ(window.Bounds().left, 25085) << "the first-start place, not rounded to pixels";
    EXPECT_TRUE(PumpUntil([&] { return Origin() == std::make_pair(1672, 880); }));
    window.Move({23085, 12300, 3000, 1365});
    EXPECT_EQ(window.Bounds().left, 23085);
    EXPECT_TRUE(PumpUntil([&] {
        int w = 0, h = 0;
        gtk_window_get_size(window.Window(), &w, &h);
        return Origin() == std::make_pair(1539, 820) && w == 200 && h == 91;
    }));
}

// The window manager's doing reaches frmMain, which takes it and lays the window out anew.
TEST_F(GtkMainWindowTest, AMoveByAnotherProgramIsAdopted) {
    Load();
    ASSERT_TRUE(PumpUntil([&] { return Origin() == std::make_pair(1672, 880); }));
    gdk_window_move(XWindow(), 100, 50);  // what a window manager does
    EXPECT_TRUE(PumpUntil([&] { return window.Bounds().left == 1500; })) << window.Bounds().left;
    EXPECT_EQ(window.Bounds().top, 750);
    EXPECT_EQ(window.Bounds().width, 2715);
    gdk_window_resize(XWindow(), 300, 200);
    EXPECT_TRUE(PumpUntil([&] { return window.Bounds().width == 4500; })) << window.Bounds().width;
    EXPECT_EQ(window.Picture().Pixels().Width(), 300) << "the resize handler laid the picture out anew";
}

TEST_F(GtkMainWindowTest, ThePictureIsAsLargeAsItIsToldAndTheScreenIsTheRootWindow) {
    EXPECT_EQ(window.ScreenPixels().cx, 1920);
    EXPECT_EQ(window.ScreenPixels().cy, 1080);
    window.PlaceSurface({0, 0, 1e9f, 1e9f}, {0, 0, 30, 20});
    EXPECT_EQ(window.Picture().Pixels().Width(), 30);
    EXPECT_EQ(window.Picture().Pixels().Height(), 20);
}

TEST_F(GtkMainWindowTest, ShowsTheGraphTheReadOutsAndTheBackColour) {
    settings.Set(kSettingsApp, kSettingsSection, "kbps", "128");
    Load();
    form.DrawGraph(64, 128);
    // The newest column is 50 twips left of the picture's right edge: pixel 178 of 181.
    EXPECT_TRUE(PumpUntil([&] { return Screen(178, 88) == kYellow; }));
    EXPECT_EQ(Screen(178, 10), kRed) << "download above the lower upload bar";
    EXPECT_EQ(Screen(90, 90), kFormBack) << "the window's own colour in the strip under the picture";
    EXPECT_GE(DarkPixels(6, 6, 40, 16), 10) << "the download read-out at the top left";
    for (const LabelId label : {LabelId::Label1, LabelId::Label9, LabelId::Label10}) window.SetLabelVisible(label, false);
    EXPECT_TRUE(PumpUntil([&] { return DarkPixels(6, 6, 40, 16) == 0; })) << "hidden read-outs are not drawn";
}

TEST_F(GtkMainWindowTest, LabelWidthFollowsTheTextInTwips) {
    window.SetLabelText(LabelId::Label10, "0 Kb");
    const float narrow = window.LabelWidth(LabelId::Label10);
    window.SetLabelText(LabelId::Label10, "U:20480kb");
    const float wide = window.LabelWidth(LabelId::Label10);
    // 8.25 point text is 11 pixels high at 96 DPI; "0 Kb" is some 25 pixels wide.
    EXPECT_GT(narrow, 15 * 15);
    EXPECT_LT(narrow, 40 * 15);
    EXPECT_GT(wide, 2 * narrow);
    EXPECT_EQ(static_cast<int>(wide) % 15, 0) << "a whole number of pixels";
}

TEST_F(GtkMainWindowTest, TheGripShowsTheSizingCursor) {
    Load();
    GdkWindow* picture = gtk_widget_get_window(gtk_bin_get_child(GTK_BIN(window.Window())));
    const TwipsRect s = form.Picture2Bounds();
    form.Picture2_MouseMove(0, 0, s.width - 10, s.height - 10);
    GdkCursor* cursor = gdk_window_get_cursor(picture);
    ASSERT_NE(cursor, nullptr);
    EXPECT_EQ(gdk_cursor_get_cursor_type(cursor), GDK_CURSOR_IS_PIXMAP) << "a themed cursor, by its name";
    form.Picture2_MouseMove(0, 0, 10, 10);
    EXPECT_EQ(gdk_window_get_cursor(picture), nullptr) << "the default cursor again";
}

TEST_F(GtkMainWindowTest, TheTimerTicksOnlyWhileEnabled) {
    Load();  // enables the timer
    int before = table.calls;
    form.Timer2_Timer();
    const int callsPerTick = table.calls - before;
    ASSERT_GT(callsPerTick, 0);
    before = table.calls;
    PumpFor(2300ms);
    const int ticks = (table.calls - before) / callsPerTick;
    EXPECT_GE(ticks, 2);
    EXPECT_LE(ticks, 3);
    window.SetTimerEnabled(false);
    before = table.calls;
    PumpFor(1300ms);
    EXPECT_EQ(table.calls, before);
}

// Each tick pumps messages twice on its way; the window must still be painted once per tick, after
// it, with everything the tick drew.
TEST_F(GtkMainWindowTest, EachTickPaintsOnceWhenItHasDrawnEverything) {
    settings.Set(kSettingsApp, kSettingsSection, "kbps", "128");
    Load();
    std::uint32_t total = 1'000'000;
    const auto tick = [&] {
        total += 8 * 1024;  // 64 kilobits in each direction
        table.SetTotals({{total, total}});
        clock.Advance(1s);
        const int before = table.calls;
        ASSERT_TRUE(PumpUntil([&] { return table.calls > before; }, 2s)) << "no tick";
        PumpFor(150ms);
    };
    tick();  // the first reading only sets the starting counts
    const int before = window.Paints();
    for (int i = 0; i < 3; ++i) tick();
    EXPECT_EQ(window.Paints() - before, 3);
    EXPECT_EQ(Screen(178, 88), kYellow) << "the last tick's bars are on the screen";
    EXPECT_GE(DarkPixels(6, 6, 40, 16), 10) << "and its read-outs";
}

// ---- the context menu and its commands

bool Marked(GtkWidget* widget) {
    return GTK_IS_CHECK_MENU_ITEM(widget) && gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(widget));
}

// The menu's widgets, read back and compared with the tree node by node, where the interface
// items are `entries`. Gives the widget of each item, and those of the interface items.
void ReadBack(GtkWidget* menu, std::span<const MenuNode> nodes, std::span<const InterfaceMenuEntry> entries,
              std::vector<std::pair<GtkWidget*, MenuItem>>& items, std::vector<GtkWidget*>& interfaceItems) {
    g_autoptr(GList) children = gtk_container_get_children(GTK_CONTAINER(menu));
    GList* child = children;
    const auto next = [&] {
        GtkWidget* widget = child ? GTK_WIDGET(child->data) : nullptr;
        if (child) child = child->next;
        return widget;
    };
    for (const MenuNode& node : nodes) {
        if (node.kind == MenuNodeKind::Interfaces) {
            for (const InterfaceMenuEntry& entry : entries) {
                if (entry.separatorBefore) {
                    EXPECT_TRUE(GTK_IS_SEPARATOR_MENU_ITEM(next())) << entry.caption;
                }
                GtkWidget* widget = next();
                ASSERT_NE(widget, nullptr) << entry.caption;
                EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(widget)), entry.caption.c_str());
                EXPECT_EQ(Marked(widget), entry.checked) << entry.caption;
                interfaceItems.push_back(widget);
            }
            continue;
        }
        GtkWidget* widget = next();
        ASSERT_NE(widget, nullptr) << "missing: " << node.caption;
        if (node.kind == MenuNodeKind::Separator) {
            EXPECT_TRUE(GTK_IS_SEPARATOR_MENU_ITEM(widget));
            continue;
        }
        EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(widget)), node.caption);
        EXPECT_EQ(GTK_IS_CHECK_MENU_ITEM(widget), node.Checkable()) << node.caption;
        GtkWidget* submenu = gtk_menu_item_get_submenu(GTK_MENU_ITEM(widget));
        EXPECT_EQ(submenu != nullptr, node.kind == MenuNodeKind::Submenu) << node.caption;
        if (submenu) ReadBack(submenu, node.children, entries, items, interfaceItems);
        if (node.item) items.emplace_back(widget, *node.item);
    }
    EXPECT_EQ(child, nullptr) << "more items than the tree has";
}

TEST(GtkContextMenuTest, TheMenuIsTheTreeAndEachItemRunsItsOwnCommand) {
    std::vector<MenuItem> commands;
    std::vector<std::size_t> picks;
    ContextMenu menu([&](MenuItem item) { commands.push_back(item); }, [&](std::size_t i) { picks.push_back(i); });
    const InterfaceMenuEntry entries[] = {{"Wi-Fi", true, false}, {"Loopback", false, true}};
    std::vector<std::pair<GtkWidget*, MenuItem>> items;
    std::vector<GtkWidget*> interfaceItems;
    for (int round = 0; round < 2; ++round) {  // filled again, not appended to
        menu.SetInterfaceItems(entries);
        items.clear();
        interfaceItems.clear();
        ReadBack(GTK_WIDGET(menu.Widget()), ContextMenuTree(), entries, items, interfaceItems);
        if (HasFailure()) return;
    }
    for (const auto& [widget, item] : items) {
        for (const bool mark : {false, true}) {
            commands.clear();
            menu.SetChecked(item, mark);
            EXPECT_EQ(Marked(widget), mark && GTK_IS_CHECK_MENU_ITEM(widget)) << "the mark reaches this very widget";
            gtk_menu_item_activate(GTK_MENU_ITEM(widget));
            EXPECT_EQ(commands, std::vector<MenuItem>{item}) << "setting a mark runs no command";
            EXPECT_EQ(Marked(widget), mark && GTK_IS_CHECK_MENU_ITEM(widget)) << "a click leaves the mark to the program";
        }
    }
    gtk_menu_item_activate(GTK_MENU_ITEM(interfaceItems.at(1)));
    EXPECT_EQ(picks, std::vector<std::size_t>{1});
    EXPECT_FALSE(Marked(interfaceItems[1])) << "the interfaces' marks are the program's too";
}

// The widgets are made when the menu is first needed: the marks set before then are on them.
TEST(GtkContextMenuTest, MarksSetBeforeTheMenuIsBuiltAreOnItsWidgets) {
    ContextMenu menu([](MenuItem) {}, [](std::size_t) {});
    menu.SetChecked(MenuItem::ontop, true);
    menu.SetChecked(MenuItem::KbpsAuto, true);
    menu.SetChecked(MenuItem::usage, true);  // a command: no mark to set
    EXPECT_TRUE(menu.Checked(MenuItem::ontop));
    EXPECT_FALSE(menu.Checked(MenuItem::usage));
    EXPECT_FALSE(menu.Checked(MenuItem::locked));
    EXPECT_TRUE(Marked(menu.Item(MenuItem::ontop)));
    EXPECT_TRUE(Marked(menu.Item(MenuItem::KbpsAuto)));
    EXPECT_FALSE(Marked(menu.Item(MenuItem::locked)));
}

class GtkMenuTest : public GtkMainWindowTest {
 protected:
    // What a click on the item does: GTK toggles a check item's mark, then runs its handlers.
    void Pick(MenuItem item) { gtk_menu_item_activate(GTK_MENU_ITEM(window.Menu().Item(item))); }
    std::optional<std::string> Stored(const char* key) { return settings.Get(kSettingsApp, kSettingsSection, key); }
};

TEST_F(GtkMenuTest, APickReachesFrmMain) {
    Load();
    Pick(MenuItem::Kbps512);
    EXPECT_EQ(Stored("kbps"), "512");
    EXPECT_TRUE(window.MenuChecked(MenuItem::Kbps512));
    EXPECT_FALSE(window.MenuChecked(MenuItem::KbpsAuto));
}

TEST_F(GtkMenuTest, AnInterfacePickedInThePopupIsStored) {
    std::vector<IfRowFields> rows(2);
    rows[0] = {.name = u"lo", .index = 1, .type = 24, .description = "lo"};
    rows[1] = {.name = u"eth0", .index = 2, .type = 6, .description = "eth0", .hardware = true};
    table.SetRows(rows);
    Load();
    form.Timer2_Timer();
    // The popup fills the submenu (here without a pointer to grab, it shows nothing and returns).
    form.ShowContextMenu();
    ASSERT_NE(window.Menu().InterfaceItem(1), nullptr);
    EXPECT_EQ(window.Menu().InterfaceItem(2), nullptr);
    EXPECT_STREQ(gtk_menu_item_get_label(GTK_MENU_ITEM(window.Menu().InterfaceItem(0))), "eth0");
    EXPECT_TRUE(Marked(window.Menu().InterfaceItem(0)));
    gtk_menu_item_activate(GTK_MENU_ITEM(window.Menu().InterfaceItem(1)));  // lo, after the counted eth0
    EXPECT_TRUE(window.MenuChecked(MenuItem::InterfacesAuto));
    EXPECT_EQ(Stored("interfaces"), "lo");
}

// Each way out reaches frmMain's unload, which takes the window off the screen and ends the program.
TEST_F(GtkMenuTest, TheExitItemTheCloseRequestAndTheSessionsEndAllUnload) {
    const std::function<void()> ways[] = {
        [&] { Pick(MenuItem::exit); },
        [&] {
            GdkEvent* event = gdk_event_new(GDK_DELETE);
            event->any.window = GDK_WINDOW(g_object_ref(XWindow()));
            gtk_main_do_event(event);
            gdk_event_free(event);
        },
        [&] { raise(SIGTERM); },
    };
    for (const auto& close : ways) {
        Load();
        const int exits = desktop.exits;
        close();
        EXPECT_TRUE(PumpUntil([&] { return desktop.exits == exits + 1; })) << "way " << exits;
        EXPECT_FALSE(gtk_widget_get_visible(GTK_WIDGET(window.Window())));
    }
}

TEST_F(GtkMenuTest, AlwaysOnTopOffSendsTheWindowBehindOthersAndOnBringsItBack) {
    Load();
    ASSERT_TRUE(window.MenuChecked(MenuItem::ontop)) << "on by default";
    const OwnedWidget other = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    gtk_window_move(GTK_WINDOW(other.get()), 1600, 800);
    gtk_window_set_default_size(GTK_WINDOW(other.get()), 200, 200);
    gtk_widget_show(other.get());
    GdkWindow* otherX = gtk_widget_get_window(other.get());
    ASSERT_TRUE(PumpUntil([&] { return gdk_window_is_viewable(otherX); }));
    const auto above = [&] { return test::StackingIndex(XWindow()) > test::StackingIndex(otherX); };
    ASSERT_FALSE(above()) << "the newer window starts on top";

    const std::pair<bool, const char*> expected[] = {{false, "0"}, {true, "1"}, {false, "0"}};
    for (const auto& [on, stored] : expected) {
        Pick(MenuItem::ontop);
        EXPECT_EQ(window.MenuChecked(MenuItem::ontop), on);
        EXPECT_EQ(Stored("ontop"), stored);
        EXPECT_EQ(above(), on) << (on ? "on raises the window" : "off lowers it behind the other window");
    }
    EXPECT_EQ(Origin(), std::make_pair(1672, 880)) << "the place is kept";
}

TEST_F(GtkMainWindowTest, StackingMovesToThePlaceAndKeepsTheSize) {
    Load();
    struct Step {
        bool topmost;
        PixelRect place;
    };
    for (const Step& step : {Step{false, {100, 50, 1, 1}}, Step{true, {120, 60, 1, 1}}}) {
        const PixelRect& place = step.place;
        window.SetStacking(step.topmost, place);
        EXPECT_TRUE(PumpUntil([&] { return Origin() == std::make_pair(place.x, place.y); })) << place.x;
        EXPECT_TRUE(PumpUntil([&] { return window.Bounds().left == place.x * 15; })) << "reported and adopted";
        EXPECT_EQ(window.Bounds().top, place.y * 15);
        EXPECT_EQ(window.Bounds().width, 2715);
        EXPECT_EQ(window.Bounds().height, 1365);
        int w = 0, h = 0;
        gtk_window_get_size(window.Window(), &w, &h);
        EXPECT_EQ(std::make_pair(w, h), std::make_pair(181, 91));
    }
}

}  // namespace
}  // namespace tg
