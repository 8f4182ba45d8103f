#include "platform/gtk/GtkUsageHost.h"

#include "platform/gtk/GtkUsageDialog.h"

namespace tg {

void GtkUsageHost::ShowUsage(SettingsBackend& settings, Calendar& calendar, const UsageLog& log,
                             const UsageColours& colours) {
    GtkUsageDialog dialog(m_owner, m_desktop);
    ShowUsageDialog(dialog, settings, calendar, log, colours);
}

}  // namespace tg
