#include "platform/gtk/GtkOptionsHost.h"

#include <utility>

#include "appearance/frmOptions.h"
#include "platform/gtk/GtkColourDialog.h"
#include "platform/gtk/GtkOptionsDialog.h"
#include "settings/SettingsStore.h"

namespace tg {

GtkOptionsHost::GtkOptionsHost(GtkOptionsHostPorts ports, std::string programPath)
    : m_ports(ports), m_programPath(std::move(programPath)) {}

void GtkOptionsHost::ShowOptions(const MainWindowColours& current) {
    GtkOptionsDialog dialog(m_ports.mainGtkWindow, m_ports.desktop);
    GtkColourDialog colours(dialog.Window());
    SettingsStore store(m_ports.settings);
    frmOptions options({dialog, m_ports.mainWindow, store, m_ports.registry, colours, m_ports.launcher}, current,
                       m_programPath);
    dialog.Attach(options);
    options.Form_Load();
    dialog.ShowModal();
}

std::string RunningProgramPath() {
    g_autofree gchar* path = g_file_read_link("/proc/self/exe", nullptr);
    return path ? std::string(path) : std::string();
}

}  // namespace tg
