#include "platform/gtk/GtkUsageDialog.h"

#include <string>

#include "platform/gtk/AppIcon.h"
#include "platform/gtk/PlainTheme.h"
#include "usage/frmUsage.h"

namespace tg {

namespace {

constexpr const char* kName = "frmUsage";
constexpr const char* kControlKey = "tg-control";  // a spin button's place in kUsageControls

std::size_t ControlOf(GtkSpinButton* spin) {
    return GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(spin), kControlKey));
}

// The places were laid out for the 9-point dialog font of Windows, and a spin button of that
// font's height: GTK's default font and the theme's padding round an entry and its buttons would
// not fit them.
constexpr const char* kStyle =
    "#frmUsage { font-size: 9pt; }"
    "#frmUsage spinbutton, #frmUsage spinbutton entry { min-height: 0; padding-top: 0; padding-bottom: 0; }"
    "#frmUsage spinbutton entry { padding-left: 4px; padding-right: 2px; min-width: 0; }"
    "#frmUsage spinbutton button { min-height: 0; min-width: 0; padding: 0 4px; }";

float XAlign(TextAlign align) {
    switch (align) {
        case TextAlign::Left: break;
        case TextAlign::Centre: return 0.5F;
        case TextAlign::Right: return 1;
    }
    return 0;
}

}  // namespace

