#include "platform/win32/Win32OptionsHost.h"

#include "platform/win32/Win32OptionsDialog.h"

namespace tg {

void Win32OptionsHost::ShowOptions(Form& mainWindow, SettingsBackend& settings, const MainWindowColours& current) {
    Win32OptionsDialog dialog(m_owner, m_desktop);
    // The colour dialog is owned by the options window, which frmOptions passes on as its own handle.
    ShowOptionsDialog(dialog, m_colours, m_services, mainWindow, settings, current,
                      reinterpret_cast<std::uintptr_t>(dialog.Handle()));
}

}  // namespace tg
