// The options dialog and the colour dialog against a real X server (run under with-xvfb.sh,
// 1920x1080 at 96 DPI, no window manager), driven by the real frmOptions over settings and a
// registry in memory. Clicks go through the X server; pixels are read back from it.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Fakes.h"
#include "GtkTestSupport.h"
#include "appearance/frmOptions.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GtkColourDialog.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkOptionsDialog.h"
#include "platform/gtk/GtkOptionsHost.h"
#include "MemoryRegistry.h"
#include "settings/modRegistry.h"

namespace tg {
namespace {

using namespace std::chrono_literals;
using test::Box;
using test::Click;
using test::PlaceOf;
using test::PixelOf;
using test::PumpUntil;
using test::Rgb;
using test::Script;
using test::Titled;

constexpr std::uint32_t kCu = RegistryApi::kHkeyCurrentUser;
const std::string kPath = "/opt/tidegauge/bin/tidegauge";

class RecordingLauncher final : public Launcher {
 public:
    std::vector<std::string> opened;
    void OpenAddress(std::string_view address) override { opened.emplace_back(address); }
};

// Answers at once with `answer`, or cancels when there is none.
class AnsweringColours final : public ColourDialog {
 public:
    std::optional<std::int32_t> answer;
    int requests = 0;
    bool Choose(ColourRequest& request) override {
        ++requests;
        if (answer) request.rgbResult = *answer;
        return answer.has_value();
    }
};

std::string CaptionOf(GtkWidget* control) {
    if (GTK_IS_LABEL(control)) return gtk_label_get_text(GTK_LABEL(control));
    if (GTK_IS_BUTTON(control)) return gtk_button_get_label(GTK_BUTTON(control));
    const char* name = atk_object_get_name(gtk_widget_get_accessible(control));
    return name ? name : "";
}

// A pixel of a window as the X server holds it.
Rgb Screen(GtkWindow* window, int x, int y) {
    GdkWindow* w = gtk_widget_get_window(GTK_WIDGET(window));
    if (!w || !gdk_window_is_viewable(w)) return {};
    const GObjectPtr<GdkPixbuf> shot(gdk_pixbuf_get_from_window(w, x, y, 1, 1));
    return shot ? PixelOf(shot.get(), 0, 0) : Rgb{};
}

Rgb CentreOf(GtkWidget* control) {
    const Box b = PlaceOf(control);
    return Screen(GTK_WINDOW(gtk_widget_get_toplevel(control)), b.x + b.w / 2, b.y + b.h / 2);
}

// Pixels of the control in the link colour, give or take the edges of the glyphs.
int LinkColourPixels(GtkWidget* control) {
    const Box b = PlaceOf(control);
    const GObjectPtr<GdkPixbuf> shot(
        gdk_pixbuf_get_from_window(gtk_widget_get_window(gtk_widget_get_toplevel(control)), b.x, b.y, b.w, b.h));
    const Rgb link{kLinkColour & 0xFF, (kLinkColour >> 8) & 0xFF, (kLinkColour >> 16) & 0xFF};
    int count = 0;
    for (int y = 0; shot && y < b.h; ++y)
        for (int x = 0; x < b.w; ++x) {
            const Rgb c = PixelOf(shot.get(), x, y);
            count += std::abs(c.r - link.r) < 60 && std::abs(c.g - link.g) < 60 && std::abs(c.b - link.b) < 60;
        }
    return count;
}

// The settings, with a count of the writes of each key: one run of a handler, one write.
class CountingSettings final : public SettingsBackend {
 public:
    test::MemorySettings values;
    std::map<std::string, int> writes;
    std::optional<std::string> Get(std::string_view app, std::string_view section, std::string_view key) override {
        return values.Get(app, section, key);
    }
    void Set(std::string_view app, std::string_view section, std::string_view key, std::string_view text) override {
        ++writes[std::string(key)];
        values.Set(app, section, key, text);
    }
};

class GtkOptionsDialogTest : public ::testing::Test {
 protected:
    GtkOptionsDialogTest() { dialog.Attach(options); }

