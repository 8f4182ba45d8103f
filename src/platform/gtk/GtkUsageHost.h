#pragma once
// Opens the usage dialog on Linux: a GtkUsageDialog with a frmUsage over it, for as long as the
// user keeps it open.
#include <gtk/gtk.h>

#include "ports/Desktop.h"
#include "usage/frmUsage.h"

namespace tg {

class GtkUsageHost final : public UsageHost {
 public:
    // owner: the main window, the dialog's owner and the source of its icon. Both outlive the host.
    GtkUsageHost(GtkWindow* owner, const Desktop& desktop) : m_owner(owner), m_desktop(desktop) {}
    void ShowUsage(SettingsBackend& settings, Calendar& calendar, const UsageLog& log,
                   const UsageColours& colours) override;

 private:
    GtkWindow* m_owner;
    const Desktop& m_desktop;
};

}  // namespace tg
