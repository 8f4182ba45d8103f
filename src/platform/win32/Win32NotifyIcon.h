#pragma once
// The main window's icon in the notification area, through the shell's Shell_NotifyIconW, and the
// notices given from it. The shell reports the pointer over the icon to the main window as
// kCallbackMessage and its own restart as TaskbarCreatedMessage(); the main window turns the first
// into frmMain's calls and hands the second to Restore.
#include <windows.h>
#include <shellapi.h>

#include <string>
#include <string_view>

#include "ports/NotifyIcon.h"

namespace tg {

class Win32NotifyIcon final : public NotifyIcon {
 public:
    static constexpr UINT kCallbackMessage = WM_APP + 1;
    static constexpr UINT kId = 1;
    // The window the shell keeps the notification area in, while it runs.
    static constexpr const wchar_t* kTrayClass = L"Shell_TrayWnd";

    // `window` is the icon's owner, gets its messages and lends it its small icon; it outlives
    // this. Tests name a shell window that no shell makes.
    explicit Win32NotifyIcon(HWND window, std::wstring trayClass = kTrayClass);
    ~Win32NotifyIcon() override;
    Win32NotifyIcon(const Win32NotifyIcon&) = delete;
    Win32NotifyIcon& operator=(const Win32NotifyIcon&) = delete;

    bool Available() override;
    void Show(bool shown) override;
    // The label has no place in the notification area: only the tooltip shows.
    void SetText(std::string_view tooltip, std::string_view label) override;

    // The shell started again and lost its icons: this one goes back where it showed.
    void Restore();
    // A balloon from the icon; false when the icon is not in the notification area to give it.
    bool Balloon(std::string_view title, std::string_view text) const;

    // What the shell is told: the icon with the parts `flags` names, each text cut to its field.
    NOTIFYICONDATAW Data(UINT flags) const;
    NOTIFYICONDATAW BalloonData(std::string_view title, std::string_view text) const;
    // The message the shell sends every top-level window when it starts.
    static UINT TaskbarCreatedMessage();

 private:
    void Add();

    HWND m_window;
    std::wstring m_trayClass;
    HICON m_icon;         // shared, the window class's: not destroyed here
    std::wstring m_tip;   // the last tooltip, whole
    bool m_shown = false;  // frmMain wants it shown
    bool m_added = false;  // the shell has it
};

// A notice that never holds the program up: a balloon from the icon while it shows; otherwise the
// system's message box, on a thread of its own. A box shown from a message of the main thread could
// be dispatched by the pump a tick runs and hold that tick inside its loop; on its own thread
// nothing of the main window runs inside it, and the ticks, the menu and the dialogs go on.
class Win32Notifier final : public Notifier {
 public:
    explicit Win32Notifier(Win32NotifyIcon& icon) : m_icon(icon) {}
    void Notify(std::string_view title, std::string_view text) override;

 private:
    Win32NotifyIcon& m_icon;
};

}  // namespace tg
