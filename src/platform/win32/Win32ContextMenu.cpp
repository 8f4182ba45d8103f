#include "platform/win32/Win32ContextMenu.h"

#include "platform/win32/WideText.h"

namespace tg {

namespace {

// Clear of the small numbers the system gives its own commands.
constexpr UINT kFirstCommand = 1000;
constexpr UINT kLastCommand = kFirstCommand + static_cast<UINT>(kLastMenuItem);
// The interface items, as many as a table can have rows.
constexpr UINT kFirstInterfaceCommand = 2000;
constexpr UINT kInterfaceCommands = 0x8000;
// The 网络接口 submenu holds 自动 and a separator before its interface items.
constexpr int kFixedInterfaceItems = 2;

struct Entry {
    MenuItem item;
    const char* caption;
};

constexpr Entry kScaleEntries[] = {
    {MenuItem::Kbps128, "128 Kbps"},   {MenuItem::Kbps256, "256 Kbps"},   {MenuItem::Kbps512, "512 Kbps"},
    {MenuItem::Kbps1024, "1024 Kbps"}, {MenuItem::Kbps2048, "2048 Kbps"}, {MenuItem::KbpsAuto, "自动"},
};

void Append(HMENU menu, const Entry& entry) {
    AppendMenuW(menu, MF_STRING, Win32ContextMenu::CommandId(entry.item), Widen(entry.caption).c_str());
}

MenuHandle ScaleMenu() {
    MenuHandle menu(CreatePopupMenu());
    for (const Entry& entry : kScaleEntries) Append(menu.get(), entry);
    return menu;
}

MenuHandle InterfacesMenu() {
    MenuHandle menu(CreatePopupMenu());
    Append(menu.get(), {MenuItem::InterfacesAuto, "自动"});
    AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
    return menu;
}

// Once appended, the submenu belongs to the menu and goes with it. Returns the submenu.
HMENU AppendSubmenu(HMENU menu, MenuHandle submenu, const char* caption) {
    if (!AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(submenu.get()), Widen(caption).c_str()))
        return nullptr;
    return submenu.release();
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

Win32ContextMenu::Win32ContextMenu() : m_menu(CreatePopupMenu()) {
    HMENU menu = m_menu.get();
    Append(menu, {MenuItem::ontop, "总在最前"});
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendSubmenu(menu, ScaleMenu(), "设置曲线最大值");
    m_interfaces = AppendSubmenu(menu, InterfacesMenu(), "网络接口");
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    Append(menu, {MenuItem::abt, "关于..."});
    Append(menu, {MenuItem::opt, "配置..."});
    Append(menu, {MenuItem::exit, "退出"});
}

void Win32ContextMenu::SetChecked(MenuItem item, bool checked) {
    CheckMenuItem(m_menu.get(), CommandId(item), MF_BYCOMMAND | (checked ? MF_CHECKED : MF_UNCHECKED));
}

bool Win32ContextMenu::Checked(MenuItem item) const {
    const UINT state = GetMenuState(m_menu.get(), CommandId(item), MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

void Win32ContextMenu::SetInterfaceItems(std::span<const InterfaceMenuEntry> entries) {
    if (m_interfaces == nullptr) return;
    while (GetMenuItemCount(m_interfaces) > kFixedInterfaceItems) DeleteMenu(m_interfaces, kFixedInterfaceItems, MF_BYPOSITION);
    for (std::size_t i = 0; i < entries.size() && i < kInterfaceCommands; ++i) {
        if (entries[i].separatorBefore) AppendMenuW(m_interfaces, MF_SEPARATOR, 0, nullptr);
        AppendMenuW(m_interfaces, MF_STRING | (entries[i].checked ? MF_CHECKED : MF_UNCHECKED), InterfaceCommandId(i),
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
