#pragma once
// Web addresses open in the desktop's default browser. The call returns at once; a failure is
// not the user's business here, so it is only logged.
#include "platform/gtk/GtkStartEnvironment.h"
#include "ports/OptionsPorts.h"

namespace tg {

class GtkLauncher final : public Launcher {
 public:
    // The browser gets the environment without what `environment` set for our own GTK.
    explicit GtkLauncher(const GtkStartEnvironment& environment) : m_environment(environment) {}
    void OpenAddress(std::string_view address) override;

 private:
    const GtkStartEnvironment& m_environment;
};

}  // namespace tg
