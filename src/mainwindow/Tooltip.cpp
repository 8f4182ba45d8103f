#include "mainwindow/Tooltip.h"

#include "mainwindow/InterfaceMenu.h"

namespace tg {

namespace {

std::string Totals(const char* what, DisplayUnit unit, const Usage& usage) {
    return std::string(what) + "  接收 " + AmountText(unit, usage.received) + "  发送 " + AmountText(unit, usage.sent);
}

}  // namespace

std::string TooltipText(const TooltipFacts& f) {
    std::string text;
    std::size_t i = 0;
    for (const CInterfacePtr& row : f.table) {
        const RowTick tick = i < f.rows.size() ? f.rows[i] : RowTick{};
        text += InterfaceCaption(*row) + (tick.counted ? "  计入  " : "  不计入  ") +
                ReadoutText(Readout::Download, f.unit, RatePerSecond(tick.received, f.elapsed)) + ' ' +
                ReadoutText(Readout::Upload, f.unit, RatePerSecond(tick.sent, f.elapsed)) + '\n';
        ++i;
    }
    text += Totals("启动以来", f.unit, f.sinceStart);
    // Data plans count bytes, whatever unit the read-outs show.
    if (f.today) text += '\n' + Totals("今天", DisplayUnit::Bytes, *f.today);
    if (f.period) text += '\n' + Totals("本期", DisplayUnit::Bytes, *f.period);
    return text;
}

}  // namespace tg
