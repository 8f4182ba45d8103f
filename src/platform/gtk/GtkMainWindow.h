#pragma once
// frmMain's window on Linux: an undecorated GtkWindow whose one drawing area shows the window's
// back colour, the picture Picture2 and the three read-outs. It only translates: GTK's events
// become calls of frmMain's handlers, and the Form port's calls become GTK calls, with twips
// converted by the screen's twips per pixel.
#include <gtk/gtk.h>

#include <array>
#include <memory>
#include <string_view>

#include "platform/gtk/CairoPicture.h"
#include "platform/gtk/ContextMenu.h"
#include "platform/gtk/GObjectPtr.h"
#include "platform/gtk/QuitSignals.h"
#include "platform/gtk/ShapedText.h"
#include "ports/Desktop.h"
#include "ports/Form.h"

namespace tg {

class frmMain;

class GtkMainWindow final : public Form {
 public:
    // `desktop` gives the twips per pixel; it outlives the window.
    explicit GtkMainWindow(const Desktop& desktop);
    ~GtkMainWindow() override;
    GtkMainWindow(const GtkMainWindow&) = delete;
    GtkMainWindow& operator=(const GtkMainWindow&) = delete;

    // The handlers the window's events go to; none before this is called.
    void Attach(frmMain& handlers) { m_handlers = &handlers; }

    // Picture2, the surface port.
    CairoPicture& Picture() noexcept { return m_picture; }
    GtkWindow* Window() const noexcept { return GTK_WINDOW(m_window.get()); }
    // How many times the window's contents were painted, by GTK or at the end of a tick.
    int Paints() const noexcept { return m_paints; }
    ContextMenu& Menu() noexcept { return m_menu; }

    TwipsRect Bounds() const override { return m_bounds; }
    void Move(const TwipsRect& bounds) override;
    void Adopt(const TwipsRect& bounds) override;
    void PlaceSurface(const TwipsRect& bounds, const PixelRect& pixels) override;
    PixelRect ScreenPixels() const override;
    void Repaint() override;
    void Show() override;
    void Hide() override;
    void SetClickThrough(bool through) override;
    void MakeTopmost(const PixelRect& pixels) override;
    void SetStacking(bool topmost, const PixelRect& place) override;
    void SetAlpha(std::uint8_t level) override;
    void SetBackColour(std::int32_t colour) override;
    void SetLabelText(LabelId label, std::string_view text) override;
    void SetLabelPosition(LabelId label, float left, float top) override;
    void SetLabelVisible(LabelId label, bool visible) override;
    void SetLabelColour(LabelId label, std::int32_t colour) override;
    float LabelWidth(LabelId label) const override;
    void SetCursor(Cursor cursor) override;
    void CapturePointer(bool captured) override;
    void SetTimerEnabled(bool enabled) override;
    void SetMenuChecked(MenuItem item, bool checked) override { m_menu.SetChecked(item, checked); }
    bool MenuChecked(MenuItem item) const override { return m_menu.Checked(item); }
    void SetMenuEnabled(MenuItem item, bool enabled, std::string_view why) override {
        m_menu.SetEnabled(item, enabled, why);
    }
    void RelabelMenu() override { m_menu.Relabel(); }
    void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries) override { m_menu.SetInterfaceItems(entries); }
    void RefreshTooltip() override;
    void HideTooltip() override;
    void PopupMenu() override { m_menu.Popup(); }
    void Close() override;

 private:
    struct Label {
        std::unique_ptr<ShapedText> text;
        float left = 0, top = 0;  // twips
        bool visible = true;
        std::int32_t colour = 0;
    };

    float Tpp() const { return m_desktop.TwipsPerPixelX(); }
    PixelRect ToPixels(const TwipsRect& twips) const;
    void Place(const PixelRect& pixels);
    void Redraw();
    void Paint(cairo_t* cr);
    Label& LabelFor(LabelId label) { return m_labels[static_cast<std::size_t>(label)]; }
    const Label& LabelFor(LabelId label) const { return m_labels[static_cast<std::size_t>(label)]; }
    void Command(MenuItem item);
    void PickInterface(std::size_t position);

    static gboolean OnDraw(GtkWidget* widget, cairo_t* cr, gpointer p);
    static gboolean OnButtonPress(GtkWidget* widget, GdkEventButton* event, gpointer p);
    static gboolean OnQueryTooltip(GtkWidget* widget, gint x, gint y, gboolean keyboard, GtkTooltip* tooltip,
                                   gpointer p);
    static gboolean OnLeave(GtkWidget* widget, GdkEventCrossing* event, gpointer p);
    static gboolean OnButtonRelease(GtkWidget* widget, GdkEventButton* event, gpointer p);
    static gboolean OnMotion(GtkWidget* widget, GdkEventMotion* event, gpointer p);
    static gboolean OnConfigure(GtkWidget* widget, GdkEventConfigure* event, gpointer p);
    static gboolean OnDelete(GtkWidget* widget, GdkEvent* event, gpointer p);
    static gboolean OnTimer(gpointer p);

    const Desktop& m_desktop;
    frmMain* m_handlers = nullptr;
    OwnedWidget m_window;
    GtkWidget* m_area = nullptr;  // owned by m_window
    CairoPicture m_picture;
    ContextMenu m_menu;
    std::array<Label, 3> m_labels;
    FontDescriptionPtr m_font;
    GObjectPtr<GdkCursor> m_sizeCursor;
    QuitSignals m_quitSignals;  // a session that ends, or a terminal that hangs up, closes the window

    TwipsRect m_bounds;        // what Move last set, or where the window manager put the window
    PixelRect m_surfacePixels;  // Picture2 inside the window, with the picture's size
    std::int32_t m_backColour = 0;
    std::uint8_t m_alpha = 255;
    guint m_timer = 0;
    int m_paints = 0;
};

}  // namespace tg
