#pragma once
// The program's user interface on Windows: the main window, its message box and dialogs, and the
// thread's message loop.
#include <windows.h>

#include <string>

#include "mainwindow/Program.h"
#include "platform/win32/Win32ColourDialog.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32Launcher.h"
#include "platform/win32/Win32MainWindow.h"
#include "platform/win32/Win32MessageBox.h"
#include "platform/win32/Win32NotifyIcon.h"
#include "platform/win32/Win32OptionsHost.h"
#include "platform/win32/Win32UsageHost.h"
#include "ports/RegistryApi.h"

namespace tg {

class Win32FrontEnd final : public FrontEnd {
 public:
    // The options dialog keeps the Run entry in `registry`, holding `programPath`; the registry
    // outlives the front end.
    Win32FrontEnd(RegistryApi& registry, std::string programPath);

    // False when the system would not make the main window.
    bool Created() const noexcept { return m_window.Handle() != nullptr; }

    FrontEndPorts Ports() override {
        return {m_window, m_window.Picture(), m_desktop, m_messages, m_options, m_usage, &m_icon, &m_notifier};
    }
    void Attach(frmMain& form) override { m_window.Attach(form); }
    int RunMessageLoop() override;

 private:
    Win32Desktop m_desktop;
    Win32MainWindow m_window;
    Win32MessageBox m_messages;
    Win32ColourDialog m_colours;
    Win32Launcher m_launcher;
    Win32OptionsHost m_options;
    Win32UsageHost m_usage;
    Win32NotifyIcon m_icon;  // after the window: it leaves the notification area before the window goes
    Win32Notifier m_notifier;
};

}  // namespace tg
