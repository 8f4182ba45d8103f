#pragma once
// The usage dialog (流量统计): what the counted interfaces moved today, yesterday, in this period of
// the data plan and in the last one, a chart of the last thirty days, the day of the month a period
// starts on and the plan's limit. The totals and the chart follow the log while the dialog is open;
// each spin button's value is stored the moment it changes.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "ports/Calendar.h"
#include "ports/UsagePorts.h"
#include "settings/SettingsStore.h"
#include "usage/UsageLayout.h"
#include "usage/UsageLog.h"

namespace tg {

struct UsagePortsRefs {
    UsageDialog& dialog;
    SettingsStore& store;
    Calendar& calendar;
};

class frmUsage {
 public:
    // `log` is the recorder's, read at every refresh; it outlives the dialog.
    frmUsage(UsagePortsRefs ports, const UsageLog& log, UsageColours colours);

    void Form_Load();
    // Once every kUsageRefreshMilliseconds while the dialog is open.
    void Timer1_Timer();
    // The user stepped the spin button at `control` (an arrow, a key, the wheel): it shows the new value.
    void Spin_Change(std::size_t control);
    // The user committed what they typed into the spin button at `control` (Enter, leaving it, an
    // arrow): a whole number in its range is taken; anything else is refused and the spin button
    // shows the value kept.
    void Spin_Typed(std::size_t control, std::string_view text);

 private:
    struct Spin {
        std::size_t control;
        const SettingKey& key;
        int value;  // as shown and meant
    };
    Spin* SpinAt(std::size_t control);
    void Take(Spin& spin, int value);
    void Refresh();

    UsagePortsRefs m_ports;
    const UsageLog& m_log;
    UsageColours m_colours;
    // The period's first day first: the totals' periods follow it.
    std::array<Spin, 2> m_spins = {{{kPeriodStartControl, keys::periodstart, kPeriodStartSpin.designValue},
                                    {kQuotaControl, keys::quota, kQuotaSpin.designValue}}};
    std::array<std::string, kUsageControls.size()> m_texts;  // as shown, so unchanged texts are not set again
};

// The dialog's life, the same on every platform: frmUsage over the front end's window, loaded, then
// shown until the user closes it.
template <typename Window>
void ShowUsageDialog(Window& dialog, SettingsBackend& settings, Calendar& calendar, const UsageLog& log,
                     const UsageColours& colours) {
    SettingsStore store(settings);
    frmUsage usage({dialog, store, calendar}, log, colours);
    dialog.Attach(usage);
    usage.Form_Load();
    dialog.ShowModal();
}

// Shows the usage dialog modally over the main window: the front end makes its window and runs
// ShowUsageDialog over it. `log` is the recorder's, growing while the dialog is open.
class UsageHost {
 public:
    virtual ~UsageHost() = default;
    virtual void ShowUsage(SettingsBackend& settings, Calendar& calendar, const UsageLog& log,
                           const UsageColours& colours) = 0;
};

}  // namespace tg
