#include "platform/win32/Win32ContextMenu.h"

#include <algorithm>
#include <string>
#include <utility>

#include "platform/windows/WideText.h"

namespace tg {

namespace {

// Clear of the small numbers the system gives its own commands.
constexpr UINT kFirstCommand = 1000;
constexpr UINT kLastCommand = kFirstCommand + static_cast<UINT>(kLastMenuItem);
// The interface items, as many as a table can have rows.
constexpr UINT kFirstInterfaceCommand = 2000;
constexpr UINT kInterfaceCommands = 0x8000;

// An item's text, by command or by position.
std::wstring MenuText(HMENU menu, UINT item, UINT by) {
    const int length = GetMenuStringW(menu, item, nullptr, 0, by);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetMenuStringW(menu, item, text.data(), length + 1, by);
    text.resize(static_cast<std::size_t>(std::max(copied, 0)));
    return text;
}

void SetMenuText(HMENU menu, UINT item, BOOL byPosition, std::wstring text) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STRING;
    info.dwTypeData = text.data();
    SetMenuItemInfoW(menu, item, byPosition, &info);
}

// What follows the caption: a greyed item's reason, after a tab.
std::wstring Suffix(const std::wstring& text) {
    const std::size_t tab = text.find(L'\t');
    return tab == std::wstring::npos ? std::wstring() : text.substr(tab);
}

}  // namespace

UINT Win32ContextMenu::CommandId(MenuItem item) noexcept { return kFirstCommand + static_cast<UINT>(item); }

std::optional<MenuItem> Win32ContextMenu::ItemForCommand(UINT id) noexcept {
    if (id < kFirstCommand || id > kLastCommand) return std::nullopt;
    return static_cast<MenuItem>(id - kFirstCommand);
}

UINT Win32ContextMenu::InterfaceCommandId(std::size_t position) noexcept {
    return kFirstInterfaceCommand + static_cast<UINT>(position);
}

std::optional<std::size_t> Win32ContextMenu::InterfaceForCommand(UINT id) noexcept {
    if (id < kFirstInterfaceCommand || id >= kFirstInterfaceCommand + kInterfaceCommands) return std::nullopt;
    return id - kFirstInterfaceCommand;
}

Win32ContextMenu::Win32ContextMenu() : m_menu(CreatePopupMenu()) { Build(m_menu.get(), ContextMenuTree()); }

// Check and Radio items are plain items until a mark is set on them. Each submenu is built by the
// same walk, so it goes only as deep as MenuTree's constant data nests.
void Win32ContextMenu::Build(HMENU menu, std::span<const MenuNode> nodes) {  // NOLINT(misc-no-recursion)
    for (const MenuNode& node : nodes) {
        switch (node.kind) {
            case MenuNodeKind::Separator: AppendMenuW(menu, MF_SEPARATOR, 0, nullptr); break;
            case MenuNodeKind::Interfaces:
                m_interfaces = menu;
                m_interfaceSlot = static_cast<UINT>(GetMenuItemCount(menu));
                break;
            case MenuNodeKind::Submenu: {
                MenuHandle submenu(CreatePopupMenu());
                Build(submenu.get(), node.children);
                // Once appended, the submenu belongs to the menu and goes with it.
                if (AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), Widen(Text(node.caption)).c_str()))
                    static_cast<void>(submenu.release());
                break;
            }
            case MenuNodeKind::Command:
            case MenuNodeKind::Check:
            case MenuNodeKind::Radio:
                AppendMenuW(menu, MF_STRING, CommandId(*node.item), Widen(Text(node.caption)).c_str());
                break;
        }
    }
}

void Win32ContextMenu::SetChecked(MenuItem item, bool checked) {
    CheckMenuItem(m_menu.get(), CommandId(item), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32ContextMenu::Checked(MenuItem item) const {
    const UINT state = GetMenuState(m_menu.get(), CommandId(item), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Win32ContextMenu::SetEnabled(MenuItem item, bool enabled, std::string_view why) {
    const UINT id = CommandId(item);
    std::wstring caption = MenuText(m_menu.get(), id, MF_BYCOMMAND);
    if (caption.empty()) return;
    caption = caption.substr(0, caption.find(L'\t'));  // the caption the tree gave it
    if (!enabled && !why.empty()) caption += L'\t' + Widen(why);
    SetMenuText(m_menu.get(), id, FALSE, std::move(caption));
    EnableMenuItem(m_menu.get(), id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void Win32ContextMenu::Relabel() { Relabel(m_menu.get(), ContextMenuTree()); }

// The same walk as Build's, by position for the submenus, which have no command.
void Win32ContextMenu::Relabel(HMENU menu, std::span<const MenuNode> nodes) {  // NOLINT(misc-no-recursion)
    UINT position = 0;
    for (const MenuNode& node : nodes) {
        switch (node.kind) {
            case MenuNodeKind::Separator: break;
            case MenuNodeKind::Interfaces: position += m_interfaceCount; continue;
            case MenuNodeKind::Submenu:
                SetMenuText(menu, position, TRUE, Widen(Text(node.caption)));
                Relabel(GetSubMenu(menu, static_cast<int>(position)), node.children);
                break;
            case MenuNodeKind::Command:
            case MenuNodeKind::Check:
            case MenuNodeKind::Radio: {
                const UINT id = CommandId(*node.item);
                SetMenuText(menu, id, FALSE, Widen(Text(node.caption)) + Suffix(MenuText(menu, id, MF_BYCOMMAND)));
                break;
            }
        }
        ++position;
    }
}

// The last popup's items go; the new ones take their places.
void Win32ContextMenu::SetInterfaceItems(std::span<const InterfaceMenuEntry> entries) {
    if (m_interfaces == nullptr) return;
    for (; m_interfaceCount > 0; --m_interfaceCount) DeleteMenu(m_interfaces, m_interfaceSlot, MF_BYPOSITION);
    const auto insert = [&](UINT flags, UINT_PTR id, const wchar_t* caption) {
        if (InsertMenuW(m_interfaces, m_interfaceSlot + m_interfaceCount, MF_BYPOSITION | flags, id, caption))
            ++m_interfaceCount;
    };
    for (std::size_t i = 0; i < entries.size() && i < kInterfaceCommands; ++i) {
        if (entries[i].separatorBefore) insert(MF_SEPARATOR, 0, nullptr);
        insert(MF_STRING | (entries[i].checked ? MF_CHECKED : MF_UNCHECKED), InterfaceCommandId(i),
               Widen(entries[i].caption).c_str());
    }
}

std::optional<UINT> Win32ContextMenu::Popup(HWND owner, POINT at) const {
    // Without the foreground the menu would stay open when the user clicks elsewhere.
    SetForegroundWindow(owner);
    const BOOL picked = TrackPopupMenu(m_menu.get(), TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
                                       owner, nullptr);
    // Lets the menu's modal loop see a message and close for good before the next popup.
    PostMessageW(owner, WM_NULL, 0, 0);
    if (picked == 0) return std::nullopt;
    return static_cast<UINT>(picked);
}

}  // namespace tg
