#include "platform/win32/Win32UsageHost.h"

#include "platform/win32/Win32UsageDialog.h"
#include "usage/frmUsage.h"

namespace tg {

void Win32UsageHost::ShowUsage(const UsageColours& colours) {
    Win32UsageDialog dialog(m_ports.owner, m_ports.desktop);
    ShowUsageDialog(dialog, m_ports.settings, m_ports.calendar, m_ports.log, colours);
}

}  // namespace tg
