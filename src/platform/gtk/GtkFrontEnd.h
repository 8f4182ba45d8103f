#pragma once
// The program's user interface on Linux: the GTK main window, its message box and dialogs, its
// icon in the notification area, the desktop's notifications, and GTK's main loop. Needs GTK
// initialised.
#include <string>

#include "mainwindow/Program.h"
#include "platform/gtk/GtkDesktop.h"
#include "platform/gtk/GtkLauncher.h"
#include "platform/gtk/GtkMainWindow.h"
#include "platform/gtk/GtkMessageBox.h"
#include "platform/gtk/GtkNotifier.h"
#include "platform/gtk/GtkNotifyIcon.h"
#include "platform/gtk/GtkOptionsHost.h"
#include "platform/gtk/GtkStartEnvironment.h"
#include "platform/gtk/GtkUsageHost.h"
#include "ports/RegistryApi.h"

namespace tg {

class GtkFrontEnd final : public FrontEnd {
 public:
    // The options dialog keeps the start-at-login entry in `registry`, running `programPath`; the
    // browser its links open gets the environment without what `environment` set. Both outlive
    // the front end.
    GtkFrontEnd(const GtkStartEnvironment& environment, RegistryApi& registry, std::string programPath);

    FrontEndPorts Ports() override {
        return {m_window, m_window.Picture(), m_desktop, m_messages, m_options, m_usage, &m_icon, &m_notifier};
    }
    void Attach(frmMain& form) override;
    int RunMessageLoop() override;

 private:
    GtkDesktop m_desktop;
    GtkMainWindow m_window;
    GtkMessageBox m_messages;
    GtkLauncher m_launcher;
    GtkOptionsHost m_options;
    GtkUsageHost m_usage;
    GtkNotifier m_notifier;
    GtkNotifyIcon m_icon;  // it shows the window's menu: gone before the window
};

}  // namespace tg
