#include "platform/gtk/GtkOptionsDialog.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <utility>

#include "appearance/frmOptions.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/PlainTheme.h"

namespace tg {

namespace {

constexpr const char* kName = "frmOptions";
constexpr std::int32_t kSwatchFrame = 0x00808080;

// The places were laid out for the 9-point dialog font of Windows; at GTK's larger default, and
// with the theme's padding round a check box, the controls would not fit them. Themes hide a
// scroll bar's arrows, which are the only way to step it by one with the mouse.
constexpr const char* kStyle =
    "#frmOptions { font-size: 9pt; }"
    "#frmOptions checkbutton { padding: 0; min-height: 0; }"
    "#frmOptions check { margin: 0 4px 0 0; }"
    "#frmOptions scrollbar { -GtkScrollbar-has-backward-stepper: true; -GtkScrollbar-has-forward-stepper: true; }";

// The control a widget stands for, for the handlers shared by several.
constexpr const char* kControlKey = "tg-control";
constexpr const char* kPressedKey = "tg-pressed";

const OptionsControl& ControlOf(GtkWidget* widget) {
    return *static_cast<const OptionsControl*>(g_object_get_data(G_OBJECT(widget), kControlKey));
}

// The keys a focused scroll bar answers on Windows; GTK's own scroll bars answer none.
std::optional<ScrollAction> ActionForKey(guint key) {
    switch (key) {
        case GDK_KEY_Left: case GDK_KEY_KP_Left:
        case GDK_KEY_Up: case GDK_KEY_KP_Up: return ScrollAction::LineBack;
        case GDK_KEY_Right: case GDK_KEY_KP_Right:
        case GDK_KEY_Down: case GDK_KEY_KP_Down: return ScrollAction::LineForward;
        case GDK_KEY_Page_Up: case GDK_KEY_KP_Page_Up: return ScrollAction::PageBack;
        case GDK_KEY_Page_Down: case GDK_KEY_KP_Page_Down: return ScrollAction::PageForward;
        case GDK_KEY_Home: case GDK_KEY_KP_Home: return ScrollAction::ToStart;
        case GDK_KEY_End: case GDK_KEY_KP_End: return ScrollAction::ToEnd;
        default: return std::nullopt;
    }
}

// GTK's own steps of a range, as accessibility tools or a theme's paging make them.
std::optional<ScrollAction> ActionForStep(GtkScrollType how) {
    switch (how) {
        case GTK_SCROLL_STEP_BACKWARD: case GTK_SCROLL_STEP_LEFT: case GTK_SCROLL_STEP_UP:
            return ScrollAction::LineBack;
        case GTK_SCROLL_STEP_FORWARD: case GTK_SCROLL_STEP_RIGHT: case GTK_SCROLL_STEP_DOWN:
            return ScrollAction::LineForward;
        case GTK_SCROLL_PAGE_BACKWARD: case GTK_SCROLL_PAGE_LEFT: case GTK_SCROLL_PAGE_UP:
            return ScrollAction::PageBack;
        case GTK_SCROLL_PAGE_FORWARD: case GTK_SCROLL_PAGE_RIGHT: case GTK_SCROLL_PAGE_DOWN:
            return ScrollAction::PageForward;
        case GTK_SCROLL_START: return ScrollAction::ToStart;
        case GTK_SCROLL_END: return ScrollAction::ToEnd;
        default: return std::nullopt;
    }
}

void SetSourceColour(cairo_t* cr, std::int32_t colour) {
    cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0);
}

GObjectPtr<GdkCursor> HandCursor(GdkDisplay* display) {
    GObjectPtr<GdkCursor> hand(gdk_cursor_new_from_name(display, "pointer"));
    if (!hand) hand.reset(gdk_cursor_new_for_display(display, GDK_HAND2));
    return hand;
}

GtkWidget* Clickable(GtkWidget* widget) {
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
      m_dialog(OwnWidget(NewDialog())),
      m_hand(HandCursor(gtk_widget_get_display(m_dialog.get()))),
      m_fixed(gtk_fixed_new()) {
    gtk_css_provider_load_from_data(m_style.get(), kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(m_dialog.get()), GTK_STYLE_PROVIDER(m_style.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    SetUpWindow();
    const double tpp = m_desktop.TwipsPerPixelX();
    const PixelRect client = RectToPixels({0, 0, kOptionsClientWidth, kOptionsClientHeight}, tpp);
    gtk_widget_set_size_request(m_fixed, client.cx, client.cy);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(m_dialog.get()));
    gtk_container_set_border_width(GTK_CONTAINER(content), 0);
    gtk_container_add(GTK_CONTAINER(content), m_fixed);
    g_signal_connect(m_fixed, "focus", G_CALLBACK(OnFocus), this);

    for (std::size_t i = 0; i < kOptionsControls.size(); ++i) {
        const OptionsControl& c = kOptionsControls[i];
        GtkWidget* widget = Make(c);
        g_object_set_data(G_OBJECT(widget), kControlKey, const_cast<OptionsControl*>(&c));
        gtk_widget_set_name(widget, std::string(c.name).c_str());
        gtk_widget_set_can_focus(widget, TakesFocus(c.kind));
        const PixelRect p = RectToPixels(c.place, tpp);
        gtk_widget_set_size_request(widget, p.cx, p.cy);
        gtk_fixed_put(GTK_FIXED(m_fixed), widget, p.x, p.y);
        m_widgets[i] = widget;
    }
    for (const OptionsControl* c : OptionsTabOrder())
        if (TakesFocus(c->kind)) m_tabStops.push_back(m_widgets[static_cast<std::size_t>(c - kOptionsControls.data())]);
}

// Fixed in size, no minimise or maximise, out of the task bar, over the main window.
void GtkOptionsDialog::SetUpWindow() {
    GtkWindow* window = Window();
    gtk_widget_set_name(m_dialog.get(), kName);
    gtk_window_set_title(window, Text(kOptionsTitle));
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    if (m_mainWindow) gtk_window_set_transient_for(window, m_mainWindow);
}

GtkOptionsDialog::~GtkOptionsDialog() {
    for (GtkWidget* widget : m_widgets) g_signal_handlers_disconnect_by_data(widget, this);
    g_signal_handlers_disconnect_by_data(m_fixed, this);
    gtk_style_context_remove_provider_for_screen(gtk_widget_get_screen(m_dialog.get()),
                                                 GTK_STYLE_PROVIDER(m_style.get()));
}

GtkWidget* GtkOptionsDialog::Make(const OptionsControl& c) {
    switch (c.kind) {
        case OptionsControlKind::Swatch: return MakeSwatch(c);
        case OptionsControlKind::Link: return MakeLink(c);
        case OptionsControlKind::Check: return MakeCheck1(c);
        case OptionsControlKind::Scroll: return MakeHScroll1();
        case OptionsControlKind::Label:
        case OptionsControlKind::Readout: break;
    }
    GtkWidget* label = gtk_label_new(Text(c.caption));
    gtk_label_set_xalign(GTK_LABEL(label), 0);
    if (c.kind == OptionsControlKind::Readout) m_label6 = label;
    return label;
}

GtkWidget* GtkOptionsDialog::MakeSwatch(const OptionsControl& c) {
    GtkWidget* swatch = Clickable(gtk_drawing_area_new());
    g_signal_connect(swatch, "draw", G_CALLBACK(OnDrawSwatch), this);
    g_signal_connect(swatch, "button-press-event", G_CALLBACK(OnPress), this);
    g_signal_connect(swatch, "button-release-event", G_CALLBACK(OnSwatchRelease), this);
    m_swatches[static_cast<std::size_t>(c.swatch - 1)] = swatch;
    return swatch;
}

// Drawn rather than a GtkLabel: a label cannot be smaller than its font's line, and the link row
// is one pixel row less than that. The caption reaches assistive tools as the link's name.
GtkWidget* GtkOptionsDialog::MakeLink(const OptionsControl& c) {
    GtkWidget* link = Clickable(gtk_drawing_area_new());
    AtkObject* accessible = gtk_widget_get_accessible(link);
    atk_object_set_name(accessible, Text(c.caption));
    atk_object_set_role(accessible, ATK_ROLE_LINK);
    g_signal_connect(link, "draw", G_CALLBACK(OnDrawLink), this);
    g_signal_connect(link, "realize", G_CALLBACK(OnRealizeLink), this);
    g_signal_connect(link, "button-press-event", G_CALLBACK(OnPress), this);
    g_signal_connect(link, "button-release-event", G_CALLBACK(OnLinkRelease), this);
    return link;
}

GtkWidget* GtkOptionsDialog::MakeCheck1(const OptionsControl& c) {
    m_check1 = gtk_check_button_new_with_label(Text(c.caption));
    m_check1Handler = g_signal_connect(m_check1, "toggled", G_CALLBACK(OnCheck1Toggled), this);
    return m_check1;
}

// GTK moves a range by itself in ways the bar's rules do not have (a click in the track jumps to
// the pointer, an arrow glides, the wheel turns it, a drag changes the value at every step), so
// every change of value the user asks for goes through "change-value" and is turned into one of
// the bar's own actions there or when the button comes up.
GtkWidget* GtkOptionsDialog::MakeHScroll1() {
    // The upper bound of an adjustment includes its page size; a scroll bar's maximum does not.
    GtkAdjustment* range = gtk_adjustment_new(kHScroll1.designPosition, kHScroll1.min, kHScroll1.max,
                                              kHScroll1.smallChange, kHScroll1.largeChange, 0);
    m_hscroll1 = gtk_scrollbar_new(GTK_ORIENTATION_HORIZONTAL, range);
    gtk_range_set_round_digits(GTK_RANGE(m_hscroll1), 0);  // a dragged thumb stops at whole positions
    g_signal_connect(m_hscroll1, "key-press-event", G_CALLBACK(OnScrollKey), this);
    g_signal_connect(m_hscroll1, "button-press-event", G_CALLBACK(OnScrollPress), this);
    g_signal_connect(m_hscroll1, "change-value", G_CALLBACK(OnScrollChangeValue), this);
    g_signal_connect(m_hscroll1, "event-after", G_CALLBACK(OnScrollEventAfter), this);
    return m_hscroll1;
}

void GtkOptionsDialog::CopyIconFromMainWindow() { CopyWindowIcon(Window(), m_mainWindow); }

void GtkOptionsDialog::SetCheck1(bool checked) {
    g_signal_handler_block(m_check1, m_check1Handler);
    gtk_toggle_button_set_active(GTK_TOGGLE_BUTTON(m_check1), checked);
    g_signal_handler_unblock(m_check1, m_check1Handler);
}

bool GtkOptionsDialog::Check1() const { return gtk_toggle_button_get_active(GTK_TOGGLE_BUTTON(m_check1)); }

// Only the user's actions emit "change-value", so setting the value runs no handler.
void GtkOptionsDialog::SetScrollPosition(std::int16_t position) {
    m_position = position;
    gtk_range_set_value(GTK_RANGE(m_hscroll1), position);
}

std::int16_t GtkOptionsDialog::ScrollPosition() const { return m_position; }

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

void GtkOptionsDialog::Scroll(ScrollAction action, int thumb) {
    if (m_handlers) m_handlers->HScroll1_Scroll(action, thumb);
}

// Themes let the thumb's box, where GTK takes a press for it, overhang the range it reports by a
// pixel (a negative margin). A press there that is taken for the thumb is a drag that has not
// moved: nothing; taken for an arrow, it would step the bar and lose the drag.
bool GtkOptionsDialog::PressedOnThumb() const {
    constexpr int kSlack = 2;
    return m_pressX >= m_sliderStart - kSlack && m_pressX < m_sliderEnd + kSlack;
}

ScrollAction GtkOptionsDialog::TowardPress(ScrollAction back, ScrollAction forward) const {
    return m_pressX < m_sliderStart ? back : forward;
}

// GTK orders Tab stops by their place on the screen; the dialog keeps its controls' own order.
// At either end the window wraps round.
gboolean GtkOptionsDialog::OnFocus(GtkWidget* fixed, GtkDirectionType direction, gpointer p) {
    if (direction != GTK_DIR_TAB_FORWARD && direction != GTK_DIR_TAB_BACKWARD) return FALSE;
    const std::vector<GtkWidget*>& order = static_cast<GtkOptionsDialog*>(p)->m_tabStops;
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
    const double w = gtk_widget_get_allocated_width(swatch);
    const double h = gtk_widget_get_allocated_height(swatch);
    SetSourceColour(cr, self->SwatchColour(ControlOf(swatch).swatch));
    cairo_paint(cr);
    // A frame, so that a swatch the colour of the dialog still shows where to click.
    SetSourceColour(cr, kSwatchFrame);
    cairo_set_line_width(cr, 1);
    cairo_rectangle(cr, 0.5, 0.5, w - 1, h - 1);
    cairo_stroke(cr);
    return TRUE;
}

gboolean GtkOptionsDialog::OnDrawLink(GtkWidget* link, cairo_t* cr, gpointer /*p*/) {
    const std::string_view caption = Text(ControlOf(link).caption);
    const GObjectPtr<PangoLayout> layout(gtk_widget_create_pango_layout(link, nullptr));
    pango_layout_set_text(layout.get(), caption.data(), static_cast<int>(caption.size()));
    SetSourceColour(cr, kLinkColour);
    cairo_move_to(cr, 0, 0);
    pango_cairo_show_layout(cr, layout.get());
    return TRUE;
}

void GtkOptionsDialog::OnRealizeLink(GtkWidget* link, gpointer p) {
    gdk_window_set_cursor(gtk_widget_get_window(link), static_cast<GtkOptionsDialog*>(p)->m_hand.get());
}

gboolean GtkOptionsDialog::OnPress(GtkWidget* widget, GdkEventButton* event, gpointer /*p*/) {
    if (event->type == GDK_BUTTON_PRESS && event->button == GDK_BUTTON_PRIMARY)
        g_object_set_data(G_OBJECT(widget), kPressedKey, GINT_TO_POINTER(1));
    return FALSE;
}

gboolean GtkOptionsDialog::OnSwatchRelease(GtkWidget* swatch, GdkEventButton* event, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (!ClickEnds(swatch, *event) || !self->m_handlers) return FALSE;
    self->m_handlers->Picture_Click(ControlOf(swatch).swatch);
    return TRUE;
}

gboolean GtkOptionsDialog::OnLinkRelease(GtkWidget* link, GdkEventButton* event, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (!ClickEnds(link, *event) || !self->m_handlers) return FALSE;
    self->m_handlers->Label_Click(*ControlOf(link).link);
    return TRUE;
}

void GtkOptionsDialog::OnCheck1Toggled(GtkToggleButton* /*check*/, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (self->m_handlers) self->m_handlers->Check1_Click();
}

gboolean GtkOptionsDialog::OnScrollKey(GtkWidget* /*bar*/, GdkEventKey* event, gpointer p) {
    const auto action = ActionForKey(event->keyval);
    if (!action) return FALSE;
    static_cast<GtkOptionsDialog*>(p)->Scroll(*action);
    return TRUE;
}

// Runs before GTK sees the press. Which part of the bar was pressed shows in what GTK does with
// it: on the thumb it starts a drag, in the track it jumps or pages at once, on an arrow it does
// nothing until later.
gboolean GtkOptionsDialog::OnScrollPress(GtkWidget* bar, GdkEventButton* event, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (event->type != GDK_BUTTON_PRESS || self->m_press != Press::None) return FALSE;
    gtk_range_get_slider_range(GTK_RANGE(bar), &self->m_sliderStart, &self->m_sliderEnd);
    self->m_pressX = event->x;
    self->m_press = Press::Pending;
    return FALSE;
}

gboolean GtkOptionsDialog::OnScrollChangeValue(GtkRange* /*bar*/, GtkScrollType how, gdouble value, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (how != GTK_SCROLL_JUMP) {
        if (self->m_press == Press::Pending) self->m_press = Press::Paging;
        if (const auto action = ActionForStep(how)) self->Scroll(*action);
        return TRUE;
    }
    if (self->m_press == Press::Pending && !self->PressedOnThumb()) {
        // The track pressed where GTK jumps to the pointer: a page toward it instead.
        self->m_press = Press::Paging;
        self->Scroll(self->TowardPress(ScrollAction::PageBack, ScrollAction::PageForward));
        return TRUE;
    }
    if (self->m_press == Press::Pending) self->m_press = Press::Drag;
    if (self->m_press != Press::Drag) return TRUE;  // the wheel, an arrow's gliding, a drag after a page
    self->Scroll(ScrollAction::ThumbTrack, static_cast<int>(std::lround(value)));
    return FALSE;  // the thumb follows the pointer
}

void GtkOptionsDialog::OnScrollEventAfter(GtkWidget* bar, GdkEvent* event, gpointer p) {
    auto* self = static_cast<GtkOptionsDialog*>(p);
    if (event->type == GDK_BUTTON_PRESS && self->m_press == Press::Pending) {
        // GTK changed nothing: the thumb, whose drag has not moved yet, or an arrow.
        const bool onThumb = self->PressedOnThumb();
        self->m_press = onThumb ? Press::Drag : Press::Stepping;
        if (!onThumb) self->Scroll(self->TowardPress(ScrollAction::LineBack, ScrollAction::LineForward));
    } else if (event->type == GDK_BUTTON_RELEASE || event->type == GDK_GRAB_BROKEN) {
        const Press ended = std::exchange(self->m_press, Press::None);
        const auto thumb = static_cast<int>(std::lround(gtk_range_get_value(GTK_RANGE(bar))));
        if (ended == Press::Drag) self->Scroll(ScrollAction::ThumbRelease, thumb);
        // Whatever the drag left, the thumb shows the committed position.
        gtk_range_set_value(GTK_RANGE(bar), self->m_position);
    }
}

}  // namespace tg
