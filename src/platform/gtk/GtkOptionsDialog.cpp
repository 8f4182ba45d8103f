#include "platform/gtk/GtkOptionsDialog.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "appearance/frmOptions.h"
#include "platform/gtk/GtkDesktop.h"

namespace tg {

struct GtkOptionsDialog::Control {
    // A readout is a label whose text the logic sets.
    enum class Kind { Label, Readout, Swatch, Link, Check, Scroll };
    const char* name;
    Kind kind;
    TwipsRect place;
    const char* caption;
    int tabIndex;
    int id;  // a swatch's number, a link's LinkLabel
};

namespace {

using Control = GtkOptionsDialog::Control;
using Kind = Control::Kind;

constexpr const char* kName = "frmOptions";
constexpr const char* kTitle = "配置";
constexpr float kClientWidth = 4530, kClientHeight = 2235;  // twips
constexpr double kDesignPosition = 20;
constexpr double kSmallChange = 1, kLargeChange = 20;
constexpr std::int32_t kSwatchFrame = 0x00808080;

constexpr Control kControls[] = {
    {"Label3", Kind::Label, {120, 240, 1695, 255}, "下载颜色", 6, 0},
    {"Picture3", Kind::Swatch, {1560, 240, 255, 255}, nullptr, 5, 3},
    {"Label2", Kind::Label, {2400, 240, 1695, 255}, "上方颜色", 4, 0},
    {"Picture2", Kind::Swatch, {3840, 240, 255, 255}, nullptr, 3, 2},
    {"Label4", Kind::Label, {120, 600, 1695, 255}, "上传颜色", 8, 0},
    {"Picture4", Kind::Swatch, {1560, 600, 255, 255}, nullptr, 7, 4},
    {"Label1", Kind::Label, {2400, 600, 1695, 255}, "下方颜色", 1, 0},
    {"Picture1", Kind::Swatch, {3840, 600, 255, 255}, nullptr, 2, 1},
    {"Label5", Kind::Label, {120, 960, 1695, 255}, "文本颜色", 10, 0},
    {"Picture5", Kind::Swatch, {1560, 960, 255, 255}, nullptr, 9, 5},
    {"Label6", Kind::Readout, {2400, 960, 1815, 255}, "", 11, 0},
    {"Check1", Kind::Check, {120, 1320, 1695, 255}, "设为开机启动项", 0, 0},
    {"HScroll1", Kind::Scroll, {2400, 1320, 1695, 255}, nullptr, 12, 0},
    {"Label10", Kind::Link, {120, 1800, 1185, 195}, "程序交流", 15, static_cast<int>(LinkLabel::Label10)},
    {"Label9", Kind::Link, {1560, 1800, 855, 195}, "报告错误", 14, static_cast<int>(LinkLabel::Label9)},
    {"Label8", Kind::Link, {2760, 1800, 780, 195}, "主页", 13, static_cast<int>(LinkLabel::Label8)},
    {"Label11", Kind::Link, {3720, 1800, 525, 195}, "关于作者", 16, static_cast<int>(LinkLabel::Label11)},
};

// The places were laid out for the 9-point dialog font of Windows; at GTK's larger default, and
// with the theme's padding round a check box, the controls would not fit them.
constexpr const char* kStyle =
    "#frmOptions { font-size: 9pt; }"
    "#frmOptions checkbutton { padding: 0; min-height: 0; }"
    "#frmOptions check { margin: 0 4px 0 0; }";

// Which control a widget is, for the handlers shared by several.
constexpr const char* kIdKey = "tg-control-id";
constexpr const char* kCaptionKey = "tg-caption";
constexpr const char* kPressedKey = "tg-pressed";

// The keys a focused scroll bar answers on Windows; GTK's own scroll bars answer none.
GtkScrollType ScrollFor(guint key) {
    switch (key) {
        case GDK_KEY_Left: case GDK_KEY_KP_Left:
        case GDK_KEY_Up: case GDK_KEY_KP_Up: return GTK_SCROLL_STEP_BACKWARD;
        case GDK_KEY_Right: case GDK_KEY_KP_Right:
        case GDK_KEY_Down: case GDK_KEY_KP_Down: return GTK_SCROLL_STEP_FORWARD;
        case GDK_KEY_Page_Up: case GDK_KEY_KP_Page_Up: return GTK_SCROLL_PAGE_BACKWARD;
        case GDK_KEY_Page_Down: case GDK_KEY_KP_Page_Down: return GTK_SCROLL_PAGE_FORWARD;
        case GDK_KEY_Home: case GDK_KEY_KP_Home: return GTK_SCROLL_START;
        case GDK_KEY_End: case GDK_KEY_KP_End: return GTK_SCROLL_END;
        default: return GTK_SCROLL_NONE;
    }
}

gboolean OnScrollKey(GtkWidget* bar, GdkEventKey* event, gpointer) {
    const GtkScrollType how = ScrollFor(event->keyval);
    if (how == GTK_SCROLL_NONE) return FALSE;
    g_signal_emit_by_name(bar, "move-slider", how);
    return TRUE;
}

int IdOf(GtkWidget* widget) { return GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), kIdKey)); }

