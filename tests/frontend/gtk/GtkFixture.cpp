// The shared tests' front end on Linux: the GTK windows under their own Xvfb (no window manager),
// the pointer and keys through XTest, pixels read back from the X server.
#include <gtest/gtest.h>
#include <gtk/gtk.h>

#include <csignal>
#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Fixture.h"
#include "XServer.h"
#include "appearance/frmOptions.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkNotifyIcon.h"
#include "platform/gtk/GtkOptionsDialog.h"
#include "platform/gtk/GtkOptionsHost.h"
#include "platform/gtk/GtkUsageDialog.h"
#include "platform/gtk/GtkUsageHost.h"
#include "usage/frmUsage.h"

namespace tg::test {
namespace {

// The widget inside `root` (root itself included) that satisfies `match`, or null.
GtkWidget* FindWidget(GtkWidget* root, const std::function<bool(GtkWidget*)>& match) {
    if (match(root)) return root;
    if (!GTK_IS_CONTAINER(root)) return nullptr;
    GList* children = gtk_container_get_children(GTK_CONTAINER(root));
    GtkWidget* found = nullptr;
    for (GList* c = children; c && !found; c = c->next) found = FindWidget(GTK_WIDGET(c->data), match);
    g_list_free(children);
    return found;
}

// The first mapped toplevel that satisfies `match`, or null.
GtkWindow* FindToplevel(const std::function<bool(GtkWindow*)>& match) {
    GList* windows = gtk_window_list_toplevels();
    GtkWindow* found = nullptr;
    for (GList* w = windows; w && !found; w = w->next)
        if (gtk_widget_get_mapped(GTK_WIDGET(w->data)) && match(GTK_WINDOW(w->data))) found = GTK_WINDOW(w->data);
    g_list_free(windows);
    return found;
}

MenuEntry ReadEntry(GtkWidget* item) {
    MenuEntry entry;
    entry.separator = GTK_IS_SEPARATOR_MENU_ITEM(item);
    const char* label = entry.separator ? nullptr : gtk_menu_item_get_label(GTK_MENU_ITEM(item));
    entry.caption = label ? label : "";
    entry.checkable = GTK_IS_CHECK_MENU_ITEM(item);
    entry.checked = *entry.checkable && gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(item));
    entry.pick = reinterpret_cast<std::uintptr_t>(item);
    entry.enabled = gtk_widget_get_sensitive(item);
    g_autofree gchar* tooltip = gtk_widget_get_tooltip_text(item);
    entry.tooltip = tooltip ? tooltip : "";
    if (GtkWidget* submenu = entry.separator ? nullptr : gtk_menu_item_get_submenu(GTK_MENU_ITEM(item))) {
        entry.submenu = true;
        g_autoptr(GList) children = gtk_container_get_children(GTK_CONTAINER(submenu));
        for (GList* c = children; c; c = c->next) entry.children.push_back(ReadEntry(GTK_WIDGET(c->data)));
    }
    return entry;
}

bool IsCursor(GdkCursor* cursor, const char* name, GdkCursorType type) {
    GdkDisplay* display = gdk_display_get_default();
    const GObjectPtr<GdkCursor> named(gdk_cursor_new_from_name(display, name));
    const GObjectPtr<GdkCursor> typed(gdk_cursor_new_for_display(display, type));
    return cursor == named.get() || cursor == typed.get();
}

class GtkFixture final : public Fixture {
 public:
    GtkFixture() { window.Attach(form); }
    ~GtkFixture() override {
        if (m_modalWatch) g_source_remove(m_modalWatch);
        Settle();
    }

    frmMain& Main() override { return form; }
    Form& Window() override { return window; }

    void Start() override {
        form.Form_Initialize();
        form.Form_Load();
        const PixelRect asked = RectToPixels(window.Bounds(), 15);
        EXPECT_TRUE(WaitUntil([&] { return Shown() && window.Paints() > 0 && Place() == asked; }))
            << "the window never showed at " << asked;
    }

    bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = 3s) override {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (!done()) {
            if (std::chrono::steady_clock::now() > end) return false;
            if (!g_main_context_iteration(nullptr, FALSE)) g_usleep(5000);
        }
        return true;
    }