GtkUsageDialog::GtkUsageDialog(GtkWindow* owner, const Desktop& desktop)
    : m_owner(owner),
      m_style(gtk_css_provider_new()),
      m_dialog(OwnWidget(NewDialog())),
      m_chart([this] {
          if (GtkWidget* area = m_widgets[UsageControlIndex(UsageControlKind::Chart)]) gtk_widget_queue_draw(area);
      }) {
    gtk_css_provider_load_from_data(m_style.get(), kStyle, -1, nullptr);
    gtk_style_context_add_provider_for_screen(gtk_widget_get_screen(m_dialog.get()), GTK_STYLE_PROVIDER(m_style.get()),
                                              GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    SetUpWindow();
    const double tpp = desktop.TwipsPerPixelX();
    GtkWidget* fixed = gtk_fixed_new();
    const PixelRect client = RectToPixels({0, 0, kUsageClientWidth, kUsageClientHeight}, tpp);
    gtk_widget_set_size_request(fixed, client.cx, client.cy);
    GtkWidget* content = gtk_dialog_get_content_area(GTK_DIALOG(m_dialog.get()));
    gtk_container_set_border_width(GTK_CONTAINER(content), 0);
    gtk_container_add(GTK_CONTAINER(content), fixed);
    for (std::size_t i = 0; i < kUsageControls.size(); ++i) {
        const UsageControl& c = kUsageControls[i];
        const PixelRect p = RectToPixels(c.place, tpp);
        if (c.kind == UsageControlKind::Chart) m_chart.Resize(p.cx, p.cy);
        GtkWidget* widget = Make(c);
        gtk_widget_set_name(widget, std::string(c.name).c_str());
        gtk_widget_set_can_focus(widget, TakesFocus(c.kind));
        gtk_widget_set_size_request(widget, p.cx, p.cy);
        gtk_fixed_put(GTK_FIXED(fixed), widget, p.x, p.y);
        m_widgets[i] = widget;
    }
}

// Fixed in size, no minimise or maximise, out of the task bar, over its owner.
void GtkUsageDialog::SetUpWindow() {
    GtkWindow* window = Window();
    gtk_widget_set_name(m_dialog.get(), kName);
    gtk_window_set_title(window, Text(kUsageTitle));
    gtk_window_set_resizable(window, FALSE);
    gtk_window_set_position(window, GTK_WIN_POS_CENTER);
    gtk_window_set_modal(window, TRUE);
    gtk_window_set_type_hint(window, GDK_WINDOW_TYPE_HINT_DIALOG);
    gtk_window_set_skip_taskbar_hint(window, TRUE);
    if (m_owner) gtk_window_set_transient_for(window, m_owner);
}

GtkUsageDialog::~GtkUsageDialog() {
    StopTimer();
    for (GtkWidget* widget : m_widgets) g_signal_handlers_disconnect_by_data(widget, this);
    m_widgets.fill(nullptr);  // the picture's last paint request finds no chart
    gtk_style_context_remove_provider_for_screen(gtk_widget_get_screen(m_dialog.get()),
                                                 GTK_STYLE_PROVIDER(m_style.get()));
}

GtkWidget* GtkUsageDialog::Make(const UsageControl& c) {
    switch (c.kind) {
        case UsageControlKind::Chart: {
            GtkWidget* area = gtk_drawing_area_new();
            g_signal_connect(area, "draw", G_CALLBACK(OnDrawChart), this);
            return area;
        }
        case UsageControlKind::Spin: return MakeSpin(c);
        case UsageControlKind::Label:
        case UsageControlKind::Amount:
        case UsageControlKind::DayLabel: break;
    }
    GtkWidget* label = gtk_label_new(Text(c.caption));
    gtk_label_set_xalign(GTK_LABEL(label), XAlign(c.align));
    return label;
}

// Typed text reaches frmUsage through "input", which GTK emits when the text is committed (Enter,
// the focus leaving, an arrow pressed); the value frmUsage leaves shown is the spin button's value.
GtkWidget* GtkUsageDialog::MakeSpin(const UsageControl& control) {
    const auto index = static_cast<std::size_t>(&control - kUsageControls.data());
    const SpinRange& s = control.spin;
    GtkAdjustment* range = gtk_adjustment_new(s.designValue, s.min, s.max, s.step, s.step, 0);
    GtkWidget* spin = gtk_spin_button_new(range, 0, 0);
    gtk_entry_set_width_chars(GTK_ENTRY(spin), 2);
    g_object_set_data(G_OBJECT(spin), kControlKey, GSIZE_TO_POINTER(index));
    g_signal_connect(spin, "input", G_CALLBACK(OnSpinInput), this);
    m_spinChanged[index] = g_signal_connect(spin, "value-changed", G_CALLBACK(OnSpinValueChanged), this);
    return spin;
}

GtkSpinButton* GtkUsageDialog::Spin(std::size_t control) const {
    return control < m_widgets.size() && m_widgets[control] && GTK_IS_SPIN_BUTTON(m_widgets[control])
               ? GTK_SPIN_BUTTON(m_widgets[control])
               : nullptr;
}

void GtkUsageDialog::CopyIconFromMainWindow() { CopyWindowIcon(Window(), m_owner); }

void GtkUsageDialog::SetText(std::size_t control, std::string_view text) {
    if (control >= m_widgets.size() || !GTK_IS_LABEL(m_widgets[control])) return;
    gtk_label_set_text(GTK_LABEL(m_widgets[control]), std::string(text).c_str());
}

ChartPicture GtkUsageDialog::Chart() { return {m_chart, m_chart.Width(), m_chart.Height()}; }

void GtkUsageDialog::SetSpinValue(std::size_t control, int value) {
    GtkSpinButton* spin = Spin(control);
    if (!spin) return;
    g_signal_handler_block(spin, m_spinChanged[control]);
    gtk_spin_button_set_value(spin, value);
    g_signal_handler_unblock(spin, m_spinChanged[control]);
}

int GtkUsageDialog::SpinValue(std::size_t control) const {
    GtkSpinButton* spin = Spin(control);
    return spin ? gtk_spin_button_get_value_as_int(spin) : 0;
}

void GtkUsageDialog::ShowModal() {
    gtk_widget_show_all(m_dialog.get());
    m_timer = g_timeout_add(kUsageRefreshMilliseconds, OnTimer, this);
    gtk_dialog_run(GTK_DIALOG(m_dialog.get()));
    StopTimer();
    gtk_widget_hide(m_dialog.get());
}

void GtkUsageDialog::StopTimer() {
    if (m_timer) g_source_remove(m_timer);
    m_timer = 0;
}

gboolean GtkUsageDialog::OnDrawChart(GtkWidget* /*area*/, cairo_t* cr, gpointer p) {
    static_cast<GtkUsageDialog*>(p)->m_chart.Paint(cr, 0, 0);
    return TRUE;
}

gint GtkUsageDialog::OnSpinInput(GtkSpinButton* spin, gdouble* value, gpointer p) {
    auto* self = static_cast<GtkUsageDialog*>(p);
    if (!self->m_handlers) return FALSE;
    self->m_handlers->Spin_Typed(ControlOf(spin), gtk_entry_get_text(GTK_ENTRY(spin)));
    *value = gtk_spin_button_get_value(spin);
    return TRUE;
}

void GtkUsageDialog::OnSpinValueChanged(GtkSpinButton* spin, gpointer p) {
    auto* self = static_cast<GtkUsageDialog*>(p);
    if (self->m_handlers) self->m_handlers->Spin_Change(ControlOf(spin));
}

gboolean GtkUsageDialog::OnTimer(gpointer p) {
    auto* self = static_cast<GtkUsageDialog*>(p);
    if (self->m_handlers) self->m_handlers->Timer1_Timer();
    return G_SOURCE_CONTINUE;
}

}  // namespace tg
