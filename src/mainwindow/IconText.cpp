#include "mainwindow/IconText.h"

#include <utility>

#include "mainwindow/InterfaceMenu.h"

namespace tg {

namespace {

bool SameRows(const IconFacts& f, const std::vector<CInterfacePtr>& counted) {
    std::size_t i = 0;
    std::size_t n = 0;
    for (const CInterfacePtr& row : f.table) {
        if (i < f.rows.size() && f.rows[i].counted && (n >= counted.size() || counted[n++] != row)) return false;
        ++i;
    }
    return n == counted.size();
}

void BuildNames(const IconFacts& f, IconTexts& t) {
    t.counted.clear();
    t.names.clear();
    std::size_t i = 0;
    for (const CInterfacePtr& row : f.table) {
        if (i < f.rows.size() && f.rows[i].counted) {
            if (!t.counted.empty()) t.names += ", ";
            t.names += InterfaceCaption(*row);
            t.counted.push_back(row);
        }
        ++i;
    }
    if (t.counted.empty()) t.names = "无";
}

}  // namespace

void BuildIconTexts(const IconFacts& f, IconTexts& t) {
    t.label.clear();
    t.label += "↓";
    t.label += ReadoutRate(f.down);
    t.label += " ↑";
    t.label += ReadoutRate(f.up);

    if (t.names.empty() || !SameRows(f, t.counted)) BuildNames(f, t);
    t.tooltip.clear();
    t.tooltip += f.down;
    t.tooltip += ' ';
    t.tooltip += f.up;
    t.tooltip += "\n计入 ";
    t.tooltip += t.names;
}

}  // namespace tg
