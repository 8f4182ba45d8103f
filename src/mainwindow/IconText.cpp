#include "mainwindow/IconText.h"

#include <utility>

#include "common/Texts.h"
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
    if (names.empty()) names = Text(TextId::IconNone);
}

}  // namespace

void BuildIconTexts(const IconFacts& f, IconTexts& t) {
    t.label.clear();
    t.label += "↓";  // same in every language
    t.label += ReadoutRate(f.down);
    t.label += " ↑";  // same in every language
    t.label += ReadoutRate(f.up);

    BuildNames(f, t.names);
    t.tooltip.clear();
    t.tooltip += f.down;
    t.tooltip += ' ';
    t.tooltip += f.up;
    t.tooltip += '\n';
    t.tooltip += Text(TextId::IconCounted);
    t.tooltip += t.names;
}

}  // namespace tg
