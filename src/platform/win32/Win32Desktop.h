#pragma once
// The screen, the message pump, the pause and the single-instance check on Windows. Geometry is in
// twips, with the twips per pixel of the DPI the main window is shown at.
#include <windows.h>

#include <string>

#include "ports/Desktop.h"
#include "platform/win32/Win32Handles.h"

namespace tg {

class Win32Desktop final : public Desktop {
 public:
    static constexpr const wchar_t* kInstanceName = L"Local\\TideGauge.SingleInstance";

    // `instanceName` names the object that marks a running copy; tests pass their own.
    explicit Win32Desktop(std::wstring instanceName = kInstanceName);

    // From now on the DPI is that of the monitor this window is on.
    void FollowDpiOf(HWND window) noexcept { m_window = window; }
    UINT Dpi() const;

    TwipsRect PrimaryScreen() const override;
    bool MonitorAt(float x, float y, TwipsRect& bounds) const override;
    float TwipsPerPixelX() const override;
    float TwipsPerPixelY() const override;
    void PumpMessages() override;
    void Sleep(std::uint32_t milliseconds) override;
    // The first call of the running copy takes the marker and holds it for the life of the process;
    // later calls of that copy answer false.
    bool AnotherInstanceRunning() override;
    void ExitProcess() override;
    // The foreground window's rectangle against the monitor: a borderless window that covers it
    // counts, a maximised one stops at the taskbar. The desktop, the shell and the main window
    // with the windows it owns never count.
    bool FullScreenActive(const PixelRect& window) override;

 private:
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

    std::wstring m_instanceName;
    KernelHandle m_instance;
    HWND m_window = nullptr;
    UINT m_systemDpi = 96;
    GetDpiForWindowFn m_dpiForWindow = nullptr;
};

}  // namespace tg
