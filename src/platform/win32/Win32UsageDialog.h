#pragma once
// frmUsage's window on Windows: a fixed-size captioned window, owned by the main window, built from
// the portable description of its controls, each placed in twips converted with the real twips per
// pixel. The chart is the portable picture in a memory DC, painted into an owner-drawn static; the
// spin buttons are each an edit with an up-down control beside it. It only translates: the arrows, what is
// typed and the refresh timer become calls of frmUsage's handlers.
#include <windows.h>

#include <array>
#include <string_view>

#include "ports/UsagePorts.h"
#include "usage/UsageLayout.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Handles.h"
#include "platform/win32/Win32Picture.h"

namespace tg {

class frmUsage;

class Win32UsageDialog final : public UsageDialog {
 public:
    // Makes the window, hidden, centred on the screen; `owner` and `desktop` outlive it.
    Win32UsageDialog(HWND owner, const Win32Desktop& desktop);
    ~Win32UsageDialog() override;
    Win32UsageDialog(const Win32UsageDialog&) = delete;
    Win32UsageDialog& operator=(const Win32UsageDialog&) = delete;

    // The handlers the controls' events go to; none before this is called.
    void Attach(frmUsage& handlers) noexcept { m_handlers = &handlers; }

    HWND Handle() const noexcept { return m_window.get(); }
    // The control of that name ("TodayReceived", "Chart", "PeriodStart": the spin's edit), or null.
    HWND Control(std::string_view name) const;
    // The arrows and the edit of the spin button at `control` in kUsageControls.
    HWND UpDown(std::size_t control = kPeriodStartControl) const;
    HWND Edit(std::size_t control) const;

    void CopyIconFromMainWindow() override;
    void SetText(std::size_t control, std::string_view text) override;
    ChartPicture Chart() override;
    void SetSpinValue(std::size_t control, int value) override;
    int SpinValue(std::size_t control) const override;
    // Runs a message loop of its own, the owner disabled and the refresh timer running, until the
    // user closes the window.
    void ShowModal() override;

 private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void MakeControls(float tpp, UINT dpi);
    void OnCommand(UINT id, UINT code);
    void CommitTyped(std::size_t control);
    void OnStepped(std::size_t control);
    void EndModal();

    HWND m_owner;
    frmUsage* m_handlers = nullptr;
    GdiObject<HFONT> m_font;
    Win32Picture m_chart;
    HWND m_chartControl = nullptr;
    // What each spin button shows, when nothing typed is pending.
    std::array<int, kUsageControls.size()> m_values{};
    bool m_modal = false;
    WindowHandle m_window;  // last: its children go with it before the font and the picture
};

}  // namespace tg
