#pragma once
// The options dialog: five colours, the main window's opacity, and start at logon. Every change is
// stored the moment it is made; the main window picks the colours up when the dialog closes.
#include <cstdint>
#include <string>
#include <string_view>

#include "appearance/OptionsLayout.h"
#include "ports/Form.h"
#include "ports/OptionsPorts.h"
#include "ports/RegistryApi.h"
#include "settings/SettingsStore.h"

namespace tg {

// The two web pages of the link labels: Label8 opens the first, the other three the second.
inline constexpr std::string_view kHomePage = "https://tidegauge.example.org/";
inline constexpr std::string_view kSupportPage = "https://tidegauge.example.org/support";

// The opacity is HScroll1's position.
inline constexpr std::int16_t kOpacityMin = kHScroll1.min;
inline constexpr std::int16_t kOpacityMax = kHScroll1.max;
inline constexpr std::int16_t kOpacityDefault = 180;

struct OptionsPortsRefs {
    OptionsDialog& dialog;
    Form& mainWindow;
    SettingsStore& store;
    RegistryApi& registry;
    ColourDialog& colours;
    Launcher& launcher;
};

class frmOptions {
 public:
    // programPath: the value the Run entry holds while the program starts at logon.
    frmOptions(OptionsPortsRefs ports, MainWindowColours current, std::string programPath, std::uintptr_t ownHandle = 0);

    void Form_Load();
    void Check1_Click();
    void HScroll1_Change();
    // A user's action on HScroll1: once it commits a new position, the bar shows it and
    // HScroll1_Change runs.
    void HScroll1_Scroll(ScrollAction action, int thumb = 0);
    void Picture_Click(int n);
    void Label_Click(LinkLabel label);

 private:
    OptionsPortsRefs m_ports;
    MainWindowColours m_current;
    std::string m_programPath;
    std::uintptr_t m_handle;
};

// What the options dialog works on besides its own windows and the main window; it all outlives
// the dialog.
struct OptionsServices {
    RegistryApi& registry;
    Launcher& launcher;
    std::string programPath;  // what the start-at-logon entry runs
};

// The dialog's life, the same on every platform: frmOptions over the front end's windows, loaded,
// then shown until the user closes it. ownHandle: the dialog's own window, which frmOptions hands
// to the colour dialog as its owner where the platform asks for one.
template <typename Window>
void ShowOptionsDialog(Window& dialog, ColourDialog& colours, const OptionsServices& services, Form& mainWindow,
                       SettingsBackend& settings, const MainWindowColours& current, std::uintptr_t ownHandle = 0) {
    SettingsStore store(settings);
    frmOptions options({dialog, mainWindow, store, services.registry, colours, services.launcher}, current,
                       services.programPath, ownHandle);
    dialog.Attach(options);
    options.Form_Load();
    dialog.ShowModal();
}

// "N透明度": the complement of the opacity, 255 - position.
std::string TransparencyReadout(std::int16_t position);

}  // namespace tg
