#pragma once
// The notification-area icon's texts, from the tick the read-outs show: the tooltip gives the two
// rates as the read-outs do and names the interfaces counted; the label a host may show beside the
// icon is the two rates alone ("↓30.4Mb ↑1.00Mb"), from the read-outs' own texts. Built at every tick while the icon shows, into
// storage kept from tick to tick.
#include <string>
#include <vector>

#include "counters/CIpUpdate.h"
#include "mainwindow/RateText.h"

namespace tg {

struct IconFacts {
    const CInterfaces& table;
    const std::vector<RowTick>& rows;  // the tick's, in the table's order
    std::string_view down;  // the read-outs' texts, as the window shows them
    std::string_view up;
};

struct IconTexts {
    std::string tooltip;
    std::string label;
    std::string names;  // of the interfaces counted
};

void BuildIconTexts(const IconFacts& facts, IconTexts& texts);

}  // namespace tg
