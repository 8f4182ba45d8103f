#pragma once
// The notification-area icon's texts, from the tick the read-outs show: the tooltip gives the two
// rates as the read-outs do and names the interfaces counted; the label a host may show beside the
// icon is the two rates alone ("↓30.4Mb ↑1.00Mb"). Built at every tick while the icon shows, into
// the caller's strings, whose storage is kept from tick to tick.
#include <string>
#include <vector>

#include "counters/CIpUpdate.h"
#include "mainwindow/RateText.h"

namespace tg {

struct IconFacts {
    const CInterfaces& table;
    const std::vector<RowTick>& rows;  // the tick's, in the table's order
    DisplayUnit unit;
    Rate down;
    Rate up;
};

void BuildIconTexts(const IconFacts& facts, std::string& tooltip, std::string& label);

}  // namespace tg
