#include "usage/frmUsage.h"

#include "common/Amounts.h"
#include "usage/UsageChart.h"
#include "usage/UsageSummary.h"

namespace tg {

namespace {

std::uint64_t AmountOf(const Usage& usage, UsageColumn column) {
    switch (column) {
        case UsageColumn::Received: return usage.received;
        case UsageColumn::Sent: return usage.sent;
        case UsageColumn::Total: break;
    }
    return usage.Total();
}

}  // namespace

frmUsage::frmUsage(UsagePortsRefs ports, const UsageLog& log, UsageColours colours)
    : m_ports(ports), m_log(log), m_colours(colours) {}

// A stored value out of a spin button's range shows and means its design value (the 1st, no
// limit); it is left as it is until the user picks another.
void frmUsage::Form_Load() {
    m_ports.dialog.CopyIconFromMainWindow();
    for (Spin& spin : m_spins) {
        const SpinRange& range = kUsageControls[spin.control].spin;
        spin.value = WholeNumberIn(m_ports.store.Read(spin.key), range.min, range.max).value_or(range.designValue);
        m_ports.dialog.SetSpinValue(spin.control, spin.value);
    }
    Refresh();
}

void frmUsage::Timer1_Timer() { Refresh(); }

frmUsage::Spin* frmUsage::SpinAt(std::size_t control) {
    for (Spin& spin : m_spins)
        if (spin.control == control) return &spin;
    return nullptr;
}

void frmUsage::Spin_Change(std::size_t control) {
    Spin* spin = SpinAt(control);
    if (spin == nullptr) return;
    const SpinRange& range = kUsageControls[control].spin;
    const int value = m_ports.dialog.SpinValue(control);
    if (value < range.min || value > range.max) {
        m_ports.dialog.SetSpinValue(control, spin->value);
        return;
    }
    Take(*spin, value);
}

void frmUsage::Spin_Typed(std::size_t control, std::string_view text) {
    Spin* spin = SpinAt(control);
    if (spin == nullptr) return;
    const SpinRange& range = kUsageControls[control].spin;
    const std::optional<int> value = WholeNumberIn(text, range.min, range.max);
    m_ports.dialog.SetSpinValue(control, value.value_or(spin->value));
    if (value) Take(*spin, *value);
}

void frmUsage::Take(Spin& spin, int value) {
    if (value == spin.value) return;
    spin.value = value;
    m_ports.store.Write(spin.key, value);
    Refresh();
}

void frmUsage::Refresh() {
    const UsageSummary summary = Summarize(m_log, m_ports.calendar.Today(), m_spins.front().value);
    for (std::size_t i = 0; i < kUsageControls.size(); ++i) {
        const UsageControl& c = kUsageControls[i];
        std::string text;
        if (c.kind == UsageControlKind::Amount)
            text = AmountText(DisplayUnit::Bytes, AmountOf(summary.lines[static_cast<std::size_t>(c.line)].usage, c.column));
        else if (c.kind == UsageControlKind::DayLabel)
            text = summary.bars[static_cast<std::size_t>(c.bar)].label;
        else
            continue;
        if (text == m_texts[i]) continue;
        m_ports.dialog.SetText(i, text);
        m_texts[i] = std::move(text);
    }
    DrawUsageChart(m_ports.dialog.Chart(), summary, m_colours);
}

}  // namespace tg
