#pragma once
// Opens the options dialog on Windows: a Win32OptionsDialog over the main window with a frmOptions
// over it, for as long as the user keeps it open.
#include <windows.h>

#include <utility>

#include "appearance/frmOptions.h"
#include "ports/OptionsPorts.h"
#include "platform/win32/Win32Desktop.h"

namespace tg {

class Win32OptionsHost final : public OptionsHost {
 public:
    // owner: the main window, the dialog's owner and the source of its icon. Everything outlives
    // the host.
    Win32OptionsHost(HWND owner, const Win32Desktop& desktop, ColourDialog& colours, OptionsServices services)
        : m_owner(owner), m_desktop(desktop), m_colours(colours), m_services(std::move(services)) {}
    void ShowOptions(Form& mainWindow, SettingsBackend& settings, const MainWindowColours& current) override;

 private:
    HWND m_owner;
    const Win32Desktop& m_desktop;
    ColourDialog& m_colours;
    OptionsServices m_services;
};

}  // namespace tg
