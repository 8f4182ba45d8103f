#pragma once
// Opens the usage dialog on Windows: a Win32UsageDialog over the main window with a frmUsage over
// it, for as long as the user keeps it open.
#include <windows.h>

#include "platform/win32/Win32Desktop.h"
#include "usage/frmUsage.h"

namespace tg {

class Win32UsageHost final : public UsageHost {
 public:
    // owner: the main window, the dialog's owner and the source of its icon. Both outlive the host.
    Win32UsageHost(HWND owner, const Win32Desktop& desktop) : m_owner(owner), m_desktop(desktop) {}
    void ShowUsage(SettingsBackend& settings, Calendar& calendar, const UsageLog& log,
                   const UsageColours& colours) override;

 private:
    HWND m_owner;
    const Win32Desktop& m_desktop;
};

}  // namespace tg