    void Show() {
        gtk_widget_show_all(GTK_WIDGET(dialog.Window()));
        GtkWidget* check = Control("Check1");
        ASSERT_TRUE(PumpUntil([&] { return gtk_widget_get_mapped(check) && PlaceOf(check).w > 1; }));
    }
    GtkWidget* Control(std::string_view name) const {
        GtkWidget* control = test::FindNamed(GTK_WIDGET(dialog.Window()), name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    std::optional<std::string> Stored(const SettingKey& key) {
        return settings.Get(kSettingsApp, kSettingsSection, key.name);
    }
    PixelRect Expected(const TwipsRect& place) const { return RectToPixels(place, desktop.TwipsPerPixelX()); }
    std::optional<std::string> Run() const {
        const auto value = registry.Get(kCu, kRunKeyPath, kRunValueName);
        return value ? std::optional<std::string>(CutAtNul(value->data)) : std::nullopt;
    }
    std::string FocusName() const {
        GtkWidget* focus = gtk_window_get_focus(dialog.Window());
        return focus ? gtk_widget_get_name(focus) : "(none)";
    }
    // A key as it reaches a focused control.
    static void Press(GtkWidget* control, guint key) {
        GdkEvent* event = gdk_event_new(GDK_KEY_PRESS);
        event->key.window = GDK_WINDOW(g_object_ref(gtk_widget_get_window(control)));
        event->key.keyval = key;
        gdk_event_set_device(event, gdk_seat_get_keyboard(gdk_display_get_default_seat(gdk_display_get_default())));
        gtk_widget_event(control, event);
        gdk_event_free(event);
    }

    GtkDesktop desktop;
    GtkMainWindow mainWindow{desktop};
    CountingSettings settings;
    SettingsStore store{settings};
    MemoryRegistry registry;
    AnsweringColours colours;
    RecordingLauncher launcher;
    GtkOptionsDialog dialog{mainWindow.Window(), desktop};
    frmOptions options{{dialog, mainWindow, store, registry, colours, launcher}, {0xFFFFFF, 0x80FFFF, 0}, kPath};
};

TEST_F(GtkOptionsDialogTest, AFixedSizeModalDialogInTheMiddleOfTheScreen) {
    Show();
    GtkWindow* window = dialog.Window();
    EXPECT_EQ(gtk_window_get_title(window), kOptionsTitle);
    EXPECT_FALSE(gtk_window_get_resizable(window));
    EXPECT_TRUE(gtk_window_get_modal(window));
    EXPECT_EQ(gtk_window_get_type_hint(window), GDK_WINDOW_TYPE_HINT_DIALOG);
    EXPECT_TRUE(gtk_window_get_skip_taskbar_hint(window));
    EXPECT_EQ(gtk_window_get_transient_for(window), mainWindow.Window());
    GdkWindow* x = gtk_widget_get_window(GTK_WIDGET(window));
    const PixelRect client = Expected({0, 0, kOptionsClientWidth, kOptionsClientHeight});
    EXPECT_EQ(gdk_window_get_width(x), client.cx);
    EXPECT_EQ(gdk_window_get_height(x), client.cy);
    int left = 0, top = 0;
    gdk_window_get_origin(x, &left, &top);
    EXPECT_EQ(left, (1920 - client.cx) / 2);
    EXPECT_EQ(top, (1080 - client.cy) / 2);
}

// What kind of control a widget is, as the dialog's description names them; the readout is a
// label like the others.
OptionsControlKind KindOf(GtkWidget* widget) {
    if (GTK_IS_CHECK_BUTTON(widget)) return OptionsControlKind::Check;
    if (GTK_IS_SCROLLBAR(widget)) return OptionsControlKind::Scroll;
    if (GTK_IS_LABEL(widget)) return OptionsControlKind::Label;
    const bool link = atk_object_get_role(gtk_widget_get_accessible(widget)) == ATK_ROLE_LINK;
    return link ? OptionsControlKind::Link : OptionsControlKind::Swatch;
}

TEST_F(GtkOptionsDialogTest, TheWidgetsAreTheDescribedControls) {
    Show();
    for (const OptionsControl& c : kOptionsControls) {
        GtkWidget* control = Control(c.name);
        if (!control) continue;
        const PixelRect p = Expected(c.place);
        EXPECT_EQ(PlaceOf(control), (Box{p.x, p.y, p.cx, p.cy})) << c.name;
        EXPECT_EQ(CaptionOf(control), c.caption) << c.name;
        const OptionsControlKind kind = c.kind == OptionsControlKind::Readout ? OptionsControlKind::Label : c.kind;
        EXPECT_EQ(KindOf(control), kind) << c.name;
        EXPECT_EQ(gtk_widget_get_can_focus(control), TakesFocus(c.kind)) << c.name;
    }
    dialog.SetLabel6("75透明度");
    for (const OptionsControl& c : kOptionsControls) {
        EXPECT_EQ(CaptionOf(Control(c.name)) == "75透明度", c.kind == OptionsControlKind::Readout) << c.name;
    }
    GtkAdjustment* range = gtk_range_get_adjustment(GTK_RANGE(Control("HScroll1")));
    EXPECT_EQ(gtk_adjustment_get_lower(range), kHScroll1.min);
    EXPECT_EQ(gtk_adjustment_get_upper(range), kHScroll1.max);
    EXPECT_EQ(gtk_adjustment_get_page_size(range), 0) << "the maximum is a position the bar reaches";
    EXPECT_EQ(gtk_adjustment_get_value(range), kHScroll1.designPosition);
    EXPECT_EQ(dialog.ScrollPosition(), kHScroll1.designPosition);
    EXPECT_FALSE(dialog.Check1()) << "unchecked by design";
}

TEST_F(GtkOptionsDialogTest, TabVisitsTheControlsThatTakeFocusInTheirOwnOrder) {
    std::vector<std::string> stops;
    for (const OptionsControl* c : OptionsTabOrder())
        if (TakesFocus(c->kind)) stops.emplace_back(c->name);
    Show();
    EXPECT_EQ(FocusName(), stops.front()) << "the first stop has the focus when the dialog opens";
    const auto visit = [&](GtkDirectionType direction) {
        std::vector<std::string> names;
        for (std::size_t i = 0; i < stops.size(); ++i) {
            g_signal_emit_by_name(dialog.Window(), "move-focus", direction);
            names.push_back(FocusName());
        }
        return names;
    };
    std::vector<std::string> forward(stops.begin() + 1, stops.end());
    forward.push_back(stops.front());
    EXPECT_EQ(visit(GTK_DIR_TAB_FORWARD), forward) << "round to the first again";
    EXPECT_EQ(visit(GTK_DIR_TAB_BACKWARD), std::vector<std::string>(stops.rbegin(), stops.rend()));
}

TEST_F(GtkOptionsDialogTest, KeysStepTheScrollBarAndAPositionSetByCodeRunsNoHandler) {
    Show();
    options.Form_Load();
    const std::pair<guint, ScrollAction> presses[] = {
        {GDK_KEY_Right, ScrollAction::LineForward}, {GDK_KEY_Page_Down, ScrollAction::PageForward},
        {GDK_KEY_Left, ScrollAction::LineBack},     {GDK_KEY_Page_Up, ScrollAction::PageBack},
        {GDK_KEY_End, ScrollAction::ToEnd},         {GDK_KEY_Home, ScrollAction::ToStart}};
    for (const auto& [key, action] : presses) {
        const std::int16_t position = *CommitScroll(kHScroll1, dialog.ScrollPosition(), action);
        Press(Control("HScroll1"), key);
        EXPECT_EQ(dialog.ScrollPosition(), position) << key;
        EXPECT_EQ(Stored(keys::transpa), std::to_string(position)) << key;
        EXPECT_EQ(CaptionOf(Control("Label6")), TransparencyReadout(position)) << key;
    }
    const int writes = settings.writes["transpa"];
    dialog.SetScrollPosition(100);
    EXPECT_EQ(dialog.ScrollPosition(), 100);
    EXPECT_EQ(gtk_range_get_value(GTK_RANGE(Control("HScroll1"))), 100);
    EXPECT_EQ(settings.writes["transpa"], writes) << "a position set from code runs no handler";
}

TEST_F(GtkOptionsDialogTest, Check1FromCodeRunsNoHandlerAndAUsersClickDoes) {
    Show();
    dialog.SetCheck1(true);
    EXPECT_TRUE(dialog.Check1());
    EXPECT_EQ(Run(), std::nullopt) << "set from code: nothing written";
    dialog.SetCheck1(false);
    GtkWidget* check = Control("Check1");
    Click(check, 8, 8);
    EXPECT_TRUE(PumpUntil([&] { return Run() == kPath; })) << "checked by the user: the program starts at login";
    EXPECT_TRUE(dialog.Check1());
    Click(check, 8, 8);
    EXPECT_TRUE(PumpUntil([&] { return Run() == ""; })) << "unchecked: the entry emptied";
}

TEST_F(GtkOptionsDialogTest, SwatchesShowTheirColourAndAClickPicksANewOne) {
    Show();
    for (int n = 1; n <= kSwatchCount; ++n) dialog.SetSwatchColour(n, 0x0000FF);  // red, as 0x00BBGGRR
    dialog.SetSwatchColour(3, 0x00FF0000);
    EXPECT_TRUE(PumpUntil([&] { return CentreOf(Control("Picture3")) == Rgb{0, 0, 255}; }));
    EXPECT_EQ(CentreOf(Control("Picture5")), (Rgb{255, 0, 0}));
    EXPECT_EQ(dialog.SwatchColour(3), 0x00FF0000);

    colours.answer = 0x0000FF00;
    Click(Control("Picture4"), 8, 8);
    ASSERT_TRUE(PumpUntil([&] { return colours.requests == 1; }));
    EXPECT_EQ(dialog.SwatchColour(4), 0x0000FF00);
    EXPECT_EQ(Stored(keys::bgcolor4), "65280");
    EXPECT_TRUE(PumpUntil([&] { return CentreOf(Control("Picture4")) == Rgb{0, 255, 0}; }));

    Click(Control("Picture2"), 8, 8, 40, 8);
    test::PumpFor(200ms);
    EXPECT_EQ(colours.requests, 1) << "a press on the swatch released elsewhere is no click";
}

TEST_F(GtkOptionsDialogTest, LinksShowAHandAndTheLinkColourAndOpenTheirPages) {
    Show();
    for (const OptionsControl& c : kOptionsControls) {
        if (c.kind != OptionsControlKind::Link) continue;
        GtkWidget* link = Control(c.name);
        Click(link, 4, 6);
        EXPECT_TRUE(PumpUntil([&] { return !launcher.opened.empty(); })) << c.name;
        const std::vector<std::string> clicked = std::exchange(launcher.opened, {});
        options.Label_Click(*c.link);
        EXPECT_EQ(clicked, launcher.opened) << c.name << ": the page of its own link";
        launcher.opened.clear();
        EXPECT_NE(gdk_window_get_cursor(gtk_widget_get_window(link)), nullptr) << c.name;
        EXPECT_TRUE(PumpUntil([&] { return LinkColourPixels(link) >= 10; })) << c.name;
    }
    EXPECT_EQ(gdk_window_get_cursor(gtk_widget_get_window(Control("Picture1"))), nullptr) << "only links show a hand";
}

// The thumb's ends along the bar, as GTK lays it out now.
std::pair<int, int> ThumbOf(GtkWidget* bar) {
    int start = 0, end = 0;
    gtk_range_get_slider_range(GTK_RANGE(bar), &start, &end);
    return {start, end};
}

TEST_F(GtkOptionsDialogTest, TheMouseCommitsOncePerClickAndOncePerDragAtItsRelease) {
    Show();
    options.Form_Load();
    GtkWidget* bar = Control("HScroll1");
    const std::int16_t start = dialog.ScrollPosition();
    const int y = PlaceOf(bar).h / 2, width = PlaceOf(bar).w;
    const auto writes = [&] { return settings.writes["transpa"]; };
    // A click where `at` puts it, given the thumb's ends, commits `action` from the start, once.
    const auto click = [&](auto at, ScrollAction action, const char* what) {
        dialog.SetScrollPosition(start);
        test::PumpFor(50ms);
        const int before = writes();
        const auto [from, to] = ThumbOf(bar);
        Click(bar, at(from, to), y);
        EXPECT_TRUE(PumpUntil([&] { return writes() > before; })) << what;
        test::PumpFor(150ms);
        const std::int16_t expected = *CommitScroll(kHScroll1, start, action);
        EXPECT_EQ(writes(), before + 1) << what;
        EXPECT_EQ(dialog.ScrollPosition(), expected) << what;
        EXPECT_EQ(Stored(keys::transpa), std::to_string(expected)) << what;
        EXPECT_EQ(gtk_range_get_value(GTK_RANGE(bar)), expected) << what;
    };
    click([](int from, int) { return from - 5; }, ScrollAction::PageBack, "the track before the thumb");
    click([](int, int to) { return to + 5; }, ScrollAction::PageForward, "the track after the thumb");
    click([](int, int) { return 2; }, ScrollAction::LineBack, "the back arrow");
    click([&](int, int) { return width - 3; }, ScrollAction::LineForward, "the forward arrow");

    dialog.SetScrollPosition(start);
    test::PumpFor(50ms);
    const int before = writes();
    const std::string readout = CaptionOf(Control("Label6"));
    const auto [from, to] = ThumbOf(bar);
    int x = 0, screenY = 0;
    test::ScreenPoint(bar, (from + to) / 2, y, x, screenY);
    test::MovePointer(x, screenY);
    test::SetButton(true);
    for (int step = 1; step <= 6; ++step) {
        test::PumpFor(20ms);
        test::MovePointer(x - 5 * step, screenY);
    }
    EXPECT_TRUE(PumpUntil([&] { return gtk_range_get_value(GTK_RANGE(bar)) < start; })) << "the thumb follows";
    EXPECT_EQ(writes(), before) << "nothing stored while the thumb is held";
    EXPECT_EQ(dialog.ScrollPosition(), start);
    EXPECT_EQ(CaptionOf(Control("Label6")), readout);
    test::SetButton(false);
    EXPECT_TRUE(PumpUntil([&] { return writes() > before; })) << "committed when let go";
    test::PumpFor(150ms);
    EXPECT_EQ(writes(), before + 1);
    const std::int16_t dropped = dialog.ScrollPosition();
    EXPECT_LT(dropped, start);
    EXPECT_EQ(gtk_range_get_value(GTK_RANGE(bar)), dropped);
    EXPECT_EQ(Stored(keys::transpa), std::to_string(dropped));
    EXPECT_EQ(CaptionOf(Control("Label6")), TransparencyReadout(dropped));
}

// ---- the dialogs as the program opens them: modal, with the main loop held until they close

GtkWindow* ColourChooser() {
    return test::FindToplevel([](GtkWindow* w) { return GTK_IS_COLOR_CHOOSER_DIALOG(w); });
}

// A GSettings value as GVariant text, released; empty for none.
std::string VariantText(GVariant* value) {
    if (!value) return {};
    g_autofree gchar* text = g_variant_print(value, TRUE);
    g_variant_unref(value);
    return text;
}

void Answer(GtkWindow* chooser, GtkResponseType response, const GdkRGBA& colour = {}) {
    gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &colour);
    gtk_dialog_response(GTK_DIALOG(chooser), response);
}

TEST(GtkColourDialogTest, OpensAtTheRequestWithoutAlphaAndAnswersInColorref) {
    const OwnedWidget owner = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
    GtkColourDialog colours(GTK_WINDOW(owner.get()));
    ColourRequest request;
    request.rgbResult = 0x00336699;
    request.flags = ColourDialog::kRgbInit;
    GdkRGBA opened{};
    Script script;
    script.Then(ColourChooser, [&](GtkWindow* chooser) {
        EXPECT_EQ(gtk_window_get_transient_for(chooser), GTK_WINDOW(owner.get()));
        EXPECT_TRUE(gtk_window_get_modal(chooser));
        EXPECT_FALSE(gtk_color_chooser_get_use_alpha(GTK_COLOR_CHOOSER(chooser)));
        gtk_color_chooser_get_rgba(GTK_COLOR_CHOOSER(chooser), &opened);
        Answer(chooser, GTK_RESPONSE_OK, {0.999, 0.004, 0.5, 1});  // rounded, not cut: 255, 1, 128
    });
    EXPECT_TRUE(colours.Choose(request));
    EXPECT_EQ(ColourFromRgba(opened), 0x00336699) << "opened at the request's colour";
    EXPECT_EQ(request.rgbResult, 0x008001FF);

    for (const GtkResponseType response : {GTK_RESPONSE_CANCEL, GTK_RESPONSE_DELETE_EVENT}) {
        Script refuse;
        refuse.Then(ColourChooser, [&](GtkWindow* chooser) { Answer(chooser, response, {1, 1, 1, 1}); });
        request.rgbResult = 0;
        EXPECT_FALSE(colours.Choose(request)) << response;
        EXPECT_EQ(request.rgbResult, 0) << response;
        EXPECT_TRUE(refuse.Done());
    }
    EXPECT_TRUE(script.Done());
}

// The list GTK keeps for every program; GSETTINGS_BACKEND=memory keeps the user's own out of it.
TEST(GtkColourDialogTest, EachCallOpensWithoutCustomColoursAndLeavesTheSharedListAsItWas) {
    const GObjectPtr<GSettings> shared(g_settings_new("org.gtk.Settings.ColorChooser"));
    const auto value = [&](const char* key) { return VariantText(g_settings_get_value(shared.get(), key)); };
    const auto userSet = [&] { return !VariantText(g_settings_get_user_value(shared.get(), "custom-colors")).empty(); };
    GtkColourDialog colours(nullptr);
    for (const bool usersOwn : {false, true}) {
        if (usersOwn) {
            g_settings_set_value(shared.get(), "custom-colors", g_variant_new_parsed("[(0.1, 0.2, 0.3, 1.0)]"));
            g_settings_set_value(shared.get(), "selected-color", g_variant_new_parsed("(true, 0.7, 0.2, 0.3, 1.0)"));
        }
        const std::string custom = value("custom-colors"), selected = value("selected-color");
        const bool wasSet = userSet();
        for (int call = 1; call <= 2; ++call) {
            std::string opened, added;
            Script script;
            script.Then(ColourChooser, [&](GtkWindow* chooser) {
                opened = value("custom-colors");
                const GdkRGBA inNoPalette{0.9, 0.5, 0.1, 1};
                gtk_color_chooser_set_rgba(GTK_COLOR_CHOOSER(chooser), &inNoPalette);
                added = value("custom-colors");
                gtk_dialog_response(GTK_DIALOG(chooser), GTK_RESPONSE_OK);
            });
            ColourRequest request;
            EXPECT_TRUE(colours.Choose(request));
            EXPECT_TRUE(script.Done());
            EXPECT_EQ(opened, "@a(dddd) []") << "call " << call << ": no custom colour";
            EXPECT_NE(added.find("0.9"), std::string::npos) << "call " << call << ": " << added;
            EXPECT_EQ(value("custom-colors"), custom) << "call " << call;
            EXPECT_EQ(value("selected-color"), selected) << "call " << call;
            EXPECT_EQ(userSet(), wasSet) << "call " << call;
        }
    }
}

TEST(GtkOptionsHostTest, LoadsTheDialogAndHoldsTheProgramUntilItCloses) {
    GtkDesktop desktop;
    GtkMainWindow mainWindow(desktop);
    const GObjectPtr<GdkPixbuf> icon = DrawAppIcon(16);
    gtk_window_set_icon(mainWindow.Window(), icon.get());
    test::MemorySettings settings;
    settings.Set(kSettingsApp, kSettingsSection, "transpa", "100");
    MemoryRegistry registry;
    registry.Put(kCu, kRunKeyPath, kRunValueName, {RegistryApi::kTypeString, kPath + '\0'});
    RecordingLauncher launcher;
    GtkOptionsHost host(mainWindow.Window(), desktop, {registry, launcher, kPath});

    GtkWindow* options = nullptr;
    const auto control = [&](const char* name) { return test::FindNamed(GTK_WIDGET(options), name); };
    Script script;
    script
        .Then([&] { return Titled("配置"); },
              [&](GtkWindow* dialog) {
                  options = dialog;
                  EXPECT_TRUE(gtk_window_get_modal(dialog));
                  EXPECT_EQ(gtk_window_get_transient_for(dialog), mainWindow.Window());
                  GList* icons = gtk_window_get_icon_list(dialog);
                  EXPECT_TRUE(icons && icons->data == icon.get()) << "the main window's icon";
                  g_list_free(icons);
                  EXPECT_TRUE(gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(control("Check1"))))
                      << "the program starts at login from this path";
                  EXPECT_EQ(CaptionOf(control("Label6")), "155透明度");
              })
        .Then([&] { return CentreOf(control("Picture2")) == Rgb{255, 255, 128} ? options : nullptr; },
              [&](GtkWindow*) { Click(control("Picture3"), 8, 8); })
        .Then(ColourChooser,
              [&](GtkWindow* chooser) {
                  EXPECT_EQ(gtk_window_get_transient_for(chooser), options) << "modal over the options dialog";
                  Answer(chooser, GTK_RESPONSE_OK, {0.2, 0.4, 0.6, 1});
              })
        .Then([&] { return CentreOf(control("Picture3")) == Rgb{51, 102, 153} ? options : nullptr; },
              [&](GtkWindow* dialog) { gtk_window_close(dialog); });
    host.ShowOptions(mainWindow, settings, {0xFFFFFF, 0x80FFFF, 0});
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(settings.Get(kSettingsApp, kSettingsSection, "bgcolor3"), std::to_string(0x00996633));
    EXPECT_EQ(Titled("配置"), nullptr) << "closed";
}

}  // namespace
}  // namespace tg
