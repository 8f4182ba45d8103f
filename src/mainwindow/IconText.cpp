#include "mainwindow/IconText.h"

#include <utility>

#include "mainwindow/InterfaceMenu.h"

namespace tg {

namespace {

void BuildNames(const IconFacts& f, std::string& names) {
    names.clear();
    std::size_t i = 0;
    for (const CInterfacePtr& row : f.table) {
        if (i < f.rows.size() && f.rows[i].counted) {
            if (!names.empty()) names += ", ";
            names += InterfaceCaption(*row);
        }
        ++i;
    }
    if (names.empty()) names = "无";
}

}  // namespace

void BuildIconTexts(const IconFacts& f, IconTexts& t) {
    t.label.clear();
    t.label += "↓";
    t.label += ReadoutRate(f.down);
    t.label += " ↑";
    t.label += ReadoutRate(f.up);

    BuildNames(f, t.names);
    t.tooltip.clear();
    t.tooltip += f.down;
    t.tooltip += ' ';
    t.tooltip += f.up;
    t.tooltip += "\n计入 ";
    t.tooltip += t.names;
}

}  // namespace tg
