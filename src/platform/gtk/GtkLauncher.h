#pragma once
// Web addresses open in the desktop's default browser. The call returns at once; a failure is
// not the user's business here, so it is only logged.
#include "platform/ports/OptionsPorts.h"

namespace tg {

class GtkLauncher final : public Launcher {
 public:
    void OpenAddress(std::string_view address) override;
};

}  // namespace tg
