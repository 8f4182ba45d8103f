#include "platform/gtk/ContextMenu.h"

#include <algorithm>
#include <utility>

#include "platform/gtk/PlainTheme.h"

namespace tg {

namespace {

// The tree is two levels deep, so the recursion is too.
bool Checkable(std::span<const MenuNode> nodes, MenuItem item) {  // NOLINT(misc-no-recursion)
    return std::ranges::any_of(nodes, [item](const MenuNode& node) {  // NOLINT(misc-no-recursion)
        return node.item == item ? node.Checkable() : Checkable(node.children, item);
    });
}

}  // namespace

ContextMenu::ContextMenu(Command command, InterfaceCommand pickInterface)
    : m_command(std::move(command)), m_pickInterface(std::move(pickInterface)) {}

void ContextMenu::EnsureBuilt() {
    if (m_menu) return;
    m_menu = OwnWidget(gtk_menu_new());
    Build(m_menu.get(), ContextMenuTree());
    gtk_widget_show_all(m_menu.get());
    g_signal_connect(m_menu.get(), "deactivate", G_CALLBACK(OnDeactivate), this);
    for (const auto& [item, checked] : m_marks) SetMark(m_items.at(item), checked);
    for (const auto& disabled : m_disabled) ShowEnabled(disabled.first);
}

GtkMenu* ContextMenu::Widget() {
    EnsureBuilt();
    return GTK_MENU(m_menu.get());
}

// Each submenu is built by the same walk, so it goes only as deep as MenuTree's constant data nests.
void ContextMenu::Build(GtkWidget* menu, std::span<const MenuNode> nodes) {  // NOLINT(misc-no-recursion)
    int appended = 0;
    for (const MenuNode& node : nodes) {
        GtkWidget* widget = nullptr;
        switch (node.kind) {
            case MenuNodeKind::Separator: widget = gtk_separator_menu_item_new(); break;
            case MenuNodeKind::Interfaces:
                m_interfaceMenu = menu;
                m_interfaceSlot = appended;
                continue;
            case MenuNodeKind::Submenu: {
                widget = gtk_menu_item_new_with_label(Text(node.caption));
                m_captions.emplace_back(widget, node.caption);
                GtkWidget* submenu = gtk_menu_new();
                gtk_menu_item_set_submenu(GTK_MENU_ITEM(widget), submenu);
                Build(submenu, node.children);
                break;
            }
            case MenuNodeKind::Command:
            case MenuNodeKind::Check:
            case MenuNodeKind::Radio:
                widget = node.Checkable() ? gtk_check_menu_item_new_with_label(Text(node.caption))
                                          : gtk_menu_item_new_with_label(Text(node.caption));
                m_captions.emplace_back(widget, node.caption);
                g_object_set_data(G_OBJECT(widget), "tg-menu-item", GINT_TO_POINTER(static_cast<int>(*node.item)));
                m_items[*node.item] = {widget, g_signal_connect(widget, "activate", G_CALLBACK(OnActivate), this)};
                break;
        }
        gtk_menu_shell_append(GTK_MENU_SHELL(menu), widget);
        ++appended;
    }
}

// Not built yet, it will be in the language of the moment.
void ContextMenu::Relabel() {
    for (const auto& [widget, caption] : m_captions) gtk_menu_item_set_label(GTK_MENU_ITEM(widget), Text(caption));
}

ContextMenu::~ContextMenu() {
    if (!m_menu) return;
    // The menu may outlive us inside GTK for a moment; it must not call back into a dead object.
    g_signal_handlers_disconnect_by_data(m_menu.get(), this);
    for (const auto& [item, entry] : m_items) g_signal_handler_disconnect(entry.widget, entry.handler);
    for (const Entry& entry : m_interfaceItems) g_signal_handler_disconnect(entry.widget, entry.handler);
}

// The last popup's items go; the new ones take their places.
void ContextMenu::SetInterfaceItems(std::span<const InterfaceMenuEntry> entries) {
    EnsureBuilt();
    if (m_interfaceMenu == nullptr) return;
    for (const Entry& entry : m_interfaceItems) g_signal_handler_disconnect(entry.widget, entry.handler);
    m_interfaceItems.clear();
    for (GtkWidget* widget : m_interfaceWidgets) gtk_widget_destroy(widget);
    m_interfaceWidgets.clear();
    int position = m_interfaceSlot;
    const auto insert = [&](GtkWidget* widget) {
        gtk_menu_shell_insert(GTK_MENU_SHELL(m_interfaceMenu), widget, position++);
        m_interfaceWidgets.push_back(widget);
    };
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].separatorBefore) insert(gtk_separator_menu_item_new());
        GtkWidget* widget = gtk_check_menu_item_new_with_label(entries[i].caption.c_str());
        gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), entries[i].checked);
        g_object_set_data(G_OBJECT(widget), "tg-interface", GSIZE_TO_POINTER(i));
        m_interfaceItems.push_back({widget, g_signal_connect(widget, "activate", G_CALLBACK(OnInterfaceActivate), this)});
        insert(widget);
    }
    gtk_widget_show_all(m_interfaceMenu);
}

