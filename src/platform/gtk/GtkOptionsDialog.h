#pragma once
// frmOptions' window on Linux: a fixed-size modal GtkDialog built from the portable description
// of its controls, each at its place in twips converted with the screen's twips per pixel and
// named after itself (gtk_widget_get_name), so tools and tests can find it. The dialog only
// translates: clicks, toggles and the scroll bar's events become calls of frmOptions' handlers,
// and the port's calls set the controls without running them.
#include <gtk/gtk.h>

#include <array>
#include <vector>

#include "appearance/OptionsLayout.h"
#include "platform/gtk/GObjectPtr.h"
#include "ports/Desktop.h"
#include "ports/OptionsPorts.h"

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

 private:
    // What the button held down on the scroll bar turned out to be.
    enum class Press { None, Pending, Drag, Paging, Stepping };

    void SetUpWindow();
    GtkWidget* Make(const OptionsControl& control);
    GtkWidget* MakeSwatch(const OptionsControl& control);
    GtkWidget* MakeLink(const OptionsControl& control);
    GtkWidget* MakeCheck1(const OptionsControl& control);
    GtkWidget* MakeHScroll1();
    void Scroll(ScrollAction action, int thumb = 0);
    bool PressedOnThumb() const;
    ScrollAction TowardPress(ScrollAction back, ScrollAction forward) const;

    static gboolean OnFocus(GtkWidget* fixed, GtkDirectionType direction, gpointer p);
    static gboolean OnDrawSwatch(GtkWidget* swatch, cairo_t* cr, gpointer p);
    static gboolean OnDrawLink(GtkWidget* link, cairo_t* cr, gpointer p);
    static void OnRealizeLink(GtkWidget* link, gpointer p);
    static gboolean OnPress(GtkWidget* widget, GdkEventButton* event, gpointer p);
    static gboolean OnSwatchRelease(GtkWidget* swatch, GdkEventButton* event, gpointer p);
    static gboolean OnLinkRelease(GtkWidget* link, GdkEventButton* event, gpointer p);
    static void OnCheck1Toggled(GtkToggleButton* check, gpointer p);
    static gboolean OnScrollKey(GtkWidget* bar, GdkEventKey* event, gpointer p);
    static gboolean OnScrollPress(GtkWidget* bar, GdkEventButton* event, gpointer p);
    static gboolean OnScrollChangeValue(GtkRange* bar, GtkScrollType how, gdouble value, gpointer p);
    static void OnScrollEventAfter(GtkWidget* bar, GdkEvent* event, gpointer p);

    GtkWindow* m_mainWindow;
    const Desktop& m_desktop;
    frmOptions* m_handlers = nullptr;
    GObjectPtr<GtkCssProvider> m_style;
    OwnedWidget m_dialog;
    GObjectPtr<GdkCursor> m_hand;
    GtkWidget* m_fixed = nullptr;
    std::array<GtkWidget*, kOptionsControls.size()> m_widgets{};  // as kOptionsControls; owned by m_dialog
    GtkWidget* m_check1 = nullptr;
    GtkWidget* m_hscroll1 = nullptr;
    GtkWidget* m_label6 = nullptr;
    std::array<GtkWidget*, kSwatchCount> m_swatches{};
    std::array<std::int32_t, kSwatchCount> m_colours{};
    std::vector<GtkWidget*> m_tabStops;
    gulong m_check1Handler = 0;
    // The committed position; while the thumb is dragged the bar shows another.
    std::int16_t m_position = kHScroll1.designPosition;
    Press m_press = Press::None;
    double m_pressX = 0;
    int m_sliderStart = 0, m_sliderEnd = 0;  // where the thumb was when the button went down
};

}  // namespace tg
