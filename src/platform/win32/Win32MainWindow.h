#pragma once
// frmMain's window on Windows: a borderless popup whose client area shows the window's back colour,
// the picture Picture2 and the three read-outs. It only translates: window messages become calls
// of frmMain's handlers, and the Form port's calls become Win32 calls, with twips converted by the
// twips per pixel of the window's DPI.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <memory>
#include <string>

#include "ports/Form.h"
#include "platform/win32/Win32ContextMenu.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Picture.h"

namespace tg {

class frmMain;
class Win32NotifyIcon;

class Win32MainWindow final : public Form {
 public:
    static constexpr UINT_PTR kTimer2 = 2;

    // Makes the window, hidden, at the design size; `desktop` outlives it and follows its DPI.
    explicit Win32MainWindow(Win32Desktop& desktop);
    ~Win32MainWindow() override;
    Win32MainWindow(const Win32MainWindow&) = delete;
    Win32MainWindow& operator=(const Win32MainWindow&) = delete;

    // The handlers the window's messages go to; none before this is called.
    void Attach(frmMain& handlers) noexcept { m_handlers = &handlers; }

    // The notification-area icon the shell reports to this window, put back when the shell restarts.
    void SetNotifyIcon(Win32NotifyIcon* icon) noexcept { m_icon = icon; }

    HWND Handle() const noexcept { return m_window.get(); }
    Win32Picture& Picture() noexcept { return m_picture; }

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
    void SetMenuEnabled(MenuItem item, bool enabled, std::string_view why) override;
    void RelabelMenu() override { m_menu.Relabel(); }
    void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries) override { m_menu.SetInterfaceItems(entries); }
    void RefreshTooltip() override;
    void HideTooltip() override;
    void PopupMenu() override;
    // The tooltip control over the window, for tests.
    HWND Tooltip() const noexcept { return m_tooltip.get(); }
    void Close() override;

 private:
    struct Label {
        std::wstring text;
        float left = 0, top = 0;  // twips
        bool visible = true;
        COLORREF colour = 0;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnPaint(HWND window);
    void MakeTooltip(HINSTANCE instance);
    bool OnTooltipNotice(NMHDR& header);
    void OnTooltipText(NMTTDISPINFOW& info);
    void OnPlaced(HWND window);
    void OnDpiChanged(const RECT& suggested);
    void Command(UINT id) const;
    void OnIconMessage(UINT mouse);

    float Tpp() const { return m_desktop.TwipsPerPixelX(); }
    PixelRect ToPixels(const TwipsRect& twips) const;
    void Place(const PixelRect& pixels, HWND after, UINT flags) const;
    void Invalidate();
    void Refresh();
    void DrawLabels(HDC dc) const;
    Label& LabelFor(LabelId label) { return m_labels[static_cast<std::size_t>(label)]; }
    const Label& LabelFor(LabelId label) const { return m_labels[static_cast<std::size_t>(label)]; }

    Win32Desktop& m_desktop;
    frmMain* m_handlers = nullptr;
    Win32NotifyIcon* m_icon = nullptr;
    Win32Picture m_picture;
    Win32ContextMenu m_menu;
    std::array<Label, 3> m_labels;
    GdiObject<HFONT> m_font;
    GdiObject<HBRUSH> m_backBrush;
    MemoryDc m_measureDc;                  // measures the read-outs' text
    std::unique_ptr<MemoryBitmap> m_back;  // the paint's back buffer, the client area's size

    TwipsRect m_bounds;        // what frmMain set last, or where the system put the window
    PixelRect m_surfacePixels;  // Picture2 inside the window, with the picture's size
    HCURSOR m_cursor = nullptr;
    std::wstring m_tooltipText;  // what the tooltip shows, until it asks again
    WindowHandle m_window;  // it goes before everything its messages use
    // Not owned by the window: under Wine an owned popup takes the owner's place in the topmost
    // band, so making the window topmost would leave it below the tooltip and unflagged.
    // Declared last so that it goes first and unhooks itself from a live window.
    WindowHandle m_tooltip;
};

}  // namespace tg
