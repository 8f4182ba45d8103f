#include "platform/gtk/GtkMainWindow.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "counters/UnsupportedNotice.h"
#include "common/Twips.h"
#include "mainwindow/frmMain.h"
#include "platform/gtk/AppIcon.h"
#include "platform/gtk/GtkDesktop.h"

namespace tg {

namespace {

// The read-outs' font; fontconfig maps it to a metric-compatible face where it is missing.
constexpr const char* kLabelFont = "Arial 8.25";

void SetSourceColour(cairo_t* cr, std::int32_t colour) {
    cairo_set_source_rgb(cr, (colour & 0xFF) / 255.0, ((colour >> 8) & 0xFF) / 255.0, ((colour >> 16) & 0xFF) / 255.0);
}

std::int16_t ButtonOf(guint button) {
    return Buttons(button == GDK_BUTTON_PRIMARY, button == GDK_BUTTON_SECONDARY, button == GDK_BUTTON_MIDDLE);
}

PointerEvent PointerAt(PointerAction action, std::int16_t button, guint state, double xRoot, double yRoot) {
    return {action, button,
            Buttons((state & GDK_BUTTON1_MASK) != 0, (state & GDK_BUTTON3_MASK) != 0, (state & GDK_BUTTON2_MASK) != 0),
            Modifiers((state & GDK_SHIFT_MASK) != 0, (state & GDK_CONTROL_MASK) != 0, (state & GDK_MOD1_MASK) != 0),
            static_cast<std::int32_t>(std::floor(xRoot)), static_cast<std::int32_t>(std::floor(yRoot))};
}

}  // namespace

GtkMainWindow::GtkMainWindow(const Desktop& desktop)
    : m_desktop(desktop),
      m_window(OwnWidget(gtk_window_new(GTK_WINDOW_TOPLEVEL))),
      m_area(gtk_drawing_area_new()),
      m_picture([this] { Redraw(); }),
      m_menu([this](MenuItem item) { Command(item); }, [this](std::size_t position) { PickInterface(position); }),
      m_font(pango_font_description_from_string(kLabelFont)),
      m_quitSignals([this] {
          if (m_handlers) m_handlers->Form_QueryUnload();
      }) {
    GtkWindow* window = Window();
    gtk_window_set_title(window, kAppTitle);
    gtk_window_set_decorated(window, FALSE);
    // Our drawing covers the whole window: GTK need not paint the theme's background under it.
    gtk_widget_set_app_paintable(GTK_WIDGET(window), TRUE);
    gtk_widget_add_events(m_area, GDK_BUTTON_PRESS_MASK | GDK_BUTTON_RELEASE_MASK | GDK_POINTER_MOTION_MASK |
                                      GDK_LEAVE_NOTIFY_MASK);
    gtk_widget_set_has_tooltip(m_area, TRUE);
    gtk_container_add(GTK_CONTAINER(window), m_area);
    g_signal_connect(m_area, "draw", G_CALLBACK(OnDraw), this);
    g_signal_connect(m_area, "button-press-event", G_CALLBACK(OnButtonPress), this);
    g_signal_connect(m_area, "button-release-event", G_CALLBACK(OnButtonRelease), this);
    g_signal_connect(m_area, "motion-notify-event", G_CALLBACK(OnMotion), this);
    g_signal_connect(m_area, "query-tooltip", G_CALLBACK(OnQueryTooltip), this);
    g_signal_connect(m_area, "leave-notify-event", G_CALLBACK(OnLeave), this);
    g_signal_connect(window, "configure-event", G_CALLBACK(OnConfigure), this);
    g_signal_connect(window, "delete-event", G_CALLBACK(OnDelete), this);
    // After GTK's own handler, which gives the window the default icons: none until a dialog.
    g_signal_connect_after(window, "realize", G_CALLBACK(+[](GtkWidget* widget, gpointer) {
                               SetWindowIcon(gtk_widget_get_window(widget));
                           }),
                           nullptr);
    for (Label& label : m_labels) {
        PangoLayout* layout = gtk_widget_create_pango_layout(m_area, nullptr);
        pango_layout_set_font_description(layout, m_font.get());
        label.text = std::make_unique<ShapedText>(layout);
    }
    m_bounds = {0, 0, frmMain::kDesignWidth, frmMain::kDesignHeight};
    Place(ToPixels(m_bounds));
}

GtkMainWindow::~GtkMainWindow() {
    if (m_timer) g_source_remove(m_timer);
    g_signal_handlers_disconnect_by_data(m_area, this);
    g_signal_handlers_disconnect_by_data(m_window.get(), this);
}

PixelRect GtkMainWindow::ToPixels(const TwipsRect& t) const { return RectToPixels(t, Tpp()); }

void GtkMainWindow::Redraw() {
    if (m_handlers != nullptr && !m_handlers->Form_Changed()) return;
    if (m_area) gtk_widget_queue_draw(m_area);
}

// The paint at the end of a tick, once a second all day, goes straight to the window: one frame
// drawn here costs far less than an invalidation that GTK's frame clock turns into an expose, a
// draw signal and a walk down the widget tree. Our area fills the whole window, and the window
// paints nothing of its own under it. Every other paint, and any before the window shows, is GTK's.
void GtkMainWindow::Repaint() {
    GdkWindow* window = gtk_widget_get_window(m_window.get());
    if (window == nullptr || !gtk_widget_is_drawable(m_area)) return gtk_widget_queue_draw(m_area);
    const cairo_rectangle_int_t whole{0, 0, gdk_window_get_width(window), gdk_window_get_height(window)};
    cairo_region_t* region = cairo_region_create_rectangle(&whole);
    GdkDrawingContext* context = gdk_window_begin_draw_frame(window, region);
    Paint(gdk_drawing_context_get_cairo_context(context));
    gdk_window_end_draw_frame(window, context);
    cairo_region_destroy(region);
}

void GtkMainWindow::Place(const PixelRect& p) {
    gtk_window_move(Window(), p.x, p.y);
    gtk_window_resize(Window(), std::max(p.cx, 1), std::max(p.cy, 1));
    Redraw();
}

void GtkMainWindow::Move(const TwipsRect& bounds) {
    m_bounds = bounds;
    Place(ToPixels(bounds));
}

void GtkMainWindow::Adopt(const TwipsRect& bounds) { m_bounds = bounds; }

void GtkMainWindow::PlaceSurface(const TwipsRect& /*bounds*/, const PixelRect& pixels) {
    m_surfacePixels = pixels;
    m_picture.Resize(pixels.cx, pixels.cy);
}

PixelRect GtkMainWindow::ScreenPixels() const {
    GdkWindow* root = gdk_screen_get_root_window(gtk_window_get_screen(Window()));
    return {0, 0, gdk_window_get_width(root), gdk_window_get_height(root)};
}

void GtkMainWindow::Show() {
    gtk_widget_show_all(m_window.get());
    // A toplevel's opacity reaches the X server only once it has a window there.
    gtk_widget_set_opacity(m_window.get(), m_alpha / 255.0);
}

void GtkMainWindow::Hide() { gtk_widget_hide(m_window.get()); }

// An empty input shape leaves X nothing of the window to deliver a click to, so it goes to the
// window beneath. GTK keeps the shape and sets it again whenever the window is realized anew.
void GtkMainWindow::SetClickThrough(bool through) {
    cairo_region_t* nothing = through ? cairo_region_create() : nullptr;
    gtk_widget_input_shape_combine_region(m_window.get(), nothing);
    if (nothing) cairo_region_destroy(nothing);
}

void GtkMainWindow::MakeTopmost(const PixelRect& pixels) {
    gtk_window_set_keep_above(Window(), TRUE);
    Place(pixels);
}

// Topmost raises the window now as well: without a window manager nothing acts on the hint. Bottom
// is one move behind every other window, not a standing order, so the window comes forward again
// when the user brings it there.
void GtkMainWindow::SetStacking(bool topmost, const PixelRect& place) {
    gtk_window_set_keep_above(Window(), topmost);
    if (GdkWindow* window = gtk_widget_get_window(m_window.get())) {
        if (topmost) gdk_window_raise(window);
        else gdk_window_lower(window);
    }
    const PixelRect size = ToPixels(m_bounds);
    Place({place.x, place.y, size.cx, size.cy});
}

void GtkMainWindow::SetAlpha(std::uint8_t level) {
    m_alpha = level;
    if (gtk_widget_get_visible(m_window.get())) gtk_widget_set_opacity(m_window.get(), level / 255.0);
}

void GtkMainWindow::SetBackColour(std::int32_t colour) {
    m_backColour = colour;
    Redraw();
}

void GtkMainWindow::SetLabelText(LabelId label, std::string_view text) {
    if (LabelFor(label).text->SetText(text)) Redraw();
}

void GtkMainWindow::SetLabelPosition(LabelId label, float left, float top) {
    LabelFor(label).left = left;
    LabelFor(label).top = top;
    Redraw();
}

void GtkMainWindow::SetLabelVisible(LabelId label, bool visible) {
    LabelFor(label).visible = visible;
    Redraw();
}

void GtkMainWindow::SetLabelColour(LabelId label, std::int32_t colour) {
    LabelFor(label).colour = colour;
    Redraw();
}

float GtkMainWindow::LabelWidth(LabelId label) const {
    return static_cast<float>(LabelFor(label).text->PixelWidth()) * Tpp();
}

void GtkMainWindow::SetCursor(Cursor cursor) {
    GdkWindow* window = gtk_widget_get_window(m_area);
    if (!window) return;
    if (cursor == Cursor::SizeNwse && !m_sizeCursor) {
        GdkDisplay* display = gtk_widget_get_display(m_area);
        m_sizeCursor.reset(gdk_cursor_new_from_name(display, "nwse-resize"));
        if (!m_sizeCursor) m_sizeCursor.reset(gdk_cursor_new_for_display(display, GDK_BOTTOM_RIGHT_CORNER));
    }
    gdk_window_set_cursor(window, cursor == Cursor::SizeNwse ? m_sizeCursor.get() : nullptr);
}

void GtkMainWindow::SetTimerEnabled(bool enabled) {
    if (enabled && !m_timer) m_timer = g_timeout_add(frmMain::kTimerInterval, OnTimer, this);
    if (!enabled && m_timer) {
        g_source_remove(m_timer);
        m_timer = 0;
    }
}

void GtkMainWindow::Close() {
    gtk_widget_hide(m_window.get());
    if (gtk_main_level() > 0) gtk_main_quit();
}

void GtkMainWindow::Command(MenuItem item) {
    if (m_handlers) m_handlers->MenuCommand(item);
}

void GtkMainWindow::PickInterface(std::size_t position) {
    if (m_handlers) m_handlers->Interface_Click(position);
}

// X grabs the pointer for the window a button went down on until the last button is let go.
void GtkMainWindow::CapturePointer(bool /*captured*/) {}

gboolean GtkMainWindow::OnDraw(GtkWidget* /*widget*/, cairo_t* cr, gpointer p) {
    static_cast<GtkMainWindow*>(p)->Paint(cr);
    return TRUE;
}

void GtkMainWindow::Paint(cairo_t* cr) {
    ++m_paints;
    SetSourceColour(cr, m_backColour);
    cairo_paint(cr);
    const double tpp = Tpp();
    m_picture.Paint(cr, m_surfacePixels.x, m_surfacePixels.y);
    for (const Label& label : m_labels) {
        if (!label.visible) continue;
        SetSourceColour(cr, label.colour);
        label.text->Draw(cr, TwipsToPixels(label.left, tpp), TwipsToPixels(label.top, tpp));
    }
}

// A query answers with no text while there is none: GTK then hides the tooltip.
void GtkMainWindow::RefreshTooltip() {
    if (m_area) gtk_widget_trigger_tooltip_query(m_area);
}

void GtkMainWindow::HideTooltip() { RefreshTooltip(); }

gboolean GtkMainWindow::OnQueryTooltip(GtkWidget* /*widget*/, gint /*x*/, gint /*y*/, gboolean /*keyboard*/,
                                       GtkTooltip* tooltip, gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    const std::optional<std::string> text = self->m_handlers ? self->m_handlers->Tooltip_Query() : std::nullopt;
    if (!text) return FALSE;
    gtk_tooltip_set_text(tooltip, text->c_str());
    return TRUE;
}

gboolean GtkMainWindow::OnLeave(GtkWidget* /*widget*/, GdkEventCrossing* /*event*/, gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    if (self->m_handlers) self->m_handlers->Tooltip_Hidden();
    return FALSE;
}

// Positions go as the root window's coordinates: during a drag the X server reports the event's
// window-relative ones from where the window was, which may be before our last move reached it.
gboolean GtkMainWindow::OnButtonPress(GtkWidget* /*widget*/, GdkEventButton* event, gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    const std::int16_t button = ButtonOf(event->button);
    // A double click arrives as two presses and then this extra event, which Windows does not send.
    if (event->type != GDK_BUTTON_PRESS || !self->m_handlers || !button) return FALSE;
    return self->m_handlers->Form_Pointer(PointerAt(PointerAction::Press, button, event->state, event->x_root, event->y_root));
}

gboolean GtkMainWindow::OnButtonRelease(GtkWidget* /*widget*/, GdkEventButton* event, gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    const std::int16_t button = ButtonOf(event->button);
    if (!self->m_handlers || !button) return FALSE;
    return self->m_handlers->Form_Pointer(PointerAt(PointerAction::Release, button, event->state, event->x_root, event->y_root));
}

gboolean GtkMainWindow::OnMotion(GtkWidget* /*widget*/, GdkEventMotion* event, gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    if (!self->m_handlers) return FALSE;
    return self->m_handlers->Form_Pointer(PointerAt(PointerAction::Move, 0, event->state, event->x_root, event->y_root));
}

gboolean GtkMainWindow::OnConfigure(GtkWidget* /*widget*/, GdkEventConfigure* event, gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    if (self->m_handlers) self->m_handlers->Form_Placed({event->x, event->y, event->width, event->height});
    return FALSE;
}

gboolean GtkMainWindow::OnDelete(GtkWidget* /*widget*/, GdkEvent* /*event*/, gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    if (self->m_handlers) self->m_handlers->Form_QueryUnload();
    return TRUE;  // the handler decides; GTK must not destroy the window behind its back
}

gboolean GtkMainWindow::OnTimer(gpointer p) {
    auto* self = static_cast<GtkMainWindow*>(p);
    if (self->m_handlers) self->m_handlers->Timer2_Timer();
    return G_SOURCE_CONTINUE;
}

}  // namespace tg
