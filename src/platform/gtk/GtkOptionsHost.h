#pragma once
// Opens the options dialog on Linux: a GtkOptionsDialog with a frmOptions over it, for as long as
// the user keeps it open.
#include <gtk/gtk.h>

#include <string>

#include "ports/Desktop.h"
#include "ports/Form.h"
#include "ports/OptionsPorts.h"
#include "ports/RegistryApi.h"
#include "ports/SettingsBackend.h"

namespace tg {

// What the dialog works on; everything outlives the host.
struct GtkOptionsHostPorts {
    Form& mainWindow;          // takes the transparency
    GtkWindow* mainGtkWindow;  // the same window: the dialog's owner and the source of its icon
    const Desktop& desktop;
    SettingsBackend& settings;
    RegistryApi& registry;
    Launcher& launcher;
};

class GtkOptionsHost final : public OptionsHost {
 public:
    // programPath: what the start-at-login entry runs.
    GtkOptionsHost(GtkOptionsHostPorts ports, std::string programPath);
    void ShowOptions(const MainWindowColours& current) override;

 private:
    GtkOptionsHostPorts m_ports;
    std::string m_programPath;
};

// The absolute path of the running program, symbolic links resolved; empty when the system does
// not tell.
std::string RunningProgramPath();

}  // namespace tg
