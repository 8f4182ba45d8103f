#pragma once
// The main window's popup menu, built by walking the menu tree. Its check marks are the program's
// to set: a click on an item runs the item's command and leaves the mark as it was, as the Windows
// menu does, and setting a mark runs no command. Many never open the menu, so its widgets are made
// the first time it is needed, and until then the marks are kept here.
#include <gtk/gtk.h>

#include <functional>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "mainwindow/MenuTree.h"
#include "platform/gtk/GObjectPtr.h"
#include "ports/Form.h"

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
    // A disabled item shows greyed, with `why` as its tooltip.
    void SetEnabled(MenuItem item, bool enabled, std::string_view why);
    // The fixed items and submenus show their captions in the language picked now.
    void Relabel();
    // The interface items, where the tree puts them.
    void SetInterfaceItems(std::span<const InterfaceMenuEntry> entries);

    // Pops the menu up at the pointer and returns when it has closed, after the picked item's
    // command ran.
    void Popup();

    // For tests that read the menu back and click its items; these build the menu.
    GtkMenu* Widget();
    GtkWidget* Item(MenuItem item);
    GtkWidget* InterfaceItem(std::size_t position) const;

 private:
    struct Entry {
        GtkWidget* widget = nullptr;
        gulong handler = 0;
    };

    void EnsureBuilt();
    void Build(GtkWidget* menu, std::span<const MenuNode> nodes);
    static void OnActivate(GtkMenuItem* widget, gpointer self);
    static void OnInterfaceActivate(GtkMenuItem* widget, gpointer self);
    static void OnDeactivate(GtkMenuShell* menu, gpointer self);
    static void SetMark(const Entry& entry, bool checked);
    void ShowEnabled(MenuItem item) const;

    Command m_command;
    InterfaceCommand m_pickInterface;
    std::map<MenuItem, bool> m_marks;  // of the check items only, whether the menu is built or not
    std::map<MenuItem, std::string> m_disabled;  // the greyed items, with why
    OwnedWidget m_menu;                // none until the menu is first needed
    GtkWidget* m_interfaceMenu = nullptr;  // owned by m_menu
    int m_interfaceSlot = 0;               // the position in it where the interface items start
    std::map<MenuItem, Entry> m_items;
    std::vector<std::pair<GtkWidget*, TextId>> m_captions;  // every fixed item and submenu
    std::vector<Entry> m_interfaceItems;        // in the order of the positions frmMain gave them
    std::vector<GtkWidget*> m_interfaceWidgets;  // those items and the separators among them
    GMainLoop* m_loop = nullptr;  // the loop Popup runs while the menu is open
};

}  // namespace tg
