#include "mainwindow/InterfaceMenu.h"

#include <algorithm>

#include "counters/IfTableLayout.h"

namespace tg {

namespace {

bool IsUp(const CInterface& row) {
    const auto status = static_cast<std::uint32_t>(row.OperationalStatus());
    return status == iftable::kOperOperational || status == iftable::kOperConnected;
}

}  // namespace

std::string InterfaceCaption(const CInterface& row) {
    if (std::string alias = row.InterfaceAlias(); !alias.empty()) return alias;
    if (std::string description = row.InterfaceDescription(); !description.empty()) {
        // A description is a C string in the table; its zero padding is no part of a caption.
        description.erase(std::find(description.begin(), description.end(), '\0'), description.end());
        if (!description.empty()) return description;
    }
    return row.InterfaceName();
}

std::vector<InterfaceMenuItem> BuildInterfaceMenu(const CInterfaces& table, const InterfaceSelection& selection) {
    std::vector<bool> counted;
    selection.Counted(table, counted);
    struct Row {
        InterfaceMenuItem item;
        int rank;  // 0 counted, 1 up, 2 the rest
    };
    std::vector<Row> rows;
    std::size_t i = 0;
    for (const CInterfacePtr& record : table) {
        std::string name = record->InterfaceName();
        const bool listed = std::any_of(rows.begin(), rows.end(), [&](const Row& r) { return r.item.name == name; });
        if (!listed) {
            const int rank = counted[i] ? 0 : IsUp(*record) ? 1 : 2;
            rows.push_back({{std::move(name), {InterfaceCaption(*record), counted[i], false}}, rank});
        }
        ++i;
    }
    std::stable_sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) { return a.rank < b.rank; });
    std::vector<InterfaceMenuItem> items;
    items.reserve(rows.size());
    for (Row& row : rows) {
        row.item.entry.separatorBefore = row.rank == 2 && !items.empty() && rows[items.size() - 1].rank < 2;
        items.push_back(std::move(row.item));
    }
    return items;
}

}  // namespace tg
