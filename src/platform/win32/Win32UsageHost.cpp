#include "platform/win32/Win32UsageHost.h"

#include "platform/win32/Win32UsageDialog.h"

namespace tg {

void Win32UsageHost::ShowUsage(SettingsBackend& settings, Calendar& calendar, const UsageLog& log,
                               const UsageColours& colours) {
    Win32UsageDialog dialog(m_owner, m_desktop);
    ShowUsageDialog(dialog, settings, calendar, log, colours);
}

}  // namespace tg
