#include "platform/gtk/GtkUsageHost.h"

#include "platform/gtk/GtkUsageDialog.h"
#include "usage/frmUsage.h"

namespace tg {

void GtkUsageHost::ShowUsage(const UsageColours& colours) {
    GtkUsageDialog dialog(m_ports.owner, m_ports.desktop);
    ShowUsageDialog(dialog, m_ports.settings, m_ports.calendar, m_ports.log, colours);
}

}  // namespace tg