    bool Shown() override { return XWindow() && gdk_window_is_viewable(XWindow()); }
    PixelRect Place() override { return XWindow() ? ServerGeometry(XWindow()) : PixelRect{}; }
    Image Capture(const PixelRect& area) override { return CaptureOf(XWindow(), area); }
    // Without a window manager nothing keeps a window above the others, and nothing marks it so.
    std::optional<bool> Topmost() override { return std::nullopt; }
    std::optional<int> Opacity() override {
        const auto opacity = CardinalProperty(XWindow(), "_NET_WM_WINDOW_OPACITY");
        return opacity ? static_cast<int>(std::lround(static_cast<double>(*opacity) * 255 / 0xFFFFFFFF)) : 255;
    }
    void PlaceBySystem(const PixelRect& p) override { gdk_window_move_resize(XWindow(), p.x, p.y, p.cx, p.cy); }

    void PointerDown(Point p, Button button) override {
        MovePointer(p.x, p.y);
        SetButton(true, button == Button::Left ? 1 : 3);
        Settle();
    }
    void PointerMove(Point p) override {
        MovePointer(p.x, p.y);
        Settle();
    }
    void PointerUp(Point p, Button button) override {
        MovePointer(p.x, p.y);
        SetButton(false, button == Button::Left ? 1 : 3);
        Settle();
    }
    PointerShape ShapeAt(Point p) override {
        PointerMove(p);
        GdkDevice* pointer = gdk_seat_get_pointer(gdk_display_get_default_seat(gdk_display_get_default()));
        GdkWindow* under = gdk_device_get_window_at_position(pointer, nullptr, nullptr);
        GdkCursor* cursor = nullptr;
        for (GdkWindow* w = under; w && !cursor; w = gdk_window_get_parent(w)) cursor = gdk_window_get_cursor(w);
        if (!cursor) return PointerShape::Default;
        if (IsCursor(cursor, "nwse-resize", GDK_BOTTOM_RIGHT_CORNER)) return PointerShape::Sizing;
        if (IsCursor(cursor, "pointer", GDK_HAND2)) return PointerShape::Hand;
        return PointerShape::Other;
    }
    int Paints() override { return window.Paints(); }

