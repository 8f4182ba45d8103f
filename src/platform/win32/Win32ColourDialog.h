#pragma once
// The colour port as the system's colour dialog (ChooseColorW).
#include "ports/OptionsPorts.h"

namespace tg {

class Win32ColourDialog final : public ColourDialog {
 public:
    // Modal over request.owner, an HWND; the custom colours go in and are dropped afterwards.
    bool Choose(ColourRequest& request) override;
};

}  // namespace tg