GtkWidget* ContextMenu::InterfaceItem(std::size_t position) const {
    return position < m_interfaceItems.size() ? m_interfaceItems[position].widget : nullptr;
}

GtkWidget* ContextMenu::Item(MenuItem item) {
    EnsureBuilt();
    const auto it = m_items.find(item);
    return it == m_items.end() ? nullptr : it->second.widget;
}

// A check item's "activate" also toggles it (setting the mark emits it too): blocked, no command runs.
void ContextMenu::SetMark(const Entry& entry, bool checked) {
    if (!GTK_IS_CHECK_MENU_ITEM(entry.widget)) return;
    g_signal_handler_block(entry.widget, entry.handler);
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(entry.widget), checked);
    g_signal_handler_unblock(entry.widget, entry.handler);
}

void ContextMenu::SetChecked(MenuItem item, bool checked) {
    if (!Checkable(ContextMenuTree(), item)) return;
    m_marks[item] = checked;
    if (m_menu) SetMark(m_items.at(item), checked);
}

void ContextMenu::SetEnabled(MenuItem item, bool enabled, std::string_view why) {
    if (enabled) m_disabled.erase(item);
    else m_disabled[item] = why;
    if (m_menu) ShowEnabled(item);
}

void ContextMenu::ShowEnabled(MenuItem item) const {
    const auto entry = m_items.find(item);
    if (entry == m_items.end()) return;
    const auto disabled = m_disabled.find(item);
    gtk_widget_set_sensitive(entry->second.widget, disabled == m_disabled.end());
    gtk_widget_set_tooltip_text(entry->second.widget, disabled == m_disabled.end() ? nullptr : disabled->second.c_str());
}

// The widgets' marks only ever change through SetChecked, so they are the ones kept here.
bool ContextMenu::Checked(MenuItem item) const {
    const auto it = m_marks.find(item);
    return it != m_marks.end() && it->second;
}

void ContextMenu::OnActivate(GtkMenuItem* widget, gpointer self) {
    auto* menu = static_cast<ContextMenu*>(self);
    const auto item = static_cast<MenuItem>(GPOINTER_TO_INT(g_object_get_data(G_OBJECT(widget), "tg-menu-item")));
    // GTK toggled the mark before this handler: put it back, the command decides.
    if (GTK_IS_CHECK_MENU_ITEM(widget))
        menu->SetMark(menu->m_items.at(item), !gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(widget)));
    menu->m_command(item);
}

void ContextMenu::OnInterfaceActivate(GtkMenuItem* widget, gpointer self) {
    auto* menu = static_cast<ContextMenu*>(self);
    const auto position = GPOINTER_TO_SIZE(g_object_get_data(G_OBJECT(widget), "tg-interface"));
    // The marks are frmMain's, set afresh at the next popup.
    g_signal_handler_block(widget, menu->m_interfaceItems.at(position).handler);
    gtk_check_menu_item_set_active(GTK_CHECK_MENU_ITEM(widget), !gtk_check_menu_item_get_active(GTK_CHECK_MENU_ITEM(widget)));
    g_signal_handler_unblock(widget, menu->m_interfaceItems.at(position).handler);
    menu->m_pickInterface(position);
}

// GTK deactivates the menu before it activates the picked item, in the same dispatch: quitting the
// loop here still lets the item's command run before Popup returns.
void ContextMenu::OnDeactivate(GtkMenuShell* /*menu*/, gpointer self) {
    auto* menu = static_cast<ContextMenu*>(self);
    if (menu->m_loop) g_main_loop_quit(menu->m_loop);
}

void ContextMenu::Popup() {
    UseDesktopTheme();
    GtkMenu* menu = Widget();
    gtk_menu_popup_at_pointer(menu, nullptr);
    // Without a pointer grab GTK does not show the menu, and no deactivate would ever end the loop.
    if (!gtk_widget_get_visible(m_menu.get()) || m_loop) return;
    g_autoptr(GMainLoop) loop = g_main_loop_new(nullptr, FALSE);
    m_loop = loop;
    g_main_loop_run(loop);
    m_loop = nullptr;
}

}  // namespace tg