void SetSourceColour(cairo_t* cr, std::int32_t colour) {
    cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0);
}

GObjectPtr<GdkCursor> HandCursor(GdkDisplay* display) {
    GObjectPtr<GdkCursor> hand(gdk_cursor_new_from_name(display, "pointer"));
    if (!hand) hand.reset(gdk_cursor_new_for_display(display, GDK_HAND2));
    return hand;
}

GtkWidget* Clickable(GtkWidget* widget, int id) {
    g_object_set_data(G_OBJECT(widget), kIdKey, GINT_TO_POINTER(id));
    gtk_widget_add_events(widget, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK);
    return widget;
}

// A click is a left button released over the control it went down on, as a click on Windows; the
// press grabs the pointer, so the release comes here wherever it happens.
bool ClickEnds(GtkWidget* widget, const GdkEventButton& event) {
    const bool pressed = g_object_get_data(G_OBJECT(widget), kPressedKey) != nullptr;
    g_object_set_data(G_OBJECT(widget), kPressedKey, nullptr);
    return pressed && event.button == GDK_BUTTON_PRIMARY && event.x >= 0 && event.y >= 0 &&
           event.x < gtk_widget_get_allocated_width(widget) && event.y < gtk_widget_get_allocated_height(widget);
}

}  // namespace

