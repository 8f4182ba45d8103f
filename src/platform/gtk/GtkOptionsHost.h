#pragma once
// Opens the options dialog on Linux: a GtkOptionsDialog with its colour chooser, and frmOptions
// over them, for as long as the user keeps it open.
#include <gtk/gtk.h>

#include <string>
#include <utility>

#include "appearance/frmOptions.h"
#include "ports/Desktop.h"
#include "ports/OptionsPorts.h"

namespace tg {

class GtkOptionsHost final : public OptionsHost {
 public:
    // owner: the main window, the dialog's owner and the source of its icon. Everything outlives
    // the host.
    GtkOptionsHost(GtkWindow* owner, const Desktop& desktop, OptionsServices services)
        : m_owner(owner), m_desktop(desktop), m_services(std::move(services)) {}
    void ShowOptions(Form& mainWindow, SettingsBackend& settings, const MainWindowColours& current) override;

 private:
    GtkWindow* m_owner;
    const Desktop& m_desktop;
    OptionsServices m_services;
};

// The absolute path of the running program, symbolic links resolved; empty when the system does
// not tell.
std::string RunningProgramPath();

}  // namespace tg
