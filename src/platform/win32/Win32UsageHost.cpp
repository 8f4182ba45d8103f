#include "platform/win32/Win32UsageHost.h"

#include "platform/win32/Win32UsageDialog.h"
#include "settings/SettingsStore.h"
#include "usage/frmUsage.h"

namespace tg {

void Win32UsageHost::ShowUsage(const UsageColours& colours) {
    Win32UsageDialog dialog(m_ports.owner, m_ports.desktop);
    SettingsStore store(m_ports.settings);
    frmUsage usage({dialog, store, m_ports.calendar}, m_ports.log, colours);
    dialog.Attach(usage);
    usage.Form_Load();
    dialog.ShowModal();
}

}  // namespace tg
