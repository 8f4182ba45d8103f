#include "platform/win32/Win32OptionsHost.h"

#include <utility>

#include "appearance/frmOptions.h"
#include "platform/win32/Win32OptionsDialog.h"
#include "settings/SettingsStore.h"

namespace tg {

Win32OptionsHost::Win32OptionsHost(Win32OptionsHostPorts ports, std::string programPath)
    : m_ports(ports), m_programPath(std::move(programPath)) {}

void Win32OptionsHost::ShowOptions(const MainWindowColours& current) {
    Win32OptionsDialog dialog(m_ports.mainWindow.Handle(), m_ports.desktop);
    SettingsStore store(m_ports.settings);
    // The colour dialog is owned by the options window, which frmOptions passes on as its own handle.
    frmOptions options({dialog, m_ports.mainWindow, store, m_ports.registry, m_ports.colours, m_ports.launcher},
                       current, m_programPath, reinterpret_cast<std::uintptr_t>(dialog.Handle()));
    dialog.Attach(options);
    options.Form_Load();
    dialog.ShowModal();
}

}  // namespace tg
