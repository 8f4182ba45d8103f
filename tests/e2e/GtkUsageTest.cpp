// The usage dialog against a real X server (run under with-xvfb.sh, 1920x1080 at 96 DPI, no
// window manager), driven by the real frmUsage over settings in memory and a log the test grows.
// Clicks and keys go through the X server; pixels are read back from it.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "Fakes.h"
#include "UsageDays.h"
#include "GtkTestSupport.h"
#include "appearance/PixelSurface.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkUsageDialog.h"
#include "platform/gtk/GtkUsageHost.h"
#include "usage/UsageChart.h"
#include "usage/frmUsage.h"

namespace tg {
namespace {

using namespace std::chrono;
using test::Box;
using test::PlaceOf;
using test::PumpUntil;
using test::Rgb;

using test::D;
using test::FixedCalendar;
constexpr UsageColours kColours = {0x000000FF, 0x0000FFFF};  // red and yellow, the defaults

std::string TextOf(GtkWidget* control) {
    return GTK_IS_ENTRY(control) ? gtk_entry_get_text(GTK_ENTRY(control)) : gtk_label_get_text(GTK_LABEL(control));
}

// What the window shows of a control, as the X server holds it.
GObjectPtr<GdkPixbuf> Shot(GtkWidget* control) {
    const Box b = PlaceOf(control);
    return GObjectPtr<GdkPixbuf>(
        gdk_pixbuf_get_from_window(gtk_widget_get_window(gtk_widget_get_toplevel(control)), b.x, b.y, b.w, b.h));
}

// Saved where the test's environment asks, for a person to look at.
void KeepScreenshot(GtkWindow* window, const char* name) {
    const char* folder = std::getenv("TG_SCREENSHOTS");
    GdkWindow* w = gtk_widget_get_window(GTK_WIDGET(window));
    if (!folder || !w) return;
    g_mkdir_with_parents(folder, 0755);
    const GObjectPtr<GdkPixbuf> shot(
        gdk_pixbuf_get_from_window(w, 0, 0, gdk_window_get_width(w), gdk_window_get_height(w)));
    const std::string path = std::string(folder) + "/" + name;
    if (shot) gdk_pixbuf_save(shot.get(), path.c_str(), "png", nullptr, nullptr);
}

class GtkUsageDialogTest : public ::testing::Test {
 protected:
    GtkUsageDialogTest() {
        test::AddFewDays(log);
        dialog.Attach(usage);
    }
    void Show() {
        gtk_widget_show_all(GTK_WIDGET(dialog.Window()));
        GtkWidget* spin = Control("PeriodStart");
        ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(spin) && PlaceOf(spin).w > 1; }));
    }
    GtkWidget* Control(std::string_view name) const {
        GtkWidget* control = test::FindNamed(GTK_WIDGET(dialog.Window()), name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    std::optional<std::string> Stored() { return settings.Get(kSettingsApp, kSettingsSection, "periodstart"); }
    PixelRect Expected(const TwipsRect& place) const { return RectToPixels(place, desktop.TwipsPerPixelX()); }

    GtkDesktop desktop;
    OwnedWidget owner = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    test::MemorySettings settings;
    SettingsStore store{settings};
    FixedCalendar calendar;
    UsageLog log;
    GtkUsageDialog dialog{GTK_WINDOW(owner.get()), desktop};
    frmUsage usage{{dialog, store, calendar}, log, kColours};
};

TEST_F(GtkUsageDialogTest, AFixedModalDialogInTheMiddleOfTheScreenWithTheDescribedControls) {
    Show();
    GtkWindow* window = dialog.Window();
    EXPECT_EQ(gtk_window_get_title(window), kUsageTitle);
    EXPECT_FALSE(gtk_window_get_resizable(window));
    EXPECT_TRUE(gtk_window_get_modal(window));
    EXPECT_EQ(gtk_window_get_type_hint(window), GDK_WINDOW_TYPE_HINT_DIALOG);
    EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(window));
    EXPECT_EQ(gtk_window_get_transient_for(window), GTK_WINDOW(owner.get()));
    GdkWindow* x = gtk_widget_get_window(GTK_WIDGET(window));
    const PixelRect client = Expected({0, 0, kUsageClientWidth, kUsageClientHeight});
    int left = 0, top = 0;
    gdk_window_get_origin(x, &left, &top);
    EXPECT_EQ((Box{left, top, gdk_window_get_width(x), gdk_window_get_height(x)}),
              (Box{(1920 - client.cx) / 2, (1080 - client.cy) / 2, client.cx, client.cy}));

    for (const UsageControl& c : kUsageControls) {
        GtkWidget* control = Control(c.name);
        if (!control) continue;
        const PixelRect p = Expected(c.place);
        EXPECT_EQ(PlaceOf(control), (Box{p.x, p.y, p.cx, p.cy})) << c.name;
        EXPECT_EQ(gtk_widget_get_can_focus(control), TakesFocus(c.kind)) << c.name;
        switch (c.kind) {
            case UsageControlKind::Chart: EXPECT_TRUE(GTK_IS_DRAWING_AREA(control)) << c.name; break;
            case UsageControlKind::Spin: EXPECT_TRUE(GTK_IS_SPIN_BUTTON(control)) << c.name; break;
            default: {
                ASSERT_TRUE(GTK_IS_LABEL(control)) << c.name;
                EXPECT_EQ(TextOf(control), c.caption) << c.name;
                const float align = gtk_label_get_xalign(GTK_LABEL(control));
                const float expected = c.align == TextAlign::Left ? 0 : c.align == TextAlign::Centre ? 0.5F : 1;
                EXPECT_EQ(align, expected) << c.name;
            }
        }
    }
    GtkAdjustment* range = gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(Control("PeriodStart")));
    EXPECT_EQ(gtk_adjustment_get_lower(range), kPeriodStartSpin.min);
    EXPECT_EQ(gtk_adjustment_get_upper(range), kPeriodStartSpin.max);
    EXPECT_EQ(gtk_adjustment_get_step_increment(range), kPeriodStartSpin.step);
    EXPECT_EQ(gtk_adjustment_get_value(range), kPeriodStartSpin.designValue);
}

