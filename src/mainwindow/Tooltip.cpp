#include "mainwindow/Tooltip.h"

#include "common/Texts.h"
#include "mainwindow/InterfaceMenu.h"

namespace tg {

namespace {

std::string Totals(TextId what, DisplayUnit unit, const Usage& usage) {
    return FormatText(TextId::TooltipTotals,
                      {Text(what), AmountText(unit, usage.received), AmountText(unit, usage.sent)});
}

}  // namespace

std::string TooltipText(const TooltipFacts& f) {
    std::string text;
    std::size_t i = 0;
    for (const CInterfacePtr& row : f.table) {
        const RowTick tick = i < f.rows.size() ? f.rows[i] : RowTick{};
        text += InterfaceCaption(*row) + Text(tick.counted ? TextId::TooltipCounted : TextId::TooltipNotCounted) +
                ReadoutText(Readout::Download, f.unit, RatePerSecond(tick.received, f.elapsed)) + ' ' +
                ReadoutText(Readout::Upload, f.unit, RatePerSecond(tick.sent, f.elapsed)) + '\n';
        ++i;
    }
    text += Totals(TextId::TooltipSinceStart, f.unit, f.sinceStart);
    // Data plans count bytes, whatever unit the read-outs show.
    if (f.today) text += '\n' + Totals(TextId::Today, DisplayUnit::Bytes, *f.today);
    if (f.period) text += '\n' + Totals(TextId::ThisPeriod, DisplayUnit::Bytes, *f.period);
    return text;
}

}  // namespace tg
