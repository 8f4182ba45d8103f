#pragma once
// The program's icon in the desktop's notification area, and the notifications it gives.
#include <string_view>

namespace tg {

// The main window's icon in the notification area (the system tray, or a status-notifier host),
// with a tooltip of the rates and, where the host shows one beside the icon, a short label. A left
// click on it goes to frmMain::NotifyIcon_Click; a right click opens the menu of the main window
// (frmMain::ShowContextMenu), or the host shows the icon's own menu, built from the same tree.
class NotifyIcon {
 public:
    virtual ~NotifyIcon() = default;
    // Whether the desktop has a notification area to show the icon in now.
    virtual bool Available() = 0;
    virtual void Show(bool shown) = 0;
    // Set at each tick while the icon shows.
    virtual void SetText(std::string_view tooltip, std::string_view label) = 0;
};

// A notice to the user that does not wait for them: a desktop notification, a balloon from the
// notification-area icon. It never holds up the caller.
class Notifier {
 public:
    virtual ~Notifier() = default;
    virtual void Notify(std::string_view title, std::string_view text) = 0;
};

}  // namespace tg
