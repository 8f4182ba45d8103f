#pragma once
// The interface items of the 网络接口 submenu, from a read of the table and the selection: what a
// person sees, in the order that helps them. The interfaces that count or are up come first; the
// rest (pseudo rows, adapters that are down) follow after a separator.
#include <string>
#include <vector>

#include "counters/CInterfaces.h"
#include "counters/InterfaceSelection.h"
#include "ports/Form.h"

namespace tg {

struct InterfaceMenuItem {
    std::string name;  // the stable name a pick stores
    InterfaceMenuEntry entry;
};

// The caption: the name a person gave the interface (Windows' alias, "Wi-Fi"), else its
// description (on Linux the link name), else its stable name.
std::string InterfaceCaption(const CInterface& row);

// One item per interface of the table (a name repeated in the table is listed once), checked when
// it counts now.
std::vector<InterfaceMenuItem> BuildInterfaceMenu(const CInterfaces& table, const InterfaceSelection& selection);

}  // namespace tg
