#pragma once
// The main window's context menu: the always-on-top item, the graph scale and interface submenus,
// about, options and exit, with their check marks kept in the menu itself.
#include <windows.h>

#include <optional>
#include <span>

#include "platform/ports/Form.h"
#include "platform/win32/Win32Handles.h"

namespace tg {

class Win32ContextMenu {
 public:
    Win32ContextMenu();

    void SetChecked(MenuItem item, bool checked);
    bool Checked(MenuItem item) const;
    // The 网络接口 submenu's items after 自动 and its separator.
    void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries);
    // Shows the menu at `at` (screen pixels) and returns once it has closed, with the command
    // picked (see ItemForCommand and InterfaceForCommand).
    std::optional<UINT> Popup(HWND owner, POINT at) const;

    HMENU Handle() const noexcept { return m_menu.get(); }
    HMENU InterfaceMenu() const noexcept { return m_interfaces; }
    static UINT CommandId(MenuItem item) noexcept;
    static std::optional<MenuItem> ItemForCommand(UINT id) noexcept;
    static UINT InterfaceCommandId(std::size_t position) noexcept;
    static std::optional<std::size_t> InterfaceForCommand(UINT id) noexcept;

 private:
    MenuHandle m_menu;
    HMENU m_interfaces = nullptr;  // owned by m_menu
};

}  // namespace tg
