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

// A stored day that is no period's first day shows and means the first of the month; it is left
// as it is until the user picks another.
void frmUsage::Form_Load() {
    m_ports.dialog.CopyIconFromMainWindow();
    m_periodStart = PeriodStartFromText(m_ports.store.Read(keys::periodstart));
    m_ports.dialog.SetSpinValue(m_periodStart);
    Refresh();
}

void frmUsage::Timer1_Timer() { Refresh(); }

void frmUsage::Spin_Change() {
    const int value = m_ports.dialog.SpinValue();
    if (value < kPeriodStartSpin.min || value > kPeriodStartSpin.max) {
        m_ports.dialog.SetSpinValue(m_periodStart);
        return;
    }
    Take(value);
}

void frmUsage::Spin_Typed(std::string_view text) {
    const std::optional<int> day = ParsePeriodStart(text);
    m_ports.dialog.SetSpinValue(day.value_or(m_periodStart));
    if (day) Take(*day);
}

void frmUsage::Take(int periodStart) {
    if (periodStart == m_periodStart) return;
    m_periodStart = periodStart;
    m_ports.store.Write(keys::periodstart, periodStart);
    Refresh();
}

void frmUsage::Refresh() {
    const UsageSummary summary = Summarize(m_log, m_ports.calendar.Today(), m_periodStart);
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
