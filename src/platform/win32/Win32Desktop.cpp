#include "platform/win32/Win32Desktop.h"

#include <array>
#include <cmath>

#include "platform/win32/Win32Dpi.h"

namespace tg {

namespace {

constexpr float kTwipsPerInch = 1440;

bool IsDesktopOrShell(HWND window) {
    if (window == GetDesktopWindow() || window == GetShellWindow()) return true;
    std::array<wchar_t, 16> name{};
    GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    return _wcsicmp(name.data(), L"Progman") == 0 || _wcsicmp(name.data(), L"WorkerW") == 0;
}

}  // namespace

Win32Desktop::Win32Desktop(std::wstring instanceName)
    : m_instanceName(std::move(instanceName)), m_systemDpi(SystemDpi()), m_dpiForWindow(DpiForWindowEntryPoint()) {}

UINT Win32Desktop::Dpi() const {
    if (m_window != nullptr && m_dpiForWindow != nullptr && IsWindow(m_window)) {
        if (const UINT dpi = m_dpiForWindow(m_window); dpi != 0) return dpi;
    }
    return m_systemDpi;
}

float Win32Desktop::TwipsPerPixelX() const { return kTwipsPerInch / static_cast<float>(Dpi()); }
float Win32Desktop::TwipsPerPixelY() const { return kTwipsPerInch / static_cast<float>(Dpi()); }

TwipsRect Win32Desktop::PrimaryScreen() const {
    const float tpp = TwipsPerPixelX();
    return {0, 0, static_cast<float>(GetSystemMetrics(SM_CXSCREEN)) * tpp,
            static_cast<float>(GetSystemMetrics(SM_CYSCREEN)) * tpp};
}

bool Win32Desktop::MonitorAt(float x, float y, TwipsRect& bounds) const {
    const float tpp = TwipsPerPixelX();
    // The pixel that holds the point: a point a little left of the screen is off it.
    const POINT at{static_cast<LONG>(std::floor(x / tpp)), static_cast<LONG>(std::floor(y / tpp))};
    const HMONITOR monitor = MonitorFromPoint(at, MONITOR_DEFAULTTONULL);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == nullptr || !GetMonitorInfoW(monitor, &info)) return false;
    const RECT& r = info.rcMonitor;
    bounds = {static_cast<float>(r.left) * tpp, static_cast<float>(r.top) * tpp,
              static_cast<float>(r.right - r.left) * tpp, static_cast<float>(r.bottom - r.top) * tpp};
    return true;
}

// A WM_QUIT met here belongs to the main loop, which is not the one running: it goes back on the
// queue, and the pump stops so the code that called it can return to that loop.
void Win32Desktop::PumpMessages() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

bool Win32Desktop::FullScreenActive(const PixelRect& window) {
    const HWND active = GetForegroundWindow();
    if (active == nullptr || !IsWindowVisible(active) || IsIconic(active) || IsDesktopOrShell(active)) return false;
    if (m_window != nullptr && GetAncestor(active, GA_ROOTOWNER) == GetAncestor(m_window, GA_ROOTOWNER)) return false;
    const POINT centre{window.x + window.cx / 2, window.y + window.cy / 2};
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT r{};
    if (!GetMonitorInfoW(MonitorFromPoint(centre, MONITOR_DEFAULTTONEAREST), &info) || !GetWindowRect(active, &r))
        return false;
    const RECT& m = info.rcMonitor;
    return r.left <= m.left && r.top <= m.top && r.right >= m.right && r.bottom >= m.bottom;
}

void Win32Desktop::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

bool Win32Desktop::AnotherInstanceRunning() {
    if (m_instance) return false;
    KernelHandle marker(CreateMutexW(nullptr, FALSE, m_instanceName.c_str()));
    if (!marker) return false;  // without a marker the copy runs rather than not at all
    if (GetLastError() == ERROR_ALREADY_EXISTS) return true;
    m_instance = std::move(marker);
    return false;
}

void Win32Desktop::ExitProcess() { ::ExitProcess(0); }

}  // namespace tg