TEST_F(GtkUsageDialogTest, ShowsTheTotalsAndTheDaysAndTheChartPixelForPixel) {
    Show();
    usage.Form_Load();
    EXPECT_EQ(TextOf(Control("TodayReceived")), "1.50 GB");
    EXPECT_EQ(TextOf(Control("LastPeriodTotal")), "2.00 GB");
    EXPECT_EQ(TextOf(Control("Day29")), "8");
    EXPECT_EQ(TextOf(Control("PeriodStart")), "1");

    GtkWidget* chart = Control("Chart");
    const PixelSurface& picture = static_cast<const CairoPicture&>(dialog.Chart().surface).Pixels();
    const Rgb download{255, 0, 0};
    EXPECT_TRUE(PumpUntil([&] {
        const GObjectPtr<GdkPixbuf> shot = Shot(chart);
        const int x = ChartShareLeft(kChartDays - 1, picture.Width()) + 2;
        return shot && test::PixelOf(shot.get(), x, picture.Height() - 1) == download;
    })) << "today's download bar, in the bottom right corner";
    const GObjectPtr<GdkPixbuf> shot = Shot(chart);
    ASSERT_TRUE(shot);
    int differ = 0;
    for (int y = 0; y < picture.Height(); ++y)
        for (int x = 0; x < picture.Width(); ++x) {
            const std::uint32_t rgb = ColourToRgb(picture.Pixel(x, y));
            differ += test::PixelOf(shot.get(), x, y) != Rgb{int(rgb >> 16), int((rgb >> 8) & 0xFF), int(rgb & 0xFF)};
        }
    EXPECT_EQ(differ, 0) << "the screen shows the portable picture unscaled at the chart's place";
}

