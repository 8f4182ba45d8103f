#pragma once
// Opens the options dialog on Windows: a Win32OptionsDialog over the main window with a frmOptions
// over it, for as long as the user keeps it open.
#include <string>

#include "ports/OptionsPorts.h"
#include "ports/RegistryApi.h"
#include "ports/SettingsBackend.h"
#include "platform/win32/Win32Desktop.h"
#include "platform/win32/Win32MainWindow.h"

namespace tg {

// What the dialog works on; everything outlives the host.
struct Win32OptionsHostPorts {
    Win32MainWindow& mainWindow;  // the dialog's owner, the source of its icon, takes the transparency
    const Win32Desktop& desktop;
    SettingsBackend& settings;
    RegistryApi& registry;
    ColourDialog& colours;
    Launcher& launcher;
};

class Win32OptionsHost final : public OptionsHost {
 public:
    // programPath: what the Run entry holds while the program starts at logon.
    Win32OptionsHost(Win32OptionsHostPorts ports, std::string programPath);
    void ShowOptions(const MainWindowColours& current) override;

 private:
    Win32OptionsHostPorts m_ports;
    std::string m_programPath;
};

}  // namespace tg
