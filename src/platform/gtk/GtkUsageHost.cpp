#include "platform/gtk/GtkUsageHost.h"

#include "platform/gtk/GtkUsageDialog.h"
#include "settings/SettingsStore.h"
#include "usage/frmUsage.h"

namespace tg {

void GtkUsageHost::ShowUsage(const UsageColours& colours) {
    GtkUsageDialog dialog(m_ports.owner, m_ports.desktop);
    SettingsStore store(m_ports.settings);
    frmUsage usage({dialog, store, m_ports.calendar}, m_ports.log, colours);
    dialog.Attach(usage);
    usage.Form_Load();
    dialog.ShowModal();
}

}  // namespace tg
