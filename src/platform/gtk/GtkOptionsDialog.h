#pragma once
// frmOptions' window on Linux: a fixed-size modal GtkDialog whose controls sit at their places in
// twips, converted with the screen's twips per pixel. Each control is named after itself
// (gtk_widget_get_name), so tools and tests can find it. The dialog only translates: clicks,
// toggles and scroll positions become calls of frmOptions' handlers, and the port's calls set the
// controls without running them.
#include <gtk/gtk.h>

#include <array>
#include <vector>

#include "platform/gtk/GObjectPtr.h"
#include "platform/ports/Desktop.h"
#include "platform/ports/OptionsPorts.h"

namespace tg {

class frmOptions;

class GtkOptionsDialog final : public OptionsDialog {
 public:
    // `mainWindow` owns the dialog and lends it its icon; `desktop` gives the twips per pixel.
    GtkOptionsDialog(GtkWindow* mainWindow, const Desktop& desktop);
    ~GtkOptionsDialog() override;
    GtkOptionsDialog(const GtkOptionsDialog&) = delete;
    GtkOptionsDialog& operator=(const GtkOptionsDialog&) = delete;

    // The handlers the controls' events go to; none before this is called.
    void Attach(frmOptions& handlers) { m_handlers = &handlers; }
    GtkWindow* Window() const noexcept { return GTK_WINDOW(m_dialog.get()); }

    void CopyIconFromMainWindow() override;
    void SetCheck1(bool checked) override;
    bool Check1() const override;
    void SetScrollPosition(std::int16_t position) override;
    std::int16_t ScrollPosition() const override;
    void SetLabel6(std::string_view text) override;
    void SetSwatchColour(int n, std::int32_t colour) override;
    std::int32_t SwatchColour(int n) const override;
    void ShowModal() override;

    struct Control;

 private:
    void SetUpWindow();
    void AddControls();
    GtkWidget* Make(const Control& control);
    GtkWidget* MakeSwatch(int n);
    GtkWidget* MakeLink(const Control& control);
    GtkWidget* MakeCheck1(const char* caption);
    GtkWidget* MakeHScroll1();

    static gboolean OnFocus(GtkWidget* fixed, GtkDirectionType direction, gpointer self);
    static gboolean OnDrawSwatch(GtkWidget* swatch, cairo_t* cr, gpointer self);
    static gboolean OnDrawLink(GtkWidget* link, cairo_t* cr, gpointer self);
    static void OnRealizeLink(GtkWidget* link, gpointer self);
    static gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer self);
    static gboolean OnSwatchRelease(GtkWidget* swatch, GdkEventButton* event, gpointer self);
    static gboolean OnLinkRelease(GtkWidget* link, GdkEventButton* event, gpointer self);
    static void OnCheck1Toggled(GtkToggleButton* check, gpointer self);
    static void OnHScroll1Changed(GtkAdjustment* adjustment, gpointer self);

    GtkWindow* m_mainWindow;
    const Desktop& m_desktop;
    frmOptions* m_handlers = nullptr;
    GObjectPtr<GtkCssProvider> m_style;
    OwnedWidget m_dialog;
    GObjectPtr<GdkCursor> m_hand;
    GtkWidget* m_fixed = nullptr;
    GtkWidget* m_check1 = nullptr;  // the widgets are owned by m_dialog
    GtkAdjustment* m_hscroll1 = nullptr;
    GtkWidget* m_label6 = nullptr;
    std::array<GtkWidget*, kSwatchCount> m_swatches{};
    std::array<std::int32_t, kSwatchCount> m_colours{};
    std::vector<GtkWidget*> m_tabOrder;
    gulong m_check1Handler = 0;
    gulong m_hscroll1Handler = 0;
};

}  // namespace tg