GtkOptionsDialog::GtkOptionsDialog(GtkWindow* mainWindow, const Desktop& desktop)
    : m_mainWindow(mainWindow),
      m_desktop(desktop),
      m_style(gtk_css_provider_new()),
      m_dialog(OwnWidget(GTK_WIDGET(g_object_new(GTK_TYPE_DIALOG, "use-header-bar", FALSE, nullptr)))),
      m_hand(HandCursor(gtk_widget_get_display(m_dialog.get()))) {
    gtk_css_provider_load_from_data(m_style.get(), kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(m_dialog.get()), GTK_STYLE_PROVIDER(m_style.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    SetUpWindow();
    m_fixed = gtk_fixed_new();
    const PixelRect client = RectToPixels({0, 0, kClientWidth, kClientHeight}, m_desktop.TwipsPerPixelX());
    gtk_widget_set_size_request(m_fixed, client.cx, client.cy);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(m_dialog.get()));
    gtk_container_set_border_width(GTK_CONTAINER(content), 0);
    gtk_container_add(GTK_CONTAINER(content), m_fixed);
    g_signal_connect(m_fixed, "focus", G_CALLBACK(OnFocus), this);
    AddControls();
}

// Fixed in size, no minimise or maximise, out of the task bar, over the main window.
void GtkOptionsDialog::SetUpWindow() {
    GtkWindow* window = Window();
    gtk_widget_set_name(m_dialog.get(), kName);
    gtk_window_set_title(window, kTitle);
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    if (m_mainWindow) gtk_window_set_transient_for(window, m_mainWindow);
}

void GtkOptionsDialog::AddControls() {
    const double tpp = m_desktop.TwipsPerPixelX();
    std::vector<std::pair<int, GtkWidget*>> tabs;
    for (const Control& c : kControls) {
        GtkWidget* widget = Make(c);
        gtk_widget_set_name(widget, c.name);
        const PixelRect p = RectToPixels(c.place, tpp);
        gtk_widget_set_size_request(widget, p.cx, p.cy);
        gtk_fixed_put(GTK_FIXED(m_fixed), widget, p.x, p.y);
        tabs.emplace_back(c.tabIndex, widget);
    }
    std::sort(tabs.begin(), tabs.end());
    for (const auto& [index, widget] : tabs) m_tabOrder.push_back(widget);
}

GtkOptionsDialog::~GtkOptionsDialog() {
    for (GtkWidget* widget : m_tabOrder) g_signal_handlers_disconnect_by_data(widget, this);
    g_signal_handlers_disconnect_by_data(m_fixed, this);
    g_signal_handlers_disconnect_by_data(m_hscroll1, this);
    gtk_style_context_remove_provider_for_screen(gtk_widget_get_screen(m_dialog.get()),
                                                 GTK_STYLE_PROVIDER(m_style.get()));
}

GtkWidget* GtkOptionsDialog::Make(const Control& c) {
    switch (c.kind) {
        case Kind::Swatch: return MakeSwatch(c.id);
        case Kind::Link: return MakeLink(c);
        case Kind::Check: return MakeCheck1(c.caption);
        case Kind::Scroll: return MakeHScroll1();
        case Kind::Label:
        case Kind::Readout: break;
    }
    GtkWidget* label = gtk_label_new(c.caption);
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    if (c.kind == Kind::Readout) m_label6 = label;
    return label;
}

// A swatch takes the focus as a picture box does, though no key opens its colour dialog.
GtkWidget* GtkOptionsDialog::MakeSwatch(int n) {
    GtkWidget* swatch = Clickable(gtk_drawing_area_new(), n);
    gtk_widget_set_can_focus(swatch, TRUE);
    g_signal_connect(swatch, "draw", G_CALLBACK(OnDrawSwatch), this);
    g_signal_connect(swatch, "button-press-event", G_CALLBACK(OnPress), this);
    g_signal_connect(swatch, "button-release-event", G_CALLBACK(OnSwatchRelease), this);
    m_swatches[static_cast<std::size_t>(n - 1)] = swatch;
    return swatch;
}

// Drawn rather than a GtkLabel: a label cannot be smaller than its font's line, and the link row
// is one pixel row less than that. The caption reaches assistive tools as the link's name.
GtkWidget* GtkOptionsDialog::MakeLink(const Control& c) {
    GtkWidget* link = Clickable(gtk_drawing_area_new(), c.id);
    g_object_set_data(G_OBJECT(link), kCaptionKey, const_cast<char*>(c.caption));
    AtkObject* accessible = gtk_widget_get_accessible(link);
    atk_object_set_name(accessible, c.caption);
    atk_object_set_role(accessible, ATK_ROLE_LINK);
    g_signal_connect(link, "draw", G_CALLBACK(OnDrawLink), this);
    g_signal_connect(link, "realize", G_CALLBACK(OnRealizeLink), this);
    g_signal_connect(link, "button-press-event", G_CALLBACK(OnPress), this);
    g_signal_connect(link, "button-release-event", G_CALLBACK(OnLinkRelease), this);
    return link;
}

GtkWidget* GtkOptionsDialog::MakeCheck1(const char* caption) {
    m_check1 = gtk_check_button_new_with_label(caption);
    m_check1Handler = g_signal_connect(m_check1, "toggled", G_CALLBACK(OnCheck1Toggled), this);
    return m_check1;
}

GtkWidget* GtkOptionsDialog::MakeHScroll1() {
    // The upper bound of an adjustment includes its page size; a scroll bar's maximum does not.
    m_hscroll1 = gtk_adjustment_new(kDesignPosition, kOpacityMin, kOpacityMax, kSmallChange, kLargeChange, 0);
    GtkWidget* bar = gtk_scrollbar_new(GTK_ORIENTATION_HORIZONTAL, m_hscroll1);
    gtk_widget_set_can_focus(bar, TRUE);
    gtk_range_set_round_digits(GTK_RANGE(bar), 0);  // a drag moves in whole positions
    g_signal_connect(bar, "key-press-event", G_CALLBACK(OnScrollKey), nullptr);
    m_hscroll1Handler = g_signal_connect(m_hscroll1, "value-changed", G_CALLBACK(OnHScroll1Changed), this);
    return bar;
}

void GtkOptionsDialog::CopyIconFromMainWindow() {
    GList* icons = m_mainWindow ? gtk_window_get_icon_list(m_mainWindow) : nullptr;
    // The main window shows the program's default icon unless it was given one of its own.
    if (!icons) icons = gtk_window_get_default_icon_list();
    gtk_window_set_icon_list(Window(), icons);
    g_list_free(icons);
}

void GtkOptionsDialog::SetCheck1(bool checked) {
    g_signal_handler_block(m_check1, m_check1Handler);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(m_check1), checked);
    g_signal_handler_unblock(m_check1, m_check1Handler);
}

bool GtkOptionsDialog::Check1() const { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(m_check1)); }

void GtkOptionsDialog::SetScrollPosition(std::int16_t position) {
    g_signal_handler_block(m_hscroll1, m_hscroll1Handler);
    gtk_adjustment_set_value(m_hscroll1, position);
    g_signal_handler_unblock(m_hscroll1, m_hscroll1Handler);
}

std::int16_t GtkOptionsDialog::ScrollPosition() const {
    return static_cast<std::int16_t>(std::lround(gtk_adjustment_get_value(m_hscroll1)));
}

