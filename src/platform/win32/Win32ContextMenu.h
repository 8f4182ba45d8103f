#pragma once
// The main window's context menu, built by walking the menu tree, with its check marks kept in the
// menu itself.
#include <windows.h>

#include <optional>
#include <span>
#include <string_view>

#include "mainwindow/MenuTree.h"
#include "ports/Form.h"
#include "platform/win32/Win32Handles.h"

namespace tg {

class Win32ContextMenu {
 public:
    Win32ContextMenu();

    void SetChecked(MenuItem item, bool checked);
    bool Checked(MenuItem item) const;
    // A greyed item shows `why` after a tab, in the column of keyboard shortcuts, which this menu
    // has none of: Win32 menus give an item no tooltip, and a reason that shows only on hover
    // would be missed. Enabled again, the item has its caption alone.
    void SetEnabled(MenuItem item, bool enabled, std::string_view why);
    // The fixed items and submenus show their captions in the language picked now; a greyed
    // item keeps its reason.
    void Relabel();
    // The interface items, where the tree puts them.
    void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries);
    // Shows the menu at `at` (screen pixels) and returns once it has closed, with the command
    // picked (see ItemForCommand and InterfaceForCommand).
    std::optional<UINT> Popup(HWND owner, POINT at) const;

    HMENU Handle() const noexcept { return m_menu.get(); }
    static UINT CommandId(MenuItem item) noexcept;
    static std::optional<MenuItem> ItemForCommand(UINT id) noexcept;
    static UINT InterfaceCommandId(std::size_t position) noexcept;
    static std::optional<std::size_t> InterfaceForCommand(UINT id) noexcept;

 private:
    void Build(HMENU menu, std::span<const MenuNode> nodes);
    void Relabel(HMENU menu, std::span<const MenuNode> nodes);

    MenuHandle m_menu;
    HMENU m_interfaces = nullptr;  // the submenu that holds the interface items; owned by m_menu
    UINT m_interfaceSlot = 0;      // their first position in it
    UINT m_interfaceCount = 0;     // how many entries they take there, separators included
};

}  // namespace tg
