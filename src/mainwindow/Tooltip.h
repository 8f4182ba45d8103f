#pragma once
// The tooltip over the main window: what is being counted and what it moved. One line per
// interface of the last read (its name, whether it counts, its download and upload), then the
// bytes the counted interfaces moved since the program started, and today's and this period's
// totals where the usage log is kept (in bytes, as data plans count). Built only while the tooltip
// shows.
#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "counters/CIpUpdate.h"
#include "mainwindow/RateText.h"
#include "usage/UsageLog.h"

namespace tg {

struct TooltipFacts {
    const CInterfaces& table;
    const std::vector<RowTick>& rows;  // the last tick's, in the table's order
    std::chrono::nanoseconds elapsed;  // the last tick's length
    DisplayUnit unit;
    Usage sinceStart;
    std::optional<Usage> today;
    std::optional<Usage> period;
};

std::string TooltipText(const TooltipFacts& facts);

}  // namespace tg
