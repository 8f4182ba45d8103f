#include "platform/win32/Win32ContextMenu.h"

#include "platform/win32/WideText.h"

namespace tg {

namespace {

// Clear of the small numbers the system gives its own commands.
constexpr UINT kFirstCommand = 1000;
constexpr UINT kLastCommand = kFirstCommand + static_cast<UINT>(MenuItem::exit);

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

}  // namespace

UINT Win32ContextMenu::CommandId(MenuItem item) noexcept { return kFirstCommand + static_cast<UINT>(item); }

std::optional<MenuItem> Win32ContextMenu::ItemForCommand(UINT id) noexcept {
    if (id < kFirstCommand || id > kLastCommand) return std::nullopt;
    return static_cast<MenuItem>(id - kFirstCommand);
}

Win32ContextMenu::Win32ContextMenu() : m_menu(CreatePopupMenu()) {
    HMENU menu = m_menu.get();
    Append(menu, {MenuItem::ontop, "总在最前"});
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    MenuHandle scale = ScaleMenu();
    // Once appended, the submenu belongs to the menu and goes with it.
    if (AppendMenuW(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(scale.get()), Widen("设置曲线最大值").c_str()))
        scale.release();
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

std::optional<MenuItem> Win32ContextMenu::Popup(HWND owner, POINT at) const {
    // Without the foreground the menu would stay open when the user clicks elsewhere.
    SetForegroundWindow(owner);
    const BOOL picked = TrackPopupMenu(m_menu.get(), TPM_LEFTALIGN | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
                                       owner, nullptr);
    // Lets the menu's modal loop see a message and close for good before the next popup.
    PostMessageW(owner, WM_NULL, 0, 0);
    return ItemForCommand(static_cast<UINT>(picked));
}

}  // namespace tg