void GtkOptionsDialog::SetLabel6(std::string_view text) {
    gtk_label_set_text(GTK_LABEL(m_label6), std::string(text).c_str());
}

void GtkOptionsDialog::SetSwatchColour(int n, std::int32_t colour) {
    if (n < 1 || n > kSwatchCount) return;
    m_colours[static_cast<std::size_t>(n - 1)] = colour;
    gtk_widget_queue_draw(m_swatches[static_cast<std::size_t>(n - 1)]);
}

std::int32_t GtkOptionsDialog::SwatchColour(int n) const {
    return n < 1 || n > kSwatchCount ? 0 : m_colours[static_cast<std::size_t>(n - 1)];
}

void GtkOptionsDialog::ShowModal() {
    gtk_widget_show_all(m_dialog.get());
    gtk_dialog_run(GTK_DIALOG(m_dialog.get()));
    gtk_widget_hide(m_dialog.get());
}

// GTK orders Tab stops by their place on the screen; the dialog keeps its controls' own order,
// skipping those that take no focus. At either end the window wraps round.
gboolean GtkOptionsDialog::OnFocus(GtkWidget* fixed, GtkDirectionType direction, gpointer p) {
    if (direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD) return FALSE;
    const std::vector<GtkWidget*>& order = static_cast<GtkOptionsDialog*>(p)->m_tabOrder;
    const auto count = static_cast<std::ptrdiff_t>(order.size());
    const std::ptrdiff_t step = direction == GTK_DIR_TAB_FORWARD ? 1 : -1;
    const auto current = std::find(order.begin(), order.end(), gtk_container_get_focus_child(GTK_CONTAINER(fixed)));
    std::ptrdiff_t i = current != order.end() ? current - order.begin() : (step > 0 ? -1 : count);
    for (i += step; i >= 0 && i < count; i += step)
        if (gtk_widget_child_focus(order[static_cast<std::size_t>(i)], direction)) return TRUE;
    // Past the last stop: GtkFixed's own handler must not go on in its order.
    g_signal_stop_emission_by_name(fixed, "focus");
    return FALSE;
}

gboolean GtkOptionsDialog::OnDrawSwatch(GtkWidget* swatch, cairo_t* cr, gpointer p) {
    const auto* self = static_cast<GtkOptionsDialog*>(p);
    const double w = gtk_widget_get_allocated_width(swatch), h = gtk_widget_get_allocated_height(swatch);
    SetSourceColour(cr, self->SwatchColour(IdOf(swatch)));
    cairo_paint(cr);
    // A frame, so that a swatch the colour of the dialog still shows where to click.
    SetSourceColour(cr, kSwatchFrame);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_stroke(cr);
    return TRUE;
}

gboolean GtkOptionsDialog::OnDrawLink(GtkWidget* link, cairo_t* cr, gpointer) {
    const auto* caption = static_cast<const char*>(g_object_get_data(G_OBJECT(link), kCaptionKey));
    const GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(link, caption));
    SetSourceColour(cr, kLinkColour);
    cairo_move_to(cr, 0, 0);
    pango_cairo_show_layout(cr, layout.get());
    return TRUE;
}

void GtkOptionsDialog::OnRealizeLink(GtkWidget* link, gpointer p) {
    gdk_window_set_cursor(gtk_widget_get_window(link), static_cast<GtkOptionsDialog*>(p)->m_hand.get());
}

gboolean GtkOptionsDialog::OnPress(GtkWidget* widget, GdkEventButton* event, gpointer) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY)
        g_object_set_data(G_OBJECT(widget), kPressedKey, GINT_TO_POINTER(1));
    return FALSE;
}

gboolean GtkOptionsDialog::OnSwatchRelease(GtkWidget* swatch, GdkEventButton* event, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (!ClickEnds(swatch, *event) || !self->m_handlers) return FALSE;
    self->m_handlers->Picture_Click(IdOf(swatch));
    return TRUE;
}

gboolean GtkOptionsDialog::OnLinkRelease(GtkWidget* link, GdkEventButton* event, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (!ClickEnds(link, *event) || !self->m_handlers) return FALSE;
    self->m_handlers->Label_Click(static_cast<LinkLabel>(IdOf(link)));
    return TRUE;
}

void GtkOptionsDialog::OnCheck1Toggled(GtkToggleButton*, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (self->m_handlers) self->m_handlers->Check1_Click();
}

void GtkOptionsDialog::OnHScroll1Changed(GtkAdjustment*, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (self->m_handlers) self->m_handlers->HScroll1_Change();
}

}  // namespace tg
