#include "platform/gtk/GtkOptionsHost.h"

#include "platform/gtk/GtkColourDialog.h"
#include "platform/gtk/GtkOptionsDialog.h"

namespace tg {

void GtkOptionsHost::ShowOptions(Form& mainWindow, SettingsBackend& settings, const MainWindowColours& current) {
    GtkOptionsDialog dialog(m_owner, m_desktop);
    GtkColourDialog colours(dialog.Window());
    ShowOptionsDialog(dialog, colours, m_services, mainWindow, settings, current);
}

std::string RunningProgramPath() {
    g_autofree gchar* path = g_file_read_link("/proc/self/exe", nullptr);
    return path ? std::string(path) : std::string();
}

}  // namespace tg
