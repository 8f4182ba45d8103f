#include "mainwindow/IconText.h"

#include <utility>

#include "mainwindow/InterfaceMenu.h"

namespace tg {

void BuildIconTexts(const IconFacts& f, std::string& tooltip, std::string& label) {
    label.clear();
    label += "↓";
    label += RateText(f.unit, f.down);
    label += " ↑";
    label += RateText(f.unit, f.up);

    tooltip.clear();
    tooltip += ReadoutText(Readout::Download, f.unit, f.down);
    tooltip += ' ';
    tooltip += ReadoutText(Readout::Upload, f.unit, f.up);
    tooltip += "\n计入 ";
    bool named = false;
    std::size_t i = 0;
    for (const CInterfacePtr& row : f.table) {
        if (i < f.rows.size() && f.rows[i].counted) {
            if (std::exchange(named, true)) tooltip += ", ";
            tooltip += InterfaceCaption(*row);
        }
        ++i;
    }
    if (!named) tooltip += "无";
}

}  // namespace tg
