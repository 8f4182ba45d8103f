#pragma once
// Opens the usage dialog on Linux: a GtkUsageDialog with a frmUsage over it, for as long as the
// user keeps it open.
#include <gtk/gtk.h>

#include "ports/Calendar.h"
#include "ports/Desktop.h"
#include "ports/SettingsBackend.h"
#include "ports/UsagePorts.h"
#include "usage/UsageLog.h"

namespace tg {

// What the dialog works on; everything outlives the host.
struct GtkUsageHostPorts {
    GtkWindow* owner;  // the main window: the dialog's owner and the source of its icon
    const Desktop& desktop;
    SettingsBackend& settings;
    Calendar& calendar;
    const UsageLog& log;  // the recorder's, growing while the dialog is open
};

class GtkUsageHost final : public UsageHost {
 public:
    explicit GtkUsageHost(GtkUsageHostPorts ports) : m_ports(ports) {}
    void ShowUsage(const UsageColours& colours) override;

 private:
    GtkUsageHostPorts m_ports;
};

}  // namespace tg
