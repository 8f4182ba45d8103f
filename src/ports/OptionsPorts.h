#pragma once
// What the options dialog and the colour chooser need of the platform.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "ports/Form.h"
#include "ports/SettingsBackend.h"

namespace tg {

// The five colour swatches, Picture1 .. Picture5.
inline constexpr int kSwatchCount = 5;

enum class LinkLabel { Label8, Label9, Label10, Label11 };

// The options window's controls. Setting a control's state from code never runs its handler;
// frmOptions runs the handlers itself where a state change calls for it.
class OptionsDialog {
 public:
    virtual ~OptionsDialog() = default;
    virtual void CopyIconFromMainWindow() = 0;
    virtual void SetCheck1(bool checked) = 0;
    virtual bool Check1() const = 0;
    virtual void SetScrollPosition(std::int16_t position) = 0;
    virtual std::int16_t ScrollPosition() const = 0;
    virtual void SetLabel6(std::string_view text) = 0;
    // n is 1 .. 5.
    virtual void SetSwatchColour(int n, std::int32_t colour) = 0;
    virtual std::int32_t SwatchColour(int n) const = 0;
    // Shows the dialog modally; returns when the user closes it.
    virtual void ShowModal() = 0;
};

// The main window's current colours, the defaults of the swatches whose keys are missing.
struct MainWindowColours {
    std::int32_t pictureBack = 0;  // bgcolor1
    std::int32_t back = 0;         // bgcolor2
    std::int32_t fore = 0;         // bgcolor5
};

// Shows the options dialog modally over `mainWindow`, whose opacity it sets, storing every change
// in `settings`: the front end makes its windows and runs ShowOptionsDialog over them until the
// dialog is closed.
class OptionsHost {
 public:
    virtual ~OptionsHost() = default;
    virtual void ShowOptions(Form& mainWindow, SettingsBackend& settings, const MainWindowColours& current) = 0;
};

// The platform's colour dialog, with the fields of its request that the program sets.
struct ColourRequest {
    std::uintptr_t owner = 0;
    std::int32_t rgbResult = 0;                  // in: the colour selected at first; out: the choice
    std::array<std::int32_t, 16> customColours{};  // the custom colour slots, made for this call
    std::uint32_t flags = 0;
};

class ColourDialog {
 public:
    static constexpr std::uint32_t kRgbInit = 1;  // open at rgbResult
    virtual ~ColourDialog() = default;
    // True when the user confirmed a colour; false on cancel or failure.
    virtual bool Choose(ColourRequest& request) = 0;
};

// Opens a web address in the desktop's browser without waiting for it.
class Launcher {
 public:
    virtual ~Launcher() = default;
    virtual void OpenAddress(std::string_view address) = 0;
};

}  // namespace tg
