#pragma once
// The main window's icon in the desktop's notification area on Linux: a StatusNotifierItem on the
// session bus, shown by whatever panel runs the StatusNotifierWatcher. The host draws the icon and
// its label and shows the main window's own menu, exported over the bus, so both menus show the
// same marks and greyed items. The bus is first used when the program asks whether there is a
// notification area, and the item is made the first time it shows.
#include <gio/gio.h>
#include <libayatana-appindicator/app-indicator.h>

#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/gtk/ContextMenu.h"
#include "platform/gtk/GObjectPtr.h"
#include "ports/NotifyIcon.h"

namespace tg {

class GtkNotifyIcon final : public NotifyIcon {
 public:
    // `menu` is the menu the host shows; it outlives the icon.
    explicit GtkNotifyIcon(ContextMenu& menu);
    ~GtkNotifyIcon() override;
    GtkNotifyIcon(const GtkNotifyIcon&) = delete;
    GtkNotifyIcon& operator=(const GtkNotifyIcon&) = delete;

    // What a click on the icon runs (frmMain::NotifyIcon_Click); nothing before this is called.
    void Attach(std::function<void()> click);

    bool Available() override;
    void Show(bool shown) override;
    void SetText(std::string_view tooltip, std::string_view label) override;

    // For tests: the item, once it was shown, and its path on the bus.
    AppIndicator* Indicator() const noexcept { return m_indicator.get(); }
    static constexpr const char* kPath = "/org/ayatana/NotificationItem/tidegauge";

 private:
    struct Relay;

    bool Connect();
    void MakeIndicator();
    static void OnWatcher(GDBusConnection* bus, const gchar* name, const gchar* owner, gpointer self);
    static void OnNoWatcher(GDBusConnection* bus, const gchar* name, gpointer self);
    static GDBusMessage* FilterClicks(GDBusConnection* bus, GDBusMessage* message, gboolean incoming, gpointer relay);

    ContextMenu& m_menu;
    bool m_connectTried = false;
    GObjectPtr<GDBusConnection> m_bus;
    guint m_watch = 0;
    bool m_watcher = false;  // a StatusNotifierWatcher owns its name on the bus
    GObjectPtr<AppIndicator> m_indicator;
    std::shared_ptr<Relay> m_relay;
    guint m_filter = 0;
    std::string m_tooltip, m_label;
};

}  // namespace tg
