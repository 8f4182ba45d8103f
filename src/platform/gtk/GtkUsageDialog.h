#pragma once
// frmUsage's window on Linux: a fixed-size modal GtkDialog built from the portable description of
// its controls, each at its place in twips converted with the screen's twips per pixel and named
// after itself (gtk_widget_get_name), so tools and tests can find it. The chart is the portable
// picture shown through cairo. The dialog only translates: the spin button's steps and typed text
// and the refresh timer become calls of frmUsage's handlers, and the port's calls set the controls
// without running them.
#include <gtk/gtk.h>

#include <array>

#include "platform/gtk/CairoPicture.h"
#include "platform/gtk/GObjectPtr.h"
#include "ports/Desktop.h"
#include "ports/UsagePorts.h"
#include "usage/UsageLayout.h"

namespace tg {

class frmUsage;

class GtkUsageDialog final : public UsageDialog {
 public:
    // `owner` owns the dialog and lends it its icon; `desktop` gives the twips per pixel.
    GtkUsageDialog(GtkWindow* owner, const Desktop& desktop);
    ~GtkUsageDialog() override;
    GtkUsageDialog(const GtkUsageDialog&) = delete;
    GtkUsageDialog& operator=(const GtkUsageDialog&) = delete;

    // The handlers the controls' events go to; none before this is called.
    void Attach(frmUsage& handlers) { m_handlers = &handlers; }
    GtkWindow* Window() const noexcept { return GTK_WINDOW(m_dialog.get()); }

    void CopyIconFromMainWindow() override;
    void SetText(std::size_t control, std::string_view text) override;
    ChartPicture Chart() override;
    void SetSpinValue(std::size_t control, int value) override;
    int SpinValue(std::size_t control) const override;
    void ShowModal() override;

 private:
    void SetUpWindow();
    GtkWidget* Make(const UsageControl& control);
    GtkWidget* MakeSpin(const UsageControl& control);
    GtkSpinButton* Spin(std::size_t control) const;
    void StopTimer();

    static gboolean OnDrawChart(GtkWidget* area, cairo_t* cr, gpointer p);
    static gint OnSpinInput(GtkSpinButton* spin, gdouble* value, gpointer p);
    static void OnSpinValueChanged(GtkSpinButton* spin, gpointer p);
    static gboolean OnTimer(gpointer p);

    GtkWindow* m_owner;
    frmUsage* m_handlers = nullptr;
    GObjectPtr<GtkCssProvider> m_style;
    OwnedWidget m_dialog;
    std::array<GtkWidget*, kUsageControls.size()> m_widgets{};  // as kUsageControls; owned by m_dialog
    std::array<gulong, kUsageControls.size()> m_spinChanged{};  // each spin button's "value-changed" handler
    CairoPicture m_chart;
    guint m_timer = 0;
};

}  // namespace tg
