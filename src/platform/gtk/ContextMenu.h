#pragma once
// The main window's popup menu. Its check marks are the program's to set: a click on an item runs
// the item's command and leaves the mark as it was, as the Windows menu does, and setting a mark
// runs no command.
#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <span>
#include <vector>

#include "platform/gtk/GObjectPtr.h"
#include "platform/ports/Form.h"

namespace tg {

class ContextMenu {
 public:
    using Command = std::function<void(MenuItem)>;
    using InterfaceCommand = std::function<void(std::size_t)>;

    // `command` runs when the user picks a fixed item, `pickInterface` with the position of an
    // interface item.
    ContextMenu(Command command, InterfaceCommand pickInterface);
    ~ContextMenu();
    ContextMenu(const ContextMenu&) = delete;
    ContextMenu& operator=(const ContextMenu&) = delete;

    void SetChecked(MenuItem item, bool checked);
    bool Checked(MenuItem item) const;
    // The 网络接口 submenu's items after 自动 and its separator.
    void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries);

    // Pops the menu up at the pointer and returns when it has closed, after the picked item's
    // command ran.
    void Popup();

    // The item's widget, for tests that click it.
    GtkWidget* Item(MenuItem item) const;
    GtkWidget* InterfaceItem(std::size_t position) const;

 private:
    struct Entry {
        GtkWidget* widget = nullptr;
        gulong handler = 0;
    };

    void Add(GtkWidget* menu, MenuItem item, const char* caption, bool checkable);
    static void OnActivate(GtkMenuItem* widget, gpointer self);
    static void OnInterfaceActivate(GtkMenuItem* widget, gpointer self);
    static void OnDeactivate(GtkMenuShell* menu, gpointer self);
    void SetMark(const Entry& entry, bool checked);

    Command m_command;
    InterfaceCommand m_pickInterface;
    OwnedWidget m_menu;
    GtkWidget* m_interfaceMenu = nullptr;  // owned by m_menu
    std::map<MenuItem, Entry> m_items;
    std::vector<Entry> m_interfaceItems;  // in the order of the positions frmMain gave them
    GMainLoop* m_loop = nullptr;  // the loop Popup runs while the menu is open
};

}  // namespace tg
