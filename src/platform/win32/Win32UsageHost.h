#pragma once
// Opens the usage dialog on Windows: a Win32UsageDialog over the main window with a frmUsage over
// it, for as long as the user keeps it open.
#include <windows.h>

#include "ports/Calendar.h"
#include "ports/SettingsBackend.h"
#include "ports/UsagePorts.h"
#include "platform/win32/Win32Desktop.h"
#include "usage/UsageLog.h"

namespace tg {

// What the dialog works on; everything outlives the host.
struct Win32UsageHostPorts {
    HWND owner;  // the main window: the dialog's owner and the source of its icon
    const Win32Desktop& desktop;
    SettingsBackend& settings;
    Calendar& calendar;
    const UsageLog& log;  // the recorder's, growing while the dialog is open
};

class Win32UsageHost final : public UsageHost {
 public:
    explicit Win32UsageHost(Win32UsageHostPorts ports) : m_ports(ports) {}
    void ShowUsage(const UsageColours& colours) override;

 private:
    Win32UsageHostPorts m_ports;
};

}  // namespace tg
