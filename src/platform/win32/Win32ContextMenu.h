#pragma once
// The main window's context menu: the always-on-top item, the graph scale submenu, about, options
// and exit, with their check marks kept in the menu itself.
#include <windows.h>

#include <optional>

#include "platform/ports/Form.h"
#include "platform/win32/Win32Handles.h"

namespace tg {

class Win32ContextMenu {
 public:
    Win32ContextMenu();

    void SetChecked(MenuItem item, bool checked);
    bool Checked(MenuItem item) const;
    // Shows the menu at `at` (screen pixels) and returns once it has closed, with the item picked.
    std::optional<MenuItem> Popup(HWND owner, POINT at) const;

    HMENU Handle() const noexcept { return m_menu.get(); }
    static UINT CommandId(MenuItem item) noexcept;
    static std::optional<MenuItem> ItemForCommand(UINT id) noexcept;

 private:
    MenuHandle m_menu;
};

}  // namespace tg