    void OpenOtherWindow(const PixelRect& p) override {
        m_other = OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL));
        gtk_window_move(GTK_WINDOW(m_other.get()), p.x, p.y);
        gtk_window_set_default_size(GTK_WINDOW(m_other.get()), p.cx, p.cy);
        gtk_widget_add_events(m_other.get(), GDK_BUTTON_PRESS_MASK);
        g_signal_connect_swapped(m_other.get(), "button-press-event",
                                 G_CALLBACK(+[](int* presses) {
                                     ++*presses;
                                     return FALSE;
                                 }), &m_otherPresses);
        gtk_widget_show(m_other.get());
        EXPECT_TRUE(WaitUntil([&] { return gdk_window_is_viewable(gtk_widget_get_window(m_other.get())); }));
    }
    int OtherWindowPresses() override { return m_otherPresses; }
    bool AboveOtherWindow() override {
        return StackingIndex(XWindow()) > StackingIndex(gtk_widget_get_window(m_other.get()));
    }

    // The right click pops the menu up and runs a loop until it closes: the menu is read from
    // inside that loop, then dismissed.
    std::vector<MenuEntry> OpenMenu() override {
        struct Read {
            std::vector<MenuEntry> entries;
            bool done = false;
            std::chrono::steady_clock::time_point end = std::chrono::steady_clock::now() + 3s;
        } read;
        const guint source = g_timeout_add(20, [](gpointer p) -> gboolean {
            auto& r = *static_cast<Read*>(p);
            GtkWindow* popup = FindToplevel([](GtkWindow* w) { return GTK_IS_MENU(gtk_bin_get_child(GTK_BIN(w))); });
            if (!popup && std::chrono::steady_clock::now() < r.end) return G_SOURCE_CONTINUE;
            if (popup) {
                GtkWidget* menu = gtk_bin_get_child(GTK_BIN(popup));
                g_autoptr(GList) children = gtk_container_get_children(GTK_CONTAINER(menu));
                for (GList* c = children; c; c = c->next) r.entries.push_back(ReadEntry(GTK_WIDGET(c->data)));
                gtk_menu_shell_cancel(GTK_MENU_SHELL(menu));
            }
            r.done = true;
            return G_SOURCE_REMOVE;
        }, &read);
        const PixelRect p = Place();
        PointerDown({p.x + 20, p.y + 20}, Button::Right);
        PointerUp({p.x + 20, p.y + 20}, Button::Right);
        if (!WaitUntil([&] { return read.done; }, 5s)) g_source_remove(source);
        EXPECT_FALSE(read.entries.empty()) << "no menu popped up";
        return read.entries;
    }
    void Pick(const MenuEntry& entry) override {
        if (entry.pick) gtk_menu_item_activate(GTK_MENU_ITEM(entry.pick));
        Settle();
    }
    // The host shows the widgets the item exports; with no session bus there is no item to read.
    std::vector<MenuEntry> OpenIconMenu() override {
        icon.Show(true);
        std::vector<MenuEntry> entries;
        GtkMenu* menu = icon.Indicator() ? app_indicator_get_menu(icon.Indicator()) : nullptr;
        EXPECT_TRUE(menu) << "no item on the bus";
        if (!menu) return entries;
        g_autoptr(GList) children = gtk_container_get_children(GTK_CONTAINER(menu));
        for (GList* c = children; c; c = c->next) entries.push_back(ReadEntry(GTK_WIDGET(c->data)));
        return entries;
    }
    void CloseBySystem() override { SendCloseRequest(XWindow()); }
    void EndSession() override { raise(SIGTERM); }

    void OpenDialog(Dialog which) override {
        m_which = which;
        if (which == Dialog::Options) {
            m_optionsDialog = std::make_unique<GtkOptionsDialog>(window.Window(), real);
            m_options = std::make_unique<frmOptions>(
                OptionsPortsRefs{*m_optionsDialog, window, m_store, world.registry, world.colours, world.launcher},
                kDialogColours, kProgramPath);
            m_optionsDialog->Attach(*m_options);
            m_dialog = m_optionsDialog->Window();
        } else {
            m_usageDialog = std::make_unique<GtkUsageDialog>(window.Window(), real);
            m_usage = std::make_unique<frmUsage>(UsagePortsRefs{*m_usageDialog, m_store, world.calendar}, world.log,
                                                 kUsageColours);
            m_usageDialog->Attach(*m_usage);
            m_dialog = m_usageDialog->Window();
        }
        gtk_widget_show_all(GTK_WIDGET(m_dialog));
        EXPECT_TRUE(WaitUntil([&] {
            GdkWindow* w = gtk_widget_get_window(GTK_WIDGET(m_dialog));
            return w && gdk_window_is_viewable(w) && gtk_widget_get_allocated_width(GTK_WIDGET(m_dialog)) > 1;
        }));
        Settle();
    }
    frmOptions& Options() override { return *m_options; }
    OptionsDialog& OptionsPort() override { return *m_optionsDialog; }
    frmUsage& Usage() override { return *m_usage; }
    UsageDialog& UsagePort() override { return *m_usageDialog; }

    DialogFrame Frame() override {
        DialogFrame f;
        f.title = gtk_window_get_title(m_dialog);
        f.client = f.outer = ServerGeometry(gtk_widget_get_window(GTK_WIDGET(m_dialog)));
        f.resizable = gtk_window_get_resizable(m_dialog);
        f.ownedByMainWindow = gtk_window_get_transient_for(m_dialog) == window.Window();
        return f;
    }
    ControlView Control(std::string_view name) override {
        ControlView v;
        GtkWidget* c = Named(name);
        if (!c) return v;
        v.found = true;
        v.place = PlaceOf(c);
        v.takesFocus = gtk_widget_get_can_focus(c);
        if (GTK_IS_LABEL(c)) {
            v.caption = gtk_label_get_text(GTK_LABEL(c));
            const float x = gtk_label_get_xalign(GTK_LABEL(c));
            v.align = x == 0 ? TextAlign::Left : x == 1 ? TextAlign::Right : TextAlign::Centre;
        } else if (GTK_IS_CHECK_BUTTON(c)) {
            v.kind = ControlKind::Check;
            v.caption = gtk_button_get_label(GTK_BUTTON(c));
            v.checked = gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(c));
        } else if (GTK_IS_SPIN_BUTTON(c) || GTK_IS_SCROLLBAR(c)) {
            v.kind = GTK_IS_SPIN_BUTTON(c) ? ControlKind::Spin : ControlKind::Scroll;
            GtkAdjustment* range = GTK_IS_SPIN_BUTTON(c) ? gtk_spin_button_get_adjustment(GTK_SPIN_BUTTON(c))
                                                         : gtk_range_get_adjustment(GTK_RANGE(c));
            v.min = static_cast<int>(gtk_adjustment_get_lower(range));
            v.max = static_cast<int>(gtk_adjustment_get_upper(range) - gtk_adjustment_get_page_size(range));
            v.value = static_cast<int>(std::lround(gtk_adjustment_get_value(range)));
            if (GTK_IS_SPIN_BUTTON(c)) v.caption = gtk_entry_get_text(GTK_ENTRY(c));
        } else if (atk_object_get_role(gtk_widget_get_accessible(c)) == ATK_ROLE_LINK) {
            v.kind = ControlKind::Link;
            v.caption = atk_object_get_name(gtk_widget_get_accessible(c));
        } else {
            v.kind = m_which == Dialog::Options ? ControlKind::Swatch : ControlKind::Chart;
        }
        return v;
    }
    Image CaptureControl(std::string_view name) override {
        GtkWidget* c = Named(name);
        return c ? CaptureOf(gtk_widget_get_window(GTK_WIDGET(m_dialog)), PlaceOf(c)) : Image{};
    }
    PixelRect ScreenPlace(std::string_view name) override {
        GtkWidget* c = Named(name);
        const Point origin = ScreenPoint(c, 0, 0);
        return {origin.x, origin.y, gtk_widget_get_allocated_width(c), gtk_widget_get_allocated_height(c)};
    }
    std::vector<std::string> TabWalk(bool forward, std::size_t presses) override {
        FocusDialog();
        std::vector<std::string> names{FocusName()};
        for (std::size_t i = 0; i < presses; ++i) {
            PressKey("Tab", forward ? nullptr : "Shift_L");
            Settle();
            names.push_back(FocusName());
        }
        return names;
    }
    void Scroll(ScrollAction action, bool byKey) override {
        GtkWidget* bar = Named("HScroll1");
        const PixelRect p = PlaceOf(bar);
        int from = 0, to = 0;
        gtk_range_get_slider_range(GTK_RANGE(bar), &from, &to);
        const auto click = [&](int x) { ClickAt(ScreenPoint(bar, x, p.cy / 2)); };
        if (byKey) {
            static constexpr std::pair<ScrollAction, const char*> kKeys[] = {
                {ScrollAction::LineBack, "Left"}, {ScrollAction::LineForward, "Right"},
                {ScrollAction::PageBack, "Page_Up"}, {ScrollAction::PageForward, "Page_Down"},
                {ScrollAction::ToStart, "Home"}, {ScrollAction::ToEnd, "End"}};
            gtk_widget_grab_focus(bar);
            FocusDialog();
            for (const auto& [a, key] : kKeys)
                if (a == action) PressKey(key);
            Settle();
            return;
        }
        switch (action) {
            case ScrollAction::LineBack: click(2); break;
            case ScrollAction::LineForward: click(p.cx - 3); break;
            case ScrollAction::PageBack: click(from - 5); break;
            case ScrollAction::PageForward: click(to + 5); break;
            default:
                gtk_widget_grab_focus(bar);
                FocusDialog();
                PressKey(action == ScrollAction::ToStart ? "Home" : "End");
                break;
        }
        Settle();
    }
    void HoldThumb() override {
        GtkWidget* bar = Named("HScroll1");
        int from = 0, to = 0;
        gtk_range_get_slider_range(GTK_RANGE(bar), &from, &to);
        m_thumb = ScreenPoint(bar, (from + to) / 2, PlaceOf(bar).cy / 2);
        PointerDown(m_thumb, Button::Left);
    }
    void DragThumb(int pixels) override {
        m_thumb.x += pixels;
        PointerMove(m_thumb);
    }
    void ReleaseThumb() override { PointerUp(m_thumb, Button::Left); }

    void TypeIntoSpin(std::string_view text, Commit commit, std::string_view name) override {
        GtkWidget* spin = Named(name);
        ClickAt(ScreenPoint(spin, 6, PlaceOf(spin).cy / 2));
        EXPECT_TRUE(WaitUntil([&] { return gtk_widget_has_focus(spin); }));
        FocusDialog();
        PressKey("a", "Control_L");
        for (const char k : text) PressKey(std::string(1, k).c_str());
        EXPECT_TRUE(WaitUntil([&] { return gtk_entry_get_text(GTK_ENTRY(spin)) == text; })) << text;
        if (commit == Commit::Enter) PressKey("Return");
        if (commit == Commit::Leave) gtk_window_set_focus(m_dialog, nullptr);
        Settle();
    }
    // The buttons share what the text leaves on the right: minus, then plus.
    void ClickSpinArrow(bool up, std::string_view name) override {
        GtkWidget* spin = Named(name);
        const PixelRect p = PlaceOf(spin);
        GdkRectangle text{};
        gtk_entry_get_text_area(GTK_ENTRY(spin), &text);
        const int buttons = p.cx - (text.x + text.width);
        ClickAt(ScreenPoint(spin, up ? p.cx - buttons / 4 : text.x + text.width + buttons / 4, p.cy / 2));
    }

    void RunModal(Dialog which, const std::function<void()>& whileOpen) override {
        m_which = which;
        m_icon.reset(gdk_pixbuf_new(GDK_COLORSPACE_RGB, FALSE, 8, 16, 16));
        gtk_window_set_icon(window.Window(), m_icon.get());
        m_whileOpen = whileOpen;
        m_modalEnd = std::chrono::steady_clock::now() + 10s;
        m_modalWatch = g_timeout_add(20, WatchModal, this);
        if (which == Dialog::Options) {
            GtkOptionsHost(window.Window(), real, {world.registry, world.launcher, kProgramPath})
                .ShowOptions(window, world.settings, kDialogColours);
        } else {
            GtkUsageHost(window.Window(), real).ShowUsage(world.settings, world.calendar, world.log, kUsageColours);
        }
        EXPECT_FALSE(m_whileOpen) << "the dialog never showed";
        m_dialog = nullptr;
    }
    bool MainWindowWaits() override {
        return m_dialog && gtk_window_get_modal(m_dialog) && gtk_window_get_transient_for(m_dialog) == window.Window();
    }
    bool ShowsText(std::string_view text) override {
        return m_dialog && FindWidget(GTK_WIDGET(m_dialog), [&](GtkWidget* w) {
                   return GTK_IS_LABEL(w) && gtk_widget_get_mapped(w) && gtk_label_get_text(GTK_LABEL(w)) == text;
               });
    }
    bool HasMainWindowIcon() override {
        GList* icons = gtk_window_get_icon_list(m_dialog);
        const bool same = icons && icons->data == m_icon.get();
        g_list_free(icons);
        return same;
    }

 private:
    GdkWindow* XWindow() const { return gtk_widget_get_window(GTK_WIDGET(window.Window())); }
    // Lets the program handle everything the server has sent it so far. GDK holds pointer motion
    // back until its windows' next frame, so one frame of each is waited for too.
    void Settle() {
        gdk_display_sync(gdk_display_get_default());
        while (g_main_context_iteration(nullptr, FALSE)) {
        }
        int frames = 0, asked = 0;
        std::vector<std::pair<GdkFrameClock*, gulong>> clocks;
        for (GtkWindow* w : {window.Window(), m_dialog}) {
            GdkFrameClock* clock = w && gtk_widget_get_mapped(GTK_WIDGET(w)) ? gtk_widget_get_frame_clock(GTK_WIDGET(w))
                                                                                : nullptr;
            if (!clock) continue;
            ++asked;
            clocks.emplace_back(clock, g_signal_connect_swapped(clock, "after-paint", G_CALLBACK(+[](int* n) { ++*n; }),
                                                                &frames));
            gdk_frame_clock_request_phase(
                clock, static_cast<GdkFrameClockPhase>(GDK_FRAME_CLOCK_PHASE_FLUSH_EVENTS | GDK_FRAME_CLOCK_PHASE_AFTER_PAINT));
        }
        WaitUntil([&] { return frames >= asked; }, 1s);
        for (const auto& [clock, handler] : clocks) g_signal_handler_disconnect(clock, handler);
    }
    static Image CaptureOf(GdkWindow* w, const PixelRect& area) {
        Image image;
        if (!w || !gdk_window_is_viewable(w) || area.cx <= 0 || area.cy <= 0) return image;
        const GObjectPtr<GdkPixbuf> shot(gdk_pixbuf_get_from_window(w, area.x, area.y, area.cx, area.cy));
        if (!shot) return image;
        image.width = gdk_pixbuf_get_width(shot.get());
        image.height = gdk_pixbuf_get_height(shot.get());
        for (int y = 0; y < image.height; ++y)
            for (int x = 0; x < image.width; ++x) {
                const guchar* p = gdk_pixbuf_get_pixels(shot.get()) + y * gdk_pixbuf_get_rowstride(shot.get()) +
                                  x * gdk_pixbuf_get_n_channels(shot.get());
                image.pixels.push_back({p[0], p[1], p[2]});
            }
        return image;
    }
    GtkWidget* Named(std::string_view name) const {
        if (!m_dialog) return nullptr;
        return FindWidget(GTK_WIDGET(m_dialog), [&](GtkWidget* w) { return name == gtk_widget_get_name(w); });
    }
    // A control's place in the dialog's client area.
    static PixelRect PlaceOf(GtkWidget* control) {
        PixelRect p;
        gtk_widget_translate_coordinates(control, gtk_widget_get_toplevel(control), 0, 0, &p.x, &p.y);
        p.cx = gtk_widget_get_allocated_width(control);
        p.cy = gtk_widget_get_allocated_height(control);
        return p;
    }
    static Point ScreenPoint(GtkWidget* widget, int x, int y) {
        GtkWidget* top = gtk_widget_get_toplevel(widget);
        int ox = 0, oy = 0, px = 0, py = 0;
        gdk_window_get_origin(gtk_widget_get_window(top), &ox, &oy);
        gtk_widget_translate_coordinates(widget, top, x, y, &px, &py);
        return {ox + px, oy + py};
    }
    void ClickAt(Point p) {
        PointerDown(p, Button::Left);
        PointerUp(p, Button::Left);
    }
    // Keys go to the window with the X input focus, which a window manager would give the dialog.
    void FocusDialog() {
        gdk_window_focus(gtk_widget_get_window(GTK_WIDGET(m_dialog)), GDK_CURRENT_TIME);
        Settle();
    }
    std::string FocusName() const {
        GtkWidget* focus = gtk_window_get_focus(m_dialog);
        return focus ? gtk_widget_get_name(focus) : "(none)";
    }
    static gboolean WatchModal(gpointer p) {
        auto* self = static_cast<GtkFixture*>(p);
        const char* title = self->m_which == Dialog::Options ? Text(kOptionsTitle) : Text(kUsageTitle);
        GtkWindow* dialog =
            FindToplevel([&](GtkWindow* w) { return GTK_IS_DIALOG(w) && g_strcmp0(gtk_window_get_title(w), title) == 0; });
        const bool late = std::chrono::steady_clock::now() > self->m_modalEnd;
        if (!dialog && !late) return G_SOURCE_CONTINUE;
        self->m_modalWatch = 0;
        if (dialog && self->m_whileOpen) {
            self->m_dialog = dialog;
            std::exchange(self->m_whileOpen, nullptr)();
        }
        if (dialog) gtk_window_close(dialog);
        return G_SOURCE_REMOVE;
    }

    GtkDesktop real;
    TestDesktop<GtkDesktop> desktop{real, world.exits};
    GtkMainWindow window{desktop};
    GtkNotifyIcon icon{window.Menu()};
    frmMain form{{window, window.Picture(), desktop, world.messages, world.settings, world.table, world.clock,
                  world.options, &world.recorder, &world.usage, &icon}};
    OwnedWidget m_other;
    int m_otherPresses = 0;
    SettingsStore m_store{world.settings};
    Dialog m_which = Dialog::Options;
    std::unique_ptr<GtkOptionsDialog> m_optionsDialog;
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<GtkUsageDialog> m_usageDialog;
    std::unique_ptr<frmUsage> m_usage;
    GtkWindow* m_dialog = nullptr;
    Point m_thumb;
    GObjectPtr<GdkPixbuf> m_icon;
    std::function<void()> m_whileOpen;
    std::chrono::steady_clock::time_point m_modalEnd;
    guint m_modalWatch = 0;
};

}  // namespace

std::unique_ptr<Fixture> MakeFixture() { return std::make_unique<GtkFixture>(); }

}  // namespace tg::test