TEST_F(GtkUsageDialogTest, TypedDaysAreTakenOnEnterAndAnythingElseIsRefused) {
    Show();
    usage.Form_Load();
    GtkWidget* spin = Control("PeriodStart");
    test::Click(spin, 6, PlaceOf(spin).h / 2);
    ASSERT_TRUE(PumpUntil([&] { return gtk_widget_has_focus(spin); }));
    // Everything there replaced by what is typed, seen in the spin button before Enter commits it.
    const auto type = [&](const std::string& keys) {
        test::PressKey("a", true);
        for (const char k : keys) test::PressKey(std::string(1, k).c_str());
        EXPECT_TRUE(PumpUntil([&] { return TextOf(spin) == keys; })) << keys;
        test::PressKey("Return");
    };
    const struct {
        const char* typed;
        int shown;
        std::optional<std::string> stored;
    } cases[] = {
        {"31", 1, std::nullopt}, {"0", 1, std::nullopt}, {"ab", 1, std::nullopt},
        {"12", 12, "12"},        {"29", 12, "12"},       {"5", 5, "5"},
    };
    for (const auto& c : cases) {
        type(c.typed);
        EXPECT_TRUE(PumpUntil([&] { return TextOf(spin) == std::to_string(c.shown) && Stored() == c.stored; }))
            << c.typed << ": shows " << TextOf(spin);
        EXPECT_EQ(dialog.SpinValue(), c.shown) << c.typed;
        EXPECT_EQ(Stored(), c.stored) << c.typed;
    }
}

TEST_F(GtkUsageDialogTest, ClicksOnTheArrowsStepTheDayAndStoreIt) {
    settings.Set(kSettingsApp, kSettingsSection, "periodstart", "27");
    Show();
    usage.Form_Load();
    GtkWidget* spin = Control("PeriodStart");
    const Box place = PlaceOf(spin);
    GdkRectangle text{};
    gtk_entry_get_text_area(GTK_ENTRY(spin), &text);
    // The buttons share what the text leaves on the right: minus, then plus.
    const int buttons = place.w - (text.x + text.width);
    const int minus = text.x + text.width + buttons / 4, plus = place.w - buttons / 4;
    const struct {
        int x;
        int shown;
        const char* stored;
    } clicks[] = {{plus, 28, "28"}, {plus, 28, "28"}, {minus, 27, "27"}, {minus, 26, "26"}};
    for (const auto& c : clicks) {
        test::Click(spin, c.x, place.h / 2);
        EXPECT_TRUE(PumpUntil([&] { return Stored() == c.stored && dialog.SpinValue() == c.shown; }))
            << "at " << c.x << ": " << dialog.SpinValue() << ", stored " << Stored().value_or("nothing");
        test::PumpFor(100ms);
    }
}

TEST(GtkUsageHostTest, ShowsTheLogAsItGrowsUntilTheDialogIsClosed) {
    GtkDesktop desktop;
    const OwnedWidget owner = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    const GObjectPtr<GdkPixbuf> icon = DrawAppIcon(16);
    gtk_window_set_icon(GTK_WINDOW(owner.get()), icon.get());
    test::MemorySettings settings;
    FixedCalendar calendar;
    UsageLog log;
    test::AddFewDays(log);
    GtkUsageHost host(GTK_WINDOW(owner.get()), desktop);

    GtkWindow* shown = nullptr;
    const auto text = [&](const char* name) { return TextOf(test::FindNamed(GTK_WIDGET(shown), name)); };
    steady_clock::time_point added;
    test::Script script;
    script
        .Then([] { return test::Titled("流量统计"); },
              [&](GtkWindow* dialog) {
                  shown = dialog;
                  EXPECT_TRUE(gtk_window_get_modal(dialog));
                  EXPECT_EQ(gtk_window_get_transient_for(dialog), GTK_WINDOW(owner.get()));
                  GList* icons = gtk_window_get_icon_list(dialog);
                  EXPECT_TRUE(icons && icons->data == icon.get()) << "the owner's icon";
                  g_list_free(icons);
                  EXPECT_EQ(text("TodayReceived"), "1.50 GB");
                  log.Add(D(2026, 12, 8), {1'000'000'000, 0});
                  added = steady_clock::now();
              })
        .Then([&] { return text("TodayReceived") == "2.50 GB" ? shown : nullptr; },
              [&](GtkWindow* dialog) {
                  EXPECT_LT(steady_clock::now() - added, 1500ms) << "within a refresh";
                  KeepScreenshot(dialog, "gtk-usage.png");
                  gtk_window_close(dialog);
              });
    host.ShowUsage(settings, calendar, log, kColours);
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(test::Titled("流量统计"), nullptr) << "closed";
}

}  // namespace
}  // namespace tg
